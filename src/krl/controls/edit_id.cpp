#include "krl/controls/edit_id.h"

#include <charconv>

#include "krl/ado/ado.h"
#include "krl/host/cinterface.h"
#include "krl/host/global.h"
#include "krl/trap/trap.h"

namespace krl::controls {

std::string idOfCodeSql(const IdSource& source, std::int32_t company, std::string_view code) {
    return "SELECT " + source.idField + " FROM " + source.table + " WITH (NOLOCK) WHERE " +
           source.companyField + " = " + std::to_string(company) + " AND " + source.textField +
           " = '" + doubleQuotes(rtrim(code)) + "'";
}

std::string codeOfIdSql(const IdSource& source, std::int32_t company, std::int64_t id) {
    return "SELECT " + source.textField + " FROM " + source.table + " WITH (NOLOCK) WHERE " +
           source.companyField + " = " + std::to_string(company) + " AND " + source.idField +
           " = " + std::to_string(id);
}

EditId::EditId(std::string name) : EditM(std::move(name)) {}

std::string EditId::firstValue(const std::string& sql) const {
    if (!programInterface_ || !programInterface_->clsGlobal()) {
        err::objectNotSet("programma");
    }
    auto rows = decodeConnection(programInterface_->clsGlobal()->connectionString())->execute(sql);
    std::string value;
    if (rows && rows->state() == ado::adStateOpen) {
        if (!rows->eof()) {
            value = rtrim(rows->fields().item(0).value().textOrEmpty());
        }
        rows->close();
    }
    return value;
}

void EditId::loadColumn(std::string_view value) {
    id_ = rtrim(value);
    code_.clear();
    std::int64_t id = 0;
    const char* end = id_.data() + id_.size();
    if (!id_.empty() && std::from_chars(id_.data(), end, id).ptr == end && programInterface_) {
        try {
            code_ = firstValue(codeOfIdSql(source_, company_, id));
        } catch (...) {
            QueryFailed.raise(trap::currentError());
        }
    }
    load(code_);
}

InputResult EditId::acceptTyped() {
    std::string code = rtrim(text());
    if (code.empty()) {
        id_.clear();
        code_.clear();
        return InputResult::accept();
    }
    std::string id;
    try {
        id = firstValue(idOfCodeSql(source_, company_, code));
    } catch (...) {
        storeText(code_);
        return InputResult::refuse(trap::currentError().description());
    }
    if (id.empty()) {
        storeText(code_);
        return InputResult::refuse("Il codice " + code + " non esiste.");
    }
    id_ = std::move(id);
    code_ = std::move(code);
    storeText(code_);
    return InputResult::accept();
}

}  // namespace krl::controls

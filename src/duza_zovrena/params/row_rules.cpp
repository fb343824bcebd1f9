#include "duza_zovrena/params/row_rules.h"

#include "krl/trap/trap.h"

namespace duza_zovrena::params {

namespace {

std::shared_ptr<krl::ado::Recordset> scratchRow(std::shared_ptr<krl::ado::Connection> connection,
                                                data::Record record) {
    auto rows = krl::ado::Recordset::create();
    rows->setActiveConnection(std::move(connection));
    rows->setSource("SELECT * FROM " + std::string(data::tableName(record)) + " WHERE 1 = 0");
    rows->open(krl::ado::adOpenUnspecified, krl::ado::adLockBatchOptimistic, krl::ado::adCmdText);
    rows->addNew();
    return rows;
}

// Calls `each` with every field and its value in `values` (null when missing): both are in the
// order of the columns' names.
template <typename Each>
void walk(const FieldPositions& fields, const Values& values, Each each) {
    static const krl::Variant missing = krl::Variant::null();
    auto value = values.begin();
    for (const auto& [column, position] : fields) {
        while (value != values.end() && value->first < column->name) {
            ++value;
        }
        const bool found = value != values.end() && value->first == column->name;
        each(*column, position, found ? value->second : missing);
    }
}

void load(krl::ado::Recordset& row, const FieldPositions& fields, const Values& values) {
    auto& all = row.fields();
    walk(fields, values,
         [&](const data::ColumnDef&, std::size_t position, const krl::Variant& value) {
             all.item(position).setValue(value);
         });
}

// The columns the scratch rows hold: all the sets carry but the priority tables, which a set
// names by code and no rule reads.
FieldPositions ruleFields(krl::ado::Recordset& row, data::Record record) {
    FieldPositions fields = carriedFields(row, record);
    std::erase_if(fields, [](const auto& field) {
        return field.first->kind == data::ColumnKind::PriorityTableId;
    });
    return fields;
}

// The values given, with what the scratch row holds now in its columns.
Values withRow(const Values& given, krl::ado::Recordset& row, const FieldPositions& fields) {
    Values values = given;
    for (auto& [column, value] : readValues(row, fields)) {
        values.insert_or_assign(column, std::move(value));
    }
    return values;
}

const Values& noValues() {
    static const Values none;
    return none;
}

}  // namespace

data::CompanyOptions readCompanyOptions(krl::ado::Connection& connection, long company) {
    auto rows = connection.execute(
        "SELECT CG18_FLGOPZIONE1, CG18_FLGOPZIONE2 FROM CG18_DITTE WHERE CG18_CODICE = " +
        std::to_string(company));
    if (rows->eof()) {
        return {};
    }
    return {krl::numericValue(rows->fields()["CG18_FLGOPZIONE1"].value()) != 0,
            krl::numericValue(rows->fields()["CG18_FLGOPZIONE2"].value()) != 0};
}

RowRules::RowRules(std::shared_ptr<krl::ado::Connection> connection, long company,
                   data::CompanyOptions options)
    : general_(scratchRow(connection, data::Record::General)),
      document_(scratchRow(connection, data::Record::Document)),
      generalFields_(ruleFields(*general_, data::Record::General)),
      documentFields_(ruleFields(*document_, data::Record::Document)),
      generalValues_(&noValues()),
      documentValues_(&noValues()),
      options_(options),
      documentRules_(std::make_unique<data::DocumentSaveRules>(
          static_cast<data::DocumentRulesContext&>(*this))) {
    const krl::Variant key(static_cast<std::int32_t>(company));
    (*general_)["PD42_DITTA_CG18"].setValue(key);
    (*document_)["PD88_DITTA_CG18"].setValue(key);
}

void RowRules::setGeneral(const Values& values) {
    generalValues_ = &values;
    load(*general_, generalFields_, values);
}

void RowRules::setDocument(const std::string& code, const Values& values, std::string typeText) {
    documentValues_ = &values;
    typeText_ = std::move(typeText);
    (*document_)["PD88_CODDOC_MG36"].setValue(krl::Variant(code));
    load(*document_, documentFields_, values);
}

int RowRules::showMessage(const std::string& text, long, int) {
    messages_.push_back(text);
    return 1;
}

int RowRules::errorRoutine(std::string_view routine, const krl::VbError& error) {
    messages_.push_back("Errore in " + std::string(routine) + ": " + error.description());
    return krl::trap::Abort;
}

std::optional<std::string> RowRules::saveGeneral() {
    messages_.clear();
    bool cancel = false;
    data::GeneralSaveRules(*this).beforeUpdate(cancel);
    if (!cancel) {
        return std::nullopt;
    }
    return messages_.empty() ? std::string("riga rifiutata") : messages_.front();
}

std::optional<std::string> RowRules::saveDocument() {
    messages_.clear();
    bool cancel = false;
    documentRules_->beforeUpdate(cancel);
    if (!cancel) {
        return std::nullopt;
    }
    return messages_.empty() ? std::string("riga rifiutata") : messages_.front();
}

Values RowRules::general() {
    return withRow(*generalValues_, *general_, generalFields_);
}

Values RowRules::document() {
    return withRow(*documentValues_, *document_, documentFields_);
}

std::vector<RuleFinding> RowRules::checkGeneral() {
    auto findings = check(*general_, generalFields_, *generalValues_, data::generalSaveRoutines());
    load(*general_, generalFields_, *generalValues_);
    return findings;
}

std::vector<RuleFinding> RowRules::checkDocument() {
    auto findings =
        check(*document_, documentFields_, *documentValues_, documentRules_->routines());
    load(*document_, documentFields_, *documentValues_);
    return findings;
}

// Each rule on its own: a refusal does not hide the rules after it, and the repairs are made in
// order on the scratch row, as a save makes them, then compared with the stored values.
std::vector<RuleFinding> RowRules::check(krl::ado::Recordset& row, const FieldPositions& fields,
                                         const Values& stored,
                                         const std::vector<const data::SaveRoutine*>& routines) {
    std::vector<RuleFinding> findings;
    for (const data::SaveRoutine* routine : routines) {
        for (const data::SaveRule& rule : routine->rules) {
            messages_.clear();
            try {
                data::SaveRow current(*this, &row, typeText_);
                if (rule.repair) {
                    rule.repair(current);
                } else if (rule.refuses(current)) {
                    findings.push_back({rule.textOf ? rule.textOf(current) : std::string(rule.text),
                                        {},
                                        {},
                                        {},
                                        &rule});
                }
            } catch (const krl::VbError& error) {
                findings.push_back(
                    {"Errore in " + std::string(routine->name) + ": " + error.description(),
                     {},
                     {},
                     {},
                     &rule});
            }
        }
    }
    auto& all = row.fields();
    walk(fields, stored,
         [&](const data::ColumnDef& column, std::size_t position, const krl::Variant& was) {
             krl::Variant after = canonical(column.kind, all.item(position).value());
             if (!was.identical(after)) {
                 findings.push_back({"il salvataggio scriverebbe " + displayValue(after),
                                     std::string(column.name), was, after, nullptr});
             }
         });
    return findings;
}

}  // namespace duza_zovrena::params

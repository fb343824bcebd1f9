#include "duza_zovrena/params/code_checks.h"

#include "duza_zovrena/pages/page_list.h"
#include "krl/variant/text.h"

namespace duza_zovrena::params {

namespace {

constexpr std::string_view kNoDocument = "documento non presente nella ditta";

std::string digits(const krl::Variant& value) {
    return std::to_string(static_cast<long long>(krl::numericValue(value)));
}

std::string kindsText(const std::vector<pages::DocumentKind>& kinds) {
    std::string text;
    for (const pages::DocumentKind& kind : kinds) {
        text += (text.empty() ? "" : ", ") + std::to_string(kind.type) + "/" +
                std::to_string(kind.subtype);
    }
    return text;
}

// Column names are unique across the two records (their table's prefix).
const CodeFieldUse* useOf(std::string_view column) {
    static const std::unordered_map<std::string_view, const CodeFieldUse*> byColumn = [] {
        std::unordered_map<std::string_view, const CodeFieldUse*> result;
        for (const CodeFieldUse& use : codeFieldUses()) {
            result.emplace(use.column, &use);
        }
        return result;
    }();
    auto found = byColumn.find(column);
    return found != byColumn.end() ? found->second : nullptr;
}

bool isCode(data::ColumnKind kind) {
    return kind == data::ColumnKind::DocumentCode || kind == data::ColumnKind::DepositCode ||
           kind == data::ColumnKind::QualificationCode || kind == data::ColumnKind::PriorityTableId;
}

class Checker {
  public:
    Checker(const CompanyCodes& codes, long company, std::vector<Problem>& problems)
        : codes_(codes), company_(company), problems_(problems) {}

    void row(data::Record record, const Values& values, const std::string& documentCode,
             std::string_view typeText) {
        for (const data::ColumnDef& column : data::columns(record)) {
            if (!isCode(column.kind)) {
                continue;
            }
            auto found = values.find(column.name);
            if (found != values.end() && !found->second.isNull()) {
                check(record, column, found->second, documentCode, typeText);
            }
        }
    }

    void add(std::string_view table, const std::string& documentCode, std::string_view column,
             const krl::Variant& value, std::string text) {
        problems_.push_back({company_, std::string(table), documentCode, std::string(column),
                             displayValue(value), std::move(text), placeOfColumn(column)});
    }

  private:
    void check(data::Record record, const data::ColumnDef& column, const krl::Variant& value,
               const std::string& documentCode, std::string_view typeText) {
        const std::string_view table = data::tableName(record);
        const std::string text = value.textOrEmpty();
        switch (column.kind) {
            case data::ColumnKind::DocumentCode:
                document(record, column, value, documentCode, typeText);
                break;
            case data::ColumnKind::DepositCode:
                if (!text.empty() && !codes_.deposits.contains(text)) {
                    add(table, documentCode, column.name, value,
                        "deposito non presente nella ditta");
                }
                break;
            case data::ColumnKind::QualificationCode:
                if (!text.empty() && !codes_.qualifications.contains(text)) {
                    add(table, documentCode, column.name, value,
                        "qualifica non presente nella ditta");
                }
                break;
            case data::ColumnKind::PriorityTableId:
                if (!value.isString() || !codes_.priorityTables.contains(text)) {
                    add(table, documentCode, column.name, value,
                        "tabella priorità non presente nella ditta");
                }
                break;
            default:
                break;
        }
    }

    void document(data::Record record, const data::ColumnDef& column, const krl::Variant& value,
                  const std::string& documentCode, std::string_view typeText) {
        const std::string code = value.textOrEmpty();
        if (code.empty()) {
            return;
        }
        const std::string_view table = data::tableName(record);
        auto found = codes_.documents.find(code);
        if (found == codes_.documents.end()) {
            add(table, documentCode, column.name, value, std::string(kNoDocument));
            return;
        }
        const CodeFieldUse* use = useOf(column.name);
        if (use == nullptr || use->field->kind == pages::CodeKind::UncheckedDocument) {
            return;
        }
        const auto kinds = acceptedKinds(*use->field, typeText);
        if (!kinds) {
            return;
        }
        for (const pages::DocumentKind& kind : *kinds) {
            if (found->second == std::to_string(kind.type) + std::to_string(kind.subtype)) {
                return;
            }
        }
        Problem problem{company_,
                        std::string(table),
                        documentCode,
                        std::string(column.name),
                        displayValue(value),
                        "tipo documento non ammesso nel campo (ammessi: " + kindsText(*kinds) + ")",
                        placeOfColumn(column.name)};
        problem.place.control = std::string(use->field->control);
        problems_.push_back(std::move(problem));
    }

    const CompanyCodes& codes_;
    long company_;
    std::vector<Problem>& problems_;
};

}  // namespace

CompanyCodes CompanyCodes::read(krl::ado::Connection& connection, long company) {
    const std::string key = std::to_string(company);
    CompanyCodes codes;
    for (auto rows = connection.execute(
             "SELECT MG3G_CODDOCUM_MG36, MG36_TIPODOC, MG36_STIPODOC FROM MG3G_DOCDITTA "
             "LEFT JOIN MG36_DOCUMENTI ON MG36_CODDOCUM = MG3G_CODDOCUM_MG36 "
             "AND MG36_INDSTAPER = MG3G_INDSTAPER_MG36 WHERE MG3G_DITTA_CG18 = " +
             key);
         !rows->eof(); rows->moveNext()) {
        auto& fields = rows->fields();
        codes.documents.emplace(
            krl::rtrim(fields["MG3G_CODDOCUM_MG36"].value().textOrEmpty()),
            digits(fields["MG36_TIPODOC"].value()) + digits(fields["MG36_STIPODOC"].value()));
    }
    for (auto rows = connection.execute(
             "SELECT MG58_CODICE FROM MG58_DEPOSITI WHERE MG58_DITTA_CG18 = " + key);
         !rows->eof(); rows->moveNext()) {
        codes.deposits.insert(krl::rtrim(rows->fields()["MG58_CODICE"].value().textOrEmpty()));
    }
    for (auto rows = connection.execute(
             "SELECT PD04_CODICE FROM PD04_QUALIFICHE WHERE PD04_DITTA_CG18 = " + key);
         !rows->eof(); rows->moveNext()) {
        codes.qualifications.insert(
            krl::rtrim(rows->fields()["PD04_CODICE"].value().textOrEmpty()));
    }
    for (const auto& [id, code] : params::priorityTables(connection, company)) {
        codes.priorityTables.emplace(code, id);
    }
    return codes;
}

const std::vector<CodeFieldUse>& codeFieldUses() {
    static const std::vector<CodeFieldUse> uses = [] {
        std::vector<CodeFieldUse> result;
        for (const pages::PageDeclaration& page : pages::pageList()) {
            if (page.record == pages::PageRecord::Transfer) {
                continue;
            }
            const data::Record record = page.record == pages::PageRecord::General
                                            ? data::Record::General
                                            : data::Record::Document;
            for (const pages::CodeFieldDef& field : page.codeFields) {
                for (const pages::ControlDef& control : page.controls) {
                    if (control.name == field.control && !control.column.empty()) {
                        result.push_back({record, control.column, &page, &field});
                    }
                }
            }
        }
        return result;
    }();
    return uses;
}

std::optional<std::vector<pages::DocumentKind>> acceptedKinds(const pages::CodeFieldDef& field,
                                                              std::string_view typeText) {
    if (field.kind != pages::CodeKind::Document) {
        return std::nullopt;
    }
    if (field.byDocumentKind.empty()) {
        std::vector<pages::DocumentKind> kinds;
        for (int subtype : field.subtypes) {
            kinds.push_back({field.documentType, subtype});
        }
        return kinds;
    }
    const pages::DocumentKindRule* chosen = nullptr;
    for (const pages::DocumentKindRule& rule : field.byDocumentKind) {
        if (!rule.key.empty() && rule.key == typeText) {
            chosen = &rule;
            break;
        }
        if (rule.key.empty() && chosen == nullptr) {
            chosen = &rule;
        }
    }
    if (chosen == nullptr || !chosen->checked) {
        return std::nullopt;
    }
    return chosen->kinds;
}

std::vector<Problem> codeProblems(const ParamSet& set, const CompanyCodes& codes, long company) {
    std::vector<Problem> problems;
    Checker checker(codes, company, problems);
    if (set.general) {
        checker.row(data::Record::General, *set.general, {}, {});
    }
    const std::string_view documents = data::tableName(data::Record::Document);
    for (const DocumentRow& row : set.documents) {
        auto found = codes.documents.find(row.code);
        if (found == codes.documents.end()) {
            checker.add(documents, row.code, "PD88_CODDOC_MG36", krl::Variant(row.code),
                        std::string(kNoDocument));
            continue;
        }
        checker.row(data::Record::Document, row.values, row.code, found->second);
    }
    for (const TransferRow& row : set.transfers) {
        if (!codes.documents.contains(row.code)) {
            checker.add(kTransferTable, row.code, kTransferCode, krl::Variant(row.code),
                        std::string(kNoDocument));
        }
    }
    return problems;
}

}  // namespace duza_zovrena::params

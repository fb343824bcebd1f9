#include "duza_zovrena/params/health_check.h"

#include <algorithm>

#include "duza_zovrena/pages/page_list.h"
#include "duza_zovrena/params/code_checks.h"
#include "duza_zovrena/params/row_rules.h"

namespace duza_zovrena::params {

namespace {

// The document indicators page takes the person to a document's row when a rule names no page.
constexpr std::string_view kDocumentGroup = "GRP_PRD_DOCUMENTI";
constexpr std::string_view kDocumentItem = "ITM_PRD_IND";

WindowPlace placeOfRule(const data::SaveRule& rule, data::Record record) {
    WindowPlace place{std::string(rule.group), std::string(rule.item), std::string(rule.focusPage),
                      std::string(rule.focusControl)};
    if (place.item.empty() && record == data::Record::Document) {
        place.group = std::string(kDocumentGroup);
        place.item = std::string(kDocumentItem);
    }
    return place;
}

WindowPlace transferPlace() {
    for (const pages::PageDeclaration& page : pages::pageList()) {
        if (page.record == pages::PageRecord::Transfer) {
            return {std::string(page.group), std::string(page.item), page.className, {}};
        }
    }
    return {};
}

void addFindings(std::vector<Problem>& problems, long company, data::Record record,
                 const std::string& documentCode, const std::vector<RuleFinding>& findings) {
    for (const RuleFinding& finding : findings) {
        Problem problem{company,
                        std::string(data::tableName(record)),
                        documentCode,
                        finding.column,
                        finding.column.empty() ? std::string() : displayValue(finding.stored),
                        oneLine(finding.text),
                        {}};
        problem.place = finding.rule != nullptr ? placeOfRule(*finding.rule, record)
                                                : placeOfColumn(finding.column);
        problems.push_back(std::move(problem));
    }
}

}  // namespace

std::vector<Problem> transferValueProblems(const ParamSet& set, long company) {
    std::vector<Problem> problems;
    for (const TransferRow& row : set.transfers) {
        for (const auto& [column, value] :
             {std::pair{kTransferHead, row.head}, std::pair{kTransferBody, row.body}}) {
            const double number = krl::numericValue(value);
            if (value.isNull() || (number != 0 && number != 1 && number != 2)) {
                problems.push_back({company,
                                    std::string(kTransferTable),
                                    row.code,
                                    std::string(column),
                                    displayValue(value),
                                    "valore ammesso: 0, 1 o 2",
                                    {}});
            }
        }
    }
    return problems;
}

std::vector<Problem> checkSet(const std::shared_ptr<krl::ado::Connection>& connection, long company,
                              const ParamSet& set) {
    const CompanyCodes codes = CompanyCodes::read(*connection, company);
    std::vector<Problem> problems = codeProblems(set, codes, company);
    RowRules rules(connection, company, readCompanyOptions(*connection, company));
    if (set.general) {
        rules.setGeneral(*set.general);
        addFindings(problems, company, data::Record::General, {}, rules.checkGeneral());
    }
    for (const DocumentRow& row : set.documents) {
        auto found = codes.documents.find(row.code);
        if (found == codes.documents.end()) {
            continue;  // reported by the code checks; its kind is unknown
        }
        rules.setDocument(row.code, row.values, found->second);
        addFindings(problems, company, data::Record::Document, row.code, rules.checkDocument());
    }
    for (Problem& problem : transferValueProblems(set, company)) {
        problems.push_back(std::move(problem));
    }
    for (Problem& problem : problems) {
        if (problem.table == kTransferTable) {
            problem.place = transferPlace();
        }
    }
    return problems;
}

std::vector<Problem> checkCompany(const std::shared_ptr<krl::ado::Connection>& connection,
                                  long company) {
    return checkSet(connection, company, readParamSet(*connection, company));
}

}  // namespace duza_zovrena::params

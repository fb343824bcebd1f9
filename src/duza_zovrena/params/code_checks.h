#pragma once

// The codes a parameter set points to, checked against what the company has: documents (and
// whether their type and subtype fit the field, as the page's code field accepts them), deposits,
// qualifications and price-list priority tables.

#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "duza_zovrena/data/columns.h"
#include "duza_zovrena/pages/declaration.h"
#include "duza_zovrena/params/param_set.h"
#include "duza_zovrena/params/problem.h"
#include "krl/ado/ado.h"

namespace duza_zovrena::params {

// What a company has for its parameters to point to.
struct CompanyCodes {
    // Document code -> type and subtype as decimal text ("2420").
    std::unordered_map<std::string, std::string> documents;
    std::unordered_set<std::string> deposits;
    std::unordered_set<std::string> qualifications;
    std::unordered_map<std::string, long long> priorityTables;  // code -> id

    static CompanyCodes read(krl::ado::Connection& connection, long company);
};

// A code field of a page and the column it edits.
struct CodeFieldUse {
    data::Record record;
    std::string_view column;
    const pages::PageDeclaration* page;
    const pages::CodeFieldDef* field;
};

// Every code field the page declarations have.
const std::vector<CodeFieldUse>& codeFieldUses();

// The document kinds a field accepts on a document of that type text (empty on the general row);
// none: the field takes any document the company has.
std::optional<std::vector<pages::DocumentKind>> acceptedKinds(const pages::CodeFieldDef& field,
                                                              std::string_view typeText);

// The problems of the codes in a set, for the company whose codes are given. A document row whose
// own code the company lacks is reported once, without checking its fields' kinds.
std::vector<Problem> codeProblems(const ParamSet& set, const CompanyCodes& codes, long company);

}  // namespace duza_zovrena::params

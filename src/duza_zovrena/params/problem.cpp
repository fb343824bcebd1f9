#include "duza_zovrena/params/problem.h"

#include "duza_zovrena/data/columns.h"
#include "duza_zovrena/pages/column_place.h"
#include "duza_zovrena/pages/page_list.h"
#include "krl/variant/text.h"

namespace duza_zovrena::params {

std::string problemLine(const Problem& problem) {
    std::string line = "Ditta " + std::to_string(problem.company) + ", " + problem.table;
    if (!problem.documentCode.empty()) {
        line += ", documento " + problem.documentCode;
    }
    if (!problem.column.empty()) {
        line += ", " + problem.column + " = " + problem.value;
    }
    return line + ": " + problem.text;
}

std::string oneLine(std::string_view text) {
    std::string result;
    for (char c : text) {
        if (c == '\r') {
            continue;
        }
        if (c == '\n') {
            if (!result.empty() && result.back() != ' ') {
                result += ' ';
            }
            continue;
        }
        result += c;
    }
    while (!result.empty() && result.back() == ' ') {
        result.pop_back();
    }
    return result;
}

WindowPlace placeOfColumn(std::string_view column) {
    auto found = pages::columnPlace(data::Record::General, column);
    if (!found) {
        found = pages::columnPlace(data::Record::Document, column);
    }
    if (!found) {
        return {};
    }
    const pages::PageDeclaration& page = *found->page;
    return {std::string(page.group), std::string(page.item), page.className,
            std::string(found->control->name)};
}

}  // namespace duza_zovrena::params

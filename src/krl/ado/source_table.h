#pragma once

// Reading the program's own SQL text for what the layer needs to write rows back.

#include <string>
#include <string_view>
#include <vector>

namespace krl::ado {

// The table of a single-table SELECT ("SELECT ... FROM <table> [alias] [WITH (NOLOCK)] ..."), as
// written; empty when the text is not a SELECT or reads more than one table (joins, APPLY, a
// comma list, UNION, a derived table).
std::string singleTableOf(std::string_view source);

// The parts of a possibly qualified name without their brackets or quotes:
// "[dbo].[PD42_ZOVRENA]" gives {"dbo", "PD42_ZOVRENA"}.
std::vector<std::string> identifierParts(std::string_view name);

}  // namespace krl::ado

#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>

namespace krl::ado {
class Connection;
}

namespace zovrena::web {

// The parameter rows of a company as the read-only API gives them: every column of the record's
// column table by name, with its caption (null for a column no page shows) and its stored value
// (codes without trailing blanks, numbers as numbers, NULL as null). Raise krl::VbError when the
// database fails.

// {"company", "table", "columns": {name: {"caption", "value"}}}; nullopt when the company has no
// general row.
std::optional<nlohmann::json> generalParametersJson(krl::ado::Connection& connection,
                                                    std::int32_t company);

// The same for the company's row of one document code, where every indicator also has
// "effective": {"value", "source"}: the setting in force and the column it comes from (the
// indicator itself, or the general column it follows while it holds 0). nullopt when the company
// has no row for the code.
std::optional<nlohmann::json> documentParametersJson(krl::ado::Connection& connection,
                                                     std::int32_t company, std::string_view code);

}  // namespace zovrena::web

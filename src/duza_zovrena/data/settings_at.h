#pragma once

// The parameters of a company as they were at a moment: the stored general row or document row,
// rebuilt from the current row and the change history recorded after that moment.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace krl::ado {
class Connection;
}

namespace duza_zovrena::data {

// Bad input: the message, in Italian, names what is wrong.
class SettingsError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "YYYY-MM-DD" or "YYYY-MM-DDTHH:MM" (a real date and time) as the history's UTC time text
// ("YYYY-MM-DDTHH:MM:00"; midnight for a date alone); SettingsError otherwise.
std::string historyMoment(std::string_view text);

struct SettingsQuery {
    std::int32_t company = 0;
    std::optional<std::string> document;  // a document row; none: the general row
    std::optional<std::string> at;        // as historyMoment writes it; none: now
};

struct SettingLine {
    std::string column;
    std::string_view caption;
    std::optional<std::string> stored;  // nullopt: NULL
    // Document indicators at 0 that follow a general column: the setting in force and the column.
    std::optional<std::string> effective;
    std::string_view fromGeneral;
};

// Every column of the row, in the column table's order. SettingsError for a company or a
// document the database does not know; krl::VbError when the database fails.
std::vector<SettingLine> settingsAt(krl::ado::Connection& connection, const SettingsQuery& query);

}  // namespace duza_zovrena::data

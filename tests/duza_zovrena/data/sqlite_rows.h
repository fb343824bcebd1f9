#pragma once

// Reading a SQLite database straight through the C API, for the schema and demo data tests.

#include <sqlite3.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "krl/variant/variant.h"

namespace duza_zovrena::data::testing {

using Row = std::map<std::string, krl::Variant>;

class SqliteFile {
  public:
    explicit SqliteFile(const std::string& file) {
        if (sqlite3_open(file.c_str(), &db_) != SQLITE_OK) {
            throw std::runtime_error("cannot open " + file);
        }
    }
    ~SqliteFile() { sqlite3_close(db_); }
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    void exec(const std::string& sql) {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            std::string text = message != nullptr ? message : "?";
            sqlite3_free(message);
            throw std::runtime_error(text);
        }
    }

    // Every row of a query, each column as the Variant a recordset would hold.
    std::vector<Row> rows(const std::string& sql) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
            throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in " + sql);
        }
        std::vector<Row> result;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            Row row;
            for (int i = 0; i < sqlite3_column_count(statement); ++i) {
                row[sqlite3_column_name(statement, i)] = value(statement, i);
            }
            result.push_back(std::move(row));
        }
        sqlite3_finalize(statement);
        return result;
    }

    long long count(const std::string& sql) { return rows(sql).at(0).begin()->second.toInt64(); }

  private:
    static krl::Variant value(sqlite3_stmt* statement, int column) {
        switch (sqlite3_column_type(statement, column)) {
            case SQLITE_NULL:
                return krl::Variant::null();
            case SQLITE_INTEGER:
                return krl::Variant(
                    static_cast<std::int64_t>(sqlite3_column_int64(statement, column)));
            case SQLITE_FLOAT:
                return krl::Variant(sqlite3_column_double(statement, column));
            default:
                return krl::Variant(std::string(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, column))));
        }
    }

    sqlite3* db_ = nullptr;
};

// "NAME=value NAME=value" in order, `separator` between the pairs; a value may be empty.
inline std::vector<std::pair<std::string, std::string>> pairs(std::string_view text,
                                                              char separator = ' ') {
    std::vector<std::pair<std::string, std::string>> result;
    std::istringstream items{std::string(text)};
    for (std::string item; std::getline(items, item, separator);) {
        const std::size_t first = item.find_first_not_of(' ');
        if (first != std::string::npos) {
            const std::size_t equals = item.find('=');
            result.emplace_back(item.substr(first, equals - first), item.substr(equals + 1));
        }
    }
    return result;
}

// A fresh folder under the system's temporary folder, removed at the end of the test.
class TempFolder {
  public:
    TempFolder() {
        static int counter = 0;
        path_ =
            std::filesystem::temp_directory_path() /
            ("zovrena_data_test_" + std::to_string(::getpid()) + "_" + std::to_string(++counter));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

}  // namespace duza_zovrena::data::testing

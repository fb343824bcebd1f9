#include "web/server/database_file.h"

#include <cstdio>
#include <string_view>
#include <system_error>

namespace zovrena::web {

namespace {

constexpr std::string_view sqlitePrefix = "sqlite:";

}  // namespace

std::filesystem::path sqliteFile(const std::string& database) {
    if (!database.starts_with(sqlitePrefix)) {
        return {};
    }
    std::filesystem::path file = database.substr(sqlitePrefix.size());
    return file == ":memory:" ? std::filesystem::path() : file;
}

void prepareSqliteFolder(const std::filesystem::path& file) {
    if (!file.empty() && file.has_parent_path()) {
        std::error_code ignored;
        std::filesystem::create_directories(file.parent_path(), ignored);
    }
}

bool missingOrEmpty(const std::filesystem::path& file) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    return error || size == 0;
}

std::string existingFileOnly(const std::string& database, const std::filesystem::path& file) {
    if (file.empty()) {
        return database;
    }
    std::string uri = "sqlite:file:";
    for (const char c : std::filesystem::absolute(file).string()) {
        if (c == '%' || c == '?' || c == '#') {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            uri += escaped;
        } else {
            uri += c;
        }
    }
    return uri + "?mode=rw";
}

bool sqliteFileMissing(const std::string& database) {
    const std::filesystem::path file = sqliteFile(database);
    std::error_code error;
    return !file.empty() && !std::filesystem::exists(file, error);
}

std::string existingFileOnly(const std::string& database) {
    return existingFileOnly(database, sqliteFile(database));
}

}  // namespace zovrena::web

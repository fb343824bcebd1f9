#pragma once

// The SQLite file a `--database` connection string names, and how the commands open it without
// creating it behind the person's back.

#include <filesystem>
#include <string>

namespace zovrena::web {

// The SQLite file of a connection string, or empty for another database (or one in memory).
std::filesystem::path sqliteFile(const std::string& database);

// An SQLite file in a folder that does not exist yet gets its folder.
void prepareSqliteFolder(const std::filesystem::path& file);

bool missingOrEmpty(const std::filesystem::path& file);

// The connection string names an SQLite file that is not there.
bool sqliteFileMissing(const std::string& database);

// The connection string to open: an SQLite file is opened only if it is there, so that a missing
// or deleted file is never created again (empty) behind the person's back.
std::string existingFileOnly(const std::string& database, const std::filesystem::path& file);
std::string existingFileOnly(const std::string& database);

}  // namespace zovrena::web

#pragma once

// The demo database: the schema of db/sqlite or db/sqlserver filled with the demo data of db/demo.
// The scripts are compiled into the program.

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace duza_zovrena::data {

class DemoDatabaseError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Creates the tables and fills them with the demo data, all or nothing. With rebuild the tables
// the schema knows are dropped first; without it a database that already has them fails.
// Connection strings: "sqlite:<file>" (the file and its folder are created when missing) or
// "odbc:<ODBC connection string>" (SQL Server). Failures raise DemoDatabaseError.
void createDemoDatabase(const std::string& connectionString, bool rebuild);

// Creates the demo database when the general parameters table is not there yet (a missing or
// empty SQLite file); a database that has it is left alone. Returns whether it created it.
bool ensureDemoDatabase(const std::string& connectionString);

// Adds to a SQLite demo database a company's worth of documents for measuring: `documents`
// documents of an eligible production kind (codes "B100000" on, shared by every company given
// them) given to the company, and saved transfer rows for `saved` of them, spread evenly.
void addDocumentLoad(const std::string& connectionString, int company, int documents, int saved);

// The scripts of db/, as compiled in.
std::string sqliteSchemaScript();
std::string sqlServerSchemaScript();
std::string demoDataScript();

// The tables the schema scripts create, each after the tables it could be dropped before.
std::span<const std::string_view> demoTables();

// The batches of a T-SQL script: a line holding only GO (any case, blanks around) ends a batch;
// blank batches are left out.
std::vector<std::string> splitBatches(std::string_view script);

}  // namespace duza_zovrena::data

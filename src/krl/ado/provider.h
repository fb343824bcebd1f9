#pragma once

// What the connection and the recordsets need from a database engine. One provider per open
// connection; it owns the engine handle and reports failures through the connection's Errors.

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "krl/ado/ado.h"
#include "krl/ado/column_type.h"

namespace krl::ado {

// Column names compare without regard to case.
std::string lowerName(std::string_view name);

// One result column as the engine describes it.
struct ColumnInfo {
    std::string name;
    ValueKind kind = ValueKind::Any;
    int definedSize = 0;
    // Where the column comes from, when the engine says so (empty for expressions).
    std::string baseSchema;
    std::string baseTable;
    std::string baseColumn;
    // False for types the engine cannot compare with "=" (long text and binary on SQL Server).
    bool comparable = true;
};

// The columns of a result, shared by every recordset opened on the same statement.
struct ColumnSet {
    std::vector<ColumnInfo> columns;
    std::unordered_map<std::string, std::size_t> byLowerName;  // first column of each name

    // Each column's base column as the engine quotes it, filled on first use by the writer.
    mutable std::vector<std::string> quotedBaseColumns;

    void index();
    std::optional<std::size_t> find(std::string_view name) const;
};
using ColumnSetPtr = std::shared_ptr<const ColumnSet>;

struct QueryResult {
    ColumnSetPtr columns;  // null when no statement returned rows
    std::vector<std::vector<Variant>> rows;
    long recordsAffected = -1;  // -1 when no statement changed rows
};

// A table as the engine names it, for the statements the layer writes itself.
struct TableName {
    std::string schema;  // empty: the engine's default resolution
    std::string table;
    bool empty() const { return table.empty(); }
};

class Provider {
  public:
    explicit Provider(Errors& errors) : errors_(errors) {}
    virtual ~Provider() = default;
    Provider(const Provider&) = delete;
    Provider& operator=(const Provider&) = delete;

    // The text the engine runs for a text the program wrote.
    virtual std::string engineText(std::string_view programText) = 0;

    // Runs engine SQL (one or more statements) with bound parameters. With wantRows the rows of
    // the first statement that returns columns are collected.
    virtual QueryResult run(std::string_view sql, std::span<const Variant> parameters,
                            bool wantRows) = 0;

    virtual void beginTransaction() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;  // never raises

    // The primary key columns of a table, in key order; empty when it has none.
    virtual std::vector<std::string> primaryKey(const TableName& table) = 0;

    // Statement building in the engine's dialect.
    virtual std::string quoteIdentifier(std::string_view name) const = 0;
    virtual std::string quoteTable(const TableName& table) const = 0;
    // Appends to sql a condition that holds when the column still has the value originally read,
    // and to parameters the values it needs.
    virtual void sameAsOriginal(std::string& sql, const std::string& quotedColumn,
                                const Variant& original,
                                std::vector<Variant>& parameters) const = 0;
    // A condition finding the row inserted last by this connection when the table's key is not
    // known (empty when the engine cannot tell).
    virtual std::string lastInsertedRowCondition() const { return {}; }
    // The engine query returning the identity this connection's last INSERT gave its row, as
    // one row of one column (empty when the engine cannot tell).
    virtual std::string lastIdentityQuery() const { return {}; }

  protected:
    // Adds the errors to the connection's collection and raises the first one.
    [[noreturn]] void fail(std::vector<Error> errors);
    Errors& errors_;
};

// Appends the text, as the program wrote it, to the file named by ZOVRENA_SQL_TRACE (one JSON
// string per line), so that every statement a run sends can be checked afterwards. Does nothing
// when the variable is not set.
void traceProgramText(std::string_view programText);

std::unique_ptr<Provider> openSqliteProvider(std::string_view file, Errors& errors);
std::unique_ptr<Provider> openOdbcProvider(std::string_view connectionString, Errors& errors);

}  // namespace krl::ado

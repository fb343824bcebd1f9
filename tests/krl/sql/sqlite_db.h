#pragma once

#include <sqlite3.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace krl::sql::testing {

// A SQLite connection for the tests: runs SQL and returns rows as text ("NULL" for null).
class SqliteDb {
  public:
    using Row = std::vector<std::string>;

    explicit SqliteDb(const std::string& path = ":memory:") {
        if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) {
            const std::string message = sqlite3_errmsg(db_);
            sqlite3_close(db_);
            throw std::runtime_error(message);
        }
    }
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;
    ~SqliteDb() { sqlite3_close(db_); }

    // Runs one statement (the whole text must be one statement) and returns its rows.
    std::vector<Row> query(std::string_view sql, const std::vector<std::string>& texts = {}) {
        sqlite3_stmt* statement = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement, &tail) !=
            SQLITE_OK) {
            throw std::runtime_error(sqlite3_errmsg(db_));
        }
        if (tail != sql.data() + sql.size()) {
            sqlite3_finalize(statement);
            throw std::runtime_error("more than one statement: " + std::string(sql));
        }
        for (std::size_t i = 0; i < texts.size(); ++i) {
            sqlite3_bind_text(statement, static_cast<int>(i + 1), texts[i].data(),
                              static_cast<int>(texts[i].size()), SQLITE_TRANSIENT);
        }
        std::vector<Row> rows;
        int step;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            Row row;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                const auto* text = sqlite3_column_text(statement, c);
                row.emplace_back(text ? std::string(reinterpret_cast<const char*>(text),
                                                    sqlite3_column_bytes(statement, c))
                                      : "NULL");
            }
            rows.push_back(std::move(row));
        }
        sqlite3_finalize(statement);
        if (step != SQLITE_DONE) {
            throw std::runtime_error(sqlite3_errmsg(db_));
        }
        return rows;
    }

    // Runs a script of statements written for SQLite (schema and data of a test).
    void script(const std::string& sql) {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = error ? error : "sqlite3_exec failed";
            sqlite3_free(error);
            throw std::runtime_error(message);
        }
    }

  private:
    sqlite3* db_ = nullptr;
};

// The tables the program reads and writes, with a few rows for companies 1 and 2. Company 1 uses
// the customised definition (indicator 1) of ODP and AVZ4; the standard definition of AVZ4 is of
// another type, so a join that ignores the indicator shows up in the results.
inline const char* const kProgramSchema = R"(
CREATE TABLE MG36_DOCUMENTI (MG36_CODDOCUM TEXT, MG36_INDSTAPER INTEGER, MG36_DESCDOCUM TEXT,
                             MG36_TIPODOC INTEGER, MG36_STIPODOC INTEGER);
CREATE TABLE MG3G_DOCDITTA (MG3G_DITTA_CG18 INTEGER, MG3G_CODDOCUM_MG36 TEXT,
                            MG3G_INDSTAPER_MG36 INTEGER);
CREATE TABLE PD42_ZOVRENA (PD42_DITTA_CG18 INTEGER PRIMARY KEY, PD42_FLGLISTPAR INTEGER);
CREATE TABLE PD88_ZOVRENADOC (PD88_DITTA_CG18 INTEGER, PD88_CODDOC_MG36 TEXT,
                              PD88_INDCARSFRIDOCL INTEGER);
CREATE TABLE WM00_CONFIG (WM00_DITTA_CG18 INTEGER, WM00_FLGWMSATTIVO INTEGER);
CREATE TABLE PD49_PARDOCPROD (PD49_DITTA_CG18 INTEGER, PD49_CODDOC_MG3G TEXT,
                              PD49_INDTRPERSTESTA INTEGER, PD49_INDTRPERSCORPO INTEGER);
INSERT INTO MG36_DOCUMENTI VALUES
  ('ODP', 0, 'Ordine di produzione', 24, 20),
  ('ODP', 1, 'Ordine di produzione personalizzato', 24, 20),
  ('BLC', 0, 'Bolla c/lavoro', 10, 3),
  ('AVZ', 0, 'Avanzamento', 24, 3),
  ('AVZ4', 0, 'Avanzamento base', 24, 9),
  ('AVZ4', 1, 'Avanzamento per fasi', 24, 4),
  ('FAT', 0, 'Fattura', 1, 2),
  ('L''ÀRTE', 0, 'Lavorazione d''arte', 25, 1),
  ('MAC', 0, 'Carico macero', 25, 11);
INSERT INTO MG3G_DOCDITTA VALUES
  (1, 'ODP', 1), (1, 'BLC', 0), (1, 'AVZ', 0), (1, 'AVZ4', 1), (1, 'FAT', 0),
  (1, 'L''ÀRTE', 0), (1, 'MAC', 0), (1, 'XX', 0),
  (2, 'ODP', 0);
INSERT INTO PD42_ZOVRENA VALUES (1, 0);
INSERT INTO PD88_ZOVRENADOC VALUES (1, 'ODP', 0), (1, 'FAT', 0);
INSERT INTO WM00_CONFIG VALUES (1, 1);
INSERT INTO PD49_PARDOCPROD VALUES (1, 'BLC', 1, 2), (1, 'OLD', 0, 0), (2, 'ODP', 0, 1);
)";

}  // namespace krl::sql::testing

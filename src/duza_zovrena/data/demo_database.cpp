#include "duza_zovrena/data/demo_database.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <system_error>

#include "krl/ado/ado.h"
#include "krl/variant/error.h"

namespace duza_zovrena::data {

namespace {

constexpr std::string_view kSqlitePrefix = "sqlite:";
constexpr std::string_view kOdbcPrefix = "odbc:";

// Its presence tells a database that has been set up.
constexpr std::string_view kMarkerTable = "PD42_ZOVRENA";

constexpr std::string_view kTables[] = {
    "PD98_STORICORIGHE", "PD97_STORICO",     "PD49_PARDOCPROD", "PD88_ZOVRENADOC",
    "PD42_ZOVRENA",      "CG99_MULTIMEDIA",  "WM00_CONFIG",     "LP09_TESTATAPRIORITA",
    "PD04_QUALIFICHE",   "MG58_DEPOSITI",    "MG3G_DOCDITTA",   "MG36_DOCUMENTI",
    "UT02_TOKENAPI",     "UT01_UTENTIDITTE", "UT00_UTENTI",     "CG18_DITTE",
};

[[noreturn]] void fail(const std::string& detail) {
    throw DemoDatabaseError("Creazione del database dimostrativo non riuscita: " + detail);
}

// ---- SQLite: the scripts run whole through sqlite3_exec, in one transaction.

class SqliteDatabase {
  public:
    explicit SqliteDatabase(const std::string& file) {
        if (file.empty()) {
            fail("manca il nome del file nella stringa di connessione");
        }
        std::filesystem::path path(file);
        if (file != ":memory:" && path.has_parent_path()) {
            std::error_code error;
            std::filesystem::create_directories(path.parent_path(), error);
            if (error) {
                fail("cartella " + path.parent_path().string() + ": " + error.message());
            }
        }
        int rc = sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                 nullptr);
        if (rc != SQLITE_OK) {
            std::string message = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
            sqlite3_close(db_);
            db_ = nullptr;
            fail(file + ": " + message);
        }
        // Another process may be creating the same file: wait for it instead of failing.
        sqlite3_busy_timeout(db_, 10000);
    }
    ~SqliteDatabase() { sqlite3_close(db_); }
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    void exec(const std::string& sql) {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            std::string text = message != nullptr ? message : sqlite3_errmsg(db_);
            sqlite3_free(message);
            fail(text);
        }
    }

    bool hasTable(std::string_view name) {
        sqlite3_stmt* statement = nullptr;
        const char* sql = "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1";
        if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK) {
            fail(sqlite3_errmsg(db_));
        }
        sqlite3_bind_text(statement, 1, name.data(), static_cast<int>(name.size()),
                          SQLITE_TRANSIENT);
        int rc = sqlite3_step(statement);
        sqlite3_finalize(statement);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            fail(sqlite3_errmsg(db_));
        }
        return rc == SQLITE_ROW;
    }

    // Runs work inside one write transaction; nothing stays when it fails.
    template <typename Work>
    auto inTransaction(Work work) {
        exec("BEGIN IMMEDIATE");
        try {
            auto result = work();
            exec("COMMIT");
            return result;
        } catch (...) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }

  private:
    sqlite3* db_ = nullptr;
};

void fillSqlite(SqliteDatabase& db, bool rebuild) {
    if (rebuild) {
        for (std::string_view table : kTables) {
            db.exec("DROP TABLE IF EXISTS " + std::string(table));
        }
    }
    db.exec(sqliteSchemaScript());
    db.exec(demoDataScript());
}

// ---- SQL Server: the scripts go batch by batch through the data layer, in one transaction.

class ServerDatabase {
  public:
    explicit ServerDatabase(const std::string& connectionString)
        : connection_(krl::ado::Connection::create()) {
        run([&] {
            connection_->setConnectionString(connectionString);
            connection_->open();
        });
    }
    ~ServerDatabase() {
        try {
            if (connection_->state() == krl::ado::adStateOpen) {
                connection_->close();
            }
        } catch (...) {  // nothing to report while closing
        }
    }
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    void exec(const std::string& sql) {
        run([&] { connection_->execute(sql, nullptr, krl::ado::adExecuteNoRecords); });
    }

    bool hasTable(std::string_view name) {
        bool found = false;
        run([&] {
            auto rows = connection_->execute("SELECT OBJECT_ID('dbo." + std::string(name) +
                                             "', 'U') AS TABLE_ID");
            found = rows && rows->state() == krl::ado::adStateOpen && !rows->eof() &&
                    !rows->fields()["TABLE_ID"].value().isNull();
        });
        return found;
    }

    template <typename Work>
    auto inTransaction(Work work) {
        exec("BEGIN TRANSACTION");
        try {
            auto result = work();
            exec("COMMIT TRANSACTION");
            return result;
        } catch (...) {
            try {
                connection_->execute("IF @@TRANCOUNT > 0 ROLLBACK TRANSACTION", nullptr,
                                     krl::ado::adExecuteNoRecords);
            } catch (...) {  // the first failure is the one to report
            }
            throw;
        }
    }

  private:
    template <typename Step>
    void run(Step step) {
        try {
            step();
        } catch (const krl::VbError& error) {
            std::string detail = error.description();
            for (const krl::ado::Error& item : connection_->errors().all()) {
                if (item.description != error.description()) {
                    detail += "; " + item.description;
                }
            }
            fail(detail);
        }
    }

    std::shared_ptr<krl::ado::Connection> connection_;
};

void fillServer(ServerDatabase& db, bool rebuild) {
    if (rebuild) {
        db.exec(
            "IF OBJECT_ID('dbo.FNMG36_DOCUMENTI') IS NOT NULL DROP FUNCTION dbo.FNMG36_DOCUMENTI");
        for (std::string_view table : kTables) {
            std::string name(table);
            std::string drop = "IF OBJECT_ID('dbo.";
            drop.append(name).append("', 'U') IS NOT NULL DROP TABLE dbo.").append(name);
            db.exec(drop);
        }
    }
    for (const std::string& batch : splitBatches(sqlServerSchemaScript())) {
        db.exec(batch);
    }
    for (const std::string& batch : splitBatches(demoDataScript())) {
        db.exec(batch);
    }
}

enum class Provider { Sqlite, Server };

Provider providerOf(const std::string& connectionString) {
    if (connectionString.starts_with(kSqlitePrefix)) {
        return Provider::Sqlite;
    }
    if (connectionString.starts_with(kOdbcPrefix)) {
        return Provider::Server;
    }
    fail("stringa di connessione non riconosciuta (\"sqlite:<file>\" oppure \"odbc:<...>\")");
}

template <typename Database, typename Fill>
bool ensure(Database& db, Fill fill) {
    return db.inTransaction([&] {
        if (db.hasTable(kMarkerTable)) {
            return false;
        }
        fill(db, false);
        return true;
    });
}

}  // namespace

std::span<const std::string_view> demoTables() {
    return kTables;
}

std::vector<std::string> splitBatches(std::string_view script) {
    std::vector<std::string> batches;
    std::string current;
    auto flush = [&] {
        bool blank = std::all_of(current.begin(), current.end(),
                                 [](unsigned char c) { return std::isspace(c) != 0; });
        if (!blank) {
            batches.push_back(current);
        }
        current.clear();
    };
    while (!script.empty()) {
        std::size_t end = script.find('\n');
        std::string_view line = script.substr(0, end);
        script = end == std::string_view::npos ? std::string_view{} : script.substr(end + 1);

        std::string_view word = line;
        while (!word.empty() && std::isspace(static_cast<unsigned char>(word.front()))) {
            word.remove_prefix(1);
        }
        while (!word.empty() && std::isspace(static_cast<unsigned char>(word.back()))) {
            word.remove_suffix(1);
        }
        if (word.size() == 2 && std::toupper(static_cast<unsigned char>(word[0])) == 'G' &&
            std::toupper(static_cast<unsigned char>(word[1])) == 'O') {
            flush();
        } else {
            current.append(line);
            current.push_back('\n');
        }
    }
    flush();
    return batches;
}

void createDemoDatabase(const std::string& connectionString, bool rebuild) {
    if (providerOf(connectionString) == Provider::Sqlite) {
        SqliteDatabase db(connectionString.substr(kSqlitePrefix.size()));
        db.inTransaction([&] {
            fillSqlite(db, rebuild);
            return true;
        });
        return;
    }
    ServerDatabase db(connectionString);
    db.inTransaction([&] {
        fillServer(db, rebuild);
        return true;
    });
}

void addDocumentLoad(const std::string& connectionString, int company, int documents, int saved) {
    if (providerOf(connectionString) != Provider::Sqlite) {
        fail("il carico di documenti si aggiunge solo a un database SQLite");
    }
    SqliteDatabase db(connectionString.substr(kSqlitePrefix.size()));
    const std::string ditta = std::to_string(company);
    const int every = saved > 0 ? std::max(1, documents / saved) : 0;
    constexpr std::string_view definition =
        "INSERT OR IGNORE INTO MG36_DOCUMENTI (MG36_CODDOCUM, MG36_INDSTAPER, MG36_DESCDOCUM, "
        "MG36_TIPODOC, MG36_STIPODOC) VALUES (";
    constexpr std::string_view given =
        "INSERT INTO MG3G_DOCDITTA (MG3G_DITTA_CG18, MG3G_CODDOCUM_MG36, MG3G_INDSTAPER_MG36) "
        "VALUES (";
    constexpr std::string_view transfer = "INSERT INTO PD49_PARDOCPROD VALUES (";
    const auto join = [](std::initializer_list<std::string_view> parts) {
        std::string text;
        for (std::string_view part : parts) {
            text += part;
        }
        return text;
    };
    db.inTransaction([&] {
        for (int i = 0; i < documents; ++i) {
            const std::string number = std::to_string(i);
            const std::string code = join({"'B", std::to_string(100000 + i), "'"});
            db.exec(join({definition, code, ", 0, 'Documento di prova ", number, "', 24, 20)"}));
            db.exec(join({given, ditta, ", ", code, ", 0)"}));
            if (every > 0 && i % every == 0 && i / every < saved) {
                db.exec(join({transfer, ditta, ", ", code, ", 1, 0)"}));
            }
        }
        return true;
    });
}

bool ensureDemoDatabase(const std::string& connectionString) {
    if (providerOf(connectionString) == Provider::Sqlite) {
        SqliteDatabase db(connectionString.substr(kSqlitePrefix.size()));
        return ensure(db, fillSqlite);
    }
    ServerDatabase db(connectionString);
    return ensure(db, fillServer);
}

}  // namespace duza_zovrena::data

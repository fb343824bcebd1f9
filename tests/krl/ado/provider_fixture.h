#pragma once

// The data-layer suite runs against every provider: the embedded engine always (a database file
// of its own per test), SQL Server only when ZOVRENA_SQLSERVER holds an ODBC connection string.

#include <gtest/gtest.h>

#include <unistd.h>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "data_access.h"
#include "krl/ado/ado.h"

namespace krl::ado::testing {

enum class Engine { Sqlite, SqlServer };

inline std::string engineName(const ::testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::Sqlite ? "Sqlite" : "SqlServer";
}

class ProviderTest : public ::testing::TestWithParam<Engine> {
  protected:
    void SetUp() override {
        if (GetParam() == Engine::SqlServer) {
            const char* odbc = std::getenv("ZOVRENA_SQLSERVER");
            if (odbc == nullptr || *odbc == '\0') {
                GTEST_SKIP() << "ZOVRENA_SQLSERVER is not set: no SQL Server to run against";
            }
            connectionString_ = std::string("odbc:") + odbc;
        } else {
            file_ = test_support::freshDatabaseFile("krl_ado");
            connectionString_ = "sqlite:" + file_.string();
        }
    }

    void TearDown() override {
        if (!file_.empty()) {
            std::filesystem::remove(file_);
            std::filesystem::remove(file_.string() + "-journal");
        }
    }

    bool sqlite() const { return GetParam() == Engine::Sqlite; }
    const std::string& connectionString() const { return connectionString_; }
    const std::filesystem::path& file() const { return file_; }

    std::shared_ptr<Connection> connect() {
        return test_support::openConnection(connectionString_);
    }

    static void exec(Connection& connection, const std::string& sql) {
        connection.execute(sql, nullptr, adExecuteNoRecords);
    }

    // A table made afresh (the server keeps tables between runs).
    static void createTable(Connection& connection, const std::string& name,
                            const std::string& columns) {
        exec(connection, "IF OBJECT_ID('" + name + "') IS NOT NULL DROP TABLE " + name);
        exec(connection, "CREATE TABLE " + name + " (" + columns + ")");
    }

    std::shared_ptr<Recordset> openRecordset(std::shared_ptr<Connection> connection,
                                             const std::string& source) {
        return test_support::openRecordset(std::move(connection), source);
    }

    // One value read straight from the database.
    static Variant scalar(Connection& connection, const std::string& sql) {
        auto rows = connection.execute(sql);
        if (rows->state() != adStateOpen || rows->eof()) {
            return Variant();
        }
        return rows->fields().item(0).value();
    }

  private:
    std::string connectionString_;
    std::filesystem::path file_;
};

// The error a call raises; number 0 when it raises none.
template <typename Call>
long errorNumberOf(Call&& call) {
    try {
        call();
    } catch (const VbError& error) {
        return error.number();
    }
    return 0;
}

}  // namespace krl::ado::testing

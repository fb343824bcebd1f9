#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "krl/ado/ado.h"
#include "krl/ado/provider_fixture.h"
#include "krl/ado/source_table.h"

namespace krl::ado::testing {
namespace {

using ::testing::HasSubstr;

class SqliteProviderTest : public ProviderTest {
  protected:
    void SetUp() override {
        ProviderTest::SetUp();
        db_ = connect();
        createTable(*db_, "T", "K INT NOT NULL PRIMARY KEY, A SMALLINT NULL, B VARCHAR(10) NULL");
        exec(*db_, "INSERT INTO T VALUES (1, 1, 'uno')");
    }

    std::shared_ptr<Connection> db_;
};

INSTANTIATE_TEST_SUITE_P(Embedded, SqliteProviderTest, ::testing::Values(Engine::Sqlite),
                         engineName);

TEST_P(SqliteProviderTest, UpdateBatch_sets_only_the_changed_columns) {
    // A trigger on B fires whenever an UPDATE names B in its SET list.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(file().c_str(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw,
                           "CREATE TABLE LOG_B (K INT);"
                           "CREATE TRIGGER T_B AFTER UPDATE OF B ON T "
                           "BEGIN INSERT INTO LOG_B VALUES (NEW.K); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);
    auto rs = openRecordset(db_, "SELECT * FROM T");
    rs->fields()["A"].setValue(std::int16_t{2});
    rs->fields()["B"].setValue("uno");
    rs->updateBatch();

    EXPECT_EQ(scalar(*db_, "SELECT A FROM T").toInt32(), 2);
    EXPECT_EQ(scalar(*db_, "SELECT COUNT(*) FROM LOG_B").toInt32(), 0);

    rs->fields()["B"].setValue("due");
    rs->updateBatch();
    EXPECT_EQ(scalar(*db_, "SELECT COUNT(*) FROM LOG_B").toInt32(), 1);
}

TEST_P(SqliteProviderTest, Engine_refusals_are_told_in_Italian_with_the_engine_text_kept) {
    struct Case {
        const char* statement;
        const char* told;
        const char* engine;
    };
    const Case cases[] = {
        {"INSERT INTO T (A) VALUES (2)", "Un campo obbligatorio non è valorizzato (T.K).",
         "NOT NULL constraint failed"},
        {"INSERT INTO T VALUES (1, 2, 'due')", "Esiste già un record con la stessa chiave (T.K).",
         "UNIQUE constraint failed"},
        {"SELECT NESSUNA FROM T", "no such column", "no such column"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.statement);
        EXPECT_EQ(errorNumberOf([&] { db_->execute(c.statement, nullptr, adExecuteNoRecords); }),
                  adErrProvider);
        ASSERT_EQ(db_->errors().count(), 1U);
        EXPECT_THAT(db_->errors().item(0).description, HasSubstr(c.told));
        EXPECT_THAT(db_->errors().item(0).description, HasSubstr(c.engine));
    }
}

TEST_P(SqliteProviderTest, Locked_database_gives_an_error_instead_of_waiting) {
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(file().c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE; UPDATE T SET B = 'altro'", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);

    auto rs = openRecordset(db_, "SELECT * FROM T");  // reading is still allowed
    rs->fields()["A"].setValue(std::int16_t{3});
    EXPECT_EQ(errorNumberOf([&] { rs->updateBatch(); }), adErrProvider);
    ASSERT_EQ(db_->errors().count(), 1U);
    EXPECT_THAT(db_->errors().item(0).description, HasSubstr("locked"));
    EXPECT_THAT(db_->errors().item(0).description, HasSubstr("occupata da un'altra operazione"));
    EXPECT_EQ(db_->errors().item(0).nativeError & 0xFF, SQLITE_BUSY);
    EXPECT_TRUE(rs->currentRowChanged());

    sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    rs->updateBatch();
    EXPECT_EQ(scalar(*db_, "SELECT A FROM T").toInt32(), 3);
}

TEST_P(SqliteProviderTest, Refused_translation_is_an_error_of_the_connection) {
    EXPECT_EQ(errorNumberOf([&] { db_->execute("SELECT TOP 1 * FROM T"); }), adErrProvider);
    ASSERT_EQ(db_->errors().count(), 1U);
    EXPECT_THAT(db_->errors().item(0).description, HasSubstr("TOP"));

    auto rs = Recordset::create();
    rs->setActiveConnection(db_);
    rs->setSource("SELECT ISNULL(A, 0) FROM T");
    EXPECT_EQ(errorNumberOf([&] { rs->open(); }), adErrProvider);
    EXPECT_EQ(rs->state(), adStateClosed);
}

TEST_P(SqliteProviderTest, Columns_of_expressions_are_read_but_never_written) {
    auto rs = openRecordset(db_, "SELECT K, A, A + 1 AS NEXT_A FROM T");
    EXPECT_EQ(rs->fields()["NEXT_A"].value().toInt32(), 2);
    rs->fields()["NEXT_A"].setValue(std::int32_t{7});
    EXPECT_EQ(errorNumberOf([&] { rs->updateBatch(); }), adErrProvider);
    EXPECT_THAT(db_->errors().item(0).description, HasSubstr("NEXT_A"));
}

TEST(SqliteConnection, Open_reports_what_cannot_be_opened) {
    struct Case {
        const char* connectionString;
        long error;
    };
    const Case cases[] = {
        {"sqlite::memory:", 0},
        {"sqlite:/no/such/folder/x.db", adErrProvider},
        {"postgres:whatever", adErrProviderNotFound},
        {"", adErrProviderNotFound},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.connectionString);
        auto connection = Connection::create();
        connection->setConnectionString(c.connectionString);
        EXPECT_EQ(errorNumberOf([&] { connection->open(); }), c.error);
        EXPECT_EQ(connection->state(), c.error == 0 ? adStateOpen : adStateClosed);
        EXPECT_EQ(connection->errors().count(), c.error == 0 ? 0U : 1U);
    }
}

TEST(SourceTable, Single_table_of_a_select_as_written) {
    struct Case {
        const char* source;
        const char* table;
    };
    const Case cases[] = {
        {"SELECT * FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = 1", "PD42_ZOVRENA"},
        {"select * from #PARDOCPROD ORDER BY PD49_CODDOC_MG3G", "#PARDOCPROD"},
        {"SELECT * FROM PD88_ZOVRENADOC WITH (NOLOCK) WHERE 1 = 0", "PD88_ZOVRENADOC"},
        {"SELECT a FROM [dbo].[T] x WHERE a IN (SELECT b FROM U)", "[dbo].[T]"},
        {"SELECT 'FROM X' AS f FROM dbo.T -- FROM Y", "dbo.T"},
        {"SELECT * FROM A INNER JOIN B ON A.k = B.k", ""},
        {"SELECT * FROM A, B", ""},
        {"SELECT * FROM A OUTER APPLY dbo.F(A.x)", ""},
        {"SELECT * FROM (SELECT 1 AS x) d", ""},
        {"SELECT * FROM dbo.F(1)", ""},
        {"SELECT a FROM A UNION SELECT a FROM B", ""},
        {"UPDATE T SET a = 1", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(singleTableOf(c.source), c.table) << c.source;
    }
    EXPECT_EQ(identifierParts("[dbo].[a]]b]"), (std::vector<std::string>{"dbo", "a]b"}));
}

}  // namespace
}  // namespace krl::ado::testing

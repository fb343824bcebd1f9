// The ODBC provider through the driver manager, on the embedded engine's own ODBC driver when it
// is installed: the statements are plain SQL that needs no translation.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data_access.h"
#include "krl/ado/ado.h"
#include "krl/ado/provider_fixture.h"

namespace krl::ado::testing {
namespace {

using ::testing::HasSubstr;

class OdbcProviderTest : public ProviderTest {
  protected:
    void SetUp() override {
        ProviderTest::SetUp();  // a database file of the test's own
        odbc_ = "odbc:Driver=SQLite3;Database=" + file().string() + ";";
        try {
            db_ = connectOdbc();
        } catch (const VbError& error) {
            GTEST_SKIP() << "no SQLite3 ODBC driver registered with the driver manager: "
                         << error.description();
        }
        exec(*db_,
             "CREATE TABLE T (K INTEGER NOT NULL PRIMARY KEY, A SMALLINT NULL CHECK (A < 100), "
             "B VARCHAR(10) NULL, Q FLOAT NULL)");
        exec(*db_, "INSERT INTO T VALUES (1, 1, 'uno', 0.5)");
        exec(*db_, "INSERT INTO T VALUES (2, NULL, NULL, NULL)");
    }

    std::shared_ptr<Connection> connectOdbc() { return test_support::openConnection(odbc_); }

    std::string odbc_;
    std::shared_ptr<Connection> db_;
};

INSTANTIATE_TEST_SUITE_P(DriverManager, OdbcProviderTest, ::testing::Values(Engine::Sqlite),
                         engineName);

TEST_P(OdbcProviderTest, Rows_come_with_their_types_and_the_table_key) {
    auto rs = openRecordset(db_, "SELECT * FROM T ORDER BY K");
    EXPECT_EQ(rs->recordCount(), 2);
    EXPECT_EQ(rs->fields()["K"].value().type(), Variant::Type::Long);
    EXPECT_EQ(rs->fields()["A"].value().type(), Variant::Type::Integer);
    EXPECT_EQ(rs->fields()["B"].value().toText(), "uno");
    EXPECT_EQ(rs->fields()["Q"].value().toDouble(), 0.5);
    EXPECT_EQ(rs->keyColumns(), std::vector<std::string>{"K"});
    rs->moveNext();
    EXPECT_TRUE(rs->fields()["B"].value().isNull());

    long affected = -1;
    EXPECT_EQ(db_->execute("UPDATE T SET A = 3", &affected, adExecuteNoRecords), nullptr);
    EXPECT_EQ(affected, 2);
    db_->execute("UPDATE T SET A = 3 WHERE K = 99", &affected, adExecuteNoRecords);
    EXPECT_EQ(affected, 0);
}

TEST_P(OdbcProviderTest, UpdateBatch_finds_rows_with_NULL_originals_and_refuses_conflicts) {
    auto rs = openRecordset(db_, "SELECT * FROM T ORDER BY K");
    rs->moveNext();  // the row of NULLs
    rs->fields()["B"].setValue("due; 'x' --");
    rs->updateBatch();
    EXPECT_EQ(scalar(*db_, "SELECT B FROM T WHERE K = 2").toText(), "due; 'x' --");
    EXPECT_TRUE(scalar(*db_, "SELECT A FROM T WHERE K = 2").isNull());

    auto other = connectOdbc();
    exec(*other, "UPDATE T SET Q = 9 WHERE K = 2");
    rs->fields()["A"].setValue(std::int16_t{4});
    EXPECT_EQ(errorNumberOf([&] { rs->updateBatch(); }), adErrUpdateConflict);
    EXPECT_TRUE(scalar(*db_, "SELECT A FROM T WHERE K = 2").isNull());
    EXPECT_EQ(rs->fields()["A"].value().toInt32(), 4);
}

TEST_P(OdbcProviderTest, Failing_row_rolls_the_batch_back_and_reports_the_driver_diagnostics) {
    auto rs = openRecordset(db_, "SELECT * FROM T ORDER BY K");
    rs->fields()["A"].setValue(std::int16_t{5});
    rs->moveNext();
    rs->fields()["A"].setValue(std::int16_t{500});
    EXPECT_EQ(errorNumberOf([&] { rs->updateBatch(); }), adErrProvider);
    ASSERT_GE(db_->errors().count(), 1U);
    EXPECT_EQ(db_->errors().item(0).sqlState.size(), 5U);
    EXPECT_THAT(db_->errors().item(0).description, HasSubstr("CHECK"));
    EXPECT_EQ(scalar(*db_, "SELECT A FROM T WHERE K = 1").toInt32(), 1);

    rs->fields()["A"].setValue(std::int16_t{6});
    rs->updateBatch();
    EXPECT_EQ(scalar(*db_, "SELECT A FROM T WHERE K = 1").toInt32(), 5);
    EXPECT_EQ(scalar(*db_, "SELECT A FROM T WHERE K = 2").toInt32(), 6);
}

TEST_P(OdbcProviderTest, AddNew_inserts_the_fields_set) {
    auto rs = openRecordset(db_, "SELECT K, B FROM T WHERE 1 = 0");
    rs->addNew();
    rs->fields()["K"].setValue(std::int32_t{3});
    rs->fields()["B"].setValue("tre");
    rs->updateBatch();
    EXPECT_EQ(scalar(*db_, "SELECT B FROM T WHERE K = 3").toText(), "tre");
    EXPECT_TRUE(scalar(*db_, "SELECT A FROM T WHERE K = 3").isNull());
}

}  // namespace
}  // namespace krl::ado::testing

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "krl/ado/ado.h"
#include "krl/ado/provider_fixture.h"

namespace krl::ado::testing {
namespace {

using ::testing::HasSubstr;

constexpr const char* kTable = "ADO_PARAM";
constexpr const char* kColumns =
    "DITTA INT NOT NULL PRIMARY KEY, FLAG SMALLINT NULL CHECK (FLAG < 100), CODE VARCHAR(14) NULL, "
    "NOTE NVARCHAR(60) NULL, QTY FLOAT NULL, BIGV BIGINT NULL, "
    "DESCR VARCHAR(30) NULL DEFAULT 'predefinito'";

class RecordsetTest : public ProviderTest {
  protected:
    void SetUp() override {
        ProviderTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        db_ = connect();
        createTable(*db_, kTable, kColumns);
    }

    void insertRow(int ditta, const std::string& values = "NULL, NULL, NULL, NULL, NULL, 'd'") {
        exec(*db_, "INSERT INTO ADO_PARAM VALUES (" + std::to_string(ditta) + ", " + values + ")");
    }

    Variant stored(const std::string& column, int ditta) {
        return scalar(
            *db_, "SELECT " + column + " FROM ADO_PARAM WHERE DITTA = " + std::to_string(ditta));
    }

    std::shared_ptr<Recordset> open(const std::string& where = "") {
        return openRecordset(db_,
                             "SELECT * FROM ADO_PARAM WITH (NOLOCK)" + where + " ORDER BY DITTA");
    }

    std::shared_ptr<Connection> db_;
};

INSTANTIATE_TEST_SUITE_P(Providers, RecordsetTest,
                         ::testing::Values(Engine::Sqlite, Engine::SqlServer), engineName);

TEST_P(RecordsetTest, Execute_returns_no_records_when_option_128) {
    insertRow(1);
    long affected = -5;
    EXPECT_EQ(
        db_->execute("INSERT INTO ADO_PARAM (DITTA) VALUES (2)", &affected, adExecuteNoRecords),
        nullptr);
    EXPECT_EQ(affected, 1);
    EXPECT_EQ(db_->execute("UPDATE ADO_PARAM SET FLAG = 3", &affected, adExecuteNoRecords),
              nullptr);
    EXPECT_EQ(affected, 2);
    EXPECT_EQ(db_->execute("SELECT * FROM ADO_PARAM", &affected, adExecuteNoRecords), nullptr);

    auto rows = db_->execute("SELECT DITTA, FLAG FROM ADO_PARAM ORDER BY DITTA");
    ASSERT_EQ(rows->state(), adStateOpen);
    EXPECT_EQ(rows->recordCount(), 2);
    EXPECT_EQ(rows->fields()["FLAG"].value().toInt32(), 3);
    EXPECT_EQ(errorNumberOf([&] { rows->fields()["FLAG"].setValue(std::int16_t{4}); }),
              adErrNotUpdatable);

    auto none = db_->execute("DELETE FROM ADO_PARAM WHERE DITTA = 2", &affected);
    EXPECT_EQ(none->state(), adStateClosed);
    EXPECT_EQ(affected, 1);
}

TEST_P(RecordsetTest, Fields_take_the_type_and_width_of_the_declared_column) {
    insertRow(1, "3, 'ABC', NULL, 1.5, 5000000000, 'd'");
    auto rs = open();
    struct Case {
        const char* field;
        Variant::Type type;
        int definedSize;
    };
    const Case cases[] = {
        {"DITTA", Variant::Type::Long, 0},    {"FLAG", Variant::Type::Integer, 0},
        {"CODE", Variant::Type::String, 14},  {"NOTE", Variant::Type::Null, 60},
        {"QTY", Variant::Type::Double, 0},    {"BIGV", Variant::Type::LongLong, 0},
        {"descr", Variant::Type::String, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        Field& field = rs->fields()[c.field];
        EXPECT_EQ(field.value().type(), c.type);
        EXPECT_EQ(field.definedSize(), c.definedSize);
    }
    EXPECT_EQ(rs->fields()["BIGV"].value().toInt64(), 5000000000LL);
    EXPECT_EQ(rs->baseTable(), "ADO_PARAM");
    EXPECT_EQ(rs->keyColumns(), std::vector<std::string>{"DITTA"});
}

TEST_P(RecordsetTest, Moving_and_reading_outside_the_rows_raise_the_runtime_errors) {
    insertRow(1);
    insertRow(2);
    auto empty = open(" WHERE 1 = 0");
    EXPECT_TRUE(empty->bof());
    EXPECT_TRUE(empty->eof());
    EXPECT_EQ(empty->recordCount(), 0);

    auto rs = open();
    struct Step {
        const char* what;
        std::function<void()> action;
        long error;
        bool bof, eof;
    };
    Recordset& r = *rs;
    const Step steps[] = {
        {"read unknown field", [&] { (void)r.fields()["NO_SUCH"]; }, adErrItemNotFound, false,
         false},
        {"read on the first row", [&] { EXPECT_EQ(r["ditta"].value().toInt32(), 1); }, 0, false,
         false},
        {"move before the first", [&] { r.movePrevious(); }, 0, true, false},
        {"read before the first", [&] { (void)r["DITTA"].value(); }, adErrNoCurrentRecord, true,
         false},
        {"move before BOF", [&] { r.movePrevious(); }, adErrNoCurrentRecord, true, false},
        {"move to the last", [&] { r.moveLast(); }, 0, false, false},
        {"read the last", [&] { EXPECT_EQ(r["DITTA"].value().toInt32(), 2); }, 0, false, false},
        {"move past the end", [&] { r.moveNext(); }, 0, false, true},
        {"write past the end", [&] { r["FLAG"].setValue(std::int16_t{1}); }, adErrNoCurrentRecord,
         false, true},
        {"move past EOF", [&] { r.moveNext(); }, adErrNoCurrentRecord, false, true},
        {"back to the first", [&] { r.moveFirst(); }, 0, false, false},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        EXPECT_EQ(errorNumberOf(step.action), step.error);
        EXPECT_EQ(r.bof(), step.bof);
        EXPECT_EQ(r.eof(), step.eof);
    }
    EXPECT_EQ(errorNumberOf([&] { empty->moveFirst(); }), adErrNoCurrentRecord);
    EXPECT_EQ(errorNumberOf([&] { (void)empty->fields()["DITTA"].value(); }), adErrNoCurrentRecord);
}

TEST_P(RecordsetTest, Assigned_values_are_converted_to_the_column_type) {
    insertRow(1);
    auto rs = open();
    struct Case {
        const char* field;
        Variant value;
        long error;
        Variant expected;
    };
    const Case cases[] = {
        {"FLAG", Variant("12"), 0, Variant(std::int16_t{12})},
        {"FLAG", Variant(std::int32_t{70000}), err::Overflow, Variant()},
        {"FLAG", Variant("abc"), err::TypeMismatch, Variant()},
        {"CODE", Variant(std::int32_t{5}), 0, Variant("5")},
        {"QTY", Variant("2,5"), 0, Variant(2.5)},
        {"NOTE", Variant::null(), 0, Variant::null()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(errorNumberOf([&] { rs->fields()[c.field].setValue(c.value); }), c.error);
        if (c.error == 0) {
            EXPECT_TRUE(rs->fields()[c.field].value().identical(c.expected))
                << rs->fields()[c.field].value().describe();
        }
    }
}

TEST_P(RecordsetTest, Temporary_table_belongs_to_the_connection_that_made_it) {
    insertRow(1, "0, 'DOC1', NULL, NULL, NULL, 'd'");
    insertRow(2, "0, 'DOC2', NULL, NULL, NULL, 'd'");
    auto other = connect();
    const std::string fill =
        "SELECT DITTA, CODE INTO #PARDOCPROD FROM ADO_PARAM WITH (NOLOCK) WHERE DITTA = ";
    exec(*db_, fill + "1");

    EXPECT_EQ(errorNumberOf([&] { other->execute("SELECT * FROM #PARDOCPROD"); }), adErrProvider);
    ASSERT_EQ(other->errors().count(), 1U);
    EXPECT_FALSE(other->errors().item(0).description.empty());

    exec(*other, fill + "2");
    EXPECT_EQ(scalar(*db_, "SELECT CODE FROM #PARDOCPROD").toText(), "DOC1");
    EXPECT_EQ(scalar(*other, "SELECT CODE FROM #PARDOCPROD").toText(), "DOC2");

    exec(*db_, "IF NOT OBJECT_ID('tempdb..#PARDOCPROD') IS NULL DROP TABLE #PARDOCPROD");
    EXPECT_EQ(errorNumberOf([&] { db_->execute("SELECT * FROM #PARDOCPROD"); }), adErrProvider);
    EXPECT_EQ(scalar(*other, "SELECT CODE FROM #PARDOCPROD").toText(), "DOC2");
}

TEST_P(RecordsetTest, UpdateBatch_writes_a_keyless_temporary_table_through_the_key_it_is_told) {
    insertRow(1, "2, 'DOC1', NULL, NULL, NULL, 'd'");
    insertRow(2, "2, 'DOC2', NULL, NULL, NULL, 'd'");
    exec(*db_, "SELECT CODE, FLAG INTO #PARDOCPROD FROM ADO_PARAM WITH (NOLOCK)");
    auto grid = openRecordset(db_, "SELECT * FROM #PARDOCPROD ORDER BY CODE");
    grid->setMarshalOptions(adMarshalModifiedOnly);
    EXPECT_TRUE(grid->keyColumns().empty());
    grid->moveLast();
    grid->fields()["FLAG"].setValue(std::int16_t{1});

    EXPECT_EQ(errorNumberOf([&] { grid->updateBatch(adAffectAll); }), adErrProvider);
    EXPECT_EQ(db_->errors().count(), 1U);
    EXPECT_TRUE(grid->currentRowChanged());

    grid->setKeyColumns({"CODE"});
    grid->updateBatch(adAffectAll);
    EXPECT_EQ(scalar(*db_, "SELECT FLAG FROM #PARDOCPROD WHERE CODE = 'DOC2'").toInt32(), 1);
    EXPECT_EQ(scalar(*db_, "SELECT FLAG FROM #PARDOCPROD WHERE CODE = 'DOC1'").toInt32(), 2);
    EXPECT_FALSE(grid->currentRowChanged());
}

TEST_P(RecordsetTest, Conflicting_writer_is_refused_and_loses_nothing) {
    insertRow(1, "1, 'OLD', NULL, NULL, NULL, 'd'");
    auto second = connect();
    auto mine = open();
    auto theirs = openRecordset(second, "SELECT * FROM ADO_PARAM ORDER BY DITTA");

    theirs->fields()["FLAG"].setValue(std::int16_t{9});
    theirs->updateBatch();
    mine->fields()["CODE"].setValue("MINE");

    EXPECT_EQ(errorNumberOf([&] { mine->updateBatch(); }), adErrUpdateConflict);
    ASSERT_EQ(db_->errors().count(), 1U);
    EXPECT_EQ(db_->errors().item(0).number, adErrUpdateConflict);
    EXPECT_EQ(db_->errors().item(0).description,
              "Il record è stato modificato o eliminato da un altro utente dopo la lettura.");
    EXPECT_EQ(stored("FLAG", 1).toInt32(), 9);
    EXPECT_EQ(stored("CODE", 1).toText(), "OLD");
    EXPECT_EQ(mine->fields()["CODE"].value().toText(), "MINE");
    EXPECT_EQ(mine->fields()["CODE"].originalValue().toText(), "OLD");
    EXPECT_TRUE(mine->currentRowChanged());

    // A row deleted by someone else is a conflict too, for an update and for a delete.
    exec(*second, "DELETE FROM ADO_PARAM WHERE DITTA = 1");
    EXPECT_EQ(errorNumberOf([&] { mine->updateBatch(); }), adErrUpdateConflict);
    mine->cancelBatch();
    mine->deleteCurrent();
    EXPECT_EQ(errorNumberOf([&] { mine->updateBatch(); }), adErrUpdateConflict);
}

TEST_P(RecordsetTest, UpdateBatch_leaves_untouched_columns_as_stored) {
    insertRow(1, "1, 'X  ', NULL, 0.1, NULL, 'kept'");
    auto rs = open();
    rs->fields()["FLAG"].setValue(std::int16_t{2});
    rs->fields()["CODE"].setValue("X  ");  // the same value: not a change
    rs->updateBatch();

    EXPECT_EQ(stored("FLAG", 1).toInt32(), 2);
    EXPECT_EQ(stored("CODE", 1).toText(), "X  ");
    EXPECT_TRUE(stored("NOTE", 1).isNull());
    EXPECT_TRUE(stored("BIGV", 1).isNull());
    EXPECT_EQ(stored("QTY", 1).toDouble(), 0.1);
    EXPECT_EQ(stored("DESCR", 1).toText(), "kept");

    // The written values are now the ones the next update is checked against.
    rs->fields()["FLAG"].setValue(std::int16_t{3});
    rs->updateBatch();
    EXPECT_EQ(stored("FLAG", 1).toInt32(), 3);
}

TEST_P(RecordsetTest, UpdateBatch_is_one_transaction) {
    insertRow(1, "1, NULL, NULL, NULL, NULL, 'd'");
    insertRow(2, "1, NULL, NULL, NULL, NULL, 'd'");
    auto rs = open();
    rs->fields()["FLAG"].setValue(std::int16_t{5});
    rs->moveNext();
    rs->fields()["FLAG"].setValue(std::int16_t{500});  // refused by the CHECK constraint

    EXPECT_EQ(errorNumberOf([&] { rs->updateBatch(); }), adErrProvider);
    ASSERT_GE(db_->errors().count(), 1U);
    EXPECT_FALSE(db_->errors().item(0).description.empty());
    EXPECT_EQ(stored("FLAG", 1).toInt32(), 1);
    EXPECT_EQ(stored("FLAG", 2).toInt32(), 1);
    rs->moveFirst();
    EXPECT_EQ(rs->fields()["FLAG"].value().toInt32(), 5);

    rs->moveNext();
    rs->fields()["FLAG"].setValue(std::int16_t{6});
    rs->updateBatch();
    EXPECT_EQ(db_->errors().count(), 0U);
    EXPECT_EQ(stored("FLAG", 1).toInt32(), 5);
    EXPECT_EQ(stored("FLAG", 2).toInt32(), 6);
}

TEST_P(RecordsetTest, Text_values_round_trip_and_reach_only_their_row) {
    const std::string texts[] = {
        "O'Brien",
        "a;b;",
        "-- non è un commento",
        "/* neanche questo */",
        "perché città €",
        "'; DROP TABLE ADO_PARAM; --",
        "\"virgolette\" [e] ?",
    };
    const int count = static_cast<int>(std::size(texts));
    for (int i = 1; i <= count; ++i) {
        insertRow(i);
    }
    auto rs = open();
    for (const auto& text : texts) {
        rs->fields()["NOTE"].setValue(text);
        rs->moveNext();
    }
    rs->updateBatch();

    auto check = open();
    for (int i = 1; i <= count; ++i) {
        SCOPED_TRACE(texts[i - 1]);
        EXPECT_EQ(check->fields()["DITTA"].value().toInt32(), i);
        EXPECT_EQ(check->fields()["NOTE"].value().toText(), texts[i - 1]);
        EXPECT_TRUE(check->fields()["CODE"].value().isNull());
        check->moveNext();
    }
    EXPECT_TRUE(check->eof());
}

TEST_P(RecordsetTest, AddNew_inserts_only_the_fields_set_and_the_database_fills_the_rest) {
    auto rs = open();
    rs->addNew();
    EXPECT_TRUE(rs->fields()["DESCR"].value().isEmpty());
    rs->fields()["DITTA"].setValue(std::int32_t{7});
    rs->fields()["FLAG"].setValue(std::int16_t{1});
    rs->fields()["NOTE"].setValue(Variant::null());
    rs->updateBatch();

    EXPECT_EQ(stored("DESCR", 7).toText(), "predefinito");
    EXPECT_TRUE(stored("CODE", 7).isNull());
    EXPECT_EQ(rs->fields()["DESCR"].value().toText(), "predefinito");
    EXPECT_EQ(rs->recordCount(), 1);

    rs->fields()["CODE"].setValue("NUOVO");
    rs->updateBatch();
    EXPECT_EQ(stored("CODE", 7).toText(), "NUOVO");
}

TEST_P(RecordsetTest, UpdateBatch_affecting_the_current_row_writes_only_that_row) {
    insertRow(1, "1, NULL, NULL, NULL, NULL, 'd'");
    insertRow(2, "1, NULL, NULL, NULL, NULL, 'd'");
    auto rs = open();
    rs->fields()["FLAG"].setValue(std::int16_t{11});
    rs->moveNext();
    rs->fields()["FLAG"].setValue(std::int16_t{22});
    rs->updateBatch(adAffectCurrent);

    EXPECT_EQ(stored("FLAG", 1).toInt32(), 1);
    EXPECT_EQ(stored("FLAG", 2).toInt32(), 22);
    rs->moveFirst();
    EXPECT_TRUE(rs->currentRowChanged());
    rs->updateBatch(adAffectAll);
    EXPECT_EQ(stored("FLAG", 1).toInt32(), 11);
}

TEST_P(RecordsetTest, CancelBatch_drops_every_pending_change) {
    insertRow(1, "1, NULL, NULL, NULL, NULL, 'd'");
    auto rs = open();
    rs->fields()["FLAG"].setValue(std::int16_t{4});
    rs->addNew();
    rs->fields()["DITTA"].setValue(std::int32_t{2});
    EXPECT_EQ(rs->recordCount(), 2);

    rs->cancelBatch();
    EXPECT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->fields()["FLAG"].value().toInt32(), 1);
    EXPECT_FALSE(rs->currentRowChanged());
    rs->updateBatch();
    EXPECT_TRUE(scalar(*db_, "SELECT DITTA FROM ADO_PARAM WHERE DITTA = 2").isEmpty());
}

TEST_P(RecordsetTest, DeleteCurrent_removes_the_row_at_UpdateBatch) {
    insertRow(1);
    insertRow(2);
    auto rs = open();
    rs->deleteCurrent();
    EXPECT_EQ(errorNumberOf([&] { (void)rs->fields()["DITTA"].value(); }), adErrNoCurrentRecord);
    EXPECT_EQ(rs->recordCount(), 1);
    rs->updateBatch();
    EXPECT_EQ(scalar(*db_, "SELECT COUNT(*) FROM ADO_PARAM").toInt32(), 1);
    EXPECT_EQ(rs->fields()["DITTA"].value().toInt32(), 2);
}

TEST_P(RecordsetTest, Requery_reads_what_others_wrote) {
    insertRow(1, "1, NULL, NULL, NULL, NULL, 'd'");
    auto rs = open();
    exec(*connect(), "UPDATE ADO_PARAM SET FLAG = 8 WHERE DITTA = 1");
    rs->requery();
    EXPECT_EQ(rs->fields()["FLAG"].value().toInt32(), 8);
    EXPECT_EQ(rs->keyColumns(), std::vector<std::string>{"DITTA"});

    auto rows = db_->execute("SELECT * FROM ADO_PARAM");
    rows->requery();
    EXPECT_EQ(errorNumberOf([&] { rows->fields()["FLAG"].setValue(std::int16_t{1}); }),
              adErrNotUpdatable);
}

TEST_P(RecordsetTest, Engine_errors_fill_Errors_and_raise_the_first) {
    try {
        db_->execute("SELECT * FROM NO_SUCH_TABLE");
        FAIL() << "no error";
    } catch (const VbError& error) {
        EXPECT_EQ(error.number(), adErrProvider);
        ASSERT_GE(db_->errors().count(), 1U);
        EXPECT_EQ(error.description(), db_->errors().item(0).description);
        EXPECT_THAT(error.description(), HasSubstr("NO_SUCH_TABLE"));
    }
    db_->execute("SELECT * FROM ADO_PARAM");
    EXPECT_EQ(db_->errors().count(), 0U);
}

TEST_P(RecordsetTest, Closed_objects_refuse_work) {
    auto rs = Recordset::create();
    rs->setSource("SELECT * FROM ADO_PARAM");
    EXPECT_EQ(errorNumberOf([&] { rs->open(); }), adErrInvalidConnection);
    EXPECT_EQ(errorNumberOf([&] { rs->moveNext(); }), adErrObjectClosed);
    rs->setActiveConnection(db_);
    rs->open();
    EXPECT_EQ(errorNumberOf([&] { rs->setSource("SELECT 1"); }), adErrObjectOpen);
    EXPECT_EQ(errorNumberOf([&] { db_->setConnectionString("sqlite::memory:"); }), adErrObjectOpen);
    db_->close();
    EXPECT_EQ(db_->state(), adStateClosed);
    EXPECT_EQ(errorNumberOf([&] { db_->execute("SELECT 1"); }), adErrObjectClosed);
    rs->close();
    EXPECT_EQ(rs->state(), adStateClosed);
}

}  // namespace
}  // namespace krl::ado::testing

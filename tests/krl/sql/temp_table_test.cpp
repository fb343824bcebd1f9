// The transfer page's temporary table through its whole life on one connection.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "krl/sql/program_sql.h"
#include "krl/sql/sqlite_db.h"
#include "krl/sql/translator.h"

namespace krl::sql {
namespace {

using testing::SqliteDb;
using Rows = std::vector<SqliteDb::Row>;
namespace program = testing::program;

const char* const kSavedRows =
    "SELECT PD49_DITTA_CG18, PD49_CODDOC_MG3G, PD49_INDTRPERSTESTA, PD49_INDTRPERSCORPO "
    "FROM PD49_PARDOCPROD ORDER BY PD49_DITTA_CG18, PD49_CODDOC_MG3G";

class TransferTable : public ::testing::Test {
  protected:
    void SetUp() override { db.script(testing::kProgramSchema); }

    Rows run(const std::string& tsql) { return db.query(cache.translate(tsql)); }

    SqliteDb db;
    TranslationCache cache;
};

TEST_F(TransferTable, LoadShowsSavedRowsAndDefaultsOfEligibleDocuments) {
    run(program::dropTempTable());
    run(program::loadTransferRows("1"));
    // BLC keeps its saved setting; OLD is no longer a document of the company; FAT (1, 2) is not
    // eligible and XX has no definition.
    const Rows expected = {
        {"1", "AVZ", "Avanzamento", "2", "2"},
        {"1", "AVZ4", "Avanzamento per fasi", "2", "2"},
        {"1", "BLC", "Bolla c/lavoro", "1", "2"},
        {"1", "L'ÀRTE", "Lavorazione d'arte", "2", "2"},
        {"1", "MAC", "Carico macero", "2", "2"},
        {"1", "ODP", "Ordine di produzione personalizzato", "2", "2"},
    };
    EXPECT_EQ(run(program::transferGrid()), expected);
}

TEST_F(TransferTable, StatementsWorkAsASequenceOnOneConnection) {
    run(program::dropTempTable());
    run(program::loadTransferRows("1"));

    // An edit in the grid, then "Conferma": only rows that differ from the default are stored.
    run("UPDATE #PARDOCPROD SET PD49_INDTRPERSTESTA = 0 WHERE PD49_CODDOC_MG3G = 'ODP'");
    run(program::physicalDelete("1"));
    run(program::saveTransferRows());
    EXPECT_EQ(db.query(kSavedRows),
              (Rows{{"1", "BLC", "1", "2"}, {"1", "ODP", "0", "2"}, {"2", "ODP", "0", "1"}}));

    // "Elimina": nothing saved for the company, every row back to the default.
    run(program::physicalDelete("1"));
    run(program::logicalDelete());
    EXPECT_EQ(db.query(kSavedRows), (Rows{{"2", "ODP", "0", "1"}}));
    EXPECT_EQ(run("SELECT COUNT(*) FROM #PARDOCPROD WHERE PD49_INDTRPERSTESTA <> 2 OR "
                  "PD49_INDTRPERSCORPO <> 2"),
              (Rows{{"0"}}));

    // Reloading rebuilds the table from the saved rows.
    run(program::dropTempTable());
    run(program::loadTransferRows("1"));
    EXPECT_EQ(run("SELECT PD49_CODDOC_MG3G FROM #PARDOCPROD WITH (NOLOCK) WHERE "
                  "PD49_INDTRPERSTESTA <> 2"),
              Rows{});

    // Rows added from the table itself, then the table dropped twice.
    run("INSERT INTO #PARDOCPROD SELECT PD49_DITTA_CG18, 'NEW', PD49_DESCDOCUM, 0, 0 FROM "
        "#PARDOCPROD WHERE PD49_CODDOC_MG3G = 'MAC'");
    EXPECT_EQ(run("SELECT PD49_DESCDOCUM FROM #PARDOCPROD WHERE PD49_CODDOC_MG3G = 'NEW'"),
              (Rows{{"Carico macero"}}));
    run(program::dropTempTable());
    EXPECT_THROW(run(program::transferGrid()), std::runtime_error);
    EXPECT_NO_THROW(run(program::dropTempTable()));
}

TEST_F(TransferTable, LoadingTwiceWithoutDropFailsAsOnTheServer) {
    run(program::loadTransferRows("1"));
    EXPECT_THROW(run(program::loadTransferRows("1")), std::runtime_error);
}

TEST(TemporaryTables, BelongToTheConnectionThatCreatedThem) {
    const std::string path = ::testing::TempDir() + "krl_sql_temp_tables.db";
    std::remove(path.c_str());
    {
        SqliteDb first(path);
        SqliteDb second(path);
        first.script(testing::kProgramSchema);
        first.query(translate(program::loadTransferRows("1")));
        EXPECT_EQ(first.query(translate("SELECT COUNT(*) FROM #PARDOCPROD")), (Rows{{"6"}}));
        EXPECT_THROW(second.query(translate("SELECT COUNT(*) FROM #PARDOCPROD")),
                     std::runtime_error);
        // The other connection may build its own table of the same name.
        EXPECT_NO_THROW(second.query(translate(program::loadTransferRows("2"))));
        EXPECT_EQ(second.query(translate(program::transferGrid())),
                  (Rows{{"2", "ODP", "Ordine di produzione", "0", "1"}}));
    }
    std::remove(path.c_str());
}

}  // namespace
}  // namespace krl::sql

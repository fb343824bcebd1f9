// The transfer page's temporary table on SQLite: what its load gives, and a second load refused
// as on the server. Save, delete and reload are the transfer page's tests, on these same texts;
// that the table belongs to its connection is the recordset's.
#include <gtest/gtest.h>

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

TEST_F(TransferTable, LoadingTwiceWithoutDropFailsAsOnTheServer) {
    run(program::loadTransferRows("1"));
    EXPECT_THROW(run(program::loadTransferRows("1")), std::runtime_error);
}

}  // namespace
}  // namespace krl::sql

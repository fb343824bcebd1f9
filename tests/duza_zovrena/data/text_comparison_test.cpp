// Codes compare on the demo database as on the production server: trailing blanks do not count,
// in the tables of the schema and in the temporary table the transfer page fills from them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "duza_zovrena/data/demo_database.h"
#include "duza_zovrena/data/sqlite_rows.h"
#include "krl/ado/ado.h"
#include "krl/sql/program_sql.h"

namespace duza_zovrena::data {
namespace {

namespace program = krl::sql::testing::program;

class TextComparison : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string connectionString = "sqlite:" + folder_.file("demo.db");
        createDemoDatabase(connectionString, true);
        connection_->setConnectionString(connectionString);
        connection_->open();
    }

    // The first column of every row of a program text.
    std::vector<std::string> firstColumn(const std::string& sql) {
        std::vector<std::string> values;
        auto rows = connection_->execute(sql);
        for (; rows && !rows->eof(); rows->moveNext()) {
            values.push_back(rows->fields().item(0).value().textOrEmpty());
        }
        return values;
    }

    testing::TempFolder folder_;
    std::shared_ptr<krl::ado::Connection> connection_ = krl::ado::Connection::create();
};

TEST_F(TextComparison, Trailing_blanks_of_a_code_do_not_count) {
    // Stored padded, as a CHAR column keeps it on the server.
    connection_->execute(
        "INSERT INTO MG3G_DOCDITTA (MG3G_DITTA_CG18, MG3G_CODDOCUM_MG36, MG3G_INDSTAPER_MG36) "
        "VALUES (2, 'ODP2    ', 0)");
    struct Case {
        const char* what;
        std::string sql;
        std::vector<std::string> codes;
    };
    const Case cases[] = {
        {"typed with blanks", program::documentCheck("1", "ODP   "), {"ODP"}},
        {"typed without", program::documentCheck("1", "ODP"), {"ODP"}},
        {"stored with blanks", program::documentCheck("2", "ODP2"), {"ODP2    "}},
        {"both with blanks", program::documentCheck("2", "ODP2 "), {"ODP2    "}},
        {"a longer code is another code", program::documentCheck("1", "ODP 2"), {}},
        {"leading blanks count", program::documentCheck("1", "  ODP"), {}},
        // The demo database holds upper-case codes; the program upper-cases what is typed.
        {"case counts", program::documentCheck("1", "odp"), {}},
        {"join on a padded code", program::documentType("2", "ODP2"), {"ODP2    "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(firstColumn(c.sql), c.codes);
    }
}

TEST_F(TextComparison, A_code_padded_with_blanks_is_the_same_key) {
    EXPECT_THROW(connection_->execute("INSERT INTO PD49_PARDOCPROD VALUES (1, 'ODP  ', 0, 0)"),
                 krl::VbError);
    EXPECT_EQ(firstColumn("SELECT COUNT(*) FROM PD49_PARDOCPROD WHERE PD49_CODDOC_MG3G = 'ODP'"),
              std::vector<std::string>{"1"});
}

TEST_F(TextComparison, The_transfer_table_compares_codes_as_the_tables_it_is_made_from) {
    connection_->execute(program::dropTempTable());
    connection_->execute(program::loadTransferRows("1"));
    EXPECT_EQ(firstColumn("SELECT PD49_CODDOC_MG3G FROM #PARDOCPROD WHERE PD49_CODDOC_MG3G = "
                          "'ODP      '"),
              std::vector<std::string>{"ODP"});
    // Numbers and descriptions came through the rebuild unchanged.
    EXPECT_EQ(firstColumn("SELECT PD49_INDTRPERSTESTA FROM #PARDOCPROD WHERE PD49_CODDOC_MG3G = "
                          "'ODP'"),
              std::vector<std::string>{"1"});
    EXPECT_EQ(firstColumn("SELECT PD49_DESCDOCUM FROM #PARDOCPROD WHERE PD49_CODDOC_MG3G = 'ODP'"),
              std::vector<std::string>{"Ordine di produzione"});
    long affected = 0;
    connection_->execute(
        "UPDATE #PARDOCPROD SET PD49_INDTRPERSCORPO = 1 WHERE PD49_CODDOC_MG3G = 'CARPROD  '",
        &affected);
    EXPECT_EQ(affected, 1);
    connection_->execute(program::dropTempTable());
}

TEST_F(TextComparison, A_temporary_table_without_texts_is_left_as_made) {
    connection_->execute("SELECT CG18_CODICE INTO #DITTE FROM CG18_DITTE");
    EXPECT_EQ(firstColumn("SELECT CG18_CODICE FROM #DITTE ORDER BY CG18_CODICE"),
              (std::vector<std::string>{"1", "2"}));
}

}  // namespace
}  // namespace duza_zovrena::data

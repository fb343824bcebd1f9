#include "duza_zovrena/data/demo_database.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data_access.h"
#include "duza_zovrena/data/sqlite_rows.h"
#include "krl/ado/ado.h"

namespace duza_zovrena::data {
namespace {

using testing::Row;
using testing::SqliteFile;
using testing::TempFolder;

const char* kCompanyDocuments =
    "SELECT MG3G_DITTA_CG18, MG3G_CODDOCUM_MG36, MG36_TIPODOC, MG36_STIPODOC "
    "FROM MG3G_DOCDITTA INNER JOIN MG36_DOCUMENTI "
    "ON MG3G_CODDOCUM_MG36 = MG36_CODDOCUM AND MG3G_INDSTAPER_MG36 = MG36_INDSTAPER ";

class DemoDatabase : public ::testing::Test {
  protected:
    void SetUp() override {
        file_ = folder_.file("demo.db");
        createDemoDatabase("sqlite:" + file_, false);
        db_ = std::make_unique<SqliteFile>(file_);
    }

    std::string typeText(const std::string& code) {
        auto rows = db_->rows(std::string(kCompanyDocuments) + "WHERE MG3G_DITTA_CG18 = 1 " +
                              "AND MG3G_CODDOCUM_MG36 = '" + code + "'");
        if (rows.size() != 1) {
            return "";
        }
        return rows[0].at("MG36_TIPODOC").toText() + rows[0].at("MG36_STIPODOC").toText();
    }

    TempFolder folder_;
    std::string file_;
    std::unique_ptr<SqliteFile> db_;
};

TEST_F(DemoDatabase, Every_company_document_follows_exactly_one_definition) {
    EXPECT_EQ(db_->count("SELECT COUNT(*) FROM MG3G_DOCDITTA WHERE NOT EXISTS (SELECT 1 FROM "
                         "MG36_DOCUMENTI WHERE MG36_CODDOCUM = MG3G_CODDOCUM_MG36 "
                         "AND MG36_INDSTAPER = MG3G_INDSTAPER_MG36)"),
              0);
    for (int company : {1, 2}) {
        EXPECT_GT(db_->count("SELECT COUNT(*) FROM MG3G_DOCDITTA WHERE MG3G_INDSTAPER_MG36 = 1 "
                             "AND MG3G_DITTA_CG18 = " +
                             std::to_string(company)),
                  0)
            << "company " << company << " has a customised document";
    }
    // A customised definition of another kind than the standard one: only the indicator tells.
    EXPECT_EQ(typeText("ODP2"), "2420");
    EXPECT_EQ(db_->count("SELECT COUNT(*) FROM MG36_DOCUMENTI WHERE MG36_CODDOCUM = 'ODP2'"), 2);
}

// That the demo's parameter rows pass the save rules and name codes their company has is the
// health check's test of the demo (tests/duza_zovrena/params); that its users sign in with their
// passwords into their companies, the user directory's (tests/web).

TEST(DemoDatabaseFile, Rebuild_restores_the_demo_data_from_scratch) {
    TempFolder folder;
    std::string file = folder.file("demo.db");
    createDemoDatabase("sqlite:" + file, false);
    auto counts = [&] {
        SqliteFile db(file);
        std::vector<long long> result;
        for (std::string_view table : demoTables()) {
            result.push_back(db.count("SELECT COUNT(*) FROM " + std::string(table)));
        }
        return result;
    };
    std::vector<long long> fresh = counts();
    {
        SqliteFile db(file);
        db.exec(
            "DELETE FROM PD42_ZOVRENA; INSERT INTO PD88_ZOVRENADOC (PD88_DITTA_CG18, "
            "PD88_CODDOC_MG36) VALUES (2, 'ODP'); UPDATE CG18_DITTE SET CG18_RAGSOC = 'x'");
    }
    createDemoDatabase("sqlite:" + file, true);
    EXPECT_EQ(counts(), fresh);
    SqliteFile db(file);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM CG18_DITTE WHERE CG18_RAGSOC = 'x'"), 0);
}

TEST(DemoDatabaseFile, Creation_is_all_or_nothing) {
    TempFolder folder;
    std::string file = folder.file("demo.db");
    {
        SqliteFile db(file);  // the last table of the script is in the way
        db.exec("CREATE TABLE PD49_PARDOCPROD (X INTEGER)");
    }
    EXPECT_THROW(createDemoDatabase("sqlite:" + file, false), DemoDatabaseError);
    SqliteFile db(file);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM sqlite_master WHERE name = 'PD42_ZOVRENA'"), 0);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table'"), 1);
}

TEST(DemoDatabaseFile, Ensure_creates_a_missing_or_empty_file_once) {
    TempFolder folder;
    struct Case {
        std::string file;
        bool emptyFileFirst;
    };
    const Case cases[] = {{folder.file("data/sub/zovrena.db"), false},
                          {folder.file("empty.db"), true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        if (c.emptyFileFirst) {
            std::ofstream(c.file).close();
            ASSERT_EQ(std::filesystem::file_size(c.file), 0u);
        }
        EXPECT_TRUE(ensureDemoDatabase("sqlite:" + c.file));
        {
            SqliteFile db(c.file);
            EXPECT_EQ(db.count("SELECT COUNT(*) FROM PD42_ZOVRENA"), 1);
            db.exec("UPDATE CG18_DITTE SET CG18_RAGSOC = 'changed' WHERE CG18_CODICE = 1");
        }
        EXPECT_FALSE(ensureDemoDatabase("sqlite:" + c.file));
        SqliteFile db(c.file);
        EXPECT_EQ(db.count("SELECT COUNT(*) FROM CG18_DITTE WHERE CG18_RAGSOC = 'changed'"), 1);
    }
}

TEST(DemoDatabaseFile, Unusable_connection_strings_are_refused) {
    TempFolder folder;
    std::string notDatabase = folder.file("a.db");
    std::ofstream(notDatabase) << "not a database at all, but long enough to be read as one";
    for (const std::string& connection :
         {std::string("sqlite:"), std::string("postgres:x"), notDatabase,
          "sqlite:" + notDatabase + "/inside/a/file.db", "sqlite:" + notDatabase}) {
        SCOPED_TRACE(connection);
        EXPECT_THROW(ensureDemoDatabase(connection), DemoDatabaseError);
        EXPECT_THROW(createDemoDatabase(connection, true), DemoDatabaseError);
    }
}

TEST(DemoDatabaseServer, Builds_twice_and_answers_through_the_document_function) {
    const char* server = std::getenv("ZOVRENA_SQLSERVER");
    if (server == nullptr || *server == '\0') {
        GTEST_SKIP() << "ZOVRENA_SQLSERVER does not name a SQL Server: not run";
    }
    std::string connection = server;
    if (!connection.starts_with("odbc:")) {
        connection = "odbc:" + connection;
    }
    createDemoDatabase(connection, true);
    createDemoDatabase(connection, true);
    EXPECT_FALSE(ensureDemoDatabase(connection));

    auto db = test_support::openConnection(connection);
    auto rows = db->execute(
        "SELECT MG36_TIPODOC, MG36_STIPODOC FROM MG3G_DOCDITTA WITH (NOLOCK) "
        "OUTER APPLY dbo.FNMG36_DOCUMENTI(MG3G_CODDOCUM_MG36, MG3G_DITTA_CG18, "
        "MG3G_INDSTAPER_MG36) WHERE MG3G_DITTA_CG18 = 1 AND MG3G_CODDOCUM_MG36 = 'ODP2'");
    ASSERT_FALSE(rows->eof());
    EXPECT_EQ(rows->fields()["MG36_TIPODOC"].value().toInt32(), 24);
    EXPECT_EQ(rows->fields()["MG36_STIPODOC"].value().toInt32(), 20);
    rows = db->execute("SELECT COUNT(*) AS N FROM PD42_ZOVRENA");
    EXPECT_EQ(rows->fields()["N"].value().toInt32(), 1);
    db->close();
}

}  // namespace
}  // namespace duza_zovrena::data

// Statement shapes and tokenizer cases: each translation is compared and then run on SQLite.
#include "krl/sql/translator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "krl/sql/program_sql.h"
#include "krl/sql/sqlite_db.h"

namespace krl::sql {
namespace {

using testing::SqliteDb;
using Rows = std::vector<SqliteDb::Row>;

const char* const kExtraSchema = R"(
CREATE TABLE T (A TEXT, B INTEGER, "Codice doc" TEXT, "a]b" TEXT, "c""d" TEXT);
INSERT INTO T VALUES ('x', 1, 'k', 'm', 'n');
)";

struct Case {
    const char* what;
    std::string tsql;
    std::string sqlite;
};

// Run in this order on one connection (the temporary tables are created before they are used).
const std::vector<Case> kCases = {
    {"hint text inside a string stays", "SELECT 'WITH (NOLOCK)' AS A FROM T WITH (NOLOCK)",
     "SELECT 'WITH (NOLOCK)' AS A FROM T"},
    {"doubled quotes", "SELECT A FROM T WHERE A <> 'it''s'", "SELECT A FROM T WHERE A <> 'it''s'"},
    {"unicode strings", "SELECT N'città' AS A, n'x' AS B", "SELECT 'città' AS A, 'x' AS B"},
    {"comments dropped",
     "SELECT A -- commento; DROP TABLE T\nFROM T /* blocco 'non stringa' */ WHERE B = 1",
     "SELECT A FROM T WHERE B = 1"},
    {"nested block comment", "SELECT /* uno /* due */ ancora */ B FROM T", "SELECT B FROM T"},
    {"comment markers and ';' inside strings", "SELECT '--x' AS A, '/*y*/' AS B, ';' AS C",
     "SELECT '--x' AS A, '/*y*/' AS B, ';' AS C"},
    {"bracketed and quoted names", "SELECT [Codice doc], [a]]b], \"c\"\"d\" FROM [T]",
     "SELECT \"Codice doc\", \"a]b\", \"c\"\"d\" FROM \"T\""},
    {"a comment between two words keeps them apart", "SELECT A/**/FROM T", "SELECT A FROM T"},
    {"two minus signs do not become a comment", "SELECT B -/**/-1 AS A FROM T",
     "SELECT B - -1 AS A FROM T"},
    {"a dropped hint does not glue two minus signs", "SELECT B -WITH(NOLOCK)-1 AS A FROM T",
     "SELECT B - -1 AS A FROM T"},
    {"line breaks and a trailing ';'", "SELECT A\r\n\tFROM   T;", "SELECT A FROM T"},
    {"leading ';'", ";SELECT B FROM T", "SELECT B FROM T"},
    {"string glued to the next keyword",
     "SELECT CASE B WHEN 1 THEN 'uno'WHEN 2 THEN 'due'END AS A FROM T",
     "SELECT CASE B WHEN 1 THEN 'uno' WHEN 2 THEN 'due' END AS A FROM T"},
    {"dbo schema", "SELECT * FROM dbo.T WHERE T.B = 1", "SELECT * FROM T WHERE T.B = 1"},
    {"hint in a subquery and without blank",
     "SELECT A FROM T WHERE B IN (SELECT B FROM T WITH(NOLOCK))",
     "SELECT A FROM T WHERE B IN (SELECT B FROM T)"},
    {"hint after an alias", "SELECT x.A FROM T x WITH (NOLOCK) WHERE x.B = 1",
     "SELECT x.A FROM T x WHERE x.B = 1"},
    {"cast types",
     "SELECT CAST(B AS SMALLINT) AS A, CAST(B AS bit) AS B, CAST('7' AS INT) AS C, "
     "CAST(B AS NVARCHAR(20)) AS D, CAST(A AS VARCHAR(MAX)) AS E, CAST(B AS FLOAT) AS F FROM T",
     "SELECT CAST(B AS INTEGER) AS A, CAST(B AS INTEGER) AS B, CAST('7' AS INTEGER) AS C, "
     "CAST(B AS TEXT) AS D, CAST(A AS TEXT) AS E, CAST(B AS REAL) AS F FROM T"},
    {"nested casts", "SELECT CAST(CAST(B AS VARCHAR(3)) + 1 AS TINYINT) AS A FROM T",
     "SELECT CAST(CAST(B AS TEXT) + 1 AS INTEGER) AS A FROM T"},
    {"INSERT without INTO", "INSERT T (A, B) VALUES (N'y', 2)",
     "INSERT INTO T (A, B) VALUES ('y', 2)"},
    {"DELETE without FROM", "DELETE T WHERE B = 5", "DELETE FROM T WHERE B = 5"},
    {"DELETE FROM", "delete from T where B = 5", "delete from T where B = 5"},
    {"UPDATE", "UPDATE T SET A = 'z', B = B + 1 WHERE A = 'none'",
     "UPDATE T SET A = 'z', B = B + 1 WHERE A = 'none'"},
    {"SELECT INTO a temporary table", "SELECT A, B INTO #COPIA FROM T WITH (NOLOCK) WHERE B > 0",
     "CREATE TEMP TABLE \"#COPIA\" AS SELECT A, B FROM T WHERE B > 0"},
    {"temporary table qualifying a column", "SELECT #COPIA.A FROM #COPIA WHERE #COPIA.B = 1",
     "SELECT temp.\"#COPIA\".A FROM temp.\"#COPIA\" WHERE temp.\"#COPIA\".B = 1"},
    {"drop test written with IS NOT NULL",
     "IF OBJECT_ID(N'tempdb..#COPIA', N'U') IS NOT NULL DROP TABLE #COPIA",
     "DROP TABLE IF EXISTS temp.\"#COPIA\""},
    {"CREATE TABLE of a temporary table", "CREATE TABLE #LAVORO (A INT, B NVARCHAR(10))",
     "CREATE TEMP TABLE \"#LAVORO\" (A INT, B NVARCHAR(10))"},
    {"INSERT ... SELECT into it", "INSERT INTO #LAVORO SELECT B, A FROM T WITH (NOLOCK)",
     "INSERT INTO temp.\"#LAVORO\" SELECT B, A FROM T"},
    {"DELETE from it", "DELETE #LAVORO WHERE A = 99", "DELETE FROM temp.\"#LAVORO\" WHERE A = 99"},
    {"DROP TABLE of it", "DROP TABLE #LAVORO", "DROP TABLE temp.\"#LAVORO\""},
    {"DROP TABLE IF EXISTS", "DROP TABLE IF EXISTS #LAVORO",
     "DROP TABLE IF EXISTS temp.\"#LAVORO\""},
    {"SELECT INTO a table of the database", "SELECT A INTO COPIA FROM T",
     "CREATE TABLE COPIA AS SELECT A FROM T"},
    {"drop test of a table of the database",
     "IF NOT OBJECT_ID('dbo.COPIA') IS NULL DROP TABLE dbo.COPIA", "DROP TABLE IF EXISTS COPIA"},
    {"function applied with an alias",
     "SELECT D.MG36_DESCDOCUM FROM MG3G_DOCDITTA OUTER APPLY "
     "FNMG36_DOCUMENTI(MG3G_CODDOCUM_MG36, MG3G_DITTA_CG18, MG3G_INDSTAPER_MG36) AS D "
     "WHERE MG3G_DITTA_CG18 = 2",
     "SELECT D.MG36_DESCDOCUM FROM MG3G_DOCDITTA LEFT JOIN MG36_DOCUMENTI AS D ON "
     "D.MG36_CODDOCUM = (MG3G_CODDOCUM_MG36) AND D.MG36_INDSTAPER = (MG3G_INDSTAPER_MG36) "
     "WHERE MG3G_DITTA_CG18 = 2"},
    {"function applied to expressions",
     "SELECT MG36_TIPODOC FROM MG3G_DOCDITTA OUTER APPLY dbo.FNMG36_DOCUMENTI(UPPER("
     "MG3G_CODDOCUM_MG36), 1, CAST(MG3G_INDSTAPER_MG36 AS INT)) F WHERE MG3G_DITTA_CG18 = 2",
     "SELECT MG36_TIPODOC FROM MG3G_DOCDITTA LEFT JOIN MG36_DOCUMENTI AS F ON F.MG36_CODDOCUM = "
     "(UPPER(MG3G_CODDOCUM_MG36)) AND F.MG36_INDSTAPER = (CAST(MG3G_INDSTAPER_MG36 AS INTEGER)) "
     "WHERE MG3G_DITTA_CG18 = 2"},
    {"ordinary SQL passes", "SELECT COUNT(*) AS N, MAX(B) FROM T GROUP BY A HAVING COUNT(*) > 0",
     "SELECT COUNT(*) AS N, MAX(B) FROM T GROUP BY A HAVING COUNT(*) > 0"},
    {"GO that is not a batch separator", "SELECT 1 AS go", "SELECT 1 AS go"},
};

TEST(Translate, GivesTheExpectedSqliteTextThatRuns) {
    SqliteDb db;
    db.script(testing::kProgramSchema);
    db.script(kExtraSchema);
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        std::string translated;
        ASSERT_NO_THROW(translated = translate(c.tsql)) << c.tsql;
        EXPECT_EQ(translated, c.sqlite);
        EXPECT_NO_THROW(db.query(translated)) << translated;
    }
}

// Codes typed by the user travel inside string literals and must reach the database unchanged.
TEST(Translate, KeepsCodesInsideLiteralsByteForByte) {
    const std::string codes[] = {
        "A'B",    "A;B",     "A--B",         "/*A",
        "ÀÈÌÒÙ€", "[X]",     "\"Q\"",        "WITH (NOLOCK)",
        "@X",     "#PARDOC", "N'X'",         "A\nGO\nB",
        "tab\tB", "  ",      "x' OR '1'='1", "OUTER APPLY dbo.FNMG36_DOCUMENTI(1, 2, 3)",
    };
    SqliteDb db;
    db.script(testing::kProgramSchema);
    for (const auto& code : codes) {
        SCOPED_TRACE(code);
        db.query("INSERT INTO MG3G_DOCDITTA VALUES (9, ?, 0)", {code});
        db.query("INSERT INTO MG36_DOCUMENTI VALUES (?, 0, 'x', 24, 20)", {code});
        const std::string expected =
            "SELECT MG3G_CODDOCUM_MG36, MG36_TIPODOC, MG36_STIPODOC FROM MG3G_DOCDITTA INNER JOIN "
            "MG36_DOCUMENTI ON MG36_CODDOCUM = MG3G_CODDOCUM_MG36 AND MG36_INDSTAPER = "
            "MG3G_INDSTAPER_MG36 WHERE MG3G_DITTA_CG18 = 9 AND MG3G_CODDOCUM_MG36 = '" +
            testing::program::doubled(code) + "'";
        const std::string translated = translate(testing::program::documentCheck("9", code));
        EXPECT_EQ(translated, expected);
        EXPECT_EQ(db.query(translated), (Rows{{code, "24", "20"}}));
        db.query("DELETE FROM MG3G_DOCDITTA WHERE MG3G_DITTA_CG18 = 9");
    }
}

TEST(Translate, AcceptsNestingUpToTheLimit) {
    const std::string nested = "SELECT " + std::string(64, '(') + "1" + std::string(64, ')');
    EXPECT_EQ(translate(nested), nested);
    SqliteDb db;
    EXPECT_EQ(db.query(translate(nested)), (Rows{{"1"}}));
}

}  // namespace
}  // namespace krl::sql

// The program's own statements: their exact SQLite translation, and what they return on SQLite.
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

const std::string kDocumentJoin =
    "LEFT JOIN MG36_DOCUMENTI AS FNMG36_DOCUMENTI ON FNMG36_DOCUMENTI.MG36_CODDOCUM = "
    "(MG3G_CODDOCUM_MG36) AND FNMG36_DOCUMENTI.MG36_INDSTAPER = (MG3G_INDSTAPER_MG36)";

const std::string kManagedKinds =
    "((MG36_TIPODOC = 24 AND MG36_STIPODOC = 20) OR (MG36_TIPODOC = 25 AND MG36_STIPODOC = 1) OR "
    "(MG36_TIPODOC = 10 AND MG36_STIPODOC = 3) OR (MG36_TIPODOC = 26 AND MG36_STIPODOC = 5) OR "
    "(MG36_TIPODOC = 26 AND MG36_STIPODOC = 7))";

const std::string kLookupColumns =
    "SELECT MG3G_CODDOCUM_MG36, MG36_DESCDOCUM, CASE MG3G_INDSTAPER_MG36 WHEN 0 THEN 'Standard' "
    "WHEN 1 THEN 'Personalizzato' END AS MG3G_INDSTAPER FROM MG3G_DOCDITTA ";

struct Golden {
    const char* what;
    std::string tsql;
    std::string sqlite;
};

// In the order the program runs them, so that the temporary table exists when it is used.
std::vector<Golden> programStatements() {
    return {
        {"warehouse-management switch", program::wmsEnabled("1"),
         "SELECT WM00_FLGWMSATTIVO FROM WM00_CONFIG WHERE WM00_DITTA_CG18 = 1"},
        {"general parameters", program::generalParameters("1"),
         "SELECT * FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = 1"},
        {"empty document set", program::emptyDocumentParameters(),
         "SELECT * FROM PD88_ZOVRENADOC WHERE 1 = 0"},
        {"document parameters", program::documentParameters("1", "ODP"),
         "SELECT * FROM PD88_ZOVRENADOC WHERE PD88_DITTA_CG18 = 1 AND PD88_CODDOC_MG36 = 'ODP'"},
        {"header lookup, documents with parameters",
         program::documentLookup("1", "Standard", "Personalizzato", false),
         kLookupColumns + kDocumentJoin +
             " INNER JOIN PD88_ZOVRENADOC ON MG3G_DITTA_CG18 = PD88_DITTA_CG18 AND "
             "MG3G_CODDOCUM_MG36 = PD88_CODDOC_MG36 WHERE MG3G_DITTA_CG18 = 1 AND " +
             kManagedKinds + " ORDER BY MG3G_CODDOCUM_MG36"},
        {"header lookup, all active documents",
         program::documentLookup("1", "Standard", "Personalizzato", true),
         kLookupColumns + kDocumentJoin + " WHERE MG3G_DITTA_CG18 = 1 AND " + kManagedKinds +
             " ORDER BY MG3G_CODDOCUM_MG36"},
        {"document type", program::documentType("1", "ODP"),
         "SELECT MG3G_CODDOCUM_MG36, MG36_TIPODOC, MG36_STIPODOC FROM MG3G_DOCDITTA INNER JOIN "
         "MG36_DOCUMENTI ON MG3G_CODDOCUM_MG36 = MG36_CODDOCUM AND MG3G_INDSTAPER_MG36 = "
         "MG36_INDSTAPER WHERE MG3G_DITTA_CG18 = 1 AND MG3G_CODDOCUM_MG36 = 'ODP'"},
        {"internal-work lookup", program::internalWorkLookup("1", "Standard", "Personalizzato"),
         kLookupColumns + kDocumentJoin +
             " WHERE MG3G_DITTA_CG18 = 1 AND MG36_TIPODOC = 24 AND MG36_STIPODOC IN(3, 4) ORDER "
             "BY MG3G_CODDOCUM_MG36"},
        {"scrap-load lookup", program::scrapLoadLookup("1", "Standard", "Personalizzato"),
         kLookupColumns + kDocumentJoin +
             " WHERE MG3G_DITTA_CG18 = 1 AND ((MG36_TIPODOC = 24 AND MG36_STIPODOC = 9 ) OR "
             "(MG36_TIPODOC = 25 AND MG36_STIPODOC = 11)) ORDER BY MG3G_CODDOCUM_MG36"},
        {"document check", program::documentCheck("1", "AVZ"),
         "SELECT MG3G_CODDOCUM_MG36, MG36_TIPODOC, MG36_STIPODOC FROM MG3G_DOCDITTA INNER JOIN "
         "MG36_DOCUMENTI ON MG36_CODDOCUM = MG3G_CODDOCUM_MG36 AND MG36_INDSTAPER = "
         "MG3G_INDSTAPER_MG36 WHERE MG3G_DITTA_CG18 = 1 AND MG3G_CODDOCUM_MG36 = 'AVZ'"},
        {"drop the transfer table before it exists", program::dropTempTable(),
         "DROP TABLE IF EXISTS temp.\"#PARDOCPROD\""},
        {"transfer load", program::loadTransferRows("1"),
         "CREATE TEMP TABLE \"#PARDOCPROD\" AS WITH CTE_DOCDEFAULT AS (SELECT MG3G_DITTA_CG18 AS "
         "PD49_DITTA_CG18, MG3G_CODDOCUM_MG36 AS PD49_CODDOC_MG3G, CAST(2 AS INTEGER) AS "
         "PD49_INDTRPERSTESTA, CAST(2 AS INTEGER) AS PD49_INDTRPERSCORPO FROM MG3G_DOCDITTA LEFT "
         "JOIN MG36_DOCUMENTI ON MG3G_CODDOCUM_MG36 = MG36_CODDOCUM AND MG3G_INDSTAPER_MG36 = "
         "MG36_INDSTAPER WHERE MG3G_DITTA_CG18 = 1 AND (MG36_TIPODOC IN (22, 24, 25, 26) OR "
         "(MG36_TIPODOC = 1 AND MG36_STIPODOC = 1) OR (MG36_TIPODOC = 5 AND MG36_STIPODOC = 2) OR "
         "(MG36_TIPODOC = 10 AND MG36_STIPODOC = 1) OR (MG36_TIPODOC = 10 AND MG36_STIPODOC = 3) "
         "OR (MG36_TIPODOC = 14 AND MG36_STIPODOC = 2))), CTE_DOCSAVED AS (SELECT "
         "PD49_DITTA_CG18, PD49_CODDOC_MG3G, PD49_INDTRPERSTESTA, PD49_INDTRPERSCORPO FROM "
         "PD49_PARDOCPROD WHERE PD49_DITTA_CG18 = 1), CTE_PARDOCPROD AS (SELECT PD49_DITTA_CG18, "
         "PD49_CODDOC_MG3G, PD49_INDTRPERSTESTA, PD49_INDTRPERSCORPO FROM CTE_DOCSAVED UNION "
         "SELECT CTE_DOCDEFAULT.PD49_DITTA_CG18, CTE_DOCDEFAULT.PD49_CODDOC_MG3G, "
         "CTE_DOCDEFAULT.PD49_INDTRPERSTESTA, CTE_DOCDEFAULT.PD49_INDTRPERSCORPO FROM "
         "CTE_DOCDEFAULT LEFT JOIN CTE_DOCSAVED ON CTE_DOCDEFAULT.PD49_CODDOC_MG3G = "
         "CTE_DOCSAVED.PD49_CODDOC_MG3G WHERE CTE_DOCSAVED.PD49_CODDOC_MG3G IS NULL) SELECT "
         "PD49_DITTA_CG18, PD49_CODDOC_MG3G, MG36_DESCDOCUM AS PD49_DESCDOCUM, "
         "PD49_INDTRPERSTESTA, PD49_INDTRPERSCORPO FROM CTE_PARDOCPROD INNER JOIN MG3G_DOCDITTA "
         "ON PD49_DITTA_CG18 = MG3G_DITTA_CG18 AND PD49_CODDOC_MG3G = MG3G_CODDOCUM_MG36 " +
             kDocumentJoin},
        {"transfer grid", program::transferGrid(),
         "SELECT * FROM temp.\"#PARDOCPROD\" ORDER BY PD49_CODDOC_MG3G"},
        {"transfer physical delete", program::physicalDelete("1"),
         "DELETE FROM PD49_PARDOCPROD WHERE PD49_DITTA_CG18 = 1"},
        {"transfer save", program::saveTransferRows(),
         "INSERT INTO PD49_PARDOCPROD SELECT PD49_DITTA_CG18, PD49_CODDOC_MG3G, "
         "PD49_INDTRPERSTESTA, PD49_INDTRPERSCORPO FROM temp.\"#PARDOCPROD\" WHERE "
         "(PD49_INDTRPERSTESTA <> 2) OR (PD49_INDTRPERSCORPO <> 2)"},
        {"transfer logical delete", program::logicalDelete(),
         "UPDATE temp.\"#PARDOCPROD\" SET PD49_INDTRPERSTESTA = 2, PD49_INDTRPERSCORPO = 2"},
        {"drop the transfer table", program::dropTempTable(),
         "DROP TABLE IF EXISTS temp.\"#PARDOCPROD\""},
    };
}

TEST(ProgramStatements, TranslateToTheExpectedSqliteTextThatRuns) {
    SqliteDb db;
    db.script(testing::kProgramSchema);
    for (const auto& golden : programStatements()) {
        SCOPED_TRACE(golden.what);
        std::string translated;
        ASSERT_NO_THROW(translated = translate(golden.tsql));
        EXPECT_EQ(translated, golden.sqlite);
        EXPECT_NO_THROW(db.query(translated));
    }
}

TEST(ProgramStatements, ReturnTheRowsTheProgramExpects) {
    struct Case {
        const char* what;
        std::string tsql;
        Rows expected;
    };
    const Case cases[] = {
        {"switch on", program::wmsEnabled("1"), {{"1"}}},
        {"company without switch row", program::wmsEnabled("2"), {}},
        {"general row", program::generalParameters("1"), {{"1", "0"}}},
        {"no general row", program::generalParameters("2"), {}},
        {"document row", program::documentParameters("1", "ODP"), {{"1", "ODP", "0"}}},
        // Only managed kinds with a parameter row; ODP is described by its customised definition.
        {"lookup of documents with parameters",
         program::documentLookup("1", "Standard", "Personalizzato", false),
         {{"ODP", "Ordine di produzione personalizzato", "Personalizzato"}}},
        {"lookup of every managed document",
         program::documentLookup("1", "Standard", "Personalizzato", true),
         {{"BLC", "Bolla c/lavoro", "Standard"},
          {"L'ÀRTE", "Lavorazione d'arte", "Standard"},
          {"ODP", "Ordine di produzione personalizzato", "Personalizzato"}}},
        {"lookup of another company",
         program::documentLookup("2", "Standard", "Pers.", true),
         {{"ODP", "Ordine di produzione", "Standard"}}},
        {"translations holding quotes",
         program::documentLookup("1", "Standard d'uso", "Su 'misura'", false),
         {{"ODP", "Ordine di produzione personalizzato", "Su 'misura'"}}},
        // AVZ4 is (24, 9) in its standard definition and (24, 4) in the customised one it uses.
        {"internal-work lookup",
         program::internalWorkLookup("1", "Standard", "Personalizzato"),
         {{"AVZ", "Avanzamento", "Standard"}, {"AVZ4", "Avanzamento per fasi", "Personalizzato"}}},
        {"scrap-load lookup",
         program::scrapLoadLookup("1", "Standard", "Personalizzato"),
         {{"MAC", "Carico macero", "Standard"}}},
        {"type of a customised document",
         program::documentType("1", "AVZ4"),
         {{"AVZ4", "24", "4"}}},
        {"code with quote and accent",
         program::documentCheck("1", "L'ÀRTE"),
         {{"L'ÀRTE", "25", "1"}}},
        {"code without definition", program::documentCheck("1", "XX"), {}},
        {"code of another company", program::documentCheck("2", "BLC"), {}},
    };
    SqliteDb db;
    db.script(testing::kProgramSchema);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(db.query(translate(c.tsql)), c.expected);
    }
}

}  // namespace
}  // namespace krl::sql

// The texts the program writes itself and sends to the server as they are: on SQLite they go
// through the translation, so these checks are the only guard of the SQL Server path. Where the
// golden table of the program's statements has the text, the expectation is that one.

#include <gtest/gtest.h>

#include <string>

#include "duza_zovrena/pages/code_field.h"
#include "duza_zovrena/pages/ctlpd_prt_trpers.h"
#include "duza_zovrena/window/frmpd_zovrena.h"
#include "krl/controls/edit_id.h"
#include "krl/sql/program_sql.h"

namespace duza_zovrena::pages {
namespace {

namespace program = krl::sql::testing::program;
using krl::Variant;

TEST(ProgramSqlTexts, Are_the_texts_the_server_receives) {
    const int twoSubtypes[] = {3, 4};
    const krl::controls::IdSource priority{"LP09_TESTATAPRIORITA", "LP09_ID", "LP09_CODICE",
                                           "LP09_DITTA_CG18"};
    struct Case {
        const char* what;
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"document check, code trimmed and quotes doubled",
         controlloValiditaDocSql(Variant(std::int32_t{1}), "CAR'X  "),
         program::documentCheck("1", "CAR'X")},
        {"document check, the company as the host keeps it",
         controlloValiditaDocSql(Variant("0002"), "A"), program::documentCheck("0002", "A")},
        {"check of a field with several subtypes",
         severalSubtypesCheckSql(Variant(std::int32_t{1}), "  AV'Z  "),
         program::documentType("1", "AV'Z")},
        {"lookup of a field with several subtypes",
         customDocumentLookupSql("Standard", "Personalizzato", Variant(std::int32_t{1}), 24,
                                 twoSubtypes),
         "SELECT MG3G_CODDOCUM_MG36, MG36_DESCDOCUM, "
         "CASE MG3G_INDSTAPER_MG36 "
         "WHEN 0 THEN 'Standard'"
         "WHEN 1 THEN 'Personalizzato'"
         "END AS MG3G_INDSTAPER "
         "FROM MG3G_DOCDITTA WITH (NOLOCK) "
         "OUTER APPLY dbo.FNMG36_DOCUMENTI(MG3G_CODDOCUM_MG36, MG3G_DITTA_CG18, "
         "MG3G_INDSTAPER_MG36) "
         "WHERE MG3G_DITTA_CG18 = 1 "
         "AND MG36_TIPODOC = 24 "
         "AND MG36_STIPODOC IN(3, 4) "
         "ORDER BY MG3G_CODDOCUM_MG36"},
        {"document type of the code chosen, given as a literal",
         window::FRMPD_ZOVRENA::documentTypeSql("1", "'O''P'"), program::documentType("1", "O'P")},
        {"warehouse management switch", window::FRMPD_ZOVRENA::wmsQuery(Variant("1")),
         program::wmsEnabled("1")},
        {"priority table id of a code", krl::controls::idOfCodeSql(priority, 1, "L'ÀRTE  "),
         program::priorityTableId("1", "L'ÀRTE")},
        {"priority table code of an id", krl::controls::codeOfIdSql(priority, 2, 4),
         program::priorityTableCode("2", "4")},
        {"transfer load", CTLPD_PRT_TRPERS::loadSql("1"), program::loadTransferRows("1")},
        {"transfer load, another company", CTLPD_PRT_TRPERS::loadSql("27"),
         program::loadTransferRows("27")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.text, c.expected) << c.what;
    }
}

}  // namespace
}  // namespace duza_zovrena::pages

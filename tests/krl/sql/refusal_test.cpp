// What the translator refuses, and that the message names the construct.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "krl/sql/translator.h"

namespace krl::sql {
namespace {

std::string refusal(const std::string& tsql) {
    try {
        const std::string translated = translate(tsql);
        return "translated: " + translated;
    } catch (const TranslateError& e) {
        return e.what();
    }
}

TEST(Translate, RefusesTsqlConstructsNamingThem) {
    const std::string unsupported = "Costrutto T-SQL non supportato: ";
    const std::string invalid = "Testo SQL non valido: ";
    struct Case {
        std::string tsql;
        std::string message;
    };
    // One case per way of refusing: a word or function of the refused lists is one case, whichever
    // word it is; the message names the construct as written, in capitals.
    const Case cases[] = {
        {"select top (1) A from T", unsupported + "TOP"},
        {"DELETE TOP (5) FROM T", unsupported + "TOP"},
        {"DECLARE @x INT", unsupported + "DECLARE"},
        {"SELECT * FROM T WHERE C = @codice", unsupported + "@codice"},
        {"SELECT @@ROWCOUNT", unsupported + "@@ROWCOUNT"},
        {"@x", unsupported + "@x"},
        {"INSERT INTO T EXEC sp_help", unsupported + "EXEC"},
        {"SELECT 1 AS A\nGO", unsupported + "GO"},
        {"SELECT * FROM T PIVOT (SUM(B) FOR A IN ([x])) P", unsupported + "PIVOT"},
        {"TRUNCATE TABLE T", unsupported + "TRUNCATE"},
        {"IF EXISTS (SELECT 1 FROM T) DELETE T", unsupported + "IF"},
        {"IF NOT OBJECT_ID('tempdb..#A') IS NULL DROP TABLE #B", unsupported + "IF"},
        {"IF OBJECT_ID('tempdb..#A') IS NULL DROP TABLE #A", unsupported + "IF"},
        {"IF NOT OBJECT_ID('tempdb..#A') IS NULL DROP TABLE #A SELECT 1", unsupported + "IF"},
        {"IF NOT OBJECT_ID('tempdb..#A') IS NULL DELETE #A", unsupported + "IF"},
        {"SELECT ISNULL(A, 0) FROM T", unsupported + "ISNULL"},
        {"SELECT left(A, 2) FROM T", unsupported + "LEFT"},
        {"SELECT dbo.FNCALCOLO(A) FROM T", unsupported + "funzione dbo.FNCALCOLO"},
        {"SELECT * FROM T WITH (HOLDLOCK)", unsupported + "WITH (HOLDLOCK)"},
        {"SELECT * FROM T WITH (NOLOCK, INDEX(IX_T))", unsupported + "WITH (INDEX)"},
        {"SELECT * FROM T WITH (NOLOCK NOLOCK)", unsupported + "WITH (NOLOCK)"},
        {"SELECT * FROM T WITH ()", unsupported + "WITH ( )"},
        {"SELECT * FROM T (NOLOCK)", unsupported + "(NOLOCK) senza WITH"},
        {"SELECT * FROM T CROSS APPLY dbo.FNMG36_DOCUMENTI(A, 1, B)", unsupported + "CROSS APPLY"},
        {"SELECT * FROM T OUTER APPLY dbo.FNALTRO(A, 1, B)", unsupported + "OUTER APPLY"},
        {"SELECT * FROM T OUTER APPLY (SELECT 1 AS X) X", unsupported + "OUTER APPLY"},
        {"SELECT * FROM T OUTER APPLY dbo.FNMG36_DOCUMENTI(A, B)",
         unsupported + "OUTER APPLY FNMG36_DOCUMENTI con un numero di argomenti diverso da 3"},
        {"SELECT * FROM T OUTER APPLY dbo.FNMG36_DOCUMENTI(A, @ditta, B)", unsupported + "@ditta"},
        {"SELECT 1; SELECT 2", unsupported + "più istruzioni nello stesso testo"},
        {"DELETE T WHERE A = 1 INSERT INTO T SELECT 1",
         unsupported + "più istruzioni nello stesso testo"},
        {"UPDATE T SET A = 1 UPDATE U SET B = 2",
         unsupported + "più istruzioni nello stesso testo"},
        {"UPDATE T SET A = U.A FROM T INNER JOIN U ON U.B = T.B", unsupported + "UPDATE ... FROM"},
        {"DELETE T FROM T INNER JOIN U ON U.B = T.B", unsupported + "DELETE ... FROM"},
        {"WITH C AS (SELECT 1 AS A) DELETE FROM T WHERE A IN (SELECT A FROM C)",
         unsupported + "WITH ... DELETE"},
        {"SELECT Codice = A FROM T", unsupported + "alias con ="},
        {"SELECT B, Codice = A FROM T", unsupported + "alias con ="},
        {"SELECT A + 'x' FROM T", unsupported + "concatenazione di testi con +"},
        {"SELECT A FROM T WHERE A LIKE '[AB]%'", unsupported + "LIKE con [ ]"},
        {"SELECT CAST(A AS DATETIME) FROM T", unsupported + "CAST AS DATETIME"},
        {"SELECT CAST(A AS DECIMAL(10, 2)) FROM T", unsupported + "CAST AS DECIMAL"},
        {"SELECT CAST(A AS VARCHAR(10, 2, 3)) FROM T", unsupported + "CAST AS VARCHAR"},
        {"SELECT CAST(A) FROM T", unsupported + "CAST senza AS"},
        {"SELECT * FROM ##GLOBALE", unsupported + "tabella temporanea globale ##GLOBALE"},
        {"SELECT A INTO ##G FROM T", unsupported + "tabella temporanea globale ##G"},
        {"SELECT ? FROM T", unsupported + "carattere '?'"},
        {std::string("SELECT '\0'", 10), unsupported + "carattere 0x00"},
        {"SELECT # FROM T", unsupported + "carattere '#'"},
        {"CREATE PROCEDURE P AS SELECT 1", unsupported + "CREATE PROCEDURE"},
        {"DROP PROCEDURE P", unsupported + "DROP PROCEDURE"},
        {"(SELECT 1)", unsupported + "istruzione che inizia con ("},
        {"SELECT 'abc", invalid + "stringa non terminata"},
        {"SELECT N'abc''", invalid + "stringa non terminata"},
        {"SELECT 1 /* x", invalid + "commento non terminato"},
        {"SELECT 1 /* a /* b */", invalid + "commento non terminato"},
        {"SELECT [abc FROM T", invalid + "identificatore tra parentesi quadre non terminato"},
        {"SELECT \"abc FROM T", invalid + "identificatore tra virgolette non terminato"},
        {"SELECT (1", invalid + "parentesi non bilanciate"},
        {"SELECT 1)", invalid + "parentesi non bilanciate"},
        {"", invalid + "testo vuoto"},
        {" ; -- solo un commento\n;", invalid + "testo vuoto"},
        {"SELECT " + std::string(65, '(') + "1" + std::string(65, ')'),
         unsupported + "parentesi annidate oltre 64 livelli"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(refusal(c.tsql), c.message) << c.tsql;
    }
}

TEST(Translate, RefusesDeepNestingWithoutExhaustingTheStack) {
    const std::string deep = "SELECT " + std::string(20000, '(') + "1" + std::string(20000, ')');
    EXPECT_THROW(translate(deep), TranslateError);
    const std::string casts = [] {
        std::string text = "SELECT ";
        for (int i = 0; i < 5000; ++i) {
            text += "CAST(";
        }
        text += "1";
        for (int i = 0; i < 5000; ++i) {
            text += " AS INT)";
        }
        return text;
    }();
    EXPECT_THROW(translate(casts), TranslateError);
}

// The fuzzing seeds are the program's texts and known-hard inputs: each one either translates or
// is refused with TranslateError, never anything else.
TEST(Translate, FuzzSeedsTranslateOrAreRefused) {
    const std::filesystem::path corpus =
        std::filesystem::path(ZOVRENA_SOURCE_DIR) / "tests" / "fuzz" / "corpus";
    ASSERT_TRUE(std::filesystem::is_directory(corpus)) << corpus;
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream file(entry.path(), std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        ++seeds;
        try {
            (void)translate(text.str());
        } catch (const TranslateError&) {
        } catch (const std::exception& e) {
            ADD_FAILURE() << entry.path() << ": " << e.what();
        }
    }
    EXPECT_GT(seeds, 10);
}

}  // namespace
}  // namespace krl::sql

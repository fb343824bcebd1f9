#pragma once

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

namespace krl::sql {

// Raised for T-SQL the translator does not know; the message names the construct, in Italian:
// "Costrutto T-SQL non supportato: TOP" for a construct without a SQLite counterpart,
// "Testo SQL non valido: stringa non terminata" for a text that cannot be read.
class TranslateError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Turns one T-SQL statement as the program writes it into SQLite SQL:
// - WITH (NOLOCK) after a table or CTE name is dropped; other table hints are refused;
// - "#name" temporary tables become per-connection temp tables (temp."#name");
//   SELECT ... INTO #t [FROM ...] (also after WITH) becomes CREATE TEMP TABLE "#t" AS SELECT ...;
//   IF NOT OBJECT_ID('tempdb..#t') IS NULL DROP TABLE #t becomes DROP TABLE IF EXISTS temp."#t";
// - DELETE t WHERE ... becomes DELETE FROM t WHERE ...; INSERT t becomes INSERT INTO t;
// - CAST(x AS TINYINT|SMALLINT|INT|BIT) is CAST(x AS INTEGER), (N)VARCHAR(n) is TEXT;
// - OUTER APPLY dbo.FNMG36_DOCUMENTI(code, company, indicator) becomes a LEFT JOIN of
//   MG36_DOCUMENTI (aliased FNMG36_DOCUMENTI) on the code and the indicator;
// - N'...' strings become '...', [names] become "names", comments are dropped, the "dbo." schema
//   is dropped; string literals are kept byte for byte;
// - a ';' before the statement (";WITH ...") or after it is dropped.
// Plain SQL (SELECT, INSERT, UPDATE, DELETE, CREATE/DROP TABLE, INDEX, VIEW) passes through.
// T-SQL constructs without a faithful SQLite form are refused with TranslateError: TOP, variables,
// DECLARE, SET, EXEC, GO, MERGE, PIVOT, OUTPUT, transaction blocks, IF other than the drop above,
// T-SQL-only functions (ISNULL, GETDATE, LEN, CONVERT...), "+" on texts, "SELECT alias = ...",
// several statements in one text, nesting deeper than 64 parentheses.
std::string translate(std::string_view tsql);

// Translations cached by text (one cache per connection; not shared between threads). Refused
// texts are not cached. The returned reference stays valid until the next call to translate.
class TranslationCache {
  public:
    const std::string& translate(std::string_view tsql);
    std::size_t size() const { return cache_.size(); }

    // The cache starts again empty when it would grow beyond this many texts.
    static constexpr std::size_t kMaxEntries = 4096;

  private:
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };

    std::unordered_map<std::string, std::string, TextHash, std::equal_to<>> cache_;
};

}  // namespace krl::sql

#pragma once

#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

namespace krl::sql {

// Raised for T-SQL the translator does not know; the message names the construct
// (for example "costrutto T-SQL non supportato: TOP").
class TranslateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Turns the T-SQL the program writes into SQLite SQL: WITH (NOLOCK) dropped, "#name" temporary
// tables as per-connection temp tables, SELECT ... INTO #t, IF NOT OBJECT_ID('tempdb..#t') IS NULL
// DROP TABLE #t, DELETE t WHERE, CAST(x AS TINYINT), OUTER APPLY dbo.FNMG36_DOCUMENTI(...), a
// leading ';' before WITH, N'...' strings, [bracketed] identifiers. Anything else T-SQL specific
// is refused with TranslateError.
std::string translate(std::string_view tsql);

// Translations cached by text (one cache per connection; not shared between threads).
class TranslationCache {
public:
    const std::string& translate(std::string_view tsql);
    std::size_t size() const { return cache_.size(); }

private:
    std::unordered_map<std::string, std::string> cache_;
};

}  // namespace krl::sql

#include "krl/sql/tsql_words.h"

#include <algorithm>
#include <array>

namespace krl::sql {
namespace {

template <std::size_t N>
bool contains(const std::array<std::string_view, N>& sorted, std::string_view word) {
    return std::binary_search(sorted.begin(), sorted.end(), word);
}

// Each list is kept in ASCII order for the binary search.
constexpr std::array<std::string_view, 48> kRefusedWords = {
    "BACKUP",     "BEGIN",   "BREAK",    "BULK",        "CATCH",    "CHECKPOINT", "CLOSE",
    "COMMIT",     "COMPUTE", "CONTAINS", "CONTINUE",    "CURSOR",   "DBCC",       "DEALLOCATE",
    "DECLARE",    "DENY",    "EXEC",     "EXECUTE",     "FETCH",    "FOR",        "FREETEXT",
    "GOTO",       "GRANT",   "IDENTITY", "KILL",        "MERGE",    "OPEN",       "OPENQUERY",
    "OPENROWSET", "OPENXML", "OPTION",   "OUTPUT",      "PIVOT",    "PRINT",      "RAISERROR",
    "RESTORE",    "RETURN",  "REVERT",   "REVOKE",      "ROLLBACK", "SAVE",       "TABLESAMPLE",
    "THROW",      "TOP",     "TRAN",     "TRANSACTION", "UNPIVOT",  "WAITFOR",
};

constexpr std::array<std::string_view, 62> kRefusedFunctions = {
    "APP_NAME",
    "ASCII",
    "BINARY_CHECKSUM",
    "CEILING",
    "CHARINDEX",
    "CHECKSUM",
    "CHOOSE",
    "COL_LENGTH",
    "CONCAT",
    "CONCAT_WS",
    "CONVERT",
    "COUNT_BIG",
    "DATALENGTH",
    "DATEADD",
    "DATEDIFF",
    "DATEDIFF_BIG",
    "DATEFROMPARTS",
    "DATENAME",
    "DATEPART",
    "DATETIMEFROMPARTS",
    "DAY",
    "DB_ID",
    "DB_NAME",
    "DIFFERENCE",
    "EOMONTH",
    "ERROR_MESSAGE",
    "ERROR_NUMBER",
    "FORMAT",
    "GETDATE",
    "GETUTCDATE",
    "HASHBYTES",
    "HOST_NAME",
    "IDENT_CURRENT",
    "ISDATE",
    "ISNULL",
    "ISNUMERIC",
    "LEFT",
    "LEN",
    "MONTH",
    "NEWID",
    "NEWSEQUENTIALID",
    "OBJECT_ID",
    "OBJECT_NAME",
    "PARSE",
    "PATINDEX",
    "QUOTENAME",
    "REPLICATE",
    "REVERSE",
    "RIGHT",
    "SCOPE_IDENTITY",
    "SOUNDEX",
    "SPACE",
    "STR",
    "STRING_AGG",
    "STRING_SPLIT",
    "STUFF",
    "SUSER_SNAME",
    "SYSDATETIME",
    "TRY_CAST",
    "TRY_CONVERT",
    "USER_NAME",
    "YEAR",
};

constexpr std::array<std::string_view, 8> kStatementStarts = {
    "ALTER", "CREATE", "DELETE", "DROP", "INSERT", "TRUNCATE", "UPDATE", "USE",
};

static_assert(std::is_sorted(kRefusedWords.begin(), kRefusedWords.end()));
static_assert(std::is_sorted(kRefusedFunctions.begin(), kRefusedFunctions.end()));
static_assert(std::is_sorted(kStatementStarts.begin(), kStatementStarts.end()));

}  // namespace

bool isRefusedWord(std::string_view word) {
    return contains(kRefusedWords, word);
}

bool isRefusedFunction(std::string_view word) {
    return contains(kRefusedFunctions, word);
}

bool startsStatement(std::string_view word) {
    return contains(kStatementStarts, word);
}

}  // namespace krl::sql

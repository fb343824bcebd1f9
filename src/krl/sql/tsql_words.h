#pragma once

#include <string_view>

namespace krl::sql {

// Reserved T-SQL words whose construct has no SQLite counterpart here (TOP, DECLARE, EXEC, MERGE,
// PIVOT, OUTPUT, transaction blocks, cursors, control flow...). T-SQL reserves them, so an
// unquoted occurrence is always the construct, never a name. `word` is in upper case.
bool isRefusedWord(std::string_view word);

// T-SQL functions that SQLite lacks or computes differently (ISNULL, GETDATE, LEN, CONVERT...),
// refused when called. `word` is in upper case.
bool isRefusedFunction(std::string_view word);

// Words that begin a statement of their own; found in the middle of a text they mean a second
// statement written without a separating ';'. `word` is in upper case.
bool startsStatement(std::string_view word);

}  // namespace krl::sql

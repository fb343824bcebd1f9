#pragma once

#include <string_view>

namespace krl::sql {

// The two kinds of refusal, both thrown as TranslateError: a construct the SQLite provider does not
// carry over ("Costrutto T-SQL non supportato: TOP") and a text that is not SQL at all ("Testo SQL
// non valido: stringa non terminata").
[[noreturn]] void unsupported(std::string_view construct);
[[noreturn]] void invalid(std::string_view problem);

}  // namespace krl::sql

#include "krl/sql/errors.h"

#include <string>

#include "krl/sql/translator.h"

namespace krl::sql {

void unsupported(std::string_view construct) {
    throw TranslateError("Costrutto T-SQL non supportato: " + std::string(construct));
}

void invalid(std::string_view problem) {
    throw TranslateError("Testo SQL non valido: " + std::string(problem));
}

}  // namespace krl::sql

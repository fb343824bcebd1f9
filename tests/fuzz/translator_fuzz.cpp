// libFuzzer target: any text either translates or is refused with TranslateError. Any other
// exception, a crash, a sanitizer report or a hang is a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "krl/sql/token.h"
#include "krl/sql/translator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string translated;
    try {
        translated = krl::sql::translate(text);
    } catch (const krl::sql::TranslateError&) {
        return 0;
    }
    // A translation is one complete statement: it reads back without error (no string, name or
    // comment left open) and holds no ';' outside its literals.
    try {
        for (const auto& token : krl::sql::tokenize(translated)) {
            if (krl::sql::isSymbol(token, ";")) {
                std::abort();
            }
        }
    } catch (const krl::sql::TranslateError&) {
        std::abort();
    }
    if (translated.empty()) {
        std::abort();
    }
    return 0;
}

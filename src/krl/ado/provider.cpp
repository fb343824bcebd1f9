#include "krl/ado/provider.h"

#include "krl/variant/text.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

#include "krl/ado/failure.h"

namespace krl::ado {

std::string lowerName(std::string_view name) {
    return krl::lowerAscii(name);
}

namespace {

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"\n";
}

}  // namespace

void traceProgramText(std::string_view programText) {
    static const char* const file = std::getenv("ZOVRENA_SQL_TRACE");
    if (file == nullptr || *file == '\0') {
        return;
    }
    static std::mutex mutex;
    const std::string line = jsonString(programText);
    const std::lock_guard lock(mutex);
    if (std::FILE* out = std::fopen(file, "a")) {
        std::fwrite(line.data(), 1, line.size(), out);
        std::fclose(out);
    }
}

void Provider::fail(std::vector<Error> errors) {
    raiseErrors(&errors_, std::move(errors));
}

void ColumnSet::index() {
    byLowerName.clear();
    byLowerName.reserve(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        byLowerName.emplace(lowerName(columns[i].name), i);
    }
}

std::optional<std::size_t> ColumnSet::find(std::string_view name) const {
    auto found = byLowerName.find(lowerName(name));
    if (found == byLowerName.end()) {
        return std::nullopt;
    }
    return found->second;
}

}  // namespace krl::ado

#include "web/server/token.h"

#include <sodium.h>

#include <array>
#include <stdexcept>

namespace zovrena::web {

namespace {

void ensureSodium() {
    static const bool ready = sodium_init() >= 0;
    if (!ready) {
        throw std::runtime_error("libsodium non inizializzabile");
    }
}

}  // namespace

std::string randomToken() {
    ensureSodium();
    std::array<unsigned char, 32> bytes{};
    randombytes_buf(bytes.data(), bytes.size());
    std::array<char, 2 * 32 + 1> hex{};
    sodium_bin2hex(hex.data(), hex.size(), bytes.data(), bytes.size());
    sodium_memzero(bytes.data(), bytes.size());
    return std::string(hex.data(), std::size_t{2} * 32);
}

bool sameSecret(std::string_view expected, std::string_view given) {
    if (expected.empty() || expected.size() != given.size()) {
        return false;
    }
    return sodium_memcmp(expected.data(), given.data(), expected.size()) == 0;
}

}  // namespace zovrena::web

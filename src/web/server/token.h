#pragma once

#include <string>
#include <string_view>

namespace zovrena::web {

// 256 random bits from the system's secure generator, written as 64 lower-case hex digits.
std::string randomToken();

// Compares a secret with what a request brought in time that does not depend on where they differ.
bool sameSecret(std::string_view expected, std::string_view given);

}  // namespace zovrena::web

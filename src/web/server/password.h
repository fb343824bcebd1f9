#pragma once

#include <string>
#include <string_view>

namespace zovrena::web {

// Argon2id password hashes in the text form libsodium writes ("$argon2id$v=19$m=...").
std::string hashPassword(std::string_view password);
bool verifyPassword(std::string_view storedHash, std::string_view password);

// Spends the time of one verification without any account: a sign-in for a user that does not
// exist then takes as long as one with a wrong password, so timing does not tell which users exist.
void spendPasswordCheck(std::string_view password);

}  // namespace zovrena::web

#include "web/server/password.h"

#include <sodium.h>

#include <array>
#include <stdexcept>

namespace zovrena::web {

namespace {

void ensureSodium() {
    if (sodium_init() < 0) {
        throw std::runtime_error("libsodium non inizializzabile");
    }
}

}  // namespace

std::string hashPassword(std::string_view password) {
    ensureSodium();
    std::array<char, crypto_pwhash_STRBYTES> out{};
    if (crypto_pwhash_str_alg(
            out.data(), password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
            crypto_pwhash_MEMLIMIT_INTERACTIVE, crypto_pwhash_ALG_ARGON2ID13) != 0) {
        throw std::runtime_error("memoria insufficiente per il calcolo della password");
    }
    return std::string(out.data());
}

bool verifyPassword(std::string_view storedHash, std::string_view password) {
    ensureSodium();
    // libsodium wants the hash NUL-terminated and no longer than its own strings.
    if (storedHash.empty() || storedHash.size() >= crypto_pwhash_STRBYTES ||
        storedHash.find('\0') != std::string_view::npos) {
        return false;
    }
    const std::string hash(storedHash);
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

void spendPasswordCheck(std::string_view password) {
    static const std::string unusable = hashPassword("\x01 nessun utente \x01");
    (void)verifyPassword(unusable, password);
}

PasswordCheckSlots::PasswordCheckSlots(std::size_t running, std::size_t waiting,
                                       std::chrono::milliseconds patience)
    : running_(running), waiting_(waiting), patience_(patience) {}

PasswordCheckSlots::Slot::~Slot() {
    if (owner_) {
        owner_->give();
    }
}

PasswordCheckSlots::Slot PasswordCheckSlots::take() {
    std::unique_lock lock(mutex_);
    if (busy_ >= running_) {
        if (queued_ >= waiting_) {
            return Slot(nullptr);
        }
        ++queued_;
        const bool free = freed_.wait_for(lock, patience_, [this] { return busy_ < running_; });
        --queued_;
        if (!free) {
            return Slot(nullptr);
        }
    }
    ++busy_;
    return Slot(this);
}

void PasswordCheckSlots::give() {
    {
        std::lock_guard lock(mutex_);
        --busy_;
    }
    freed_.notify_one();
}

}  // namespace zovrena::web

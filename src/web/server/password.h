#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

namespace zovrena::web {

// Argon2id password hashes in the text form libsodium writes ("$argon2id$v=19$m=...").
std::string hashPassword(std::string_view password);
bool verifyPassword(std::string_view storedHash, std::string_view password);

// Spends the time of one verification without any account: a sign-in for a user that does not
// exist then takes as long as one with a wrong password, so timing does not tell which users exist.
void spendPasswordCheck(std::string_view password);

// Each password check takes tens of megabytes for its moment: only a few run at once, and only a
// few more wait for their turn. The others are turned away at once.
class PasswordCheckSlots {
  public:
    PasswordCheckSlots(std::size_t running, std::size_t waiting,
                       std::chrono::milliseconds patience);

    class Slot {
      public:
        explicit Slot(PasswordCheckSlots* owner) : owner_(owner) {}
        Slot(Slot&& other) noexcept : owner_(std::exchange(other.owner_, nullptr)) {}
        Slot(const Slot&) = delete;
        Slot& operator=(const Slot&) = delete;
        Slot& operator=(Slot&&) = delete;
        ~Slot();
        explicit operator bool() const { return owner_ != nullptr; }

      private:
        PasswordCheckSlots* owner_;
    };

    // A slot (true), or none when too many are waiting already or the wait ran out.
    Slot take();

  private:
    void give();

    std::size_t running_;
    std::size_t waiting_;
    std::chrono::milliseconds patience_;
    std::mutex mutex_;
    std::condition_variable freed_;
    std::size_t busy_ = 0;
    std::size_t queued_ = 0;
};

}  // namespace zovrena::web

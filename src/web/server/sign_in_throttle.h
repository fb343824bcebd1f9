#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace zovrena::web {

// Slows down password guessing: after a few failed sign-ins the next attempt has to wait, twice as
// long after each further failure, up to a ceiling. Failures count per user from one address and
// per address. A user waiting from an address is not checked at all; an address waiting still has
// its attempts checked, so that the right password of anyone else behind the same address (an
// office's NAT, a proxy) still signs in, and only wrong ones are told to wait. A stranger therefore
// never locks an account out: the delay has a ceiling and the record is forgotten after a quiet
// time.
class SignInThrottle {
  public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;

    struct Backoff {
        int freeFailures = 0;       // failures allowed without any wait
        Clock::duration first{};    // wait after the first failure beyond those
        Clock::duration longest{};  // ceiling of the wait

        Clock::duration delayAfter(int failures) const;
    };

    struct Policy {
        Backoff perUser;     // one user from one address
        Backoff perAddress;  // any user from one address
        Clock::duration forgetAfter{};
        std::size_t maxEntries = 0;
    };
    static Policy defaultPolicy();

    explicit SignInThrottle(Policy policy = defaultPolicy(), Now now = &Clock::now);

    struct Admission {
        // The user's wait from this address: the attempt is not checked (nor counted).
        Clock::duration wait{};
        // The address's wait: the attempt is checked, and answered with this wait when wrong.
        Clock::duration addressWait{};
    };
    // Decides on an attempt and, unless it has to wait, counts it as failed at once, before its
    // password is checked: simultaneous attempts cannot all slip in under the limit. A right
    // password then takes the count back with succeeded(), an attempt left unchecked with
    // unchecked().
    Admission admit(std::string_view user, std::string_view address);
    void succeeded(std::string_view user, std::string_view address);
    void unchecked(std::string_view user, std::string_view address);

    // How long a sign-in of `user` from `address` has still to wait, by either count.
    Clock::duration waitBefore(std::string_view user, std::string_view address);
    void failed(std::string_view user, std::string_view address);

  private:
    struct Record {
        int failures = 0;
        Clock::time_point lastFailure;
    };
    Clock::duration remaining(const std::string& key, const Backoff& backoff,
                              Clock::time_point now);
    void count(const std::string& key, Clock::time_point now);
    void countFailure(std::string_view user, std::string_view address, Clock::time_point now);
    void uncount(const std::string& key);
    void forgetOld(Clock::time_point now);

    Policy policy_;
    Now now_;
    std::mutex mutex_;
    std::map<std::string, Record> records_;
};

}  // namespace zovrena::web

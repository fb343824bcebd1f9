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
// per address. A stranger therefore slows down only the attempts made from their own address and
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

    // How long a sign-in of `user` from `address` has still to wait; zero when it may be checked.
    Clock::duration waitBefore(std::string_view user, std::string_view address);
    void failed(std::string_view user, std::string_view address);
    void succeeded(std::string_view user, std::string_view address);

  private:
    struct Record {
        int failures = 0;
        Clock::time_point lastFailure;
    };
    Clock::duration remaining(const std::string& key, const Backoff& backoff,
                              Clock::time_point now);
    void count(const std::string& key, Clock::time_point now);
    void forgetOld(Clock::time_point now);

    Policy policy_;
    Now now_;
    std::mutex mutex_;
    std::map<std::string, Record> records_;
};

}  // namespace zovrena::web

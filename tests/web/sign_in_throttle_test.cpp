#include "web/server/sign_in_throttle.h"

#include <gtest/gtest.h>

namespace zovrena::web {
namespace {

using namespace std::chrono_literals;
using Clock = SignInThrottle::Clock;

struct ManualClock {
    Clock::time_point now{};
    SignInThrottle::Now function() {
        return [this] { return now; };
    }
};

TEST(SignInThrottle, WaitGrowsAfterTheFreeFailuresUpToTheCeiling) {
    const SignInThrottle::Backoff backoff{3, 1s, 60s};
    const std::pair<int, Clock::duration> cases[] = {
        {0, 0s}, {1, 0s}, {3, 0s}, {4, 1s}, {5, 2s}, {6, 4s}, {9, 32s}, {10, 60s}, {1000, 60s},
    };
    for (const auto& [failures, expected] : cases) {
        EXPECT_EQ(backoff.delayAfter(failures), expected) << failures << " failures";
    }
}

TEST(SignInThrottle, SlowsDownOneUserFromOneAddressOnly) {
    ManualClock clock;
    SignInThrottle throttle(SignInThrottle::defaultPolicy(), clock.function());
    for (int failures = 0; failures < 5; ++failures) {
        EXPECT_EQ(throttle.waitBefore("demo", "10.0.0.9"), failures <= 3 ? 0s : 1s) << failures;
        throttle.failed("demo", "10.0.0.9");
    }
    // 5 failures: 2 beyond the 3 free ones.
    EXPECT_EQ(throttle.waitBefore("demo", "10.0.0.9"), 2s);
    EXPECT_EQ(throttle.waitBefore("DEMO", "10.0.0.9"), 2s) << "user codes compared without case";
    EXPECT_EQ(throttle.waitBefore("demo", "10.0.0.7"), 0s)
        << "the owner elsewhere is not locked out";
    EXPECT_EQ(throttle.waitBefore("ospite", "10.0.0.9"), 0s);

    clock.now += 1500ms;
    EXPECT_EQ(throttle.waitBefore("demo", "10.0.0.9"), 500ms);
    clock.now += 500ms;
    EXPECT_EQ(throttle.waitBefore("demo", "10.0.0.9"), 0s);
}

TEST(SignInThrottle, OneAddressTryingManyUsersIsSlowedDown) {
    ManualClock clock;
    SignInThrottle throttle(SignInThrottle::defaultPolicy(), clock.function());
    for (int i = 0; i < 12; ++i) {
        throttle.failed("utente" + std::to_string(i), "10.0.0.9");
    }
    // 12 failures on the address, 10 free.
    EXPECT_EQ(throttle.waitBefore("nuovo", "10.0.0.9"), 2s);
    EXPECT_EQ(throttle.waitBefore("nuovo", "10.0.0.8"), 0s);
}

TEST(SignInThrottle, SuccessClearsTheUserButNotTheAddress) {
    ManualClock clock;
    SignInThrottle throttle(SignInThrottle::defaultPolicy(), clock.function());
    for (int i = 0; i < 12; ++i) {
        throttle.failed("demo", "10.0.0.9");
    }
    clock.now += 10min;  // both waits are over
    ASSERT_EQ(throttle.admit("demo", "10.0.0.9").wait, 0s);
    throttle.succeeded("demo", "10.0.0.9");  // takes back only the attempt just admitted
    throttle.failed("demo", "10.0.0.9");
    EXPECT_EQ(throttle.waitBefore("ospite", "10.0.0.9"), 4s) << "address: 13 failures";
    // The user's own count restarted: one failure is free, so only the address's wait applies.
    EXPECT_EQ(throttle.waitBefore("demo", "10.0.0.9"), 4s);
    clock.now += 4s;
    EXPECT_EQ(throttle.waitBefore("demo", "10.0.0.9"), 0s);
}

TEST(SignInThrottle, AttemptsAreCountedWhenAdmittedSoThatABurstCannotOutrunTheLimit) {
    ManualClock clock;
    SignInThrottle throttle(SignInThrottle::defaultPolicy(), clock.function());
    int admitted = 0;
    for (int i = 0; i < 32; ++i) {  // all arrive before any has been checked
        admitted += throttle.admit("demo", "10.0.0.9").wait == 0s ? 1 : 0;
    }
    EXPECT_EQ(admitted, 4) << "as many as one after the other would be";
    throttle.unchecked("demo", "10.0.0.9");  // one of them never got its turn
    clock.now += 1s;
    EXPECT_EQ(throttle.waitBefore("demo", "10.0.0.9"), 0s) << "3 failures left: all free";
}

TEST(SignInThrottle, AnAddressPastItsShareIsCheckedStillAndToldToWaitOnlyWhenWrong) {
    ManualClock clock;
    SignInThrottle throttle(SignInThrottle::defaultPolicy(), clock.function());
    for (int i = 0; i < 12; ++i) {
        throttle.failed("utente" + std::to_string(i), "10.0.0.9");
    }
    const auto colleague = throttle.admit("ospite", "10.0.0.9");
    EXPECT_EQ(colleague.wait, 0s) << "another account from the same address is checked";
    EXPECT_EQ(colleague.addressWait, 2s) << "and told to wait when its password is wrong";
    EXPECT_EQ(throttle.admit("ospite", "10.0.0.8").addressWait, 0s);
}

TEST(SignInThrottle, FailuresAreForgottenAfterAQuietTime) {
    ManualClock clock;
    SignInThrottle throttle(SignInThrottle::defaultPolicy(), clock.function());
    for (int i = 0; i < 20; ++i) {
        throttle.failed("demo", "10.0.0.9");
    }
    EXPECT_EQ(throttle.waitBefore("demo", "10.0.0.9"), 5min);
    clock.now += 15min;
    throttle.failed("demo", "10.0.0.9");  // counts as a first failure again
    EXPECT_EQ(throttle.waitBefore("demo", "10.0.0.9"), 0s);
}

}  // namespace
}  // namespace zovrena::web

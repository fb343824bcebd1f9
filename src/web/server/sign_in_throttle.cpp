#include "web/server/sign_in_throttle.h"

#include <algorithm>
#include <cctype>

namespace zovrena::web {

namespace {

using namespace std::chrono_literals;

// User codes are compared without case by the production database, so "DEMO" and "demo" share
// one count.
std::string userKey(std::string_view user, std::string_view address) {
    std::string key = "u:";
    for (char c : user) {
        key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    key += '\n';
    key += address;
    return key;
}

std::string addressKey(std::string_view address) {
    return "a:" + std::string(address);
}

}  // namespace

SignInThrottle::Clock::duration SignInThrottle::Backoff::delayAfter(int failures) const {
    const int counted = failures - freeFailures;
    if (counted <= 0) {
        return Clock::duration::zero();
    }
    Clock::duration delay = first;
    for (int i = 1; i < counted && delay < longest; ++i) {
        delay *= 2;
    }
    return std::min(delay, longest);
}

SignInThrottle::Policy SignInThrottle::defaultPolicy() {
    Policy policy;
    policy.perUser = {3, 1s, 60s};
    policy.perAddress = {10, 1s, 5min};
    policy.forgetAfter = 15min;
    policy.maxEntries = 100000;
    return policy;
}

SignInThrottle::SignInThrottle(Policy policy, Now now) : policy_(policy), now_(std::move(now)) {}

SignInThrottle::Clock::duration SignInThrottle::remaining(const std::string& key,
                                                          const Backoff& backoff,
                                                          Clock::time_point now) {
    auto found = records_.find(key);
    if (found == records_.end()) {
        return Clock::duration::zero();
    }
    const auto until = found->second.lastFailure + backoff.delayAfter(found->second.failures);
    return std::max(until - now, Clock::duration::zero());
}

SignInThrottle::Clock::duration SignInThrottle::waitBefore(std::string_view user,
                                                           std::string_view address) {
    std::lock_guard lock(mutex_);
    const auto now = now_();
    forgetOld(now);
    return std::max(remaining(userKey(user, address), policy_.perUser, now),
                    remaining(addressKey(address), policy_.perAddress, now));
}

void SignInThrottle::count(const std::string& key, Clock::time_point now) {
    Record& record = records_[key];
    record.failures += 1;
    record.lastFailure = now;
}

void SignInThrottle::countFailure(std::string_view user, std::string_view address,
                                  Clock::time_point now) {
    forgetOld(now);
    while (records_.size() + 2 > policy_.maxEntries && !records_.empty()) {
        auto oldest = std::min_element(records_.begin(), records_.end(), [](auto& a, auto& b) {
            return a.second.lastFailure < b.second.lastFailure;
        });
        records_.erase(oldest);
    }
    count(userKey(user, address), now);
    count(addressKey(address), now);
}

void SignInThrottle::uncount(const std::string& key) {
    auto found = records_.find(key);
    if (found != records_.end() && --found->second.failures <= 0) {
        records_.erase(found);
    }
}

void SignInThrottle::failed(std::string_view user, std::string_view address) {
    std::lock_guard lock(mutex_);
    countFailure(user, address, now_());
}

SignInThrottle::Admission SignInThrottle::admit(std::string_view user, std::string_view address) {
    std::lock_guard lock(mutex_);
    const auto now = now_();
    forgetOld(now);
    Admission admission;
    admission.wait = remaining(userKey(user, address), policy_.perUser, now);
    if (admission.wait > Clock::duration::zero()) {
        return admission;
    }
    admission.addressWait = remaining(addressKey(address), policy_.perAddress, now);
    countFailure(user, address, now);
    return admission;
}

void SignInThrottle::succeeded(std::string_view user, std::string_view address) {
    // The user's own count goes; the address keeps its other failures.
    std::lock_guard lock(mutex_);
    records_.erase(userKey(user, address));
    uncount(addressKey(address));
}

void SignInThrottle::unchecked(std::string_view user, std::string_view address) {
    std::lock_guard lock(mutex_);
    uncount(userKey(user, address));
    uncount(addressKey(address));
}

void SignInThrottle::forgetOld(Clock::time_point now) {
    std::erase_if(records_, [&](const auto& item) {
        return now - item.second.lastFailure >= policy_.forgetAfter;
    });
}

}  // namespace zovrena::web

#include "web/server/sign_in.h"

#include <algorithm>

#include "web/server/password.h"

namespace zovrena::web {

namespace {

// A code that could be a user at all: not blank, not too long, no control characters.
bool plausibleUser(std::string_view user) {
    return !user.empty() && user.size() <= maxUserLength &&
           std::none_of(user.begin(), user.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

}  // namespace

SignInOutcome SignIn::attempt(std::string_view user, std::string_view password,
                              std::string_view address) {
    SignInOutcome outcome;
    const auto admission = throttle_.admit(user, address);
    if (admission.wait > std::chrono::seconds::zero()) {
        outcome.kind = SignInOutcome::Kind::Wait;
        outcome.wait = std::chrono::ceil<std::chrono::seconds>(admission.wait);
        return outcome;
    }
    // From here the attempt counts as failed until its password proves right.
    const auto slot = checks_.take();
    if (!slot) {
        throttle_.unchecked(user, address);
        outcome.kind = SignInOutcome::Kind::Busy;
        return outcome;
    }

    std::optional<UserRecord> record;
    if (plausibleUser(user) && password.size() <= maxPasswordLength) {
        record = directory_.findUser(user);
    }
    const bool valid = record ? verifyPassword(record->passwordHash, password)
                              : (spendPasswordCheck(password), false);
    if (!valid) {
        if (admission.addressWait > std::chrono::seconds::zero()) {
            outcome.kind = SignInOutcome::Kind::Wait;
            outcome.wait = std::chrono::ceil<std::chrono::seconds>(admission.addressWait);
        } else {
            outcome.kind = SignInOutcome::Kind::Refused;
        }
        return outcome;
    }

    throttle_.succeeded(user, address);
    auto companies = directory_.companiesOf(record->code);
    if (companies.empty()) {
        outcome.kind = SignInOutcome::Kind::NoCompany;
        return outcome;
    }
    outcome.kind = SignInOutcome::Kind::SignedIn;
    outcome.session =
        sessions_.open(record->code, record->name, std::move(companies), record->passwordHash);
    return outcome;
}

}  // namespace zovrena::web

#pragma once

#include <chrono>
#include <string_view>

#include "web/server/session_store.h"
#include "web/server/sign_in_throttle.h"
#include "web/server/user_directory.h"

namespace zovrena::web {

inline constexpr std::size_t maxUserLength = 30;  // UT00_CODICE
inline constexpr std::size_t maxPasswordLength = 256;

struct SignInOutcome {
    enum class Kind {
        SignedIn,
        Refused,    // unknown user or wrong password: the person is told nothing more
        Wait,       // too many failures: the attempt was not checked
        NoCompany,  // right password, but no company granted
    };
    Kind kind = Kind::Refused;
    Session session;               // SignedIn
    std::chrono::seconds wait{0};  // Wait, rounded up
};

// Checks a user and password against the directory, under the throttle, and opens a session.
class SignIn {
  public:
    SignIn(UserDirectory& directory, SignInThrottle& throttle, SessionStore& sessions)
        : directory_(directory), throttle_(throttle), sessions_(sessions) {}

    // Raises what the directory raises when the database fails.
    SignInOutcome attempt(std::string_view user, std::string_view password,
                          std::string_view address);

  private:
    UserDirectory& directory_;
    SignInThrottle& throttle_;
    SessionStore& sessions_;
};

}  // namespace zovrena::web

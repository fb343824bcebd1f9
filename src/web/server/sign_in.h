#pragma once

#include <chrono>
#include <string_view>

#include "web/server/password.h"
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
        Busy,       // too many sign-ins being checked at once: the attempt was not checked
    };
    Kind kind = Kind::Refused;
    Session session;               // SignedIn
    std::chrono::seconds wait{0};  // Wait, rounded up
};

// How many password checks run at once (each takes tens of megabytes), how many more may wait
// for a turn, and for how long.
struct PasswordCheckLimits {
    std::size_t running = 2;
    std::size_t waiting = 16;
    std::chrono::milliseconds patience = std::chrono::seconds(10);
};

// Checks a user and password against the directory, under the throttle, and opens a session.
class SignIn {
  public:
    SignIn(UserDirectory& directory, SignInThrottle& throttle, SessionStore& sessions,
           PasswordCheckLimits limits = {})
        : directory_(directory),
          throttle_(throttle),
          sessions_(sessions),
          checks_(limits.running, limits.waiting, limits.patience) {}

    // Raises what the directory raises when the database fails.
    SignInOutcome attempt(std::string_view user, std::string_view password,
                          std::string_view address);

  private:
    UserDirectory& directory_;
    SignInThrottle& throttle_;
    SessionStore& sessions_;
    PasswordCheckSlots checks_;
};

}  // namespace zovrena::web

#pragma once

#include <chrono>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "web/server/audit_log.h"
#include "web/server/session_store.h"
#include "web/server/sign_in_throttle.h"
#include "web/server/user_directory.h"

namespace zovrena::web {

// A request to the read-only API, as the HTTP side took it apart.
struct ApiRequest {
    std::string_view path;
    std::string_view authorization;  // the Authorization header, empty when not sent
    std::optional<Session> session;  // the session of the request's cookie, when it has one
    std::string_view address;        // the client's
    std::string_view company;        // the company and document code of the path, as sent
    std::optional<std::string_view> document;
};

struct ApiAnswer {
    int status = 200;
    nlohmann::json body;
    std::string wwwAuthenticate;         // for 401
    std::chrono::seconds retryAfter{0};  // for 429
};

// The read-only API other programs (a shop-floor system) ask which settings are in force with:
// the general parameters of a company and its parameters of one document (see PROTOCOL.md). A
// signed-in session or a bearer token (see ApiTokens) says who asks; the company grants apply as in
// the window. Each request reads on a connection of its own, never on a window's thread, and is
// written in the audit log.
class ParameterApi {
  public:
    using Audit = std::function<void(const AuditLog::Entry&)>;

    ParameterApi(std::string connectionString, UserDirectory& directory, SignInThrottle& throttle,
                 Audit audit)
        : connectionString_(std::move(connectionString)),
          directory_(directory),
          throttle_(throttle),
          audit_(std::move(audit)) {}

    // Whether a path belongs to the API (its requests may bring a token instead of a session).
    static bool serves(std::string_view path) { return path.starts_with("/api/v1/"); }

    ApiAnswer answer(const ApiRequest& request);

  private:
    class Work;
    std::string connectionString_;
    UserDirectory& directory_;
    SignInThrottle& throttle_;
    Audit audit_;
};

}  // namespace zovrena::web

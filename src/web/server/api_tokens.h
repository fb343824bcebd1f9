#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace krl::ado {
class Connection;
}

namespace zovrena::web {

// A token as listed: never the token itself, which is shown once when it is made.
struct ApiTokenInfo {
    std::int32_t id = 0;
    std::string user;
    std::string created;  // UTC, "YYYY-MM-DD HH:MM:SS"
    std::string lastUse;  // the same, empty when never used
};

// The tokens other programs present to the read-only API (UT02_TOKENAPI), each for one user. Only
// a SHA-256 hash of a token is stored, so a copy of the database gives nobody a usable token.
// Works on a connection the caller opened; raises krl::VbError when the database fails.
class ApiTokens {
  public:
    using Clock = std::chrono::system_clock;

    explicit ApiTokens(krl::ado::Connection& connection) : connection_(connection) {}

    // A new token for the user (who must exist: nullopt otherwise), returned once.
    std::optional<std::string> create(std::string_view user, Clock::time_point now = Clock::now());

    struct Holder {
        std::int32_t id = 0;
        std::string user;
    };
    // Whose token it is, its use noted (at most once a minute); nullopt for a token not issued
    // or revoked. Whether the user still exists is the caller's question.
    std::optional<Holder> holderOf(std::string_view token, Clock::time_point now = Clock::now());

    // Every token, or those of one user, by id.
    std::vector<ApiTokenInfo> list(std::string_view user = {});
    // Whether there was such a token.
    bool revoke(std::int32_t id);
    // How many tokens the user had.
    long revokeAllOf(std::string_view user);

    // What is stored of a token: its SHA-256 as 64 lower-case hex digits.
    static std::string hashOf(std::string_view token);
    // A time as the table keeps it: "YYYYMMDD HH:MM:SS", UTC (read the same by both engines).
    static std::string storedTime(Clock::time_point time);

  private:
    krl::ado::Connection& connection_;
};

}  // namespace zovrena::web

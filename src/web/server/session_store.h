#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zovrena::web {

struct Company {
    std::int32_t code = 0;
    std::string name;

    bool operator==(const Company&) const = default;
};

// What the host knows of a signed-in person: who they are, the companies granted to them and the
// company they are working in.
struct Session {
    std::string token;      // the cookie value
    std::string csrfToken;  // required on every request that changes something
    std::string user;
    std::string userName;
    // The password hash the user signed in with: a password changed or removed since ends the
    // session.
    std::string credential;
    std::vector<Company> companies;  // granted, in code order
    std::optional<std::int32_t> company;

    const Company* findCompany(std::int32_t code) const;
};

enum class CompanyChoice {
    Chosen,
    NotGranted,         // never granted to this user
    NoLongerAvailable,  // granted at sign-in, since deleted or revoked
    NoSession,
};

// Sessions in memory, ended by sign-out or after a time without requests. Safe to use from the
// server's worker threads.
class SessionStore {
  public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;

    static constexpr std::size_t maxSessions = 10000;

    explicit SessionStore(Clock::duration idleTimeout, Now now = &Clock::now,
                          std::size_t maxSessionsPerUser = 8);

    // Starts a session with fresh random tokens, working in the first granted company. A user at
    // their limit of sessions loses the one used least recently: one account never takes the room
    // of the others.
    Session open(std::string user, std::string userName, std::vector<Company> companies,
                 std::string credential = {});

    // The live session of the token; each successful look-up counts as activity. An idle session
    // is ended here.
    std::optional<Session> find(std::string_view token);

    void close(std::string_view token);

    // Whether the token's session is live; unlike find() it does not count as activity.
    bool alive(std::string_view token);

    // Switches company. `grants` are the user's companies as the database has them now, so that
    // a company deleted or revoked since sign-in is refused too; they replace the session's list.
    CompanyChoice chooseCompany(std::string_view token, std::int32_t company,
                                std::vector<Company> grants);

    std::size_t size();

  private:
    struct Entry {
        Session session;
        Clock::time_point lastSeen;
    };
    bool expired(const Entry& entry, Clock::time_point now) const;
    void makeRoom(Clock::time_point now);

    Clock::duration idleTimeout_;
    Now now_;
    std::size_t maxSessionsPerUser_;
    std::mutex mutex_;
    std::map<std::string, Entry, std::less<>> sessions_;
};

}  // namespace zovrena::web

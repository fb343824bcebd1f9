#include "web/server/session_store.h"

#include <gtest/gtest.h>

#include <set>

#include "web/server/token.h"

namespace zovrena::web {
namespace {

using namespace std::chrono_literals;

struct ManualClock {
    SessionStore::Clock::time_point now{};
    SessionStore::Now function() {
        return [this] { return now; };
    }
};

const std::vector<Company> companiesOneAndTwo = {{2, "Seconda"}, {1, "Prima"}};

TEST(SessionStore, OpenGivesRandomTokensAndTheFirstCompany) {
    ManualClock clock;
    SessionStore store(30min, clock.function());
    std::set<std::string> seen;
    for (int i = 0; i < 50; ++i) {
        const Session session =
            store.open("utente" + std::to_string(i), "Demo", companiesOneAndTwo);
        for (const auto& token : {session.token, session.csrfToken}) {
            ASSERT_EQ(token.size(), 64U);  // 256 bits in hex
            EXPECT_EQ(token.find_first_not_of("0123456789abcdef"), std::string::npos) << token;
            EXPECT_TRUE(seen.insert(token).second) << "token repeated: " << token;
        }
        ASSERT_TRUE(session.company.has_value());
        EXPECT_EQ(*session.company, 1);
        EXPECT_EQ(session.companies.front().code, 1);
    }
    EXPECT_EQ(store.size(), 50U);
}

TEST(SessionStore, AUserPastTheLimitLosesTheirLeastRecentlyUsedSessionOnly) {
    ManualClock clock;
    SessionStore store(30min, clock.function(), /*maxSessionsPerUser=*/3);
    const Session other = store.open("ospite", "Ospite", companiesOneAndTwo);
    std::vector<Session> own;
    for (int i = 0; i < 3; ++i) {
        own.push_back(store.open("demo", "Demo", companiesOneAndTwo));
        clock.now += 1min;
    }
    ASSERT_TRUE(store.find(own[0].token));  // the first is now the most recently used
    const Session fourth = store.open("demo", "Demo", companiesOneAndTwo);
    EXPECT_TRUE(store.alive(own[0].token));
    EXPECT_FALSE(store.alive(own[1].token)) << "least recently used";
    EXPECT_TRUE(store.alive(own[2].token));
    EXPECT_TRUE(store.alive(fourth.token));
    EXPECT_TRUE(store.alive(other.token)) << "another user's session is never taken";
    EXPECT_EQ(store.size(), 4U);
}

TEST(SessionStore, EndsAfterIdleTimeButNotWhileInUse) {
    struct Case {
        const char* name;
        std::vector<std::chrono::minutes> requestsAt;  // minutes after sign-in
        bool aliveAtEnd;
    };
    const Case cases[] = {
        {"used just before the limit", {29min}, true},
        {"idle exactly the limit", {30min}, false},
        {"activity keeps it alive", {20min, 40min, 60min}, true},
        {"idle after activity", {20min, 50min}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ManualClock clock;
        SessionStore store(30min, clock.function());
        const auto start = clock.now;
        const Session session = store.open("demo", "Demo", companiesOneAndTwo);
        bool alive = true;
        for (auto at : c.requestsAt) {
            clock.now = start + at;
            alive = store.find(session.token).has_value();
        }
        EXPECT_EQ(alive, c.aliveAtEnd);
        if (!alive) {
            clock.now = start;  // an ended session stays ended
            EXPECT_FALSE(store.find(session.token).has_value());
        }
    }
}

TEST(SessionStore, SignOutAndUnknownTokensReachNothing) {
    ManualClock clock;
    SessionStore store(30min, clock.function());
    const Session session = store.open("demo", "Demo", companiesOneAndTwo);
    EXPECT_FALSE(store.find("").has_value());
    EXPECT_FALSE(store.find(session.csrfToken).has_value());
    EXPECT_FALSE(store.find(session.token.substr(0, 63)).has_value());
    store.close(session.token);
    EXPECT_FALSE(store.find(session.token).has_value());
}

TEST(SessionStore, CompanyChoiceFollowsTheGrantsOfTheDatabase) {
    struct Case {
        const char* name;
        std::vector<Company> atSignIn;
        std::vector<Company> now;  // as the database has them at the change
        std::int32_t chosen;
        CompanyChoice expected;
        std::optional<std::int32_t> companyAfter;
    };
    const Case cases[] = {
        {"granted", companiesOneAndTwo, companiesOneAndTwo, 2, CompanyChoice::Chosen, 2},
        {"never granted", {{1, "Prima"}}, {{1, "Prima"}}, 2, CompanyChoice::NotGranted, 1},
        {"granted later", {{1, "Prima"}}, companiesOneAndTwo, 2, CompanyChoice::Chosen, 2},
        {"deleted since sign-in",
         companiesOneAndTwo,
         {{1, "Prima"}},
         2,
         CompanyChoice::NoLongerAvailable,
         1},
        {"current company deleted",
         companiesOneAndTwo,
         {{2, "Seconda"}},
         1,
         CompanyChoice::NoLongerAvailable,
         std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ManualClock clock;
        SessionStore store(30min, clock.function());
        const Session session = store.open("ospite", "Ospite", c.atSignIn);
        EXPECT_EQ(store.chooseCompany(session.token, c.chosen, c.now), c.expected);
        const auto after = store.find(session.token);
        ASSERT_TRUE(after.has_value());
        EXPECT_EQ(after->company, c.companyAfter);
        EXPECT_EQ(after->companies.size(), c.now.size());
    }
}

TEST(SessionStore, CompanyChoiceNeedsALiveSession) {
    ManualClock clock;
    SessionStore store(30min, clock.function());
    const Session session = store.open("demo", "Demo", companiesOneAndTwo);
    clock.now += 31min;
    EXPECT_EQ(store.chooseCompany(session.token, 2, companiesOneAndTwo), CompanyChoice::NoSession);
    EXPECT_EQ(store.chooseCompany("forged", 2, companiesOneAndTwo), CompanyChoice::NoSession);
}

TEST(SessionStore, CsrfTokenMustMatchExactly) {
    const std::string token = randomToken();
    std::string lastDiffers = token;
    lastDiffers.back() = lastDiffers.back() == 'a' ? 'b' : 'a';
    const std::pair<std::string, bool> cases[] = {
        {token, true},        {lastDiffers, false}, {token.substr(0, 32), false},
        {token + "0", false}, {"", false},
    };
    for (const auto& [given, expected] : cases) {
        EXPECT_EQ(sameSecret(token, given), expected) << given;
    }
    EXPECT_FALSE(sameSecret("", "")) << "a missing token matches nothing";
}

}  // namespace
}  // namespace zovrena::web

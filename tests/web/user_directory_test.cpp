// Users, grants and sign-in read from a real demo database.

#include "web/server/user_directory.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "duza_zovrena/data/demo_database.h"
#include "web/server/password.h"

namespace zovrena::web {
namespace {

class DemoUsers : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        file_ = new std::filesystem::path(std::filesystem::temp_directory_path() /
                                          ("zovrena_users_" + std::to_string(::getpid()) + ".db"));
        duza_zovrena::data::createDemoDatabase("sqlite:" + file_->string(), /*rebuild=*/true);
    }
    static void TearDownTestSuite() {
        std::filesystem::remove(*file_);
        delete file_;
    }
    DatabaseUserDirectory directory{"sqlite:" + file_->string()};
    static std::filesystem::path* file_;
};

std::filesystem::path* DemoUsers::file_ = nullptr;

std::vector<std::int32_t> codes(const std::vector<Company>& companies) {
    std::vector<std::int32_t> result;
    for (const auto& company : companies) {
        result.push_back(company.code);
        EXPECT_FALSE(company.name.empty()) << company.code;
    }
    return result;
}

TEST_F(DemoUsers, FindsUsersAndTheirCompaniesByCodeOnly) {
    struct Case {
        std::string user;
        bool found;
        std::vector<std::int32_t> companies;
    };
    const Case cases[] = {
        {"demo", true, {1, 2}},    {"ospite", true, {1}},
        {"nessuno", false, {}},    {"demo' OR '1'='1", false, {}},
        {"x' OR ''='", false, {}}, {"demo'--", false, {}},
        {"", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.user);
        const auto user = directory.findUser(c.user);
        EXPECT_EQ(user.has_value(), c.found);
        if (user) {
            EXPECT_EQ(user->code, c.user);
            EXPECT_TRUE(user->passwordHash.starts_with("$argon2id$")) << user->passwordHash;
            EXPECT_TRUE(verifyPassword(user->passwordHash, c.user))
                << "demo password is the user code";
            EXPECT_FALSE(verifyPassword(user->passwordHash, c.user + "x"));
        }
        EXPECT_EQ(codes(directory.companiesOf(c.user)), c.companies);
    }
}

TEST(DatabaseUserDirectory, AnUnusableDatabaseRaises) {
    DatabaseUserDirectory directory("sqlite:/nonexistent-folder/zovrena.db");
    EXPECT_THROW((void)directory.findUser("demo"), std::exception);
}

}  // namespace
}  // namespace zovrena::web

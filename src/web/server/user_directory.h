#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "web/server/session_store.h"

namespace krl::ado {
class Connection;
}

namespace zovrena::web {

struct UserRecord {
    std::string code;
    std::string name;
    std::string passwordHash;
};

// Where the host finds the people who may sign in and the companies granted to them.
class UserDirectory {
  public:
    virtual ~UserDirectory() = default;
    virtual std::optional<UserRecord> findUser(std::string_view code) = 0;
    // The existing companies granted to the user, in code order.
    virtual std::vector<Company> companiesOf(std::string_view user) = 0;

    // Where a signed-in user stands now: still there with the same password hash (`credential`)
    // and at least one company (`companies`, as companiesOf), or revoked.
    struct Standing {
        bool revoked = true;
        std::vector<Company> companies;
    };
    virtual Standing standing(std::string_view user, std::string_view credential);
};

// The users of the ERP database: UT00_UTENTI, granted companies in UT01_UTENTIDITTE, companies in
// CG18_DITTE. Keeps a few connections open between questions (every request of a signed-in person
// asks one); raises krl::VbError when the database fails.
class DatabaseUserDirectory : public UserDirectory {
  public:
    explicit DatabaseUserDirectory(std::string connectionString);
    ~DatabaseUserDirectory() override;
    DatabaseUserDirectory(const DatabaseUserDirectory&) = delete;
    DatabaseUserDirectory& operator=(const DatabaseUserDirectory&) = delete;
    std::optional<UserRecord> findUser(std::string_view code) override;
    std::vector<Company> companiesOf(std::string_view user) override;
    Standing standing(std::string_view user, std::string_view credential) override;

    // The SQL texts sent for a user code (its quotes doubled).
    static std::string userQuery(std::string_view code);
    static std::string companiesQuery(std::string_view user);

  private:
    class OpenConnection;
    std::string connectionString_;
    std::mutex mutex_;
    std::vector<std::shared_ptr<krl::ado::Connection>> idle_;
};

}  // namespace zovrena::web

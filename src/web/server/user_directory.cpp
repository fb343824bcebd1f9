#include "web/server/user_directory.h"

#include <exception>

#include "krl/ado/ado.h"
#include "krl/variant/variant.h"

namespace zovrena::web {

namespace {

void closeQuietly(krl::ado::Connection& connection) {
    try {
        connection.close();
    } catch (...) {  // nothing more to do with a connection that will not close
    }
}

}  // namespace

// A connection of the directory's for one question: an idle one when there is one, returned
// after the question unless the question failed (the connection may be what failed).
class DatabaseUserDirectory::OpenConnection {
  public:
    explicit OpenConnection(DatabaseUserDirectory& directory) : directory_(directory) {
        {
            std::lock_guard lock(directory_.mutex_);
            if (!directory_.idle_.empty()) {
                connection_ = std::move(directory_.idle_.back());
                directory_.idle_.pop_back();
            }
        }
        if (!connection_) {
            connection_ = krl::ado::Connection::create();
            connection_->setConnectionString(directory_.connectionString_);
            connection_->open();
        }
    }
    ~OpenConnection() {
        if (std::uncaught_exceptions() == exceptions_) {
            std::lock_guard lock(directory_.mutex_);
            if (directory_.idle_.size() < maxIdle) {
                directory_.idle_.push_back(std::move(connection_));
                return;
            }
        }
        closeQuietly(*connection_);
    }
    OpenConnection(const OpenConnection&) = delete;
    OpenConnection& operator=(const OpenConnection&) = delete;

    krl::ado::Connection* operator->() { return connection_.get(); }

  private:
    static constexpr std::size_t maxIdle = 4;
    DatabaseUserDirectory& directory_;
    std::shared_ptr<krl::ado::Connection> connection_;
    int exceptions_ = std::uncaught_exceptions();
};

DatabaseUserDirectory::DatabaseUserDirectory(std::string connectionString)
    : connectionString_(std::move(connectionString)) {}

DatabaseUserDirectory::~DatabaseUserDirectory() {
    for (auto& connection : idle_) {
        closeQuietly(*connection);
    }
}

std::string DatabaseUserDirectory::userQuery(std::string_view code) {
    return "SELECT UT00_CODICE, UT00_NOME, UT00_PWDHASH FROM UT00_UTENTI WHERE UT00_CODICE = '" +
           krl::doubleQuotes(code) + "'";
}

std::string DatabaseUserDirectory::companiesQuery(std::string_view user) {
    return "SELECT CG18_CODICE, CG18_RAGSOC FROM CG18_DITTE INNER JOIN UT01_UTENTIDITTE ON "
           "UT01_DITTA_CG18 = CG18_CODICE WHERE UT01_UTENTE_UT00 = '" +
           krl::doubleQuotes(user) + "' ORDER BY CG18_CODICE";
}

namespace {

template <typename Connection>
std::optional<UserRecord> readUser(Connection& connection, std::string_view code) {
    auto rows = connection->execute(DatabaseUserDirectory::userQuery(code));
    if (!rows || rows->state() != krl::ado::adStateOpen || rows->eof()) {
        return std::nullopt;
    }
    UserRecord user;
    user.code = krl::rtrim((*rows)["UT00_CODICE"].value().textOrEmpty());
    user.name = krl::rtrim((*rows)["UT00_NOME"].value().textOrEmpty());
    user.passwordHash = krl::rtrim((*rows)["UT00_PWDHASH"].value().textOrEmpty());
    return user;
}

template <typename Connection>
std::vector<Company> readCompanies(Connection& connection, std::string_view user) {
    auto rows = connection->execute(DatabaseUserDirectory::companiesQuery(user));
    std::vector<Company> companies;
    if (!rows || rows->state() != krl::ado::adStateOpen) {
        return companies;
    }
    for (; !rows->eof(); rows->moveNext()) {
        companies.push_back({(*rows)["CG18_CODICE"].value().toInt32(),
                             krl::rtrim((*rows)["CG18_RAGSOC"].value().textOrEmpty())});
    }
    return companies;
}

}  // namespace

UserDirectory::Standing UserDirectory::standing(std::string_view user,
                                                std::string_view credential) {
    Standing standing;
    const auto record = findUser(user);
    if (record && record->passwordHash == credential) {
        standing.companies = companiesOf(user);
        standing.revoked = standing.companies.empty();
    }
    return standing;
}

std::optional<UserRecord> DatabaseUserDirectory::findUser(std::string_view code) {
    OpenConnection connection(*this);
    return readUser(connection, code);
}

std::vector<Company> DatabaseUserDirectory::companiesOf(std::string_view user) {
    OpenConnection connection(*this);
    return readCompanies(connection, user);
}

UserDirectory::Standing DatabaseUserDirectory::standing(std::string_view user,
                                                        std::string_view credential) {
    OpenConnection connection(*this);
    Standing standing;
    const auto record = readUser(connection, user);
    if (record && record->passwordHash == credential) {
        standing.companies = readCompanies(connection, user);
        standing.revoked = standing.companies.empty();
    }
    return standing;
}

}  // namespace zovrena::web

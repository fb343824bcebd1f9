// The read-only API over HTTP on a loopback port, on a real demo database: who may read what,
// and what the answers hold.

#include <httplib.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <thread>

#include "data_access.h"
#include "duza_zovrena/data/demo_database.h"
#include "krl/ado/ado.h"
#include "web/server/api_tokens.h"
#include "web/server/web_server.h"

namespace zovrena::web {
namespace {

using Json = nlohmann::json;
using namespace std::chrono_literals;

class ParameterApiHost : public testing::Test {
  protected:
    void SetUp() override {
        const std::string stem =
            std::filesystem::temp_directory_path() / ("zovrena_api_" + std::to_string(::getpid()));
        database_ = stem + ".db";
        auditFile_ = stem + ".log";
        std::filesystem::remove(database_);
        std::filesystem::remove(auditFile_);
        connectionString_ = "sqlite:" + database_;
        duza_zovrena::data::createDemoDatabase(connectionString_, true);
        connection_ = test_support::openConnection(connectionString_);
        demoToken_ = *ApiTokens(*connection_).create("demo");
        ospiteToken_ = *ApiTokens(*connection_).create("ospite");

        WebServerSettings settings;
        settings.webRoot = std::filesystem::temp_directory_path();
        settings.connectionString = connectionString_;
        settings.auditLog = auditFile_;
        settings.throttle.perUser = {2, 1h, 1h};  // waits far longer than any test runs
        server_ = std::make_unique<WebServer>(
            settings, std::make_shared<DatabaseUserDirectory>(connectionString_));
        ASSERT_TRUE(server_->bind("127.0.0.1", 0));
        thread_ = std::thread([this] { server_->run(); });
        // Stopping a server that is not listening yet would leave run() waiting for ever.
        while (!server_->running()) {
            std::this_thread::sleep_for(1ms);
        }
    }

    void TearDown() override {
        server_->stop();
        thread_.join();
        server_.reset();
        connection_->close();
        std::filesystem::remove(database_);
        std::filesystem::remove(auditFile_);
    }

    void sql(const std::string& statement) {
        connection_->execute(statement, nullptr, krl::ado::adExecuteNoRecords);
    }

    httplib::Result get(const std::string& path, const httplib::Headers& headers) {
        httplib::Client client("127.0.0.1", server_->port());
        return client.Get(path, headers);
    }

    static httplib::Headers bearer(const std::string& token) {
        return {{"Authorization", "Bearer " + token}};
    }

    httplib::Headers session(const std::string& user) {
        httplib::Client client("127.0.0.1", server_->port());
        const Json body{{"user", user}, {"password", user}};
        auto res = client.Post("/api/login", body.dump(), "application/json");
        EXPECT_TRUE(res && res->status == 200) << user;
        if (!res) {
            return {};
        }
        const std::string cookie = res->get_header_value("Set-Cookie");
        return {{"Cookie", cookie.substr(0, cookie.find(';'))}};
    }

    Json read(const std::string& path) {
        auto res = get(path, bearer(demoToken_));
        EXPECT_TRUE(res && res->status == 200) << path;
        return res ? Json::parse(res->body, nullptr, false) : Json();
    }

    std::string database_;
    std::string auditFile_;
    std::string connectionString_;
    std::shared_ptr<krl::ado::Connection> connection_;
    std::string demoToken_;
    std::string ospiteToken_;
    std::unique_ptr<WebServer> server_;
    std::thread thread_;
};

TEST_F(ParameterApiHost, Grants_decide_what_a_session_or_a_token_reads) {
    struct Case {
        const char* who;
        httplib::Headers headers;
        std::string path;
        int status;
        std::string error;  // part of it; empty for a 200
    };
    const auto demo = bearer(demoToken_);
    const auto ospite = bearer(ospiteToken_);
    const auto ospiteSession = session("ospite");
    const Case cases[] = {
        {"ospite", ospite, "/api/v1/companies/1/parameters", 200, ""},
        {"ospite", ospite, "/api/v1/companies/2/parameters", 403, "non è abilitata"},
        {"session", ospiteSession, "/api/v1/companies/1/documents/ODP", 200, ""},
        {"session", ospiteSession, "/api/v1/companies/2/documents/ODP", 403, "non è abilitata"},
        {"demo", demo, "/api/v1/companies/2/parameters", 404, "non ha parametri generali"},
        {"demo", demo, "/api/v1/companies/99/parameters", 403, "non è abilitata"},
        {"demo", demo, "/api/v1/companies/1/documents/NOPE", 404, "documento \"NOPE\""},
        {"demo", demo, "/api/v1/companies/1/documents/odp", 200, ""},
        {"demo", demo, "/api/v1/companies/uno/parameters", 400, "numero"},
        {"wrong token", bearer(std::string(64, 'a')), "/api/v1/companies/1/parameters", 401,
         "Token non valido"},
        {"other scheme",
         {{"Authorization", "Basic ZGVtbzpkZW1v"}},
         "/api/v1/companies/1/parameters",
         401,
         "Token non valido"},
        {"nobody", {}, "/api/v1/companies/1/parameters", 401, "Autenticazione richiesta"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " as " + c.who);
        auto res = get(c.path, c.headers);
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, c.status);
        const Json body = Json::parse(res->body, nullptr, false);
        if (c.error.empty()) {
            EXPECT_EQ(body["company"],
                      std::stoi(c.path.substr(std::string("/api/v1/companies/").size())));
        } else {
            EXPECT_NE(body.value("error", "").find(c.error), std::string::npos) << res->body;
        }
        EXPECT_EQ(res->has_header("WWW-Authenticate"), c.status == 401);
    }
}

TEST_F(ParameterApiHost, A_token_stops_at_once_with_its_user_or_its_revocation) {
    const std::string path = "/api/v1/companies/1/parameters";
    ASSERT_EQ(get(path, bearer(ospiteToken_))->status, 200);
    ASSERT_EQ(get(path, bearer(demoToken_))->status, 200);
    sql("DELETE FROM UT00_UTENTI WHERE UT00_CODICE = 'ospite'");
    EXPECT_EQ(get(path, bearer(ospiteToken_))->status, 401);
    const auto tokens = ApiTokens(*connection_).list("demo");
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_FALSE(tokens[0].lastUse.empty());
    ASSERT_TRUE(ApiTokens(*connection_).revoke(tokens[0].id));
    EXPECT_EQ(get(path, bearer(demoToken_))->status, 401);
}

TEST_F(ParameterApiHost, Only_a_hash_of_a_token_is_stored) {
    auto rows = connection_->execute("SELECT UT02_HASH FROM UT02_TOKENAPI ORDER BY UT02_ID");
    ASSERT_FALSE(rows->eof());
    const std::string stored = rows->fields()["UT02_HASH"].value().textOrEmpty();
    EXPECT_NE(stored, demoToken_);
    EXPECT_EQ(stored, ApiTokens::hashOf(demoToken_));
    EXPECT_EQ(stored.size(), 64u);
}

TEST_F(ParameterApiHost, Wrong_tokens_from_an_address_make_its_next_attempts_wait) {
    const std::string path = "/api/v1/companies/1/parameters";
    for (int attempt = 0; attempt < 3; ++attempt) {
        EXPECT_EQ(get(path, bearer(std::to_string(attempt)))->status, 401);
    }
    auto res = get(path, bearer(demoToken_));
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 429);
    EXPECT_TRUE(res->has_header("Retry-After"));
    // A signed-in session is not a token attempt.
    EXPECT_EQ(get(path, session("demo"))->status, 200);
}

TEST_F(ParameterApiHost, Stored_values_come_as_json_of_their_kind) {
    sql("UPDATE PD42_ZOVRENA SET PD42_AVANZ_MG3G = 'AVANZ   ', PD42_PERCTOLLINT = 7.5, "
        "PD42_PERCTOLLEST = NULL, PD42_FLGSTATI = '2' WHERE PD42_DITTA_CG18 = 1");
    const Json body = read("/api/v1/companies/1/parameters");
    const Json& columns = body["columns"];
    EXPECT_EQ(columns.size(), 205u);
    EXPECT_EQ(columns["PD42_AVANZ_MG3G"]["value"], "AVANZ");
    EXPECT_EQ(columns["PD42_AVANZ_MG3G"]["caption"], "Codice documento avanzamento produzione");
    EXPECT_EQ(columns["PD42_PERCTOLLINT"]["value"], 7.5);
    EXPECT_TRUE(columns["PD42_PERCTOLLEST"]["value"].is_null());
    EXPECT_EQ(columns["PD42_FLGSTATI"]["value"], 2);  // text in a number column
    EXPECT_EQ(columns["PD42_STEPNUMLEGDB"]["value"], 10);
    EXPECT_TRUE(columns["PD42_FLGDOCCODART"]["caption"].is_null());  // no page shows it
}

TEST_F(ParameterApiHost, A_document_indicator_at_0_follows_the_general_row) {
    struct Case {
        std::string general;  // PD42_FLGSTATI
        std::string stored;   // PD88_INDSTATI of ODP
        Json effective;
        std::string source;
    };
    const Case cases[] = {
        {"1", "0", 2, "PD42_FLGSTATI"},    {"0", "0", 1, "PD42_FLGSTATI"},
        {"0", "NULL", 1, "PD42_FLGSTATI"}, {"NULL", "0", nullptr, "PD42_FLGSTATI"},
        {"0", "2", 2, "PD88_INDSTATI"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.general + " / " + c.stored);
        sql("UPDATE PD42_ZOVRENA SET PD42_FLGSTATI = " + c.general);
        sql("UPDATE PD88_ZOVRENADOC SET PD88_INDSTATI = " + c.stored +
            " WHERE PD88_DITTA_CG18 = 1 AND PD88_CODDOC_MG36 = 'ODP'");
        const Json body = read("/api/v1/companies/1/documents/ODP");
        const Json& column = body["columns"]["PD88_INDSTATI"];
        EXPECT_EQ(column["effective"]["value"], c.effective);
        EXPECT_EQ(column["effective"]["source"], c.source);
        EXPECT_EQ(body["document"], "ODP");
    }
    // Columns that are no indicator have no setting of their own to resolve.
    const Json body = read("/api/v1/companies/1/documents/ODP");
    EXPECT_FALSE(body["columns"]["PD88_PERCTOLLINT"].contains("effective"));
}

TEST_F(ParameterApiHost, Every_request_is_in_the_audit_log) {
    get("/api/v1/companies/1/documents/ODP", bearer(ospiteToken_));
    get("/api/v1/companies/1/parameters", {});
    const std::string text = test_support::fileText(auditFile_);
    EXPECT_NE(text.find("\tapi\tospite\t1\t127.0.0.1\t/api/v1/companies/1/documents/ODP 200"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\tapi\t\t\t127.0.0.1\t/api/v1/companies/1/parameters 401"),
              std::string::npos)
        << text;
}

}  // namespace
}  // namespace zovrena::web

// The web host over HTTP on a loopback port: who reaches what, and how bad requests end.

#include "web/server/web_server.h"

#include <httplib.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "duza_zovrena/data/demo_database.h"
#include "web/server/password.h"

namespace zovrena::web {
namespace {

using Json = nlohmann::json;
using namespace std::chrono_literals;

// Users as the database would give them: demo (companies 1 and 2), ospite (company 1), nessuno
// (no company). `deleted` companies disappear as if removed from the database.
class GrantTable : public UserDirectory {
  public:
    GrantTable() {
        static const std::string demoHash = hashPassword("demo");
        static const std::string ospiteHash = hashPassword("ospite");
        users_["demo"] = {"demo", "Utente dimostrativo", demoHash};
        users_["ospite"] = {"ospite", "Ospite", ospiteHash};
        users_["nessuno"] = {"nessuno", "Senza ditte", ospiteHash};
        grants_["demo"] = {1, 2};
        grants_["ospite"] = {1};
    }
    std::optional<UserRecord> findUser(std::string_view code) override {
        std::lock_guard lock(mutex_);
        auto found = users_.find(std::string(code));
        return found == users_.end() ? std::nullopt : std::optional(found->second);
    }
    std::vector<Company> companiesOf(std::string_view user) override {
        std::lock_guard lock(mutex_);
        std::vector<Company> companies;
        for (auto code : grants_[std::string(user)]) {
            if (code != deleted) {
                companies.push_back({code, "Ditta " + std::to_string(code)});
            }
        }
        return companies;
    }
    std::atomic<std::int32_t> deleted = 0;

    void removeUser(const std::string& code) {
        std::lock_guard lock(mutex_);
        users_.erase(code);
    }
    void changePassword(const std::string& code, const std::string& password) {
        const std::string hash = hashPassword(password);
        std::lock_guard lock(mutex_);
        users_[code].passwordHash = hash;
    }

  private:
    std::mutex mutex_;
    std::map<std::string, UserRecord> users_;
    std::map<std::string, std::vector<std::int32_t>> grants_;
};

class WebHost : public testing::Test {
  protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() /
                ("zovrena_web_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(root_ / "static");
        std::filesystem::create_directories(root_ / "dist");
        write("static/index.html", "<p>host</p>");
        write("static/login.html", "<p>accesso</p>");
        write("static/style.css", "body{}");
        write("dist/host.js", "export {};");
        write("dist/login.js", "export {};");
        write("secret.txt", "segreto");

        WebServerSettings settings;
        settings.webRoot = root_;
        settings.maxBodyBytes = 4096;
        settings.connections.headerTimeout = 500ms;
        settings.throttle = SignInThrottle::defaultPolicy();
        settings.throttle.perUser = {2, 1h, 1h};  // waits far longer than any test runs
        configure(settings);
        directory_ = std::make_shared<GrantTable>();
        server_ = std::make_unique<WebServer>(settings, directory_);
        ASSERT_TRUE(server_->bind("127.0.0.1", 0));
        thread_ = std::thread([this] { server_->run(); });
    }

    void TearDown() override {
        server_->stop();
        thread_.join();
        std::filesystem::remove_all(root_);
    }

    virtual void configure(WebServerSettings&) {}

    void write(const std::string& name, const std::string& content) {
        std::ofstream(root_ / name) << content;
    }

    httplib::Client client() {
        httplib::Client c("127.0.0.1", server_->port());
        c.set_read_timeout(30, 0);
        return c;
    }

    struct SignedIn {
        std::string cookie;  // "zovrena_session=..."
        std::string csrf;
        Json session;
    };

    SignedIn signIn(const std::string& user, const std::string& password) {
        auto c = client();
        Json body{{"user", user}, {"password", password}};
        auto res = c.Post("/api/login", body.dump(), "application/json");
        EXPECT_TRUE(res);
        if (!res || res->status != 200) {
            ADD_FAILURE() << "sign-in of " << user << " refused";
            return {};
        }
        const std::string setCookie = res->get_header_value("Set-Cookie");
        SignedIn signedIn;
        signedIn.cookie = setCookie.substr(0, setCookie.find(';'));
        signedIn.session = Json::parse(res->body);
        signedIn.csrf = signedIn.session["csrfToken"];
        return signedIn;
    }

    httplib::Result post(const SignedIn& who, const std::string& path, const Json& body,
                         bool withCsrf = true) {
        httplib::Headers headers{{"Cookie", who.cookie}};
        if (withCsrf) {
            headers.emplace(csrfHeaderName, who.csrf);
        }
        return client().Post(path, headers, body.dump(), "application/json");
    }

    httplib::Result openProgram(const SignedIn& who) {
        return post(who, "/api/window", {{"progId", "DUZA_ZOVRENA.CLSPD_ZOVRENA"}});
    }

    httplib::Result get(const SignedIn& who, const std::string& path) {
        return client().Get(path, httplib::Headers{{"Cookie", who.cookie}});
    }

    std::filesystem::path root_;
    std::shared_ptr<GrantTable> directory_;
    std::unique_ptr<WebServer> server_;
    std::thread thread_;
};

std::string errorOf(const httplib::Result& res) {
    const Json body = Json::parse(res->body, nullptr, false);
    return body.is_object() && body.contains("error") ? body["error"].get<std::string>() : "";
}

TEST_F(WebHost, Idle_kept_alive_connections_do_not_hold_up_a_new_request) {
    // Browsers keep several connections open between requests, each holding a request thread.
    std::vector<httplib::Client> idle;
    for (int i = 0; i < 24; ++i) {
        idle.push_back(client());
        idle.back().set_keep_alive(true);
        ASSERT_TRUE(idle.back().Get("/login.html"));
    }
    auto fresh = client();
    fresh.set_read_timeout(2, 0);  // a held-up request would wait for a kept-alive one to expire
    fresh.set_connection_timeout(2, 0);
    auto res = fresh.Get("/login.html");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
}

TEST_F(WebHost, SignedOutRequestsReachOnlyTheSignInPage) {
    struct Case {
        const char* method;
        const char* path;
        int status;
    };
    const Case cases[] = {
        {"GET", "/login.html", 200},   {"GET", "/style.css", 200},
        {"GET", "/js/login.js", 200},  {"GET", "/", 303},
        {"GET", "/js/host.js", 303},   {"GET", "/api/session", 401},
        {"POST", "/api/company", 401}, {"POST", "/api/window", 401},
        {"POST", "/api/logout", 401},  {"GET", "/api/window/w1", 401},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + c.path);
        auto cl = client();
        auto res = std::string(c.method) == "GET"
                       ? cl.Get(c.path)
                       : cl.Post(c.path, R"({"company":2})", "application/json");
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, c.status);
        if (c.status == 303) {
            EXPECT_EQ(res->get_header_value("Location"), "/login.html");
            EXPECT_EQ(res->body.find("host"), std::string::npos);
        }
        if (c.status == 401) {
            EXPECT_EQ(errorOf(res), "Sessione scaduta o non valida. Accedere di nuovo.");
        }
        EXPECT_EQ(res->get_header_value("X-Content-Type-Options"), "nosniff");
        EXPECT_EQ(res->get_header_value("X-Frame-Options"), "DENY");
        EXPECT_TRUE(
            res->get_header_value("Content-Security-Policy").starts_with("default-src 'self'"));
    }
}

TEST_F(WebHost, SignInChecksThePasswordAndSetsAStrictCookie) {
    struct Case {
        const char* user;
        const char* password;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {"demo", "sbagliata", 401, "Utente o password non validi."},
        {"sconosciuto", "demo", 401, "Utente o password non validi."},
        {"demo' OR '1'='1", "demo", 401, "Utente o password non validi."},
        {"", "", 401, "Utente o password non validi."},
        {"nessuno", "ospite", 403, "Nessuna ditta abilitata per l'utente."},
        {"demo", "demo", 200, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.user);
        auto res =
            client().Post("/api/login", Json{{"user", c.user}, {"password", c.password}}.dump(),
                          "application/json");
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, c.status);
        if (c.status != 200) {
            EXPECT_EQ(errorOf(res), c.message);
            EXPECT_FALSE(res->has_header("Set-Cookie"));
            continue;
        }
        const std::string cookie = res->get_header_value("Set-Cookie");
        EXPECT_TRUE(cookie.starts_with(std::string(sessionCookieName) + "=")) << cookie;
        for (const char* attribute : {"; HttpOnly", "; SameSite=Strict", "; Path=/"}) {
            EXPECT_NE(cookie.find(attribute), std::string::npos) << cookie;
        }
        const Json session = Json::parse(res->body);
        EXPECT_EQ(session["user"], "demo");
        EXPECT_EQ(session["company"], 1);
        EXPECT_EQ(session["companies"].size(), 2U);
        EXPECT_EQ(session["menu"][0]["progId"], "DUZA_ZOVRENA.CLSPD_ZOVRENA");
    }
}

TEST_F(WebHost, RepeatedFailuresMakeTheNextAttemptWait) {
    auto attempt = [&](const char* password) {
        return client().Post("/api/login", Json{{"user", "demo"}, {"password", password}}.dump(),
                             "application/json");
    };
    EXPECT_EQ(attempt("x")->status, 401);
    EXPECT_EQ(attempt("y")->status, 401);
    // Beyond the two free failures: now the user waits an hour from when this attempt was
    // counted, before its password was hashed. A slow machine may have spent whole seconds of
    // that hour before the next attempt is answered.
    const auto counted = std::chrono::steady_clock::now();
    EXPECT_EQ(attempt("z")->status, 401);
    auto refused = attempt("demo");
    const auto spent =
        std::chrono::ceil<std::chrono::seconds>(std::chrono::steady_clock::now() - counted);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 429) << "even the right password is not checked while waiting";
    const std::string retry = refused->get_header_value("Retry-After");
    EXPECT_THAT(std::stol(retry),
                testing::AllOf(testing::Le(3600), testing::Ge(3600 - spent.count())));
    EXPECT_EQ(errorOf(refused),
              "Troppi tentativi non riusciti. Riprovare tra " + retry + " secondi.");
    signIn("ospite", "ospite");  // another user from the same address is not affected
}

TEST_F(WebHost, ChangesNeedTheSessionsCsrfToken) {
    const auto demo = signIn("demo", "demo");
    const auto ospite = signIn("ospite", "ospite");
    struct Case {
        const char* name;
        httplib::Headers headers;
        int status;
    };
    const Case cases[] = {
        {"no token", {{"Cookie", demo.cookie}}, 403},
        {"other session's token", {{"Cookie", demo.cookie}, {csrfHeaderName, ospite.csrf}}, 403},
        {"token without cookie", {{csrfHeaderName, demo.csrf}}, 401},
        {"foreign page",
         {{"Cookie", demo.cookie}, {csrfHeaderName, demo.csrf}, {"Origin", "http://altro.example"}},
         403},
        {"own token", {{"Cookie", demo.cookie}, {csrfHeaderName, demo.csrf}}, 200},
        {"own page",
         {{"Cookie", demo.cookie},
          {csrfHeaderName, demo.csrf},
          {"Origin", "http://127.0.0.1:" + std::to_string(server_->port())}},
         200},
        {"page without origin",
         {{"Cookie", demo.cookie}, {csrfHeaderName, demo.csrf}, {"Origin", "null"}},
         403},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto res = client().Post("/api/company", c.headers, R"({"company":2})", "application/json");
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, c.status);
    }
    EXPECT_EQ(Json::parse(get(demo, "/api/session")->body)["company"], 2);
}

// A company never granted is the browser test's 'ospite cannot work in company 2'.
TEST_F(WebHost, A_company_deleted_since_sign_in_cannot_be_chosen) {
    const auto demo = signIn("demo", "demo");
    directory_->deleted = 2;
    auto gone = post(demo, "/api/company", {{"company", 2}});
    ASSERT_TRUE(gone);
    EXPECT_EQ(gone->status, 409);
    EXPECT_EQ(errorOf(gone), "La ditta 2 non è più disponibile.");
    const Json session = Json::parse(get(demo, "/api/session")->body);
    EXPECT_EQ(session["company"], 1);
    EXPECT_EQ(session["companies"].size(), 1U);
}

TEST_F(WebHost, BadRequestsGetAClearAnswerAndTheServerGoesOn) {
    const auto demo = signIn("demo", "demo");
    struct Case {
        const char* name;
        std::string body;
        std::string contentType;
        int status;
    };
    const Case cases[] = {
        {"not JSON", "company=1", "application/json", 400},
        {"form post", "company=1", "application/x-www-form-urlencoded", 415},
        {"not an object", "[1]", "application/json", 400},
        {"deep nesting", std::string(2000, '[') + std::string(2000, ']'), "application/json", 400},
        {"text company", R"({"company":"1"})", "application/json", 400},
        {"company beyond 32 bits", R"({"company":4294967297})", "application/json", 400},
        {"missing company", "{}", "application/json", 400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto res =
            client().Post("/api/company", {{"Cookie", demo.cookie}, {csrfHeaderName, demo.csrf}},
                          c.body, c.contentType);
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, c.status);
        EXPECT_FALSE(errorOf(res).empty()) << res->body;
    }
    EXPECT_EQ(get(demo, "/api/session")->status, 200);
}

// Sends one raw request on a new connection and reads until the host closes it or the timeout.
std::string exchange(int port, const std::string& request, std::chrono::seconds timeout = 5s) {
    const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(sock);
        return {};
    }
    timeval wait{static_cast<time_t>(timeout.count()), 0};
    ::setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    ::send(sock, request.data(), request.size(), MSG_NOSIGNAL);
    std::string answer;
    char buffer[4096];
    for (ssize_t got; (got = ::recv(sock, buffer, sizeof buffer, 0)) > 0;) {
        answer.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(sock);
    return answer;
}

TEST_F(WebHost, Bodies_past_the_limit_are_refused_in_every_encoding_without_being_read) {
    const auto demo = signIn("demo", "demo");
    const std::string chunk = "1000\r\n" + std::string(4096, 'x') + "\r\n";
    std::string chunked;
    for (int i = 0; i < 4; ++i) {
        chunked += chunk;
    }
    const std::string signedIn = "Cookie: " + demo.cookie + "\r\n" + csrfHeaderName + ": " +
                                 demo.csrf + "\r\nContent-Type: application/json\r\n";
    struct Case {
        const char* name;
        std::string request;
        const char* status;
    };
    const Case cases[] = {
        {"chunked sign-in",
         "POST /api/login HTTP/1.1\r\nHost: h\r\nContent-Type: application/json\r\n"
         "Transfer-Encoding: chunked\r\n\r\n" +
             chunked,
         " 413 "},
        {"chunked action",
         "POST /api/company HTTP/1.1\r\nHost: h\r\n" + signedIn +
             "Transfer-Encoding: chunked\r\n\r\n" + chunked,
         " 413 "},
        {"chunked to no route",
         "POST /api/nothing HTTP/1.1\r\nHost: h\r\n" + signedIn +
             "Transfer-Encoding: chunked\r\n\r\n" + chunked,
         " 404 "},
        {"length announced too large",
         "POST /api/login HTTP/1.1\r\nHost: h\r\nContent-Type: application/json\r\n"
         "Content-Length: 1000000000\r\n\r\n{",
         " 413 "},
        {"compressed",
         "POST /api/login HTTP/1.1\r\nHost: h\r\nContent-Type: application/json\r\n"
         "Content-Encoding: gzip\r\nContent-Length: 4\r\n\r\nxxxx",
         " 415 "},
        {"PUT", "PUT /api/login HTTP/1.1\r\nHost: h\r\nContent-Length: 2\r\n\r\n{}", " 405 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string answer = exchange(server_->port(), c.request);
        EXPECT_THAT(answer.substr(0, answer.find("\r\n")), testing::HasSubstr(c.status));
        // The connection is closed after the answer: what was left of the body is never taken for
        // a request.
        EXPECT_EQ(answer.find("HTTP/1.1", 1), std::string::npos) << answer;
    }
    EXPECT_EQ(get(demo, "/api/session")->status, 200);
}

TEST_F(WebHost, A_request_header_that_trickles_in_past_its_deadline_ends_the_connection) {
    const std::string answer = exchange(server_->port(), "GET /login.html HTTP/1.1\r\nHost: h\r\n");
    EXPECT_THAT(answer, testing::StartsWith("HTTP/1.1 400")) << "cut off at the deadline";
}

TEST_F(WebHost, A_revoked_user_is_signed_out_at_the_next_request) {
    for (const bool removed : {false, true}) {
        SCOPED_TRACE(removed ? "user removed" : "password changed");
        const std::string user = removed ? "demo" : "ospite";
        const auto session = signIn(user, user);
        if (removed) {
            directory_->removeUser(user);
        } else {
            directory_->changePassword(user, "altra");
        }
        const auto res = get(session, "/api/session");
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 401);
        EXPECT_EQ(errorOf(res),
                  "L'utente non è più abilitato o la sua password è cambiata: la sessione è stata "
                  "chiusa.");
        EXPECT_EQ(Json::parse(res->body)["revoked"], true);
        EXPECT_THAT(res->get_header_value("Set-Cookie"), testing::HasSubstr("Max-Age=0"));
        EXPECT_EQ(errorOf(get(session, "/api/session")),
                  "Sessione scaduta o non valida. Accedere di nuovo.")
            << "the session is gone";
        if (!removed) {
            EXPECT_EQ(get(signIn(user, "altra"), "/api/session")->status, 200);
        }
    }
}

// Behind a proxy, with the names of the host given.
class WebHostBehindAProxy : public WebHost {
  protected:
    void configure(WebServerSettings& settings) override {
        settings.allowedHosts = {"erp.example.it", "127.0.0.1"};
        settings.trustProxy = true;
    }
};

TEST_F(WebHostBehindAProxy, Only_the_hosts_own_names_are_answered) {
    for (const auto& [host, status] : std::vector<std::pair<std::string, int>>{
             {"erp.example.it", 200}, {"ERP.example.it:443", 200}, {"evil.example", 421}}) {
        SCOPED_TRACE(host);
        const auto res = client().Get("/login.html", {{"Host", host}});
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, status);
    }
}

TEST_F(WebHostBehindAProxy,
       The_client_address_is_the_proxys_word_and_https_makes_the_cookie_secure) {
    const Json wrong{{"user", "demo"}, {"password", "sbagliata"}};
    // Failures of one client behind the proxy slow down that client only.
    for (int i = 0; i < 4; ++i) {
        client().Post("/api/login", {{"X-Forwarded-For", "10.0.0.9"}}, wrong.dump(),
                      "application/json");
    }
    const auto stranger = client().Post("/api/login", {{"X-Forwarded-For", "10.0.0.9"}},
                                        wrong.dump(), "application/json");
    EXPECT_EQ(stranger->status, 429);
    const Json right{{"user", "demo"}, {"password", "demo"}};
    const auto owner = client().Post(
        "/api/login", {{"X-Forwarded-For", "10.0.0.9, 10.0.0.7"}, {"X-Forwarded-Proto", "https"}},
        right.dump(), "application/json");
    ASSERT_EQ(owner->status, 200) << "the last address is the one the proxy saw";
    EXPECT_THAT(owner->get_header_value("Set-Cookie"), testing::HasSubstr("; Secure"));
}

TEST_F(WebHost, FilesComeOnlyFromTheFrontEndFolders) {
    const auto demo = signIn("demo", "demo");
    const std::pair<const char*, int> cases[] = {
        {"/", 200},
        {"/js/host.js", 200},
        {"/js/../secret.txt", 404},
        {"/js/%2e%2e/secret.txt", 404},
        {"/secret.txt", 404},
        {"/js/Host.js", 404},
        {"/missing.css", 404},
    };
    for (const auto& [path, status] : cases) {
        auto res = get(demo, path);
        ASSERT_TRUE(res) << path;
        EXPECT_EQ(res->status, status) << path;
        EXPECT_EQ(res->body.find("segreto"), std::string::npos) << path;
    }
    EXPECT_EQ(get(demo, "/js/host.js")->get_header_value("Content-Type"),
              "text/javascript; charset=utf-8");
}

TEST_F(WebHost, TheProgramIsOfferedAsUnavailable) {
    const auto demo = signIn("demo", "demo");
    EXPECT_EQ(demo.session["menu"][0]["caption"], "Parametri di gestione");
    EXPECT_EQ(demo.session["menu"][0]["available"], false);
    auto res = openProgram(demo);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 503);
    EXPECT_EQ(errorOf(res), "Il programma \"Parametri di gestione\" non è disponibile.");
}

// The host with the program on a demo database.
class WebHostWithProgram : public WebHost {
  protected:
    void configure(WebServerSettings& settings) override {
        database_ = std::filesystem::temp_directory_path() /
                    ("zovrena_web_program_" + std::to_string(::getpid()) + ".db");
        std::filesystem::remove(database_);
        settings.connectionString = "sqlite:" + database_.string();
        duza_zovrena::data::createDemoDatabase(settings.connectionString, true);
    }
    void TearDown() override {
        WebHost::TearDown();
        server_.reset();
        std::filesystem::remove(database_);
    }
    std::filesystem::path database_;
};

TEST_F(WebHostWithProgram, A_window_belongs_to_the_session_that_opened_it) {
    auto demo = signIn("demo", "demo");
    EXPECT_EQ(demo.session["menu"][0]["available"], true);
    auto opened = openProgram(demo);
    ASSERT_TRUE(opened);
    ASSERT_EQ(opened->status, 200);
    EXPECT_THAT(opened->get_header_value("Server-Timing"),
                testing::MatchesRegex("action;dur=[0-9.]+, window;dur=[0-9.]+, host;dur=[0-9.]+"));
    const Json window = Json::parse(opened->body);
    const std::string id = window["window"];
    const std::string action = "/api/window/" + id + "/action";
    EXPECT_EQ(Json::parse(get(demo, "/api/session")->body)["openWindow"], id);

    // Opening it again from the menu gives the same window back.
    EXPECT_EQ(Json::parse(openProgram(demo)->body)["window"], id);

    // Another user's session, with its own token, cannot tell the window from a missing one.
    const auto ospite = signIn("ospite", "ospite");
    const Json click{
        {"type", "clickItem"}, {"item", "ITM_PRG_INDGES"}, {"revision", window["revision"]}};
    for (const auto& res : {get(ospite, "/api/window/" + id), post(ospite, action, click),
                            get(ospite, "/api/window/w999")}) {
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 404);
        EXPECT_EQ(errorOf(res), "Finestra non trovata.");
    }

    // The owner's action goes through once; the same request replayed is refused.
    EXPECT_EQ(post(demo, action, click)->status, 200);
    auto replayed = post(demo, action, click);
    EXPECT_EQ(replayed->status, 409);
    EXPECT_EQ(errorOf(replayed), "La finestra è stata modificata in un'altra scheda.");
    EXPECT_EQ(Json::parse(replayed->body)["window"]["page"]["key"], "ITM_PRG_INDGES");

    // Signing out ends the session, and the window with it.
    const auto out = post(demo, "/api/logout", Json::object());
    EXPECT_THAT(out->get_header_value("Set-Cookie"), testing::HasSubstr("Max-Age=0"));
    EXPECT_EQ(get(demo, "/api/session")->status, 401);
    EXPECT_EQ(post(demo, "/api/company", {{"company", 1}})->status, 401);
    demo = signIn("demo", "demo");
    EXPECT_TRUE(Json::parse(get(demo, "/api/session")->body)["openWindow"].is_null());
    EXPECT_EQ(get(demo, "/api/window/" + id)->status, 404);
}

// Sessions that expire at once, looked for often.
class WebHostWithShortSessions : public WebHostWithProgram {
  protected:
    void configure(WebServerSettings& settings) override {
        WebHostWithProgram::configure(settings);
        settings.idleTimeout = 1s;
        settings.sweepInterval = 50ms;
    }
};

TEST_F(WebHostWithShortSessions, The_window_of_an_expired_session_ends_without_a_request) {
    const auto demo = signIn("demo", "demo");
    ASSERT_EQ(openProgram(demo)->status, 200);
    EXPECT_EQ(server_->openWindows(), 1u);
    for (int i = 0; i < 200 && server_->openWindows() > 0; ++i) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(server_->openWindows(), 0u);
    EXPECT_EQ(get(demo, "/api/session")->status, 401);
}

TEST_F(WebHostWithProgram, A_company_change_waits_for_the_program_question) {
    const auto demo = signIn("demo", "demo");
    const Json window = Json::parse(openProgram(demo)->body);
    auto res = post(demo, "/api/company", {{"company", 2}});
    ASSERT_EQ(res->status, 200);
    Json answer = Json::parse(res->body);
    EXPECT_EQ(answer["company"], 1) << "not changed before the answer";
    ASSERT_TRUE(answer["window"]["messageBox"].is_object());
    EXPECT_EQ(answer["window"]["messageBox"]["id"], 30178);
    EXPECT_EQ(answer["window"]["messageBox"]["text"],
              "Il cambio azienda comporta la chiusura del programma, proseguo ?");

    res = post(demo, "/api/window/" + window["window"].get<std::string>() + "/action",
               {{"type", "answer"},
                {"messageId", 30178},
                {"answer", 6},
                {"revision", answer["window"]["revision"]}});
    ASSERT_EQ(res->status, 200);
    answer = Json::parse(res->body);
    EXPECT_EQ(answer["closed"], true);
    EXPECT_EQ(answer["session"]["company"], 2);
    EXPECT_EQ(Json::parse(get(demo, "/api/session")->body)["company"], 2);
}

TEST_F(WebHostWithProgram, A_revoked_company_ends_its_window_and_opens_no_other) {
    const auto demo = signIn("demo", "demo");
    const Json window = Json::parse(openProgram(demo)->body);
    ASSERT_EQ(server_->openWindows(), 1u);
    directory_->deleted = 1;
    const auto res =
        post(demo, "/api/window/" + window["window"].get<std::string>() + "/action",
             {{"type", "hostButton"}, {"button", "Conferma"}, {"revision", window["revision"]}});
    const auto reopened = openProgram(demo);
    for (const httplib::Result* answer : {&res, &reopened}) {
        ASSERT_TRUE(*answer);
        EXPECT_EQ((*answer)->status, 409);
        EXPECT_EQ(errorOf(*answer), "La ditta 1 non è più disponibile.");
    }
    EXPECT_EQ(server_->openWindows(), 0u);
    EXPECT_TRUE(Json::parse(get(demo, "/api/session")->body)["openWindow"].is_null());
}

// Boxes are given up quickly.
class WebHostWithTightLimits : public WebHostWithProgram {
  protected:
    void configure(WebServerSettings& settings) override {
        WebHostWithProgram::configure(settings);
        settings.modalTimeout = 300ms;
    }
};

TEST_F(WebHostWithTightLimits, A_window_that_gives_up_on_its_box_frees_its_place_at_once) {
    const auto demo = signIn("demo", "demo");
    const Json window = Json::parse(openProgram(demo)->body);
    const Json asked = Json::parse(post(demo, "/api/company", {{"company", 2}})->body);
    ASSERT_TRUE(asked["window"]["messageBox"].is_object());
    for (int i = 0; i < 100 && server_->openWindows() > 0; ++i) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(server_->openWindows(), 0u) << "long before the session ends";
    const auto shown = get(demo, "/api/window/" + window["window"].get<std::string>());
    ASSERT_EQ(shown->status, 200);
    EXPECT_EQ(Json::parse(shown->body)["closed"], true);
}

}  // namespace
}  // namespace zovrena::web

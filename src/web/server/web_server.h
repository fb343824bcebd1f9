#pragma once

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "web/server/audit_log.h"
#include "web/server/guarded_server.h"
#include "web/server/parameter_api.h"
#include "web/server/session_store.h"
#include "web/server/sign_in.h"
#include "web/server/sign_in_throttle.h"
#include "web/server/static_files.h"
#include "web/server/user_directory.h"
#include "web/server/window_session.h"

namespace zovrena::web {

inline constexpr const char* sessionCookieName = "zovrena_session";
inline constexpr const char* csrfHeaderName = "X-Zovrena-Csrf";

struct WebServerSettings {
    std::filesystem::path webRoot;  // the built front end (see StaticFiles)
    std::chrono::seconds idleTimeout = std::chrono::minutes(30);
    std::size_t maxBodyBytes = std::size_t{64} * 1024;
    SignInThrottle::Policy throttle = SignInThrottle::defaultPolicy();
    // The database the program windows work on; empty: the program is not offered.
    std::string connectionString;
    // How long a message box waits for its answer before the window gives up and unloads.
    std::chrono::milliseconds modalTimeout = std::chrono::minutes(15);
    std::size_t maxWindows = 200;
    // Sessions of one user at once (each with at most one window): signing in past it ends the
    // user's session used least recently.
    std::size_t maxSessionsPerUser = 8;
    PasswordCheckLimits passwordChecks;
    // Threads answering requests. Each kept-alive browser connection holds one while it waits for
    // its next request, so they must outnumber the connections of the people at work, and those
    // one address may hold (connections.connectionsPerAddress).
    std::size_t requestThreads = 128;
    ConnectionLimits connections;
    // Names the Host header may carry (without port, lower case); empty: any. Names of ours only
    // keep a page of another site, whose name was pointed at this host, from reading it.
    std::vector<std::string> allowedHosts;
    // Behind a reverse proxy on this machine: the client's address is the last one the proxy adds
    // to X-Forwarded-For, and X-Forwarded-Proto: https makes the session cookie Secure.
    bool trustProxy = false;
    // Where sign-ins, refusals, sign-outs and saves are recorded; empty: nowhere.
    std::filesystem::path auditLog;
    std::size_t mediaMaxBytes = std::size_t{40} * 1024;
    std::size_t mediaMaxCount = 20;
    // How often the windows of ended sessions are looked for.
    std::chrono::milliseconds sweepInterval = std::chrono::seconds(30);
};

// The web host's HTTP side: sign-in and sessions, the company selector, the program menu and the
// built front end. Everything but the sign-in page and its files needs a session; every request
// that changes something needs the session's CSRF token in the X-Zovrena-Csrf header.
class WebServer {
  public:
    WebServer(WebServerSettings settings, std::shared_ptr<UserDirectory> directory);
    ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // Binds the listening socket; port 0 takes any free port. False when the address is unusable.
    bool bind(const std::string& host, int port);
    int port() const { return port_; }
    // Serves HTTPS (and marks the session cookie Secure); false, with the reason, when the
    // certificate chain or the key does not load.
    bool useTls(const std::string& certificateChain, const std::string& privateKey,
                std::string& error);

    // Serves until stop() is called (from any thread).
    bool run();
    void stop();
    bool running() const;

    SessionStore& sessions() { return sessions_; }
    // Windows still running (a window closed by itself is kept to be shown closed, without its
    // thread, until its session hears of it).
    std::size_t openWindows();

  private:
    void addRoutes();
    void signIn(const httplib::Request& req, httplib::Response& res, const nlohmann::json& body);
    void signOut(const httplib::Request& req, httplib::Response& res);
    void chooseCompany(const httplib::Request& req, httplib::Response& res,
                       const nlohmann::json& body);
    void serveFile(const httplib::Request& req, httplib::Response& res);
    std::optional<Session> sessionOf(const httplib::Request& req);
    // Who sent the request: the connection's address, or the proxy's word for it.
    std::string clientAddress(const httplib::Request& req) const;
    bool allowedHost(const httplib::Request& req) const;
    // Whether the session's user still exists with the same password and, for a window, still has
    // the company; otherwise answers (a revoked user is signed out) and returns false.
    bool checkStanding(const httplib::Request& req, httplib::Response& res, const Session& session);
    // The caller's session, or nothing after answering 401.
    std::optional<Session> signedIn(const httplib::Request& req, httplib::Response& res);

    // Program windows (see window_session.h), each owned by the session that opened it.
    void openWindow(const httplib::Request& req, httplib::Response& res,
                    const nlohmann::json& body);
    void showWindow(const httplib::Request& req, httplib::Response& res);
    // The problems of the stored parameters of the window's company ("Verifica").
    void checkParameters(const httplib::Request& req, httplib::Response& res);
    void windowAction(const httplib::Request& req, httplib::Response& res,
                      const nlohmann::json& body);
    std::shared_ptr<WindowSession> windowOf(const std::string& token);
    std::shared_ptr<WindowSession> ownedWindow(const std::string& token, const std::string& id);
    void dropWindow(const std::string& id);
    void dropWindowsOf(const std::string& token);
    // Ends the windows whose session has ended, and the threads of those that gave up on a box.
    void sweepWindows();
    void sweepSoon();
    // Completes a company change the program allowed; the session as it is then, or null.
    nlohmann::json completeCompanyChange(const std::string& token, std::int32_t company);
    nlohmann::json sessionJson(const Session& session);
    WebServerSettings settings_;
    std::shared_ptr<UserDirectory> directory_;
    SessionStore sessions_;
    SignInThrottle throttle_;
    SignIn signIn_;
    StaticFiles files_;
    std::unique_ptr<GuardedServer> server_;
    std::unique_ptr<AuditLog> audit_;
    void audit(const AuditLog::Entry& entry);
    // The read-only API (see parameter_api.h).
    std::unique_ptr<ParameterApi> api_;
    void answerApi(const httplib::Request& req, httplib::Response& res);
    int port_ = 0;

    struct OpenWindow {
        std::string owner;  // the session token
        std::shared_ptr<WindowSession> window;
    };
    std::mutex windowsMutex_;
    std::map<std::string, OpenWindow> windows_;
    long nextWindow_ = 0;

    // Ends the windows of sessions that expired without a further request.
    std::mutex sweeperMutex_;
    std::condition_variable sweeperWake_;
    bool sweeperStopping_ = false;
    bool sweepSoon_ = false;  // a window gave up on its box
    std::thread sweeper_;
};

}  // namespace zovrena::web

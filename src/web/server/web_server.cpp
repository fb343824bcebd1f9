#include "web/server/web_server.h"

#include <httplib.h>

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "duza_zovrena/params/health_check.h"
#include "krl/ado/ado.h"
#include "krl/variant/error.h"
#include "web/server/token.h"

namespace zovrena::web {

namespace {

using Json = nlohmann::json;
using httplib::Request;
using httplib::Response;

constexpr const char* programProgId = "DUZA_ZOVRENA.CLSPD_ZOVRENA";
constexpr const char* programCaption = "Parametri di gestione";
constexpr const char* revokedMessage =
    "L'utente non è più abilitato o la sua password è cambiata: la sessione è stata chiusa.";

void sendJson(Response& res, int status, const Json& body) {
    res.status = status;
    res.set_header("Cache-Control", "no-store");
    res.set_content(body.dump(), "application/json; charset=utf-8");
}

void sendError(Response& res, int status, const std::string& message) {
    sendJson(res, status, Json{{"error", message}});
}

const char* messageFor(int status) {
    switch (status) {
        case 400:
            return "Richiesta non valida.";
        case 401:
            return "Sessione scaduta o non valida. Accedere di nuovo.";
        case 403:
            return "Richiesta non autorizzata.";
        case 404:
            return "Risorsa non trovata.";
        case 405:
            return "Operazione non consentita.";
        case 413:
            return "Richiesta troppo grande.";
        case 415:
            return "Formato della richiesta non supportato.";
        case 421:
            return "Nome del server non ammesso.";
        case 503:
            return "Servizio non disponibile.";
        default:
            return status >= 500 ? "Errore interno del server." : "Richiesta non riuscita.";
    }
}

std::string cookieValue(const Request& req, std::string_view name) {
    for (auto [it, end] = req.headers.equal_range("Cookie"); it != end; ++it) {
        std::string_view cookies = it->second;
        while (!cookies.empty()) {
            const auto semicolon = cookies.find(';');
            std::string_view pair = cookies.substr(0, semicolon);
            cookies = semicolon == std::string_view::npos ? std::string_view{}
                                                          : cookies.substr(semicolon + 1);
            while (pair.starts_with(' ')) {
                pair.remove_prefix(1);
            }
            const auto equals = pair.find('=');
            if (equals != std::string_view::npos && pair.substr(0, equals) == name) {
                return std::string(pair.substr(equals + 1));
            }
        }
    }
    return {};
}

std::string sessionCookie(const std::string& token, bool secure) {
    return std::string(sessionCookieName) + "=" + token + "; Path=/; HttpOnly; SameSite=Strict" +
           (secure ? "; Secure" : "");
}

// The host name of a Host header: "Name:8080" -> "name", "[::1]:8080" -> "[::1]".
std::string hostName(std::string_view host) {
    if (host.starts_with('[')) {
        host = host.substr(0, host.find(']') + 1);
    } else if (const auto colon = host.find(':'); colon != std::string_view::npos) {
        host = host.substr(0, colon);
    }
    std::string name(host);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

std::string expiredSessionCookie() {
    return std::string(sessionCookieName) + "=; Path=/; HttpOnly; SameSite=Strict; Max-Age=0";
}

bool changesState(const std::string& method) {
    return method != "GET" && method != "HEAD" && method != "OPTIONS";
}

// A browser names the page that sent a request in Origin: it has to be one of ours.
bool sameOrigin(const Request& req) {
    const std::string header = req.get_header_value("Origin");
    std::string_view origin = header;
    if (origin.empty()) {
        return true;  // not sent by a browser page
    }
    for (std::string_view scheme : {"http://", "https://"}) {
        if (origin.starts_with(scheme)) {
            origin.remove_prefix(scheme.size());
            return origin == req.get_header_value("Host");
        }
    }
    return false;
}

// Answers a request before its body is read; the connection then closes, as the body left on it
// could not be told from a next request.
void refuseUnread(Response& res, int status) {
    sendError(res, status, messageFor(status));
    GuardedServer::closeAfterAnswer();
}

// The request's JSON object, read through `reader` up to `limit` bytes whatever the transfer
// encoding; nullopt after answering 415, 413 or 400.
std::optional<Json> jsonBody(const Request& req, Response& res,
                             const httplib::ContentReader& reader, std::size_t limit) {
    const std::string type = req.get_header_value("Content-Type");
    if (!type.starts_with("application/json")) {
        refuseUnread(res, 415);
        return std::nullopt;
    }
    std::string text;
    bool tooLarge = false;
    const bool read = reader([&](const char* data, std::size_t size) {
        if (text.size() + size > limit) {
            tooLarge = true;
            return false;
        }
        text.append(data, size);
        return true;
    });
    if (tooLarge || !read) {
        refuseUnread(res, tooLarge ? 413 : 400);
        return std::nullopt;
    }
    Json body = Json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (!body.is_object()) {
        sendError(res, 400, messageFor(400));
        return std::nullopt;
    }
    return body;
}

bool hasBody(const Request& req) {
    return req.has_header("Transfer-Encoding") ||
           (req.has_header("Content-Length") && req.get_header_value("Content-Length") != "0");
}

std::string windowIdOf(const Request& req) {
    return req.matches.size() > 1 ? std::string(req.matches[1]) : std::string();
}

}  // namespace

WebServer::WebServer(WebServerSettings settings, std::shared_ptr<UserDirectory> directory)
    : settings_(std::move(settings)),
      directory_(std::move(directory)),
      sessions_(settings_.idleTimeout, &SessionStore::Clock::now, settings_.maxSessionsPerUser),
      throttle_(settings_.throttle),
      signIn_(*directory_, throttle_, sessions_, settings_.passwordChecks),
      files_(settings_.webRoot),
      server_(std::make_unique<GuardedServer>(settings_.connections, settings_.requestThreads)) {
    server_->set_payload_max_length(settings_.maxBodyBytes);
    if (!settings_.auditLog.empty()) {
        audit_ = std::make_unique<AuditLog>(settings_.auditLog);
    }
    // Headers and body go out in separate writes: without this a kept-alive connection waits for
    // the browser's delayed acknowledgement before the body leaves.
    server_->set_tcp_nodelay(true);
    server_->set_read_timeout(10, 0);
    server_->set_write_timeout(10, 0);
    server_->set_default_headers({
        {"Content-Security-Policy",
         "default-src 'self'; frame-ancestors 'none'; base-uri 'none'; form-action 'self'"},
        {"X-Content-Type-Options", "nosniff"},
        {"X-Frame-Options", "DENY"},
        {"Referrer-Policy", "same-origin"},  // "no-referrer" would blank Origin
    });
    api_ = std::make_unique<ParameterApi>(settings_.connectionString, *directory_, throttle_,
                                          [this](const AuditLog::Entry& entry) { audit(entry); });
    addRoutes();
    sweeper_ = std::thread([this] {
        std::unique_lock lock(sweeperMutex_);
        for (;;) {
            sweeperWake_.wait_for(lock, settings_.sweepInterval,
                                  [this] { return sweeperStopping_ || sweepSoon_; });
            if (sweeperStopping_) {
                break;
            }
            sweepSoon_ = false;
            lock.unlock();
            sweepWindows();
            lock.lock();
        }
    });
}

WebServer::~WebServer() {
    stop();
    {
        std::lock_guard lock(sweeperMutex_);
        sweeperStopping_ = true;
    }
    sweeperWake_.notify_all();
    sweeper_.join();
    std::map<std::string, OpenWindow> windows;
    {
        std::lock_guard lock(windowsMutex_);
        windows.swap(windows_);
    }
    for (auto& [id, open] : windows) {
        open.window->shutDown();
    }
}

Json WebServer::sessionJson(const Session& session) {
    Json companies = Json::array();
    for (const auto& company : session.companies) {
        companies.push_back({{"code", company.code}, {"name", company.name}});
    }
    Json menu = Json::array();
    menu.push_back({{"progId", programProgId},
                    {"caption", programCaption},
                    {"available", !settings_.connectionString.empty()}});
    const auto window = windowOf(session.token);
    return Json{{"user", session.user},
                {"userName", session.userName},
                {"companies", std::move(companies)},
                {"company", session.company ? Json(*session.company) : Json(nullptr)},
                {"csrfToken", session.csrfToken},
                {"menu", std::move(menu)},
                {"openWindow", window ? Json(window->id()) : Json(nullptr)}};
}

std::optional<Session> WebServer::signedIn(const Request& req, Response& res) {
    auto session = sessionOf(req);
    if (!session) {
        sendError(res, 401, messageFor(401));
    }
    return session;
}

std::string WebServer::clientAddress(const Request& req) const {
    if (!settings_.trustProxy) {
        return req.remote_addr;
    }
    // The proxy appends the address it got the request from; anything before it came from the
    // client and proves nothing.
    std::string forwarded;
    for (auto [it, end] = req.headers.equal_range("X-Forwarded-For"); it != end; ++it) {
        forwarded = it->second;
    }
    const auto comma = forwarded.rfind(',');
    std::string_view last =
        std::string_view(forwarded).substr(comma == std::string::npos ? 0 : comma + 1);
    while (last.starts_with(' ')) {
        last.remove_prefix(1);
    }
    return last.empty() ? req.remote_addr : std::string(last);
}

bool WebServer::allowedHost(const Request& req) const {
    if (settings_.allowedHosts.empty()) {
        return true;
    }
    const std::string name = hostName(req.get_header_value("Host"));
    return std::find(settings_.allowedHosts.begin(), settings_.allowedHosts.end(), name) !=
           settings_.allowedHosts.end();
}

std::optional<Session> WebServer::sessionOf(const Request& req) {
    const std::string token = cookieValue(req, sessionCookieName);
    if (token.empty()) {
        return std::nullopt;
    }
    return sessions_.find(token);
}

void WebServer::addRoutes() {
    using Outcome = httplib::Server::HandlerResponse;

    // The gate: who may reach what. Runs before the body of the request is read, so nothing is
    // read for a request refused here.
    server_->set_pre_routing_handler([this](const Request& req, Response& res) {
        const auto refuse = [&](int status) {
            if (hasBody(req)) {
                refuseUnread(res, status);
            } else {
                sendError(res, status, messageFor(status));
            }
            return Outcome::Handled;
        };
        if (req.method != "GET" && req.method != "HEAD" && req.method != "POST") {
            return refuse(405);
        }
        if (!allowedHost(req)) {
            return refuse(421);
        }
        // The front end never compresses what it sends: a compressed body could unfold past any
        // limit.
        if (const auto encoding = req.get_header_value("Content-Encoding");
            !encoding.empty() && encoding != "identity") {
            return refuse(415);
        }
        if (req.has_header("Content-Length") &&
            req.get_header_value<std::uint64_t>("Content-Length") > settings_.maxBodyBytes) {
            return refuse(413);
        }
        const bool api = req.path.starts_with("/api/");
        if (changesState(req.method) && !sameOrigin(req)) {
            return refuse(403);
        }
        if (req.path == "/api/login" || (!api && StaticFiles::isPublic(req.path))) {
            return Outcome::Unhandled;
        }
        const auto session = sessionOf(req);
        if (!session) {
            if (ParameterApi::serves(req.path)) {
                return Outcome::Unhandled;  // a bearer token may stand in for the session
            }
            if (api) {
                return refuse(401);
            }
            res.status = 303;
            res.set_header("Location", "/login.html");
            if (hasBody(req)) {
                GuardedServer::closeAfterAnswer();
            }
            return Outcome::Handled;
        }
        if (changesState(req.method) &&
            !sameSecret(session->csrfToken, req.get_header_value(csrfHeaderName))) {
            return refuse(403);
        }
        if (api && req.path != "/api/logout") {
            return checkStanding(req, res, *session) ? Outcome::Unhandled : Outcome::Handled;
        }
        return Outcome::Unhandled;
    });

    // Every POST reads its body through a content reader with the body limit, chunked or not.
    using JsonHandler = void (WebServer::*)(const Request&, Response&, const Json&);
    const auto withBody = [this](JsonHandler handler) {
        return [this, handler](const Request& req, Response& res,
                               const httplib::ContentReader& reader) {
            if (const auto body = jsonBody(req, res, reader, settings_.maxBodyBytes)) {
                (this->*handler)(req, res, *body);
            }
        };
    };
    server_->Post("/api/login", withBody(&WebServer::signIn));
    server_->Post("/api/logout",
                  [this](const Request& req, Response& res, const httplib::ContentReader& reader) {
                      if (hasBody(req)) {
                          // What the body says does not matter, but it must not stay on the
                          // connection.
                          std::size_t read = 0;
                          reader([&](const char*, std::size_t size) {
                              read += size;
                              return read <= settings_.maxBodyBytes;
                          });
                      }
                      signOut(req, res);
                  });
    server_->Get("/api/session", [this](const Request& req, Response& res) {
        const auto session = sessionOf(req);
        if (!session) {
            sendError(res, 401, messageFor(401));
            return;
        }
        sendJson(res, 200, sessionJson(*session));
    });
    server_->Post("/api/company", withBody(&WebServer::chooseCompany));

    // The program's window: see src/web/PROTOCOL.md.
    server_->Post("/api/window", withBody(&WebServer::openWindow));
    server_->Get(R"(/api/window/([A-Za-z0-9_-]+))",
                 [this](const Request& req, Response& res) { showWindow(req, res); });
    server_->Post(R"(/api/window/([A-Za-z0-9_-]+)/action)", withBody(&WebServer::windowAction));
    // The read-only API for other programs: see src/web/PROTOCOL.md.
    const auto api = [this](const Request& req, Response& res) { answerApi(req, res); };
    server_->Get(R"(/api/v1/companies/([^/]+)/parameters)", api);
    server_->Get(R"(/api/v1/companies/([^/]+)/documents/([^/]+))", api);
    server_->Get(R"(/api/window/([A-Za-z0-9_-]+)/check)",
                 [this](const Request& req, Response& res) { checkParameters(req, res); });
    // Any other POST is answered without reading its body.
    server_->Post(".*", [](const Request& req, Response& res, const httplib::ContentReader&) {
        if (hasBody(req)) {
            refuseUnread(res, 404);
        } else {
            sendError(res, 404, messageFor(404));
        }
    });

    server_->Get(".*", [this](const Request& req, Response& res) { serveFile(req, res); });

    server_->set_error_handler(
        httplib::Server::HandlerWithResponse([](const Request& req, Response& res) {
            if (!res.body.empty() || res.status < 400) {
                return Outcome::Unhandled;
            }
            if (req.path.starts_with("/api/")) {
                sendError(res, res.status, messageFor(res.status));
            } else {
                res.set_content(std::string(messageFor(res.status)) + "\n",
                                "text/plain; charset=utf-8");
            }
            return Outcome::Handled;
        }));

    // Nothing of an internal failure reaches the browser but a plain message.
    server_->set_exception_handler(
        [](const Request& req, Response& res, const std::exception_ptr& error) {
            int status = 500;
            std::string detail = "errore sconosciuto";
            try {
                std::rethrow_exception(error);
            } catch (const krl::VbError& e) {
                status = 503;
                detail = e.what();
            } catch (const std::exception& e) {
                detail = e.what();
            } catch (...) {
            }
            std::fprintf(stderr, "zovrena: %s %s: %s\n", req.method.c_str(), req.path.c_str(),
                         detail.c_str());
            sendError(
                res, status,
                status == 503 ? "Database non disponibile. Riprovare più tardi." : messageFor(500));
        });
}

void WebServer::audit(const AuditLog::Entry& entry) {
    if (audit_) {
        audit_->record(entry);
    }
}

bool WebServer::checkStanding(const Request& req, Response& res, const Session& session) {
    const auto standing = directory_->standing(session.user, session.credential);
    if (standing.revoked) {
        audit({"revoca", session.user, session.company, clientAddress(req),
               "utente o password cambiati: sessione chiusa"});
        sessions_.close(session.token);
        dropWindowsOf(session.token);
        res.set_header("Set-Cookie", expiredSessionCookie());
        sendJson(res, 401, Json{{"error", revokedMessage}, {"revoked", true}});
        if (hasBody(req)) {
            GuardedServer::closeAfterAnswer();
        }
        return false;
    }
    const bool granted = session.company &&
                         std::any_of(standing.companies.begin(), standing.companies.end(),
                                     [&](const Company& c) { return c.code == *session.company; });
    if (req.path.starts_with("/api/window/") && !granted) {
        // Nothing more is done for a company revoked or deleted meanwhile: its window goes.
        dropWindowsOf(session.token);
        sendError(res, 409,
                  session.company
                      ? "La ditta " + std::to_string(*session.company) + " non è più disponibile."
                      : std::string("Scegliere prima la ditta."));
        if (hasBody(req)) {
            GuardedServer::closeAfterAnswer();
        }
        return false;
    }
    return true;
}

void WebServer::signIn(const Request& req, Response& res, const Json& json) {
    const auto* body = &json;
    const auto user = body->find("user");
    const auto password = body->find("password");
    if (user == body->end() || password == body->end() || !user->is_string() ||
        !password->is_string()) {
        sendError(res, 400, messageFor(400));
        return;
    }

    const auto outcome =
        signIn_.attempt(user->get_ref<const std::string&>(),
                        password->get_ref<const std::string&>(), clientAddress(req));
    const std::string& name = user->get_ref<const std::string&>();
    const auto refused = [&](std::string_view why) {
        audit({"accesso rifiutato", name, std::nullopt, clientAddress(req), why});
    };
    switch (outcome.kind) {
        case SignInOutcome::Kind::SignedIn: {
            audit(
                {"accesso", outcome.session.user, outcome.session.company, clientAddress(req), ""});
            // A new sign-in never keeps the token the browser had before.
            if (const auto previous = cookieValue(req, sessionCookieName); !previous.empty()) {
                sessions_.close(previous);
                dropWindowsOf(previous);
            }
            res.set_header(
                "Set-Cookie",
                sessionCookie(
                    outcome.session.token,
                    server_->tls() || (settings_.trustProxy &&
                                       req.get_header_value("X-Forwarded-Proto") == "https")));
            sendJson(res, 200, sessionJson(outcome.session));
            return;
        }
        case SignInOutcome::Kind::Refused:
            refused("utente o password non validi");
            sendError(res, 401, "Utente o password non validi.");
            return;
        case SignInOutcome::Kind::Wait: {
            refused("troppi tentativi");
            const auto seconds = std::to_string(outcome.wait.count());
            res.set_header("Retry-After", seconds);
            sendError(res, 429,
                      "Troppi tentativi non riusciti. Riprovare tra " + seconds + " secondi.");
            return;
        }
        case SignInOutcome::Kind::NoCompany:
            refused("nessuna ditta abilitata");
            sendError(res, 403, "Nessuna ditta abilitata per l'utente.");
            return;
        case SignInOutcome::Kind::Busy:
            refused("troppi accessi in corso");
            res.set_header("Retry-After", "5");
            sendError(res, 503, "Troppi accessi in corso. Riprovare tra qualche secondo.");
            return;
    }
}

void WebServer::signOut(const Request& req, Response& res) {
    const std::string token = cookieValue(req, sessionCookieName);
    if (const auto session = sessions_.find(token)) {
        audit({"uscita", session->user, session->company, clientAddress(req), ""});
    }
    sessions_.close(token);
    dropWindowsOf(token);
    res.set_header("Set-Cookie", expiredSessionCookie());
    sendJson(res, 200, Json::object());
}

void WebServer::chooseCompany(const Request& req, Response& res, const Json& json) {
    const auto* body = &json;
    const auto company = body->find("company");
    const bool fits =
        company != body->end() && company->is_number_integer() &&
        (company->is_number_unsigned() ? company->get<std::uint64_t>() <= INT32_MAX
                                       : company->get<std::int64_t>() >= INT32_MIN &&
                                             company->get<std::int64_t>() <= INT32_MAX);
    if (!fits) {
        sendError(res, 400, messageFor(400));
        return;
    }
    const auto session = signedIn(req, res);
    if (!session) {
        return;
    }
    const auto code = static_cast<std::int32_t>(company->get<std::int64_t>());
    auto grants = directory_->companiesOf(session->user);
    const bool granted =
        std::any_of(grants.begin(), grants.end(), [&](const Company& c) { return c.code == code; });
    // An open window is asked first: the program closes for a company change, or keeps it from
    // happening.
    std::optional<Json> closedWindow;
    if (auto window = windowOf(session->token); window && granted) {
        if (!window->closed()) {
            Snapshot snapshot = window->requestCompanyChange(code);
            if (!window->takeApprovedCompany()) {
                if (snapshot.closed()) {
                    dropWindow(window->id());
                }
                Json answer = sessionJson(*session);
                answer["window"] = snapshot.parsed();
                sendJson(res, 200, answer);
                return;
            }
            snapshot.markClosed();
            closedWindow = snapshot.parsed();
        }
        dropWindow(window->id());
    }
    const auto choice = sessions_.chooseCompany(session->token, code, std::move(grants));
    const auto codeText = std::to_string(code);
    switch (choice) {
        case CompanyChoice::Chosen:
            if (const auto updated = sessions_.find(session->token)) {
                Json answer = sessionJson(*updated);
                if (closedWindow) {
                    answer["window"] = std::move(*closedWindow);
                }
                sendJson(res, 200, answer);
            } else {
                sendError(res, 401, messageFor(401));
            }
            return;
        case CompanyChoice::NotGranted:
            sendError(res, 403, "La ditta " + codeText + " non è abilitata per l'utente.");
            return;
        case CompanyChoice::NoLongerAvailable:
            sendError(res, 409, "La ditta " + codeText + " non è più disponibile.");
            return;
        case CompanyChoice::NoSession:
            sendError(res, 401, messageFor(401));
            return;
    }
}

std::size_t WebServer::openWindows() {
    std::lock_guard lock(windowsMutex_);
    return static_cast<std::size_t>(
        std::count_if(windows_.begin(), windows_.end(),
                      [](const auto& item) { return !item.second.window->ended(); }));
}

void WebServer::sweepSoon() {
    {
        std::lock_guard lock(sweeperMutex_);
        sweepSoon_ = true;
    }
    sweeperWake_.notify_all();
}

std::shared_ptr<WindowSession> WebServer::windowOf(const std::string& token) {
    std::lock_guard lock(windowsMutex_);
    for (const auto& [id, open] : windows_) {
        if (open.owner == token) {
            return open.window;
        }
    }
    return nullptr;
}

std::shared_ptr<WindowSession> WebServer::ownedWindow(const std::string& token,
                                                      const std::string& id) {
    std::lock_guard lock(windowsMutex_);
    const auto found = windows_.find(id);
    // Another session's window is as unknown as one that does not exist.
    if (found == windows_.end() || found->second.owner != token) {
        return nullptr;
    }
    return found->second.window;
}

void WebServer::dropWindow(const std::string& id) {
    std::shared_ptr<WindowSession> window;
    {
        std::lock_guard lock(windowsMutex_);
        const auto found = windows_.find(id);
        if (found == windows_.end()) {
            return;
        }
        window = std::move(found->second.window);
        windows_.erase(found);
    }
    window->shutDown();
}

void WebServer::dropWindowsOf(const std::string& token) {
    std::vector<std::string> ids;
    {
        std::lock_guard lock(windowsMutex_);
        for (const auto& [id, open] : windows_) {
            if (open.owner == token) {
                ids.push_back(id);
            }
        }
    }
    for (const auto& id : ids) {
        dropWindow(id);
    }
}

void WebServer::sweepWindows() {
    std::vector<std::string> ended;
    std::vector<std::shared_ptr<WindowSession>> givenUp;
    {
        std::lock_guard lock(windowsMutex_);
        for (const auto& [id, open] : windows_) {
            if (!sessions_.alive(open.owner)) {
                ended.push_back(id);
            } else if (open.window->gaveUp() && !open.window->ended()) {
                givenUp.push_back(open.window);
            }
        }
    }
    for (const auto& id : ended) {
        dropWindow(id);
    }
    // Its thread and its place go at once; the session still sees it closed at its next request.
    for (const auto& window : givenUp) {
        window->shutDown();
    }
}

Json WebServer::completeCompanyChange(const std::string& token, std::int32_t company) {
    const auto session = sessions_.find(token);
    if (!session) {
        return nullptr;
    }
    sessions_.chooseCompany(token, company, directory_->companiesOf(session->user));
    const auto updated = sessions_.find(token);
    return updated ? sessionJson(*updated) : Json(nullptr);
}

namespace {

// Server-Timing: "action" the program's own work, "window" the time spent waiting for the window
// thread (the action, the snapshot and the hand-overs), "host" the whole handling of the request,
// JSON included.
void sendWindow(Response& res, int status, const std::string& body, WindowSession::Timing thread,
                std::chrono::steady_clock::time_point began) {
    const double hostMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
    char timing[128];
    std::snprintf(timing, sizeof timing, "action;dur=%.3f, window;dur=%.3f, host;dur=%.3f",
                  thread.actionMs, thread.threadMs, hostMs);
    res.set_header("Server-Timing", timing);
    res.status = status;
    res.set_header("Cache-Control", "no-store");
    res.set_content(body, "application/json; charset=utf-8");
}

}  // namespace

void WebServer::openWindow(const Request& req, Response& res, const Json& json) {
    const auto began = std::chrono::steady_clock::now();
    const auto* body = &json;
    const auto session = signedIn(req, res);
    if (!session) {
        return;
    }
    const std::string* progId = body->contains("progId") && (*body)["progId"].is_string()
                                    ? &(*body)["progId"].get_ref<const std::string&>()
                                    : nullptr;
    if (!progId) {
        sendError(res, 400, messageFor(400));
        return;
    }
    const std::string unavailable =
        std::string("Il programma \"") + programCaption + "\" non è disponibile.";
    if (*progId != programProgId) {
        sendError(res, 404, "Programma non trovato.");
        return;
    }
    if (settings_.connectionString.empty()) {
        sendError(res, 503, unavailable);
        return;
    }
    if (!session->company) {
        sendError(res, 409, "Scegliere prima la ditta.");
        return;
    }
    // The company may have been deleted or revoked since it was chosen.
    const auto grants = directory_->companiesOf(session->user);
    if (std::none_of(grants.begin(), grants.end(),
                     [&](const Company& c) { return c.code == *session->company; })) {
        sendError(res, 409,
                  "La ditta " + std::to_string(*session->company) + " non è più disponibile.");
        return;
    }
    sweepWindows();
    // One window of the program per session, as the menu opens it once: the open one comes back.
    if (auto window = windowOf(session->token)) {
        if (!window->closed()) {
            sendWindow(res, 200, window->snapshot().json(), window->lastTiming(), began);
            return;
        }
        dropWindow(window->id());
    }
    std::string id;
    {
        std::lock_guard lock(windowsMutex_);
        const auto running = std::count_if(windows_.begin(), windows_.end(), [](const auto& item) {
            return !item.second.window->ended();
        });
        if (static_cast<std::size_t>(running) >= settings_.maxWindows) {
            sendError(res, 503, "Troppe finestre aperte sul server. Riprovare più tardi.");
            return;
        }
        id = "w" + std::to_string(++nextWindow_);
    }
    std::shared_ptr<WindowSession> window;
    try {
        WindowContext context{id, settings_.connectionString, session->user, *session->company,
                              settings_.modalTimeout};
        context.onGiveUp = [this] { sweepSoon(); };
        context.onSaved = [this, user = session->user, company = *session->company,
                           address = clientAddress(req)](int kind) {
            audit({"salvataggio", user, company, address,
                   "parametri (tipo " + std::to_string(kind) + ")"});
        };
        context.mediaMaxBytes = settings_.mediaMaxBytes;
        context.mediaMaxCount = settings_.mediaMaxCount;
        window = WindowSession::open(std::move(context));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zovrena: finestra %s non aperta: %s\n", id.c_str(), e.what());
        sendError(res, 503, unavailable);
        return;
    }
    {
        std::lock_guard lock(windowsMutex_);
        windows_[id] = OpenWindow{session->token, window};
    }
    sendWindow(res, 200, window->snapshot().json(), window->lastTiming(), began);
}

void WebServer::showWindow(const Request& req, Response& res) {
    const auto began = std::chrono::steady_clock::now();
    const auto session = signedIn(req, res);
    if (!session) {
        return;
    }
    sweepWindows();
    const auto window = ownedWindow(session->token, windowIdOf(req));
    if (!window) {
        sendError(res, 404, "Finestra non trovata.");
        return;
    }
    const Snapshot snapshot = window->snapshot();
    if (snapshot.closed()) {
        dropWindow(window->id());
    }
    sendWindow(res, 200, snapshot.json(), window->lastTiming(), began);
}

void WebServer::checkParameters(const Request& req, Response& res) {
    const auto session = signedIn(req, res);
    if (!session) {
        return;
    }
    const auto window = ownedWindow(session->token, windowIdOf(req));
    if (!window) {
        sendError(res, 404, "Finestra non trovata.");
        return;
    }
    Json problems = Json::array();
    try {
        auto connection = krl::ado::Connection::create();
        connection->setConnectionString(settings_.connectionString);
        connection->open();
        for (const auto& problem :
             duza_zovrena::params::checkCompany(connection, window->company())) {
            // A document row is shown with its document chosen in the header, unless the company
            // no longer has that document.
            const bool shownRow =
                problem.table == "PD88_ZOVRENADOC" && problem.column != "PD88_CODDOC_MG36";
            problems.push_back({{"text", duza_zovrena::params::problemLine(problem)},
                                {"document", shownRow ? problem.documentCode : std::string()},
                                {"group", problem.place.group},
                                {"item", problem.place.item},
                                {"control", problem.place.control}});
        }
    } catch (const krl::VbError&) {
        sendError(res, 503, "Database non disponibile. Riprovare più tardi.");
        return;
    }
    sendJson(res, 200, Json{{"company", window->company()}, {"problems", std::move(problems)}});
}

void WebServer::windowAction(const Request& req, Response& res, const Json& json) {
    const auto began = std::chrono::steady_clock::now();
    const auto* body = &json;
    const auto session = signedIn(req, res);
    if (!session) {
        return;
    }
    sweepWindows();
    const auto window = ownedWindow(session->token, windowIdOf(req));
    if (!window) {
        sendError(res, 404, "Finestra non trovata.");
        return;
    }
    WindowAnswer answer = window->act(*body);
    if (answer.status != 200) {
        Json error{{"error", answer.error}};
        if (!answer.snapshot.empty()) {
            error["window"] = answer.snapshot.parsed();
        }
        sendWindow(res, answer.status, error.dump(), window->lastTiming(), began);
        return;
    }
    if (const auto company = window->takeApprovedCompany()) {
        answer.snapshot.markClosed();
        answer.snapshot.setSession(completeCompanyChange(session->token, *company));
    }
    if (answer.snapshot.closed()) {
        dropWindow(window->id());
    }
    sendWindow(res, 200, answer.snapshot.json(), window->lastTiming(), began);
}

void WebServer::answerApi(const Request& req, Response& res) {
    const std::string authorization = req.get_header_value("Authorization");
    const std::string address = clientAddress(req);
    const std::string company = req.matches.str(1);
    const std::string document = req.matches.size() > 2 ? req.matches.str(2) : std::string();
    ApiRequest request{req.path, authorization, sessionOf(req), address, company, std::nullopt};
    if (req.matches.size() > 2) {
        request.document = document;
    }
    const ApiAnswer answer = api_->answer(request);
    if (!answer.wwwAuthenticate.empty()) {
        res.set_header("WWW-Authenticate", answer.wwwAuthenticate);
    }
    if (answer.retryAfter.count() > 0) {
        res.set_header("Retry-After", std::to_string(answer.retryAfter.count()));
    }
    res.status = answer.status;
    res.set_header("Cache-Control", "no-store");
    // Texts the database holds in another encoding must not cost the whole answer.
    res.set_content(answer.body.dump(-1, ' ', false, Json::error_handler_t::replace),
                    "application/json; charset=utf-8");
}

void WebServer::serveFile(const Request& req, Response& res) {
    if (req.path.starts_with("/api/")) {
        sendError(res, 404, messageFor(404));
        return;
    }
    auto file = files_.get(req.path);
    if (!file) {
        res.status = 404;
        return;
    }
    res.set_header("Cache-Control", "no-cache");
    res.set_content(file->content, file->contentType);
}

bool WebServer::bind(const std::string& host, int port) {
    if (port == 0) {
        port_ = server_->bind_to_any_port(host);
        server_->widenBacklog();
        return port_ > 0;
    }
    if (!server_->bind_to_port(host, port)) {
        return false;
    }
    server_->widenBacklog();
    port_ = port;
    return true;
}

bool WebServer::useTls(const std::string& certificateChain, const std::string& privateKey,
                       std::string& error) {
    return server_->useTls(certificateChain, privateKey, error);
}

bool WebServer::run() {
    return server_->listen_after_bind();
}

void WebServer::stop() {
    if (server_) {
        server_->stop();
    }
}

bool WebServer::running() const {
    return server_->is_running();
}

}  // namespace zovrena::web

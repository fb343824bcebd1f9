#include "web/server/parameter_api.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

#include "krl/ado/ado.h"
#include "krl/variant/variant.h"
#include "web/server/api_tokens.h"
#include "web/server/parameter_json.h"

namespace zovrena::web {

namespace {

using Json = nlohmann::json;

// Token attempts are counted by the sign-in throttle as the attempts of one user from each
// address: wrong tokens from an address make that address's next ones wait. No user code holds a
// control character, so no real user shares the count.
constexpr std::string_view tokenUser =
    "\x1f"
    "token";
constexpr const char* realm = "Bearer realm=\"zovrena\"";

ApiAnswer error(int status, const std::string& message) {
    return {status, Json{{"error", message}}, {}, std::chrono::seconds(0)};
}

ApiAnswer unauthorized(bool tokenGiven) {
    ApiAnswer answer =
        error(401, tokenGiven ? "Token non valido o revocato."
                              : "Autenticazione richiesta: accedere oppure indicare un token "
                                "(Authorization: Bearer).");
    answer.wwwAuthenticate =
        std::string(realm) + (tokenGiven ? ", error=\"invalid_token\"" : std::string());
    return answer;
}

ApiAnswer tooManyAttempts(std::chrono::seconds wait) {
    const auto seconds = std::to_string(wait.count());
    ApiAnswer answer =
        error(429, "Troppi tentativi non riusciti. Riprovare tra " + seconds + " secondi.");
    answer.retryAfter = wait;
    return answer;
}

// The token of "Bearer <token>" (the scheme in any case); nullopt for another scheme.
std::optional<std::string_view> bearerToken(std::string_view header) {
    constexpr std::string_view scheme = "bearer ";
    if (header.size() < scheme.size() ||
        !std::equal(scheme.begin(), scheme.end(), header.begin(), [](char a, char b) {
            return a == std::tolower(static_cast<unsigned char>(b));
        })) {
        return std::nullopt;
    }
    header.remove_prefix(scheme.size());
    while (!header.empty() && header.front() == ' ') {
        header.remove_prefix(1);
    }
    return header;
}

std::optional<std::int32_t> companyCode(std::string_view text) {
    std::int32_t code = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), code);
    if (failure != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return code;
}

// A document code as the window takes it: upper case, without trailing blanks; nullopt for
// text that cannot be a code.
std::optional<std::string> documentCode(std::string_view text) {
    std::string code = krl::rtrim(text);
    if (code.empty() || code.size() > 14 || std::any_of(code.begin(), code.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
        })) {
        return std::nullopt;
    }
    std::transform(code.begin(), code.end(), code.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return code;
}

}  // namespace

// One request: who asks, on a connection opened when first needed and closed at the end.
class ParameterApi::Work {
  public:
    Work(ParameterApi& api, const ApiRequest& request) : api_(api), request_(request) {}
    ~Work() {
        if (connection_) {
            try {
                connection_->close();
            } catch (...) {  // nothing more to do with a connection that will not close
            }
        }
    }
    Work(const Work&) = delete;
    Work& operator=(const Work&) = delete;

    ApiAnswer run() {
        if (api_.connectionString_.empty()) {
            return error(503, "Servizio non disponibile: nessun database configurato.");
        }
        if (auto refused = identify()) {
            return *refused;
        }
        const auto code = companyCode(request_.company);
        if (!code) {
            return error(400, "Richiesta non valida: il codice della ditta deve essere un numero.");
        }
        company_ = *code;
        const auto text = std::to_string(*code);
        const auto grants = api_.directory_.companiesOf(user_);
        if (std::none_of(grants.begin(), grants.end(),
                         [&](const Company& c) { return c.code == *code; })) {
            return error(403, "La ditta " + text + " non è abilitata per l'utente.");
        }
        if (!request_.document) {
            if (auto found = generalParametersJson(connection(), *code)) {
                return {200, std::move(*found), {}, std::chrono::seconds(0)};
            }
            return error(404, "La ditta " + text + " non ha parametri generali.");
        }
        const auto document = documentCode(*request_.document);
        auto found = document ? documentParametersJson(connection(), *code, *document)
                              : std::optional<Json>();
        if (found) {
            return {200, std::move(*found), {}, std::chrono::seconds(0)};
        }
        return error(404, "La ditta " + text + " non ha parametri per il documento \"" +
                              std::string(*request_.document) + "\".");
    }

    const std::string& user() const { return user_; }
    std::optional<std::int32_t> company() const { return company_; }

  private:
    // Finds who asks; the refusal when nobody can be told.
    std::optional<ApiAnswer> identify() {
        if (request_.authorization.empty()) {
            if (!request_.session) {
                return unauthorized(false);
            }
            user_ = request_.session->user;
            return std::nullopt;
        }
        const auto token = bearerToken(request_.authorization);
        if (!token) {
            return unauthorized(true);
        }
        auto& throttle = api_.throttle_;
        const auto admission = throttle.admit(tokenUser, request_.address);
        const auto wait = [](SignInThrottle::Clock::duration d) {
            return std::chrono::ceil<std::chrono::seconds>(d);
        };
        if (admission.wait > SignInThrottle::Clock::duration::zero()) {
            return tooManyAttempts(wait(admission.wait));
        }
        std::optional<ApiTokens::Holder> holder;
        try {
            holder = ApiTokens(connection()).holderOf(*token);
        } catch (...) {
            throttle.unchecked(tokenUser, request_.address);
            throw;
        }
        // The token of a user removed since stops at once.
        if (holder && api_.directory_.findUser(holder->user)) {
            throttle.succeeded(tokenUser, request_.address);
            user_ = holder->user;
            return std::nullopt;
        }
        if (admission.addressWait > SignInThrottle::Clock::duration::zero()) {
            return tooManyAttempts(wait(admission.addressWait));
        }
        return unauthorized(true);
    }

    krl::ado::Connection& connection() {
        if (!connection_) {
            auto opened = krl::ado::Connection::create();
            opened->setConnectionString(api_.connectionString_);
            opened->open();
            connection_ = std::move(opened);
        }
        return *connection_;
    }

    ParameterApi& api_;
    const ApiRequest& request_;
    std::shared_ptr<krl::ado::Connection> connection_;
    std::string user_;
    std::optional<std::int32_t> company_;
};

ApiAnswer ParameterApi::answer(const ApiRequest& request) {
    Work work(*this, request);
    ApiAnswer answer;
    try {
        answer = work.run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zovrena: GET %s: %s\n", std::string(request.path).c_str(), e.what());
        answer = error(503, "Database non disponibile. Riprovare più tardi.");
    }
    if (audit_) {
        const std::string detail = std::string(request.path) + " " + std::to_string(answer.status);
        audit_({"api", work.user(), work.company(), request.address, detail});
    }
    return answer;
}

}  // namespace zovrena::web

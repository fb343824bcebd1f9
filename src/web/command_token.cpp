// `zovrena token create|list|revoke --database CONN ...`: the tokens other programs present to the
// read-only API.

#include <charconv>
#include <cstdio>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "krl/ado/ado.h"
#include "web/command.h"
#include "web/server/api_tokens.h"

namespace {

constexpr const char* kUsage =
    "Uso: zovrena token create --database CONN --user UTENTE\n"
    "     zovrena token list   --database CONN [--user UTENTE]\n"
    "     zovrena token revoke --database CONN (--id N | --user UTENTE)\n";

// "--name value" or "--name=value" for each option; nullopt after reporting a bad argument.
std::optional<std::map<std::string, std::string>> options(
    const std::vector<std::string>& arguments) {
    std::map<std::string, std::string> found;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& given = arguments[i];
        std::string name = given;
        std::string value;
        if (const auto equals = name.find('='); equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        }
        if ((name != "--database" && name != "--user" && name != "--id") || value.empty() ||
            found.contains(name)) {
            std::fprintf(stderr, "zovrena token: argomento non valido \"%s\"\n%s", given.c_str(),
                         kUsage);
            return std::nullopt;
        }
        found[name] = value;
    }
    if (!found.contains("--database")) {
        std::fprintf(stderr, "zovrena token: indicare il database\n%s", kUsage);
        return std::nullopt;
    }
    return found;
}

int create(zovrena::web::ApiTokens& tokens, const std::map<std::string, std::string>& options) {
    const auto user = options.find("--user");
    if (user == options.end() || options.contains("--id")) {
        std::fprintf(stderr, "zovrena token create: indicare l'utente (--user)\n%s", kUsage);
        return 2;
    }
    const auto token = tokens.create(user->second);
    if (!token) {
        std::fprintf(stderr, "zovrena token create: utente \"%s\" non trovato\n",
                     user->second.c_str());
        return 1;
    }
    // The only time the token is shown: the database keeps its hash.
    std::printf("%s\n", token->c_str());
    return 0;
}

int list(zovrena::web::ApiTokens& tokens, const std::map<std::string, std::string>& options) {
    if (options.contains("--id")) {
        std::fprintf(stderr, "zovrena token list: --id non ammesso\n%s", kUsage);
        return 2;
    }
    const auto user = options.find("--user");
    std::printf("ID\tUTENTE\tCREATO (UTC)\tULTIMO USO (UTC)\n");
    for (const auto& token : tokens.list(user == options.end() ? "" : user->second)) {
        std::printf("%d\t%s\t%s\t%s\n", token.id, token.user.c_str(), token.created.c_str(),
                    token.lastUse.empty() ? "-" : token.lastUse.c_str());
    }
    return 0;
}

int revoke(zovrena::web::ApiTokens& tokens, const std::map<std::string, std::string>& options) {
    const auto id = options.find("--id");
    const auto user = options.find("--user");
    if ((id == options.end()) == (user == options.end())) {
        std::fprintf(stderr, "zovrena token revoke: indicare --id oppure --user\n%s", kUsage);
        return 2;
    }
    if (user != options.end()) {
        std::printf("Token revocati: %ld\n", tokens.revokeAllOf(user->second));
        return 0;
    }
    std::int32_t number = 0;
    const auto& text = id->second;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) {
        std::fprintf(stderr, "zovrena token revoke: id non valido \"%s\"\n", text.c_str());
        return 2;
    }
    if (!tokens.revoke(number)) {
        std::fprintf(stderr, "zovrena token revoke: token %d non trovato\n", number);
        return 1;
    }
    std::printf("Token %d revocato.\n", number);
    return 0;
}

int runToken(const std::vector<std::string>& arguments) {
    const std::string action = arguments.empty() ? "" : arguments.front();
    if (action != "create" && action != "list" && action != "revoke") {
        std::fprintf(stderr, "zovrena token: indicare create, list o revoke\n%s", kUsage);
        return 2;
    }
    const auto parsed = options(arguments);
    if (!parsed) {
        return 2;
    }
    auto connection = krl::ado::Connection::create();
    try {
        connection->setConnectionString(parsed->at("--database"));
        connection->open();
        zovrena::web::ApiTokens tokens(*connection);
        if (action == "create") {
            return create(tokens, *parsed);
        }
        return action == "list" ? list(tokens, *parsed) : revoke(tokens, *parsed);
    } catch (const std::exception& error) {
        std::string detail = error.what();
        for (const auto& item : connection->errors().all()) {
            if (item.description != detail) {
                detail += "; " + item.description;
            }
        }
        std::fprintf(stderr, "zovrena token %s: %s\n", action.c_str(), detail.c_str());
        return 1;
    }
}

const zovrena::web::CommandRegistration registration{
    {"token", "crea, elenca o revoca i token dell'API di lettura (create|list|revoke)", &runToken}};

}  // namespace

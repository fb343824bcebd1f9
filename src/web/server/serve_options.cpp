#include "web/server/serve_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

namespace zovrena::web {

namespace {

std::optional<int> parsePort(std::string_view text) {
    int port = -1;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || port < 0 ||
        port > 65535) {
        return std::nullopt;
    }
    return port;
}

// "127.0.0.1:8080", "localhost:8080", "[::1]:8080"
bool parseListen(std::string_view text, ServeOptions& options) {
    std::string_view host;
    std::string_view port;
    if (text.starts_with('[')) {
        const auto close = text.find(']');
        if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != ':') {
            return false;
        }
        host = text.substr(1, close - 1);
        port = text.substr(close + 2);
    } else {
        const auto colon = text.rfind(':');
        if (colon == std::string_view::npos || text.find(':') != colon) {
            return false;
        }
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
    }
    const auto number = parsePort(port);
    if (host.empty() || !number) {
        return false;
    }
    options.host = std::string(host);
    options.port = *number;
    return true;
}

}  // namespace

std::variant<ServeOptions, OptionError> parseServeOptions(
    const std::vector<std::string>& arguments) {
    ServeOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> value;
        if (const auto equals = name.find('=');
            name.starts_with("--") && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        auto takeValue = [&]() -> std::optional<std::string> {
            if (value) {
                return value;
            }
            if (i + 1 < arguments.size()) {
                return arguments[++i];
            }
            return std::nullopt;
        };

        if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--reset-demo" && !value) {
            options.resetDemo = true;
        } else if (name == "--demo" && !value) {
            options.demo = true;
        } else if (name == "--listen") {
            const auto text = takeValue();
            if (!text || !parseListen(*text, options)) {
                return OptionError{"--listen vuole INDIRIZZO:PORTA, per esempio 127.0.0.1:8080"};
            }
        } else if (name == "--database") {
            const auto text = takeValue();
            if (!text || text->empty()) {
                return OptionError{
                    "--database vuole una stringa di connessione, per esempio "
                    "sqlite:data/zovrena.db"};
            }
            options.database = *text;
        } else if (name == "--modal-timeout") {
            const auto text = takeValue();
            int seconds = 0;
            const auto* end = text ? text->data() + text->size() : nullptr;
            if (!text || text->empty() || std::from_chars(text->data(), end, seconds).ptr != end ||
                seconds < 1 || seconds > 24 * 3600) {
                return OptionError{"--modal-timeout vuole un numero di secondi tra 1 e 86400"};
            }
            options.modalTimeout = std::chrono::seconds(seconds);
        } else if (name == "--allowed-hosts") {
            const auto text = takeValue();
            options.allowedHosts.clear();
            std::string_view rest = text ? std::string_view(*text) : std::string_view();
            while (!rest.empty()) {
                const auto comma = rest.find(',');
                std::string host(rest.substr(0, comma));
                std::transform(host.begin(), host.end(), host.begin(),
                               [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
                if (!host.empty()) {
                    options.allowedHosts.push_back(std::move(host));
                }
                rest =
                    comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
            }
            if (options.allowedHosts.empty()) {
                return OptionError{
                    "--allowed-hosts vuole i nomi del server separati da virgole, per esempio "
                    "erp.example.it,localhost"};
            }
        } else if (name == "--trust-proxy" && !value) {
            options.trustProxy = true;
        } else if (name == "--max-connections-per-address") {
            const auto text = takeValue();
            std::size_t count = 0;
            const auto* end = text ? text->data() + text->size() : nullptr;
            if (!text || text->empty() || std::from_chars(text->data(), end, count).ptr != end ||
                count > 100000) {
                return OptionError{
                    "--max-connections-per-address vuole un numero (0: nessun limite)"};
            }
            options.connectionsPerAddress = count;
        } else if (name == "--media-max-kib" || name == "--media-max-files") {
            const auto text = takeValue();
            std::size_t count = 0;
            const auto* end = text ? text->data() + text->size() : nullptr;
            const std::size_t most = name == "--media-max-kib" ? 16 * 1024 : 10000;
            if (!text || text->empty() || std::from_chars(text->data(), end, count).ptr != end ||
                count < 1 || count > most) {
                return OptionError{name + " vuole un numero tra 1 e " + std::to_string(most)};
            }
            if (name == "--media-max-kib") {
                options.mediaMaxBytes = count * 1024;
            } else {
                options.mediaMaxCount = count;
            }
        } else if (name == "--tls-cert" || name == "--tls-key") {
            const auto text = takeValue();
            if (!text || text->empty()) {
                return OptionError{name + " vuole il nome di un file PEM"};
            }
            (name == "--tls-cert" ? options.tlsCertificate : options.tlsKey) = *text;
        } else if (name == "--audit-log") {
            const auto text = takeValue();
            if (!text || text->empty()) {
                return OptionError{"--audit-log vuole il nome di un file"};
            }
            options.auditLog = *text;
        } else {
            return OptionError{"opzione sconosciuta \"" + arguments[i] + "\""};
        }
    }
    if (options.tlsCertificate.empty() != options.tlsKey.empty()) {
        return OptionError{"--tls-cert e --tls-key vanno indicati insieme"};
    }
    return options;
}

const char* serveUsage() {
    return "Uso: zovrena serve [--listen INDIRIZZO:PORTA] [--database CONNESSIONE]\n"
           "                     [--demo | --reset-demo] [--modal-timeout SECONDI]\n"
           "\n"
           "  --listen      indirizzo e porta di ascolto (predefinito 127.0.0.1:8080; porta 0: "
           "una\n"
           "                porta libera qualsiasi)\n"
           "  --database    sqlite:<file> oppure odbc:<stringa ODBC> (predefinito\n"
           "                sqlite:data/zovrena.db); un file SQLite mancante o vuoto è "
           "rifiutato\n"
           "  --demo        crea il database dimostrativo se il file SQLite manca o è vuoto\n"
           "  --reset-demo  ricrea il database dimostrativo prima di partire\n"
           "  --modal-timeout  secondi di attesa di una risposta a un messaggio (predefinito "
           "900);\n"
           "                poi la finestra si chiude senza salvare\n"
           "  --allowed-hosts  nomi del server ammessi nelle richieste, separati da virgole\n"
           "                (predefiniti i nomi locali quando in ascolto su un indirizzo "
           "locale)\n"
           "  --trust-proxy dietro un proxy inverso su questa macchina: l'indirizzo del client "
           "è\n"
           "                l'ultimo di X-Forwarded-For\n"
           "  --max-connections-per-address  connessioni aperte insieme da un indirizzo\n"
           "                (predefinito 32; 0: nessun limite)\n"
           "  --audit-log   file del registro di accessi, rifiuti e salvataggi\n"
           "  --media-max-kib  dimensione massima di un file collegato, in KiB (predefinito 40)\n"
           "  --media-max-files  file collegabili a un record (predefinito 20)\n"
           "  --tls-cert, --tls-key  certificato (catena) e chiave privata PEM: HTTPS\n";
}

std::vector<std::string> defaultAllowedHosts(const std::string& host) {
    const bool loopback = host == "localhost" || host == "::1" || host.starts_with("127.");
    if (!loopback) {
        return {};
    }
    return {"localhost", "127.0.0.1", "[::1]"};
}

}  // namespace zovrena::web

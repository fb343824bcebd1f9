#pragma once

#include <chrono>
#include <string>
#include <variant>
#include <vector>

namespace zovrena::web {

// `zovrena serve [--listen ADDR:PORT] [--database CONN] [--demo | --reset-demo]
//                [--modal-timeout SECONDS] [--allowed-hosts NAMES] [--trust-proxy]
//                [--max-connections-per-address N] [--audit-log FILE]
//                [--media-max-kib N] [--media-max-files N] [--tls-cert FILE --tls-key FILE]`
struct ServeOptions {
    std::string host = "127.0.0.1";  // loopback unless told otherwise
    int port = 8080;                 // 0: any free port (printed at start)
    std::string database = "sqlite:data/zovrena.db";
    bool resetDemo = false;
    // A missing or empty SQLite database is created with the demo data (otherwise refused).
    bool demo = false;
    // A message box nobody answers for this long is given up and its window unloads.
    std::chrono::seconds modalTimeout = std::chrono::minutes(15);
    // Host names the requests may name (lower case); not given: the loopback names when listening
    // on loopback, any name otherwise.
    std::vector<std::string> allowedHosts;
    bool trustProxy = false;
    std::size_t connectionsPerAddress = 32;
    std::string auditLog;  // file of the audit log; empty: none
    // HTTPS: the certificate chain and the private key (PEM files), both or neither.
    std::string tlsCertificate;
    std::string tlsKey;
    // Files attached to a record's multimedia links: largest size and most files.
    std::size_t mediaMaxBytes = std::size_t{40} * 1024;
    std::size_t mediaMaxCount = 20;
    bool help = false;
};

struct OptionError {
    std::string message;
};

std::variant<ServeOptions, OptionError> parseServeOptions(
    const std::vector<std::string>& arguments);

const char* serveUsage();

// The host names accepted by default when listening on `host`: the loopback names for a loopback
// address, none (any name) otherwise.
std::vector<std::string> defaultAllowedHosts(const std::string& host);

}  // namespace zovrena::web

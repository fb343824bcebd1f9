// `zovrena serve`: the web host on the embedded demo database or the ERP's database.

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "duza_zovrena/data/demo_database.h"
#include "web/command.h"
#include "web/server/database_file.h"
#include "web/server/serve_options.h"
#include "web/server/static_files.h"
#include "web/server/user_directory.h"
#include "web/server/web_server.h"

namespace zovrena::web {

namespace {

int runServe(const std::vector<std::string>& arguments) {
    const auto parsed = parseServeOptions(arguments);
    if (const auto* error = std::get_if<OptionError>(&parsed)) {
        std::fprintf(stderr, "zovrena serve: %s\n\n%s", error->message.c_str(), serveUsage());
        return 2;
    }
    const auto& options = std::get<ServeOptions>(parsed);
    if (options.help) {
        std::fputs(serveUsage(), stdout);
        return 0;
    }

    const auto webRoot = findWebRoot();
    if (webRoot.empty()) {
        std::fprintf(stderr,
                     "zovrena serve: front end non compilato (manca web/dist): eseguire "
                     "\"cmake --build\" oppure \"npm --prefix web ci && npm --prefix web run "
                     "build\"\n");
        return 1;
    }

    const auto file = sqliteFile(options.database);
    try {
        if (options.resetDemo) {
            prepareSqliteFolder(file);
            duza_zovrena::data::createDemoDatabase(options.database, /*rebuild=*/true);
            std::printf("Database dimostrativo ricreato: %s\n", options.database.c_str());
        } else if (options.demo) {
            prepareSqliteFolder(file);
            if (duza_zovrena::data::ensureDemoDatabase(options.database)) {
                std::printf("Database dimostrativo creato: %s\n", options.database.c_str());
            }
        } else if (!file.empty() && missingOrEmpty(file)) {
            // Demo data, with its known passwords, only when asked for.
            std::fprintf(stderr,
                         "zovrena serve: il database %s manca o è vuoto; per crearlo con i dati "
                         "dimostrativi avviare con --demo\n",
                         options.database.c_str());
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zovrena serve: database %s non utilizzabile: %s\n",
                     options.database.c_str(), e.what());
        return 1;
    }
    const std::string database = existingFileOnly(options.database, file);

    // SIGINT and SIGTERM are taken by one thread that stops the server; every other thread,
    // the server's workers included, inherits the blocked mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    WebServerSettings settings;
    settings.webRoot = webRoot;
    settings.connectionString = database;
    settings.modalTimeout = options.modalTimeout;
    settings.allowedHosts =
        options.allowedHosts.empty() ? defaultAllowedHosts(options.host) : options.allowedHosts;
    settings.trustProxy = options.trustProxy;
    settings.auditLog = options.auditLog;
    settings.mediaMaxBytes = options.mediaMaxBytes;
    settings.mediaMaxCount = options.mediaMaxCount;
    // A file travels in base64 inside the action's JSON.
    settings.maxBodyBytes = std::max(settings.maxBodyBytes, options.mediaMaxBytes / 3 * 4 + 8192);
    settings.connections.maxRequestBytes =
        std::max(settings.connections.maxRequestBytes, 2 * settings.maxBodyBytes);
    // Behind a proxy every connection comes from the proxy: the proxy limits its clients.
    settings.connections.connectionsPerAddress =
        options.trustProxy ? 0 : options.connectionsPerAddress;
    auto server =
        std::make_shared<WebServer>(settings, std::make_shared<DatabaseUserDirectory>(database));
    if (!options.tlsCertificate.empty()) {
        std::string error;
        if (!server->useTls(options.tlsCertificate, options.tlsKey, error)) {
            std::fprintf(stderr, "zovrena serve: certificato o chiave non utilizzabili: %s\n",
                         error.c_str());
            return 1;
        }
    }
    if (!server->bind(options.host, options.port)) {
        std::fprintf(stderr, "zovrena serve: impossibile mettersi in ascolto su %s:%d\n",
                     options.host.c_str(), options.port);
        return 1;
    }

    std::thread signalWaiter([server, stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server->stop();
    });
    signalWaiter.detach();

    const bool v6 = options.host.find(':') != std::string::npos;
    std::printf("Zovrena in ascolto su %s://%s%s%s:%d (database %s)\n",
                options.tlsCertificate.empty() ? "http" : "https", v6 ? "[" : "",
                options.host.c_str(), v6 ? "]" : "", server->port(), options.database.c_str());
    std::fflush(stdout);

    const bool ended = server->run();
    std::printf("Zovrena fermato.\n");
    return ended ? 0 : 1;
}

const CommandRegistration registration{
    {"serve", "avvia l'host web (comando predefinito)", &runServe}};

}  // namespace

}  // namespace zovrena::web

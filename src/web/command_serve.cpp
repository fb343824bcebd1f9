// `zovrena serve`: the web host on the embedded demo database or the ERP's database.

#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "duza_zovrena/data/demo_database.h"
#include "web/command.h"
#include "web/server/serve_options.h"
#include "web/server/static_files.h"
#include "web/server/user_directory.h"
#include "web/server/web_server.h"

namespace zovrena::web {

namespace {

// An SQLite file in a folder that does not exist yet gets its folder.
void prepareSqliteFolder(const std::string& database) {
    constexpr std::string_view prefix = "sqlite:";
    if (!database.starts_with(prefix)) {
        return;
    }
    const std::filesystem::path file = database.substr(prefix.size());
    if (file.has_parent_path() && file != ":memory:") {
        std::error_code ignored;
        std::filesystem::create_directories(file.parent_path(), ignored);
    }
}

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

    try {
        prepareSqliteFolder(options.database);
        if (options.resetDemo) {
            duza_zovrena::data::createDemoDatabase(options.database, /*rebuild=*/true);
            std::printf("Database dimostrativo ricreato: %s\n", options.database.c_str());
        } else if (duza_zovrena::data::ensureDemoDatabase(options.database)) {
            std::printf("Database dimostrativo creato: %s\n", options.database.c_str());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zovrena serve: database %s non utilizzabile: %s\n",
                     options.database.c_str(), e.what());
        return 1;
    }

    // SIGINT and SIGTERM are taken by one thread that stops the server; every other thread,
    // the server's workers included, inherits the blocked mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    WebServerSettings settings;
    settings.webRoot = webRoot;
    settings.connectionString = options.database;
    settings.modalTimeout = options.modalTimeout;
    auto server = std::make_shared<WebServer>(
        settings, std::make_shared<DatabaseUserDirectory>(options.database));
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
    std::printf("Zovrena in ascolto su http://%s%s%s:%d (database %s)\n", v6 ? "[" : "",
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

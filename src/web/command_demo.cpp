// `zovrena demo --database CONN [--load COMPANY DOCUMENTS SAVED]`: creates the demo database, or
// rebuilds it from scratch; with --load also gives the company that many documents and saved
// transfer rows, for measuring.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "duza_zovrena/data/demo_database.h"
#include "web/command.h"

namespace {

constexpr const char* kUsage =
    "Uso: zovrena demo --database <sqlite:file | odbc:...> [--load DITTA DOCUMENTI SALVATI]\n";

// A count of the command line: digits only, at most a million.
bool count(const std::string& text, int& value) {
    if (text.empty() || text.size() > 7 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::stoi(text);
    return value <= 1000000;
}

struct Load {
    int company = 0;
    int documents = 0;
    int saved = 0;
};

int runDemo(const std::vector<std::string>& arguments) {
    std::string connectionString;
    std::optional<Load> load;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--load" && i + 3 < arguments.size()) {
            load.emplace();
            if (!count(arguments[i + 1], load->company) ||
                !count(arguments[i + 2], load->documents) ||
                !count(arguments[i + 3], load->saved)) {
                std::fprintf(stderr, "zovrena demo: --load vuole tre numeri\n%s", kUsage);
                return 2;
            }
            i += 3;
        } else if (argument == "--database" && i + 1 < arguments.size()) {
            connectionString = arguments[++i];
        } else if (argument.starts_with("--database=")) {
            connectionString = argument.substr(std::string("--database=").size());
        } else {
            std::fprintf(stderr, "zovrena demo: argomento non valido \"%s\"\n%s", argument.c_str(),
                         kUsage);
            return 2;
        }
    }
    if (connectionString.empty()) {
        std::fprintf(stderr, "zovrena demo: indicare il database\n%s", kUsage);
        return 2;
    }
    try {
        duza_zovrena::data::createDemoDatabase(connectionString, true);
        if (load) {
            duza_zovrena::data::addDocumentLoad(connectionString, load->company, load->documents,
                                                load->saved);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zovrena demo: %s\n", error.what());
        return 1;
    }
    std::printf("Database dimostrativo creato.\n");
    return 0;
}

const zovrena::web::CommandRegistration registration{
    {"demo", "crea o ricrea il database dimostrativo (--database CONN)", &runDemo}};

}  // namespace

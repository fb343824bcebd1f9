// `zovrena demo --database CONN`: creates the demo database, or rebuilds it from scratch.

#include <cstdio>
#include <string>
#include <vector>

#include "duza_zovrena/data/demo_database.h"
#include "web/command.h"

namespace {

constexpr const char* kUsage = "Uso: zovrena demo --database <sqlite:file | odbc:...>\n";

int runDemo(const std::vector<std::string>& arguments) {
    std::string connectionString;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--database" && i + 1 < arguments.size()) {
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

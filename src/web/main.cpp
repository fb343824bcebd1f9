#include <cstdio>
#include <string>
#include <vector>

#include "web/command.h"

namespace zovrena::web {

std::map<std::string, Command>& commands() {
    static std::map<std::string, Command> registry;
    return registry;
}

}  // namespace zovrena::web

namespace {

int usage() {
    std::fprintf(stderr, "Uso: zovrena [comando] [opzioni]\n\nComandi:\n");
    for (const auto& [name, command] : zovrena::web::commands()) {
        std::fprintf(stderr, "  %-8s %s\n", name.c_str(), command.summary.c_str());
    }
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string name = "serve";  // the web host is the default job
    if (!arguments.empty() && !arguments.front().starts_with("-")) {
        name = arguments.front();
        arguments.erase(arguments.begin());
    }
    if (name == "help" || name == "--help") {
        usage();
        return 0;
    }
    auto found = zovrena::web::commands().find(name);
    if (found == zovrena::web::commands().end()) {
        std::fprintf(stderr, "zovrena: comando sconosciuto \"%s\"\n", name.c_str());
        return usage();
    }
    return found->second.run(arguments);
}

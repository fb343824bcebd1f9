// `zovrena params <subcommand> ...`: the commands on a company's production parameters, each in a
// command_params_<name>.cpp file of its own.

#include <cstdio>
#include <string>
#include <vector>

#include "web/command.h"

namespace zovrena::web {

std::map<std::string, Command>& paramsCommands() {
    static std::map<std::string, Command> registry;
    return registry;
}

}  // namespace zovrena::web

namespace {

int usage() {
    std::fprintf(stderr, "Uso: zovrena params <comando> [opzioni]\n\nComandi:\n");
    for (const auto& [name, command] : zovrena::web::paramsCommands()) {
        std::fprintf(stderr, "  %-8s %s\n", name.c_str(), command.summary.c_str());
    }
    return 2;
}

int runParams(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return usage();
    }
    auto found = zovrena::web::paramsCommands().find(arguments.front());
    if (found == zovrena::web::paramsCommands().end()) {
        std::fprintf(stderr, "zovrena params: comando sconosciuto \"%s\"\n",
                     arguments.front().c_str());
        return usage();
    }
    return found->second.run({arguments.begin() + 1, arguments.end()});
}

const zovrena::web::CommandRegistration registration{
    {"params", "comandi sui parametri di produzione di una ditta (show)", &runParams}};

}  // namespace

#pragma once

// `zovrena params <subcommand> ...`: each subcommand registers itself from its own file, as the
// top-level commands do:
//   static const zovrena::web::ParamsRegistration registration{{"show", "...", &runShow}};

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "web/command.h"

namespace zovrena::web {

std::map<std::string, Command>& paramsCommands();

struct ParamsRegistration {
    explicit ParamsRegistration(Command command) {
        std::string name = command.name;
        paramsCommands().emplace(std::move(name), std::move(command));
    }
};

// The options the subcommands share; each takes the ones it needs and refuses the others.
struct ParamsArguments {
    std::string connectionString;
    std::vector<long> companies;
    std::vector<std::string> files;
    std::optional<std::string> user;
    bool json = false;
    bool dryRun = false;
};

// Parses the arguments after the subcommand's name; false (with a message on standard error)
// when one is not understood.
bool parseParamsArguments(const std::string& subcommand, const std::vector<std::string>& arguments,
                          ParamsArguments& parsed);

}  // namespace zovrena::web

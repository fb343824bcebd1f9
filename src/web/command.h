#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace zovrena::web {

// A subcommand of the host executable: `zovrena <name> [arguments]`.
struct Command {
    std::string name;
    std::string summary;  // one line for the usage text
    std::function<int(const std::vector<std::string>& arguments)> run;
};

// Subcommands register themselves from their own file:
//   static const CommandRegistration registration{{"sql", "...", &runSql}};
std::map<std::string, Command>& commands();

struct CommandRegistration {
    explicit CommandRegistration(Command command) {
        std::string name = command.name;
        commands().emplace(std::move(name), std::move(command));
    }
};

// `zovrena params <name> [arguments]` dispatches on its first argument to the subcommands that
// register themselves the same way from their own files (command_params_<name>.cpp).
std::map<std::string, Command>& paramsCommands();

struct ParamsCommandRegistration {
    explicit ParamsCommandRegistration(Command command) {
        std::string name = command.name;
        paramsCommands().emplace(std::move(name), std::move(command));
    }
};

}  // namespace zovrena::web

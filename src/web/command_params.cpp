// `zovrena params <check|export|diff|import> --database CONN ...`: the production parameters of a
// company checked, written to a file, compared and applied. Exit status 0: done, nothing found;
// 1: problems, differences or a refused import; 2: bad arguments, bad input or a failure.

#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "duza_zovrena/params/health_check.h"
#include "duza_zovrena/params/param_set.h"
#include "krl/ado/ado.h"
#include "web/params_command.h"

namespace zovrena::web {

std::map<std::string, Command>& paramsCommands() {
    static std::map<std::string, Command> registry;
    return registry;
}

bool parseParamsArguments(const std::string& subcommand, const std::vector<std::string>& arguments,
                          ParamsArguments& parsed) {
    auto fail = [&](const std::string& text) {
        std::fprintf(stderr, "zovrena params %s: %s\n", subcommand.c_str(), text.c_str());
        return false;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--database" && hasValue) {
            parsed.connectionString = arguments[++i];
        } else if (argument == "--company" && hasValue) {
            const std::string& text = arguments[++i];
            std::size_t used = 0;
            long company = 0;
            try {
                company = std::stol(text, &used);
            } catch (const std::exception&) {
                used = 0;
            }
            if (used == 0 || used != text.size()) {
                return fail("codice ditta non valido \"" + text + "\"");
            }
            parsed.companies.push_back(company);
        } else if (argument == "--user" && hasValue) {
            parsed.user = arguments[++i];
        } else if (argument == "--json") {
            parsed.json = true;
        } else if (argument == "--dry-run") {
            parsed.dryRun = true;
        } else if (!argument.starts_with("--")) {
            parsed.files.push_back(argument);
        } else {
            return fail("argomento non valido \"" + argument + "\"");
        }
    }
    if (parsed.connectionString.empty()) {
        return fail("indicare il database (--database CONN)");
    }
    return true;
}

}  // namespace zovrena::web

namespace {

namespace params = duza_zovrena::params;
using zovrena::web::ParamsArguments;

std::shared_ptr<krl::ado::Connection> connect(const std::string& connectionString) {
    auto connection = krl::ado::Connection::create();
    connection->setConnectionString(connectionString);
    connection->open();
    return connection;
}

// Runs a subcommand's work, turning a failure of the database into exit status 2.
int guarded(const char* subcommand, const std::function<int()>& work) {
    try {
        return work();
    } catch (const krl::VbError& error) {
        std::fprintf(stderr, "zovrena params %s: %s\n", subcommand, error.description().c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zovrena params %s: %s\n", subcommand, error.what());
    }
    return 2;
}

bool onlyOptions(const char* subcommand, const ParamsArguments& arguments, bool json, bool files,
                 bool importOptions) {
    const char* refused = nullptr;
    if (arguments.json && !json) {
        refused = "--json";
    } else if (!arguments.files.empty() && !files) {
        refused = arguments.files.front().c_str();
    } else if ((arguments.dryRun || arguments.user) && !importOptions) {
        refused = arguments.dryRun ? "--dry-run" : "--user";
    }
    if (refused != nullptr) {
        std::fprintf(stderr, "zovrena params %s: argomento non valido \"%s\"\n", subcommand,
                     refused);
        return false;
    }
    return true;
}

bool companiesExist(const char* subcommand, krl::ado::Connection& connection,
                    const std::vector<long>& companies) {
    for (long company : companies) {
        if (!params::companyExists(connection, company)) {
            std::fprintf(stderr, "zovrena params %s: la ditta %ld non esiste\n", subcommand,
                         company);
            return false;
        }
    }
    return true;
}

nlohmann::json problemJson(const params::Problem& problem) {
    return {{"ditta", problem.company},          {"tabella", problem.table},
            {"documento", problem.documentCode}, {"colonna", problem.column},
            {"valore", problem.value},           {"problema", problem.text},
            {"gruppo", problem.place.group},     {"voce", problem.place.item},
            {"pagina", problem.place.pageClass}, {"controllo", problem.place.control}};
}

int runCheck(const std::vector<std::string>& raw) {
    ParamsArguments arguments;
    if (!zovrena::web::parseParamsArguments("check", raw, arguments) ||
        !onlyOptions("check", arguments, true, false, false)) {
        return 2;
    }
    return guarded("check", [&] {
        auto connection = connect(arguments.connectionString);
        if (!companiesExist("check", *connection, arguments.companies)) {
            return 2;
        }
        std::vector<long> companies = arguments.companies;
        if (companies.empty()) {
            companies = params::allCompanies(*connection);
        }
        std::vector<params::Problem> problems;
        for (long company : companies) {
            for (params::Problem& problem : params::checkCompany(connection, company)) {
                problems.push_back(std::move(problem));
            }
        }
        if (arguments.json) {
            nlohmann::json list = nlohmann::json::array();
            for (const params::Problem& problem : problems) {
                list.push_back(problemJson(problem));
            }
            std::printf("%s\n", list.dump(2).c_str());
        } else {
            for (const params::Problem& problem : problems) {
                std::printf("%s\n", params::problemLine(problem).c_str());
            }
        }
        return problems.empty() ? 0 : 1;
    });
}

const zovrena::web::ParamsRegistration checkRegistration{
    {"check", "i problemi dei parametri salvati (--database CONN [--company N] [--json])",
     &runCheck}};

int usage() {
    std::fprintf(stderr, "Uso: zovrena params <sottocomando> --database CONN ...\n\n");
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
        std::fprintf(stderr, "zovrena params: sottocomando sconosciuto \"%s\"\n",
                     arguments.front().c_str());
        return usage();
    }
    return found->second.run({arguments.begin() + 1, arguments.end()});
}

const zovrena::web::CommandRegistration registration{
    {"params", "parametri di produzione: check, export, diff, import (e altri)", &runParams}};

}  // namespace

// `zovrena params <check|export|diff|import> --database CONN ...`: the production parameters of a
// company checked, written to a file, compared and applied. Exit status 0: done, nothing found;
// 1: problems, differences or a refused import; 2: bad arguments, bad input or a failure.

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "duza_zovrena/params/health_check.h"
#include "duza_zovrena/params/param_diff.h"
#include "duza_zovrena/params/param_import.h"
#include "duza_zovrena/params/param_json.h"
#include "duza_zovrena/params/param_set.h"
#include "krl/ado/ado.h"
#include "web/params_command.h"
#include "web/server/database_file.h"

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

// A missing SQLite file is refused, never created empty.
std::shared_ptr<krl::ado::Connection> connect(const std::string& connectionString) {
    if (zovrena::web::sqliteFileMissing(connectionString)) {
        throw std::runtime_error("database \"" + connectionString + "\" inesistente");
    }
    auto connection = krl::ado::Connection::create();
    connection->setConnectionString(zovrena::web::existingFileOnly(connectionString));
    connection->open();
    return connection;
}

// Runs a subcommand's work, turning a failure of the database into exit status 2.
int guarded(const char* subcommand, const std::function<int()>& work) {
    try {
        return work();
    } catch (const params::BadInput& error) {
        std::fprintf(stderr, "zovrena params %s: %s\n", subcommand, error.what());
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

bool oneCompany(const char* subcommand, const ParamsArguments& arguments) {
    if (arguments.companies.size() != 1) {
        std::fprintf(stderr, "zovrena params %s: indicare una ditta (--company N)\n", subcommand);
        return false;
    }
    return true;
}

int runExport(const std::vector<std::string>& raw) {
    ParamsArguments arguments;
    if (!zovrena::web::parseParamsArguments("export", raw, arguments) ||
        !onlyOptions("export", arguments, false, false, false) ||
        !oneCompany("export", arguments)) {
        return 2;
    }
    return guarded("export", [&] {
        auto connection = connect(arguments.connectionString);
        const long company = arguments.companies.front();
        if (!companiesExist("export", *connection, {company})) {
            return 2;
        }
        const std::string text =
            params::toJson(params::readParamSet(*connection, company), company);
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    });
}

// diff: the first company against a second company or a file.
int runDiff(const std::vector<std::string>& raw) {
    ParamsArguments arguments;
    if (!zovrena::web::parseParamsArguments("diff", raw, arguments) ||
        !onlyOptions("diff", arguments, false, true, false)) {
        return 2;
    }
    const std::size_t others = arguments.companies.size() + arguments.files.size();
    if (arguments.companies.empty() || others != 2) {
        std::fprintf(stderr,
                     "zovrena params diff: indicare --company N e poi --company M oppure un "
                     "file\n");
        return 2;
    }
    return guarded("diff", [&] {
        auto connection = connect(arguments.connectionString);
        if (!companiesExist("diff", *connection, arguments.companies)) {
            return 2;
        }
        const params::ParamSet left = params::readParamSet(*connection, arguments.companies[0]);
        const params::ParamSet right =
            arguments.files.empty() ? params::readParamSet(*connection, arguments.companies[1])
                                    : params::readJsonFile(arguments.files.front());
        const auto found = params::differences(left, right);
        for (const params::Difference& difference : found) {
            std::printf("%s\n", params::differenceLine(difference).c_str());
        }
        return found.empty() ? 0 : 1;
    });
}

std::string systemUser() {
    if (const passwd* entry = ::getpwuid(::geteuid()); entry != nullptr) {
        return entry->pw_name;
    }
    const char* name = std::getenv("USER");
    return name != nullptr ? name : "";
}

int runImport(const std::vector<std::string>& raw) {
    ParamsArguments arguments;
    if (!zovrena::web::parseParamsArguments("import", raw, arguments) ||
        !onlyOptions("import", arguments, false, true, true) || !oneCompany("import", arguments)) {
        return 2;
    }
    if (arguments.files.size() != 1) {
        std::fprintf(stderr, "zovrena params import: indicare un file\n");
        return 2;
    }
    return guarded("import", [&] {
        auto connection = connect(arguments.connectionString);
        const long company = arguments.companies.front();
        if (!companiesExist("import", *connection, {company})) {
            return 2;
        }
        const params::ParamSet set = params::readJsonFile(arguments.files.front());
        params::ImportOptions options;
        options.dryRun = arguments.dryRun;
        options.user = arguments.user.value_or(systemUser());
        const params::ImportResult result = params::importSet(connection, company, set, options);
        for (const std::string& refusal : result.refusals) {
            std::printf("%s\n", refusal.c_str());
        }
        if (!result.refusals.empty()) {
            std::fprintf(stderr, "zovrena params import: importazione rifiutata, nulla scritto\n");
            return 1;
        }
        std::printf("%s: %zu righe %s\n",
                    arguments.dryRun ? "Prova senza scrittura" : "Importazione completata",
                    result.changes.size(), arguments.dryRun ? "da modificare" : "modificate");
        return 0;
    });
}

const zovrena::web::ParamsRegistration exportRegistration{
    {"export", "i parametri di una ditta in JSON (--database CONN --company N)", &runExport}};
const zovrena::web::ParamsRegistration diffRegistration{
    {"diff", "le differenze tra due ditte o con un file (--company N --company M | FILE)",
     &runDiff}};
const zovrena::web::ParamsRegistration importRegistration{
    {"import", "applica un file a una ditta (--company M FILE [--dry-run] [--user U])",
     &runImport}};

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
    {"params", "parametri di produzione: show, check, export, diff, import", &runParams}};

}  // namespace

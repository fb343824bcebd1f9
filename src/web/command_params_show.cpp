// `zovrena params show --database CONN --company N [--document CODE] [--at YYYY-MM-DD[THH:MM]]`:
// every column of the company's general row (or of one document row) as it was at that moment
// (now by default), one tab-separated line each: column, caption, stored value (NULL for NULL) and,
// for a document indicator at 0 that follows the general row, the setting in force and its column.

#include <charconv>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "duza_zovrena/data/settings_at.h"
#include "krl/ado/ado.h"
#include "krl/variant/error.h"
#include "web/params_command.h"
#include "web/server/database_file.h"

namespace {

namespace data = duza_zovrena::data;

constexpr const char* kUsage =
    "Uso: zovrena params show --database <sqlite:file | odbc:...> --company N "
    "[--document CODICE] [--at AAAA-MM-GG[THH:MM]]\n";

int refuse(const std::string& message) {
    std::fprintf(stderr, "zovrena params show: %s\n", message.c_str());
    return 2;
}

struct Arguments {
    std::string connectionString;
    std::string company;
    data::SettingsQuery query;
};

// Returns the message for bad arguments; empty when they are good.
std::string parse(const std::vector<std::string>& arguments, Arguments& parsed) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (i + 1 >= arguments.size() || !name.starts_with("--")) {
            return "argomento non valido \"" + name + "\"";
        }
        const std::string& value = arguments[++i];
        if (name == "--database") {
            parsed.connectionString = value;
        } else if (name == "--company") {
            parsed.company = value;
        } else if (name == "--document") {
            parsed.query.document = value;
        } else if (name == "--at") {
            try {
                parsed.query.at = data::historyMoment(value);
            } catch (const data::SettingsError& error) {
                return error.what();
            }
        } else {
            return "opzione sconosciuta \"" + name + "\"";
        }
    }
    if (parsed.connectionString.empty() || parsed.company.empty()) {
        return "indicare --database e --company";
    }
    const char* end = parsed.company.data() + parsed.company.size();
    auto [stop, error] = std::from_chars(parsed.company.data(), end, parsed.query.company);
    if (error != std::errc() || stop != end || parsed.query.company < 0) {
        return "codice ditta non valido \"" + parsed.company + "\" (indicare un numero)";
    }
    if (parsed.query.document && parsed.query.document->empty()) {
        return "codice documento vuoto";
    }
    return {};
}

std::string text(const std::optional<std::string>& value) {
    return value ? *value : "NULL";
}

int runShow(const std::vector<std::string>& arguments) {
    Arguments parsed;
    if (std::string bad = parse(arguments, parsed); !bad.empty()) {
        std::fputs(kUsage, stderr);
        return refuse(bad);
    }
    if (zovrena::web::sqliteFileMissing(parsed.connectionString)) {
        return refuse("database \"" + parsed.connectionString + "\" inesistente");
    }
    auto connection = krl::ado::Connection::create();
    std::vector<data::SettingLine> lines;
    try {
        connection->setConnectionString(zovrena::web::existingFileOnly(parsed.connectionString));
        connection->open();
        lines = data::settingsAt(*connection, parsed.query);
    } catch (const data::SettingsError& error) {
        return refuse(error.what());
    } catch (const krl::VbError& error) {
        return refuse(
            "database \"" + parsed.connectionString +
            "\" non raggiungibile o senza le tabelle dei parametri: " + error.description());
    } catch (const std::exception& error) {
        return refuse(error.what());
    }
    for (const data::SettingLine& line : lines) {
        std::string out = line.column + "\t" + std::string(line.caption) + "\t" + text(line.stored);
        if (!line.fromGeneral.empty()) {
            out += "\tin vigore " + text(line.effective) + " da " + std::string(line.fromGeneral);
        }
        std::printf("%s\n", out.c_str());
    }
    return 0;
}

const zovrena::web::ParamsRegistration registration{
    {"show", "parametri generali o di un documento, anche a una data passata (--at)", &runShow}};

}  // namespace

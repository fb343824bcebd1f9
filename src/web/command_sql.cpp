// `zovrena sql --database CONN [--explain] "<T-SQL>"`: one statement through the data layer, the
// rows printed as tab-separated text under a header of column names, or the records affected.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "krl/ado/ado.h"
#include "krl/sql/translator.h"
#include "web/command.h"

namespace {

constexpr const char* kUsage =
    "Uso: zovrena sql --database <sqlite:file | odbc:...> [--explain] \"<istruzione T-SQL>\"\n";

struct Arguments {
    std::string connectionString;
    std::string statement;
    bool explain = false;
};

bool parse(const std::vector<std::string>& arguments, Arguments& parsed) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--database" && i + 1 < arguments.size()) {
            parsed.connectionString = arguments[++i];
        } else if (argument.starts_with("--database=")) {
            parsed.connectionString = argument.substr(std::string("--database=").size());
        } else if (argument == "--explain") {
            parsed.explain = true;
        } else if (parsed.statement.empty() && !argument.starts_with("--")) {
            parsed.statement = argument;
        } else {
            std::fprintf(stderr, "zovrena sql: argomento non valido \"%s\"\n%s", argument.c_str(),
                         kUsage);
            return false;
        }
    }
    if (parsed.connectionString.empty() || parsed.statement.empty()) {
        std::fprintf(stderr, "zovrena sql: indicare il database e l'istruzione\n%s", kUsage);
        return false;
    }
    return true;
}

// The text the engine would run: the translation on the embedded engine, the text as written on
// ODBC.
int explain(const Arguments& arguments) {
    if (arguments.connectionString.starts_with("sqlite:")) {
        std::printf("%s\n", krl::sql::translate(arguments.statement).c_str());
    } else if (arguments.connectionString.starts_with("odbc:")) {
        std::printf("%s\n", arguments.statement.c_str());
    } else {
        std::fprintf(stderr,
                     "zovrena sql: la stringa di connessione deve iniziare con \"sqlite:\" "
                     "o \"odbc:\"\n");
        return 1;
    }
    return 0;
}

std::string cell(const krl::Variant& value) {
    return value.isNull() ? "NULL" : value.textOrEmpty();
}

void printRows(krl::ado::Recordset& rows) {
    auto& fields = rows.fields();
    std::string line;
    for (std::size_t i = 0; i < fields.count(); ++i) {
        line += (i == 0 ? "" : "\t") + fields.item(i).name();
    }
    std::printf("%s\n", line.c_str());
    for (; !rows.eof(); rows.moveNext()) {
        line.clear();
        for (std::size_t i = 0; i < fields.count(); ++i) {
            line += (i == 0 ? "" : "\t") + cell(fields.item(i).value());
        }
        std::printf("%s\n", line.c_str());
    }
}

void printErrors(const krl::ado::Errors& errors, const std::string& raised) {
    if (errors.count() == 0) {
        std::fprintf(stderr, "zovrena sql: %s\n", raised.c_str());
        return;
    }
    for (const auto& error : errors.all()) {
        std::string where = error.sqlState.empty() ? "" : " [" + error.sqlState + "]";
        if (error.nativeError != 0) {
            where += " (" + std::to_string(error.nativeError) + ")";
        }
        std::fprintf(stderr, "zovrena sql: %s%s\n", error.description.c_str(), where.c_str());
    }
}

int runSql(const std::vector<std::string>& arguments) {
    Arguments parsed;
    if (!parse(arguments, parsed)) {
        return 2;
    }
    auto connection = krl::ado::Connection::create();
    try {
        if (parsed.explain) {
            return explain(parsed);
        }
        connection->setConnectionString(parsed.connectionString);
        connection->open();
        long affected = -1;
        auto rows = connection->execute(parsed.statement, &affected);
        if (rows && rows->state() == krl::ado::adStateOpen) {
            printRows(*rows);
        } else {
            std::printf("%ld\n", affected < 0 ? 0L : affected);
        }
    } catch (const krl::VbError& error) {
        printErrors(connection->errors(), error.description());
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zovrena sql: %s\n", error.what());
        return 1;
    }
    return 0;
}

const zovrena::web::CommandRegistration registration{
    {"sql", "esegue un'istruzione T-SQL sul database (--database CONN [--explain])", &runSql}};

}  // namespace

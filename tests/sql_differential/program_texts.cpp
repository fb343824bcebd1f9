// Prints the program's T-SQL texts kept by the SQL tests, one JSON object a line ({"what",
// "tsql"}), in the order the program runs them, so that the temporary table exists when it is used.
// Codes come as typed and as read back from a CHAR column: with trailing blanks, quotes and
// accents.
#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "krl/sql/program_sql.h"

namespace program = krl::sql::testing::program;

int main() {
    const std::vector<std::pair<std::string, std::string>> texts = {
        {"warehouse-management switch", program::wmsEnabled("1")},
        {"warehouse-management switch, no row", program::wmsEnabled("2")},
        {"general parameters", program::generalParameters("1")},
        {"empty document set", program::emptyDocumentParameters()},
        {"document parameters", program::documentParameters("1", "ODP")},
        {"document parameters, code with trailing blanks",
         program::documentParameters("1", "ODP   ")},
        {"header lookup, documents with parameters",
         program::documentLookup("1", "Standard", "Personalizzato", false)},
        {"header lookup, all active documents",
         program::documentLookup("1", "Standard", "Personalizzato", true)},
        {"header lookup, translations holding quotes",
         program::documentLookup("1", "Standard d'uso", "Su 'misura'", true)},
        {"document type", program::documentType("1", "ODP2")},
        {"document type, code with trailing blanks", program::documentType("1", "ODP2   ")},
        {"internal-work lookup", program::internalWorkLookup("1", "Standard", "Personalizzato")},
        {"scrap-load lookup", program::scrapLoadLookup("1", "Standard", "Personalizzato")},
        {"document check", program::documentCheck("1", "AVANZ")},
        {"document check, code with trailing blanks", program::documentCheck("1", "AVANZ  ")},
        {"document check, code with quote and accent", program::documentCheck("1", "L'ÀRTE")},
        {"document check, unknown code", program::documentCheck("1", "NESSUNO")},
        {"priority table of a code", program::priorityTableId("1", "MATPROMO")},
        {"priority table of a code with quote and accent", program::priorityTableId("1", "L'ÀRTE")},
        {"priority table of another company", program::priorityTableId("2", "INT")},
        {"code of a priority table", program::priorityTableCode("1", "4")},
        {"code of a deleted priority table", program::priorityTableCode("1", "99")},
        {"drop the transfer table before it exists", program::dropTempTable()},
        {"transfer load", program::loadTransferRows("1")},
        {"transfer grid", program::transferGrid()},
        {"transfer physical delete", program::physicalDelete("1")},
        {"transfer save", program::saveTransferRows()},
        {"transfer logical delete", program::logicalDelete()},
        {"transfer grid after the logical delete", program::transferGrid()},
        {"drop the transfer table", program::dropTempTable()},
    };
    for (const auto& [what, tsql] : texts) {
        const std::string line = nlohmann::json{{"what", what}, {"tsql", tsql}}.dump() + "\n";
        std::fputs(line.c_str(), stdout);
    }
    return 0;
}

#include "duza_zovrena/params/param_json.h"

#include <gtest/gtest.h>

#include <string>

#include "duza_zovrena/params/param_diff.h"
#include "duza_zovrena/params/params_fixture.h"

namespace duza_zovrena::params {
namespace {

// The demo's company 1 as a file, with `from` replaced by `to` once.
std::string demoFile(const std::string& from = {}, const std::string& to = {}) {
    static const std::string text = [] {
        testing::ParamsDatabase db;
        return toJson(readParamSet(*db.connection(), 1), 1);
    }();
    std::string changed = text;
    if (!from.empty()) {
        const std::size_t at = changed.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        changed.replace(at, from.size(), to);
    }
    return changed;
}

struct BadFile {
    const char* name;
    std::string text;
    const char* message;  // the whole message
};

class ParamsBadFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(ParamsBadFile, Is_refused_naming_the_place) {
    try {
        fromJson(GetParam().text, "f.json");
        FAIL() << "accepted";
    } catch (const BadInput& error) {
        EXPECT_EQ(std::string(error.what()), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ParamsBadFile,
    ::testing::Values(
        BadFile{"malformed", "{\"versione\": 1,,}",
                "file f.json: JSON non valido o troncato (byte 16)"},
        BadFile{"truncated", demoFile().substr(0, 40),
                "file f.json: JSON non valido o troncato (byte 41)"},
        BadFile{"not_an_object", "[1]", "file f.json: atteso un oggetto JSON"},
        BadFile{"other_version", demoFile("\"versione\": 1", "\"versione\": 2"),
                "file f.json: versione del formato 2 non gestita (attesa 1)"},
        BadFile{"other_format", demoFile("zovrena-parametri", "altro"),
                "file f.json: non è un file di parametri (\"formato\" deve essere "
                "\"zovrena-parametri\")"},
        BadFile{"unknown_element", demoFile("\"ditta\"", "\"altro\": 1, \"ditta\""),
                "file f.json: elemento sconosciuto \"altro\""},
        BadFile{"unknown_column",
                demoFile("\"PD42_FLGCOIN\"", "\"PD42_NUOVA\": 1, \"PD42_FLGCOIN\""),
                "file f.json, riga generale: colonna sconosciuta \"PD42_NUOVA\""},
        BadFile{"key_as_a_column",
                demoFile("\"PD42_FLGCOIN\"", "\"PD42_DITTA_CG18\": 1, \"PD42_FLGCOIN\""),
                "file f.json, riga generale: colonna sconosciuta \"PD42_DITTA_CG18\""},
        BadFile{"missing_column", demoFile("\"PD42_FLGCOIN\": 0,", ""),
                "file f.json, riga generale: colonna mancante \"PD42_FLGCOIN\""},
        BadFile{"text_for_a_flag", demoFile("\"PD42_FLGCOIN\": 0", "\"PD42_FLGCOIN\": \"0\""),
                "file f.json, riga generale, colonna PD42_FLGCOIN: atteso un numero intero, "
                "trovato \"0\""},
        BadFile{"flag_out_of_range", demoFile("\"PD42_FLGCOIN\": 0", "\"PD42_FLGCOIN\": 2"),
                "file f.json, riga generale, colonna PD42_FLGCOIN: atteso 0 o 1, trovato 2"},
        BadFile{"indicator_too_big", demoFile("\"PD88_INDSTATI\": 0", "\"PD88_INDSTATI\": 40000"),
                "file f.json, documenti[0] (LISTTRASF), colonna PD88_INDSTATI: valore fuori "
                "dall'intervallo ammesso: 40000"},
        BadFile{"code_too_wide",
                demoFile("\"PD42_DEPSCARTO_MG58\": \"SC\"", "\"PD42_DEPSCARTO_MG58\": \"SCA\""),
                "file f.json, riga generale, colonna PD42_DEPSCARTO_MG58: testo di 3 caratteri, "
                "al massimo 2"},
        BadFile{"number_too_wide",
                demoFile("\"PD42_PERCTOLLINT\": 5", "\"PD42_PERCTOLLINT\": 123456"),
                "file f.json, riga generale, colonna PD42_PERCTOLLINT: numero di 6 caratteri, al "
                "massimo 5"},
        BadFile{"number_for_a_code",
                demoFile("\"PD88_SCAREP_MG3G\": \"SCAREP\"", "\"PD88_SCAREP_MG3G\": 7"),
                "file f.json, documenti[0] (LISTTRASF), colonna PD88_SCAREP_MG3G: atteso un "
                "testo, trovato 7"},
        BadFile{"document_twice",
                demoFile("\"PD88_CODDOC_MG36\": \"ODP\"", "\"PD88_CODDOC_MG36\": \"LISTTRASF\""),
                "file f.json, documenti[1] (LISTTRASF): documento ripetuto"},
        BadFile{"transfer_column_missing", demoFile("\"PD49_INDTRPERSCORPO\": 1,", ""),
                "file f.json, trasferimento[0] (DOCDISMESSO): colonna mancante "
                "\"PD49_INDTRPERSCORPO\""}),
    [](const ::testing::TestParamInfo<BadFile>& info) { return std::string(info.param.name); });

TEST(ParamsDiff, Names_each_column_and_each_row_on_one_side) {
    testing::ParamsDatabase db;
    const ParamSet left = readParamSet(*db.connection(), 1);
    ParamSet right = left;
    right.documents.front().values.at("PD88_INDSTATI") = krl::Variant(std::int64_t{1});
    right.documents.pop_back();
    right.general->at("PD42_OLMONO_MG3G") = krl::Variant::null();
    std::vector<std::string> lines;
    for (const Difference& difference : differences(left, right)) {
        lines.push_back(differenceLine(difference));
    }
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "PD42_ZOVRENA, PD42_OLMONO_MG3G: 'ODP' -> NULL",
                         "PD88_ZOVRENADOC, documento LISTTRASF, PD88_INDSTATI: 0 -> 1",
                         "PD88_ZOVRENADOC, documento ODP: (riga presente) -> (riga assente)",
                     }));
}

}  // namespace
}  // namespace duza_zovrena::params

#include "web/server/action_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

namespace zovrena::web {
namespace {

using Json = nlohmann::json;

std::string eighty(const char* character) {
    std::string text;
    for (int i = 0; i < 80; ++i) {
        text += character;
    }
    return text;
}

struct Accepted {
    const char* name;
    std::string body;
    Action action;
};

class ActionReaderAccepts : public testing::TestWithParam<Accepted> {};

TEST_P(ActionReaderAccepts, ReadsTheFieldsAndWritesThemBack) {
    const auto read = parseAction(GetParam().body, ActionLimits{});
    const auto* action = std::get_if<Action>(&read);
    ASSERT_NE(action, nullptr) << std::get<ActionRefusal>(read).message;
    EXPECT_EQ(*action, GetParam().action);
    const auto again = readAction(toJson(*action), ActionLimits{});
    ASSERT_TRUE(std::holds_alternative<Action>(again));
    EXPECT_EQ(std::get<Action>(again), *action);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, ActionReaderAccepts,
    testing::Values(
        Accepted{"checkbox_as_number",
                 R"({"type":"setValue","control":"CBX_A","value":1,"revision":2})",
                 {2, ControlAction{ControlVerb::SetValue, "CBX_A", "1", {}, {}}}},
        Accepted{"checkbox_as_boolean",
                 R"({"type":"setValue","control":"CBX_A","value":false,"revision":2})",
                 {2, ControlAction{ControlVerb::SetValue, "CBX_A", "0", {}, {}}}},
        Accepted{
            "code_past_signed_range",
            R"({"type":"setValue","control":"CMB_A","value":18446744073709551615,"revision":2})",
            {2, ControlAction{ControlVerb::SetValue, "CMB_A", "18446744073709551615", {}, {}}}},
        Accepted{"click_ignores_a_value",
                 R"({"type":"click","control":"CBX_A","value":"x","revision":3})",
                 {3, ControlAction{ControlVerb::Click, "CBX_A", {}, {}, {}}}},
        Accepted{"key_menu",
                 R"({"type":"keyMenu","control":"TXT_A","key":"Kpers1","revision":4})",
                 {4, ControlAction{ControlVerb::KeyMenu, "TXT_A", "Kpers1", {}, {}}}},
        Accepted{
            "grid_cell",
            R"({"type":"editCell","control":"GRD_TRPERS","row":"ODP","field":"F","value":"7","revision":5})",
            {5, ControlAction{ControlVerb::EditCell, "GRD_TRPERS", "7", "ODP", "F"}}},
        Accepted{"answer",
                 R"({"type":"answer","messageId":35027,"answer":6,"revision":6})",
                 {6, AnswerBox{35027, 6}}},
        Accepted{
            "navigator",
            R"({"type":"navigatorButton","bar":"INTERNAV_PARAMETRI_TRP","button":"primo","revision":7})",
            {7, NavigatorButton{"INTERNAV_PARAMETRI_TRP", "primo"}}},
        // Eighty characters of two bytes each fit the description's column.
        Accepted{"file_with_a_long_accented_description",
                 R"({"type":"attachMedia","description":")" + eighty("è") +
                     R"(","fileName":"a.txt","content":"Y2lhbwBtb25kbw==","revision":8})",
                 {8, AttachMedia{eighty("è"), "a.txt", std::string("ciao\0mondo", 10)}}},
        Accepted{"close", R"({"type":"close","revision":9})", {9, CloseWindow{}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct Refused {
    const char* name;
    std::string body;
    int status;
    std::string message;
};

class ActionReaderRefuses : public testing::TestWithParam<Refused> {};

TEST_P(ActionReaderRefuses, WithTheMessageForThePerson) {
    const auto read = parseAction(GetParam().body, ActionLimits{4});
    const auto* refusal = std::get_if<ActionRefusal>(&read);
    ASSERT_NE(refusal, nullptr);
    EXPECT_EQ(refusal->status, GetParam().status);
    EXPECT_EQ(refusal->message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, ActionReaderRefuses,
    testing::Values(
        Refused{"not_an_object", R"(["clickItem"])", 400, "Richiesta non valida."},
        Refused{"not_json", R"({"type":"clickItem",)", 400, "Richiesta non valida."},
        Refused{"revision_as_text", R"({"type":"close","revision":"3"})", 400,
                "Richiesta non valida: manca la revisione della finestra."},
        Refused{"type_as_number", R"({"type":1,"revision":3})", 400,
                "Richiesta non valida: manca il tipo di azione."},
        Refused{"unknown_type", R"({"type":"drop","revision":3})", 400,
                "Richiesta non valida: azione \"drop\" sconosciuta."},
        Refused{"control_missing", R"({"type":"click","revision":3})", 400,
                "Richiesta non valida: manca il controllo."},
        Refused{"value_missing", R"({"type":"setValue","control":"C","revision":3})", 400,
                "Richiesta non valida: manca il valore."},
        Refused{"text_as_number", R"({"type":"leaveField","control":"C","text":5,"revision":3})",
                400, "Richiesta non valida: manca il testo."},
        Refused{
            "cell_key_with_nul",
            R"({"type":"editCell","control":"G","row":"A\u0000B","field":"F","value":"1","revision":3})",
            400, "Richiesta non valida: manca la cella."},
        Refused{"answer_as_text",
                R"({"type":"answer","messageId":35027,"answer":"6","revision":3})", 400,
                "Richiesta non valida: risposta al messaggio incompleta."},
        Refused{"unknown_bar",
                R"({"type":"navigatorButton","bar":"ALTRA","button":"primo","revision":3})", 400,
                "Richiesta non valida: barra o pulsante mancante."},
        Refused{
            "file_past_the_limit",
            R"({"type":"attachMedia","description":"","fileName":"a","content":"Y2lhbwBtb25kbw==","revision":3})",
            413, "Il file è troppo grande."},
        Refused{"description_past_its_column",
                R"({"type":"attachMedia","description":")" + eighty("è") +
                    R"(x","fileName":"a","content":"","revision":3})",
                400,
                "Richiesta non valida: descrizione (al massimo 80 caratteri) o nome del file (al "
                "massimo 255) non ammessi."},
        Refused{
            "content_not_base64",
            R"({"type":"attachMedia","description":"x","fileName":"x.txt","content":"%%","revision":3})",
            400, "Richiesta non valida: il contenuto del file non è leggibile."},
        Refused{
            "file_name_with_a_path",
            R"({"type":"attachMedia","description":"x","fileName":"../../etc/passwd","content":"","revision":3})",
            400,
            "Richiesta non valida: descrizione (al massimo 80 caratteri) o nome del file (al "
            "massimo 255) non ammessi."},
        Refused{
            "file_name_with_a_tab",
            R"({"type":"attachMedia","description":"","fileName":"a\tb","content":"","revision":3})",
            400,
            "Richiesta non valida: descrizione (al massimo 80 caratteri) o nome del file (al "
            "massimo 255) non ammessi."}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zovrena::web

// The program window as the web host serves it, on a fresh demo database: actions and their
// refusals, what a box holds back, history, attached files and the grid rows sent.

#include "web/server/window_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "data_access.h"
#include "duza_zovrena/data/demo_database.h"
#include "krl/ado/ado.h"
#include "krl/controls/check_box.h"
#include "krl/controls/combo.h"
#include "krl/controls/edit.h"
#include "krl/controls/frame.h"
#include "krl/controls/grid_nav.h"
#include "krl/variant/variant.h"
#include "web/server/window_snapshot.h"

namespace zovrena::web {
namespace {

using Json = nlohmann::json;
using namespace std::chrono_literals;

class ServedWindow : public testing::Test {
  protected:
    void SetUp() override {
        file_ = test_support::freshDatabaseFile("zovrena_window");
        connectionString_ = "sqlite:" + file_.string();
        duza_zovrena::data::createDemoDatabase(connectionString_, true);
    }
    void TearDown() override {
        window_.reset();
        std::filesystem::remove(file_);
    }

    WindowSession& open(std::chrono::milliseconds timeout = 15min) {
        window_ = WindowSession::open({"w1", connectionString_, "demo", 1, timeout});
        return *window_;
    }

    // An answer with its snapshot read back as the browser reads it.
    struct Answer {
        int status = 0;
        std::string error;
        Json snapshot;
    };
    static Answer readBack(const WindowAnswer& answer) {
        return {answer.status, answer.error,
                answer.snapshot.empty() ? Json() : answer.snapshot.parsed()};
    }
    Json snapshot() { return window_->snapshot().parsed(); }

    Answer act(Json action) {
        action["revision"] = snapshot()["revision"];
        return readBack(window_->act(action));
    }

    void execute(const std::string& sql) {
        auto connection = test_support::openConnection(connectionString_);
        connection->execute(sql);
        connection->close();
    }

    double stored(const std::string& column, int company = 1) {
        auto connection = test_support::openConnection(connectionString_);
        auto rows =
            connection->execute("SELECT " + column + " FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = " +
                                std::to_string(company));
        const double value = krl::numericValue(rows->fields()[column].value());
        connection->close();
        return value;
    }

    static const Json* control(const Json& snapshot, std::string_view name) {
        for (const auto& frame : snapshot["page"]["frames"]) {
            for (const auto& control : frame["controls"]) {
                if (control["name"] == name) {
                    return &control;
                }
            }
        }
        return nullptr;
    }

    // Ticks the two boxes the save rules refuse together and confirms: message 35027 waits.
    void confirmModelsWithOpenBillOfMaterials() {
        ASSERT_EQ(act({{"type", "clickItem"}, {"item", "ITM_PRG_INDGES"}}).status, 200);
        ASSERT_EQ(
            act({{"type", "setValue"}, {"control", "CBX_GESMODELLLIDB"}, {"value", 1}}).status,
            200);
        ASSERT_EQ(act({{"type", "setValue"}, {"control", "CBX_DISBAAPERTA"}, {"value", 1}}).status,
                  200);
        const auto answer = act({{"type", "hostButton"}, {"button", "Conferma"}});
        ASSERT_EQ(answer.status, 200);
        ASSERT_TRUE(answer.snapshot["messageBox"].is_object());
        ASSERT_EQ(answer.snapshot["messageBox"]["id"], 35027);
    }

    std::filesystem::path file_;
    std::string connectionString_;
    std::shared_ptr<WindowSession> window_;
};

// The action reader's own refusals are its test's; here, what the window adds and that a refusal
// leaves the revision as it was.
TEST_F(ServedWindow, Actions_are_refused_with_a_message_or_answered_with_a_notice) {
    struct Case {
        const char* name;
        Json action;
        bool withRevision;
        int status;
        std::string message;  // the error, or the snapshot's notice
    };
    const std::vector<Case> cases = {
        {"no revision",
         {{"type", "clickItem"}, {"item", "ITM_PRG_VAL"}},
         false,
         400,
         "Richiesta non valida: manca la revisione della finestra."},
        {"an older revision",
         {{"type", "clickItem"}, {"item", "ITM_PRG_VAL"}, {"revision", 0}},
         false,
         409,
         "La finestra è stata modificata in un'altra scheda."},
        {"an answer without a box",
         {{"type", "answer"}, {"messageId", 35027}, {"answer", 1}},
         true,
         409,
         "Il messaggio non è più in attesa di risposta."},
        {"a control of no page",
         {{"type", "setValue"}, {"control", "CMB_NESSUNO"}, {"value", 1}},
         true,
         200,
         "Il campo CMB_NESSUNO non è nella pagina."},
        {"a disabled host button",
         {{"type", "hostButton"}, {"button", "Conferma"}},
         true,
         200,
         "Il pulsante Conferma non è disponibile."},
        {"a code that no lookup offered",
         {{"type", "chooseLookupRow"}, {"control", "TXT_DEPSLFASISEST"}, {"code", "99"}},
         true,
         200,
         "Il codice scelto non è nell'elenco."},
    };
    open();
    ASSERT_EQ(act({{"type", "clickItem"}, {"item", "ITM_PRG_INDGES"}}).status, 200);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const long before = snapshot()["revision"];
        const auto answer = c.withRevision ? act(c.action) : readBack(window_->act(c.action));
        EXPECT_EQ(answer.status, c.status);
        if (c.status == 200) {
            EXPECT_EQ(answer.snapshot["notice"], c.message);
            EXPECT_EQ(answer.snapshot["revision"], before + 1);
        } else {
            EXPECT_EQ(answer.error, c.message);
            EXPECT_EQ(snapshot()["revision"], before);
        }
    }
    // None of it changed the row shown.
    EXPECT_EQ((*control(snapshot(), "TXT_STEPLEGDB"))["value"], "10");
    EXPECT_EQ(snapshot()["toolbar"][1]["enabled"], false);
}

TEST_F(ServedWindow, A_frame_of_frames_heads_its_group_with_its_caption) {
    open();
    const auto answer = act({{"type", "clickItem"}, {"item", "ITM_PRG_LAVINTIND"}});
    ASSERT_EQ(answer.status, 200);
    std::vector<std::string> order;
    for (const auto& frame : answer.snapshot["page"]["frames"]) {
        order.push_back(frame["name"].get<std::string>() + ":" +
                        std::to_string(frame["controls"].size()));
    }
    // The deposit priorities hold only the three deposit frames: they come first, empty.
    auto at = std::find(order.begin(), order.end(), "WLF_PRIORITADEP:0");
    ASSERT_NE(at, order.end());
    ASSERT_NE(at + 1, order.end());
    EXPECT_EQ(*(at + 1), "WLF_DEPPRELIEVO:6");
    EXPECT_EQ(std::count_if(order.begin(), order.end(),
                            [](const std::string& f) { return f.starts_with("WLF_PRIORITADEP"); }),
              1);
    EXPECT_EQ(std::count_if(order.begin(), order.end(),
                            [](const std::string& f) { return f.starts_with("WLFrame1"); }),
              0)
        << "a frame without a caption heads nothing";
}

TEST_F(ServedWindow, A_refused_save_shows_the_repairs_it_made_to_the_row) {
    open();
    ASSERT_EQ(act({{"type", "clickItem"}, {"item", "ITM_PRG_INDGES"}}).status, 200);
    ASSERT_EQ(act({{"type", "setValue"}, {"control", "CMB_LEADTIME"}, {"value", "1"}}).status, 200);
    ASSERT_EQ(act({{"type", "setValue"}, {"control", "CMB_GESTCICLI"}, {"value", "0"}}).status,
              200);
    // Cycles off puts the lead time back to "from the item" before the refusal.
    confirmModelsWithOpenBillOfMaterials();
    EXPECT_EQ(act({{"type", "click"}, {"control", "CBX_GESTRICETTA"}}).status, 409)
        << "nothing else is taken while the box waits";
    const auto answer = act({{"type", "answer"}, {"messageId", 35027}, {"answer", 1}});
    ASSERT_EQ(answer.status, 200);
    EXPECT_TRUE(answer.snapshot["messageBox"].is_null());
    EXPECT_FALSE(answer.snapshot["closed"].get<bool>());
    EXPECT_EQ((*control(answer.snapshot, "CMB_LEADTIME"))["value"], "2");
}

// A refused answer is no answer: the box still gives up when nobody else answers it.
TEST_F(ServedWindow, A_box_nobody_answers_unloads_the_window_without_writing) {
    open(1s);
    confirmModelsWithOpenBillOfMaterials();
    EXPECT_EQ(act({{"type", "answer"}, {"messageId", 35027}, {"answer", 2}}).error,
              "Risposta non prevista per questo messaggio.");
    for (int i = 0; i < 200 && !window_->closed(); ++i) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_TRUE(window_->closed());
    EXPECT_TRUE(snapshot()["closed"].get<bool>());
    EXPECT_EQ(stored("PD42_FLGMODELLODB"), 0);
    EXPECT_EQ(stored("PD42_INDGESDISBA"), 0);
}

// The snapshot names the control the program put the focus on, with a move number that grows:
// the first control of a page just opened, then the field a refused save points at.
TEST_F(ServedWindow, The_focus_the_program_moves_reaches_the_snapshot) {
    execute("UPDATE PD42_ZOVRENA SET PD42_STEPNUMLEGDB = 0 WHERE PD42_DITTA_CG18 = 1");
    open();
    EXPECT_TRUE(snapshot()["focus"].is_null()) << "no page, no focus";
    const Json opened = act({{"type", "clickItem"}, {"item", "ITM_PRG_INDGES"}}).snapshot;
    ASSERT_TRUE(opened["focus"].is_object());
    EXPECT_EQ(opened["focus"]["control"], "CBX_GESMODELLLIDB");
    const Json ticked =
        act({{"type", "setValue"}, {"control", "CBX_GESTRICETTA"}, {"value", 1}}).snapshot;
    EXPECT_EQ(ticked["focus"], opened["focus"]) << "a person's change moves nothing";
    const Json asked = act({{"type", "hostButton"}, {"button", "Conferma"}}).snapshot;
    ASSERT_EQ(asked["messageBox"]["id"], 9636);
    const Json refused = act({{"type", "answer"}, {"messageId", 9636}, {"answer", 1}}).snapshot;
    EXPECT_EQ(refused["focus"]["control"], "TXT_STEPLEGDB");
    EXPECT_GT(refused["focus"]["move"].get<std::int64_t>(),
              opened["focus"]["move"].get<std::int64_t>());
}

TEST_F(ServedWindow, Lookup_columns_are_titled_by_caption) {
    open();
    act({{"type", "clickItem"}, {"item", "ITM_PRG_INDGES"}});
    const Json listed = act({{"type", "openLookup"}, {"control", "TXT_DEPSLFASISEST"}}).snapshot;
    ASSERT_TRUE(listed["lookup"].is_object());
    std::vector<std::string> captions;
    for (const auto& column : listed["lookup"]["columns"]) {
        captions.push_back(column["caption"]);
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Codice", "Descrizione"}));
}

// The company options are read at each save, so an administrator's change reaches a window that
// was already open.
TEST_F(ServedWindow, Company_options_changed_while_the_window_is_open_reach_the_save) {
    execute("UPDATE PD42_ZOVRENA SET PD42_FLGMODORDLAV = 0, PD42_FLGMODORDCLP = 0");
    open();
    act({{"type", "clickItem"}, {"item", "ITM_PRG_INDGES"}});
    execute("UPDATE CG18_DITTE SET CG18_FLGOPZIONE1 = 1, CG18_FLGOPZIONE2 = 1");
    act({{"type", "setValue"}, {"control", "CBX_GESTRICETTA"}, {"value", 1}});
    const auto answer = act({{"type", "hostButton"}, {"button", "Conferma"}});
    ASSERT_EQ(answer.status, 200);
    ASSERT_TRUE(answer.snapshot["messageBox"].is_null()) << answer.snapshot["messageBox"];
    EXPECT_EQ(stored("PD42_FLGMODORDLAV"), 1);
    EXPECT_EQ(stored("PD42_FLGMODORDCLP"), 1);
}

// The history of the record in front comes newest first, a page at a time, its columns by caption;
// a document page has none until a code is chosen.
TEST_F(ServedWindow, History_of_the_record_in_front_comes_a_page_at_a_time) {
    std::string sets;
    std::string lines;
    for (int i = 1; i <= 120; ++i) {
        sets += "(1, 'PD42_ZOVRENA', 'demo', '2026-01-01T00:00:00'), ";
        lines += std::string(i == 1 ? "" : ", ") + "(" + std::to_string(i) +
                 ", 'PD42_FLGCOIN', '0', '1')";
    }
    execute(
        "INSERT INTO PD97_STORICO (PD97_DITTA_CG18, PD97_TABELLA, PD97_UTENTE_UT00, "
        "PD97_DATAORA) VALUES " +
        sets + "(2, 'PD42_ZOVRENA', 'demo', '2026-01-01T00:00:00')");
    execute("INSERT INTO PD98_STORICORIGHE VALUES " + lines);
    open();
    Json history = act({{"type", "hostButton"}, {"button", "Storico"}}).snapshot["history"];
    ASSERT_TRUE(history.is_object());
    EXPECT_EQ(history["total"], 120);
    ASSERT_EQ(history["rows"].size(), 50u);
    EXPECT_EQ(history["rows"][0]["id"], 120);
    EXPECT_EQ(history["rows"][49]["id"], 71);
    EXPECT_EQ(history["rows"][0]["columns"][0]["caption"], "Contabilità analitica");
    EXPECT_EQ(history["rows"][0]["columns"][0]["before"], "0");
    for (std::size_t shown : {100u, 120u, 120u}) {
        history = act({{"type", "historyMore"}}).snapshot["history"];
        EXPECT_EQ(history["rows"].size(), shown);
    }
    EXPECT_EQ(history["rows"][119]["id"], 1);
    EXPECT_TRUE(act({{"type", "closeHistory"}}).snapshot["history"].is_null());

    const Json snapshot = act({{"type", "clickItem"}, {"item", "ITM_PRD_IND"}}).snapshot;
    for (const auto& button : snapshot["toolbar"]) {
        if (button["name"] == "Storico") {
            EXPECT_FALSE(button["enabled"].get<bool>()) << "no document chosen";
        }
    }
    const auto refused = act({{"type", "hostButton"}, {"button", "Storico"}});
    EXPECT_TRUE(refused.snapshot["history"].is_null());
    EXPECT_EQ(refused.snapshot["notice"], "Il pulsante Storico non è disponibile.");
}

TEST_F(ServedWindow, Attached_files_stop_at_the_count_allowed) {
    WindowContext context{"w1", connectionString_, "demo", 1};
    context.mediaMaxCount = 2;
    window_ = WindowSession::open(context);
    ASSERT_EQ(act({{"type", "clickItem"}, {"item", "ITM_PRG_INDGES"}}).status, 200);
    ASSERT_TRUE(act({{"type", "hostButton"}, {"button", "Media"}}).snapshot["media"].is_object());
    // A description as wide as its column, in letters that take two bytes each.
    std::string description;
    for (int i = 0; i < 80; ++i) {
        description += "è";
    }
    Answer answer;
    for (int i = 0; i < 3; ++i) {
        answer = act({{"type", "attachMedia"},
                      {"description", description},
                      {"fileName", "file" + std::to_string(i) + ".txt"},
                      {"content", "YQ=="}});
        ASSERT_EQ(answer.status, 200);
    }
    EXPECT_EQ(answer.snapshot["media"]["items"].size(), 2u);
    EXPECT_EQ(answer.snapshot["notice"],
              "Al record sono già collegati 2 file: non se ne possono aggiungere altri.");
}

// The grid's rows come with a version; an action that names the version the browser holds is
// answered without them while they have not changed, and with only the rows that changed since
// the version last sent, so that a click beside a long grid and an edited cell stay small.
TEST_F(ServedWindow, Grid_rows_are_sent_only_when_the_browser_lacks_them) {
    open();
    const Json opened = act({{"type", "clickItem"}, {"item", "ITM_PRT_TRPERS"}}).snapshot;
    const Json* grid = control(opened, "GRD_TRPERS");
    ASSERT_NE(grid, nullptr);
    ASSERT_TRUE((*grid)["rows"].is_array());
    ASSERT_FALSE((*grid)["rows"].empty());
    std::string version = (*grid)["rowsVersion"];
    std::size_t odp = 0;
    while (odp < (*grid)["rows"].size() && (*grid)["rows"][odp]["key"] != "ODP") {
        ++odp;
    }

    enum class Sent { Nothing, Changed, All };
    struct Case {
        const char* name;
        Json held;          // the action's gridRows; null: left out; "" the version last sent
        std::string value;  // the head indicator chosen for ODP
        Sent sent;
    };
    const Case cases[] = {
        {"refused choice, rows held", "", "7", Sent::Nothing},
        {"refused choice, nothing held", nullptr, "7", Sent::All},
        {"refused choice, older rows held", {{"GRD_TRPERS", "0"}}, "7", Sent::All},
        {"held under another grid's name", {{"GRD_ALTRO", "x"}}, "7", Sent::All},
        {"held as a number", {{"GRD_TRPERS", 1}}, "7", Sent::All},
        {"accepted choice, rows held", "", "0", Sent::Changed},
        {"accepted choice, older rows held", {{"GRD_TRPERS", "0"}}, "1", Sent::All},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Json action = {{"type", "editCell"},
                       {"control", "GRD_TRPERS"},
                       {"row", "ODP"},
                       {"field", "PD49_INDTRPERSTESTA"},
                       {"value", c.value}};
        if (c.held.is_string() && c.held.get<std::string>().empty()) {
            action["gridRows"] = {{"GRD_TRPERS", version}};
        } else if (!c.held.is_null()) {
            action["gridRows"] = c.held;
        }
        const Answer answer = act(action);
        ASSERT_EQ(answer.status, 200);
        const Json* shown = control(answer.snapshot, "GRD_TRPERS");
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->contains("rows"), c.sent == Sent::All);
        EXPECT_EQ(shown->contains("rowsChanged"), c.sent == Sent::Changed);
        if (c.sent == Sent::Changed) {
            EXPECT_EQ((*shown)["rowsBase"], version);
            ASSERT_EQ((*shown)["rowsChanged"].size(), 1u);
            EXPECT_EQ((*shown)["rowsChanged"][0]["index"], odp);
            EXPECT_EQ((*shown)["rowsChanged"][0]["key"], "ODP");
            EXPECT_EQ((*shown)["rowsChanged"][0]["cells"][2], c.value);
        }
        EXPECT_EQ((*shown)["rowsVersion"] == version, c.value == "7");
        version = (*shown)["rowsVersion"];
    }
    // The edited row is in the rows sent, and the window asked afresh always carries them.
    const Json again = snapshot();
    const Json* shown = control(again, "GRD_TRPERS");
    ASSERT_NE(shown, nullptr);
    ASSERT_TRUE(shown->contains("rows"));
    bool found = false;
    for (const auto& row : (*shown)["rows"]) {
        if (row["key"] == "ODP") {
            found = true;
            EXPECT_EQ(row["cells"][2], "1");
        }
    }
    EXPECT_TRUE(found);
}

TEST(ControlSnapshot, Each_kind_has_its_writer_and_a_kind_without_one_is_an_error) {
    namespace kc = krl::controls;
    const std::pair<std::shared_ptr<kc::Control>, const char*> written[] = {
        {std::make_shared<kc::Combo>("CMB_A"), "combo"},
        {std::make_shared<kc::CheckBox>("CHK_A"), "checkbox"},
        {std::make_shared<kc::EditM>("TXT_A"), "edit"},
        {std::make_shared<kc::Label>("LBL_A", "Testo"), "label"},
    };
    for (const auto& [control, kind] : written) {
        const Json json = Json::parse(describeControl(*control));
        EXPECT_EQ(json["kind"], kind);
        EXPECT_EQ(json["name"], control->name());
        EXPECT_TRUE(json.contains("value")) << kind;
    }
    EXPECT_THROW(describeControl(kc::GridNav("INTERNAV_A")), std::invalid_argument);
}

}  // namespace
}  // namespace zovrena::web

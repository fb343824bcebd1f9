#include <gtest/gtest.h>

#include "duza_zovrena/pages/page.h"
#include "duza_zovrena/pages/page_members.h"
#include "duza_zovrena/pages/parameter_page.h"
#include "duza_zovrena/pages/transfer_commands.h"
#include "duza_zovrena/window/window_fixture.h"
#include "krl/controls/check_box.h"
#include "krl/controls/combo.h"
#include "krl/controls/edit.h"
#include "krl/controls/grid_nav.h"
#include "krl/controls/side_bar.h"
#include "krl/frame/virtual_frame.h"
#include "krl/host/print.h"

namespace duza_zovrena::window::testing {
namespace {

using krl::frame::StatusInserting;
using krl::frame::StatusViewing;

class Window : public WindowFixture {};

TEST_F(Window, Loads_the_company_row_and_an_empty_document_set_with_the_exact_queries) {
    auto program = open(Variant(std::int32_t{1}));
    FRMPD_ZOVRENA& window = windowOf(program);
    ASSERT_FALSE(window.loadFailed());
    EXPECT_EQ(window.generalRows()->source(),
              "SELECT * FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = 1");
    EXPECT_EQ(window.documentFrame()->recordset()->source(),
              "SELECT * FROM PD88_ZOVRENADOC WHERE 1 = 0");
    EXPECT_EQ(window.generalRows()->recordCount(), 1);
    EXPECT_EQ(window.generalFrame()->status(), StatusViewing);
    EXPECT_FALSE(window.wmsEnabled());
    EXPECT_EQ(program->connection(), window.connection()) << "the window hands back its connection";
    EXPECT_EQ(window.caption(), "Parametri di gestione");
    EXPECT_TRUE(window.currentItem().empty()) << "no page until an item is chosen";
}

TEST_F(Window, First_activation_prepares_side_bar_toolbar_and_trace) {
    auto global = hostFor(Variant(std::int32_t{2}));
    global->setToolbarButtons(kh::ToolbarButtons::standard());
    auto program = open(Variant(std::int32_t{2}), global);
    FRMPD_ZOVRENA& window = windowOf(program);
    EXPECT_TRUE(window.wmsEnabled()) << "company 2 uses warehouse management";
    for (const char* item : {"ITM_PRD_PRD", "ITM_PRD_DCLIE", "ITM_PRD_DCCLA"}) {
        EXPECT_FALSE(window.sideBar().item(item)->enabled) << item;
    }
    EXPECT_TRUE(window.sideBar().item("ITM_PRD_IND")->enabled);
    for (const char* button : {"FirstRecord", "BackwardPage", "PreviousRecord", "NextRecord",
                               "ForwardPage", "LastRecord", "Query", "ExecuteQuery"}) {
        EXPECT_FALSE(global->toolbarButtons()->enabled(button)) << button;
    }
    EXPECT_NE(window.navigatorBar("INTERNAV_PARAMETRI").button("Stampa"), nullptr);
    ASSERT_FALSE(navigator_->traceObject()->entries().empty());
    EXPECT_EQ(navigator_->traceObject()->entries().back().flag, kh::TraceObject::Open);
}

TEST_F(Window, A_program_opened_by_another_gets_no_print_button) {
    auto program = open(Variant(std::int32_t{1}), nullptr, true);
    FRMPD_ZOVRENA& window = windowOf(program);
    EXPECT_EQ(window.navigatorBar("INTERNAV_PARAMETRI").button("Stampa"), nullptr);
    EXPECT_EQ(window.generalFrame()->status(), StatusViewing);
}

TEST_F(Window, Clicking_the_item_already_shown_does_nothing) {
    FRMPD_ZOVRENA& window = openWindow();
    window.sideBar().userClick("ITM_PRG_INDGES");
    auto shown = window.currentPage();
    ASSERT_NE(shown, nullptr);
    shown->setVisible(false);  // a repeated click would show it again
    window.sideBar().userClick("ITM_PRG_INDGES");
    EXPECT_EQ(window.currentPage(), shown);
    EXPECT_FALSE(shown->Visible());
}

TEST_F(Window, A_company_without_a_row_gets_the_new_row_values_and_the_first_confirm_stores_them) {
    auto global = hostFor(Variant(std::int32_t{2}));
    global->setCompanyOptionA(true);
    global->setCompanyOptionB(true);
    auto program = open(Variant(std::int32_t{2}), global);
    FRMPD_ZOVRENA& window = windowOf(program);
    auto frame = window.generalFrame();
    ASSERT_EQ(frame->status(), StatusInserting);
    EXPECT_TRUE(storedGeneral(2).empty()) << "nothing is stored before the confirm";
    ASSERT_TRUE(frame->confirm());
    auto rows = storedGeneral(2);
    ASSERT_EQ(rows.size(), 1u);
    auto& row = rows.front();
    EXPECT_EQ(row["PD42_STEPNUMLEGDB"].toInt32(), 10);
    EXPECT_EQ(row["PD42_STEPSEQINTLEGDB"].toInt32(), 1);
    EXPECT_EQ(row["PD42_FLGDEPCLEGAME"].toInt32(), 1);
    EXPECT_EQ(row["PD42_FLGGENTRASFCL"].toInt32(), 1);
    EXPECT_TRUE(row["PD42_QSETUP_PD04"].isNull());
    EXPECT_EQ(row["PD42_FLGDOCCODART"].toInt32(), 0) << "a column shown by no page gets 0";
    // Both company options on: the save made the repairs they ask for.
    EXPECT_EQ(row["PD42_FLGMODORDLAV"].toInt32(), 1);
    ASSERT_EQ(global->parameterChanges().size(), 1u) << "the host hears of the change";
    EXPECT_EQ(global->parameterChanges().front().kind, 2);
}

TEST_F(Window, Nuovo_while_the_row_exists_leaves_one_row) {
    FRMPD_ZOVRENA& window = openWindow();
    window.sideBar().select("GRP_PRG_INDGES", "ITM_PRG_INDGES");
    window.navigatorBar("INTERNAV_PARAMETRI").press("nuovo");
    EXPECT_EQ(window.generalFrame()->status(), StatusViewing);
    EXPECT_EQ(window.generalRows()->recordCount(), 1);
    window.generalFrame()->confirm();
    EXPECT_EQ(storedGeneral(1).size(), 1u);
}

TEST_F(Window, A_column_shown_by_no_page_keeps_its_stored_value_through_saves) {
    execute("UPDATE PD42_ZOVRENA SET PD42_FLGGESTWIP = 7 WHERE PD42_DITTA_CG18 = 1");
    FRMPD_ZOVRENA& window = openWindow();
    for (int save = 0; save < 2; ++save) {
        changeGeneral(window, "PD42_FLGCOIN", Variant(std::int16_t(save % 2)));
        ASSERT_TRUE(window.generalFrame()->confirm());
    }
    EXPECT_EQ(storedGeneral(1).front()["PD42_FLGGESTWIP"].toInt32(), 7);
}

TEST_F(Window, Closing_with_pending_changes_asks_and_keeping_them_refuses_the_close) {
    auto program = open(Variant(std::int32_t{1}));
    FRMPD_ZOVRENA& window = windowOf(program);
    changeGeneral(window, "PD42_FLGCOIN", Variant(std::int16_t{1}));
    std::size_t traced = navigator_->traceObject()->entries().size();
    presenter_.queue(kh::vbCancel);
    EXPECT_FALSE(program->closeForm().toBool());
    EXPECT_FALSE(window.unloaded());
    EXPECT_EQ(navigator_->traceObject()->entries().size(), traced) << "no tsClose when refused";
    presenter_.queue(kh::vbNo);
    EXPECT_TRUE(program->closeForm().toBool());
    EXPECT_TRUE(window.unloaded());
    EXPECT_EQ(storedGeneral(1).front()["PD42_FLGCOIN"].toInt32(), 0) << "No drops the change";
}

TEST_F(Window, A_load_that_fails_reports_and_closes_the_window_at_first_activation) {
    struct Case {
        const char* name;
        Variant company;
        std::string connection;
    };
    const Case cases[] = {
        {"company code that is not a number", Variant("uno"), connectionString_},
        {"connection string that does not open", Variant(std::int32_t{1}),
         "sqlite:" + folder_.file("missing/dir/none.db") + "?mode=ro"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto global = hostFor(c.company);
        global->setConnectionString(c.connection);
        std::size_t before = presenter_.boxes().size();
        auto program = open(c.company, global);
        FRMPD_ZOVRENA& window = windowOf(program);
        EXPECT_TRUE(window.loadFailed());
        EXPECT_TRUE(window.unloaded());
        ASSERT_GT(presenter_.boxes().size(), before) << "the error was reported";
        EXPECT_EQ(presenter_.boxes()[before].buttons, 4370);
    }
}

TEST_F(Window, Indicators_stored_as_null_or_text_read_as_zero) {
    execute(
        "UPDATE PD42_ZOVRENA SET PD42_FLGIMPGENLISP = NULL, PD42_FLGSCAGENORD = 'x', "
        "PD42_INDSTATO = '  ' WHERE PD42_DITTA_CG18 = 1");
    FRMPD_ZOVRENA& window = openWindow();
    ASSERT_FALSE(window.loadFailed());
    window.generalFrame()->setStatus(1);
    EXPECT_TRUE(window.generalFrame()->confirm());
}

TEST_F(Window, Side_bar_switches_frame_bar_and_header_by_item) {
    auto program = open(Variant(std::int32_t{1}));
    FRMPD_ZOVRENA& window = windowOf(program);
    window.sideBar().select("GRP_PRG_INDGES", "ITM_PRG_INDGES");
    EXPECT_EQ(window.currentItem(), "ITM_PRG_INDGES");
    EXPECT_EQ(program->activeFrame(), window.generalFrame());
    EXPECT_TRUE(window.navigatorBar("INTERNAV_PARAMETRI").visible());
    EXPECT_FALSE(window.find("TXT_CODDOC")->visible());
    auto shown = window.currentPage();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->Visible());

    window.sideBar().select("GRP_PRD_DOCUMENTI", "ITM_PRD_IND");
    EXPECT_EQ(program->activeFrame(), window.documentFrame());
    EXPECT_TRUE(window.navigatorBar("INTERNAV_PARAMETRI_DOC").visible());
    EXPECT_FALSE(window.navigatorBar("INTERNAV_PARAMETRI").visible());
    EXPECT_TRUE(window.find("TXT_CODDOC")->visible());
    EXPECT_FALSE(shown->Visible()) << "one page at a time";

    window.sideBar().select("GRP_PRT_TRPERS", "ITM_PRT_TRPERS");
    EXPECT_EQ(program->activeFrame(), nullptr);
    EXPECT_TRUE(window.navigatorBar("INTERNAV_PARAMETRI_TRP").visible());
    EXPECT_FALSE(window.find("TXT_CODDOC")->visible());
}

// A page added to the list with one declaration, touching nothing else, works in the window.
TEST_F(Window, A_page_declared_in_the_list_alone_is_offered_shown_and_saved) {
    pages::PageDeclaration trial;
    trial.className = "CTLPD_PRG_PROVA";
    trial.group = "GRP_PRG_PROVA";
    trial.groupCaption = "Prova";
    trial.item = "ITM_PRG_PROVA";
    trial.itemCaption = "Pagina di prova";
    trial.title = "Parametri generali - prova";
    trial.initialize = pages::initializeSteps(
        {pages::InitializeStep::ActiveInterface, pages::InitializeStep::VirtualFrame,
         pages::InitializeStep::Recordset, pages::InitializeStep::AddVirtualFrameControl,
         pages::InitializeStep::InitializeScriptObjectModel});
    trial.firstControl = "CHK_STORICO";
    trial.frames = {{"WLFrame1", "", "", 15}};
    trial.controls = {{"WLFrame1", "CHK_STORICO", "PD42_FLGGESSTOR", "Storico"}};
    pages::appendPage(trial, kh::ProgIdRegistry::instance());
    struct Remove {
        ~Remove() { pages::removePage("CTLPD_PRG_PROVA"); }
    } remove;

    auto program = open(Variant(std::int32_t{1}));
    FRMPD_ZOVRENA& window = windowOf(program);
    ASSERT_NE(window.sideBar().item("ITM_PRG_PROVA"), nullptr);
    window.sideBar().userClick("ITM_PRG_PROVA");
    EXPECT_EQ(window.currentItem(), "ITM_PRG_PROVA");
    auto shown = window.currentPage();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->title(), "Parametri generali - prova");
    EXPECT_EQ(program->activeFrame(), window.generalFrame());
    auto* box = dynamic_cast<krl::controls::CheckBox*>(shown->find("CHK_STORICO"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "0");
    ASSERT_TRUE(box->userClick().accepted());
    ASSERT_TRUE(window.generalFrame()->confirm());
    EXPECT_EQ(storedGeneral(1).front().at("PD42_FLGGESSTOR").toInt32(), 1);
    EXPECT_TRUE(presenter_.boxes().empty());
}

TEST_F(Window, FormatSqlValue_writes_literals_and_says_why_a_value_is_refused) {
    FRMPD_ZOVRENA& window = openWindow();
    struct Case {
        Variant value;
        int kind;
        bool nullable;
        std::string expected;  // "" with refusal: Empty
        long refusal;          // message id of the reported reason, 0 when none
    };
    const Case cases[] = {
        {Variant("L'ODP"), 0, false, "'L''ODP'", 0},
        {Variant(""), 0, true, "NULL", 0},
        {Variant("  "), 0, false, "''", 0},
        {Variant::null(), 1, true, "NULL", 0},
        {Variant(std::int32_t{42}), 1, false, "42", 0},
        {Variant("7"), 1, false, "7", 0},
        {Variant(2.5), 2, false, "2.5", 0},
        {Variant("31/12/2026"), 3, false, "'20261231'", 0},
        {Variant(), 1, false, "", 52518},
        {Variant(""), 2, false, "", 52518},
        {Variant::null(), 3, false, "", 52517},
        {Variant("31/02/2026"), 3, false, "", 25382},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.describe() + " kind " + std::to_string(c.kind));
        std::size_t before = presenter_.boxes().size();
        Variant literal = window.FormatSqlValue(c.value, c.kind, c.nullable);
        if (c.refusal == 0) {
            EXPECT_EQ(literal.textOrEmpty(), c.expected);
            EXPECT_EQ(presenter_.boxes().size(), before);
        } else {
            EXPECT_TRUE(literal.isEmpty());
            ASSERT_EQ(presenter_.boxes().size(), before + 1);
            EXPECT_NE(presenter_.boxes().back().text.find("FormatSqlValue"), std::string::npos);
        }
    }
}

TEST_F(Window, Print_sheet_shows_captions_with_list_labels) {
    FRMPD_ZOVRENA& window = openWindow();
    kh::PrintSheet sheet = window.printSheet();
    auto value = [&](std::string_view caption) -> std::string {
        for (const auto& row : sheet.rows) {
            if (row.label == caption) {
                return row.value;
            }
        }
        return "(missing)";
    };
    // Demo company 1: cycles managed as optional, order states on, lots on.
    EXPECT_EQ(value("Gestione cicli di produzione"), "Cicli facoltativi");
    EXPECT_EQ(value("Stati righe ordini"), "Si");
    EXPECT_EQ(value("Lotti"), "Sì");
    EXPECT_EQ(value("Incremento numerazione distinta base"), "10");
}

TEST_F(Window, Undo_returns_to_the_management_indicators_page) {
    FRMPD_ZOVRENA& window = openWindow();
    window.sideBar().select("GRP_PRG_LAVINT", "ITM_PRG_LAVINTIND");
    changeGeneral(window, "PD42_FLGCOIN", Variant(std::int16_t{1}));
    EXPECT_TRUE(window.generalFrame()->undo());
    EXPECT_EQ(window.currentItem(), "ITM_PRG_INDGES");
}

// A transfer page that has the commands records what the bar asked of it.
class RecordingTransferPage : public pages::ParameterPage,
                              public pages::TransferCommands,
                              public pages::TransferMembers {
  public:
    RecordingTransferPage() : ParameterPage(*pages::findPageByClass("CTLPD_PRT_TRPERS")) {}
    void setCodiceDitta(Variant value) override { company = std::move(value); }
    void setOnTerminate(bool value) override { closing = value; }
    bool Save() override { return record("Save"); }
    bool Delete() override { return record("Delete"); }
    bool Undo() override { return record("Undo"); }

    std::vector<std::string> calls;
    bool answer = true;
    Variant company;
    bool closing = false;

  private:
    bool record(const char* call) {
        calls.emplace_back(call);
        return answer;
    }
};

TEST_F(Window, The_transfer_bar_asks_then_runs_the_pages_command) {
    std::shared_ptr<RecordingTransferPage> transfer;
    kh::ProgIdRegistry::Scope registration(kh::ProgIdRegistry::instance(),
                                           pages::pageProgId("CTLPD_PRT_TRPERS"), [&transfer] {
                                               transfer = std::make_shared<RecordingTransferPage>();
                                               return transfer;
                                           });
    FRMPD_ZOVRENA& window = openWindow();
    // The bar's frame is the general one: a change pending there must outlive every button.
    window.sideBar().select("GRP_PRG_INDGES", "ITM_PRG_INDGES");
    changeGeneral(window, "PD42_FLGCOIN", Variant(std::int16_t{1}));
    window.sideBar().select("GRP_PRT_TRPERS", "ITM_PRT_TRPERS");
    ASSERT_NE(transfer, nullptr);
    EXPECT_EQ(transfer->company.toInt32(), 1);  // the window hands the page its company
    struct Case {
        const char* button;
        int answer;
        bool commandResult;
        std::vector<long> boxes;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"Annulla", kh::vbYes, true, {6847, 42120}, {"Undo"}},
        {"Annulla", kh::vbYes, false, {6847}, {"Undo"}},
        {"Conferma", kh::vbYes, false, {50281, 42120}, {"Save"}},
        {"elimina", kh::vbYes, false, {24803, 42120}, {"Delete"}},
        {"Conferma", kh::vbNo, true, {50281}, {}},
        {"nuovo", kh::vbYes, true, {}, {}},
        {"primo", kh::vbYes, true, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.button) + (c.answer == kh::vbYes ? " Yes" : " No"));
        const std::size_t before = presenter_.boxes().size();
        transfer->calls.clear();
        transfer->answer = c.commandResult;
        presenter_.queue(c.answer);
        window.navigatorBar("INTERNAV_PARAMETRI_TRP").press(c.button);
        std::vector<long> shown;
        for (std::size_t i = before; i < presenter_.boxes().size(); ++i) {
            shown.push_back(presenter_.boxes()[i].messageId);
            EXPECT_EQ(presenter_.boxes()[i].title, window.caption());
        }
        EXPECT_EQ(shown, c.boxes);
        if (!shown.empty()) {
            EXPECT_EQ(presenter_.boxes()[before].buttons, 36);
        }
        EXPECT_EQ(transfer->calls, c.calls);
        EXPECT_EQ(window.generalFrame()->status(), 1) << "the general change is neither written "
                                                         "nor dropped";
    }
    EXPECT_EQ(storedGeneral(1).front().at("PD42_FLGCOIN").toInt32(), 0);
}

TEST_F(Window, No_document_row_can_be_written_before_a_code_is_chosen) {
    FRMPD_ZOVRENA& window = openWindow();
    const auto documentRows = [&] {
        data::testing::SqliteFile file(folder_.file("window.db"));
        return file.rows("SELECT * FROM PD88_ZOVRENADOC").size();
    };
    const std::size_t before = documentRows();
    window.sideBar().select("GRP_PRD_DOCUMENTI", "ITM_PRD_IND");
    auto frame = window.documentFrame();
    EXPECT_EQ(frame->status(), StatusViewing) << "nothing is being inserted";
    for (const char* button : {"nuovo", "Conferma", "elimina"}) {
        window.navigatorBar("INTERNAV_PARAMETRI_DOC").press(button);
    }
    EXPECT_TRUE(frame->confirm());
    EXPECT_EQ(frame->status(), StatusViewing);
    EXPECT_EQ(documentRows(), before);
    EXPECT_TRUE(messageIds().empty()) << "no question, no database error";
}

// The external-work documents page asks the window, at each showing, whether the recovery load
// may be filled.
TEST_F(Window, Scrap_recovery_load_follows_the_indicator_at_each_showing) {
    FRMPD_ZOVRENA& window = openWindow();
    window.sideBar().userClick("ITM_PRG_LAVESTDOC");
    EXPECT_TRUE(window.currentPage()->find("TXT_CARSFRIDOCL")->enabled());
    window.sideBar().userClick("ITM_PRG_LAVESTIND");
    auto* indicator =
        dynamic_cast<krl::controls::CheckBox*>(window.currentPage()->find("CHK_CARARTRECVRSORD"));
    ASSERT_NE(indicator, nullptr);
    ASSERT_EQ(indicator->text(), "1");
    ASSERT_TRUE(indicator->userClick().accepted());
    window.sideBar().userClick("ITM_PRG_LAVESTDOC");
    EXPECT_FALSE(window.currentPage()->find("TXT_CARSFRIDOCL")->enabled());
    EXPECT_TRUE(presenter_.boxes().empty());
}

}  // namespace
}  // namespace duza_zovrena::window::testing

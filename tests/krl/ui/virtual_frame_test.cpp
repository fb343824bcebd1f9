#include "krl/frame/virtual_frame.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "krl/controls/grid_nav.h"
#include "krl/diag/log.h"
#include "krl/host/catalogue_message_service.h"
#include "krl/host/global.h"
#include "krl/host/host_interface.h"
#include "krl/host/presenter.h"
#include "ui_database.h"

namespace krl::ui_testing {
namespace {

using controls::InputStatus;
using frame::VirtualFrame;

constexpr const char* kCompanyRows = "SELECT * FROM PARAM WHERE DITTA = 1 ORDER BY CODICE";

class Frame : public UiDatabase {
  protected:
    void SetUp() override {
        UiDatabase::SetUp();
        page = std::make_unique<ParamPage>(connectionString());
        service = std::make_shared<host::CatalogueMessageService>(
            host::MessageCatalogue::standard(), &presenter);
    }

    void TearDown() override {
        if (frame) {
            frame->terminate();
        }
        page.reset();
        UiDatabase::TearDown();
    }

    void bind(const std::string& sql, const ObjectPtr& programInterface = nullptr) {
        recordset = open(sql);
        bar = std::make_shared<controls::GridNav>("INTERNAV_TEST");
        frame = VirtualFrame::create("FME_TEST");
        if (!programInterface) {
            frame->setMessageService(service);
        }
        frame->initialize(programInterface, connection_, recordset, sql, "", bar);
        frame->AfterAddNew.connect(
            [this](long r) { log.push_back("AfterAddNew(" + std::to_string(r) + ")"); });
        frame->BeforeUpdate.connect([this](bool& cancel) {
            log.emplace_back("BeforeUpdate");
            cancel = refuseUpdate;
        });
        frame->AfterUpdate.connect(
            [this](long r) { log.push_back("AfterUpdate(" + std::to_string(r) + ")"); });
        frame->AfterUndo.connect(
            [this](long r) { log.push_back("AfterUndo(" + std::to_string(r) + ")"); });
        frame->ChangeStatus.connect([this](long s, long r) {
            log.push_back("ChangeStatus(" + std::to_string(s) + "," + std::to_string(r) + ")");
        });
        for (const auto& control : page->bound()) {
            frame->add(control);
        }
        frame->start(0);
    }

    std::vector<std::string> takeLog() { return std::exchange(log, {}); }

    void reopen(const std::string& sql) {
        frame->reset();
        recordset->close();
        recordset->setSource(sql);
        recordset->open(ado::adOpenUnspecified, ado::adLockUnspecified, ado::adOptionUnspecified);
        frame->setSql(sql);
    }

    std::vector<std::string> boxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : presenter.boxes()) {
            texts.push_back(box.text);
        }
        return texts;
    }

    Variant field(const char* name) { return (*recordset)[name].value(); }
    Variant storedNota(const char* code) {
        return stored(std::string("SELECT NOTA FROM PARAM WHERE DITTA = 1 AND CODICE = '") + code +
                      "'");
    }

    std::unique_ptr<ParamPage> page;
    host::ScriptedPresenter presenter;
    std::shared_ptr<host::MessageService> service;
    std::shared_ptr<ado::Recordset> recordset;
    std::shared_ptr<controls::GridNav> bar;
    std::shared_ptr<VirtualFrame> frame;
    std::vector<std::string> log;
    bool refuseUpdate = false;
};

TEST_F(Frame, ShowsTheRowAndWritesWhatThePersonChanges) {
    bind(kCompanyRows);
    EXPECT_EQ(frame->status(), frame::StatusViewing);
    EXPECT_EQ(page->ind->text(), "1");
    EXPECT_EQ(page->flg->text(), "0");
    EXPECT_EQ(page->dep->text(), "D1");
    EXPECT_EQ(page->depDescription->caption(), "Deposito centrale");
    EXPECT_EQ(page->step->text(), "10");
    EXPECT_EQ(page->nota->text(), "prima");
    takeLog();

    EXPECT_TRUE(page->ind->userSelect("2").accepted());
    EXPECT_EQ(frame->status(), frame::StatusChanging);
    EXPECT_TRUE(field("IND").identical(Variant(std::int16_t{2})));
    EXPECT_TRUE(page->flg->userClick().accepted());
    EXPECT_TRUE(field("FLG").identical(Variant(std::int16_t{1})));
    EXPECT_TRUE(page->dep->userEnter("d2").accepted());
    EXPECT_TRUE(page->step->userEnter("25").accepted());
    EXPECT_TRUE(page->nota->userEnter("").accepted());
    EXPECT_EQ(takeLog(), (std::vector<std::string>{"ChangeStatus(1,1)"}));

    EXPECT_TRUE(frame->confirm());
    EXPECT_EQ(frame->status(), frame::StatusViewing);
    EXPECT_EQ(stored("SELECT IND FROM PARAM WHERE CODICE = 'A'").toInt32(), 2);
    EXPECT_EQ(stored("SELECT FLG FROM PARAM WHERE CODICE = 'A'").toInt32(), 1);
    EXPECT_EQ(stored("SELECT DEP FROM PARAM WHERE CODICE = 'A'").toText(), "D2");
    EXPECT_EQ(stored("SELECT STEP FROM PARAM WHERE CODICE = 'A'").toInt32(), 25);
    EXPECT_TRUE(storedNota("A").isNull());
    EXPECT_EQ(stored("SELECT NOTA FROM PARAM WHERE CODICE = 'B'").type(), Variant::Type::Null);
}

TEST_F(Frame, ACodeReadPaddedWithBlanksIsShownWithoutThem) {
    exec("UPDATE PARAM SET DEP = 'D1        ', NOTA = 'prima   ' WHERE CODICE = 'A'");
    bind(kCompanyRows);
    EXPECT_EQ(page->dep->text(), "D1");
    EXPECT_EQ(page->depDescription->caption(), "Deposito centrale");
    EXPECT_EQ(page->nota->text(), "prima");
    // Shown trimmed, the value in the record stays as read until the person changes it.
    EXPECT_EQ(field("DEP").toText(), "D1        ");
    EXPECT_EQ(frame->status(), frame::StatusViewing);
}

TEST_F(Frame, TypedTextBecomesTheColumnsTypeOrIsRefused) {
    bind(kCompanyRows);
    struct Case {
        std::shared_ptr<controls::EditM> ParamPage::*edit;
        const char* column;
        const char* typed;
        InputStatus status;
        Variant expected;
    };
    const Case cases[] = {
        {&ParamPage::step, "STEP", "42", InputStatus::Accepted, Variant(std::int32_t{42})},
        {&ParamPage::step, "STEP", "abc", InputStatus::Refused, Variant(std::int32_t{42})},
        {&ParamPage::step, "STEP", "  ", InputStatus::Accepted, Variant::null()},
        {&ParamPage::dep, "DEP", "d1", InputStatus::Accepted, Variant("D1")},
        {&ParamPage::dep, "DEP", "", InputStatus::Accepted, Variant::null()},
        {&ParamPage::nota, "NOTA", "una nota molto lunga, troppo", InputStatus::Accepted,
         Variant("una nota molto lunga")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.column) + " <- '" + c.typed + "'");
        auto& edit = *((*page).*(c.edit));
        EXPECT_EQ(edit.userEnter(c.typed).status, c.status);
        EXPECT_TRUE(field(c.column).identical(c.expected)) << field(c.column).describe();
    }
}

TEST_F(Frame, CancelledValidateKeepsTheValueOutOfTheRecord) {
    bind(kCompanyRows);
    page->step->Validate.connect([&](bool& cancel) { cancel = page->step->text() == "999"; });
    EXPECT_EQ(page->step->userEnter("999").status, InputStatus::Refused);
    EXPECT_EQ(page->page.focused(), page->step.get());
    EXPECT_EQ(page->step->text(), "999");
    EXPECT_TRUE(field("STEP").identical(Variant(std::int32_t{10})));
    EXPECT_EQ(frame->status(), frame::StatusViewing);
    EXPECT_TRUE(frame->queryClose(true, 0, true));  // nothing pending: no question
    EXPECT_TRUE(presenter.boxes().empty());
}

TEST_F(Frame, LoadingARowRaisesChangeEventsSoEnablingRulesFollowTheRow) {
    page->ind->ChangeRow.connect(
        [&] { page->flg->setEnabled(numericValue(Variant(page->ind->text())) >= 2); });
    // A rule that writes a dependent control while the row is shown.
    page->flg->Click.connect([&] {
        if (!page->flg->checked()) {
            page->nota->setText("");
        }
    });
    bind(kCompanyRows);
    EXPECT_FALSE(page->flg->enabled());  // row A: IND 1
    EXPECT_EQ(frame->status(), frame::StatusViewing);
    EXPECT_FALSE(frame->dirty());

    EXPECT_TRUE(bar->userClick("successivo").accepted());
    EXPECT_EQ(page->ind->text(), "2");
    EXPECT_TRUE(page->flg->enabled());  // row B: IND 2
    EXPECT_TRUE(bar->userClick("precedente").accepted());
    EXPECT_FALSE(page->flg->enabled());
    EXPECT_EQ(frame->status(), frame::StatusViewing);
    EXPECT_TRUE(presenter.boxes().empty());
}

TEST_F(Frame, AValueARuleWritesIntoTheRowIsShownAtOnce) {
    // Ticking the flag writes the indicator straight into the record, as some rules do.
    page->flg->Click.connect([&] {
        if (page->flg->checked()) {
            (*recordset)["IND"].setValue(Variant(std::int16_t{2}));
        }
    });
    int indicatorChanges = 0;
    page->ind->ChangeRow.connect([&] { ++indicatorChanges; });
    bind(kCompanyRows);
    ASSERT_EQ(page->ind->text(), "1");
    indicatorChanges = 0;

    EXPECT_TRUE(page->flg->userClick().accepted());
    EXPECT_EQ(page->ind->text(), "2");
    EXPECT_EQ(indicatorChanges, 1) << "the enabling rules follow what is shown";
    // Writing the same value again shows nothing new.
    (*recordset)["IND"].setValue(Variant(std::int16_t{2}));
    EXPECT_EQ(indicatorChanges, 1);
    // The person's own changes go on as before.
    EXPECT_TRUE(page->ind->userSelect("0").accepted());
    EXPECT_TRUE(field("IND").identical(Variant(std::int16_t{0})));
    EXPECT_EQ(frame->status(), frame::StatusChanging);
}

TEST_F(Frame, AddConfirmAndUndoRaiseTheirEventsInOrder) {
    bind(kCompanyRows);
    frame->AfterAddNew.connect([&](long) {
        (*recordset)["DITTA"].setValue(Variant(std::int32_t{1}));
        (*recordset)["CODICE"].setValue(Variant("C"));
        (*recordset)["IND"].setValue(Variant(std::int16_t{0}));
    });
    takeLog();
    struct Step {
        const char* what;
        std::function<bool()> action;
        std::vector<std::string> events;
        int status;
    };
    const Step steps[] = {
        {"add", [&] { return frame->addNew(); }, {"AfterAddNew(1)", "ChangeStatus(2,2)"}, 2},
        {"type on the new row", [&] { return page->step->userEnter("3").accepted(); }, {}, 2},
        {"confirm",
         [&] { return frame->confirm(); },
         {"BeforeUpdate", "AfterUpdate(1)", "ChangeStatus(0,3)"},
         0},
        {"change",
         [&] { return page->nota->userEnter("cambiata").accepted(); },
         {"ChangeStatus(1,1)"},
         1},
        {"undo", [&] { return frame->undo(); }, {"AfterUndo(1)", "ChangeStatus(0,4)"}, 0},
        {"add again",
         [&] { return bar->userClick("nuovo").accepted(); },
         {"AfterAddNew(1)", "ChangeStatus(2,2)"},
         2},
        {"undo the new row",
         [&] { return bar->userClick("Annulla").accepted(); },
         {"AfterUndo(1)", "ChangeStatus(0,4)"},
         0},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        EXPECT_TRUE(s.action());
        EXPECT_EQ(takeLog(), s.events);
        EXPECT_EQ(frame->status(), s.status);
        if (std::string(s.what) == "add") {
            EXPECT_EQ(page->ind->text(), "0");  // written by the handler, shown after it
            EXPECT_EQ(page->nota->text(), "");
        }
    }
    EXPECT_EQ(count("PARAM"), 3);
    EXPECT_EQ(stored("SELECT STEP FROM PARAM WHERE CODICE = 'C'").toInt32(), 3);
    EXPECT_TRUE(storedNota("C").isNull());
    EXPECT_EQ(recordset->recordCount(), 3);
    EXPECT_EQ(page->nota->text(), "");  // back on row C as written
}

TEST_F(Frame, RefusedBeforeUpdateKeepsTheChangesAndTheStatus) {
    bind(kCompanyRows);
    refuseUpdate = true;
    page->ind->userSelect("0");
    EXPECT_FALSE(frame->confirm());
    EXPECT_EQ(frame->status(), frame::StatusChanging);
    EXPECT_EQ(page->ind->text(), "0");
    EXPECT_TRUE(field("IND").identical(Variant(std::int16_t{0})));
    EXPECT_EQ(stored("SELECT IND FROM PARAM WHERE CODICE = 'A'").toInt32(), 1);

    refuseUpdate = false;
    EXPECT_TRUE(frame->confirm());
    EXPECT_EQ(stored("SELECT IND FROM PARAM WHERE CODICE = 'A'").toInt32(), 0);
}

TEST_F(Frame, ASecondWriterIsNeitherOverwrittenNorLost) {
    bind(kCompanyRows);
    EXPECT_TRUE(page->nota->userEnter("mia").accepted());
    auto other = connect();
    other->execute("UPDATE PARAM SET NOTA = 'altrui' WHERE DITTA = 1 AND CODICE = 'A'", nullptr,
                   ado::adCmdText | ado::adExecuteNoRecords);
    other->close();

    EXPECT_FALSE(frame->confirm());
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{
                              "Il record è stato modificato da un altro utente: i dati non sono "
                              "stati salvati. Annullare le modifiche e rileggere il record."}));
    EXPECT_EQ(storedNota("A").toText(), "altrui");
    EXPECT_EQ(frame->status(), frame::StatusChanging);
    EXPECT_EQ(page->nota->text(), "mia");

    EXPECT_TRUE(frame->undo());  // reads the row again
    EXPECT_EQ(page->nota->text(), "altrui");
    EXPECT_TRUE(page->nota->userEnter("mia di nuovo").accepted());
    EXPECT_TRUE(frame->confirm());
    EXPECT_EQ(storedNota("A").toText(), "mia di nuovo");
}

// Yes with a save the rules refuse keeps the window open on the changes.
TEST_F(Frame, QueryCloseAsksAboutPendingChangesOnly) {
    struct Case {
        int answer;
        bool refused;
        bool mayClose;
        int status;
        const char* stored;
        const char* shown;
    };
    const Case cases[] = {
        {host::vbYes, false, true, 0, "nuova", "nuova"},
        {host::vbYes, true, false, 1, "prima", "nuova"},
        {host::vbNo, false, true, 0, "prima", "prima"},
        {host::vbCancel, false, false, 1, "prima", "nuova"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.answer) + (c.refused ? " refused" : ""));
        exec("UPDATE PARAM SET NOTA = 'prima' WHERE CODICE = 'A'");
        bind(kCompanyRows);
        refuseUpdate = c.refused;
        const std::size_t before = presenter.boxes().size();
        EXPECT_TRUE(frame->queryClose(true, 0, true));
        EXPECT_EQ(presenter.boxes().size(), before);
        page->nota->userEnter("nuova");
        presenter.queue(c.answer);
        EXPECT_EQ(frame->queryClose(true, 0, true), c.mayClose);
        ASSERT_EQ(presenter.boxes().size(), before + 1);
        EXPECT_EQ(presenter.boxes().back().text, "Salvare le modifiche apportate?");
        EXPECT_EQ(presenter.boxes().back().buttons, host::vbYesNoCancel | host::vbQuestion);
        EXPECT_EQ(frame->status(), c.status);
        EXPECT_EQ(storedNota("A").toText(), c.stored);
        EXPECT_EQ(page->nota->text(), c.shown);
        frame->terminate();
        page = std::make_unique<ParamPage>(connectionString());
    }
}

TEST_F(Frame, AnEmptyReopenStartsANewRowByItself) {
    bind("SELECT * FROM PARAM WHERE DITTA = 1 AND CODICE = 'A'");
    frame->AfterAddNew.connect(
        [&](long) { (*recordset)["IND"].setValue(Variant(std::int16_t{2})); });
    takeLog();

    ASSERT_TRUE(frame->queryClose(true, 0, true));
    reopen("SELECT * FROM PARAM WHERE DITTA = 1 AND CODICE = 'Z'");
    EXPECT_EQ(frame->status(), frame::StatusInserting);
    EXPECT_EQ(takeLog(), (std::vector<std::string>{"AfterAddNew(1)", "ChangeStatus(2,2)"}));
    EXPECT_EQ(page->ind->text(), "2");
    EXPECT_EQ(page->nota->text(), "");
    EXPECT_TRUE(frame->queryClose(true, 0, true));  // a new row nobody touched: no question
    EXPECT_TRUE(presenter.boxes().empty());

    (*recordset)["DITTA"].setValue(Variant(std::int32_t{1}));
    (*recordset)["CODICE"].setValue(Variant("Z"));
    EXPECT_TRUE(page->nota->userEnter("nuovo documento").accepted());
    EXPECT_TRUE(frame->confirm());
    EXPECT_EQ(storedNota("Z").toText(), "nuovo documento");

    // Reopening on a code that has a row shows it.
    reopen("SELECT * FROM PARAM WHERE DITTA = 1 AND CODICE = 'B'");
    EXPECT_EQ(frame->status(), frame::StatusViewing);
    EXPECT_EQ(page->ind->text(), "2");
    EXPECT_EQ(page->step->text(), "5");
}

TEST_F(Frame, ACompanyWithoutARowStartsInANewRow) {
    bind("SELECT * FROM PARAM WHERE DITTA = 2");
    EXPECT_EQ(frame->status(), frame::StatusInserting);
    EXPECT_EQ(takeLog(), (std::vector<std::string>{"AfterAddNew(1)", "ChangeStatus(2,2)"}));
    frame->setStatus(0);  // the untouched new row of an empty set stays as it is
    EXPECT_EQ(frame->status(), frame::StatusInserting);
    EXPECT_EQ(recordset->recordCount(), 1);
    EXPECT_TRUE(takeLog().empty());

    EXPECT_TRUE(page->nota->userEnter("scritta").accepted());
    frame->setStatus(0);  // a touched one is dropped, and a fresh one takes its place
    EXPECT_EQ(frame->status(), frame::StatusInserting);
    EXPECT_EQ(recordset->recordCount(), 1);
    EXPECT_EQ(page->nota->text(), "");
    EXPECT_EQ(takeLog(), (std::vector<std::string>{"ChangeStatus(0,5)", "AfterAddNew(1)",
                                                   "ChangeStatus(2,2)"}));
    EXPECT_EQ(count("PARAM"), 2);
}

TEST_F(Frame, AStatusHandlerCanTakeBackASecondNewRow) {
    bind(kCompanyRows);
    frame->ChangeStatus.connect([&](long status, long) {
        if (status == frame::StatusInserting && recordset->recordCount() >= 2) {
            frame->setStatus(0);
        }
    });
    takeLog();
    EXPECT_TRUE(bar->userClick("nuovo").accepted());
    EXPECT_EQ(frame->status(), frame::StatusViewing);
    EXPECT_EQ(recordset->recordCount(), 2);
    EXPECT_EQ(page->nota->text(), "prima");
    EXPECT_EQ(takeLog(), (std::vector<std::string>{"AfterAddNew(1)", "ChangeStatus(2,2)",
                                                   "ChangeStatus(0,5)"}));
    EXPECT_EQ(count("PARAM"), 2);
}

TEST_F(Frame, ButtonClickCanCancelTheBarsDefaultAction) {
    bind(kCompanyRows);
    bool cancelNew = true;
    std::vector<std::string> pressed;
    bar->ButtonClick.connect([&](bool& cancel, const std::string& button) {
        pressed.push_back(button);
        cancel = button == "nuovo" && cancelNew;
    });
    EXPECT_EQ(bar->userClick("nuovo").status, InputStatus::Refused);
    EXPECT_EQ(frame->status(), frame::StatusViewing);
    EXPECT_EQ(recordset->recordCount(), 2);
    cancelNew = false;
    EXPECT_TRUE(bar->userClick("nuovo").accepted());
    EXPECT_EQ(frame->status(), frame::StatusInserting);
    EXPECT_EQ(recordset->recordCount(), 3);
    EXPECT_EQ(pressed, (std::vector<std::string>{"nuovo", "nuovo"}));
}

// No to the question keeps the row: the next test, by each way the question reaches the person.
TEST_F(Frame, DeleteHappensOnlyAfterTheQuestionIsAnsweredYes) {
    bind(kCompanyRows);
    presenter.queue(host::vbYes);
    EXPECT_TRUE(bar->userClick("elimina").accepted());
    EXPECT_EQ(count("PARAM"), 1);
    EXPECT_EQ(stored("SELECT CODICE FROM PARAM").toText(), "B");
    EXPECT_EQ(page->step->text(), "5");
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Eliminare il record corrente?"}));
}

TEST_F(Frame, QuestionsReachThePersonHoweverTheMessageServiceIsGiven) {
    enum class Route { Setter, ProgramInterface, ThreadPresenter };
    for (Route route : {Route::Setter, Route::ProgramInterface, Route::ThreadPresenter}) {
        SCOPED_TRACE(static_cast<int>(route));
        page = std::make_unique<ParamPage>(connectionString());
        host::ScriptedPresenter own;
        host::ScopedPresenter current(own);
        if (route == Route::Setter) {
            bind(kCompanyRows);
        } else {
            auto program = std::make_shared<host::HostProgramInterface>();
            auto global = std::make_shared<host::ClsGlobal>();
            if (route == Route::ProgramInterface) {
                global->setMessageService(service);
            }
            program->setClsGlobal(global);
            bind(kCompanyRows, program);
        }
        frame->setCaption("Parametri generali");
        auto& expected = route == Route::ThreadPresenter ? own : presenter;
        const std::size_t before = expected.boxes().size();
        expected.queue(host::vbNo);
        EXPECT_EQ(bar->userClick("elimina").status, InputStatus::Refused);
        ASSERT_EQ(expected.boxes().size(), before + 1);
        EXPECT_EQ(expected.boxes().back().text, frame::DeleteQuestion);
        EXPECT_EQ(expected.boxes().back().title, "Parametri generali");
        EXPECT_EQ(count("PARAM"), 2);
        frame->terminate();
    }
}

TEST_F(Frame, LockedFrameAndRemovedControlsTakeNoChanges) {
    bind(kCompanyRows);
    frame->setLocked(true);
    EXPECT_EQ(page->ind->userSelect("2").status, InputStatus::Refused);
    EXPECT_EQ(page->ind->text(), "1");
    EXPECT_FALSE(frame->addNew());
    frame->setLocked(false);

    frame->removeControlsOf(page->page);
    EXPECT_TRUE(frame->controls().empty());
    EXPECT_TRUE(page->ind->userSelect("2").accepted());  // the page's own value only
    EXPECT_TRUE(field("IND").identical(Variant(std::int16_t{1})));
    EXPECT_EQ(frame->status(), frame::StatusViewing);
}

TEST_F(Frame, ABlankStandInTakesNothingAndWritesNothingUntilReopened) {
    bind("SELECT * FROM PARAM WHERE 1 = 0");
    frame->undo();  // back to an empty set: the frame started a new row by itself
    frame->reset();
    recordset->close();
    recordset->open(ado::adOpenUnspecified, ado::adLockUnspecified, ado::adOptionUnspecified);
    takeLog();
    frame->showBlank("Indicare prima il codice documento.");
    EXPECT_EQ(frame->status(), frame::StatusViewing);
    EXPECT_TRUE(frame->blank());
    EXPECT_TRUE(takeLog().empty()) << "no AfterAddNew: nothing was started";

    auto typed = page->nota->userEnter("scritto");
    EXPECT_EQ(typed.status, InputStatus::Refused);
    EXPECT_EQ(typed.message, "Indicare prima il codice documento.");
    for (const char* button : {"nuovo", "elimina", "Conferma", "Annulla", "primo"}) {
        SCOPED_TRACE(button);
        bar->press(button);
        EXPECT_EQ(frame->status(), frame::StatusViewing);
    }
    EXPECT_TRUE(frame->queryClose(true, 0, true));
    EXPECT_TRUE(presenter.boxes().empty());
    EXPECT_EQ(count("PARAM"), 2);

    // The owner reopens on a real selection: an empty one starts a real new row.
    reopen("SELECT * FROM PARAM WHERE DITTA = 1 AND CODICE = 'Z'");
    EXPECT_FALSE(frame->blank());
    EXPECT_EQ(frame->status(), frame::StatusInserting);
    EXPECT_TRUE(page->nota->userEnter("scritto").accepted());
}

// Whatever the database says when it refuses a write, the person reads a sentence of ours; the
// database's own text goes to the log.
TEST_F(Frame, ARefusedWriteIsToldInOurWordsAndLoggedInTheEngines) {
    std::vector<std::string> logged;
    diag::setLogSink([&](std::string_view line) { logged.emplace_back(line); });
    struct Case {
        const char* name;
        const char* code;  // the key written into the new row; null for none
        const char* expected;
    };
    const Case cases[] = {
        {"missing key", nullptr, "I dati non sono stati salvati: manca un valore obbligatorio."},
        {"key another user wrote", "A",
         "I dati non sono stati salvati: un altro utente ha creato lo stesso record nel "
         "frattempo. Annullare le modifiche per vedere il record salvato."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bind("SELECT * FROM PARAM WHERE DITTA = 1 AND CODICE = 'A' AND 1 = 0");
        ASSERT_EQ(frame->status(), frame::StatusInserting);
        (*recordset)["DITTA"].setValue(Variant(std::int32_t{1}));
        if (c.code != nullptr) {
            (*recordset)["CODICE"].setValue(Variant(c.code));
        }
        ASSERT_TRUE(page->nota->userEnter("nuova").accepted());
        logged.clear();
        const std::size_t before = presenter.boxes().size();
        EXPECT_FALSE(frame->confirm());
        EXPECT_EQ(frame->status(), frame::StatusInserting) << "the person's row is kept";
        ASSERT_EQ(presenter.boxes().size(), before + 1);
        EXPECT_EQ(presenter.boxes().back().text, c.expected);
        ASSERT_EQ(logged.size(), 1u);
        EXPECT_NE(logged.front().find("constraint failed"), std::string::npos) << logged.front();
        frame->undo();
        frame->terminate();
        frame.reset();
    }
    diag::setLogSink(nullptr);
    EXPECT_EQ(count("PARAM"), 2);
    EXPECT_EQ(storedNota("A").toText(), "prima");
}

}  // namespace
}  // namespace krl::ui_testing

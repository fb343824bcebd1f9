#include <gtest/gtest.h>

#include "krl/host/error_log.h"
#include "krl/host/formatters.h"
#include "krl/host/global.h"
#include "krl/host/host_interface.h"
#include "krl/host/navigator.h"
#include "krl/host/presenter.h"
#include "krl/host/print.h"

namespace krl::host {
namespace {

TEST(ErrorLog, ReportsTheErrorAndTheProviderErrorsAndReturnsTheAnswer) {
    ScriptedPresenter presenter;
    ScopedPresenter scope(presenter);
    presenter.queue(vbRetry);

    krl::ado::Errors providerErrors;
    providerErrors.add({-2147467259, "no such table: PD42_ZOVRENA", "sqlite", "HY000", 1});
    ErrorLog log;
    log.setError(VbError(3704, "Operazione non consentita se l'oggetto è chiuso."));
    log.setProviderErrors(providerErrors);
    EXPECT_EQ(log.report("Produzione", "Parametri generali", "LoadDataParametri"), vbRetry);
    EXPECT_EQ(log.report("Produzione", "", "InitConnection"), vbAbort);

    auto boxes = presenter.boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].buttons, 4370);
    EXPECT_EQ(boxes[0].title, "Produzione - Parametri generali");
    EXPECT_NE(boxes[0].text.find("LoadDataParametri"), std::string::npos);
    EXPECT_NE(boxes[0].text.find("3704"), std::string::npos);
    EXPECT_NE(boxes[0].text.find("l'oggetto è chiuso"), std::string::npos);
    EXPECT_NE(boxes[0].text.find("no such table: PD42_ZOVRENA"), std::string::npos);
    // A report clears what it was given: the next one does not repeat an old error.
    EXPECT_EQ(boxes[1].title, "Produzione");
    EXPECT_EQ(boxes[1].text.find("3704"), std::string::npos);
    EXPECT_EQ(boxes[1].text.find("no such table"), std::string::npos);
}

TEST(NumberFormatter, WritesSqlNumbersWithAPoint) {
    struct Case {
        Variant value;
        std::string expected;
    };
    const Case cases[] = {
        {Variant(std::int32_t{12}), "12"},
        {Variant(std::int64_t{1234567890123456789}), "1234567890123456789"},
        {Variant(2.5), "2.5"},
        {Variant("3,75"), "3.75"},
        {Variant(-0.125), "-0.125"},
        {Variant(true), "-1"},
    };
    NumberFormatter formatter;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.describe());
        EXPECT_EQ(formatter.sqlText(c.value), c.expected);
    }
    EXPECT_THROW(formatter.sqlText(Variant("abc")), VbError);
}

TEST(DateFormatter, ChecksDatesAndWritesTheDatabaseFormat) {
    struct Case {
        std::string text;
        int code;
        std::string dbFormat;
    };
    const Case cases[] = {
        {"31/12/2024", DateFormatter::Valid, "20241231"},
        {"1/2/2024", DateFormatter::Valid, "20240201"},
        {"29-02-2024", DateFormatter::Valid, "20240229"},
        {"05.06.29", DateFormatter::Valid, "20290605"},
        {"05.06.30", DateFormatter::Valid, "19300605"},
        {"2024-03-09", DateFormatter::Valid, "20240309"},
        {"20240309", DateFormatter::Valid, "20240309"},
        {" 01/01/2000 08:30 ", DateFormatter::Valid, "20000101 08:30:00"},
        {"", DateFormatter::Blank, ""},
        {"   ", DateFormatter::Blank, ""},
        {"29/02/2023", DateFormatter::OutOfRange, ""},
        {"31/04/2024", DateFormatter::OutOfRange, ""},
        {"01/13/2024", DateFormatter::OutOfRange, ""},
        {"01/01/2024 25:00", DateFormatter::OutOfRange, ""},
        {"domani", DateFormatter::NotADate, ""},
        {"1/2", DateFormatter::NotADate, ""},
        {"01/01/2024 mattina", DateFormatter::NotADate, ""},
        {"1'/01/2024", DateFormatter::NotADate, ""},
    };
    DateFormatter formatter;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(formatter.setText(c.text), c.code);
        EXPECT_EQ(formatter.code(), c.code);
        EXPECT_EQ(formatter.dbFormat(), c.dbFormat);
    }
}

class RecordingSink : public NavigatorEvents {
  public:
    explicit RecordingSink(bool cancels) : cancels_(cancels) {}
    void BeforeChangeDitta(bool& cancel) override { hear("BeforeChangeDitta", cancel); }
    void BeforeExportToOffice(bool& cancel, ExportToOffice& request) override {
        request.TitoloMaster += "|seen";
        hear("BeforeExportToOffice", cancel);
    }
    void InitializeLayoutObjectModel(bool& cancel, LayoutModel&) override {
        hear("InitializeLayoutObjectModel", cancel);
    }
    void InitializeScriptObjectModel(bool& cancel, ScriptModel&) override {
        hear("InitializeScriptObjectModel", cancel);
    }
    void ButtonPressed(bool& cancel, long button) override {
        hear("ButtonPressed " + std::to_string(button), cancel);
    }
    std::vector<std::string> heard;

  private:
    void hear(std::string event, bool& cancel) {
        heard.push_back(std::move(event));
        if (cancels_) {
            cancel = true;
        }
    }
    bool cancels_;
};

TEST(Navigator, RaisesEachEventToEveryProgramStillThere) {
    Navigator navigator;
    auto quiet = std::make_shared<RecordingSink>(false);
    auto refusing = std::make_shared<RecordingSink>(true);
    auto gone = std::make_shared<RecordingSink>(true);
    navigator.connect(quiet);
    navigator.connect(refusing);
    navigator.connect(gone);
    navigator.connect(quiet);  // connecting twice does not hear twice
    gone.reset();

    EXPECT_TRUE(navigator.raiseBeforeChangeDitta());
    ExportToOffice request;
    EXPECT_TRUE(navigator.raiseBeforeExportToOffice(request));
    EXPECT_EQ(request.TitoloMaster, "|seen|seen");

    navigator.disconnect(refusing.get());
    EXPECT_FALSE(navigator.raiseButtonPressed(25));
    EXPECT_FALSE(navigator.raiseInitializeScriptObjectModel());
    EXPECT_EQ(navigator.connectedSinks(), 1u);

    EXPECT_EQ(quiet->heard,
              (std::vector<std::string>{"BeforeChangeDitta", "BeforeExportToOffice",
                                        "ButtonPressed 25", "InitializeScriptObjectModel"}));
    EXPECT_EQ(refusing->heard,
              (std::vector<std::string>{"BeforeChangeDitta", "BeforeExportToOffice"}));
}

TEST(Navigator, DroppingAnObjectForgetsItInTheModels) {
    Navigator navigator;
    auto page = std::make_shared<Object>();
    auto other = std::make_shared<Object>();
    ObjectPtr byReference = page;
    navigator.scriptModel()->registerObject("CTLPD_PRG_INDGES", byReference, Variant(), "Pagina");
    ObjectPtr second = other;
    navigator.scriptModel()->registerObject("FME_PARAMETRI", second, Variant(std::int32_t{3}),
                                            "FME_PARAMETRI");
    navigator.layoutModel()->registerPage("Pagina", page, nullptr);
    EXPECT_EQ(byReference, page) << "the model leaves the reference as it was";

    navigator.dropReferences(page.get());
    ASSERT_EQ(navigator.scriptModel()->entries().size(), 1u);
    EXPECT_EQ(navigator.scriptModel()->entries()[0].name, "FME_PARAMETRI");
    EXPECT_TRUE(navigator.layoutModel()->pages().empty());
}

TEST(ClsGlobal, KeepsProgramsWithoutOwningThem) {
    ClsGlobal global;
    auto program = std::make_shared<HostProgramInterface>();
    auto other = std::make_shared<HostProgramInterface>();
    global.registerProgram(Variant(std::int32_t{10}), program);
    global.registerProgram(Variant("20"), other);
    global.setCurrentProgram(program);
    EXPECT_EQ(global.registeredProgram(Variant("10")), program) << "ids compare by their text";

    global.deregisterProgram(Variant(std::int32_t{10}));
    EXPECT_EQ(global.registeredProgram(Variant(std::int32_t{10})), nullptr);
    EXPECT_EQ(global.currentProgram(), nullptr) << "a deregistered program is no longer current";

    global.setCurrentProgram(other);
    global.dropProgram(other.get());
    EXPECT_EQ(global.currentProgram(), nullptr);
    EXPECT_EQ(global.registeredProgram(Variant("20")), nullptr);

    global.setCurrentProgram(program);
    program.reset();
    EXPECT_EQ(global.currentProgram(), nullptr) << "the host owns its programs";
}

TEST(ClsGlobal, ToolbarButtonsAreFoundByName) {
    ClsGlobal global;
    auto buttons = global.toolbarButtons();
    buttons->setEnabled("FirstRecord", false);
    EXPECT_FALSE(buttons->enabled("FirstRecord"));
    EXPECT_TRUE(buttons->enabled("ExecuteQuery"));
    try {
        buttons->setEnabled("Inesistente", false);
        ADD_FAILURE() << "no error";
    } catch (const VbError& error) {
        EXPECT_EQ(error.number(), 35601);
    }
    EXPECT_EQ(global.imageList()->picture("KProgrammaMM").key, "KProgrammaMM");
    EXPECT_THROW(global.imageList()->picture("KAltro"), VbError);
}

class RecordingPrinter : public PrintPresenter {
  public:
    void print(const PrintSheet& sheet) override { sheets.push_back(sheet); }
    std::vector<PrintSheet> sheets;
};

TEST(PrintObject, HandsTheProgramsSheetToThePrinterOfTheThread) {
    auto program = std::make_shared<HostProgramInterface>();
    program->setCaption(Variant("Parametri di gestione"));
    PrintObject print;
    print.setProgramInterface(program);
    EXPECT_THROW(print.print(), VbError) << "no printer on this thread";

    RecordingPrinter printer;
    ScopedPrintPresenter scope(printer);
    print.print();
    print.setSheetProducer([](Cinterface* source) {
        PrintSheet sheet;
        sheet.title = source->caption().textOrEmpty() + " - ditta 1";
        sheet.rows.push_back({"Indicatori", "Gestione cicli", "Si"});
        return sheet;
    });
    print.print();
    print.close();
    EXPECT_EQ(print.programInterface(), nullptr);

    ASSERT_EQ(printer.sheets.size(), 2u);
    EXPECT_EQ(printer.sheets[0].title, "Parametri di gestione");
    EXPECT_TRUE(printer.sheets[0].rows.empty());
    EXPECT_EQ(printer.sheets[1].title, "Parametri di gestione - ditta 1");
    ASSERT_EQ(printer.sheets[1].rows.size(), 1u);
    EXPECT_EQ(printer.sheets[1].rows[0].value, "Si");
}

}  // namespace
}  // namespace krl::host

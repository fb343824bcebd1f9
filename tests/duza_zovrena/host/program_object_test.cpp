#include <gtest/gtest.h>

#include "duza_zovrena/host/clspd_zovrena.h"
#include "host_fixture.h"
#include "krl/host/catalogue_message_service.h"
#include "krl/host/menu_entry.h"

namespace duza_zovrena::host::testing {
namespace {

const char* const companyChangeText =
    "Il cambio azienda comporta la chiusura del programma, proseguo ?";

TEST_F(HostFixture, ShowFormHandsTheProgramInterfaceOverBeforeTheLoadStarts) {
    struct Case {
        bool modal;
        Variant caption;
        std::vector<std::string> last;  // what follows the interface, the load and the object
    };
    const Case cases[] = {
        {false,
         Variant("Parametri di gestione"),
         {"caption Parametri di gestione", "show modeless"}},
        {true, Variant(std::int32_t{123}), {"caption 123", "show modal"}},
        // A caption that cannot become text leaves the design caption; the window still shows.
        {false, Variant::null(), {"show modeless"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption.describe());
        log_.clear();
        program_->setWindowState(2);
        program_->setWindowModal(c.modal);
        program_->setCaption(c.caption);
        EXPECT_TRUE(program_->showForm().isEmpty());
        std::vector<std::string> expected = {
            "programInterface", "windowState 2, load reads company 1", "programObject"};
        expected.insert(expected.end(), c.last.begin(), c.last.end());
        EXPECT_EQ(log_, expected);
        EXPECT_EQ(window().programInterface(), program_) << "ActiveDll is the object itself";
        program_->closeForm();
    }
}

TEST_F(HostFixture, ShowFormWithoutAWindowToCreateLeavesNothingBehind) {
    auto program = CLSPD_ZOVRENA::create(
        []() -> std::shared_ptr<ProgramWindow> { throw krl::VbError(7, "Memoria esaurita"); });
    EXPECT_TRUE(program->showForm().isEmpty());
    EXPECT_EQ(program->window(), nullptr);
    EXPECT_TRUE(program->closeForm().toBool()) << "nothing is open";
}

TEST_F(HostFixture, CompanyChangeAsksAndClosesTheProgramOnlyOnYes) {
    struct Case {
        const char* name;
        bool hostService;  // false: the program interface has been taken away
        int answer;
        bool refuseUnload;
        bool expectCancel;
        bool expectUnloaded;
    };
    const Case cases[] = {
        {"Yes closes", true, kh::vbYes, false, false, true},
        {"No keeps the program", true, kh::vbNo, false, true, false},
        {"Yes but the window keeps its changes", true, kh::vbYes, true, true, false},
        {"without host, Yes", false, kh::vbYes, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        kh::ScriptedPresenter presenter;
        kh::ScopedPresenter scope(presenter);
        program_->setActiveDll(c.hostService ? program_ : nullptr);
        program_->setCaption(Variant("Parametri ditta 1"));
        showForm();
        window().refuseUnload = c.refuseUnload;
        presenter.queue(c.answer);

        bool cancel = navigator_->raiseBeforeChangeDitta();

        EXPECT_EQ(cancel, c.expectCancel);
        EXPECT_EQ(window().unloaded, c.expectUnloaded);
        auto boxes = presenter.boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].buttons, kh::vbYesNo);
        EXPECT_EQ(boxes[0].title, "Parametri ditta 1");
        if (c.hostService) {
            EXPECT_EQ(boxes[0].messageId, 30178);
            EXPECT_EQ(boxes[0].text, companyChangeText);
        } else {
            EXPECT_EQ(boxes[0].messageId, 0);
            EXPECT_EQ(boxes[0].text, std::string("[x30178x] ") + companyChangeText);
        }
        window().refuseUnload = false;
        program_->closeForm();
        program_->setActiveDll(program_);
    }
}

TEST_F(HostFixture, AnInactiveProgramIgnoresEveryNavigatorEvent) {
    showForm();
    auto frame = frontFrame(1, 2);
    program_->setIsActive(false);
    presenter_.queue(kh::vbNo);
    RecordingMediaPresenter media;
    kh::ScopedMediaPresenter mediaScope(media);
    log_.clear();

    EXPECT_FALSE(navigator_->raiseBeforeChangeDitta());
    kh::ExportToOffice exportRequest;
    exportRequest.TitoloMaster = "Titolo dell'host";
    EXPECT_FALSE(navigator_->raiseBeforeExportToOffice(exportRequest));
    EXPECT_FALSE(navigator_->raiseInitializeLayoutObjectModel());
    EXPECT_FALSE(navigator_->raiseInitializeScriptObjectModel());
    EXPECT_FALSE(navigator_->raiseButtonPressed(25));

    EXPECT_TRUE(presenter_.boxes().empty());
    EXPECT_EQ(exportRequest.TitoloMaster, "Titolo dell'host");
    EXPECT_TRUE(log_.empty()) << "the window was not asked anything";
    EXPECT_TRUE(navigator_->scriptModel()->entries().empty());
    EXPECT_EQ(frame->name(), "Frame1");
    EXPECT_EQ(frame->updates, 0);
    EXPECT_TRUE(media.sessions.empty());
    EXPECT_FALSE(window().unloaded);
}

TEST_F(HostFixture, ActiveProgramAnswersExportLayoutAndScriptRequests) {
    showForm();
    auto frame = frontFrame(0, 1);
    log_.clear();

    kh::ExportToOffice exportRequest;
    navigator_->raiseBeforeExportToOffice(exportRequest);
    EXPECT_EQ(exportRequest.TitoloMaster, "Parametri di gestione");

    navigator_->raiseInitializeLayoutObjectModel();
    EXPECT_EQ(log_, (std::vector<std::string>{"InitializeLayoutObjectModel"}));

    navigator_->raiseInitializeScriptObjectModel();
    const auto& entries = navigator_->scriptModel()->entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "FRMPD_ZOVRENA");
    EXPECT_EQ(entries[0].object, program_->window());
    EXPECT_EQ(entries[0].kindOrControls.toInt32(), 0);
    EXPECT_EQ(entries[0].caption, "Parametri generali");
    EXPECT_EQ(frame->name(), "FME_PARAMETRI");
    EXPECT_EQ(entries[1].name, "FME_PARAMETRI");
    EXPECT_EQ(entries[1].object, frame);
    EXPECT_EQ(entries[1].kindOrControls.toInt32(), 3);
    EXPECT_EQ(entries[1].caption, "FME_PARAMETRI");
}

// Only button 25 opens the link, and only on a frame with a recordset.
TEST_F(HostFixture, OtherButtonsOrNoRecordsetOpenNoMultimediaLink) {
    showForm();
    auto frame = frontFrame(0, 2);
    RecordingMediaPresenter media;
    kh::ScopedMediaPresenter mediaScope(media);
    for (long button : {0L, 1L, 24L, 26L, 125L, -25L}) {
        SCOPED_TRACE(button);
        EXPECT_FALSE(navigator_->raiseButtonPressed(button));
    }
    EXPECT_EQ(frame->updates, 0);
    program_->setActiveFrame(std::make_shared<SimpleFrame>(2, nullptr));
    navigator_->raiseButtonPressed(25);
    program_->setActiveFrame(nullptr);
    navigator_->raiseButtonPressed(25);
    EXPECT_TRUE(presenter_.boxes().empty());
    EXPECT_TRUE(media.sessions.empty());
}

TEST_F(HostFixture, MultimediaLinkByFrameStatus) {
    struct Case {
        int status;
        bool refused;
        int updates;
    };
    const Case cases[] = {
        {2, true, 0},   // a row being inserted has nothing to link yet
        {0, false, 1},  // viewing: the frame confirms first
        {1, false, 0},  // changing: straight to the items
    };
    showForm();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        kh::ScriptedPresenter presenter;
        kh::ScopedPresenter scope(presenter);
        RecordingMediaPresenter media;
        kh::ScopedMediaPresenter mediaScope(media);
        auto frame = frontFrame(c.status, 2);

        navigator_->raiseButtonPressed(25);

        EXPECT_EQ(frame->updates, c.updates);
        if (c.refused) {
            auto boxes = presenter.boxes();
            ASSERT_EQ(boxes.size(), 1u);
            const auto& box = boxes[0];
            EXPECT_EQ(box.messageId, 30288);
            EXPECT_EQ(box.text,
                      "Il collegamento ai dati multimediali è possibile solamente in fase di "
                      "variazione");
            EXPECT_EQ(box.buttons, 64);
            EXPECT_EQ(box.title, "VidazIzozu");
            EXPECT_TRUE(media.sessions.empty());
            continue;
        }
        EXPECT_TRUE(presenter.boxes().empty());
        ASSERT_EQ(media.sessions.size(), 1u);
        const kh::MediaOpenRequest& request = media.sessions[0]->request();
        EXPECT_EQ(request.userCode.textOrEmpty(), "demo");
        EXPECT_EQ(request.userValue.toInt32(), 3);
        EXPECT_EQ(request.connectionString, connectionString_);
        EXPECT_EQ(request.hwndParent, 4242) << "the host's main window owns the media dialog";
        EXPECT_EQ(request.mediaId.toInt32(), 5);
        EXPECT_EQ(request.flag1, 1);
        EXPECT_EQ(request.flag2, 0);
        EXPECT_EQ(media.sessions[0]->items().size(), 1u);
    }
}

TEST_F(HostFixture, ANewMediaItemIsLinkedToTheGeneralRowAndWrittenAtOnce) {
    showForm();
    frontFrame(1, 1);
    RecordingMediaPresenter media;
    kh::ScopedMediaPresenter mediaScope(media);
    navigator_->raiseButtonPressed(25);
    ASSERT_EQ(media.sessions.size(), 1u);
    EXPECT_TRUE(media.sessions[0]->request().mediaId.isNull());

    media.sessions[0]->attach("Disegno", "disegno.png", "png");

    EXPECT_EQ(storedMediaId(1).toInt32(), 6) << "one past the highest media id in use";
    EXPECT_EQ(storedMediaId(2).toInt32(), 5) << "only the current row is written";
    program_->RefreshProgramIcon();
    EXPECT_EQ(window().icon, "KProgrammaMM");
}

TEST_F(HostFixture, ProgramIconShowsWhetherMediaAreAttached) {
    showForm();
    struct Case {
        const char* name;
        int company;  // 0: no frame in front
        bool dropMediaPicture;
        std::string expected;
    };
    const Case cases[] = {
        {"no media id", 1, false, "KProgramma"},
        {"media id with items", 2, false, "KProgrammaMM"},
        {"media id without items", 3, false, "KProgramma"},
        {"no frame in front", 0, false, "KProgramma"},
        {"image list without the media picture", 2, true, "KProgramma"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window().icon = "none";
        if (c.company == 0) {
            program_->setActiveFrame(nullptr);
        } else {
            frontFrame(0, c.company);
        }
        auto images = std::make_shared<kh::ImageList>();
        images->add("KProgramma", "");
        if (!c.dropMediaPicture) {
            images->add("KProgrammaMM", "");
        }
        global_->setImageList(images);
        program_->RefreshProgramIcon();
        EXPECT_EQ(window().icon, c.expected);
    }
}

TEST_F(HostFixture, ShowMessageAndTranslateMessageByCase) {
    auto catalogue = std::make_shared<kh::MessageCatalogue>();
    catalogue->add(500, "Documento %1 dell'ordine");
    global_->setMessageService(std::make_shared<kh::CatalogueMessageService>(catalogue));
    const krl::VariantArray params{Variant("DDT'1")};
    struct Case {
        const char* name;
        bool host;
        long id;
        Variant params;
        int quote;
        std::string translated;
        long boxId;
        std::string boxText;
    };
    const Case cases[] = {
        {"host text by id", true, 500, Variant(params), 0, "Documento DDT'1 dell'ordine", 500,
         "Documento DDT'1 dell'ordine"},
        {"quotes doubled for SQL", true, 500, Variant(params), 1, "Documento DDT''1 dell''ordine",
         500, "Documento DDT'1 dell'ordine"},
        {"parameters only as an array", true, 500, Variant("DDT"), 0, "Documento %1 dell'ordine",
         500, "Documento %1 dell'ordine"},
        {"no id: the program's text", true, 0, Variant(), 1, "[x0x] L''ordine", 0, "L'ordine"},
        {"no host", false, 500, Variant(params), 1, "[x500x] L''ordine", 0, "[x500x] L'ordine"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        kh::ScriptedPresenter presenter;
        kh::ScopedPresenter scope(presenter);
        presenter.queue(kh::vbNo);
        program_->setActiveDll(c.host ? program_ : nullptr);

        EXPECT_EQ(program_->TranslateMessage("L'ordine", c.id, c.params, c.quote), c.translated);
        EXPECT_EQ(program_->ShowMessage("L'ordine", c.id, 36, "Titolo", c.params), kh::vbNo);
        ASSERT_EQ(presenter.boxes().size(), 1u);
        EXPECT_EQ(presenter.boxes()[0].messageId, c.boxId);
        EXPECT_EQ(presenter.boxes()[0].text, c.boxText);
        EXPECT_EQ(presenter.boxes()[0].title, "Titolo");
    }
    program_->setActiveDll(program_);
}

TEST_F(HostFixture, AMessageThatCannotBeShownAnswersZero) {
    global_->setMessageService(nullptr);
    EXPECT_EQ(program_->ShowMessage("testo", 30178, 4, "T"), 0);
    EXPECT_EQ(program_->TranslateMessage("testo", 43112, Variant(), 0), "");
    EXPECT_TRUE(presenter_.boxes().empty());
}

TEST_F(HostFixture, PropertiesKeepTheirValueWhenTheNewOneDoesNotFit) {
    struct Case {
        const char* member;
        Variant first;
        Variant second;
        Variant expected;  // read back after writing first, then second
    };
    const auto i = [](std::int32_t value) { return Variant(value); };
    const Case cases[] = {
        {"WindowState", i(2), i(70000), i(2)},
        {"WindowState", i(2), i(-32768), i(-32768)},
        {"ProgramMode", i(1), i(32768), i(1)},
        {"Left", i(120), Variant("abc"), i(120)},
        {"Left", i(120), Variant(" 12 "), i(12)},
        {"Left", i(120), Variant(3e9), i(120)},
        {"Top", i(7), Variant::null(), i(7)},
        {"Top", i(7), Variant(7.6), i(8)},
        {"Filtro", Variant("DITTA = 1"), i(3), Variant()},
        {"MenuPadre", Variant("PRODUZIONE"), Variant::null(), Variant::null()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.member) + " " + c.second.describe());
        krl::VariantArray first{c.first};
        krl::VariantArray second{c.second};
        krl::VariantArray none;
        kh::invoke(*program_, c.member, kh::MemberKind::Put, first);
        EXPECT_NO_THROW(kh::invoke(*program_, c.member, kh::MemberKind::Put, second));
        Variant read = kh::invoke(*program_, c.member, kh::MemberKind::Get, none);
        EXPECT_TRUE(read.identical(c.expected)) << read.describe();
    }
    EXPECT_EQ(program_->cwindow(), nullptr);
}

TEST_F(HostFixture, CloseFormTellsWhetherTheWindowIsGone) {
    showForm();
    window().refuseUnload = true;
    krl::VariantArray none;
    EXPECT_FALSE(kh::invoke(*program_, "CloseForm", kh::MemberKind::Call, none).toBool());
    EXPECT_EQ(window().programInterface(), program_) << "the window stays with its interface";

    window().refuseUnload = false;
    EXPECT_TRUE(kh::invoke(*program_, "CloseForm", kh::MemberKind::Call, none).toBool());
    EXPECT_EQ(window().programInterface(), nullptr);
}

TEST_F(HostFixture, TransferDataRaisesDataTransferWithTheHostsData) {
    std::vector<std::string> heard;
    program_->onDataTransfer([&](Variant& data) {
        heard.push_back(data.textOrEmpty());
        data = Variant("risposta");
    });
    program_->onDataTransfer([](Variant&) { throw krl::VbError(5, "rotto"); });
    krl::VariantArray args{Variant("richiesta")};
    EXPECT_TRUE(kh::invoke(*program_, "TransferData", kh::MemberKind::Call, args).isEmpty());
    EXPECT_EQ(heard, (std::vector<std::string>{"richiesta"}));
    EXPECT_EQ(args[0].textOrEmpty(), "risposta") << "Data is passed by reference";
}

TEST_F(HostFixture, TheHostCreatesTheProgramByProgId) {
    kh::ProgIdRegistry registry;
    registerProgramClass(registry);
    auto created =
        std::dynamic_pointer_cast<kh::Cinterface>(registry.create("duza_zovrena.clspd_zovrena"));
    ASSERT_TRUE(created);
    EXPECT_EQ(created->activeDll(), created);
    EXPECT_TRUE(created->filtro().isEmpty());
}

}  // namespace
}  // namespace duza_zovrena::host::testing

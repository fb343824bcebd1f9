#include <gtest/gtest.h>

#include <algorithm>

#include <functional>
#include <string>
#include <vector>

#include "duza_zovrena/pages/ctlpd_prg_indges.h"
#include "duza_zovrena/pages/page_list.h"
#include "krl/diag/trace.h"
#include "krl/host/multilingua.h"
#include "krl/host/progid.h"
#include "page_fixture.h"

namespace duza_zovrena::pages::testing {
namespace {

class PageProtocol : public PageTest {
  protected:
    std::shared_ptr<Page> create(const std::string& className) {
        krl::host::ProgIdRegistry registry;
        registerPages(registry);
        return std::dynamic_pointer_cast<Page>(registry.create(pageProgId(className)));
    }
};

// Which member the window leaves unset (or unusable) for the case.
enum class Missing {
    Nothing,
    ActiveInterface,
    VirtualFrame,
    Recordset,
    EmptyRecordset,
    RecordsetAtEnd,
    Connection,
    ClosedConnection,
    Decode,
    Lookup,
};

struct InitializeCase {
    std::string page;
    std::vector<Missing> missing;
    long message;  // 0: Initialize answers True
};

TEST_F(PageProtocol, Initialize_shows_the_first_failing_check_in_the_page_order) {
    const std::vector<InitializeCase> cases = {
        {"CTLPD_PRG_INDGES", {}, 0},
        {"CTLPD_PRG_INDGES", {Missing::ActiveInterface, Missing::VirtualFrame}, 5253},
        {"CTLPD_PRG_INDGES", {Missing::VirtualFrame, Missing::Recordset}, 60933},
        {"CTLPD_PRG_INDGES", {Missing::Recordset, Missing::Decode}, 48162},
        {"CTLPD_PRG_INDGES", {Missing::EmptyRecordset}, 48162},
        {"CTLPD_PRG_INDGES", {Missing::RecordsetAtEnd}, 48162},
        {"CTLPD_PRG_INDGES", {Missing::Decode, Missing::Lookup}, 38285},
        {"CTLPD_PRG_INDGES", {Missing::Lookup}, 38292},
        // The connection is checked before the decode and lookup objects on most pages...
        {"CTLPD_PRG_CICLI", {Missing::Connection, Missing::Decode}, 15170},
        {"CTLPD_PRG_LAVINTDOC", {Missing::ClosedConnection, Missing::Lookup}, 15170},
        // ...and after them on these.
        {"CTLPD_PRG_CLADOC", {Missing::Connection, Missing::Decode}, 38285},
        {"CTLPD_PRG_SCADIBADOC", {Missing::Connection, Missing::Lookup}, 38292},
        {"CTLPD_PRG_CLADOC", {Missing::ClosedConnection}, 15170},
        // The valuation page reports a missing program interface with the frame's message.
        {"CTLPD_PRG_VALORIZ", {Missing::ActiveInterface}, 60933},
        {"CTLPD_PRG_VALORIZ", {Missing::Decode}, 38285},
        {"CTLPD_PRT_TRPERS", {Missing::Connection}, 15170},
        {"CTLPD_PRT_TRPERS", {}, 0},
    };
    for (const InitializeCase& c : cases) {
        SCOPED_TRACE(c.page + " " + std::to_string(c.message));
        int fallbackObjects = 0;
        kh::ProgIdRegistry::Scope fallback(kh::ProgIdRegistry::instance(),
                                           kh::CLSFW_MULTILINGUA::progId, [&] {
                                               ++fallbackObjects;
                                               return std::make_shared<kh::CLSFW_MULTILINGUA>();
                                           });
        auto missing = [&](Missing m) {
            return std::find(c.missing.begin(), c.missing.end(), m) != c.missing.end();
        };
        std::shared_ptr<Page> page = create(c.page);
        ASSERT_TRUE(page);
        if (!missing(Missing::ActiveInterface)) {
            page->setActiveInterface(program_);
        }
        if (page->hasVirtualFrame()) {
            if (!missing(Missing::VirtualFrame)) {
                page->setVirtualFrame(frame_);
            }
            if (missing(Missing::EmptyRecordset)) {
                page->setRecordset(open("SELECT * FROM PD42_ZOVRENA WHERE 1 = 0"));
            } else if (missing(Missing::RecordsetAtEnd)) {
                auto atEnd = open(GeneralSql);
                atEnd->moveNext();
                page->setRecordset(atEnd);
            } else if (!missing(Missing::Recordset)) {
                page->setRecordset(general_);
            }
        }
        if (!page->hasVirtualFrame()) {
            pageMember<TransferMembers>(*page, "CodiceDitta")
                .setCodiceDitta(Variant(std::int32_t{1}));
        }
        if (page->hasConnection() && !missing(Missing::Connection)) {
            if (missing(Missing::ClosedConnection)) {
                auto closed = krl::ado::Connection::create();
                closed->setConnectionString(connectionString_);
                page->setConnection(closed);
            } else {
                page->setConnection(connection_);
            }
        }
        if (page->hasDecodeLookup()) {
            if (!missing(Missing::Decode)) {
                page->setClsDecodeProduzione(decode_);
            }
            if (!missing(Missing::Lookup)) {
                page->setClsLookupProduzione(lookup_);
            }
        }
        if (c.page == "CTLPD_PRG_VALORIZ") {
            auto decodeListini = std::make_shared<kh::ClsDecodeListiniParametrici>();
            if (!missing(Missing::Decode)) {
                page->setClsDecodeListiniParametrici(decodeListini);
            }
            page->setClsLookupListiniParametrici(
                std::make_shared<kh::ClsLookupListiniParametrici>());
        }
        std::size_t before = presenter_.boxes().size();
        bool ready = page->Initialize();
        auto boxes = presenter_.boxes();
        EXPECT_EQ(ready, c.message == 0);
        if (c.message == 0) {
            EXPECT_EQ(boxes.size(), before);
        } else {
            ASSERT_EQ(boxes.size(), before + 1);
            EXPECT_EQ(boxes.back().messageId, c.message);
            EXPECT_EQ(boxes.back().buttons, 48);
            EXPECT_EQ(boxes.back().title, page->title());
        }
        // Without a program interface the box goes through the fallback message object.
        EXPECT_EQ(fallbackObjects, missing(Missing::ActiveInterface) ? 1 : 0);
        page->Terminate();
    }
}

TEST_F(PageProtocol, Every_side_bar_page_is_created_by_its_ProgID_and_initialises) {
    for (const PageDeclaration& declared : pageList()) {
        const std::string& className = declared.className;
        SCOPED_TRACE(className);
        std::shared_ptr<Page> page = create(className);
        ASSERT_TRUE(page);
        EXPECT_EQ(page->className(), className);
        EXPECT_EQ(page->Name(), className);
        page->setActiveInterface(program_);
        if (declared.record == PageRecord::Document) {
            page->setVirtualFrame(documentFrame_);
            page->setRecordset(document_);
        } else if (page->hasVirtualFrame()) {
            page->setVirtualFrame(frame_);
            page->setRecordset(general_);
        } else {
            EXPECT_THROW(page->setVirtualFrame(frame_), krl::VbError);
            pageMember<TransferMembers>(*page, "CodiceDitta")
                .setCodiceDitta(Variant(std::int32_t{1}));
        }
        if (page->hasConnection()) {
            page->setConnection(connection_);
        } else {
            EXPECT_THROW(page->setConnection(connection_), krl::VbError);
        }
        if (page->hasDecodeLookup()) {
            page->setClsDecodeProduzione(decode_);
            page->setClsLookupProduzione(lookup_);
        }
        wirePriceLists(*page);
        if (className.substr(6, 3) == "PRD") {
            auto& document = pageMember<DocumentMembers>(*page, "TipoSottotipoDocumento");
            document.setTipoSottotipoDocumento("2420");
            EXPECT_EQ(document.tipoSottotipoDocumento(), "2420");
            document.EnableControlByDocument();
        }
        if (className == "CTLPD_PRG_INDGES" || className == "CTLPD_PRG_LAVINTIND") {
            pageMember<WarehouseActions>(*page, "AzioniWMSEnabled").AzioniWMSEnabled();
        } else {
            EXPECT_THROW(pageMember<WarehouseActions>(*page, "AzioniWMSEnabled"), krl::VbError);
        }
        EXPECT_TRUE(page->Initialize());
        // The pages not built yet show only their title.
        const bool titleOnly = declared.controls.size() == 1;
        if (titleOnly) {
            auto* title = page->findAs<kc::Label>("LBL_TITOLO");
            ASSERT_NE(title, nullptr);
            EXPECT_EQ(title->caption(), page->title());
        }
        page->Terminate();
    }
    EXPECT_TRUE(presenter_.boxes().empty());
}

TEST_F(PageProtocol, Missing_member_is_an_object_error_as_late_binding_gives) {
    struct Case {
        std::string page;
        std::string member;
        std::function<void(Page&)> call;
    };
    const std::vector<Case> cases = {
        {"CTLPD_PRG_INDGES", "EnableCarSfridoCl",
         [](Page& p) { pageMember<ScrapLoadSwitch>(p, "EnableCarSfridoCl"); }},
        {"CTLPD_PRG_LAVINTIND", "ClsDecodeProduzione",
         [](Page& p) { p.setClsDecodeProduzione(nullptr); }},
        {"CTLPD_PRG_CICLI", "OnTerminate",
         [](Page& p) { pageMember<TransferMembers>(p, "OnTerminate"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        std::shared_ptr<Page> page = create(c.page);
        try {
            c.call(*page);
            ADD_FAILURE() << "no error";
        } catch (const krl::VbError& error) {
            EXPECT_EQ(error.number(), 438);
            EXPECT_EQ(error.description(),
                      "L'oggetto non supporta la proprietà o il metodo " + c.member);
        }
    }
}

TEST_F(PageProtocol, Error_routine_reports_through_the_log_or_answers_abort_without_it) {
    auto page = std::make_shared<CTLPD_PRG_INDGES>();
    wire(*page);
    presenter_.queue(kh::vbRetry);
    EXPECT_EQ(page->HandleError("FillCombos", krl::VbError(5, "Chiamata non valida")), kh::vbRetry);
    page->Terminate();
    EXPECT_EQ(page->HandleError("FillCombos", krl::VbError(5, "Chiamata non valida")), kh::vbAbort);
    auto boxes = presenter_.boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].buttons, 4370);
    EXPECT_EQ(boxes[0].title, "DUZA_ZOVRENA - Parametri generali - indicatori gestionali");
    EXPECT_EQ(boxes[0].text,
              "Procedura: Controllo [CTLPD_PRG_INDGES] routine FillCombos\r\nErrore 5: Chiamata "
              "non valida");
    EXPECT_EQ(boxes[1].messageId, 11081);
    EXPECT_EQ(boxes[1].buttons, 0);
    EXPECT_EQ(boxes[1].title, "");
}

TEST_F(PageProtocol, SetFocus_goes_to_the_named_or_first_control_and_ignores_unknown_names) {
    auto page = std::make_shared<CTLPD_PRG_INDGES>();
    wire(*page);
    ASSERT_TRUE(page->Initialize());
    page->SetFocus();
    ASSERT_NE(page->focused(), nullptr);
    EXPECT_EQ(page->focused()->name(), "CBX_GESMODELLLIDB");
    page->SetFocus("CMB_LEADTIME");
    EXPECT_EQ(page->focused()->name(), "CMB_LEADTIME");
    page->SetFocus("CMB_CHE_NON_ESISTE");
    EXPECT_EQ(page->focused()->name(), "CMB_LEADTIME");
    EXPECT_TRUE(presenter_.boxes().empty());
}

TEST_F(PageProtocol, Page_registers_with_the_host_models_and_lets_go_at_Terminate) {
    auto page = std::make_shared<CTLPD_PRG_INDGES>();
    std::vector<std::int16_t> events;
    page->ComboGestioneCicliChangeRow.connect([&](std::int16_t value) { events.push_back(value); });
    wire(*page);
    ASSERT_TRUE(page->Initialize());
    const auto& entries = navigator_->scriptModel()->entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "CTLPD_PRG_INDGES");
    EXPECT_EQ(entries[0].object.get(), page.get());
    EXPECT_EQ(entries[0].caption, "Parametri di gestione");
    EXPECT_EQ(entries[1].name, "FME_PARAMETRI");
    EXPECT_EQ(entries[1].caption, "FME_PARAMETRI");
    EXPECT_EQ(entries[1].kindOrControls.toInt32(), 3);
    EXPECT_EQ(page->virtualFrame(), frame_);

    page->InitializeLayoutObjectModel();
    ASSERT_EQ(navigator_->layoutModel()->pages().size(), 1u);
    EXPECT_EQ(navigator_->layoutModel()->pages()[0].title,
              "Parametri generali - indicatori gestionali");
    EXPECT_EQ(navigator_->layoutModel()->applied(), 1);

    std::size_t bound = frame_->controls().size();
    EXPECT_EQ(bound, 43u);
    page->Terminate();
    EXPECT_TRUE(frame_->controls().empty());
    EXPECT_FALSE(page->activeInterface());
    EXPECT_FALSE(page->virtualFrame());
    // The controls no longer reach the record or the page's rules.
    auto* cycles = page->findAs<kc::Combo>("CMB_GESTCICLI");
    events.clear();
    cycles->setText("0");
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(krl::numericValue((*general_)["PD42_FLGGESCICLI"].value()), 1);
    EXPECT_FALSE(frame_->dirty());
}

TEST_F(PageProtocol, Trace_lines_mark_creation_and_destruction_with_one_instance_id) {
    std::vector<std::string> lines;
    krl::diag::setDebugSink([&](std::string_view line) { lines.emplace_back(line); });
    std::string id;
    {
        auto page = create("CTLPD_PRD_DCCLA");
        id = std::dynamic_pointer_cast<ParameterPage>(page)->instanceId();
    }
    krl::diag::setDebugSink({});
    ASSERT_EQ(id.size(), 32u);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "ZNDR:|" + id + "|INI|DUZA_ZOVRENA|CTLPD_PRD_DCCLA",
                         "ZNDR:|" + id + "|TER|DUZA_ZOVRENA|CTLPD_PRD_DCCLA",
                     }));
}

}  // namespace
}  // namespace duza_zovrena::pages::testing

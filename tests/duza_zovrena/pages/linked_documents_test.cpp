// The linked-documents pages on a demo database: what each field accepts and lists, which fields
// may be filled and what two captions read, by the kind of the current document.

#include <string>
#include <vector>

#include "duza_zovrena/pages/ctlpd_prd_dccla.h"
#include "duza_zovrena/pages/ctlpd_prd_dclie.h"
#include "duza_zovrena/pages/page_list.h"
#include "krl/sql/program_sql.h"
#include "page_fixture.h"

namespace duza_zovrena::pages::testing {
namespace {

namespace program = krl::sql::testing::program;

class LinkedDocuments : public PageTest {
  protected:
    std::shared_ptr<DocumentPage> openPage(const PageDeclaration& declaration) {
        auto page = std::dynamic_pointer_cast<DocumentPage>(makePage(declaration));
        page->setActiveInterface(program_);
        page->setVirtualFrame(documentFrame_);
        page->setRecordset(document_);
        page->setConnection(connection_);
        page->setClsDecodeProduzione(decode_);
        page->setClsLookupProduzione(lookup_);
        EXPECT_TRUE(page->Initialize());
        return page;
    }

    static kc::EditM& edit(ParameterPage& page, const char* name) {
        return *page.findAs<kc::EditM>(name);
    }
};

struct CheckCase {
    const char* key;
    const char* control;
    const char* code;
    bool accepted;
};

TEST_F(LinkedDocuments, Document_fields_accept_the_kinds_of_the_current_document) {
    const CheckCase cases[] = {
        {"251", "TXT_SCARINT_DOC", "SCACL", true},  // 25/6
        {"251", "TXT_SCARINT_DOC", "SCAREP", false},
        {"2420", "TXT_SCARINT_DOC", "SCAREP", true},  // 24/2
        {"103", "TXT_SCARINT_DOC", "SCAREP", true},
        {"265", "TXT_SCARINT_DOC", "NONESISTE", true},    // any code, no query
        {"2420", "TXT_INTAVANZ_DOC", "CARSL", true},      // 24/3
        {"2420", "TXT_INTAVANZ_DOC", "AVANZ", true},      // 24/4
        {"2420", "TXT_INTAVANZ_DOC", "SCAPROD", false},   // 24/5
        {"251", "TXT_INTAVANZ_DOC", "VERSCL", true},      // 25/5
        {"2420", "TXT_CARMACERO_DOC", "CARSCA", true},    // 24/9
        {"251", "TXT_CARMACERO_DOC", "CARSCACL", true},   // 25/11
        {"265", "TXT_CARMACERO_DOC", "RETTPROD", false},  // 24/11
        {"2420", "TXT_CARSFRIDOCL", "NONESISTE", true},   // never checked
        {"2420", "TXT_CARINT_DOC", "CARREP", true},       // 24/10
        {"2420", "TXT_CARINT_DOC", "O'DP", false},        // the quote reaches the query doubled
        {"2420", "TXT_IMPLOTTI_I", "CARREP", false},
    };
    auto page = openPage(prdDcliePage());
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.control + " " + c.code);
        page->setTipoSottotipoDocumento(c.key);
        page->EnableControl(true);
        const std::size_t before = presenter_.boxes().size();
        EXPECT_EQ(edit(*page, c.control).userEnter(c.code).accepted(), c.accepted);
        const auto boxes = presenter_.boxes();
        if (c.accepted) {
            EXPECT_EQ(boxes.size(), before);
            EXPECT_EQ(edit(*page, c.control).text(), c.code);
        } else {
            ASSERT_EQ(boxes.size(), before + 1);
            EXPECT_EQ(boxes.back().messageId, 23389);
            EXPECT_EQ(boxes.back().buttons, 64);
        }
        edit(*page, c.control).userEnter("");
    }
}

TEST_F(LinkedDocuments, Active_subcontracting_fields_accept_their_kinds) {
    auto page = openPage(prdDcclaPage());
    page->setTipoSottotipoDocumento("261");
    EXPECT_TRUE(edit(*page, "TXT_VERSACLA").userEnter("VERSCLA").accepted());
    EXPECT_FALSE(edit(*page, "TXT_SCAMATCLA").userEnter("VERSCLA").accepted());
    EXPECT_TRUE(edit(*page, "TXT_SCAMATCLA").userEnter("SCAMATCLA").accepted());
    EXPECT_EQ(messageIds(), std::vector<long>{23389});
}

struct EnablingCase {
    const char* key;
    std::vector<const char*> on;
    std::vector<const char*> off;
    const char* unloadCaption;  // nullptr: the captions stay
    const char* progressCaption;
};

TEST_F(LinkedDocuments, Fields_and_captions_follow_the_document_kind) {
    const EnablingCase cases[] = {
        {"2420",
         {"TXT_CARINT_DOC", "TXT_CARPROD_DOC", "TXT_SCASCARTO", "TXT_DDTCLINV_DOC"},
         {"TXT_VERSCL_DOC", "TXT_CARDEPTRANS_DOC", "TXT_IMPLOTTI_I"},
         "Scarico reparti",
         "Avanzamento prod."},
        {"251",
         {"TXT_SCARINT_DOC", "TXT_VERSCL_DOC", "TXT_CARCLTRASF_DOC", "TXT_DEPSCARTO_DOC"},
         {"TXT_CARINT_DOC", "TXT_CARPROD_DOC", "TXT_SCASCARTO", "TXT_IMPLOTTI_I"},
         "Scarico da c/lavoro",
         "Avanzamento c/lav"},
        {"103",
         {"TXT_CARINT_DOC", "TXT_CARDEPTRANS_DOC", "TXT_SCARDEPTRANS_DOC", "TXT_IMPLOTTI_I"},
         {"TXT_INTAVANZ_DOC", "TXT_CARMACERO_DOC", "TXT_DEPSCARTO_DOC", "TXT_VERSCL_DOC"},
         "Scarico reparti",
         "Avanzamento prod."},
        // Another kind changes nothing: every field stays as it was (here: off).
        {"265", {}, {"TXT_CARINT_DOC", "TXT_SCARINT_DOC", "TXT_VERSCL_DOC"}, nullptr, nullptr},
    };
    for (const EnablingCase& c : cases) {
        SCOPED_TRACE(c.key);
        auto page = openPage(prdDcliePage());
        page->EnableControl(c.unloadCaption != nullptr);
        pageMember<ScrapLoadSwitch>(*page, "EnableCarSfridoCl").setEnableCarSfridoCl(false);
        page->setTipoSottotipoDocumento(c.key);
        page->EnableControlByDocument();
        for (const char* name : c.on) {
            EXPECT_TRUE(page->find(name)->enabled()) << name;
        }
        for (const char* name : c.off) {
            EXPECT_FALSE(page->find(name)->enabled()) << name;
        }
        // The order-supplier field and the recovery field are never touched by the kind.
        EXPECT_EQ(page->find("TXT_OFORNCL_DOC")->enabled(), c.unloadCaption != nullptr);
        EXPECT_FALSE(page->find("TXT_CARSFRIDOCL")->enabled());
        EXPECT_EQ(page->find("LBL_SCARINT_DOC")->caption(),
                  c.unloadCaption ? c.unloadCaption : "Scarico rep./terz.");
        EXPECT_EQ(page->find("LBL_INTAVANZ_DOC")->caption(),
                  c.progressCaption ? c.progressCaption : "Avanz. prod.");
        page->Terminate();
    }
}

TEST_F(LinkedDocuments, A_document_without_line_states_generates_released_lines) {
    for (const auto& declaration : {prdDcliePage(), prdDcclaPage()}) {
        SCOPED_TRACE(declaration.className);
        auto page = openPage(declaration);
        (*document_)["PD88_INDSTATI"].setValue(Variant(std::int16_t{1}));
        (*document_)["PD88_INDSTATOORD"].setValue(Variant(std::int16_t{1}));
        page->setTipoSottotipoDocumento("2420");
        page->EnableControlByDocument();
        EXPECT_EQ(krl::numericValue((*document_)["PD88_INDSTATOORD"].value()), 2);
        (*document_)["PD88_INDSTATI"].setValue(Variant(std::int16_t{2}));
        (*document_)["PD88_INDSTATOORD"].setValue(Variant(std::int16_t{1}));
        page->EnableControlByDocument();
        EXPECT_EQ(krl::numericValue((*document_)["PD88_INDSTATOORD"].value()), 1);
        page->Terminate();
    }
}

struct LookupCase {
    const char* key;
    const char* control;
    std::string sql;  // empty: the lookup object's list
    std::vector<std::string> codes;
    int askedSubtype = 0;     // the subtype the lookup object is asked for; 0: not checked
    bool objectAsked = true;  // whether the lookup object's list was asked for at all
};

TEST_F(LinkedDocuments, Lookups_list_the_kinds_of_the_current_document) {
    const LookupCase cases[] = {
        {"251", "TXT_SCARINT_DOC", "", {"SCACL"}},
        {"2420", "TXT_SCARINT_DOC", "", {"SCAREP"}},
        {"265",
         "TXT_INTAVANZ_DOC",
         program::internalWorkLookup("1", "Standard", "Personalizzato"),
         {"AVANZ", "CARPROD", "CARSL"},
         4},
        {"2420",
         "TXT_CARMACERO_DOC",
         program::scrapLoadLookup("1", "Standard", "Personalizzato"),
         {"CARSCA", "CARSCACL"},
         0,
         false},
    };
    auto page = openPage(prdDcliePage());
    page->EnableControl(true);
    for (const LookupCase& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.control);
        page->setTipoSottotipoDocumento(c.key);
        std::string sql;
        Variant asked;
        std::string title;
        const auto id = edit(*page, c.control).StartLookup.connect([&](kc::LookupRequest& request) {
            sql = request.sql;
            asked = request.extra;
            title = request.lookupText;
        });
        lookupChooser_.shown.clear();
        lookupChooser_.answers = {0};
        edit(*page, c.control).userLookup();
        edit(*page, c.control).StartLookup.disconnect(id);
        if (!c.sql.empty()) {
            EXPECT_EQ(sql, c.sql);
        }
        // The object's list leaves its filters and title; a field that does not ask leaves none.
        EXPECT_EQ(asked.isArray(), c.objectAsked);
        EXPECT_EQ(title.empty(), !c.objectAsked);
        if (c.askedSubtype != 0) {
            ASSERT_TRUE(asked.isArray());
            EXPECT_EQ(asked.array().at(1).toInt32(), c.askedSubtype);
        }
        ASSERT_EQ(lookupChooser_.shown.size(), 1u);
        std::vector<std::string> codes;
        for (std::size_t row = 0; row < lookupChooser_.shown.front().rows.size(); ++row) {
            codes.push_back(krl::rtrim(lookupChooser_.shown.front().code(row)));
        }
        EXPECT_EQ(codes, c.codes);
    }
}

}  // namespace
}  // namespace duza_zovrena::pages::testing

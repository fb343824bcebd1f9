// The routing, bill-of-materials consumption and size/colour grid pages on the demo row of
// company 1: their rules, their code fields and what reaches the record.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "duza_zovrena/pages/page_list.h"
#include "krl/host/lookup_decode.h"
#include "page_fixture.h"

namespace duza_zovrena::pages::testing {
namespace {

class GeneralPages : public PageTest {
  protected:
    void open(const std::string& className) {
        const PageDeclaration* declared = findPageByClass(className);
        ASSERT_NE(declared, nullptr) << className;
        page_ = makePage(*declared);
        wire(*page_);
        // The presenter lives as long as the test: count the boxes from here.
        shown_ = presenter_.boxes().size();
        ASSERT_TRUE(page_->Initialize());
        ASSERT_EQ(presenter_.boxes().size(), shown_);
    }

    std::vector<long> newMessageIds() const {
        std::vector<long> ids = messageIds();
        return {ids.begin() + static_cast<std::ptrdiff_t>(shown_), ids.end()};
    }

    void TearDown() override {
        if (page_) {
            page_->Terminate();
            page_.reset();
        }
        PageTest::TearDown();
    }

    kc::Control& get(const std::string& name) {
        kc::Control* control = page_->find(name);
        EXPECT_NE(control, nullptr) << name;
        return *control;
    }

    std::string description(const std::string& label) {
        return page_->findAs<kc::Label>(label)->caption();
    }

    std::shared_ptr<ParameterPage> page_;
    std::size_t shown_ = 0;
};

TEST_F(GeneralPages, Explosion_level_is_typed_and_required_only_down_to_a_chosen_level) {
    open("CTLPD_PRG_SCADIBAIND");
    kc::Control& level = get("TXT_LIVESP");
    // The demo row holds "down to level 5": loading it enabled the level.
    EXPECT_TRUE(level.enabled());
    EXPECT_TRUE(level.mandatory());
    EXPECT_EQ(level.text(), "5");

    ASSERT_TRUE(input(*page_, "CMB_LIVESP", "0").accepted());
    EXPECT_FALSE(level.enabled());
    EXPECT_FALSE(level.mandatory());
    EXPECT_EQ(level.text(), "");
    EXPECT_TRUE(column("PD42_LIVELLOESP").isNull());

    ASSERT_TRUE(input(*page_, "CMB_LIVESP", "3").accepted());
    EXPECT_TRUE(level.enabled());
    EXPECT_TRUE(level.mandatory());
    EXPECT_EQ(level.text(), "") << "the level typed before is gone";
    ASSERT_TRUE(input(*page_, "TXT_LIVESP", "7").accepted());
    EXPECT_EQ(krl::numericValue(column("PD42_LIVELLOESP")), 7);
    EXPECT_TRUE(presenter_.boxes().empty());
}

TEST_F(GeneralPages, Code_fields_accept_only_codes_of_their_kind) {
    struct Case {
        const char* page;
        const char* field;
        const char* typed;
        bool accepted;
        const char* stored;  // the column afterwards ("" for NULL)
        const char* label;   // the description label
        const char* description;
        long message = 0;
    };
    const char* const bom = "CTLPD_PRG_SCADIBADOC";
    const char* const routing = "CTLPD_PRG_CICLI";
    const Case cases[] = {
        {bom, "TXT_CARICOPF", "carsl", true, "CARSL", "LBL_DESCARICOPF", "Carico semilavorati"},
        // The company uses its customised definition of the document.
        {bom, "TXT_CARICOSL", "CARPROD ", true, "CARPROD", "LBL_DESCARICOSL",
         "Carico produzione con lotti"},
        {bom, "TXT_SCARICOMAT", "CARSL", false, "SCADIBA", "LBL_DESSCARICOMAT",
         "Scarico distinta base", msg::DocumentNotValid},
        {bom, "TXT_CARARTRECUP", "CARREC", true, "CARREC", "LBL_DESCARARTRECUP",
         "Carico articolo di recupero"},
        {bom, "TXT_CARARTRECUP", "SCADIBA", false, "", "LBL_DESCARARTRECUP", "",
         msg::DocumentNotValid},
        {routing, "TXT_QUALSETUP", "capo", true, "CAPO", "LBL_DESCRSETUP", "Capo reparto"},
        {routing, "TXT_QUALLAV", "XXX", true, "", "LBL_DESCRLAV", "", msg::QualificationRefused},
        {routing, "TXT_QUALLAV", "   ", true, "", "LBL_DESCRLAV", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " <- '" + c.typed + "'");
        TearDown();
        SetUp();
        open(c.page);
        EXPECT_EQ(input(*page_, c.field, c.typed).accepted(), c.accepted);
        Variant stored = column(get(c.field).dbField().c_str());
        EXPECT_EQ(stored.isNull() ? std::string() : krl::rtrim(stored.textOrEmpty()), c.stored);
        EXPECT_EQ(description(c.label), c.description);
        EXPECT_EQ(newMessageIds(), c.message ? std::vector<long>{c.message} : std::vector<long>{});
    }
}

TEST_F(GeneralPages, Grid_switch_leaves_the_localisation_alone) {
    open("CTLPD_PRG_GRTAGCOL");
    ASSERT_TRUE(input(*page_, "CMB_LIVVARLOCALDIBA", "1").accepted());
    ASSERT_TRUE(input(*page_, "CBX_GRIGLIATC", "1").accepted());
    ASSERT_TRUE(input(*page_, "CBX_GRIGLIATC", "0").accepted());
    EXPECT_TRUE(get("CMB_LIVVARLOCALDIBA").enabled());
    EXPECT_EQ(get("CMB_LIVVARLOCALDIBA").text(), "1");
    EXPECT_EQ(krl::numericValue(column("PD42_INDLIVVARDISBA")), 1);
}

struct IdCase {
    std::string name;
    std::string typed;
    bool accepted;
    std::string shown;        // the field's text afterwards
    std::string stored;       // PD42_IDMAT_LP09 afterwards ("" for NULL)
    std::string description;  // its description label
};

TEST_F(GeneralPages, Priority_table_fields_store_the_id_of_the_code_typed) {
    const std::vector<IdCase> cases = {
        {"a code typed in lower case", "matpromo", true, "MATPROMO", "6",
         "Priorita listini materiali in promozione"},
        {"trailing blanks", "CLA  ", true, "CLA", "4", "Priorita listini conto lavoro attivo"},
        {"an unknown code goes back to the table chosen", "NOPE", false, "MAT", "1",
         "Priorita listini materiali"},
        {"a table of another company is unknown", "INT", false, "MAT", "1",
         "Priorita listini materiali"},
        {"a quote in the code", "O'K", false, "MAT", "1", "Priorita listini materiali"},
        {"an emptied field stores NULL", "", true, "", "", ""},
    };
    for (const IdCase& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        open("CTLPD_PRG_VALORIZ");
        kc::Control& field = get("TXT_TABPRIORITA_MAT");
        EXPECT_EQ(field.typeName(), "TXT_EDITID");
        EXPECT_EQ(input(*page_, "TXT_TABPRIORITA_MAT", c.typed).accepted(), c.accepted);
        EXPECT_EQ(field.text(), c.shown);
        Variant stored = column("PD42_IDMAT_LP09");
        EXPECT_EQ(stored.isNull() ? std::string() : stored.textOrEmpty(), c.stored);
        EXPECT_EQ(description("TXT_DESTABPRIORITA_MATERIALI"), c.description);
        EXPECT_EQ(newMessageIds(), std::vector<long>{});
    }
}

TEST_F(GeneralPages, Priority_table_field_can_be_retyped_after_a_refused_code) {
    open("CTLPD_PRG_VALORIZ");
    EXPECT_FALSE(input(*page_, "TXT_TABPRIORITA_CLP", "nope").accepted());
    EXPECT_FALSE(input(*page_, "TXT_TABPRIORITA_CLP", "nope").accepted());
    ASSERT_TRUE(input(*page_, "TXT_TABPRIORITA_CLP", "intmac").accepted());
    EXPECT_EQ(krl::numericValue(column("PD42_IDCLP_LP09")), 3);
    EXPECT_EQ(description("TXT_DESTABPRIORITA_CLP"), "Priorita listini fasi interne macchine");
}

TEST_F(GeneralPages, Priority_table_fields_show_the_codes_of_the_stored_ids) {
    // The table the active subcontracting points to was deleted since.
    connection_->execute("DELETE FROM LP09_TESTATAPRIORITA WHERE LP09_ID = 4");
    open("CTLPD_PRG_VALORIZ");
    const std::vector<std::pair<std::string, std::string>> shown = {
        {"TXT_TABPRIORITA_MAT", "MAT"},       {"TXT_TABPRIORITA_INT", "INTMDO"},
        {"TXT_TABPRIORITA_INTMAC", "INTMAC"}, {"TXT_TABPRIORITA_CLA", ""},
        {"TXT_TABPRIORITA_CLP", "CLP"},
    };
    for (const auto& [name, code] : shown) {
        EXPECT_EQ(get(name).text(), code) << name;
    }
    EXPECT_EQ(description("TXT_DESTABPRIORITA_INT"), "Priorita listini fasi interne manodopera");
    EXPECT_EQ(description("TXT_DESTABPRIORITA_CLA"), "");
    EXPECT_EQ(krl::numericValue(column("PD42_IDCLA_LP09")), 4) << "kept until another is typed";
}

}  // namespace
}  // namespace duza_zovrena::pages::testing

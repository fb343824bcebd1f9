#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "duza_zovrena/data/columns.h"
#include "duza_zovrena/pages/ctlpd_prg_indges.h"
#include "page_fixture.h"

namespace duza_zovrena::pages::testing {
namespace {

class ManagementIndicators : public PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        page_ = std::make_shared<CTLPD_PRG_INDGES>();
        page_->ComboGestioneCicliChangeRow.connect(
            [this](std::int16_t value) { cyclesEvents_.push_back(value); });
    }

    void initialize() {
        wire(*page_);
        ASSERT_TRUE(page_->Initialize());
        ASSERT_TRUE(presenter_.boxes().empty());
        cyclesEvents_.clear();
    }

    template <class T>
    T& get(const std::string& name) {
        auto* control = page_->findAs<T>(name);
        EXPECT_NE(control, nullptr) << name;
        return *control;
    }

    std::shared_ptr<CTLPD_PRG_INDGES> page_;
    std::vector<std::int16_t> cyclesEvents_;
};

TEST_F(ManagementIndicators, FillCombos_offers_no_blank_row) {
    initialize();
    for (const auto& control : page_->controls()) {
        if (auto* combo = dynamic_cast<kc::Combo*>(control.get())) {
            EXPECT_FALSE(combo->allowEmpty()) << combo->name();
            EXPECT_FALSE(combo->rows().empty()) << combo->name();
        }
    }
    EXPECT_FALSE(get<kc::Combo>("CMB_LEADTIME").userSelect("").accepted());
}

TEST_F(ManagementIndicators, Controls_take_caption_width_and_case_from_their_column) {
    // A non-breaking space after "Nota" in the caption, an ordinary one in the label.
    EXPECT_EQ(get<kc::Combo>("CMB_INDNOTAMODDBLOC").caption(),
              "Nota\u00A0modifica Di.Ba. localizzata");
    EXPECT_EQ(get<kc::Combo>("CMB_INDNOTAMODDBLOC").labelText(),
              "Nota modifica Di.Ba. localizzata");
    auto& deposit = get<kc::EditM>("TXT_DEPSLFASISEST");
    EXPECT_FALSE(deposit.enabled());
    EXPECT_EQ(deposit.maxChar(), 2);
    EXPECT_TRUE(deposit.upperCase());
    EXPECT_TRUE(get<kc::EditM>("TXT_STEPLEGDB").mandatory());
}

TEST_F(ManagementIndicators, Enabling_rules_follow_the_value_chosen) {
    struct Case {
        const char* name;
        const char* inputs;  // in order; the last is the rule
        const char* controls;
        const char* columns;  // the record afterwards
    };
    const Case cases[] = {
        {"fixed step needs the step", "CMB_INDINSLEGDB=1", "TXT_STEPINSLEGDB on mandatory =1", ""},
        {"back to average sequences keeps the step",
         "CMB_INDINSLEGDB=1 TXT_STEPINSLEGDB=4 CMB_INDINSLEGDB=0",
         "TXT_STEPINSLEGDB off optional =4", "PD42_STEPSEQINTLEGDB=4"},
        {"UM2 from the link enables the reference quantity", "CMB_INDCOEFFQTA2DB=1",
         "CMB_INDQTARIFASS on =0", ""},
        {"UM2 from the exploded quantity disables it without clearing",
         "CMB_INDCOEFFQTA2DB=2 CMB_INDQTARIFASS=2 CMB_INDCOEFFQTA2DB=0", "CMB_INDQTARIFASS off =2",
         "PD42_INDQTARIFASSLEG=2"},
        {"cycles off switches revisions off", "CMB_GESTCICLI=0", "CHK_INDREVCICLI off =0",
         "PD42_INDREVCICLI=0"},
        {"cycles on again leaves revisions as they were", "CMB_GESTCICLI=0 CMB_GESTCICLI=2",
         "CHK_INDREVCICLI on =0", ""},
        {"optional to mandatory cycles keeps revisions", "CMB_GESTCICLI=2", "CHK_INDREVCICLI on =1",
         "PD42_INDREVCICLI=1"},
        {"one line per order disables the heading", "CMB_MODORDLAV=0", "CMB_INTESTORDLAV off =1",
         ""},
        {"line states on again enables the state, showing what the record holds",
         "CMB_FLGSTATI=0 CMB_FLGSTATI=1", "CMB_INDSTATO on =2", "PD42_INDSTATO=2"},
        {"line states off launches the lines in the record", "CMB_INDSTATO=0 CMB_FLGSTATI=0",
         "CMB_INDSTATO off =2", "PD42_INDSTATO=2"},
        {"no movement disables deposit and generation", "CMB_MOVSEMLAVINT=0",
         "TXT_DEPSLFASISEST off =03; CMB_INDGENSEMLAV off =1", ""},
        {"movement enables them again", "CMB_MOVSEMLAVINT=0 CMB_MOVSEMLAVINT=2",
         "TXT_DEPSLFASISEST on =03; CMB_INDGENSEMLAV on =1", ""},
        {"no scrap documents resets the phases", "CBO_INDSCARTOFASI=1 CMB_INDMODSCARTO=0",
         "CBO_INDSCARTOFASI off =0", "PD42_INDSCARTOFASI=0"},
        {"scrap documents enable the phases", "CMB_INDMODSCARTO=0 CMB_INDMODSCARTO=2",
         "CBO_INDSCARTOFASI on =0", ""},
        {"projects off disables their numbering", "CBX_PROGETTI=0", "CMB_NUMPROG off =2", ""},
        {"projects on enables it", "CBX_PROGETTI=0 CBX_PROGETTI=1", "CMB_NUMPROG on =2", ""},
        {"lots on again only enables", "CBX_GESLOTTI=0 CBX_GESLOTTI=1",
         "CBX_TRACMP on =0; CBX_TRACPF on =0; CHK_FLGTRASFUBICAZ on =0; "
         "CHK_FLGECCEDLISTATRASF on =0",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        initialize();
        for (const auto& [control, value] : pairs(c.inputs)) {
            ASSERT_TRUE(input(*page_, control, value).accepted()) << control << " " << value;
        }
        expectControls(*page_, c.controls);
        expectColumns(c.columns);
        EXPECT_TRUE(presenter_.boxes().empty());
    }
}

TEST_F(ManagementIndicators, Cycles_combo_tells_the_window_each_code_it_shows) {
    initialize();
    for (const char* code : {"0", "2", "1", "0"}) {
        ASSERT_TRUE(input(*page_, "CMB_GESTCICLI", code).accepted());
    }
    EXPECT_EQ(cyclesEvents_, (std::vector<std::int16_t>{0, 2, 1, 0}));
}

TEST_F(ManagementIndicators, Lots_off_clears_and_disables_the_four_boxes_in_order) {
    initialize();
    const char* const boxes[] = {"CBX_TRACMP", "CBX_TRACPF", "CHK_FLGTRASFUBICAZ",
                                 "CHK_FLGECCEDLISTATRASF"};
    std::vector<std::string> cleared;
    for (const char* box : boxes) {
        ASSERT_TRUE(input(*page_, box, "1").accepted());
        auto& checkBox = get<kc::CheckBox>(box);
        checkBox.Click.connect([&cleared, &checkBox] {
            cleared.push_back(checkBox.name() + (checkBox.enabled() ? " enabled" : " disabled"));
        });
    }
    ASSERT_TRUE(input(*page_, "CBX_GESLOTTI", "0").accepted());
    // Each box is cleared while still enabled, then disabled, one after the other.
    EXPECT_EQ(cleared, (std::vector<std::string>{"CBX_TRACMP enabled", "CBX_TRACPF enabled",
                                                 "CHK_FLGTRASFUBICAZ enabled",
                                                 "CHK_FLGECCEDLISTATRASF enabled"}));
    expectControls(
        *page_,
        "CBX_TRACMP off; CBX_TRACPF off; CHK_FLGTRASFUBICAZ off; CHK_FLGECCEDLISTATRASF off");
    expectColumns(
        "PD42_FLGTRACLOTMP=0 PD42_FLGTRACLOTPF=0 PD42_FLGTRASFUBICAZ=0 PD42_FLGECCEDLOTLISTRAS=0 "
        "PD42_FLGGESTLOTTI=0");
}

TEST_F(ManagementIndicators, Step_fields_replace_an_empty_zero_or_text_value_and_never_refuse) {
    struct Case {
        const char* field;
        const char* column;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {"TXT_STEPLEGDB", "PD42_STEPNUMLEGDB", "", "10"},
        {"TXT_STEPLEGDB", "PD42_STEPNUMLEGDB", "0", "10"},
        {"TXT_STEPLEGDB", "PD42_STEPNUMLEGDB", "ab", "10"},
        {"TXT_STEPLEGDB", "PD42_STEPNUMLEGDB", "25", "25"},
        {"TXT_STEPINSLEGDB", "PD42_STEPSEQINTLEGDB", "", "1"},
        {"TXT_STEPINSLEGDB", "PD42_STEPSEQINTLEGDB", "5", "5"},
    };
    initialize();
    ASSERT_TRUE(input(*page_, "CMB_INDINSLEGDB", "1").accepted());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " '" + c.typed + "'");
        ASSERT_TRUE(input(*page_, c.field, "7").accepted());
        EXPECT_TRUE(input(*page_, c.field, c.typed).accepted());
        EXPECT_EQ(get<kc::EditM>(c.field).text(), c.shown);
        EXPECT_EQ(krl::numericValue(column(c.column)), std::stod(c.shown));
    }
    EXPECT_TRUE(presenter_.boxes().empty());
}

TEST_F(ManagementIndicators, Warehouse_management_locks_the_movement_mode_from_the_start) {
    page_->AzioniWMSEnabled();
    initialize();
    EXPECT_FALSE(get<kc::Combo>("CMB_MOVSEMLAVINT").enabled());
    // The rules that follow the movement mode still apply to the row shown.
    EXPECT_TRUE(get<kc::EditM>("TXT_DEPSLFASISEST").enabled());
    EXPECT_FALSE(input(*page_, "CMB_MOVSEMLAVINT", "0").accepted());
}

TEST_F(ManagementIndicators, Rules_match_the_row_shown) {
    // Company 1: line states on, average sequences, movement with progressive totals.
    initialize();
    EXPECT_TRUE(get<kc::Combo>("CMB_INDSTATO").enabled());
    EXPECT_FALSE(get<kc::EditM>("TXT_STEPINSLEGDB").enabled());
    EXPECT_TRUE(get<kc::EditM>("TXT_DEPSLFASISEST").enabled());
    EXPECT_TRUE(get<kc::CheckBox>("CHK_INDREVCICLI").enabled());
    EXPECT_FALSE(frame_->dirty());
}

TEST_F(ManagementIndicators, Deposit_field_decodes_and_lists_the_company_deposits) {
    initialize();
    auto& deposit = get<kc::EditM>("TXT_DEPSLFASISEST");
    EXPECT_EQ(deposit.description(), "Deposito transito");

    EXPECT_TRUE(input(*page_, "TXT_DEPSLFASISEST", "cl").accepted());
    EXPECT_EQ(deposit.text(), "CL");
    EXPECT_EQ(column("PD42_DEPSLFAEST_MG58").textOrEmpty(), "CL");
    EXPECT_EQ(deposit.description(), "Deposito conto lavoro");

    // No check of its own: an unknown deposit is taken, only without a description.
    EXPECT_TRUE(input(*page_, "TXT_DEPSLFASISEST", "ZZ").accepted());
    EXPECT_EQ(deposit.description(), "");

    lookupChooser_.answers = {4};
    EXPECT_TRUE(deposit.userLookup().accepted());
    ASSERT_EQ(lookupChooser_.shown.size(), 1u);
    const kc::LookupList& list = lookupChooser_.shown.front();
    std::vector<std::string> codes;
    for (std::size_t row = 0; row < list.rows.size(); ++row) {
        codes.push_back(list.code(row));
    }
    EXPECT_EQ(codes, (std::vector<std::string>{"01", "02", "03", "CL", "SC"}));
    EXPECT_EQ(list.title, "Depositi");
    EXPECT_EQ(deposit.text(), "SC");
    EXPECT_EQ(deposit.description(), "Deposito scarti");
    EXPECT_TRUE(presenter_.boxes().empty());
}

TEST_F(ManagementIndicators, Lookup_error_is_reported_under_the_field_and_event_name) {
    initialize();
    page_->setClsLookupProduzione(nullptr);
    presenter_.queue(kh::vbAbort);
    EXPECT_FALSE(get<kc::EditM>("TXT_DEPSLFASISEST").userLookup().accepted());
    // The box itself is the error routine's (PageProtocol.Error_routine_reports_...).
    const auto boxes = presenter_.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    const kh::MessageBoxRequest& box = boxes.front();
    EXPECT_EQ(box.text.rfind("Procedura: Controllo [CTLPD_PRG_INDGES] routine "
                             "TXT_DEPSLFASISEST_StartLookup\r\nErrore 91",
                             0),
              0u)
        << box.text;
    EXPECT_TRUE(lookupChooser_.shown.empty());
}

}  // namespace
}  // namespace duza_zovrena::pages::testing

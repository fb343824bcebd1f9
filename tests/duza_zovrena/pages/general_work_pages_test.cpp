// The general pages of internal work, external work and active subcontracting, driven through
// their declarations against the demo database.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "duza_zovrena/pages/code_field.h"
#include "duza_zovrena/pages/page_list.h"
#include "page_fixture.h"

namespace duza_zovrena::pages::testing {
namespace {

class GeneralWorkPages : public PageTest {
  protected:
    // The page of that class, wired as the window wires it and initialised; `before` runs
    // between the two, where the window calls AzioniWMSEnabled.
    std::shared_ptr<ParameterPage> open(std::string_view className,
                                        const std::function<void(ParameterPage&)>& before = {}) {
        const PageDeclaration* declared = findPageByClass(className);
        EXPECT_NE(declared, nullptr) << className;
        if (declared == nullptr) {
            return nullptr;
        }
        auto page = makePage(*declared);
        wire(*page);
        if (before) {
            before(*page);
        }
        const std::size_t shown = presenter_.boxes().size();
        EXPECT_TRUE(page->Initialize()) << className;
        EXPECT_EQ(presenter_.boxes().size(), shown) << className;
        pages_.push_back(page);
        return page;
    }

    void TearDown() override {
        for (auto& page : pages_) {
            page->Terminate();
        }
        pages_.clear();
        PageTest::TearDown();
    }

    std::vector<std::shared_ptr<ParameterPage>> pages_;
};

// One row per document-code field: a company-1 code of its kind and one of a neighbour kind
// (same type, another subtype, where the demo has one).
struct FieldCase {
    const char* page;
    const char* field;
    const char* accepted;
    const char* refused;
};

const FieldCase kFields[] = {
    {"CTLPD_PRG_LAVINTDOC", "TXT_OLMONO", "ODP", "ODPS"},
    {"CTLPD_PRG_LAVINTDOC", "TXT_CARINT", "CARREP", "SCAREP"},
    {"CTLPD_PRG_LAVINTDOC", "TXT_SCARINT", "SCAREP", "CARREP"},
    {"CTLPD_PRG_LAVINTDOC", "TXT_OFORN", "OFMP", "OFSERV"},
    {"CTLPD_PRG_LAVINTDOC", "TXT_CARPROD", "CARSL", "AVANZ"},
    {"CTLPD_PRG_LAVINTDOC", "TXT_SCARPROD", "SCAPROD", "SCASFR"},
    {"CTLPD_PRG_LAVINTDOC", "TXT_INTAVANZ", "AVANZ", "SCAPROD"},
    {"CTLPD_PRG_LAVINTDOC", "TXT_SCARDIBA", "SCADIBA", "IMPLOT"},
    {"CTLPD_PRG_LAVINTDOC", "TXT_CARSFRIDO", "CARREC", "SCASFR"},
    {"CTLPD_PRG_LAVINTDOC", "TXT_SCASFRIDO", "SCASFR", "CARREC"},
    {"CTLPD_PRG_LAVINTDOC", "TXT_LISTAPREL", "LISTPREL", "LISTTRASF"},
    {"CTLPD_PRG_LAVINTDOC", "TXT_LISTATRASF", "LISTTRASF", "RICHTRASF"},
    {"CTLPD_PRG_LAVINTDOC", "TXT_CARREINTEGRO", "CARREP", "SCAREP"},
    {"CTLPD_PRG_LAVINTDOC", "TXT_SCAREINTEGRO", "SCAREP", "CARREP"},
    {"CTLPD_PRG_LAVINTDOC", "TXT_DISIMPLOTTI_I", "DISIMPLOT", "IMPLOT"},
    {"CTLPD_PRG_LAVINTDOC", "TXT_CARUBIREP", "CARUBI", "ODP"},
    {"CTLPD_PRG_LAVINTDOC", "TXT_IMPLOTTI_I", "IMPLOT", "DISIMPLOT"},
    {"CTLPD_PRG_LAVINTDOC", "TXT_CARMACERO", "CARSCA", "SCASCA"},
    {"CTLPD_PRG_LAVINTDOC", "TXT_SCAMACERO", "SCASCA", "CARSCA"},
    {"CTLPD_PRG_LAVESTDOC", "TXT_OFORNCL", "OFCL", "DDTCLCAR"},
    {"CTLPD_PRG_LAVESTDOC", "TXT_DDTCLINV", "DDTCLINV", "DISIMPCL"},
    {"CTLPD_PRG_LAVESTDOC", "TXT_DDTCLCAR", "DDTCLCAR", "VERSCL"},
    {"CTLPD_PRG_LAVESTDOC", "TXT_VERSCL", "VERSCL", "SCACL"},
    {"CTLPD_PRG_LAVESTDOC", "TXT_SCACL", "SCACL", "VERSCL"},
    {"CTLPD_PRG_LAVESTDOC", "TXT_AVANZCL", "VERSCL", "AVANZ"},
    {"CTLPD_PRG_LAVESTDOC", "TXT_CARDEPCL", "DDTCLCAR", "OFCL"},
    {"CTLPD_PRG_LAVESTDOC", "TXT_CARRESOCL", "CARRESOCL", "SCARESOCL"},
    {"CTLPD_PRG_LAVESTDOC", "TXT_SCARRESOCL", "SCARESOCL", "CARRESOCL"},
    {"CTLPD_PRG_LAVESTDOC", "TXT_VERSCLTRASF", "VERSCLTRASF", "CARCLTRASF"},
    {"CTLPD_PRG_LAVESTDOC", "TXT_CARCLTRASF", "CARCLTRASF", "VERSCLTRASF"},
    {"CTLPD_PRG_LAVESTDOC", "TXT_CARMATIMB", "CARIMB", "CARRECCL"},
    {"CTLPD_PRG_LAVESTDOC", "TXT_DISIMPLOTTI_E", "DISIMPCL", "DISIMPLOT"},
    {"CTLPD_PRG_LAVESTDOC", "TXT_CARDEPTRANS", "CARREP", "DDTCLCAR"},
    {"CTLPD_PRG_LAVESTDOC", "TXT_SCARDEPTRANS", "SCAREP", "SCACL"},
    {"CTLPD_PRG_LAVESTDOC", "TXT_LISTAPRELEST", "LISTPREL", "LISTTRASF"},
    {"CTLPD_PRG_LAVESTDOC", "TXT_CARSCA_OCL", "CARSCACL", "CARSCA"},
    {"CTLPD_PRG_LAVESTDOC", "TXT_SCAMACEROCL", "SCASCACL", "SCASCA"},
    {"CTLPD_PRG_CLADOC", "TXT_CARMATCLA", "CARMATCLA", "VERSCLA"},
    {"CTLPD_PRG_CLADOC", "TXT_RESTITCLA", "DDTRESTCLA", "DDTRESOCLA"},
    {"CTLPD_PRG_CLADOC", "TXT_FATTDDTCLA", "FATTCLA", "FATT"},
    {"CTLPD_PRG_CLADOC", "TXT_VERSACLA", "VERSCLA", "CARMATCLA"},
    {"CTLPD_PRG_CLADOC", "TXT_SCAMATCLA", "SCAMATCLA", "VERSCLA"},
    {"CTLPD_PRG_CLADOC", "TXT_SCARESOMATCLA", "DDTRESOCLA", "DDTRESTCLA"},
};

TEST_F(GeneralWorkPages, Document_fields_take_their_kind_and_refuse_a_neighbour) {
    std::map<std::string, std::shared_ptr<ParameterPage>> opened;
    for (const FieldCase& c : kFields) {
        SCOPED_TRACE(std::string(c.page) + "." + c.field);
        auto& page = opened[c.page];
        if (!page) {
            page = open(c.page);
            ASSERT_NE(page, nullptr);
        }
        auto* edit = page->findAs<kc::EditM>(c.field);
        ASSERT_NE(edit, nullptr);
        auto label = edit->descriptionLabel();
        ASSERT_NE(label, nullptr);
        const std::string bound = edit->dbField();

        const std::size_t shown = presenter_.boxes().size();
        EXPECT_FALSE(edit->userEnter(c.refused).accepted());
        ASSERT_EQ(presenter_.boxes().size(), shown + 1);
        EXPECT_EQ(presenter_.boxes().back().messageId, 23389);
        EXPECT_EQ(presenter_.boxes().back().title, page->title());
        EXPECT_EQ(page->focused(), edit) << "the field keeps the focus";
        // The person retypes the field and leaves it again.
        ASSERT_TRUE(edit->userEnter("").accepted());
        EXPECT_TRUE(column(bound.c_str()).isNull()) << "an emptied code is stored as NULL";
        EXPECT_EQ(label->caption(), "");

        // Lower case and trailing blanks: stored upper case, trimmed.
        std::string typed = c.accepted;
        for (char& ch : typed) {
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        }
        EXPECT_TRUE(edit->userEnter(typed + "  ").accepted());
        EXPECT_EQ(krl::rtrim(column(bound.c_str()).textOrEmpty()), c.accepted);
        EXPECT_NE(label->caption(), "");
        EXPECT_EQ(presenter_.boxes().size(), shown + 1);
    }
}

// The progress field takes loads (24/3) besides progress documents (24/4); its several-subtype
// lookup is the code fields' own.
TEST_F(GeneralWorkPages, Progress_field_takes_loads_and_progress_documents) {
    auto page = open("CTLPD_PRG_LAVINTDOC");
    auto* edit = page->findAs<kc::EditM>("TXT_INTAVANZ");
    EXPECT_TRUE(edit->userEnter("CARSL").accepted());
    EXPECT_TRUE(edit->userEnter("AVANZ").accepted());
    EXPECT_TRUE(presenter_.boxes().empty());
}

TEST_F(GeneralWorkPages, Deposit_and_scrap_recovery_fields_are_only_decoded) {
    struct Case {
        const char* page;
        const char* field;
        const char* typed;
    };
    const Case cases[] = {
        {"CTLPD_PRG_LAVINTDOC", "TXT_DEPSCARTO", "ZZ"},
        {"CTLPD_PRG_LAVESTDOC", "TXT_DEPCARSCA_OCL", "ZZ"},
        {"CTLPD_PRG_LAVESTIND", "TXT_DEPTRANS", "ZZ"},
        {"CTLPD_PRG_LAVESTDOC", "TXT_CARSFRIDOCL", "OFCL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        auto page = open(c.page);
        if (std::string(c.page) == "CTLPD_PRG_LAVESTDOC") {
            pageMember<ScrapLoadSwitch>(*page, "EnableCarSfridoCl").setEnableCarSfridoCl(true);
        }
        if (std::string(c.page) == "CTLPD_PRG_LAVESTIND") {
            ASSERT_TRUE(input(*page, "CBX_SCAGENLISPRECL", "1").accepted());
        }
        auto* edit = page->findAs<kc::EditM>(c.field);
        EXPECT_TRUE(edit->userEnter(c.typed).accepted());
        EXPECT_EQ(krl::rtrim(column(edit->dbField().c_str()).textOrEmpty()), c.typed);
        EXPECT_TRUE(presenter_.boxes().empty());
    }
    auto page = open("CTLPD_PRG_LAVINTDOC");
    ASSERT_TRUE(input(*page, "TXT_DEPSCARTO", "sc").accepted());
    EXPECT_EQ(page->findAs<kc::Label>("TXT_DESDEPSCARTO")->caption(), "Deposito scarti");
}

// The person's input, taken as done when the control already shows the value.
bool set(ParameterPage& page, const std::string& name, const std::string& value) {
    kc::Control* control = page.find(name);
    return (control != nullptr && control->text() == value) || input(page, name, value).accepted();
}

TEST_F(GeneralWorkPages, Exclusive_pairs_and_visibility_rules) {
    struct Case {
        const char* name;
        const char* page;
        const char* preset;  // written into the record first
        const char* inputs;
        const char* controls;
        const char* columns;
    };
    const char* const lavInt = "CTLPD_PRG_LAVINTIND";
    const char* const lavEst = "CTLPD_PRG_LAVESTIND";
    const char* const cla = "CTLPD_PRG_CLAIND";
    const Case cases[] = {
        {"commitment by internal order switches the picking list off in the record", lavInt,
         "PD42_FLGIMPGENLISP=1 PD42_FLGIMPGENORD=0", "CBX_GENORD=1", "",
         "PD42_FLGIMPGENORD=1 PD42_FLGIMPGENLISP=0"},
        {"unticking the internal order leaves the picking list alone", lavInt,
         "PD42_FLGIMPGENLISP=1", "CBX_GENORD=0", "", "PD42_FLGIMPGENORD=0 PD42_FLGIMPGENLISP=1"},
        {"commitment by picking list switches the internal order off", lavInt, "",
         "CBX_IMPGENLISPRE=1", "CBX_GENORD =0", "PD42_FLGIMPGENLISP=1 PD42_FLGIMPGENORD=0"},
        {"transfer by internal order switches the transfer list off", lavInt, "", "CBX_SCAGENORD=1",
         "CBX_SCAGENLISPRE =0", "PD42_FLGSCAGENORD=1 PD42_FLGSCAGENLISP=0"},
        {"transfer by list switches the internal order off", lavInt,
         "PD42_FLGSCAGENLISP=0 PD42_FLGSCAGENORD=1", "CBX_SCAGENLISPRE=1", "",
         "PD42_FLGSCAGENLISP=1 PD42_FLGSCAGENORD=0"},
        {"exact progress check hides the tolerance and keeps it", lavInt, "",
         "cbo_AvanzFaseINT=1 TXT_PERCTOLLINT=12.5 cbo_AvanzFaseINT=0",
         "TXT_PERCTOLLINT hidden =12.5", "PD42_PERCTOLLINT=12.5"},
        {"tolerance check shows it again with its value", lavInt, "",
         "cbo_AvanzFaseINT=1 TXT_PERCTOLLINT=7 cbo_AvanzFaseINT=0 cbo_AvanzFaseINT=1",
         "TXT_PERCTOLLINT shown =7", "PD42_PERCTOLLINT=7"},
        {"subcontracting order switches the picking list off", lavEst, "PD42_FLGGENTRASFCL=1",
         "CBX_GEORDCLAV=1", "CBX_GELISTATRASFCL =0", "PD42_FLGGENORDCLAV=1 PD42_FLGGENTRASFCL=0"},
        {"picking list switches the subcontracting order off", lavEst, "",
         "CBX_GEORDCLAV=1 CBX_GELISTATRASFCL=1", "CBX_GEORDCLAV =0",
         "PD42_FLGGENTRASFCL=1 PD42_FLGGENORDCLAV=0"},
        {"no transfer documents: the transit deposit is locked with its code", lavEst, "",
         "CBX_SCAGENLISPRECL=1 TXT_DEPTRANS=cl CBX_SCAGENLISPRECL=0", "TXT_DEPTRANS off =CL",
         "PD42_FLGSCAGENLISPCL=0"},
        {"external tolerance follows its combo and keeps its value", lavEst, "",
         "CBO_AVANZFASIEXT=1 TXT_PERCTOLLEST=3 CBO_AVANZFASIEXT=0", "TXT_PERCTOLLEST hidden =3",
         "PD42_PERCTOLLEST=3"},
        {"materials referred at the end reset the quantity reference", cla, "",
         "cbo_RifMat_CA=1 cbo_Rif_Qta=2 cbo_RifMat_CA=2", "cbo_Rif_Qta off =0",
         "PD42_FLGQTAMATCLA=0"},
        {"materials on each row enable it again at no reference", cla, "",
         "cbo_RifMat_CA=1 cbo_Rif_Qta=2 cbo_RifMat_CA=0 cbo_RifMat_CA=1", "cbo_Rif_Qta on =0",
         "PD42_FLGQTAMATCLA=0"},
        {"lots off lock the closing date with its value", cla, "",
         "chk_GestPartCla=1 cbo_DataVal_CA=2 chk_GestPartCla=0", "cbo_DataVal_CA off =2",
         "PD42_INDDATPARTCLA=2"},
        {"lots on unlock it unchanged", cla, "",
         "chk_GestPartCla=1 cbo_DataVal_CA=1 chk_GestPartCla=0 chk_GestPartCla=1",
         "cbo_DataVal_CA on =1", "PD42_INDDATPARTCLA=1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        for (const auto& [name, value] : pairs(c.preset)) {
            (*general_)[name].setValue(Variant(static_cast<std::int16_t>(std::stoi(value))));
        }
        auto page = open(c.page);
        ASSERT_NE(page, nullptr);
        for (const auto& [control, value] : pairs(c.inputs)) {
            ASSERT_TRUE(set(*page, control, value)) << control << " " << value;
        }
        expectControls(*page, c.controls);
        expectColumns(c.columns);
        EXPECT_TRUE(presenter_.boxes().empty());
    }
}

TEST_F(GeneralWorkPages, Percentages_take_numbers_of_their_width_only) {
    auto page = open("CTLPD_PRG_LAVINTIND");
    ASSERT_TRUE(set(*page, "cbo_AvanzFaseINT", "1"));
    auto* tolerance = page->findAs<kc::EditM>("TXT_PERCTOLLINT");
    EXPECT_EQ(tolerance->maxChar(), 5);
    EXPECT_FALSE(tolerance->userEnter("abc").accepted());
    ASSERT_TRUE(tolerance->userEnter("").accepted());
    EXPECT_TRUE(tolerance->userEnter("12.3456").accepted());
    EXPECT_EQ(krl::numericValue(column("PD42_PERCTOLLINT")), 12.34);
}

TEST_F(GeneralWorkPages, Warehouse_management_locks_three_controls_from_the_start) {
    auto page = open("CTLPD_PRG_LAVINTIND", [](ParameterPage& p) {
        pageMember<WarehouseActions>(p, "AzioniWMSEnabled").AzioniWMSEnabled();
    });
    for (const char* name : {"CBX_SCAGENORD", "CBX_FLGSCAMATREP", "CHK_FLGREINMATSALDO"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(page->find(name)->enabled());
        EXPECT_EQ(page->find(name)->text(),
                  krl::numericValue(column(page->find(name)->dbField().c_str())) == 1 ? "1" : "0");
        EXPECT_FALSE(page->findAs<kc::CheckBox>(name)->userClick().accepted());
    }
    EXPECT_TRUE(page->find("CBX_SCAGENLISPRE")->enabled());
    auto plain = open("CTLPD_PRG_LAVINTIND");
    EXPECT_TRUE(plain->find("CBX_SCAGENORD")->enabled());
}

TEST_F(GeneralWorkPages, Hidden_commitment_mode_is_neither_shown_nor_bound) {
    (*general_)["PD42_INDIMPINTEST"].setValue(Variant(std::int16_t{1}));
    auto page = open("CTLPD_PRG_LAVESTIND");
    auto* mode = page->findAs<kc::Combo>("CBO_INDIMPINTEST");
    ASSERT_NE(mode, nullptr);
    EXPECT_FALSE(mode->visible());
    EXPECT_EQ(mode->binding(), nullptr);
    EXPECT_EQ(mode->rows().size(), 2u);
    EXPECT_FALSE(mode->userSelect("0").accepted());
    EXPECT_EQ(krl::numericValue(column("PD42_INDIMPINTEST")), 1);
}

TEST_F(GeneralWorkPages, Scrap_recovery_load_follows_what_the_window_says) {
    auto page = open("CTLPD_PRG_LAVESTDOC");
    auto* load = page->findAs<kc::EditM>("TXT_CARSFRIDOCL");
    auto& scrapLoad = pageMember<ScrapLoadSwitch>(*page, "EnableCarSfridoCl");
    scrapLoad.setEnableCarSfridoCl(false);
    EXPECT_FALSE(load->enabled());
    EXPECT_FALSE(load->userEnter("CARRECCL").accepted());
    scrapLoad.setEnableCarSfridoCl(true);
    EXPECT_TRUE(load->enabled());
    EXPECT_TRUE(load->userEnter("CARRECCL").accepted());
    EXPECT_EQ(page->findAs<kc::Label>("LBL_DESCARSFRIDOCL")->caption(),
              "Carico recupero conto lavoro");
}

}  // namespace
}  // namespace duza_zovrena::pages::testing

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "duza_zovrena/pages/page.h"
#include "duza_zovrena/window/window_fixture.h"
#include "krl/controls/check_box.h"
#include "krl/controls/combo.h"
#include "krl/controls/edit.h"
#include "krl/controls/grid_nav.h"
#include "krl/controls/lookup.h"
#include "krl/controls/side_bar.h"
#include "krl/frame/virtual_frame.h"
#include "krl/sql/program_sql.h"

namespace duza_zovrena::window::testing {
namespace {

namespace kc = krl::controls;
namespace program = krl::sql::testing::program;
using krl::frame::StatusInserting;
using krl::frame::StatusViewing;

constexpr std::array<const char*, 4> kItems = {"ITM_PRD_IND", "ITM_PRD_PRD", "ITM_PRD_DCLIE",
                                               "ITM_PRD_DCCLA"};

class DocumentSelection : public WindowFixture {
  protected:
    FRMPD_ZOVRENA& openOnDocuments() {
        program_ = open(Variant(std::int32_t{1}));
        FRMPD_ZOVRENA& window = windowOf(program_);
        window.sideBar().select("GRP_PRD_DOCUMENTI", "ITM_PRD_IND");
        return window;
    }

    static kc::EditM& code(FRMPD_ZOVRENA& window) {
        return *dynamic_cast<kc::EditM*>(window.find("TXT_CODDOC"));
    }

    static std::array<bool, 4> items(FRMPD_ZOVRENA& window) {
        std::array<bool, 4> enabled{};
        for (std::size_t i = 0; i < kItems.size(); ++i) {
            enabled[i] = window.sideBar().item(kItems[i])->enabled;
        }
        return enabled;
    }

    std::vector<data::testing::Row> storedDocuments(const std::string& where = "1 = 1") {
        data::testing::SqliteFile file(folder_.file("window.db"));
        return file.rows("SELECT * FROM PD88_ZOVRENADOC WHERE " + where);
    }

    kc::ScriptedLookupPresenter lookups_;
    kc::ScopedLookupPresenter lookupScope_{lookups_};
    std::shared_ptr<host::CLSPD_ZOVRENA> program_;
};

struct KindCase {
    const char* code;
    const char* typeText;  // "" when the code is not the company's
    std::array<bool, 4> items;
    const char* selected;
    long message;  // 0: none
};

class DocumentKinds : public DocumentSelection, public ::testing::WithParamInterface<KindCase> {};

// The items start as the window shows them first: only the indicators on.
INSTANTIATE_TEST_SUITE_P(
    EveryManagedKindAndTwoOthers, DocumentKinds,
    ::testing::Values(KindCase{"ODP", "2420", {true, true, true, false}, "ITM_PRD_IND", 0},
                      KindCase{"OFCL", "251", {true, true, true, false}, "ITM_PRD_IND", 0},
                      KindCase{"LISTTRASF", "103", {true, false, true, false}, "ITM_PRD_IND", 0},
                      KindCase{
                          "DDTRESTCLA", "265", {false, false, false, true}, "ITM_PRD_DCCLA", 0},
                      KindCase{"OC", "11", {true, false, false, false}, "ITM_PRD_IND", 12752},
                      // A document of company 2 only.
                      KindCase{"ODPEXT", "", {true, false, false, false}, "ITM_PRD_IND", 12732}));

TEST_P(DocumentKinds, Choosing_a_code_sets_the_items_of_its_kind_and_shows_the_first) {
    const KindCase& c = GetParam();
    FRMPD_ZOVRENA& window = openOnDocuments();
    ASSERT_TRUE(code(window).userEnter(c.code).accepted());
    EXPECT_EQ(items(window), c.items);
    EXPECT_EQ(window.currentItem(), c.selected);
    EXPECT_EQ(window.documentTypeText(), c.typeText);
    if (c.message == 0) {
        EXPECT_TRUE(messageIds().empty());
    } else {
        EXPECT_EQ(messageIds(), std::vector<long>{c.message});
    }
    EXPECT_EQ(window.documentFrame()->recordset()->source(),
              program::documentParameters("1", c.code));
    EXPECT_EQ(storedDocuments().size(), 2U) << "choosing a code writes nothing";
}

TEST_F(DocumentSelection, An_unmanaged_code_after_a_managed_one_keeps_the_items) {
    FRMPD_ZOVRENA& window = openOnDocuments();
    ASSERT_TRUE(code(window).userEnter("DDTRESTCLA").accepted());
    const auto before = items(window);
    ASSERT_TRUE(code(window).userEnter("OC").accepted());
    EXPECT_EQ(items(window), before);
    EXPECT_EQ(messageIds(), std::vector<long>{12752});
}

TEST_F(DocumentSelection, Trailing_blanks_are_trimmed_and_quotes_doubled_before_the_lookup) {
    FRMPD_ZOVRENA& window = openOnDocuments();
    ASSERT_TRUE(code(window).userEnter("ODP   ").accepted());
    EXPECT_EQ(window.documentFrame()->recordset()->source(),
              program::documentParameters("1", "ODP"));
    EXPECT_EQ(window.rememberedCode(), "ODP");
    ASSERT_TRUE(code(window).userEnter("O'P").accepted());
    EXPECT_EQ(window.documentFrame()->recordset()->source(),
              program::documentParameters("1", "O'P"));
    EXPECT_EQ(window.documentTypeText(), "") << "the production order's kind is not kept";
}

TEST_F(DocumentSelection, The_same_code_again_does_nothing_not_even_the_close_query) {
    FRMPD_ZOVRENA& window = openOnDocuments();
    ASSERT_TRUE(code(window).userEnter("ODP").accepted());
    auto indicators = window.currentPage();
    ASSERT_TRUE(dynamic_cast<kc::Combo*>(indicators->find("CMB_LOCALDIBA_DOC"))
                    ->userSelect("1")
                    .accepted());
    ASSERT_NE(window.documentFrame()->status(), StatusViewing);
    ASSERT_TRUE(code(window).userEnter("ODP ").accepted());
    EXPECT_TRUE(presenter_.boxes().empty()) << "no question about the changes";
    EXPECT_NE(window.documentFrame()->status(), StatusViewing) << "the changes are kept";
}

TEST_F(DocumentSelection, A_refused_close_query_keeps_the_row_and_shows_its_code) {
    FRMPD_ZOVRENA& window = openOnDocuments();
    ASSERT_TRUE(code(window).userEnter("ODP").accepted());
    auto indicators = window.currentPage();
    ASSERT_TRUE(dynamic_cast<kc::Combo*>(indicators->find("CMB_LOCALDIBA_DOC"))
                    ->userSelect("2")
                    .accepted());
    presenter_.queue(krl::host::vbCancel);
    code(window).userEnter("OFCL");
    EXPECT_EQ(code(window).text(), "ODP");
    EXPECT_EQ((*window.documentFrame()->recordset())["PD88_CODDOC_MG36"].value().textOrEmpty(),
              "ODP");
    EXPECT_EQ((*window.documentFrame()->recordset())["PD88_INDLOCDISBA"].value().toInt32(), 2);
    EXPECT_EQ(window.documentFrame()->recordset()->source(),
              program::documentParameters("1", "ODP"));
}

TEST_F(DocumentSelection, A_code_without_a_row_starts_one_that_follows_the_general_settings) {
    FRMPD_ZOVRENA& window = openOnDocuments();
    ASSERT_TRUE(code(window).userEnter("ofcl").accepted()) << "typed in lower case";
    auto frame = window.documentFrame();
    ASSERT_EQ(frame->status(), StatusInserting);
    ASSERT_TRUE(frame->confirm());
    const auto rows = storedDocuments("PD88_CODDOC_MG36 = 'OFCL'");
    ASSERT_EQ(rows.size(), 1U);
    const auto& row = rows.front();
    EXPECT_EQ(row.at("PD88_DITTA_CG18").toInt32(), 1);
    for (const char* column :
         {"PD88_INDSTATI", "PD88_INDMODORDLAV", "PD88_INDIMPGENORD", "PD88_INDIMPGENLISP",
          "PD88_INDSCAGENORD", "PD88_INDSCAGENLISP", "PD88_INDLOCDISBA", "PD88_PERCTOLLINT",
          "PD88_INDSCARTOFASI", "PD88_INDGESOCLPRO", "PD88_FLGDEPCREP", "PD88_FLGDEPAVERSART"}) {
        EXPECT_EQ(row.at(column).toInt32(), 0) << column;
    }
    for (const char* column :
         {"PD88_FLGDEPCLEGAME", "PD88_FLGDEPCPIANART", "PD88_FLGDEPARIGAORD"}) {
        EXPECT_EQ(row.at(column).toInt32(), 1) << column;
    }
    EXPECT_EQ(row.at("PD88_INDSTATOORD").toInt32(), 2) << "without line states: launched";
}

TEST_F(DocumentSelection, The_lookup_lists_documents_with_a_row_and_the_menu_entry_all_of_them) {
    FRMPD_ZOVRENA& window = openOnDocuments();
    EXPECT_EQ(FRMPD_ZOVRENA::documentLookupSql("Standard", "Personalizzato",
                                               Variant(std::int32_t{1}), false),
              program::documentLookup("1", "Standard", "Personalizzato", false));
    EXPECT_EQ(FRMPD_ZOVRENA::documentLookupSql("Standard", "Personalizzato",
                                               Variant(std::int32_t{1}), true),
              program::documentLookup("1", "Standard", "Personalizzato", true));
    lookups_.answers = {std::nullopt, std::nullopt, std::nullopt};
    code(window).userLookup();
    code(window).userMenu("Kpers1");
    code(window).userLookup();
    ASSERT_EQ(lookups_.shown.size(), 3U);
    auto codes = [&](std::size_t list) {
        std::vector<std::string> found;
        for (std::size_t row = 0; row < lookups_.shown[list].rows.size(); ++row) {
            found.push_back(lookups_.shown[list].code(row));
        }
        return found;
    };
    const std::vector<std::string> withRow = {"LISTTRASF", "ODP"};
    EXPECT_EQ(codes(0), withRow);
    EXPECT_EQ(lookups_.shown[0].title, "Documenti attivi gestiti");
    EXPECT_EQ(codes(1), (std::vector<std::string>{"DDTRESTCLA", "FATTCLA", "LISTTRASF", "ODP",
                                                  "ODP2", "OFCL"}));
    EXPECT_EQ(lookups_.shown[1].title, "Elenco documenti attivi per ditta");
    EXPECT_EQ(codes(2), withRow) << "the menu entry counts for one lookup";
}

TEST_F(DocumentSelection, Clearing_the_code_disables_the_page_in_front_and_keeps_the_row) {
    FRMPD_ZOVRENA& window = openOnDocuments();
    ASSERT_TRUE(code(window).userEnter("ODP").accepted());
    ASSERT_TRUE(code(window).userEnter("").accepted());
    auto indicators = window.currentPage();
    EXPECT_FALSE(indicators->find("CMB_LOCALDIBA_DOC")->enabled());
    EXPECT_FALSE(indicators->find("TXT_PERCTOLLINT_DOC")->enabled());
    EXPECT_EQ((*window.documentFrame()->recordset())["PD88_CODDOC_MG36"].value().textOrEmpty(),
              "ODP");
}

TEST_F(DocumentSelection, Indicators_that_follow_the_general_row_say_what_it_holds_now) {
    FRMPD_ZOVRENA& window = openOnDocuments();
    ASSERT_TRUE(code(window).userEnter("ODP").accepted());
    auto indicators = window.page("ITM_PRD_IND");
    const auto effective = [&](const char* name) {
        return indicators->find(name)->effectiveText();
    };
    EXPECT_EQ(effective("CMB_LOCALDIBA_DOC"),
              "Come indicatori gestionali (ora: Modalita' interattiva)");
    EXPECT_EQ(effective("CMB_INDSTATOORD"), "") << "its 0 is a state of its own";
    window.sideBar().select("GRP_PRG_INDGES", "ITM_PRG_INDGES");
    ASSERT_TRUE(dynamic_cast<kc::Combo*>(window.currentPage()->find("CMB_LOCALDIBA"))
                    ->userSelect("1")
                    .accepted());
    EXPECT_EQ(effective("CMB_LOCALDIBA_DOC"),
              "Come indicatori gestionali (ora: Modalita' interattiva)")
        << "not before the general row is saved";
    ASSERT_TRUE(window.generalFrame()->confirm());
    EXPECT_EQ(effective("CMB_LOCALDIBA_DOC"),
              "Come indicatori gestionali (ora: Modalita' non interattiva)");
    EXPECT_EQ(storedDocuments("PD88_CODDOC_MG36 = 'ODP'").front().at("PD88_INDLOCDISBA").toInt32(),
              0)
        << "the document row still follows the general row";
}

struct SwitchCase {
    const char* code;
    // CMB_LOCALDIBA_DOC, CMB_MODINTODL, CMB_MOVCARSCARLSTTRASF, CMB_INDGESTSTATI, TXT_DEPTRANS_DOC
    std::array<bool, 5> enabled;
};

// Each kind after a production order: the page in front is first enabled whole, then the kind
// switches what it names.
TEST_F(DocumentSelection, The_indicators_page_switches_its_controls_by_kind) {
    const std::array<const char*, 5> names = {"CMB_LOCALDIBA_DOC", "CMB_MODINTODL",
                                              "CMB_MOVCARSCARLSTTRASF", "CMB_INDGESTSTATI",
                                              "TXT_DEPTRANS_DOC"};
    const std::vector<SwitchCase> cases = {
        {"ODP", {true, true, false, true, false}},
        {"OFCL", {true, false, false, true, false}},
        {"LISTTRASF", {false, false, true, false, true}},
        {"DDTRESTCLA", {true, true, true, false, true}},
        {"OC", {true, true, true, true, true}},
    };
    FRMPD_ZOVRENA& window = openOnDocuments();
    auto indicators = window.page("ITM_PRD_IND");
    for (const SwitchCase& c : cases) {
        SCOPED_TRACE(c.code);
        ASSERT_TRUE(code(window).userEnter("ODP").accepted());
        code(window).userEnter(c.code);
        for (std::size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(indicators->find(names[i])->enabled(), c.enabled[i]) << names[i];
        }
        EXPECT_FALSE(indicators->find("CMB_INDSTATOORD")->enabled()) << "no line states";
    }
}

TEST_F(DocumentSelection, Scrap_phases_and_tolerances_follow_their_combos) {
    FRMPD_ZOVRENA& window = openOnDocuments();
    ASSERT_TRUE(code(window).userEnter("ODP").accepted());
    auto page = window.currentPage();
    auto combo = [&](const char* name) { return dynamic_cast<kc::Combo*>(page->find(name)); };
    EXPECT_FALSE(page->find("CMB_INDSCARTOFASIDOC")->enabled());
    ASSERT_TRUE(combo("CMB_INDMODSCARTO")->userSelect("3").accepted());
    ASSERT_TRUE(combo("CMB_INDSCARTOFASIDOC")->userSelect("1").accepted());
    ASSERT_TRUE(combo("CMB_INDMODSCARTO")->userSelect("1").accepted());
    EXPECT_EQ(combo("CMB_INDSCARTOFASIDOC")->text(), "0");
    EXPECT_FALSE(page->find("CMB_INDSCARTOFASIDOC")->enabled());
    EXPECT_EQ((*window.documentFrame()->recordset())["PD88_INDSCARTOFASI"].value().toInt32(), 0);

    auto* tolerance = dynamic_cast<kc::EditM*>(page->find("TXT_PERCTOLLINT_DOC"));
    ASSERT_TRUE(combo("cbo_AvanzFaseInt_Doc")->userSelect("2").accepted());
    EXPECT_TRUE(tolerance->visible());
    EXPECT_FALSE(tolerance->userEnter("abc").accepted());
    ASSERT_TRUE(tolerance->userEnter("12.5").accepted());
    tolerance->userEnter("1234567");
    EXPECT_LE(tolerance->text().size(), 5U);
    ASSERT_TRUE(combo("cbo_AvanzFaseInt_Doc")->userSelect("1").accepted());
    EXPECT_FALSE(tolerance->visible());
}

}  // namespace
}  // namespace duza_zovrena::window::testing

// The internal-work, external-work and active-subcontracting pages inside the window: the save
// refusals that lead to them, warehouse management and the scrap-recovery load.
#include <gtest/gtest.h>

#include "duza_zovrena/pages/page.h"
#include "duza_zovrena/window/window_fixture.h"
#include "krl/controls/check_box.h"
#include "krl/controls/edit.h"
#include "krl/controls/side_bar.h"
#include "krl/frame/virtual_frame.h"

namespace duza_zovrena::window::testing {
namespace {

class GeneralWorkWindow : public WindowFixture {};

TEST_F(GeneralWorkWindow, Refused_deposit_choices_show_the_page_and_focus_the_first_box) {
    struct Case {
        std::vector<const char*> cleared;
        long messageId;
        const char* focus;
    };
    const Case cases[] = {
        {{"PD42_FLGDEPCLEGAME", "PD42_FLGDEPCREP", "PD42_FLGDEPCCLP", "PD42_FLGDEPCPRELART",
          "PD42_FLGDEPCPIANART"},
         20362,
         "CBX_FLGDEPCLEGAME"},
        {{"PD42_FLGDEPARIGAORD", "PD42_FLGDEPAVERSART", "PD42_FLGDEPAPIANART"},
         20372,
         "CBX_FLGDEPAVERSART"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.focus);
        auto program = open(Variant(std::int32_t{1}));
        FRMPD_ZOVRENA& window = windowOf(program);
        window.sideBar().select("GRP_PRG_CLA", "ITM_PRG_CLAIND");
        for (const char* column : c.cleared) {
            (*window.generalRows())[column].setValue(Variant(std::int16_t{0}));
        }
        window.generalFrame()->setStatus(1);
        std::size_t shown = presenter_.boxes().size();
        EXPECT_FALSE(window.generalFrame()->confirm());
        ASSERT_EQ(presenter_.boxes().size(), shown + 1);
        EXPECT_EQ(presenter_.boxes().back().messageId, c.messageId);
        EXPECT_EQ(window.currentItem(), "ITM_PRG_LAVINTIND");
        auto page = window.currentPage();
        ASSERT_NE(page, nullptr);
        EXPECT_TRUE(page->Visible());
        ASSERT_NE(page->focused(), nullptr);
        EXPECT_EQ(page->focused()->name(), c.focus);
        presenter_.queue(krl::host::vbNo);
        program->closeForm();
    }
}

TEST_F(GeneralWorkWindow, Warehouse_company_opens_internal_work_with_its_boxes_locked) {
    for (int company : {1, 2}) {
        SCOPED_TRACE(company);
        auto program = open(Variant(std::int32_t{company}));
        FRMPD_ZOVRENA& window = windowOf(program);
        window.sideBar().userClick("ITM_PRG_LAVINTIND");
        auto page = window.currentPage();
        ASSERT_NE(page, nullptr);
        for (const char* name : {"CBX_SCAGENORD", "CBX_FLGSCAMATREP", "CHK_FLGREINMATSALDO"}) {
            EXPECT_EQ(page->find(name)->enabled(), company == 1) << name;
        }
        EXPECT_TRUE(page->find("CBX_GENORD")->enabled());
        program->closeForm();
    }
}

TEST_F(GeneralWorkWindow, Scrap_recovery_load_follows_the_indicator_at_each_showing) {
    auto program = open(Variant(std::int32_t{1}));
    FRMPD_ZOVRENA& window = windowOf(program);
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

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "krl/controls/check_box.h"
#include "krl/controls/combo.h"
#include "krl/controls/container.h"
#include "krl/controls/edit.h"
#include "krl/controls/grid_nav.h"
#include "krl/controls/resize_form.h"
#include "krl/controls/side_bar.h"

namespace krl::controls {
namespace {

TEST(EditM, TypedTextIsCutAtMaxcharAndShownInUpperCase) {
    struct Case {
        const char* typed;
        int maxChar;
        const char* format;
        const char* expected;
    };
    const Case cases[] = {
        {"abc", 0, "", "abc"},
        {"abc", 0, "Maiuscolo", "ABC"},
        {"bolla12345678901", 14, "Maiuscolo", "BOLLA123456789"},
        {"d1x", 2, "Maiuscolo", "D1"},
        {"perché", 0, "Maiuscolo", "PERCHÉ"},
        {"àèìòù", 3, "", "àèì"},  // characters, not bytes
        {"ab", 5, "", "ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EditM edit("TXT_X");
        edit.setMaxChar(c.maxChar);
        edit.setDisplayFormat(c.format);
        EXPECT_TRUE(edit.userEnter(c.typed).accepted());
        EXPECT_EQ(edit.text(), c.expected);
    }
}

TEST(EditM, CancelledValidateKeepsTheFocusUntilTheTextIsCorrected) {
    ControlContainer page("PAGE");
    auto code = page.create<EditM>(nullptr, "TXT_CODE");
    auto other = page.create<EditM>(nullptr, "TXT_OTHER");
    int changes = 0;
    code->Change.connect([&] { ++changes; });
    code->Validate.connect([&](bool& cancel) { cancel = code->text() == "BAD"; });

    EXPECT_EQ(code->userEnter("BAD").status, InputStatus::Refused);
    EXPECT_EQ(page.focused(), code.get());
    EXPECT_TRUE(code->pendingValidation());
    EXPECT_FALSE(page.setFocus(other.get()));  // leaving validates again, and is refused again
    EXPECT_EQ(other->userEnter("X").status, InputStatus::Refused);
    EXPECT_EQ(page.focused(), code.get());
    EXPECT_EQ(changes, 0);

    EXPECT_TRUE(code->userType("GOOD").accepted());
    EXPECT_TRUE(page.setFocus(other.get()));
    EXPECT_EQ(page.focused(), other.get());
    EXPECT_EQ(changes, 1);
}

TEST(EditM, ValidateMayCorrectTheTextItLeavesWith) {
    EditM step("TXT_STEP");
    std::vector<std::string> changed;
    step.Validate.connect([&](bool&) {
        if (numericValue(Variant(step.text())) == 0) {
            step.setText("10");
        }
    });
    step.Change.connect([&] { changed.push_back(step.text()); });
    EXPECT_TRUE(step.userEnter("").accepted());
    EXPECT_TRUE(step.userEnter("abc").accepted());
    EXPECT_TRUE(step.userEnter("7").accepted());
    EXPECT_EQ(changed, (std::vector<std::string>{"10", "10", "7"}));
}

TEST(EditM, KeyButtonMenuEntriesReportTheirKey) {
    EditM edit("TXT_CODDOC");
    edit.addKeyButtonMenu(1, "Documenti attivi ditta", true);
    edit.addKeyButtonMenu(2, "Altro", false);
    ASSERT_EQ(edit.keyButtonMenu().size(), 2u);
    EXPECT_EQ(edit.keyButtonMenu()[0].key, "Kpers1");
    EXPECT_EQ(edit.keyButtonMenu()[0].caption, "Documenti attivi ditta");

    std::vector<std::string> pressed;
    edit.KeyButtonMenuPress.connect([&](const std::string& key) { pressed.push_back(key); });
    EXPECT_TRUE(edit.userMenu("Kpers1").accepted());
    EXPECT_EQ(edit.userMenu("Kpers2").status, InputStatus::Ignored);  // disabled entry
    EXPECT_EQ(edit.userMenu("Kpers9").status, InputStatus::Ignored);
    edit.setEnabled(false);
    EXPECT_EQ(edit.userMenu("Kpers1").status, InputStatus::Ignored);
    EXPECT_EQ(pressed, (std::vector<std::string>{"Kpers1"}));
}

TEST(Combo, SelectionTakesOnlyListedCodesAndRaisesChangeRowOnRealChanges) {
    Combo combo("CMB_GESTCICLI");
    combo.addRow("Cicli non gestiti", Variant(std::int16_t{0}));
    combo.addRow("Cicli facoltativi", Variant("1"));
    combo.addRow("Cicli obbligatori", Variant(2.0));
    combo.setAllowEmpty(false);
    int changes = 0;
    combo.ChangeRow.connect([&] { ++changes; });

    struct Step {
        const char* value;
        InputStatus status;
        const char* text;
        int changes;
    };
    const Step steps[] = {
        {"1", InputStatus::Accepted, "1", 1},   {"1", InputStatus::Ignored, "1", 1},
        {"2", InputStatus::Accepted, "2", 2},   {"3", InputStatus::Refused, "2", 2},
        {"", InputStatus::Refused, "2", 2},     {"0", InputStatus::Accepted, "0", 3},
        {"1.0", InputStatus::Accepted, "1", 4},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.value);
        EXPECT_EQ(combo.userSelect(s.value).status, s.status);
        EXPECT_EQ(combo.text(), s.text);
        EXPECT_EQ(changes, s.changes);
    }
    EXPECT_EQ(combo.selectedLabel(), "Cicli facoltativi");

    combo.setText("1");  // same code from code: no event
    EXPECT_EQ(changes, 4);
    combo.load("1");  // a row shown: always raised
    EXPECT_EQ(changes, 5);
    combo.load("7");  // a code the list does not know is kept
    EXPECT_EQ(combo.text(), "7");
    EXPECT_FALSE(combo.selectedIndex().has_value());
}

TEST(CheckBox, ClickTurnsTheValueOverUnlessDisabledHereOrInItsFrame) {
    ControlContainer page("PAGE");
    auto frame = page.create<Frame>(nullptr, "WLF_LOTTI", "Lotti");
    auto box = page.create<CheckBox>(frame.get(), "CBX_GESLOTTI", "Lotti");
    int clicks = 0;
    box->Click.connect([&] { ++clicks; });

    EXPECT_TRUE(box->userClick().accepted());
    EXPECT_EQ(box->text(), "1");
    EXPECT_TRUE(box->userClick().accepted());
    EXPECT_EQ(box->text(), "0");
    frame->setEnabled(false);
    EXPECT_EQ(box->userClick().status, InputStatus::Ignored);
    frame->setEnabled(true);
    box->setVisible(false);
    EXPECT_EQ(box->userClick().status, InputStatus::Ignored);
    EXPECT_EQ(box->text(), "0");
    EXPECT_EQ(clicks, 2);

    const std::pair<const char*, const char*> loads[] = {
        {"1", "1"}, {"0", "0"}, {"", "0"}, {"-1", "1"}, {"x", "0"}};
    for (const auto& [value, shown] : loads) {
        box->load(value);
        EXPECT_EQ(box->text(), shown) << value;
    }
}

TEST(ControlContainer, FindsByNameIgnoringCaseAndRefusesDuplicates) {
    ControlContainer page("PAGE");
    auto label = page.create<Label>(nullptr, "LBL_X", "Etichetta");
    auto combo = page.create<Combo>(nullptr, "CMB_A");
    auto edit = page.create<EditM>(nullptr, "TXT_B");
    EXPECT_EQ(page.find("cmb_a"), combo.get());
    EXPECT_EQ(page.findAs<EditM>("TXT_B"), edit.get());
    EXPECT_EQ(page.findAs<EditM>("CMB_A"), nullptr);
    EXPECT_THROW(page.create<Combo>(nullptr, "Cmb_A"), VbError);
    EXPECT_EQ(page.firstControl(), combo.get());  // labels take no focus
    edit->setTabIndex(-1);
    EXPECT_EQ(page.firstControl(), edit.get());
    page.remove("TXT_B");
    EXPECT_EQ(page.find("TXT_B"), nullptr);
    EXPECT_EQ(edit->container(), nullptr);
}

TEST(SideBar, SelectRaisesTheClickAndDisabledItemsDoNothing) {
    SideBar bar("SB_ZOVRENA");
    bar.addGroup("GRP_PRG_INDGES", "Indicatori");
    bar.addItem("GRP_PRG_INDGES", "ITM_PRG_INDGES", "Indicatori gestionali");
    bar.addGroup("GRP_PRD_DOCUMENTI", "Documenti");
    bar.addItem("GRP_PRD_DOCUMENTI", "ITM_PRD_IND", "Indicatori");
    bar.addItem("GRP_PRD_DOCUMENTI", "ITM_PRD_PRD", "Reperimento");
    bar.initialise(nullptr, false);
    bar.setItemEnabled("GRP_PRD_DOCUMENTI", "ITM_PRD_PRD", false);
    std::vector<std::string> clicked;
    bar.OnClickItemLink.connect([&](const SideBar::Item& item) { clicked.push_back(item.key); });

    EXPECT_TRUE(bar.select("GRP_PRD_DOCUMENTI", "ITM_PRD_IND"));
    EXPECT_EQ(bar.selectedKey(), "ITM_PRD_IND");
    EXPECT_EQ(bar.userClick("ITM_PRD_PRD").status, InputStatus::Ignored);
    EXPECT_FALSE(bar.select("GRP_PRD_DOCUMENTI", "ITM_PRD_PRD"));
    EXPECT_FALSE(bar.select("GRP_PRG_INDGES", "ITM_PRD_IND"));  // wrong group
    EXPECT_EQ(bar.selectedKey(), "ITM_PRD_IND");
    EXPECT_TRUE(bar.userClick("ITM_PRG_INDGES").accepted());
    bar.setItemEnabled("GRP_PRD_DOCUMENTI", "ITM_PRD_PRD", true);
    EXPECT_TRUE(bar.userClick("ITM_PRD_PRD").accepted());
    EXPECT_EQ(clicked, (std::vector<std::string>{"ITM_PRD_IND", "ITM_PRG_INDGES", "ITM_PRD_PRD"}));
}

TEST(GridNav, AddedButtonGoesBeforeTheNamedOneAndLockedMovesCannotBePressed) {
    GridNav bar("INTERNAV_PARAMETRI");
    bar.addButton("Stampa", "Stampa", "", "Conferma");
    std::vector<std::string> keys;
    for (const auto& button : bar.buttons()) {
        keys.push_back(button.key);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"primo", "precedente", "successivo", "ultimo", "apri",
                                              "nuovo", "elimina", "indietro", "avanti", "Stampa",
                                              "Conferma", "Annulla"}));
    bar.addButton("Extra", "Extra", "", "nessuno");
    EXPECT_EQ(bar.buttons().back().key, "Extra");

    std::vector<std::string> clicked;
    bar.ButtonClick.connect([&](bool&, const std::string& key) { clicked.push_back(key); });
    bar.setNavigationLocked(true);
    EXPECT_EQ(bar.userClick("primo").status, InputStatus::Ignored);
    EXPECT_TRUE(bar.userClick("Stampa").accepted());
    bar.setNavigationLocked(false);
    EXPECT_TRUE(bar.userClick("primo").accepted());
    EXPECT_EQ(bar.userClick("Conferma").status, InputStatus::Ignored);  // no frame with changes
    EXPECT_EQ(clicked, (std::vector<std::string>{"Stampa", "primo"}));
}

TEST(ResizeForm, RegistersOnceAtStartAndLaysOutOnlyWhenAllowed) {
    ResizeForm resize("KRL_RESIZEFORM1");
    int registrations = 0;
    resize.RegisterControls.connect([&] {
        ++registrations;
        resize.registerControl("SB_ZOVRENA", AnchorLeft | AnchorTop | AnchorBottom);
        resize.registerControl("FRAME_CLIENTAREA", 7);
    });
    EXPECT_FALSE(resize.resize());  // not started
    resize.start();
    resize.stop();
    resize.start();
    EXPECT_EQ(registrations, 1);
    EXPECT_EQ(resize.anchoring("SB_ZOVRENA"), 11);
    EXPECT_FALSE(resize.resize());  // nobody allowed it
    resize.QueryResize.connect([](bool& allow) { allow = true; });
    EXPECT_TRUE(resize.resize());
    EXPECT_EQ(ResizeForm::convertX(15), 225);
    EXPECT_EQ(ResizeForm::toPixelsY(900), 60);

    resize.addWebRendering("CTLPD_PRG_INDGES");
    resize.registerControl("CTLPD_PRG_INDGES", 15);
    resize.unregisterControl("CTLPD_PRG_INDGES");
    EXPECT_FALSE(resize.webRendering("CTLPD_PRG_INDGES"));
    EXPECT_FALSE(resize.anchoring("CTLPD_PRG_INDGES").has_value());
}

}  // namespace
}  // namespace krl::controls

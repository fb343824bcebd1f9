#include <gtest/gtest.h>

#include "ui_database.h"

namespace krl::ui_testing {
namespace {

using controls::InputStatus;

class CodeField : public UiDatabase {};

TEST_F(CodeField, DecodeFillsTheDescriptionLabelForEveryWayTheCodeArrives) {
    ParamPage p(connectionString());
    struct Case {
        const char* how;
        const char* code;
        const char* description;
    };
    const Case cases[] = {
        {"typed", "d1", "Deposito centrale"},
        {"typed", "D2", "Magazzino esterno"},
        {"typed", "ZZ", ""},  // no row: description emptied
        {"typed", "X'", "Con apice"},
        {"code", "D1", "Deposito centrale"},
        {"loaded", "D2", "Magazzino esterno"},
        {"typed", "", ""},  // blank: the handler only clears the label
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.how) + " " + c.code);
        p.depDescription->setCaption("stale");
        if (std::string(c.how) == "typed") {
            EXPECT_TRUE(p.dep->userEnter(c.code).accepted());
        } else if (std::string(c.how) == "code") {
            p.dep->setText("");
            p.dep->setText(c.code);
        } else {
            p.dep->load(c.code);
        }
        EXPECT_EQ(p.depDescription->caption(), c.description);
    }
}

TEST_F(CodeField, RowShownAgainTakesTheDescriptionWithoutAskingTheDatabase) {
    ParamPage p(connectionString());
    p.dep->load("D1");
    ASSERT_EQ(p.depDescription->caption(), "Deposito centrale");
    // Asked again, the database would answer the new text: the same query is not asked again.
    exec("UPDATE DEPOSITI SET DESCR = 'Rinominato' WHERE COD = 'D1'");
    p.depDescription->setCaption("stale");
    p.dep->load("D1");
    EXPECT_EQ(p.depDescription->caption(), "Deposito centrale");
    // Another code is another query; back to the first, the database is asked again.
    p.dep->load("D2");
    EXPECT_EQ(p.depDescription->caption(), "Magazzino esterno");
    p.dep->load("D1");
    EXPECT_EQ(p.depDescription->caption(), "Rinominato");
}

TEST_F(CodeField, DecodeQueryErrorClearsTheDescriptionAndIsReported) {
    ParamPage p(connectionString());
    controls::EditM edit("TXT_BROKEN");
    auto label = std::make_shared<controls::Label>("LBL_DESBROKEN");
    edit.setDescriptionLabel(label);
    edit.StartDecode.connect([&](controls::DecodeRequest& request) {
        request.cancel = false;
        request.sql = "SELECT COD, DESCR FROM TABELLA_CHE_NON_ESISTE";
        request.connectionString = connectionString();
    });
    std::vector<long> errors;
    edit.QueryFailed.connect([&](const VbError& error) { errors.push_back(error.number()); });
    label->setCaption("stale");
    EXPECT_TRUE(edit.userEnter("D1").accepted());
    EXPECT_EQ(label->caption(), "");
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(CodeField, LookupChoiceBecomesTheTextAndIsValidatedAndDecoded) {
    ParamPage p(connectionString());
    std::vector<std::string> validated;
    p.dep->Validate.connect([&](bool&) { validated.push_back(p.dep->text()); });
    p.dep->setLookup(Variant("Codice;Descrizione"));
    p.dep->StartLookup.connect([&](controls::LookupRequest& request) {
        request.cancel = false;
        request.sql = "SELECT COD, DESCR FROM DEPOSITI WITH (NOLOCK) ORDER BY COD";
        request.lookupText = "Depositi";
        request.connectionString = connectionString();
    });
    ScriptedLookup lookup;
    controls::ScopedLookupPresenter scope(lookup);

    lookup.answers = {1};
    EXPECT_TRUE(p.dep->userLookup().accepted());
    EXPECT_EQ(p.dep->text(), "D2");
    EXPECT_EQ(p.depDescription->caption(), "Magazzino esterno");
    EXPECT_EQ(validated, (std::vector<std::string>{"D2"}));
    ASSERT_EQ(lookup.shown.size(), 1u);
    const auto& list = lookup.shown.front();
    EXPECT_EQ(list.control, "TXT_DEP");
    EXPECT_EQ(list.title, "Depositi");
    EXPECT_EQ(list.columns, (std::vector<std::string>{"COD", "DESCR"}));
    ASSERT_EQ(list.rows.size(), 3u);
    EXPECT_EQ(list.code(0), "D1");
    EXPECT_EQ(list.description.toText(), "Codice;Descrizione");

    lookup.answers = {std::nullopt};  // closed without a choice
    EXPECT_EQ(p.dep->userLookup().status, InputStatus::Ignored);
    EXPECT_EQ(p.dep->text(), "D2");
    EXPECT_EQ(validated.size(), 1u);
}

TEST_F(CodeField, LookupChoiceReadPaddedWithBlanksIsTypedWithoutThem) {
    ParamPage p(connectionString());
    std::vector<std::string> validated;
    p.dep->Validate.connect([&](bool&) { validated.push_back(p.dep->text()); });
    p.dep->StartLookup.connect([&](controls::LookupRequest& request) {
        request.cancel = false;
        request.sql = "SELECT 'D2        ' AS COD, 'Magazzino esterno' AS DESCR";
        request.connectionString = connectionString();
    });
    ScriptedLookup lookup;
    controls::ScopedLookupPresenter scope(lookup);
    lookup.answers = {0};
    EXPECT_TRUE(p.dep->userLookup().accepted());
    EXPECT_EQ(p.dep->text(), "D2");
    EXPECT_EQ(validated, (std::vector<std::string>{"D2"}));
}

TEST_F(CodeField, LookupDoesNothingWhenTheHandlerKeepsItCancelled) {
    ParamPage p(connectionString());
    ScriptedLookup lookup;
    controls::ScopedLookupPresenter scope(lookup);
    lookup.answers = {0};
    p.dep->StartLookup.connect([&](controls::LookupRequest& request) {
        request.sql = "SELECT COD, DESCR FROM DEPOSITI";
        request.connectionString = connectionString();
    });
    EXPECT_EQ(p.dep->userLookup().status, InputStatus::Ignored);
    EXPECT_TRUE(lookup.shown.empty());
    EXPECT_EQ(p.dep->text(), "");
}

TEST_F(CodeField, KeyButtonMenuHandlerCanStartTheLookup) {
    controls::EditM coddoc("TXT_CODDOC");
    coddoc.addKeyButtonMenu(1, "Documenti attivi ditta", true);
    bool allDocuments = false;
    std::vector<std::string> sqls;
    coddoc.KeyButtonMenuPress.connect([&](const std::string& key) {
        if (key == "Kpers1") {
            allDocuments = true;
            coddoc.startLookup();
        }
    });
    coddoc.StartLookup.connect([&](controls::LookupRequest& request) {
        request.cancel = false;
        request.sql = allDocuments ? "SELECT COD, DESCR FROM DEPOSITI"
                                   : "SELECT COD, DESCR FROM DEPOSITI WHERE COD = 'D1'";
        request.connectionString = connectionString();
        sqls.push_back(request.sql);
        allDocuments = false;
    });
    ScriptedLookup lookup;
    controls::ScopedLookupPresenter scope(lookup);
    lookup.answers = {2, std::nullopt};
    EXPECT_TRUE(coddoc.userMenu("Kpers1").accepted());
    EXPECT_EQ(coddoc.text(), "X'");
    EXPECT_EQ(lookup.shown.at(0).rows.size(), 3u);
    EXPECT_EQ(coddoc.userLookup().status, InputStatus::Ignored);
    EXPECT_EQ(lookup.shown.at(1).rows.size(), 1u);
}

}  // namespace
}  // namespace krl::ui_testing

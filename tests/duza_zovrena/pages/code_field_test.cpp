#include "duza_zovrena/pages/code_field.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "page_fixture.h"

namespace duza_zovrena::pages::testing {
namespace {

std::string rtrimmed(const Variant& value) {
    return krl::rtrim(value.textOrEmpty());
}

// A page with three document fields of the internal-work kind: loads (24/3), progress (24/4) and
// a field that takes either (24/3 or 24/4), each with its description label.
PageDeclaration documentFieldsPage() {
    PageDeclaration page;
    page.className = "CTLPD_PRG_PROVADOC";
    page.title = "Pagina di prova documenti";
    page.members.connection = true;
    page.members.decodeLookup = true;
    page.firstControl = "TXT_CARPROD";
    page.registeredTypes = {"TXT_EDITM"};
    page.frames = {{"WLFrame1", "", "", 15}};
    page.controls = {
        {"WLFrame1", "TXT_CARPROD", "PD42_CARPROD_MG3G", "Carico"},
        {"WLFrame1", "LBL_DESCARPROD", "", ""},
        {"WLFrame1", "TXT_INTAVANZ", "PD42_AVANZ_MG3G", "Avanzamento"},
        {"WLFrame1", "LBL_DESINTAVANZ", "", ""},
        {"WLFrame1", "TXT_CARINT", "PD42_CARREP_MG3G", "Carico reparto"},
        {"WLFrame1", "LBL_DESCARINT", "", ""},
    };
    page.codeFields = {
        {"TXT_CARPROD", CodeKind::Document, 24, {3}, "LBL_DESCARPROD"},
        {"TXT_INTAVANZ", CodeKind::Document, 24, {4}, "LBL_DESINTAVANZ"},
        {"TXT_CARINT", CodeKind::Document, 24, {3, 4}, "LBL_DESCARINT", "TXT_CARINT_Validate"},
    };
    return page;
}

class CodeFields : public PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        page_ = std::make_shared<ParameterPage>(documentFieldsPage());
        wire(*page_);
        ASSERT_TRUE(page_->Initialize());
        ASSERT_TRUE(presenter_.boxes().empty());
    }

    kc::EditM& edit(const char* name) { return *page_->findAs<kc::EditM>(name); }
    std::string description(const char* label) {
        return page_->findAs<kc::Label>(label)->caption();
    }

    std::shared_ptr<ParameterPage> page_;
};

TEST_F(CodeFields, Validate_accepts_only_company_documents_of_the_field_kind) {
    struct Case {
        const char* field;
        const char* typed;
        bool accepted;
        const char* stored;  // the column afterwards
    };
    const Case cases[] = {
        {"TXT_CARPROD", "CARSL", true, "CARSL"},
        {"TXT_CARPROD", "carprod   ", true, "CARPROD"},  // trailing blanks do not count
        {"TXT_CARPROD", "AVANZ", false, "CARPROD"},      // "244" is not "243"
        {"TXT_CARPROD", "ODPEXT", false, "CARPROD"},     // another company's document
        {"TXT_CARPROD", "CAR'X", false, "CARPROD"},      // the quote reaches the query doubled
        {"TXT_CARPROD", "", true, ""},                   // a blank code is always taken
        {"TXT_CARINT", "CARSL", true, "CARSL"},
        {"TXT_CARINT", "AVANZ", true, "AVANZ"},
        {"TXT_CARINT", "ODP2", false, "AVANZ"},    // its customised definition is 24/20
        {"TXT_CARINT", "SCAREP", false, "AVANZ"},  // 24/2
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " '" + c.typed + "'");
        std::size_t before = presenter_.boxes().size();
        kc::InputResult result = edit(c.field).userEnter(c.typed);
        EXPECT_EQ(result.accepted(), c.accepted);
        auto boxes = presenter_.boxes();
        if (c.accepted) {
            EXPECT_EQ(boxes.size(), before);
        } else {
            ASSERT_EQ(boxes.size(), before + 1);
            EXPECT_EQ(boxes.back().messageId, 23389);
            EXPECT_EQ(boxes.back().buttons, 64);
            EXPECT_EQ(boxes.back().title, "Pagina di prova documenti");
            // The field keeps the focus until the code is corrected or emptied.
            EXPECT_EQ(page_->focused(), &edit(c.field));
            EXPECT_TRUE(edit(c.field).pendingValidation());
            EXPECT_FALSE(page_->setFocus(std::string(c.field) == "TXT_CARPROD" ? "TXT_INTAVANZ"
                                                                               : "TXT_CARPROD"));
            ASSERT_TRUE(edit(c.field)
                            .userEnter(column(edit(c.field).dbField().c_str()).textOrEmpty())
                            .accepted());
        }
        EXPECT_EQ(rtrimmed(column(edit(c.field).dbField().c_str())), c.stored);
    }
}

// Without a decode object the code is still taken; the description shown stays.
TEST_F(CodeFields, Without_a_decode_object_the_description_is_left) {
    page_->setClsDecodeProduzione(nullptr);
    EXPECT_TRUE(edit("TXT_CARPROD").userEnter("CARSL").accepted());
    EXPECT_EQ(description("LBL_DESCARPROD"), "Carico produzione con lotti");
}

TEST_F(CodeFields, Several_subtypes_field_lists_its_own_query_with_translated_kinds) {
    // A translation with a quote must reach the query doubled.
    catalogue_->add(55020, "Std'ard");
    std::string sql;
    edit("TXT_CARINT").StartLookup.connect([&](kc::LookupRequest& request) { sql = request.sql; });
    lookupChooser_.answers = {0};
    EXPECT_TRUE(edit("TXT_CARINT").userLookup().accepted());
    const int subtypes[] = {3, 4};
    EXPECT_EQ(sql, customDocumentLookupSql("Std''ard", "Personalizzato", Variant(std::int32_t{1}),
                                           24, subtypes));
    ASSERT_EQ(lookupChooser_.shown.size(), 1u);
    const kc::LookupList& list = lookupChooser_.shown.front();
    EXPECT_EQ(list.title, "Documenti");
    std::vector<std::string> rows;
    for (const auto& row : list.rows) {
        rows.push_back(row.at(0) + "|" + row.at(2));
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"AVANZ|Std'ard", "CARPROD|Personalizzato",
                                              "CARSL|Std'ard"}));
    EXPECT_EQ(edit("TXT_CARINT").text(), "AVANZ");
    EXPECT_EQ(description("LBL_DESCARINT"), "Avanzamento produzione");
    EXPECT_TRUE(presenter_.boxes().empty());
}

TEST_F(CodeFields, Query_error_in_the_check_goes_to_the_error_routine_and_keeps_the_code) {
    connection_->close();
    presenter_.queue(kh::vbIgnore);  // the failing query
    presenter_.queue(kh::vbIgnore);  // reading a result that is not there
    presenter_.queue(kh::vbIgnore);  // closing it
    kc::InputResult result = edit("TXT_CARPROD").userEnter("CARSL");
    auto boxes = presenter_.boxes();
    ASSERT_GE(boxes.size(), 1u);
    EXPECT_EQ(boxes.front().buttons, 4370);
    EXPECT_NE(
        boxes.front().text.find("Controllo [CTLPD_PRG_PROVADOC] routine ControlloValiditaDoc"),
        std::string::npos);
    // Nothing was decided: the code is not refused.
    EXPECT_TRUE(result.accepted());
}

}  // namespace
}  // namespace duza_zovrena::pages::testing

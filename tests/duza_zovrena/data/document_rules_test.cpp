#include "duza_zovrena/data/document_rules.h"

#include <gtest/gtest.h>
#include <rapidcheck.h>

#include <map>
#include <string>
#include <vector>

#include "data_access.h"
#include "duza_zovrena/data/demo_database.h"
#include "duza_zovrena/data/sqlite_rows.h"
#include "krl/ado/ado.h"
#include "krl/trap/trap.h"

namespace duza_zovrena::data {
namespace {

using krl::Variant;
using testing::TempFolder;

// The window as the document rules see it.
class DocumentContext : public DocumentRulesContext {
  public:
    std::shared_ptr<krl::ado::Recordset> general;
    std::shared_ptr<krl::ado::Recordset> document;
    std::string typeText;
    std::vector<long> messages;
    std::vector<std::string> texts;
    std::vector<Variant> parameters;
    std::vector<std::string> sideBar;

    krl::ado::Recordset& generalRecordset() override { return *general; }
    krl::ado::Recordset& documentRecordset() override { return *document; }
    std::string chosenDocumentType() override { return typeText; }
    int showMessage(const std::string& text, long messageId, int) override {
        messages.push_back(messageId);
        texts.push_back(text);
        return 1;
    }
    int showMessageWithParameters(const std::string& text, long messageId, int buttons,
                                  const Variant& params) override {
        parameters.push_back(params);
        return showMessage(text, messageId, buttons);
    }
    void selectSideBarItem(std::string_view group, std::string_view item) override {
        sideBar.push_back(std::string(group) + "/" + std::string(item));
    }
    void setFocus(std::string_view, std::string_view) override {}
    CompanyOptions companyOptions() override { return {}; }
    int errorRoutine(std::string_view, const krl::VbError&) override { return krl::trap::Abort; }
};

class DocumentSaveRulesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        context_ = DocumentContext{};
        const std::string connectionString = "sqlite:" + folder_.file("rules.db");
        createDemoDatabase(connectionString, true);
        connection_ = test_support::openConnection(connectionString);
        context_.general = open("SELECT * FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = 1");
        context_.document = open(
            "SELECT * FROM PD88_ZOVRENADOC WHERE PD88_DITTA_CG18 = 1 AND PD88_CODDOC_MG36 = 'ODP'");
        context_.typeText = "2420";
        // A row the rules take as it is: both pairs left to the general settings.
        set("PD88_INDIMPGENORD=0 PD88_INDIMPGENLISP=0 PD88_INDSCAGENORD=0 PD88_INDSCAGENLISP=0");
    }

    std::shared_ptr<krl::ado::Recordset> open(const std::string& sql) {
        return test_support::openRecordset(connection_, sql);
    }

    // "COLUMN=value ...": PD42_ columns in the general row, the others in the document row.
    void set(std::string_view values) {
        for (const auto& [column, value] : testing::pairs(values)) {
            auto& recordset = column.starts_with("PD42_") ? context_.general : context_.document;
            (*recordset)[column].setValue(Variant(static_cast<std::int16_t>(std::stoi(value))));
        }
    }

    bool save() {
        bool cancel = false;
        DocumentSaveRules(context_).beforeUpdate(cancel);
        return !cancel;
    }

    TempFolder folder_;
    std::shared_ptr<krl::ado::Connection> connection_;
    DocumentContext context_;
};

TEST_F(DocumentSaveRulesTest, Each_rule_refuses_only_the_rows_it_is_about) {
    struct Case {
        const char* name;
        const char* typeText;
        std::string values;
        long message;  // 0: the row goes through
    };
    const std::string noComponentDeposit =
        "PD88_FLGDEPCLEGAME=0 PD88_FLGDEPCREP=0 PD88_FLGDEPCCLP=0 PD88_FLGDEPCPRELART=0 "
        "PD88_FLGDEPCPIANART=0 PD88_FLGDEPCRIGAORD=1";
    const std::string noAssemblyDeposit =
        "PD88_FLGDEPARIGAORD=0 PD88_FLGDEPAVERSART=0 PD88_FLGDEPAPIANART=0";
    const std::string launched = "PD88_INDSTATI=2 PD88_INDSTATOORD=2 ";
    const Case cases[] = {
        {"production order without component deposit", "2420", noComponentDeposit, 20362},
        {"subcontracting order without component deposit", "251", noComponentDeposit, 20362},
        {"one component deposit is enough", "2420", noComponentDeposit + " PD88_FLGDEPCPRELART=1",
         0},
        {"transfer list needs no deposit", "103", noComponentDeposit, 0},
        {"production order without assembly deposit", "2420", noAssemblyDeposit, 20372},
        {"active subcontracting needs no deposit", "265", noAssemblyDeposit, 0},
        {"commitment list set alone", "2420", "PD88_INDIMPGENLISP=2", 34879},
        {"commitment both Si", "2420", "PD88_INDIMPGENORD=2 PD88_INDIMPGENLISP=2", 34879},
        {"commitment No and Si", "2420", "PD88_INDIMPGENORD=1 PD88_INDIMPGENLISP=2", 0},
        {"commitment out of range", "2420", "PD88_INDIMPGENORD=3 PD88_INDIMPGENLISP=1", 34879},
        {"transfer order set alone", "2420", "PD88_INDSCAGENORD=1", 34879},
        {"transfer list may combine freely", "103", "PD88_INDIMPGENLISP=2", 0},
        {"transfer on order with commitment on list", "2420",
         "PD88_INDSCAGENORD=2 PD88_INDSCAGENLISP=1 PD88_INDIMPGENORD=1 PD88_INDIMPGENLISP=2",
         34881},
        {"the same on a transfer list", "103", "PD88_INDSCAGENORD=2 PD88_INDIMPGENLISP=2", 34881},
        {"launched with commitment on list, general says list", "241",
         launched + "PD42_FLGIMPGENLISP=1", 40239},
        {"launched, general says no list", "241", launched + "PD42_FLGIMPGENLISP=0", 0},
        {"launched on a subcontracting order", "251", launched + "PD42_FLGIMPGENLISP=1", 0},
        {"line states left to the general row", "2420",
         "PD88_INDSTATI=0 PD88_INDSTATOORD=2 PD42_FLGIMPGENLISP=1 PD42_FLGSTATI=1", 0},
        {"launched with own commitment on list", "2420",
         launched + "PD88_INDIMPGENORD=1 PD88_INDIMPGENLISP=2 PD42_FLGIMPGENLISP=0", 40239},
        {"lots with external transfer", "2420", "PD42_FLGGESTLOTTI=1 PD88_INDSCAGENLISPCL=2",
         69907},
        {"lots with external transfer No", "2420", "PD42_FLGGESTLOTTI=1 PD88_INDSCAGENLISPCL=1", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        context_.typeText = c.typeText;
        set(c.values);
        EXPECT_EQ(save(), c.message == 0);
        EXPECT_EQ(context_.messages,
                  c.message == 0 ? std::vector<long>{} : std::vector<long>{c.message});
        const bool deposit = c.message == 20362 || c.message == 20372;
        EXPECT_EQ(context_.sideBar, deposit
                                        ? std::vector<std::string>{"GRP_PRD_DOCUMENTI/ITM_PRD_PRD"}
                                        : std::vector<std::string>{});
    }
}

TEST_F(DocumentSaveRulesTest, The_lots_message_names_the_document) {
    set("PD42_FLGGESTLOTTI=1 PD88_INDSCAGENLISPCL=2");
    EXPECT_FALSE(save());
    ASSERT_EQ(context_.texts.size(), 1U);
    EXPECT_EQ(context_.texts[0],
              "La gestione contemporanea dei lotti\r\ne del trasferimento materiali sulle "
              "lavorazioni esterne (ODP) non è ammessa");
    ASSERT_EQ(context_.parameters.size(), 1U);
    ASSERT_TRUE(context_.parameters[0].isArray());
    EXPECT_EQ(context_.parameters[0].array().at(0).textOrEmpty(), "ODP");
}

TEST_F(DocumentSaveRulesTest, The_recovery_document_is_cleared_only_when_the_row_is_written) {
    (*context_.document)["PD88_CARSFRIDOCL_MG3G"].setValue(Variant("CARRECCL"));
    set("PD88_INDCARSFRIDOCL=1 PD88_FLGDEPARIGAORD=0");
    EXPECT_FALSE(save()) << "refused by the deposit rule";
    EXPECT_EQ((*context_.document)["PD88_CARSFRIDOCL_MG3G"].value().textOrEmpty(), "CARRECCL");
    set("PD88_FLGDEPARIGAORD=1");
    EXPECT_TRUE(save());
    EXPECT_TRUE((*context_.document)["PD88_CARSFRIDOCL_MG3G"].value().isNull());
    for (int kept : {0, 2}) {
        (*context_.document)["PD88_CARSFRIDOCL_MG3G"].setValue(Variant("CARRECCL"));
        set("PD88_INDCARSFRIDOCL=" + std::to_string(kept));
        EXPECT_TRUE(save());
        EXPECT_EQ((*context_.document)["PD88_CARSFRIDOCL_MG3G"].value().textOrEmpty(), "CARRECCL");
    }
}

// Whatever the indicators hold, a row the rules let through keeps the document invariants.
TEST_F(DocumentSaveRulesTest, Every_row_let_through_keeps_the_document_invariants) {
    const std::vector<std::string> columns = {
        "PD88_FLGDEPCLEGAME",  "PD88_FLGDEPCREP",     "PD88_FLGDEPCCLP",     "PD88_FLGDEPCPRELART",
        "PD88_FLGDEPCPIANART", "PD88_FLGDEPARIGAORD", "PD88_FLGDEPAVERSART", "PD88_FLGDEPAPIANART",
        "PD88_INDIMPGENORD",   "PD88_INDIMPGENLISP",  "PD88_INDSCAGENORD",   "PD88_INDSCAGENLISP",
        "PD88_INDCARSFRIDOCL", "PD88_INDSTATI",       "PD88_INDSTATOORD",    "PD88_INDSCAGENLISPCL",
    };
    const bool passed = rc::check([&] {
        context_.typeText =
            *rc::gen::element<std::string>("2420", "251", "103", "265", "267", "11");
        for (const auto& column : columns) {
            (*context_.document)[column].setValue(
                Variant(static_cast<std::int16_t>(*rc::gen::inRange(0, 4))));
        }
        (*context_.document)["PD88_CARSFRIDOCL_MG3G"].setValue(Variant("CARRECCL"));
        context_.messages.clear();
        context_.sideBar.clear();
        if (!save()) {
            RC_ASSERT(context_.messages.size() == 1U);
            return;
        }
        auto n = [&](const char* column) {
            return krl::numericValue((*context_.document)[column].value());
        };
        if (context_.typeText == "2420" || context_.typeText == "251") {
            RC_ASSERT(n("PD88_FLGDEPCLEGAME") + n("PD88_FLGDEPCREP") + n("PD88_FLGDEPCCLP") +
                          n("PD88_FLGDEPCPRELART") + n("PD88_FLGDEPCPIANART") !=
                      0);
            RC_ASSERT(n("PD88_FLGDEPARIGAORD") + n("PD88_FLGDEPAVERSART") +
                          n("PD88_FLGDEPAPIANART") !=
                      0);
        }
        if (context_.typeText != "103") {
            for (auto [order, list] : {std::pair{"PD88_INDIMPGENORD", "PD88_INDIMPGENLISP"},
                                       std::pair{"PD88_INDSCAGENORD", "PD88_INDSCAGENLISP"}}) {
                const double o = n(order);
                const double l = n(list);
                const bool allowed =
                    (o == 0 && l == 0) || (o == 1 && (l == 1 || l == 2)) || (o == 2 && l == 1);
                RC_ASSERT(allowed);
            }
        }
        RC_ASSERT(n("PD88_INDCARSFRIDOCL") != 1 ||
                  (*context_.document)["PD88_CARSFRIDOCL_MG3G"].value().isNull());
    });
    EXPECT_TRUE(passed);
}

}  // namespace
}  // namespace duza_zovrena::data

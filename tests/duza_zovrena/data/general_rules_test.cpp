#include "duza_zovrena/data/general_rules.h"

#include <gtest/gtest.h>
#include <rapidcheck.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "data_access.h"
#include "duza_zovrena/data/columns.h"
#include "duza_zovrena/data/demo_database.h"
#include "duza_zovrena/data/sqlite_rows.h"
#include "krl/ado/ado.h"
#include "krl/trap/trap.h"

namespace duza_zovrena::data {
namespace {

using krl::Variant;
using testing::TempFolder;

// The window as the rules see it: the record, and what the rules asked for.
class RecordingContext : public GeneralRulesContext {
  public:
    std::shared_ptr<krl::ado::Recordset> recordset;
    CompanyOptions options;
    int errorAnswer = krl::trap::Abort;
    std::vector<long> messages;
    std::vector<std::string> sideBar;
    std::vector<std::string> focus;
    std::vector<std::string> errors;
    int optionReads = 0;

    krl::ado::Recordset& generalRecordset() override { return *recordset; }
    int showMessage(const std::string&, long messageId, int) override {
        messages.push_back(messageId);
        return 1;
    }
    void selectSideBarItem(std::string_view group, std::string_view item) override {
        sideBar.push_back(std::string(group) + "/" + std::string(item));
    }
    void setFocus(std::string_view page, std::string_view control) override {
        focus.push_back(std::string(page) + "." + std::string(control));
    }
    CompanyOptions companyOptions() override {
        ++optionReads;
        return options;
    }
    int errorRoutine(std::string_view routine, const krl::VbError&) override {
        errors.emplace_back(routine);
        return errorAnswer;
    }
};

// Values a row every rule accepts unchanged, so each case only gives what it is about.
const std::map<std::string, std::string> kNeutral = {
    {"PD42_FLGIMPGENLISP", "0"},      {"PD42_FLGSCAGENORD", "0"},    {"PD42_FLGGENTRASFCL", "1"},
    {"PD42_FLGSTATI", "0"},           {"PD42_INDSTATO", "0"},        {"PD42_FLGDEPCLEGAME", "1"},
    {"PD42_FLGDEPARIGAORD", "1"},     {"PD42_INDSEQINTLEGDB", "0"},  {"PD42_STEPNUMLEGDB", "10"},
    {"PD42_INDLIVESP", "0"},          {"PD42_FLGMODELLODB", "0"},    {"PD42_INDGESDISBA", "0"},
    {"PD42_FLGGESTLOTTI", "0"},       {"PD42_FLGSCAGENLISPCL", "0"}, {"PD42_FLGTRACLOTMP", "0"},
    {"PD42_FLGECCEDLOTLISTRAS", "0"}, {"PD42_FLGGESCICLI", "1"},     {"PD42_INDLEADTIME", "0"},
    {"PD42_FLGMODORDLAV", "1"},       {"PD42_INDINTORDLAV", "1"},    {"PD42_INDMOVSLINT", "1"},
    {"PD42_INDCARSFRIDOCL", "1"},     {"PD42_INDLIVVARDISBA", "0"},  {"PD42_FLGMODORDCLP", "1"},
    {"PD42_FLGDEPCREP", "0"},         {"PD42_FLGDEPCCLP", "0"},      {"PD42_FLGDEPCPRELART", "0"},
    {"PD42_FLGDEPCPIANART", "0"},     {"PD42_FLGDEPAVERSART", "0"},  {"PD42_FLGDEPAPIANART", "0"},
};

class GeneralSaveRulesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        connectionString_ = "sqlite:" + folder_.file("rules.db");
        createDemoDatabase(connectionString_, true);
        connection_ = test_support::openConnection(connectionString_);
        context_.recordset = openRow(1);
    }

    std::shared_ptr<krl::ado::Recordset> openRow(int company) {
        return test_support::openRecordset(
            connection_,
            "SELECT * FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = " + std::to_string(company));
    }

    // Stores SQL literals in company 1's row as an older program could have left them (texts in
    // numeric columns included), then reads the row into the context's recordset.
    void storeRow(const std::map<std::string, std::string>& values) {
        std::string sql;
        for (const auto& [column, value] : values) {
            sql.append(sql.empty() ? "UPDATE PD42_ZOVRENA SET " : ", ")
                .append(column)
                .append(" = ")
                .append(value);
        }
        connection_->execute(sql + " WHERE PD42_DITTA_CG18 = 1", nullptr,
                             krl::ado::adExecuteNoRecords);
        context_.recordset = openRow(1);
    }

    // A neutral row with the case's values over it.
    void storeCase(std::string_view values) {
        auto row = kNeutral;
        for (const auto& [column, value] : testing::pairs(values, ',')) {
            row[column] = value;
        }
        storeRow(row);
    }

    // True when the rules cancel the write.
    static bool refused(RecordingContext& context) {
        bool cancel = false;
        GeneralSaveRules(context).beforeUpdate(cancel);
        return cancel;
    }

    Variant record(const std::string& column) { return (*context_.recordset)[column].value(); }

    TempFolder folder_;
    std::string connectionString_;
    std::shared_ptr<krl::ado::Connection> connection_;
    RecordingContext context_;
};

TEST_F(GeneralSaveRulesTest,
       Each_refusal_shows_its_message_moves_the_side_bar_and_cancels_the_write) {
    struct Case {
        const char* name;
        const char* values;
        long message;
        const char* sideBar;
        const char* focus;  // nullptr: no focus
    };
    const char* const lavInt = "GRP_PRG_LAVINT/ITM_PRG_LAVINTIND";
    const char* const indGes = "GRP_PRG_INDGES/ITM_PRG_INDGES";
    const Case cases[] = {
        {"commitment on list and transfer on order",
         "PD42_FLGIMPGENLISP=1,PD42_FLGSCAGENORD=1,PD42_STEPNUMLEGDB=0", 34881, lavInt, nullptr},
        {"released state with transfer list", "PD42_FLGSTATI=1,PD42_INDSTATO=2", 40239,
         "GRP_PRG_LAVINT/ITM_PRG_LAVINTDOC", nullptr},
        {"released state with commitment on pick list",
         "PD42_FLGSTATI=1,PD42_INDSTATO=2,PD42_FLGGENTRASFCL=0,PD42_FLGIMPGENLISP=1", 40239, lavInt,
         nullptr},
        {"no component picking deposit", "PD42_FLGDEPCLEGAME=0", 20362, lavInt,
         "CTLPD_PRG_LAVINTIND.CBX_FLGDEPCLEGAME"},
        {"no assembly receipt deposit (NULL and text read as 0)",
         "PD42_FLGDEPARIGAORD=NULL,PD42_FLGDEPAVERSART='abc'", 20372, lavInt,
         "CTLPD_PRG_LAVINTIND.CBX_FLGDEPAVERSART"},
        {"intermediate sequences without a step", "PD42_INDSEQINTLEGDB=1,PD42_STEPSEQINTLEGDB=0",
         9636, indGes, "CTLPD_PRG_INDGES.TXT_STEPINSLEGDB"},
        {"numbering step 0", "PD42_STEPNUMLEGDB='  '", 9636, indGes,
         "CTLPD_PRG_INDGES.TXT_STEPLEGDB"},
        {"explosion level missing", "PD42_INDLIVESP=3,PD42_LIVELLOESP=NULL", 9636,
         "GRP_PRG_SCADIBA/ITM_PRG_SCADIBAIND", "CTLPD_PRG_SCADIBAIND.TXT_LIVESP"},
        {"models with open bill of materials", "PD42_FLGMODELLODB=1,PD42_INDGESDISBA=1", 35027,
         indGes, nullptr},
        {"lots with external transfer documents", "PD42_FLGGESTLOTTI=1,PD42_FLGSCAGENLISPCL=1",
         69907, "GRP_PRG_LAVEST/ITM_PRG_LAVESTIND", nullptr},
        {"material traceability with transfer-list excess",
         "PD42_FLGTRACLOTMP=1,PD42_FLGECCEDLOTLISTRAS=1", 69908, indGes, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        context_ = RecordingContext{};
        storeCase(c.values);
        EXPECT_TRUE(refused(context_));
        EXPECT_EQ(context_.messages, std::vector<long>{c.message});
        EXPECT_EQ(context_.sideBar, std::vector<std::string>{c.sideBar});
        EXPECT_EQ(context_.focus,
                  c.focus ? std::vector<std::string>{c.focus} : std::vector<std::string>{});
    }
}

TEST_F(GeneralSaveRulesTest, Repairs_reach_the_stored_row) {
    struct Case {
        const char* name;
        CompanyOptions options;
        const char* values;
        const char* expected;  // as the row holds them afterwards
    };
    const Case cases[] = {
        {"either option off resets the localisation level",
         {true, false},
         "PD42_INDLIVVARDISBA=1",
         "PD42_INDLIVVARDISBA=0"},
        {"either option off turns origin/parent header into origin",
         {false, false},
         "PD42_FLGMODORDLAV=1,PD42_INDINTORDLAV=2",
         "PD42_INDINTORDLAV=1"},
        {"one detail row forces the standard header",
         {false, true},
         "PD42_FLGMODORDLAV=0,PD42_INDINTORDLAV=3",
         "PD42_INDINTORDLAV=0"},
        {"both options on force n detail rows and keep the header",
         {true, true},
         "PD42_FLGMODORDLAV=0,PD42_FLGMODORDCLP=NULL,PD42_INDINTORDLAV=2,PD42_INDLIVVARDISBA=1",
         "PD42_FLGMODORDLAV=1,PD42_FLGMODORDCLP=1,PD42_INDINTORDLAV=2,PD42_INDLIVVARDISBA=1"},
        {"a NULL localisation level stays NULL",
         {false, false},
         "PD42_INDLIVVARDISBA=NULL",
         "PD42_INDLIVVARDISBA=NULL"},
        {"no cycles means lead time from the item",
         {false, false},
         "PD42_FLGGESCICLI=0,PD42_INDLEADTIME=1",
         "PD42_INDLEADTIME=2"},
        {"no movement means generation from phases",
         {false, false},
         "PD42_INDMOVSLINT=0,PD42_INDGENSEMLAV=1",
         "PD42_INDGENSEMLAV=0"},
        {"no recovery load clears its document",
         {false, false},
         "PD42_INDCARSFRIDOCL=0,PD42_CARSFRIDOCL_MG3G='CARREC'",
         "PD42_CARSFRIDOCL_MG3G=NULL"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        context_ = RecordingContext{};
        storeCase(c.values);
        context_.options = c.options;
        ASSERT_FALSE(refused(context_));
        EXPECT_TRUE(context_.messages.empty());
        context_.recordset->updateBatch();
        auto stored = openRow(1);
        for (const auto& [column, value] : testing::pairs(c.expected, ',')) {
            const Variant read = (*stored)[column].value();
            EXPECT_EQ(read.isNull() ? "NULL" : krl::numberText(krl::numericValue(read)), value)
                << column;
        }
    }
}

TEST_F(GeneralSaveRulesTest, An_earlier_refusal_stops_later_rules_and_keeps_earlier_repairs) {
    storeCase(
        "PD42_FLGGESCICLI=0,PD42_INDLEADTIME=1,PD42_FLGMODELLODB=1,PD42_INDGESDISBA=1,"
        "PD42_INDMOVSLINT=0,PD42_INDGENSEMLAV=1");
    EXPECT_TRUE(refused(context_));
    EXPECT_EQ(context_.messages, std::vector<long>{35027});
    EXPECT_EQ(krl::numericValue(record("PD42_INDLEADTIME")), 2) << "repair before the refusal";
    EXPECT_EQ(krl::numericValue(record("PD42_INDGENSEMLAV")), 1) << "rule after the refusal";
    EXPECT_EQ(context_.optionReads, 2) << "options read at step 3 and again at step 4";
}

TEST_F(GeneralSaveRulesTest, A_new_row_with_its_new_row_values_passes_every_rule) {
    auto recordset = openRow(2);
    ASSERT_EQ(recordset->recordCount(), 0);
    recordset->addNew();
    for (const ColumnDef* column : newRowColumns(Record::General)) {
        (*recordset)[column->name].setValue(newRowVariant(*column, Variant(2)));
    }
    context_.recordset = recordset;
    EXPECT_FALSE(refused(context_));
    EXPECT_TRUE(context_.messages.empty());
}

TEST_F(GeneralSaveRulesTest, Errors_go_to_the_error_routine_and_abort_cancels_through_the_checks) {
    // A record without the rules' columns: every read fails.
    context_.recordset = test_support::openRecordset(
        connection_, "SELECT PD42_DITTA_CG18 FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = 1");

    context_.errorAnswer = krl::trap::Abort;
    EXPECT_TRUE(refused(context_)) << "the check function answers False after Abort";
    EXPECT_EQ(context_.errors, std::vector<std::string>{"ControllaCheckImpegnoScarico"});

    context_.errors.clear();
    context_.errorAnswer = krl::trap::Ignore;
    EXPECT_FALSE(refused(context_)) << "ignoring every failing step lets the frame write the row";
    EXPECT_EQ(context_.errors.front(), "ControllaCheckImpegnoScarico");
    EXPECT_NE(
        std::find(context_.errors.begin(), context_.errors.end(), "ControllaCampiObbligatori"),
        context_.errors.end());
    EXPECT_EQ(context_.errors.back(), "FME_PARAMETRI_BeforeUpdate");
}

// For any values of the rules' columns, a row the rules let through keeps the invariants of the
// general record.
TEST_F(GeneralSaveRulesTest, Every_row_let_through_keeps_the_invariants) {
    // The rules' columns: those a neutral row sets, and the three values they check only when
    // another column asks for them.
    std::vector<std::string> columns = {"PD42_STEPSEQINTLEGDB", "PD42_LIVELLOESP",
                                        "PD42_INDGENSEMLAV"};
    for (const auto& [column, unused] : kNeutral) {
        columns.push_back(column);
    }
    bool passed = rc::check([&] {
        std::map<std::string, std::string> values;
        for (const auto& column : columns) {
            values[column] =
                *rc::gen::element<std::string>("0", "1", "2", "3", "NULL", "''", "'x'", "' 1 '");
        }
        values["PD42_CARSFRIDOCL_MG3G"] = "'CARREC'";
        storeRow(values);
        RecordingContext context;
        context.recordset = context_.recordset;
        context.options = {*rc::gen::arbitrary<bool>(), *rc::gen::arbitrary<bool>()};
        if (refused(context)) {
            return;
        }
        auto n = [&](const char* column) {
            return krl::numericValue((*context.recordset)[column].value());
        };
        RC_ASSERT(n("PD42_STEPNUMLEGDB") != 0);
        RC_ASSERT(n("PD42_INDSEQINTLEGDB") == 0 || n("PD42_STEPSEQINTLEGDB") != 0);
        RC_ASSERT(n("PD42_INDLIVESP") != 3 || n("PD42_LIVELLOESP") != 0);
        RC_ASSERT(!(n("PD42_FLGIMPGENLISP") == 1 && n("PD42_FLGSCAGENORD") == 1));
        RC_ASSERT(n("PD42_FLGDEPCLEGAME") + n("PD42_FLGDEPCREP") + n("PD42_FLGDEPCCLP") +
                      n("PD42_FLGDEPCPRELART") + n("PD42_FLGDEPCPIANART") !=
                  0);
        RC_ASSERT(n("PD42_FLGDEPARIGAORD") + n("PD42_FLGDEPAVERSART") + n("PD42_FLGDEPAPIANART") !=
                  0);
        RC_ASSERT(!(n("PD42_FLGMODELLODB") == 1 && n("PD42_INDGESDISBA") == 1));
        RC_ASSERT(!(n("PD42_FLGGESTLOTTI") == 1 && n("PD42_FLGSCAGENLISPCL") == 1));
        RC_ASSERT(!(n("PD42_FLGTRACLOTMP") == 1 && n("PD42_FLGECCEDLOTLISTRAS") == 1));
        RC_ASSERT(n("PD42_FLGMODORDLAV") != 0 || n("PD42_INDINTORDLAV") == 0);
        RC_ASSERT(n("PD42_FLGGESCICLI") != 0 || n("PD42_INDLEADTIME") == 2);
        RC_ASSERT(n("PD42_INDMOVSLINT") != 0 || n("PD42_INDGENSEMLAV") == 0);
        RC_ASSERT(n("PD42_INDCARSFRIDOCL") != 0 ||
                  (*context.recordset)["PD42_CARSFRIDOCL_MG3G"].value().isNull());
    });
    EXPECT_TRUE(passed);
}

}  // namespace
}  // namespace duza_zovrena::data

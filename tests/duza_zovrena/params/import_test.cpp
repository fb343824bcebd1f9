#include "duza_zovrena/params/param_import.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "duza_zovrena/params/param_diff.h"
#include "duza_zovrena/params/param_json.h"
#include "duza_zovrena/params/params_fixture.h"

namespace duza_zovrena::params {
namespace {

using testing::ParamsDatabase;

constexpr long kSource = 1;
constexpr long kTarget = 3;

class ParamsImport : public ::testing::Test {
  protected:
    void SetUp() override {
        db_.exec("DELETE FROM PD49_PARDOCPROD WHERE PD49_CODDOC_MG3G = 'DOCDISMESSO'");
        db_.addCompanyLike(kTarget, kSource);
    }

    // The source company's set as it comes back from its file.
    ParamSet exported() {
        return fromJson(toJson(readParamSet(*db_.connection(), kSource), kSource), "prova.json");
    }

    long long targetRows() {
        const std::string company = std::to_string(kTarget);
        return db_.count("SELECT COUNT(*) FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = " + company) +
               db_.count("SELECT COUNT(*) FROM PD88_ZOVRENADOC WHERE PD88_DITTA_CG18 = " +
                         company) +
               db_.count("SELECT COUNT(*) FROM PD49_PARDOCPROD WHERE PD49_DITTA_CG18 = " + company);
    }

    ParamsDatabase db_;
};

TEST_F(ParamsImport, Round_trip_leaves_the_two_companies_equal_and_reports_the_changes_once) {
    std::vector<ChangeSet> recorded;
    std::string recordedUser;
    long long rowsSeenInside = 0;
    ImportOptions options;
    options.user = "mrossi";
    options.changesWritten = [&](krl::ado::Connection& connection, long company,
                                 const std::string& user, const std::vector<ChangeSet>& changes) {
        EXPECT_EQ(company, kTarget);
        recordedUser = user;
        recorded = changes;
        auto rows = connection.execute(
            "SELECT COUNT(*) AS N FROM PD88_ZOVRENADOC "
            "WHERE PD88_DITTA_CG18 = 3");
        rowsSeenInside = rows->fields()["N"].value().toInt64();
    };
    const ImportResult result = importSet(db_.connection(), kTarget, exported(), options);
    ASSERT_TRUE(result.refusals.empty()) << result.refusals.front();
    EXPECT_TRUE(result.written);
    EXPECT_EQ(recordedUser, "mrossi");
    EXPECT_EQ(rowsSeenInside, 2);
    // The general row, two document rows, one transfer row.
    ASSERT_EQ(recorded.size(), 4u);
    EXPECT_EQ(recorded[0].table, "PD42_ZOVRENA");
    EXPECT_EQ(recorded[1].documentCode, "LISTTRASF");
    // The same change sets in the history, under the import's user.
    EXPECT_EQ(db_.count("SELECT COUNT(*) FROM PD97_STORICO WHERE PD97_DITTA_CG18 = 3 AND "
                        "PD97_UTENTE_UT00 = 'mrossi'"),
              4);

    const auto found = differences(readParamSet(*db_.connection(), kSource),
                                   readParamSet(*db_.connection(), kTarget));
    EXPECT_TRUE(found.empty()) << differenceLine(found.front());
    // The priority tables are the target's own.
    EXPECT_EQ(db_.count("SELECT PD42_IDMAT_LP09 FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = 3"), 301);
    // The history keeps the id written, as a save in the window does, not the file's code.
    EXPECT_EQ(db_.count("SELECT COUNT(*) FROM PD98_STORICORIGHE INNER JOIN PD97_STORICO ON "
                        "PD98_ID_PD97 = PD97_ID WHERE PD97_DITTA_CG18 = 3 AND "
                        "PD98_COLONNA = 'PD42_IDMAT_LP09' AND PD98_VALORENUOVO = '301'"),
              1);

    const ImportResult again = importSet(db_.connection(), kTarget, exported(), {});
    EXPECT_TRUE(again.changes.empty());
}

TEST_F(ParamsImport, A_dry_run_reports_the_changes_and_writes_nothing) {
    ImportOptions options;
    options.dryRun = true;
    const ImportResult result = importSet(db_.connection(), kTarget, exported(), options);
    EXPECT_TRUE(result.refusals.empty());
    EXPECT_FALSE(result.written);
    EXPECT_EQ(result.changes.size(), 4u);
    EXPECT_EQ(targetRows(), 0);
}

TEST_F(ParamsImport, The_save_rules_repairs_are_written) {
    ParamSet set = exported();
    (*set.general)["PD42_FLGGESCICLI"] = krl::Variant(std::int64_t{0});
    (*set.general)["PD42_INDLEADTIME"] = krl::Variant(std::int64_t{1});
    ASSERT_TRUE(importSet(db_.connection(), kTarget, set, {}).written);
    EXPECT_EQ(db_.count("SELECT PD42_INDLEADTIME FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = 3"), 2);
}

TEST_F(ParamsImport, A_failure_after_the_writes_rolls_them_back) {
    ImportOptions options;
    options.changesWritten = [](krl::ado::Connection&, long, const std::string&,
                                const std::vector<ChangeSet>&) {
        throw krl::VbError(5, "storico non scritto");
    };
    EXPECT_THROW(importSet(db_.connection(), kTarget, exported(), options), krl::VbError);
    EXPECT_EQ(targetRows(), 0);
    EXPECT_EQ(db_.count("SELECT COUNT(*) FROM PD97_STORICO WHERE PD97_DITTA_CG18 = 3"), 0);
}

struct Refusal {
    const char* name;
    std::function<void(ParamSet&)> change;
    const char* text;  // part of the refusal
};

class ParamsImportRefusal : public ParamsImport, public ::testing::WithParamInterface<Refusal> {};

DocumentRow& document(ParamSet& set, const std::string& code) {
    for (DocumentRow& row : set.documents) {
        if (row.code == code) {
            return row;
        }
    }
    throw std::out_of_range(code);
}

void setValue(Values& values, const char* column, krl::Variant value) {
    values.at(column) = std::move(value);
}

TEST_P(ParamsImportRefusal, Refuses_and_writes_nothing) {
    ParamSet set = exported();
    GetParam().change(set);
    const ImportResult result = importSet(db_.connection(), kTarget, set, {});
    ASSERT_FALSE(result.refusals.empty());
    bool named = false;
    for (const std::string& refusal : result.refusals) {
        named = named || refusal.find(GetParam().text) != std::string::npos;
    }
    EXPECT_TRUE(named) << result.refusals.front();
    EXPECT_FALSE(result.written);
    EXPECT_EQ(targetRows(), 0);
}

const krl::Variant kOne(std::int64_t{1});
const krl::Variant kZero(std::int64_t{0});

INSTANTIATE_TEST_SUITE_P(
    Rules, ParamsImportRefusal,
    ::testing::Values(
        Refusal{"general_rule",
                [](ParamSet& set) {
                    setValue(*set.general, "PD42_FLGMODELLODB", kOne);
                    setValue(*set.general, "PD42_INDGESDISBA", kOne);
                },
                "Riga generale: La gestione contemporanea dei modelli distinta base e della "
                "distinta base aperta non è ammessa"},
        Refusal{"document_deposits",
                [](ParamSet& set) {
                    for (const char* column :
                         {"PD88_FLGDEPARIGAORD", "PD88_FLGDEPAVERSART", "PD88_FLGDEPAPIANART"}) {
                        setValue(document(set, "ODP").values, column, kZero);
                    }
                },
                "Documento ODP: Dep. versamento assiemi: indicare almeno una scelta."},
        Refusal{"document_the_target_lacks",
                [](ParamSet& set) {
                    set.documents.push_back({"ODPEXT", document(set, "ODP").values});
                },
                "PD88_CODDOC_MG36 = 'ODPEXT': documento non presente nella ditta"},
        Refusal{"code_the_target_lacks",
                [](ParamSet& set) {
                    setValue(*set.general, "PD42_OLMONO_MG3G", krl::Variant("ODPEXT"));
                },
                "Ditta 3, PD42_ZOVRENA, PD42_OLMONO_MG3G = 'ODPEXT': documento non presente"},
        Refusal{
            "priority_table_the_target_lacks",
            [](ParamSet& set) { setValue(*set.general, "PD42_IDMAT_LP09", krl::Variant("MATXX")); },
            "PD42_IDMAT_LP09 = 'MATXX': tabella priorità non presente"},
        Refusal{"transfer_value",
                [](ParamSet& set) { set.transfers.front().body = krl::Variant(std::int64_t{7}); },
                "PD49_INDTRPERSCORPO = 7: valore ammesso: 0, 1 o 2"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace duza_zovrena::params

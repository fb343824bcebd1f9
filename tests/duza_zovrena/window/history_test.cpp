// The change history written by the window's saves: one change set per saved row with a line per
// changed column, in the save's transaction (a refused, conflicting or failing save leaves none).

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "data_access.h"
#include "duza_zovrena/data/columns.h"
#include "duza_zovrena/data/history.h"
#include "duza_zovrena/data/settings_at.h"
#include "duza_zovrena/pages/page.h"
#include "duza_zovrena/window/window_fixture.h"
#include "krl/controls/edit.h"
#include "krl/controls/grid.h"
#include "krl/controls/grid_nav.h"
#include "krl/controls/side_bar.h"
#include "krl/frame/virtual_frame.h"

namespace duza_zovrena::window::testing {
namespace {

namespace kc = krl::controls;
using data::ColumnChange;
using data::HistoryEntry;
using data::HistoryRecord;

class History : public WindowFixture {
  protected:
    FRMPD_ZOVRENA& openAs(const std::string& user) {
        auto global = hostFor(Variant(std::int32_t{1}));
        global->setUserContext({Variant(user), Variant(std::int32_t{0})});
        return windowOf(open(Variant(std::int32_t{1}), global));
    }

    // The record's change sets, newest first, read on a connection of their own.
    std::vector<HistoryEntry> history(const HistoryRecord& record) {
        auto connection = test_support::openConnection(connectionString_);
        const auto ids = data::changeSetIds(*connection, record);
        return data::changeSets(*connection, ids);
    }

    std::vector<HistoryEntry> generalHistory() { return history({1, "PD42_ZOVRENA", {}, false}); }
};

TEST_F(History, A_general_save_records_who_and_each_changed_column_old_and_new) {
    FRMPD_ZOVRENA& window = openAs("mario");
    const auto before = storedGeneral(1).front();
    (*window.generalRows())["PD42_FLGCOIN"].setValue(Variant(std::int16_t{1}));
    changeGeneral(window, "PD42_STEPNUMLEGDB", Variant(std::int32_t{25}));
    ASSERT_TRUE(window.generalFrame()->confirm());

    const auto entries = generalHistory();
    ASSERT_EQ(entries.size(), 1U);
    EXPECT_EQ(entries[0].user, "mario");
    EXPECT_EQ(entries[0].documentCode, std::nullopt);
    EXPECT_EQ(entries[0].time.size(), 19U);
    EXPECT_EQ(entries[0].time[10], 'T');
    const std::vector<ColumnChange> expected = {
        {"PD42_FLGCOIN", data::historyText(before.at("PD42_FLGCOIN")), "1"},
        {"PD42_STEPNUMLEGDB", data::historyText(before.at("PD42_STEPNUMLEGDB")), "25"},
    };
    EXPECT_EQ(entries[0].columns, expected);

    // A confirm that changes nothing records nothing.
    window.generalFrame()->setStatus(1);
    ASSERT_TRUE(window.generalFrame()->confirm());
    EXPECT_EQ(generalHistory().size(), 1U);
}

enum class Spoil { RefusedByTheRules, ChangedMeanwhile, FailingInTheTransaction };

class UnsavedHistory : public History, public ::testing::WithParamInterface<Spoil> {};

INSTANTIATE_TEST_SUITE_P(EveryWay, UnsavedHistory,
                         ::testing::Values(Spoil::RefusedByTheRules, Spoil::ChangedMeanwhile,
                                           Spoil::FailingInTheTransaction));

// A save that does not happen leaves the row and the history as they were.
TEST_P(UnsavedHistory, A_save_that_does_not_happen_records_nothing) {
    FRMPD_ZOVRENA& window = openAs("mario");
    const auto stored = storedGeneral(1).front().at("PD42_FLGCOIN").toInt32();
    changeGeneral(window, "PD42_FLGCOIN", Variant(std::int16_t(1 - stored)));
    switch (GetParam()) {
        case Spoil::RefusedByTheRules: {
            window.sideBar().userClick("ITM_PRG_SCADIBAIND");
            auto* level = dynamic_cast<kc::EditM*>(window.currentPage()->find("TXT_LIVESP"));
            ASSERT_TRUE(level->userEnter("").accepted());
            break;
        }
        case Spoil::ChangedMeanwhile:
            execute("UPDATE PD42_ZOVRENA SET PD42_FLGGESTWIP = 3 WHERE PD42_DITTA_CG18 = 1");
            break;
        case Spoil::FailingInTheTransaction:
            // The lines cannot be written: the row written before them goes back too.
            execute("DROP TABLE PD98_STORICORIGHE");
            break;
    }
    EXPECT_FALSE(window.generalFrame()->confirm());
    EXPECT_EQ(storedGeneral(1).front().at("PD42_FLGCOIN").toInt32(), stored);
    data::testing::SqliteFile file(folder_.file("window.db"));
    EXPECT_EQ(file.count("SELECT COUNT(*) FROM PD97_STORICO"), 0);
    window.generalFrame()->undo();
}

TEST_F(History, A_document_row_save_records_the_document_code) {
    FRMPD_ZOVRENA& window = openAs("anna");
    window.sideBar().select("GRP_PRD_DOCUMENTI", "ITM_PRD_IND");
    ASSERT_TRUE(dynamic_cast<kc::EditM*>(window.find("TXT_CODDOC"))->userEnter("ODP").accepted());
    auto rows = window.documentFrame()->recordset();
    const auto old = data::historyText((*rows)["PD88_PERCTOLLINT"].value());
    (*rows)["PD88_PERCTOLLINT"].setValue(Variant(12.5));
    window.documentFrame()->setStatus(1);
    ASSERT_TRUE(window.documentFrame()->confirm());

    const auto entries = history({1, "PD88_ZOVRENADOC", "ODP", false});
    ASSERT_EQ(entries.size(), 1U);
    EXPECT_EQ(entries[0].documentCode, "ODP");
    EXPECT_EQ(entries[0].user, "anna");
    EXPECT_EQ(entries[0].columns, (std::vector<ColumnChange>{{"PD88_PERCTOLLINT", old, "12.5"}}));
    EXPECT_TRUE(history({1, "PD88_ZOVRENADOC", "OFCL", false}).empty());
    EXPECT_TRUE(generalHistory().empty());
}

// A transfer save records one change set per document changed, against the saved rows when it
// runs, not what the grid edited: edits that end where they started record nothing, rows another
// session saved in the meantime are recorded against what it saved, and a document no longer of
// the company (DOCDISMESSO) records the loss of its row.
TEST_F(History, A_transfer_save_compares_with_the_rows_saved_when_it_runs) {
    FRMPD_ZOVRENA& window = openAs("anna");
    window.sideBar().select("GRP_PRT_TRPERS", "ITM_PRT_TRPERS");
    auto& grid = *dynamic_cast<kc::QGrid*>(window.currentPage()->find("GRD_TRPERS"));
    auto confirm = [&] {
        presenter_.queue(kh::vbYes);
        window.navigatorBar("INTERNAV_PARAMETRI_TRP").press("Conferma");
    };
    ASSERT_TRUE(grid.userEdit("ODP", "PD49_INDTRPERSTESTA", "1").accepted());  // as saved
    ASSERT_TRUE(grid.userEdit("CARREP", "PD49_INDTRPERSCORPO", "1").accepted());
    ASSERT_TRUE(grid.userEdit("CARREP", "PD49_INDTRPERSCORPO", "2").accepted());
    ASSERT_TRUE(grid.userEdit("OC", "PD49_INDTRPERSTESTA", "0").accepted());
    confirm();
    // Another session changes ODP and saves LISTTRASF, still the default in this grid.
    execute(
        "UPDATE PD49_PARDOCPROD SET PD49_INDTRPERSTESTA = 0 "
        "WHERE PD49_DITTA_CG18 = 1 AND PD49_CODDOC_MG3G = 'ODP'");
    execute("INSERT INTO PD49_PARDOCPROD VALUES (1, 'LISTTRASF', 1, 1)");
    confirm();

    std::map<std::string, std::vector<ColumnChange>> byDocument;
    for (const auto& entry : history({1, "PD49_PARDOCPROD", {}, true})) {
        EXPECT_EQ(entry.user, "anna");
        EXPECT_TRUE(byDocument.emplace(entry.documentCode.value_or(""), entry.columns).second);
    }
    const std::map<std::string, std::vector<ColumnChange>> expected = {
        {"OC", {{"PD49_INDTRPERSTESTA", "2", "0"}}},
        {"DOCDISMESSO", {{"PD49_INDTRPERSCORPO", "1", "2"}, {"PD49_INDTRPERSTESTA", "0", "2"}}},
        {"ODP", {{"PD49_INDTRPERSTESTA", "0", "1"}}},
        {"LISTTRASF", {{"PD49_INDTRPERSCORPO", "1", "2"}, {"PD49_INDTRPERSTESTA", "1", "2"}}},
    };
    EXPECT_EQ(byDocument, expected);
}

// Two saves a month apart; the settings at a moment are rebuilt from the row and the history.
TEST_F(History, Settings_at_a_moment_are_those_of_the_last_save_before_it) {
    FRMPD_ZOVRENA& window = openAs("mario");
    const auto original = storedGeneral(1).front();
    auto save = [&](const char* column, const Variant& value, const char* time) {
        changeGeneral(window, column, value);
        ASSERT_TRUE(window.generalFrame()->confirm());
        execute(std::string("UPDATE PD97_STORICO SET PD97_DATAORA = '") + time +
                "' WHERE PD97_ID = (SELECT MAX(PD97_ID) FROM PD97_STORICO)");
    };
    save("PD42_STEPNUMLEGDB", Variant(std::int32_t{30}), "2026-01-10T08:00:00");
    save("PD42_FLGMODORDLAV", Variant(std::int16_t{0}), "2026-02-10T08:00:00");
    save("PD42_STEPNUMLEGDB", Variant(std::int32_t{40}), "2026-02-10T09:00:00");

    auto connection = test_support::openConnection(connectionString_);
    auto value = [&](const std::vector<data::SettingLine>& lines, std::string_view column) {
        for (const auto& line : lines) {
            if (line.column == column) {
                return line;
            }
        }
        throw std::runtime_error("no column " + std::string(column));
    };
    struct Case {
        const char* at;  // as typed after --at; "" for now
        std::optional<std::string> step;
        std::optional<std::string> orderChange;      // the general column
        std::optional<std::string> documentInForce;  // ODP's indicator at 0 that follows it
    };
    const auto originalStep = data::historyText(original.at("PD42_STEPNUMLEGDB"));
    const Case cases[] = {
        {"2025-12-31", originalStep, "1", "2"},
        {"2026-01-10T08:00", "30", "1", "2"},  // a change at that very minute is in force
        {"2026-02-01", "30", "1", "2"},
        {"2026-02-10T08:30", "30", "0", "1"},
        {"2099-01-01", "40", "0", "1"},
        {"", "40", "0", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at);
        data::SettingsQuery query{1, std::nullopt, std::nullopt};
        if (*c.at != '\0') {
            query.at = data::historyMoment(c.at);
        }
        const auto general = data::settingsAt(*connection, query);
        EXPECT_EQ(general.size(), data::generalColumns().size());
        EXPECT_EQ(value(general, "PD42_STEPNUMLEGDB").stored, c.step);
        EXPECT_EQ(value(general, "PD42_FLGMODORDLAV").stored, c.orderChange);
        EXPECT_EQ(value(general, "PD42_FLGMODORDLAV").caption,
                  data::findGeneralColumn("PD42_FLGMODORDLAV")->caption);
        query.document = "ODP";
        const auto indicator = value(data::settingsAt(*connection, query), "PD88_INDMODORDLAV");
        EXPECT_EQ(indicator.stored, "0");
        EXPECT_EQ(indicator.effective, c.documentInForce);
        EXPECT_EQ(indicator.fromGeneral, "PD42_FLGMODORDLAV");
    }
}

TEST_F(History, Unknown_company_document_or_date_are_refused_by_name) {
    auto connection = test_support::openConnection(connectionString_);
    struct Case {
        std::int32_t company;
        std::optional<std::string> document;
        const char* expected;  // part of the message
    };
    const Case cases[] = {
        {99, std::nullopt, "Ditta 99 sconosciuta"},
        {1, "NESSUNO", "Documento \"NESSUNO\" sconosciuto"},
        {2, "ODP", "Documento \"ODP\" sconosciuto: la ditta 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        try {
            data::settingsAt(*connection, {c.company, c.document, std::nullopt});
            ADD_FAILURE() << "accepted";
        } catch (const data::SettingsError& error) {
            EXPECT_NE(std::string(error.what()).find(c.expected), std::string::npos)
                << error.what();
        }
    }
    for (const char* bad : {"2026-02-30", "2026-13-01", "2026-1-01", "2026-01-01T24:00",
                            "2026-01-01 10:00", "ieri", ""}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(data::historyMoment(bad), data::SettingsError);
    }
    EXPECT_EQ(data::historyMoment("2024-02-29"), "2024-02-29T00:00:00");
    EXPECT_EQ(data::historyMoment("2026-12-06T17:05"), "2026-12-06T17:05:00");
}

TEST(HistoryText, Values_are_kept_as_text_and_only_differences_count) {
    using krl::Variant;
    const std::vector<std::string> names = {"K", "A", "B", "C", "D"};
    const std::vector<Variant> before = {Variant(1), Variant(std::int16_t{5}), Variant("ODP   "),
                                         Variant::null(), Variant(0.5)};
    const std::vector<Variant> after = {Variant(2), Variant(std::int32_t{5}), Variant("ODP"),
                                        Variant("X"), Variant(1.25)};
    const std::string_view keys[] = {"k"};
    EXPECT_EQ(data::changedColumns(names, before, after, keys),
              (std::vector<ColumnChange>{{"C", std::nullopt, "X"}, {"D", "0.5", "1.25"}}));
    // A new row: every value set is a change from NULL.
    EXPECT_EQ(data::changedColumns(names, {}, after, keys).size(), 4U);
}

}  // namespace
}  // namespace duza_zovrena::window::testing

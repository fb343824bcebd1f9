// The custom-field transfer page on a demo database: what the grid loads, what Save, Delete and
// Undo leave in PD49_PARDOCPROD, edits refused, the empty company, the temporary table's life.

#include <map>
#include <optional>
#include <utility>

#include "data_access.h"
#include "duza_zovrena/data/history.h"
#include "duza_zovrena/pages/ctlpd_prt_trpers.h"
#include "page_fixture.h"

namespace duza_zovrena::pages::testing {
namespace {

using Setting = std::pair<std::string, std::string>;  // head, body as the grid shows them

class TransferPageTest : public PageTest {
  protected:
    std::shared_ptr<CTLPD_PRT_TRPERS> openPage(int company) {
        auto page = std::make_shared<CTLPD_PRT_TRPERS>();
        page->setActiveInterface(program_);
        page->setConnection(connection_);
        page->setCodiceDitta(Variant(std::int32_t{company}));
        return page;
    }

    // The grid's rows by document code.
    static std::map<std::string, Setting> shown(const CTLPD_PRT_TRPERS& page) {
        std::map<std::string, Setting> rows;
        for (const auto& row : page.grid().rows()) {
            rows[row.key] = {row.cells.at(2), row.cells.at(3)};
        }
        return rows;
    }

    // What PD49_PARDOCPROD holds for the company, read on a connection of its own.
    std::map<std::string, Setting> saved(int company) const {
        auto other = test_support::openConnection(connectionString_);
        auto rows = other->execute(
            "SELECT PD49_CODDOC_MG3G, PD49_INDTRPERSTESTA, PD49_INDTRPERSCORPO FROM "
            "PD49_PARDOCPROD WHERE PD49_DITTA_CG18 = " +
            std::to_string(company));
        std::map<std::string, Setting> result;
        for (; rows->state() == krl::ado::adStateOpen && !rows->eof(); rows->moveNext()) {
            result[krl::rtrim((*rows)["PD49_CODDOC_MG3G"].value().textOrEmpty())] = {
                (*rows)["PD49_INDTRPERSTESTA"].value().textOrEmpty(),
                (*rows)["PD49_INDTRPERSCORPO"].value().textOrEmpty()};
        }
        return result;
    }

    bool tempTableExists() const {
        return krl::trap::ignoring(
            [this] { connection_->execute("SELECT COUNT(*) FROM #PARDOCPROD"); });
    }
};

struct LoadCase {
    const char* code;
    std::optional<Setting> expected;  // nullopt: not in the grid
};

TEST_F(TransferPageTest,
       Load_shows_saved_rows_of_existing_documents_and_defaults_for_eligible_kinds) {
    auto page = openPage(1);
    ASSERT_TRUE(page->Initialize());
    const auto rows = shown(*page);
    const LoadCase cases[] = {
        {"ODP", Setting{"1", "0"}},        // saved
        {"DOCDISMESSO", std::nullopt},     // saved, no longer a document of the company
        {"CARREP", Setting{"2", "2"}},     // type 24
        {"OFCL", Setting{"2", "2"}},       // type 25
        {"CARMATCLA", Setting{"2", "2"}},  // type 26
        {"OC", Setting{"2", "2"}},         // (1, 1)
        {"DDTV", Setting{"2", "2"}},       // (5, 2)
        {"RICHTRASF", Setting{"2", "2"}},  // (10, 1)
        {"LISTTRASF", Setting{"2", "2"}},  // (10, 3)
        {"FATT", std::nullopt},            // (2, 1): not an eligible kind
        {"ODPEXT", std::nullopt},          // a document of company 2 only
    };
    for (const LoadCase& row : cases) {
        SCOPED_TRACE(row.code);
        auto found = rows.find(row.code);
        if (row.expected) {
            ASSERT_NE(found, rows.end());
            EXPECT_EQ(found->second, *row.expected);
        } else {
            EXPECT_EQ(found, rows.end());
        }
    }
    EXPECT_EQ(page->grid().layoutKey(), "CTLPD_PRT_TRPERS.GRD_TRPERS");
    EXPECT_TRUE(presenter_.boxes().empty());
}

TEST_F(TransferPageTest, Company_with_nothing_to_show_is_refused_with_38920) {
    auto page = openPage(3);
    EXPECT_FALSE(page->Initialize());
    EXPECT_EQ(messageIds(), std::vector<long>{38920});
    EXPECT_TRUE(page->grid().rows().empty());
}

TEST_F(TransferPageTest, Save_stores_only_rows_that_differ_from_the_default) {
    auto page = openPage(1);
    ASSERT_TRUE(page->Initialize());
    ASSERT_TRUE(page->grid().userEdit("CARREP", "PD49_INDTRPERSCORPO", "1").accepted());
    ASSERT_TRUE(page->grid().userEdit("ODP", "PD49_INDTRPERSTESTA", "2").accepted());
    ASSERT_TRUE(page->grid().userEdit("ODP", "PD49_INDTRPERSCORPO", "2").accepted());
    // Edits reach only the temporary table until the save.
    EXPECT_EQ(saved(1),
              (std::map<std::string, Setting>{{"DOCDISMESSO", {"0", "1"}}, {"ODP", {"1", "0"}}}));
    ASSERT_TRUE(page->Save());
    EXPECT_EQ(saved(1), (std::map<std::string, Setting>{{"CARREP", {"2", "1"}}}));
    EXPECT_TRUE(saved(2).empty());
}

TEST_F(TransferPageTest, Delete_clears_the_company_and_shows_every_document_at_default) {
    auto page = openPage(1);
    ASSERT_TRUE(page->Initialize());
    ASSERT_TRUE(page->grid().userEdit("CARREP", "PD49_INDTRPERSTESTA", "0").accepted());
    ASSERT_TRUE(page->Delete());
    EXPECT_TRUE(saved(1).empty());
    for (const auto& [code, setting] : shown(*page)) {
        EXPECT_EQ(setting, Setting("2", "2")) << code;
    }
}

TEST_F(TransferPageTest, Undo_drops_pending_edits_and_reads_what_is_saved_now) {
    auto page = openPage(1);
    ASSERT_TRUE(page->Initialize());
    ASSERT_TRUE(page->grid().userEdit("ODP", "PD49_INDTRPERSTESTA", "0").accepted());
    // Another program writes a row meanwhile.
    connection_->execute("INSERT INTO PD49_PARDOCPROD VALUES (1, 'CARREP', 0, 0)", nullptr,
                         krl::ado::adExecuteNoRecords);
    ASSERT_TRUE(page->Undo());
    const auto rows = shown(*page);
    EXPECT_EQ(rows.at("ODP"), Setting("1", "0"));
    EXPECT_EQ(rows.at("CARREP"), Setting("0", "0"));
}

struct RefusedEdit {
    const char* row;
    const char* field;
    const char* value;
};

TEST_F(TransferPageTest, Edits_outside_the_choices_or_of_code_and_description_write_nothing) {
    auto page = openPage(1);
    ASSERT_TRUE(page->Initialize());
    const RefusedEdit edits[] = {
        {"ODP", "PD49_INDTRPERSTESTA", "3"}, {"ODP", "PD49_INDTRPERSCORPO", "-1"},
        {"ODP", "PD49_INDTRPERSTESTA", ""},  {"ODP", "PD49_CODDOC_MG3G", "XXX"},
        {"ODP", "PD49_DESCDOCUM", "Altro"},  {"NESSUNO", "PD49_INDTRPERSTESTA", "0"},
        {"ODP", "PD49_DITTA_CG18", "2"},
    };
    for (const RefusedEdit& edit : edits) {
        SCOPED_TRACE(std::string(edit.field) + "=" + edit.value);
        EXPECT_FALSE(page->grid().userEdit(edit.row, edit.field, edit.value).accepted());
    }
    ASSERT_TRUE(page->Save());
    EXPECT_EQ(saved(1), (std::map<std::string, Setting>{{"ODP", {"1", "0"}}}));
}

TEST_F(TransferPageTest, Failed_insert_leaves_the_company_with_the_settings_it_had) {
    auto page = openPage(1);
    ASSERT_TRUE(page->Initialize());
    presenter_.queue(krl::trap::Abort);
    page->DropTempTable();  // the insert's source is gone
    EXPECT_FALSE(page->Save());
    EXPECT_EQ(saved(1),
              (std::map<std::string, Setting>{{"DOCDISMESSO", {"0", "1"}}, {"ODP", {"1", "0"}}}));
}

// More documents change than the save reads back in one statement: every one of them still gets
// its change set, with the value it had saved or the default.
TEST_F(TransferPageTest, Save_records_the_history_of_every_document_changed_however_many) {
    constexpr int kCompany = 9;
    constexpr int kDocuments = 1200;
    data::addDocumentLoad(connectionString_, kCompany, kDocuments, kDocuments / 2);  // (1, 0)
    auto page = openPage(kCompany);
    ASSERT_TRUE(page->Initialize());
    connection_->execute("UPDATE #PARDOCPROD SET PD49_INDTRPERSTESTA = 0");
    ASSERT_TRUE(page->Save());

    std::map<std::string, std::optional<std::string>> before;  // TESTA before, per document
    const auto ids = data::changeSetIds(*connection_, {kCompany, "PD49_PARDOCPROD", {}, true});
    for (const auto& entry : data::changeSets(*connection_, ids)) {
        ASSERT_EQ(entry.columns.size(), 1U) << entry.documentCode.value_or("");
        EXPECT_EQ(entry.columns[0].column, "PD49_INDTRPERSTESTA");
        EXPECT_EQ(entry.columns[0].after, "0");
        before[entry.documentCode.value_or("")] = entry.columns[0].before;
    }
    ASSERT_EQ(before.size(), static_cast<std::size_t>(kDocuments));
    for (int i = 0; i < kDocuments; ++i) {
        EXPECT_EQ(before["B" + std::to_string(100000 + i)], i % 2 == 0 ? "1" : "2") << i;
    }
}

TEST_F(TransferPageTest, Terminate_drops_the_temporary_table_and_ignores_late_edits) {
    auto page = openPage(1);
    page->setOnTerminate(true);
    ASSERT_TRUE(page->Initialize());
    EXPECT_FALSE(page->onTerminate()) << "a page initialised is not terminating";
    EXPECT_FALSE(page->virtualFrame());
    ASSERT_TRUE(tempTableExists());
    page->setOnTerminate(true);
    page->grid().userEdit("ODP", "PD49_INDTRPERSTESTA", "0");
    EXPECT_EQ(shown(*page).at("ODP"), Setting("1", "0"));
    page->setOnTerminate(false);
    page->Terminate();
    EXPECT_TRUE(page->onTerminate());
    EXPECT_FALSE(tempTableExists());
    EXPECT_EQ(connection_->state(), krl::ado::adStateOpen);  // the window's, never closed
}

}  // namespace
}  // namespace duza_zovrena::pages::testing

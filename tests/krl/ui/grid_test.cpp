#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "krl/controls/grid.h"
#include "ui_database.h"

namespace krl::ui_testing {
namespace {

using controls::QGrid;

class GridRows : public UiDatabase {
  protected:
    // A grid over PARAM: CODICE names the rows, IND and NOTA are shown.
    std::unique_ptr<QGrid> grid(const std::shared_ptr<ado::Recordset>& recordset) const {
        auto made = std::make_unique<QGrid>("GRD_PARAM");
        made->setColumns({{"IND", "Indicatore", 900, true, {}}, {"NOTA", "Nota", 1500, false, {}}});
        made->setKeyColumn("CODICE");
        made->setRecordset(recordset);
        return made;
    }
};

void moveTo(ado::Recordset& recordset, const char* code) {
    for (recordset.moveFirst(); !recordset.eof(); recordset.moveNext()) {
        if (rtrim(recordset["CODICE"].value().textOrEmpty()) == code) {
            return;
        }
    }
    FAIL() << "no row " << code;
}

void setIn(ado::Recordset& recordset, const char* code, const char* field, const Variant& value) {
    moveTo(recordset, code);
    recordset[field].setValue(value);
}

// The grid keeps the rows it showed and reads again only what the recordset changed since: after
// each kind of change, what it shows must be what a grid reading everything afresh shows.
TEST_F(GridRows, Kept_rows_follow_every_change_to_the_recordset) {
    auto recordset = open("SELECT * FROM PARAM ORDER BY CODICE");
    auto kept = grid(recordset);
    struct Step {
        const char* what;
        std::function<void(ado::Recordset&)> change;
    };
    const Step steps[] = {
        {"a value assigned",
         [](ado::Recordset& rs) { setIn(rs, "B", "IND", Variant(std::int16_t{0})); }},
        {"another row's value",
         [](ado::Recordset& rs) { setIn(rs, "A", "NOTA", Variant("seconda")); }},
        {"written back", [](ado::Recordset& rs) { rs.updateBatch(); }},
        {"a value to be dropped",
         [](ado::Recordset& rs) { setIn(rs, "A", "IND", Variant(std::int16_t{2})); }},
        {"the row's change dropped",
         [](ado::Recordset& rs) {
             moveTo(rs, "A");
             rs.cancelUpdate();
         }},
        {"a key changed in place",
         [](ado::Recordset& rs) { setIn(rs, "B", "CODICE", Variant("Z")); }},
        {"the pending changes dropped", [](ado::Recordset& rs) { rs.cancelBatch(); }},
        {"a new row",
         [](ado::Recordset& rs) {
             rs.addNew();
             rs["DITTA"].setValue(Variant(std::int32_t{1}));
             rs["CODICE"].setValue(Variant("C"));
             rs["IND"].setValue(Variant(std::int16_t{1}));
         }},
        {"the new row written", [](ado::Recordset& rs) { rs.updateBatch(); }},
        {"a row marked deleted",
         [](ado::Recordset& rs) {
             moveTo(rs, "A");
             rs.deleteCurrent();
         }},
        {"a value beside a deleted row",
         [](ado::Recordset& rs) { setIn(rs, "C", "NOTA", Variant("terza")); }},
        {"the deletion written", [](ado::Recordset& rs) { rs.updateBatch(); }},
        {"read again after another writer",
         [this](ado::Recordset& rs) {
             exec("UPDATE PARAM SET NOTA = 'altrui' WHERE CODICE = 'B'");
             rs.requery();
         }},
    };
    kept->shownRows();
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change(*recordset);
        const auto shown = kept->shownRows();
        const auto afresh = grid(recordset);
        const auto fresh = afresh->shownRows();
        ASSERT_EQ(shown.rows.size(), fresh.rows.size());
        for (std::size_t i = 0; i < fresh.rows.size(); ++i) {
            EXPECT_EQ(shown.rows[i].key, fresh.rows[i].key);
            EXPECT_EQ(shown.rows[i].cells, fresh.rows[i].cells);
        }
        EXPECT_EQ(shown.version, fresh.version);
        EXPECT_EQ(shown.keys, fresh.keys);
        EXPECT_EQ(shown.digests, fresh.digests);
    }
}

// The version says whether the rows show the same: the same after a change undone, another
// after a change, after a row moved to another place, and after a key changed.
TEST_F(GridRows, The_version_changes_with_what_the_rows_show) {
    auto recordset = open("SELECT * FROM PARAM ORDER BY CODICE");
    auto shown = grid(recordset);
    const std::string first = shown->shownRows().version;
    moveTo(*recordset, "A");
    recordset->fields()["IND"].setValue(Variant(std::int16_t{0}));
    const std::string changed = shown->shownRows().version;
    EXPECT_NE(changed, first);
    recordset->fields()["IND"].setValue(Variant(std::int16_t{1}));
    EXPECT_EQ(shown->shownRows().version, first);

    auto reversed = open("SELECT * FROM PARAM ORDER BY CODICE DESC");
    EXPECT_NE(grid(reversed)->shownRows().version, first);
    const auto keysBefore = shown->shownRows().keys;
    recordset->fields()["CODICE"].setValue(Variant("X"));
    EXPECT_NE(shown->shownRows().keys, keysBefore);
}

}  // namespace
}  // namespace krl::ui_testing

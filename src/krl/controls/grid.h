#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "krl/controls/control.h"
#include "krl/controls/event.h"
#include "krl/variant/variant.h"

namespace krl::ado {
class Recordset;
}

namespace krl::controls {

// One choice of an editable column's list: the code stored and the text shown.
struct GridChoice {
    Variant value;
    std::string text;
};

// A column of the grid: the recordset field it shows, its caption and width (window units), and
// whether the person may edit it (with a choice list when `choices` is not empty).
struct GridColumn {
    std::string field;
    std::string caption;
    int width = 0;
    bool editable = false;
    std::vector<GridChoice> choices;
};

// The cell the person edited: its field, the row's position in the recordset (1-based, the
// recordset is on that row when OnEdited is raised) and the value chosen.
struct GridCell {
    std::string field;
    long row = 0;
    Variant value;
};

// KRL_QGRID: a grid bound to a recordset. It shows every row of the recordset, one cell per
// column, and lets the person edit the editable cells; what an edit does to the data is the page's
// business (OnEdited), the grid writes nothing itself.
class QGrid : public Control {
  public:
    explicit QGrid(std::string name);
    ~QGrid() override;

    void setColumns(std::vector<GridColumn> columns) {
        columns_ = std::move(columns);
        cache_ = {};
    }
    const std::vector<GridColumn>& columns() const { return columns_; }
    const GridColumn* column(std::string_view field) const;

    // The column whose value names a row (trailing blanks do not count).
    const std::string& keyColumn() const { return keyColumn_; }
    void setKeyColumn(std::string field) {
        keyColumn_ = std::move(field);
        cache_ = {};
    }
    // Where the host keeps the person's layout of the grid.
    const std::string& layoutKey() const { return layoutKey_; }
    void setLayoutKey(std::string key) { layoutKey_ = std::move(key); }

    void setRecordset(std::shared_ptr<ado::Recordset> recordset) {
        recordset_ = std::move(recordset);
        cache_ = {};
    }
    const std::shared_ptr<ado::Recordset>& recordset() const { return recordset_; }

    // The rows as shown: per row the text of each column's field, in column order (a choice
    // column shows its code). No rows when no open recordset is bound. The recordset's current
    // row is kept.
    struct Row {
        std::string key;
        std::vector<std::string> cells;
    };
    std::vector<Row> rows() const;

    // The rows as shown, kept between calls: only the rows the recordset changed since the last
    // call are read again. With them, per row a digest of its key and cells, a digest of the keys
    // in their order, and a version: rows that show the same give the same version, and any
    // change to a key, a cell, the number or the order of rows gives another (but for a 64-bit
    // collision), which lets whoever shows the rows skip sending rows the viewer already has.
    // Good until the next call.
    struct Shown {
        const std::vector<Row>& rows;
        const std::vector<std::uint64_t>& digests;
        std::string version;
        std::uint64_t keys;
    };
    Shown shownRows() const;

    // Raised for each edit the grid accepts, with the recordset on the edited row.
    Event<GridCell&> OnEdited;

    // The person sets the cell of the row with this key: refused when the column is not editable,
    // the value is not one of its choices, or no row has the key.
    InputResult userEdit(std::string_view rowKey, std::string_view field, std::string_view value);

    // Drops the recordset and the handlers.
    void terminate() override;

  protected:
    void clearEvents() override { OnEdited.clear(); }

  private:
    // What shownRows read last: from which recordset, at which of its stamps.
    struct Cache {
        const ado::Recordset* recordset = nullptr;
        std::uint64_t stamp = 0;
        std::vector<Row> rows;
        std::vector<std::uint64_t> digests;
        std::uint64_t sum = 0;  // of the digests, each mixed with its row's place
        std::uint64_t keys = 0;
    };
    void readAll() const;
    void readRow(std::size_t index) const;

    mutable Cache cache_;
    std::vector<GridColumn> columns_;
    std::string keyColumn_;
    std::string layoutKey_;
    std::shared_ptr<ado::Recordset> recordset_;
};

}  // namespace krl::controls

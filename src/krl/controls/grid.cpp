#include "krl/controls/grid.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

#include "krl/ado/ado.h"

namespace krl::controls {

namespace {

std::string cellText(const Variant& value) {
    return value.isNull() ? std::string() : rtrim(value.textOrEmpty());
}

// Moves the recordset back to the row it was on when the scope ends.
class KeepPosition {
  public:
    explicit KeepPosition(ado::Recordset& recordset)
        : recordset_(recordset), position_(recordset.absolutePosition()) {}
    ~KeepPosition() {
        if (position_ <= 0 || recordset_.state() != ado::adStateOpen) {
            return;
        }
        recordset_.moveFirst();
        for (long row = 1; row < position_ && !recordset_.eof(); ++row) {
            recordset_.moveNext();
        }
    }
    KeepPosition(const KeepPosition&) = delete;
    KeepPosition& operator=(const KeepPosition&) = delete;

  private:
    ado::Recordset& recordset_;
    long position_;
};

}  // namespace

QGrid::QGrid(std::string name) : Control(Kind::QGrid, std::move(name)) {}

QGrid::~QGrid() = default;

const GridColumn* QGrid::column(std::string_view field) const {
    auto found = std::find_if(columns_.begin(), columns_.end(),
                              [&](const GridColumn& column) { return column.field == field; });
    return found == columns_.end() ? nullptr : &*found;
}

std::vector<QGrid::Row> QGrid::rows() const {
    std::vector<Row> rows;
    if (!recordset_ || recordset_->state() != ado::adStateOpen || recordset_->recordCount() == 0) {
        return rows;
    }
    ado::Fields& fields = recordset_->fields();
    std::vector<ado::Field*> shown;
    for (const GridColumn& column : columns_) {
        shown.push_back(&fields[column.field]);
    }
    ado::Field& key = fields[keyColumn_];
    rows.reserve(static_cast<std::size_t>(recordset_->recordCount()));
    KeepPosition keep(*recordset_);
    for (recordset_->moveFirst(); !recordset_->eof(); recordset_->moveNext()) {
        Row& row = rows.emplace_back();
        row.key = cellText(key.value());
        row.cells.reserve(shown.size());
        for (const ado::Field* field : shown) {
            row.cells.push_back(cellText(field->value()));
        }
    }
    return rows;
}

std::string QGrid::version(const std::vector<Row>& rows) {
    // FNV-1a over every text, each closed by a byte no text holds so that moving characters
    // from one cell to the next changes the digest.
    std::uint64_t digest = 14695981039346656037ULL;
    const auto add = [&digest](std::string_view text, unsigned char end) {
        for (const char c : text) {
            digest = (digest ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
        }
        digest = (digest ^ end) * 1099511628211ULL;
    };
    for (const Row& row : rows) {
        add(row.key, 0x1E);
        for (const std::string& cell : row.cells) {
            add(cell, 0x1F);
        }
        add({}, 0x1D);
    }
    std::array<char, 17> text{};
    std::snprintf(text.data(), text.size(), "%016llx", static_cast<unsigned long long>(digest));
    return {text.data(), 16};
}

InputResult QGrid::userEdit(std::string_view rowKey, std::string_view field,
                            std::string_view value) {
    if (InputResult checked = checkInput(); !checked.accepted()) {
        return checked;
    }
    const GridColumn* edited = column(field);
    if (edited == nullptr || !edited->editable) {
        return InputResult::refuse("La colonna non è modificabile.");
    }
    GridCell cell{edited->field, 0, Variant(std::string(value))};
    if (!edited->choices.empty()) {
        auto choice = std::find_if(
            edited->choices.begin(), edited->choices.end(),
            [&](const GridChoice& option) { return option.value.textOrEmpty() == value; });
        if (choice == edited->choices.end()) {
            return InputResult::refuse("Il valore scelto non è nell'elenco.");
        }
        cell.value = choice->value;
    }
    if (!recordset_ || recordset_->state() != ado::adStateOpen) {
        return InputResult::ignore();
    }
    ado::Field& key = recordset_->fields()[keyColumn_];
    for (recordset_->moveFirst(); !recordset_->eof(); recordset_->moveNext()) {
        if (cellText(key.value()) == rtrim(rowKey)) {
            cell.row = recordset_->absolutePosition();
            OnEdited.raise(cell);
            return InputResult::accept();
        }
    }
    return InputResult::refuse("La riga non è nella griglia.");
}

void QGrid::terminate() {
    recordset_.reset();
    Control::terminate();
}

}  // namespace krl::controls

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

namespace {

constexpr std::uint64_t kFnvBasis = 14695981039346656037ULL;
constexpr std::uint64_t kFnvPrime = 1099511628211ULL;

// FNV-1a over a text, closed by a byte no text holds so that moving characters from one text to
// the next changes the digest.
void addText(std::uint64_t& digest, std::string_view text, unsigned char end) {
    for (const char c : text) {
        digest = (digest ^ static_cast<unsigned char>(c)) * kFnvPrime;
    }
    digest = (digest ^ end) * kFnvPrime;
}

std::uint64_t rowDigest(const QGrid::Row& row) {
    std::uint64_t digest = kFnvBasis;
    addText(digest, row.key, 0x1E);
    for (const std::string& cell : row.cells) {
        addText(digest, cell, 0x1F);
    }
    return digest;
}

std::uint64_t keysDigest(const std::vector<QGrid::Row>& rows) {
    std::uint64_t digest = kFnvBasis;
    for (const QGrid::Row& row : rows) {
        addText(digest, row.key, 0x1E);
    }
    return digest;
}

// A row's digest mixed with its place (a finaliser of splitmix64), so that the sum of them
// changes when rows change places.
std::uint64_t placed(std::uint64_t digest, std::size_t place) {
    std::uint64_t z = digest + (place + 1) * 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::string hex(std::uint64_t value) {
    std::array<char, 17> text{};
    std::snprintf(text.data(), text.size(), "%016llx", static_cast<unsigned long long>(value));
    return {text.data(), 16};
}

}  // namespace

void QGrid::readAll() const {
    cache_.rows = rows();
    cache_.digests.clear();
    cache_.sum = 0;
    for (std::size_t i = 0; i < cache_.rows.size(); ++i) {
        cache_.digests.push_back(rowDigest(cache_.rows[i]));
        cache_.sum += placed(cache_.digests.back(), i);
    }
    cache_.keys = keysDigest(cache_.rows);
}

void QGrid::readRow(std::size_t index) const {
    ado::Fields& fields = recordset_->fields();
    Row& row = cache_.rows[index];
    const auto place = static_cast<long>(index);
    const std::string key = cellText(recordset_->valueInRow(place, fields[keyColumn_].index()));
    if (key != row.key) {
        row.key = key;
        cache_.keys = keysDigest(cache_.rows);
    }
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        row.cells[c] = cellText(recordset_->valueInRow(place, fields[columns_[c].field].index()));
    }
    cache_.sum -= placed(cache_.digests[index], index);
    cache_.digests[index] = rowDigest(row);
    cache_.sum += placed(cache_.digests[index], index);
}

QGrid::Shown QGrid::shownRows() const {
    const bool open = recordset_ && recordset_->state() == ado::adStateOpen;
    if (!open) {
        cache_ = {};
    } else if (cache_.recordset != recordset_.get()) {
        readAll();
    } else if (cache_.stamp != recordset_->changeStamp()) {
        const auto changed = recordset_->rowsChangedSince(cache_.stamp);
        const auto count = static_cast<std::size_t>(recordset_->recordCount());
        const auto beyond = [&](long index) { return static_cast<std::size_t>(index) >= count; };
        if (!changed || count != cache_.rows.size() ||
            std::any_of(changed->begin(), changed->end(), beyond)) {
            readAll();
        } else {
            for (const long index : *changed) {
                readRow(static_cast<std::size_t>(index));
            }
        }
    }
    if (open) {
        cache_.recordset = recordset_.get();
        cache_.stamp = recordset_->changeStamp();
    }
    return {cache_.rows, cache_.digests, hex(cache_.sum ^ cache_.rows.size()), cache_.keys};
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

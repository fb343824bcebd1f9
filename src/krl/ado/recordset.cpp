#include <algorithm>
#include <atomic>
#include <cctype>
#include <utility>

#include "krl/ado/failure.h"

#include "krl/ado/recordset_impl.h"
#include "krl/ado/source_table.h"
#include "krl/variant/text.h"

namespace krl::ado {

namespace {

[[noreturn]] void raise(long number, const char* description) {
    raiseError(nullptr, number, description);
}

bool isInteger(const Variant& value) {
    switch (value.type()) {
        case Variant::Type::Integer:
        case Variant::Type::Long:
        case Variant::Type::LongLong:
            return true;
        default:
            return false;
    }
}

// The table every column that has one comes from; empty when they come from several.
TableName commonTable(const ColumnSet& columns) {
    TableName table;
    for (const auto& column : columns.columns) {
        if (column.baseTable.empty()) {
            continue;
        }
        if (table.empty()) {
            table = {column.baseSchema, column.baseTable};
        } else if (table.table != column.baseTable || table.schema != column.baseSchema) {
            return {};
        }
    }
    return table;
}

}  // namespace

bool sameValue(const Variant& a, const Variant& b) {
    if (a.identical(b)) {
        return true;
    }
    if (isInteger(a) && isInteger(b)) {
        return a.toInt64() == b.toInt64();
    }
    if (a.isNumeric() && b.isNumeric() && a.type() != Variant::Type::Boolean &&
        b.type() != Variant::Type::Boolean) {
        return a.toDouble() == b.toDouble();
    }
    return false;
}

bool Recordset::Impl::changed(const Row& row) const {
    if (row.isNew || row.deleted) {
        return true;
    }
    for (std::size_t i = 0; i < row.values.size(); ++i) {
        if (!sameValue(row.values[i], row.original[i])) {
            return true;
        }
    }
    return false;
}

long Recordset::Impl::visibleFrom(long index, int step) const {
    while (index >= 0 && index < size() && rows[static_cast<std::size_t>(index)].deleted) {
        index += step;
    }
    return std::clamp(index, -1L, size());
}

// ---- Field and Fields ----

const Variant& Field::value() const {
    return owner_->valueAt(index_);
}
void Field::setValue(const Variant& value) {
    owner_->setValueAt(index_, value);
}
const Variant& Field::originalValue() const {
    return owner_->originalAt(index_);
}

Field& Fields::item(std::size_t index) {
    if (index >= fields_.size()) {
        raise(adErrItemNotFound, text::ItemNotFound);
    }
    return fields_[index];
}

void Fields::assign(std::vector<Field> fields) {
    fields_ = std::move(fields);
    byName_.clear();
    byName_.reserve(fields_.size());
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        byName_.try_emplace(krl::upperAscii(fields_[i].name()), i);  // the first of a name wins
    }
}

Field& Fields::operator[](std::string_view name) {
    const auto found = byName_.find(krl::upperAscii(name));
    if (found == byName_.end()) {
        raise(adErrItemNotFound, text::ItemNotFound);
    }
    return fields_[found->second];
}

bool Fields::contains(std::string_view name) const {
    return byName_.contains(krl::upperAscii(name));
}

// ---- Recordset ----

namespace {

// Stamps are unique across recordsets, so that a stamp of one never passes for one of another.
std::uint64_t nextStamp() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

// Beyond this many changed rows since rows were last read, a copy is read again whole.
constexpr std::size_t kChangedRowsKept = 4096;

}  // namespace

void Recordset::reshaped() {
    stamp_ = reshapedAt_ = nextStamp();
    changedRows_.clear();
}

void Recordset::rowChanged(std::size_t row) {
    if (changedRows_.size() == kChangedRowsKept) {
        reshaped();
        return;
    }
    stamp_ = nextStamp();
    changedRows_.emplace_back(stamp_, row);
}

std::optional<std::vector<long>> Recordset::rowsChangedSince(std::uint64_t stamp) const {
    if (stamp < reshapedAt_ || impl_->deletedRows > 0) {
        return std::nullopt;
    }
    std::vector<long> rows;
    for (auto it = changedRows_.rbegin(); it != changedRows_.rend() && it->first > stamp; ++it) {
        rows.push_back(static_cast<long>(it->second));
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

const Variant& Recordset::valueInRow(long index, std::size_t field) const {
    if (impl_->deletedRows == 0) {
        if (index >= 0 && index < impl_->size()) {
            return impl_->rows[static_cast<std::size_t>(index)].value(field);
        }
    } else {
        long visible = 0;
        for (const Row& row : impl_->rows) {
            if (!row.deleted && visible++ == index) {
                return row.value(field);
            }
        }
    }
    raise(adErrNoCurrentRecord, text::NoCurrentRecord);
}

std::shared_ptr<Recordset> Recordset::create() {
    std::shared_ptr<Recordset> recordset(new Recordset());
    recordset->impl_ = std::make_unique<Impl>();
    return recordset;
}

Recordset::~Recordset() = default;

void Recordset::setActiveConnection(std::shared_ptr<Connection> connection) {
    connection_ = std::move(connection);
}

void Recordset::setSource(std::string source) {
    if (impl_->open) {
        raise(adErrObjectOpen, text::ObjectOpen);
    }
    source_ = std::move(source);
}

void Recordset::open(int cursorType, int lockType, long options) {
    if (impl_->open) {
        raise(adErrObjectOpen, text::ObjectOpen);
    }
    if (!connection_ || connection_->state() != adStateOpen) {
        raise(adErrInvalidConnection, text::NoConnection);
    }
    Provider& provider = connection_->provider();
    connection_->errors().clear();
    traceProgramText(source_);
    QueryResult result = provider.run(provider.engineText(source_), {}, true);
    if (!result.columns) {
        return;  // the source returned no rows: the recordset stays closed
    }
    std::string table = singleTableOf(source_);
    TableName target = commonTable(*result.columns);
    if (target.empty() && !table.empty()) {
        target = {{}, table};  // the engine does not say: the table as the program wrote it
    }
    std::vector<std::string> key = keyColumns_;
    if (!impl_->keysTold) {
        key = target.empty() ? std::vector<std::string>{} : provider.primaryKey(target);
    }

    openResult(connection_, source_, std::move(result));
    impl_->openCursor = cursorType;
    impl_->openLock = lockType;
    impl_->openOptions = options;
    impl_->readOnly = lockType == adLockReadOnly;
    impl_->target = std::move(target);
    baseTable_ = table.empty() ? impl_->target.table : std::move(table);
    keyColumns_ = std::move(key);
}

void Recordset::openResult(std::shared_ptr<Connection> connection, std::string source,
                           QueryResult&& result) {
    connection_ = std::move(connection);
    source_ = std::move(source);
    Impl& impl = *impl_;
    impl.columns = result.columns;
    impl.rows.clear();
    impl.rows.reserve(result.rows.size());
    for (auto& values : result.rows) {
        impl.rows.push_back(Row{std::move(values), {}, false, false});
    }
    std::vector<Field> list;
    list.reserve(impl.columns->columns.size());
    for (std::size_t i = 0; i < impl.columns->columns.size(); ++i) {
        const ColumnInfo& column = impl.columns->columns[i];
        list.emplace_back(this, i, column.name, column.definedSize);
    }
    impl.fields.assign(std::move(list));
    impl.position = impl.rows.empty() ? 0 : impl.visibleFrom(0, 1);
    impl.positionBeforeAddNew.reset();
    impl.readOnly = true;  // rows of a command; Open makes them writable unless asked not to
    impl.openLock = adLockReadOnly;
    impl.open = true;
    reshaped();
}

void Recordset::close() {
    if (!impl_->open) {
        raise(adErrObjectClosed, text::ObjectClosed);
    }
    const bool keysTold = impl_->keysTold;
    impl_ = std::make_unique<Impl>();
    impl_->keysTold = keysTold;
    reshaped();
}

int Recordset::state() const {
    return impl_->open ? adStateOpen : adStateClosed;
}

void Recordset::requery() {
    if (!impl_->open) {
        raise(adErrObjectClosed, text::ObjectClosed);
    }
    const int cursor = impl_->openCursor;
    const int lock = impl_->openLock;
    const long options = impl_->openOptions;
    close();
    open(cursor, lock, options);
}

long Recordset::recordCount() const {
    if (!impl_->open) {
        raise(adErrObjectClosed, text::ObjectClosed);
    }
    return impl_->size() - impl_->deletedRows;
}

bool Recordset::bof() const {
    if (!impl_->open) {
        raise(adErrObjectClosed, text::ObjectClosed);
    }
    return impl_->position < 0 || recordCount() == 0;
}

bool Recordset::eof() const {
    if (!impl_->open) {
        raise(adErrObjectClosed, text::ObjectClosed);
    }
    return impl_->position >= impl_->size() || recordCount() == 0;
}

void Recordset::moveFirst() {
    if (recordCount() == 0) {
        raise(adErrNoCurrentRecord, text::NoCurrentRecord);
    }
    impl_->position = impl_->visibleFrom(0, 1);
}

void Recordset::moveLast() {
    if (recordCount() == 0) {
        raise(adErrNoCurrentRecord, text::NoCurrentRecord);
    }
    impl_->position = impl_->visibleFrom(impl_->size() - 1, -1);
}

void Recordset::moveNext() {
    if (eof()) {
        raise(adErrNoCurrentRecord, text::NoCurrentRecord);
    }
    impl_->position = impl_->visibleFrom(impl_->position + 1, 1);
}

void Recordset::movePrevious() {
    if (bof()) {
        raise(adErrNoCurrentRecord, text::NoCurrentRecord);
    }
    impl_->position = impl_->visibleFrom(impl_->position - 1, -1);
}

long Recordset::absolutePosition() const {
    if (bof()) {
        return -2;
    }
    if (eof()) {
        return -3;
    }
    long visible = 0;
    for (long i = 0; i <= impl_->position; ++i) {
        visible += impl_->rows[static_cast<std::size_t>(i)].deleted ? 0 : 1;
    }
    return visible;
}

Fields& Recordset::fields() {
    return impl_->fields;
}

const Variant& Recordset::valueAt(std::size_t field) const {
    if (!impl_->onRow() || impl_->rows[static_cast<std::size_t>(impl_->position)].deleted) {
        raise(adErrNoCurrentRecord, text::NoCurrentRecord);
    }
    return impl_->rows[static_cast<std::size_t>(impl_->position)].value(field);
}

const Variant& Recordset::originalAt(std::size_t field) const {
    if (!impl_->onRow()) {
        raise(adErrNoCurrentRecord, text::NoCurrentRecord);
    }
    return impl_->rows[static_cast<std::size_t>(impl_->position)].original[field];
}

void Recordset::setValueAt(std::size_t field, const Variant& value) {
    if (impl_->readOnly) {
        raise(adErrNotUpdatable, text::NotUpdatable);
    }
    if (!impl_->onRow() || impl_->rows[static_cast<std::size_t>(impl_->position)].deleted) {
        raise(adErrNoCurrentRecord, text::NoCurrentRecord);
    }
    Variant assigned = assignedValue(impl_->columns->columns[field].kind, value);
    Row& row = impl_->rows[static_cast<std::size_t>(impl_->position)];
    if (row.values.empty()) {
        row.values = row.original;
    }
    row.values[field] = std::move(assigned);
    rowChanged(static_cast<std::size_t>(impl_->position));
    if (writeObserver_) {
        writeObserver_(impl_->columns->columns[field].name);
    }
}

void Recordset::addNew() {
    if (!impl_->open) {
        raise(adErrObjectClosed, text::ObjectClosed);
    }
    if (impl_->readOnly) {
        raise(adErrNotUpdatable, text::NotUpdatable);
    }
    const std::size_t count = impl_->columns->columns.size();
    impl_->positionBeforeAddNew = impl_->position;
    impl_->rows.push_back(
        Row{std::vector<Variant>(count), std::vector<Variant>(count), true, false});
    impl_->position = impl_->size() - 1;
    reshaped();
}

void Recordset::cancelUpdate() {
    if (!impl_->onRow()) {
        return;  // nothing being edited
    }
    Row& row = impl_->rows[static_cast<std::size_t>(impl_->position)];
    if (!row.isNew) {
        row.values.clear();
        rowChanged(static_cast<std::size_t>(impl_->position));
        return;
    }
    reshaped();
    impl_->rows.erase(impl_->rows.begin() + impl_->position);
    long back = impl_->positionBeforeAddNew.value_or(0);
    impl_->positionBeforeAddNew.reset();
    impl_->position = impl_->visibleFrom(std::clamp(back, 0L, impl_->size()), 1);
}

void Recordset::deleteCurrent() {
    if (impl_->readOnly) {
        raise(adErrNotUpdatable, text::NotUpdatable);
    }
    if (!impl_->onRow() || impl_->rows[static_cast<std::size_t>(impl_->position)].deleted) {
        raise(adErrNoCurrentRecord, text::NoCurrentRecord);
    }
    reshaped();
    Row& row = impl_->rows[static_cast<std::size_t>(impl_->position)];
    if (row.isNew) {  // never written: nothing to delete in the database
        impl_->rows.erase(impl_->rows.begin() + impl_->position);
        impl_->position = impl_->visibleFrom(impl_->position, 1);
        return;
    }
    row.deleted = true;
    ++impl_->deletedRows;
}

bool Recordset::currentRowChanged() const {
    return impl_->onRow() && impl_->changed(impl_->rows[static_cast<std::size_t>(impl_->position)]);
}

void Recordset::cancelBatch(int affect) {
    if (!impl_->open) {
        raise(adErrObjectClosed, text::ObjectClosed);
    }
    if (affect == adAffectCurrent) {
        if (!impl_->onRow()) {
            raise(adErrNoCurrentRecord, text::NoCurrentRecord);
        }
        Row& row = impl_->rows[static_cast<std::size_t>(impl_->position)];
        if (row.deleted) {
            row.deleted = false;
            --impl_->deletedRows;
            reshaped();
        }
        cancelUpdate();
        return;
    }
    reshaped();
    std::erase_if(impl_->rows, [](const Row& row) { return row.isNew; });
    for (auto& row : impl_->rows) {
        row.values.clear();
        row.deleted = false;
    }
    impl_->deletedRows = 0;
    impl_->positionBeforeAddNew.reset();
    impl_->position = impl_->rows.empty() ? 0 : impl_->visibleFrom(0, 1);
}

void Recordset::setKeyColumns(std::vector<std::string> columns) {
    keyColumns_ = std::move(columns);
    impl_->keysTold = true;
}

}  // namespace krl::ado

// UpdateBatch: the changed rows of a recordset written in one transaction, optimistically. Every
// UPDATE and DELETE finds its row by the key AND by every column's value as it was read, so a row
// that someone else changed or deleted in the meantime is not found: that is a conflict, the whole
// batch is rolled back and the recordset keeps every pending change.

#include <algorithm>
#include <utility>

#include "krl/ado/failure.h"
#include "krl/ado/recordset_impl.h"

namespace krl::ado {

namespace {

constexpr const char* kNoTable =
    "Impossibile aggiornare: il recordset non legge una sola tabella della base dati.";
constexpr const char* kNotUniqueRow =
    "Impossibile aggiornare: i valori di chiave individuano più di una riga.";

std::string noKeyText(const std::string& table) {
    return "Impossibile aggiornare la tabella \"" + table +
           "\": non ha una chiave primaria e al recordset non sono state indicate le colonne "
           "chiave.";
}

std::string notWritableText(const std::string& column) {
    return "La colonna \"" + column +
           "\" non appartiene alla tabella aggiornata e non può essere "
           "scritta.";
}

}  // namespace

BatchWriter::BatchWriter(Provider& provider, Errors& errors, const ColumnSet& columns,
                         const TableName& target, std::vector<std::size_t> keyFields)
    : provider_(provider),
      errors_(errors),
      columns_(columns),
      target_(target),
      table_(provider.quoteTable(target)),
      keyFields_(std::move(keyFields)) {
    writable_.reserve(columns.columns.size());
    for (const auto& info : columns.columns) {
        writable_.push_back(!info.baseColumn.empty() &&
                            (info.baseTable.empty() ||
                             (info.baseTable == target.table && info.baseSchema == target.schema)));
    }
}

bool BatchWriter::writable(std::size_t field) const {
    return writable_[field];
}

const std::string& BatchWriter::column(std::size_t field) const {
    auto& quoted = columns_.quotedBaseColumns;
    if (quoted.size() != columns_.columns.size()) {
        quoted.clear();
        quoted.reserve(columns_.columns.size());
        for (const auto& info : columns_.columns) {
            quoted.push_back(provider_.quoteIdentifier(info.baseColumn));
        }
    }
    return quoted[field];
}

void BatchWriter::sameAsRead(std::string& sql, const Recordset::Row& row,
                             std::vector<Variant>& parameters) const {
    bool first = true;
    for (std::size_t i = 0; i < columns_.columns.size(); ++i) {
        const Variant& original = row.original[i];
        if (!writable(i) || !columns_.columns[i].comparable || original.isEmpty()) {
            continue;
        }
        sql += first ? " WHERE " : " AND ";
        provider_.sameAsOriginal(sql, column(i), original, parameters);
        first = false;
    }
}

void BatchWriter::expectOneRow(long affected) {
    if (affected == 0) {
        raiseError(&errors_, adErrUpdateConflict, text::UpdateConflict);
    }
    if (affected > 1) {
        raiseError(&errors_, adErrProvider, kNotUniqueRow);
    }
}

void BatchWriter::update(const Recordset::Row& row) {
    std::vector<Variant> parameters;
    parameters.reserve(row.values.size() * 2);
    std::string sql;
    sql.reserve(64 + row.values.size() * 24);
    sql += "UPDATE ";
    sql += table_;
    sql += " SET ";
    bool first = true;
    for (std::size_t i = 0; i < row.values.size(); ++i) {
        if (sameValue(row.values[i], row.original[i])) {
            continue;
        }
        if (!writable(i)) {
            raiseError(&errors_, adErrProvider, notWritableText(columns_.columns[i].name));
        }
        sql += first ? "" : ", ";
        sql += column(i);
        sql += " = ?";
        parameters.push_back(row.values[i]);
        first = false;
    }
    if (first) {
        return;  // values assigned but none differs from what was read
    }
    sameAsRead(sql, row, parameters);
    expectOneRow(provider_.run(sql, parameters, false).recordsAffected);
}

void BatchWriter::remove(const Recordset::Row& row) {
    std::vector<Variant> parameters;
    std::string sql = "DELETE FROM " + table_;
    sameAsRead(sql, row, parameters);
    expectOneRow(provider_.run(sql, parameters, false).recordsAffected);
}

std::optional<std::vector<Variant>> BatchWriter::insert(const Recordset::Row& row) {
    std::vector<Variant> parameters;
    std::string names;
    std::string marks;
    for (std::size_t i = 0; i < row.values.size(); ++i) {
        if (row.values[i].isEmpty()) {
            continue;  // never set: the database's default applies
        }
        if (!writable(i)) {
            raiseError(&errors_, adErrProvider, notWritableText(columns_.columns[i].name));
        }
        names += names.empty() ? "" : ", ";
        names += column(i);
        marks += marks.empty() ? "?" : ", ?";
        parameters.push_back(row.values[i]);
    }
    std::string sql = "INSERT INTO " + table_;
    sql += names.empty() ? " DEFAULT VALUES" : " (" + names + ") VALUES (" + marks + ")";
    provider_.run(sql, parameters, false);

    // Read the row back so that the recordset shows the defaults the database filled in.
    std::string select;
    std::vector<std::size_t> selected;
    for (std::size_t i = 0; i < columns_.columns.size(); ++i) {
        if (writable(i)) {
            select += select.empty() ? "SELECT " : ", ";
            select += column(i);
            selected.push_back(i);
        }
    }
    std::vector<Variant> keyValues;
    std::string where;
    for (std::size_t field : keyFields_) {
        if (row.values[field].isEmpty() || row.values[field].isNull()) {
            where.clear();
            break;
        }
        where += where.empty() ? " WHERE " : " AND ";
        provider_.sameAsOriginal(where, column(field), row.values[field], keyValues);
    }
    if (where.empty()) {
        const std::string last = provider_.lastInsertedRowCondition();
        if (last.empty()) {
            return std::nullopt;
        }
        keyValues.clear();
        where = " WHERE " + last;
    }
    if (selected.empty()) {
        return std::nullopt;
    }
    QueryResult stored = provider_.run(select + " FROM " + table_ + where, keyValues, true);
    if (stored.rows.size() != 1) {
        return std::nullopt;
    }
    std::vector<Variant> values = row.values;
    for (std::size_t i = 0; i < selected.size(); ++i) {
        values[selected[i]] = std::move(stored.rows.front()[i]);
    }
    return values;
}

std::vector<std::string> Recordset::Impl::fieldNames() const {
    std::vector<std::string> names;
    names.reserve(columns->columns.size());
    for (const auto& info : columns->columns) {
        names.push_back(info.name);
    }
    return names;
}

std::vector<WrittenRow> Recordset::Impl::written(
    const std::vector<std::size_t>& pending,
    const std::vector<std::pair<std::size_t, std::vector<Variant>>>& inserted) const {
    std::vector<WrittenRow> written;
    written.reserve(pending.size());
    auto insertedRow = inserted.begin();
    for (std::size_t i : pending) {
        const Row& row = rows[i];
        if (row.isNew) {
            written.push_back({{}, insertedRow->second});
            ++insertedRow;
        } else if (row.deleted) {
            written.push_back({row.original, {}});
        } else {
            written.push_back({row.original, row.values.empty() ? row.original : row.values});
        }
    }
    return written;
}

void Recordset::updateBatch(int affect) {
    Impl& impl = *impl_;
    if (!impl.open) {
        raiseError(nullptr, adErrObjectClosed, text::ObjectClosed);
    }
    if (impl.readOnly) {
        raiseError(nullptr, adErrNotUpdatable, text::NotUpdatable);
    }
    if (!connection_ || connection_->state() != adStateOpen) {
        raiseError(nullptr, adErrInvalidConnection, text::NoConnection);
    }
    Errors& errors = connection_->errors();
    errors.clear();

    std::vector<std::size_t> pending;
    if (affect == adAffectCurrent) {
        if (!impl.onRow()) {
            raiseError(&errors, adErrNoCurrentRecord, text::NoCurrentRecord);
        }
        if (impl.changed(impl.rows[static_cast<std::size_t>(impl.position)])) {
            pending.push_back(static_cast<std::size_t>(impl.position));
        }
    } else {
        for (std::size_t i = 0; i < impl.rows.size(); ++i) {
            if (impl.changed(impl.rows[i])) {
                pending.push_back(i);
            }
        }
    }
    if (pending.empty()) {
        return;
    }
    if (impl.target.empty()) {
        raiseError(&errors, adErrProvider, kNoTable);
    }
    std::vector<std::size_t> keyFields;
    for (const auto& name : keyColumns_) {
        auto field = impl.columns->find(name);
        if (!field) {
            raiseError(&errors, adErrProvider, noKeyText(baseTable_));
        }
        keyFields.push_back(*field);
    }
    const bool needsKey = std::any_of(pending.begin(), pending.end(),
                                      [&](std::size_t i) { return !impl.rows[i].isNew; });
    if (needsKey && keyFields.empty()) {
        raiseError(&errors, adErrProvider, noKeyText(baseTable_));
    }

    Provider& provider = connection_->provider();
    BatchWriter writer(provider, errors, *impl.columns, impl.target, keyFields);
    std::vector<std::pair<std::size_t, std::vector<Variant>>> inserted;
    provider.beginTransaction();
    try {
        for (std::size_t i : pending) {
            const Row& row = impl.rows[i];
            if (row.isNew) {
                auto stored = writer.insert(row);
                if (stored) {
                    inserted.emplace_back(i, std::move(*stored));
                } else {
                    inserted.emplace_back(i, row.values);
                }
            } else if (row.deleted) {
                writer.remove(row);
            } else {
                writer.update(row);
            }
        }
        if (journal_) {
            journal_(*connection_, impl.fieldNames(), impl.written(pending, inserted));
        }
        provider.commit();
    } catch (...) {
        provider.rollback();
        throw;
    }

    // Written: what is in the database now is what the rows were read with. A changed row shows
    // the same; a new one what the database filled in; deleted ones go (below).
    for (auto& [index, values] : inserted) {
        Row& row = impl.rows[index];
        row.original = std::move(values);
        row.values.clear();
        row.isNew = false;
        rowChanged(index);
    }
    for (std::size_t i : pending) {
        Row& row = impl.rows[i];
        if (!row.values.empty()) {
            row.original = std::move(row.values);
            row.values.clear();
        }
    }
    std::vector<bool> removed(impl.rows.size(), false);
    for (std::size_t i : pending) {
        removed[i] = impl.rows[i].deleted;
    }
    const long before = impl.position;
    const bool currentRemoved = impl.onRow() && removed[static_cast<std::size_t>(before)];
    long removedBefore = 0;
    for (long i = 0; i < std::min(before, impl.size()); ++i) {
        removedBefore += removed[static_cast<std::size_t>(i)] ? 1 : 0;
    }
    std::size_t next = 0;
    for (std::size_t i = 0; i < impl.rows.size(); ++i) {
        if (!removed[i]) {
            if (next != i) {
                impl.rows[next] = std::move(impl.rows[i]);
            }
            ++next;
        } else {
            --impl.deletedRows;
        }
    }
    if (next != impl.rows.size()) {
        reshaped();
    }
    impl.rows.resize(next);
    impl.position = before - removedBefore;
    if (currentRemoved) {
        impl.position = impl.visibleFrom(impl.position, 1);
    }
    impl.positionBeforeAddNew.reset();
}

}  // namespace krl::ado

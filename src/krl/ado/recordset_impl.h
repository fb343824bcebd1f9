#pragma once

// The rows a recordset holds in memory and where it stands among them.

#include <optional>
#include <vector>

#include "krl/ado/ado.h"
#include "krl/ado/provider.h"

namespace krl::ado {

struct Recordset::Row {
    std::vector<Variant> original;  // as read, or as last written
    std::vector<Variant> values;    // the current values; empty while nothing was assigned
    bool isNew = false;             // added, not yet written
    bool deleted = false;           // to be deleted by the next UpdateBatch

    const Variant& value(std::size_t field) const {
        return values.empty() ? original[field] : values[field];
    }
};

// Two values that the database would store alike (an Integer 5 and a Long 5).
bool sameValue(const Variant& a, const Variant& b);

class Recordset::Impl {
  public:
    ColumnSetPtr columns;
    Fields fields;
    std::vector<Row> rows;
    long deletedRows = 0;  // rows marked deleted, still held until UpdateBatch
    long position = 0;     // index in rows; -1 before the first row, rows.size() after the last
    bool open = false;
    bool readOnly = false;
    bool keysTold = false;
    TableName target;  // the table rows are written back to, as the engine names it
    std::optional<long> positionBeforeAddNew;
    int openCursor = adOpenUnspecified;
    int openLock = adLockUnspecified;
    long openOptions = adOptionUnspecified;

    long size() const { return static_cast<long>(rows.size()); }
    bool onRow() const { return position >= 0 && position < size(); }
    bool changed(const Row& row) const;
    // The first row not marked deleted from index on, going by step; -1 or size() when none.
    long visibleFrom(long index, int step) const;
    // For the batch journal: the fields' names and the pending rows as UpdateBatch wrote them
    // (inserted holds the new rows' stored values, in the order of pending).
    std::vector<std::string> fieldNames() const;
    std::vector<WrittenRow> written(
        const std::vector<std::size_t>& pending,
        const std::vector<std::pair<std::size_t, std::vector<Variant>>>& inserted) const;
};

// Writes the changed rows of a recordset in one transaction (see Recordset::updateBatch).
class BatchWriter {
  public:
    BatchWriter(Provider& provider, Errors& errors, const ColumnSet& columns,
                const TableName& target, std::vector<std::size_t> keyFields);

    // Each returns nothing but raises on failure; the recordset's rows are not touched, so that
    // nothing pending is lost when the batch is rolled back.
    void update(const Recordset::Row& row);
    void remove(const Recordset::Row& row);
    // Inserts and returns the row as the database now holds it (defaults filled in) when it can
    // be found again.
    std::optional<std::vector<Variant>> insert(const Recordset::Row& row);

  private:
    bool writable(std::size_t field) const;
    const std::string& column(std::size_t field) const;
    // Appends the WHERE that finds the row only as it was read.
    void sameAsRead(std::string& sql, const Recordset::Row& row,
                    std::vector<Variant>& parameters) const;
    void expectOneRow(long affected);

    Provider& provider_;
    Errors& errors_;
    const ColumnSet& columns_;
    TableName target_;
    std::string table_;
    std::vector<std::size_t> keyFields_;
    std::vector<bool> writable_;  // the column is one of the target table's
};

}  // namespace krl::ado

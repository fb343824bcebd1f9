#pragma once

// An ADO-like data layer: connections and client-side recordsets with batch updates, over two
// providers chosen by the connection string:
//   "sqlite:<file>"            the embedded engine; T-SQL goes through krl::sql::translate
//   "odbc:<connection string>" SQL Server through unixODBC (FreeTDS); T-SQL sent as written
//
// Failures raise krl::VbError and fill the connection's Errors collection with the provider's
// errors (cleared at the start of every operation that can fail).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "krl/variant/variant.h"

namespace krl::ado {

inline constexpr int adStateClosed = 0;
inline constexpr int adStateOpen = 1;

inline constexpr int adOpenUnspecified = -1;
inline constexpr int adLockUnspecified = -1;
inline constexpr int adLockReadOnly = 1;
inline constexpr int adLockBatchOptimistic = 4;

inline constexpr long adOptionUnspecified = -1;
inline constexpr long adCmdText = 1;
inline constexpr long adExecuteNoRecords = 128;

inline constexpr int adAffectCurrent = 1;
inline constexpr int adAffectAll = 3;

inline constexpr int adMarshalAll = 0;
inline constexpr int adMarshalModifiedOnly = 1;

// Error numbers the layer raises (the runtime's and the provider's).
inline constexpr long adErrProvider = -2147467259;    // provider error (message from the engine)
inline constexpr long adErrNoCurrentRecord = 3021;    // BOF or EOF is true
inline constexpr long adErrItemNotFound = 3265;       // no field of that name
inline constexpr long adErrNotUpdatable = 3251;       // the recordset is read-only
inline constexpr long adErrProviderNotFound = 3706;   // connection string names no provider
inline constexpr long adErrInvalidConnection = 3709;  // no open connection to work on
inline constexpr long adErrObjectClosed = 3704;       // operation not allowed on a closed object
inline constexpr long adErrObjectOpen = 3705;         // operation not allowed on an open object
inline constexpr long adErrUpdateConflict = -2147217864;  // row changed or deleted by another user

struct Error {
    long number = 0;
    std::string description;
    std::string source;
    std::string sqlState;
    long nativeError = 0;
};

class Errors {
  public:
    std::size_t count() const { return items_.size(); }
    const Error& item(std::size_t index) const { return items_.at(index); }
    const std::vector<Error>& all() const { return items_; }
    void clear() { items_.clear(); }
    void add(Error error) { items_.push_back(std::move(error)); }

  private:
    std::vector<Error> items_;
};

class Recordset;
class Provider;
struct QueryResult;
class Connection;

// A row UpdateBatch is writing, in field order: its values as read (empty for a new row) and as
// now written (empty for a deleted row; a new row's with the defaults the database filled in).
struct WrittenRow {
    std::vector<Variant> before;
    std::vector<Variant> after;
};

// Runs inside UpdateBatch's transaction once every row is written, before the commit, with the
// fields' names and the rows written; it may run statements on the connection. When it raises, the
// whole batch is rolled back and the recordset keeps its pending changes.
using BatchJournal =
    std::function<void(Connection& connection, const std::vector<std::string>& fieldNames,
                       const std::vector<WrittenRow>& rows)>;

class Connection : public krl::Object, public std::enable_shared_from_this<Connection> {
  public:
    static std::shared_ptr<Connection> create();
    ~Connection() override;

    const std::string& connectionString() const { return connectionString_; }
    void setConnectionString(std::string value);  // 3705 when open

    // Opens the connection named by ConnectionString.
    void open(std::string_view user = {}, std::string_view password = {}, long options = -1);
    void close();
    int state() const;

    // Runs a text command. With adExecuteNoRecords in options nothing is returned; otherwise the
    // rows come back as an open, read-only recordset (closed when the statement returns no rows).
    std::shared_ptr<Recordset> execute(std::string_view commandText,
                                       long* recordsAffected = nullptr,
                                       long options = adOptionUnspecified);

    // The identity (or rowid) the connection's last INSERT gave its row; call it in the same
    // transaction, before any other INSERT. Null when the engine has none to tell.
    Variant lastInsertedId();

    // A transaction over the commands run until CommitTrans or RollbackTrans (not nested).
    // RollbackTrans never raises.
    void beginTrans();
    void commitTrans();
    void rollbackTrans();

    Errors& errors() { return errors_; }

    // Layer-internal: the provider behind an open connection.
    Provider& provider();

  private:
    Connection() = default;
    std::string connectionString_;
    std::unique_ptr<Provider> provider_;
    Errors errors_;
};

class Field {
  public:
    const std::string& name() const { return name_; }
    std::size_t index() const { return index_; }  // place among the recordset's fields
    const Variant& value() const;
    void setValue(const Variant& value);              // marks the current row changed
    const Variant& originalValue() const;             // as read (or as last written back)
    int definedSize() const { return definedSize_; }  // declared width of text columns, 0 otherwise

    // Layer-internal construction.
    Field(class Recordset* owner, std::size_t index, std::string name, int definedSize)
        : owner_(owner), index_(index), name_(std::move(name)), definedSize_(definedSize) {}

  private:
    class Recordset* owner_;
    std::size_t index_;
    std::string name_;
    int definedSize_;
};

class Fields {
  public:
    std::size_t count() const { return fields_.size(); }
    Field& item(std::size_t index);
    Field& operator[](std::string_view name);  // case-insensitive; 3265 when missing
    bool contains(std::string_view name) const;
    std::vector<Field>::iterator begin() { return fields_.begin(); }
    std::vector<Field>::iterator end() { return fields_.end(); }

    // Layer-internal.
    void assign(std::vector<Field> fields);

  private:
    std::vector<Field> fields_;
    std::unordered_map<std::string, std::size_t> byName_;  // upper-case name -> position
};

// A client-side static recordset: Open reads every row into memory; changes stay in the recordset
// until UpdateBatch writes them in one transaction. Only changed columns are written, and a row
// changed or deleted by someone else since it was read is a conflict: nothing of that row is
// written, the conflict is reported in the connection's Errors and raised.
class Recordset : public krl::Object {
  public:
    static std::shared_ptr<Recordset> create();
    ~Recordset() override;

    void setActiveConnection(std::shared_ptr<Connection> connection);
    std::shared_ptr<Connection> activeConnection() const { return connection_; }
    void setSource(std::string source);
    const std::string& source() const { return source_; }

    void open(int cursorType = adOpenUnspecified, int lockType = adLockUnspecified,
              long options = adOptionUnspecified);
    void close();
    int state() const;
    void requery();

    long recordCount() const;
    bool bof() const;
    bool eof() const;
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    long absolutePosition() const;  // 1-based; <= 0 when on BOF/EOF

    Fields& fields();
    Field& operator[](std::string_view name) { return fields()[name]; }

    void addNew();         // appends a new row and makes it current
    void cancelUpdate();   // drops a new row not yet written, or the current row's changes
    void deleteCurrent();  // marks the current row deleted (written by UpdateBatch)
    void updateBatch(int affect = adAffectAll);
    void cancelBatch(int affect = adAffectAll);
    bool currentRowChanged() const;  // the current row is new, changed or deleted

    // Told of every value written into a row through its fields, with the column's name: the data
    // frame showing the recordset shows what a rule wrote. One observer; empty to drop it.
    void setWriteObserver(std::function<void(std::string_view column)> observer) {
        writeObserver_ = std::move(observer);
    }

    // Extra work inside every UpdateBatch's transaction (see BatchJournal). Empty to drop it.
    void setBatchJournal(BatchJournal journal) { journal_ = std::move(journal); }

    int marshalOptions() const { return marshalOptions_; }
    void setMarshalOptions(int value) { marshalOptions_ = value; }

    // The table the rows are written back to and its key columns. Found from the source (the
    // table of a single-table SELECT) and the table's primary key; a recordset over a table
    // without one is told its key.
    void setKeyColumns(std::vector<std::string> columns);
    const std::vector<std::string>& keyColumns() const { return keyColumns_; }
    const std::string& baseTable() const { return baseTable_; }

    // For whoever keeps a copy of the rows: a stamp that changes with every change to them, and
    // the rows (by their index among the rows not marked deleted) whose values were assigned or
    // dropped since an earlier stamp. Nullopt when rows came or went or were read again since,
    // or while rows are marked deleted: read them all then.
    std::uint64_t changeStamp() const { return stamp_; }
    std::optional<std::vector<long>> rowsChangedSince(std::uint64_t stamp) const;
    // A field's value in the row at `index` among the rows not marked deleted.
    const Variant& valueInRow(long index, std::size_t field) const;

    // Layer-internal: opens the recordset, read-only, on rows already read (Connection::Execute).
    void openResult(std::shared_ptr<Connection> connection, std::string source,
                    QueryResult&& result);

    // Layer-internal row store.
    struct Row;
    const Variant& valueAt(std::size_t field) const;
    const Variant& originalAt(std::size_t field) const;
    void setValueAt(std::size_t field, const Variant& value);

  private:
    Recordset() = default;
    class Impl;
    friend class Impl;
    void reshaped();                   // rows came, went or were read again
    void rowChanged(std::size_t row);  // a row's values were assigned or dropped
    std::uint64_t stamp_ = 0;
    std::uint64_t reshapedAt_ = 0;
    std::vector<std::pair<std::uint64_t, std::size_t>> changedRows_;  // since reshapedAt_
    std::shared_ptr<Connection> connection_;
    std::string source_;
    std::string baseTable_;
    std::vector<std::string> keyColumns_;
    int marshalOptions_ = adMarshalAll;
    std::function<void(std::string_view column)> writeObserver_;
    BatchJournal journal_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace krl::ado

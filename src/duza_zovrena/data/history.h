#pragma once

// The change history of the parameters (PD97_STORICO, PD98_STORICORIGHE): every save of a general
// row, of a document row and of a document's transfer settings writes one change set (company,
// table, document code, user, UTC time) with a line per changed column, in the transaction of the
// save, so that a save rolled back leaves no history behind.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "krl/variant/variant.h"

namespace krl::ado {
class Connection;
}

namespace duza_zovrena::data {

// One changed column; values as text, nullopt for NULL.
struct ColumnChange {
    std::string column;
    std::optional<std::string> before;
    std::optional<std::string> after;
    bool operator==(const ColumnChange&) const = default;
};

struct ChangeSet {
    std::int32_t company = 0;
    std::string table;                        // PD42_ZOVRENA, PD88_ZOVRENADOC, PD49_PARDOCPROD
    std::optional<std::string> documentCode;  // none for the general row
    std::string user;
    std::string time;  // UTC "YYYY-MM-DDTHH:MM:SS"; empty: now
    std::vector<ColumnChange> columns;
};

// Writes one change set and its lines through the connection, inside the transaction the caller
// has open. Returns the id the database gave the change set, or 0 when no column changed (nothing
// is written then). A failing statement raises krl::VbError; the caller rolls back.
std::int64_t recordChangeSet(krl::ado::Connection& connection, const ChangeSet& changes);

// A value as the history keeps it: NULL and Empty give nullopt, text loses its trailing blanks,
// numbers are written as the runtime writes them ('.' as decimal separator).
std::optional<std::string> historyText(const krl::Variant& value);

// The columns whose values differ between two versions of a row, in field order. An empty before
// (a new row) or after (a deleted row) reads as NULL in every column. Columns named in skip (the
// keys) are left out.
std::vector<ColumnChange> changedColumns(std::span<const std::string> names,
                                         std::span<const krl::Variant> before,
                                         std::span<const krl::Variant> after,
                                         std::span<const std::string_view> skip = {});

// The current UTC time as the history writes it.
std::string utcNow();

// The record whose history is read: a company's general row (no document code), one of its
// document rows, or, for the transfer settings, every document (allDocuments).
struct HistoryRecord {
    std::int32_t company = 0;
    std::string table;
    std::optional<std::string> documentCode;
    bool allDocuments = false;
};

struct HistoryEntry {
    std::int64_t id = 0;
    std::optional<std::string> documentCode;
    std::string user;
    std::string time;
    std::vector<ColumnChange> columns;
};

// The ids of the record's change sets, newest first (the index holds them in that order).
std::vector<std::int64_t> changeSetIds(krl::ado::Connection& connection,
                                       const HistoryRecord& record);

// The change sets of those ids with their lines, in the order of ids.
std::vector<HistoryEntry> changeSets(krl::ado::Connection& connection,
                                     std::span<const std::int64_t> ids);

// The record's change sets recorded after the UTC time (same format, or a prefix of it), newest
// first, with their lines.
std::vector<HistoryEntry> changesAfter(krl::ado::Connection& connection,
                                       const HistoryRecord& record, std::string_view utcTime);

}  // namespace duza_zovrena::data

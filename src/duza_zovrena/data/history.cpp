#include "duza_zovrena/data/history.h"

#include <algorithm>
#include <ctime>

#include "krl/ado/ado.h"
#include "krl/variant/error.h"
#include "krl/variant/text.h"

namespace duza_zovrena::data {

namespace {

namespace ado = krl::ado;

// Lines go in multi-row INSERTs of at most this many rows (SQL Server takes 1000).
constexpr std::size_t kLinesPerInsert = 500;

std::string literal(const std::optional<std::string>& text) {
    return text ? "'" + krl::doubleQuotes(*text) + "'" : std::string("NULL");
}

std::string recordCondition(const HistoryRecord& record) {
    std::string sql = "PD97_DITTA_CG18 = " + std::to_string(record.company) +
                      " AND PD97_TABELLA = " + literal(record.table);
    if (!record.allDocuments) {
        sql += record.documentCode ? " AND PD97_CODDOC_MG36 = " + literal(record.documentCode)
                                   : std::string(" AND PD97_CODDOC_MG36 IS NULL");
    }
    return sql;
}

std::vector<HistoryEntry> readEntries(ado::Connection& connection, const std::string& where) {
    auto rows = connection.execute(
        "SELECT PD97_ID, PD97_CODDOC_MG36, PD97_UTENTE_UT00, PD97_DATAORA, PD98_COLONNA, "
        "PD98_VALOREPREC, PD98_VALORENUOVO "
        "FROM PD97_STORICO WITH (NOLOCK) "
        "LEFT JOIN PD98_STORICORIGHE WITH (NOLOCK) ON PD98_ID_PD97 = PD97_ID "
        "WHERE " +
        where + " ORDER BY PD97_ID DESC, PD98_COLONNA");
    std::vector<HistoryEntry> entries;
    if (rows->state() != ado::adStateOpen) {
        return entries;
    }
    auto& fields = rows->fields();
    for (; !rows->eof(); rows->moveNext()) {
        const std::int64_t id = fields["PD97_ID"].value().toInt64();
        if (entries.empty() || entries.back().id != id) {
            HistoryEntry entry;
            entry.id = id;
            entry.documentCode = historyText(fields["PD97_CODDOC_MG36"].value());
            entry.user = fields["PD97_UTENTE_UT00"].value().textOrEmpty();
            entry.time = fields["PD97_DATAORA"].value().textOrEmpty();
            entries.push_back(std::move(entry));
        }
        const krl::Variant& column = fields["PD98_COLONNA"].value();
        if (!column.isNull()) {
            entries.back().columns.push_back({column.toText(),
                                              historyText(fields["PD98_VALOREPREC"].value()),
                                              historyText(fields["PD98_VALORENUOVO"].value())});
        }
    }
    rows->close();
    return entries;
}

}  // namespace

std::optional<std::string> historyText(const krl::Variant& value) {
    switch (value.type()) {
        case krl::Variant::Type::Empty:
        case krl::Variant::Type::Null:
            return std::nullopt;
        case krl::Variant::Type::Boolean:
        case krl::Variant::Type::Integer:
        case krl::Variant::Type::Long:
        case krl::Variant::Type::LongLong:
            return std::to_string(value.toInt64());
        case krl::Variant::Type::Double:
            return krl::numberText(value.toDouble());
        default:
            return krl::rtrim(value.toText());
    }
}

std::vector<ColumnChange> changedColumns(std::span<const std::string> names,
                                         std::span<const krl::Variant> before,
                                         std::span<const krl::Variant> after,
                                         std::span<const std::string_view> skip) {
    std::vector<ColumnChange> changes;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (std::any_of(skip.begin(), skip.end(),
                        [&](std::string_view key) { return krl::sameText(key, names[i]); })) {
            continue;
        }
        auto old = i < before.size() ? historyText(before[i]) : std::nullopt;
        auto now = i < after.size() ? historyText(after[i]) : std::nullopt;
        if (old != now) {
            changes.push_back({names[i], std::move(old), std::move(now)});
        }
    }
    return changes;
}

std::string utcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    return text;
}

std::int64_t recordChangeSet(ado::Connection& connection, const ChangeSet& changes) {
    if (changes.columns.empty()) {
        return 0;
    }
    connection.execute(
        "INSERT INTO PD97_STORICO (PD97_DITTA_CG18, PD97_TABELLA, PD97_CODDOC_MG36, "
        "PD97_UTENTE_UT00, PD97_DATAORA) VALUES (" +
            std::to_string(changes.company) + ", " + literal(changes.table) + ", " +
            literal(changes.documentCode) + ", " + literal(changes.user) + ", " +
            literal(changes.time.empty() ? utcNow() : changes.time) + ")",
        nullptr, ado::adExecuteNoRecords);
    const krl::Variant id = connection.lastInsertedId();
    if (id.isNull() || id.isEmpty()) {
        krl::err::raise(ado::adErrProvider,
                        "Storico: la base dati non ha restituito l'id della modifica.");
    }
    const std::int64_t changeSet = id.toInt64();
    const std::string head =
        "INSERT INTO PD98_STORICORIGHE (PD98_ID_PD97, PD98_COLONNA, PD98_VALOREPREC, "
        "PD98_VALORENUOVO) VALUES ";
    for (std::size_t from = 0; from < changes.columns.size(); from += kLinesPerInsert) {
        std::string sql = head;
        const std::size_t to = std::min(changes.columns.size(), from + kLinesPerInsert);
        for (std::size_t i = from; i < to; ++i) {
            const ColumnChange& line = changes.columns[i];
            sql += i == from ? "(" : ", (";
            sql += std::to_string(changeSet) + ", " + literal(line.column) + ", " +
                   literal(line.before) + ", " + literal(line.after) + ")";
        }
        connection.execute(sql, nullptr, ado::adExecuteNoRecords);
    }
    return changeSet;
}

std::vector<std::int64_t> changeSetIds(ado::Connection& connection, const HistoryRecord& record) {
    auto rows = connection.execute("SELECT PD97_ID FROM PD97_STORICO WITH (NOLOCK) WHERE " +
                                   recordCondition(record) + " ORDER BY PD97_ID DESC");
    std::vector<std::int64_t> ids;
    if (rows->state() != ado::adStateOpen) {
        return ids;
    }
    ids.reserve(static_cast<std::size_t>(std::max(0L, rows->recordCount())));
    auto& id = rows->fields()["PD97_ID"];
    for (; !rows->eof(); rows->moveNext()) {
        ids.push_back(id.value().toInt64());
    }
    rows->close();
    return ids;
}

std::vector<HistoryEntry> changeSets(ado::Connection& connection,
                                     std::span<const std::int64_t> ids) {
    if (ids.empty()) {
        return {};
    }
    std::string list;
    for (std::int64_t id : ids) {
        list += list.empty() ? "" : ", ";
        list += std::to_string(id);
    }
    std::vector<HistoryEntry> entries = readEntries(connection, "PD97_ID IN (" + list + ")");
    // Back in the order asked for.
    std::vector<HistoryEntry> ordered;
    ordered.reserve(entries.size());
    for (std::int64_t id : ids) {
        auto found = std::find_if(entries.begin(), entries.end(),
                                  [&](const HistoryEntry& entry) { return entry.id == id; });
        if (found != entries.end()) {
            ordered.push_back(std::move(*found));
        }
    }
    return ordered;
}

std::vector<HistoryEntry> changesAfter(ado::Connection& connection, const HistoryRecord& record,
                                       std::string_view utcTime) {
    return readEntries(connection, recordCondition(record) + " AND PD97_DATAORA > " +
                                       literal(std::string(utcTime)));
}

}  // namespace duza_zovrena::data

#include "duza_zovrena/params/param_import.h"

#include <map>

#include "duza_zovrena/data/history.h"
#include "duza_zovrena/params/code_checks.h"
#include "duza_zovrena/params/health_check.h"
#include "duza_zovrena/params/row_rules.h"

namespace duza_zovrena::params {

namespace {

// The column changes from one row to another (either may be missing).
std::vector<ColumnChange> changesOf(const Values* before, const Values* after) {
    std::map<std::string, std::pair<krl::Variant, krl::Variant>> columns;
    if (before != nullptr) {
        for (const auto& [column, value] : *before) {
            columns[column].first = value;
        }
    }
    if (after != nullptr) {
        for (const auto& [column, value] : *after) {
            columns[column].second = value;
        }
    }
    std::vector<ColumnChange> changes;
    for (auto& [column, values] : columns) {
        krl::Variant a = values.first.isEmpty() ? krl::Variant::null() : values.first;
        krl::Variant b = values.second.isEmpty() ? krl::Variant::null() : values.second;
        if (!a.identical(b)) {
            changes.push_back({column, std::move(a), std::move(b)});
        }
    }
    return changes;
}

Values transferValues(const TransferRow& row) {
    return {{std::string(kTransferHead), row.head}, {std::string(kTransferBody), row.body}};
}

// The statements that take one row from `before` to `after` and what they change.
class Writer {
  public:
    Writer(long company, const CompanyCodes& codes)
        : company_(std::to_string(company)), codes_(codes) {}

    void row(std::string_view table, std::string_view companyColumn, std::string_view codeColumn,
             const std::string& code, const Values* before, const Values* after) {
        std::vector<ColumnChange> changes = changesOf(before, after);
        if (changes.empty() && (before == nullptr) == (after == nullptr)) {
            return;
        }
        std::string where = " WHERE " + std::string(companyColumn) + " = " + company_;
        if (!codeColumn.empty()) {
            where += " AND " + std::string(codeColumn) + " = " + sqlLiteral(krl::Variant(code));
        }
        if (after == nullptr) {
            statements_.push_back("DELETE FROM " + std::string(table) + where);
        } else if (before == nullptr) {
            std::string columns = std::string(companyColumn);
            std::string values = company_;
            if (!codeColumn.empty()) {
                columns += ", " + std::string(codeColumn);
                values += ", " + sqlLiteral(krl::Variant(code));
            }
            for (const auto& [column, value] : *after) {
                columns += ", " + column;
                values += ", " + stored(column, value);
            }
            statements_.push_back("INSERT INTO " + std::string(table) + " (" + columns +
                                  ") VALUES (" + values + ")");
        } else {
            std::string assignments;
            for (const ColumnChange& change : changes) {
                assignments += (assignments.empty() ? "" : ", ") + change.column + " = " +
                               stored(change.column, change.after);
            }
            statements_.push_back("UPDATE " + std::string(table) + " SET " + assignments + where);
        }
        changeSets_.push_back({std::string(table), code, std::move(changes)});
    }

    const std::vector<std::string>& statements() const { return statements_; }
    std::vector<ChangeSet>& changeSets() { return changeSets_; }

    // The change sets in the parameters' history with the values as stored, as a save in the
    // window records them.
    void recordHistory(krl::ado::Connection& connection, long company, const std::string& user,
                       const std::vector<ChangeSet>& changes) const {
        for (const ChangeSet& change : changes) {
            std::optional<std::string> document;
            if (!change.documentCode.empty()) {
                document.emplace(change.documentCode);
            }
            data::ChangeSet recorded{static_cast<std::int32_t>(company),
                                     change.table,
                                     std::move(document),
                                     user,
                                     {},
                                     {}};
            for (const ColumnChange& column : change.changes) {
                recorded.columns.push_back(
                    {column.column, data::historyText(storedValue(column.column, column.before)),
                     data::historyText(storedValue(column.column, column.after))});
            }
            data::recordChangeSet(connection, recorded);
        }
    }

  private:
    // The value stored: a priority table's id for its code.
    krl::Variant storedValue(const std::string& column, const krl::Variant& value) const {
        const data::ColumnDef* def = data::findGeneralColumn(column);
        if (def != nullptr && def->kind == data::ColumnKind::PriorityTableId && value.isString()) {
            return krl::Variant(
                static_cast<std::int64_t>(codes_.priorityTables.at(value.textOrEmpty())));
        }
        return value;
    }

    std::string stored(const std::string& column, const krl::Variant& value) const {
        return sqlLiteral(storedValue(column, value));
    }

    std::string company_;
    const CompanyCodes& codes_;
    std::vector<std::string> statements_;
    std::vector<ChangeSet> changeSets_;
};

template <typename Row, typename ToValues>
void writeByCode(Writer& writer, std::string_view table, std::string_view companyColumn,
                 std::string_view codeColumn, const std::vector<Row>& before,
                 const std::vector<Row>& after, ToValues toValues) {
    std::map<std::string, std::pair<std::optional<Values>, std::optional<Values>>> rows;
    for (const Row& row : before) {
        rows[row.code].first = toValues(row);
    }
    for (const Row& row : after) {
        rows[row.code].second = toValues(row);
    }
    for (const auto& [code, pair] : rows) {
        writer.row(table, companyColumn, codeColumn, code, pair.first ? &*pair.first : nullptr,
                   pair.second ? &*pair.second : nullptr);
    }
}

// The set as the save rules leave it, or the refusals.
ParamSet throughRules(const std::shared_ptr<krl::ado::Connection>& connection, long company,
                      const ParamSet& set, const ParamSet& current, const CompanyCodes& codes,
                      std::vector<std::string>& refusals) {
    ParamSet saved = set;
    RowRules rules(connection, company, readCompanyOptions(*connection, company));
    if (set.general) {
        rules.setGeneral(*set.general);
        if (auto refusal = rules.saveGeneral()) {
            refusals.push_back("Riga generale: " + oneLine(*refusal));
        }
        saved.general = rules.general();
    }
    // The document rules read the general row the import leaves.
    const Values noGeneral;
    rules.setGeneral(saved.general     ? *saved.general
                     : current.general ? *current.general
                                       : noGeneral);
    for (DocumentRow& row : saved.documents) {
        auto kind = codes.documents.find(row.code);
        if (kind == codes.documents.end()) {
            continue;  // refused by the code checks
        }
        rules.setDocument(row.code, row.values, kind->second);
        if (auto refusal = rules.saveDocument()) {
            refusals.push_back("Documento " + row.code + ": " + oneLine(*refusal));
        }
        row.values = rules.document();
    }
    return saved;
}

}  // namespace

ImportResult importSet(const std::shared_ptr<krl::ado::Connection>& connection, long company,
                       const ParamSet& set, const ImportOptions& options) {
    ImportResult result;
    const CompanyCodes codes = CompanyCodes::read(*connection, company);
    for (const Problem& problem : codeProblems(set, codes, company)) {
        result.refusals.push_back(problemLine(problem));
    }
    for (const Problem& problem : transferValueProblems(set, company)) {
        result.refusals.push_back(problemLine(problem));
    }
    const ParamSet current = readParamSet(*connection, company);
    const ParamSet saved = throughRules(connection, company, set, current, codes, result.refusals);
    if (!result.refusals.empty()) {
        return result;
    }

    Writer writer(company, codes);
    if (saved.general) {
        writer.row(data::tableName(data::Record::General), "PD42_DITTA_CG18", {}, {},
                   current.general ? &*current.general : nullptr, &*saved.general);
    }
    writeByCode(writer, data::tableName(data::Record::Document), "PD88_DITTA_CG18",
                "PD88_CODDOC_MG36", current.documents, saved.documents,
                [](const DocumentRow& row) { return row.values; });
    writeByCode(writer, kTransferTable, "PD49_DITTA_CG18", kTransferCode, current.transfers,
                saved.transfers, transferValues);
    result.changes = std::move(writer.changeSets());
    if (options.dryRun || writer.statements().empty()) {
        return result;
    }
    connection->beginTrans();
    try {
        for (const std::string& statement : writer.statements()) {
            connection->execute(statement, nullptr, krl::ado::adExecuteNoRecords);
        }
        writer.recordHistory(*connection, company, options.user, result.changes);
        if (options.changesWritten) {
            options.changesWritten(*connection, company, options.user, result.changes);
        }
        connection->commitTrans();
    } catch (...) {
        connection->rollbackTrans();
        throw;
    }
    result.written = true;
    return result;
}

}  // namespace duza_zovrena::params

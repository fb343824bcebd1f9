// The embedded engine: a database file (or ":memory:") through the SQLite C API. The program's
// T-SQL is translated (and the translation cached) per connection; the statements the layer
// writes itself are already in the engine's dialect. Prepared statements are kept per text.

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

#include "krl/ado/failure.h"
#include "krl/ado/provider.h"
#include "krl/sql/translator.h"
#include "krl/variant/text.h"

namespace krl::ado {

namespace {

// What the person is told about the engine's most common refusals; the engine's own text follows
// in brackets for whoever reads the error log.
std::string engineDescription(int extendedCode, const std::string& engineMessage) {
    auto detail = [&] {
        std::size_t colon = engineMessage.find(": ");
        return colon == std::string::npos ? std::string() : engineMessage.substr(colon + 2);
    };
    std::string text;
    switch (extendedCode) {
        case SQLITE_CONSTRAINT_NOTNULL:
            text = "Un campo obbligatorio non è valorizzato (" + detail() + ").";
            break;
        case SQLITE_CONSTRAINT_PRIMARYKEY:
        case SQLITE_CONSTRAINT_UNIQUE:
            text = "Esiste già un record con la stessa chiave (" + detail() + ").";
            break;
        case SQLITE_CONSTRAINT_FOREIGNKEY:
            text = "Il record fa riferimento a dati che non esistono.";
            break;
        case SQLITE_CONSTRAINT_CHECK:
            text = "Un valore non è ammesso dalla base dati.";
            break;
        default:
            switch (extendedCode & 0xFF) {
                case SQLITE_BUSY:
                case SQLITE_LOCKED:
                    text = "La base dati è occupata da un'altra operazione: riprovare tra poco.";
                    break;
                case SQLITE_READONLY:
                    text = "La base dati è in sola lettura.";
                    break;
                default:
                    return engineMessage;
            }
    }
    return text + " [" + engineMessage + "]";
}

constexpr int kBusyTimeoutMs = 2000;            // a locked file is an error, not a hang
constexpr std::size_t kMaxPreparedTexts = 256;  // statements kept prepared before starting over

std::string upperKeyword(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() &&
           (std::isspace(static_cast<unsigned char>(text[i])) || text[i] == ';')) {
        ++i;
    }
    std::string word;
    while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i]))) {
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        ++i;
    }
    return word;
}

bool changesSchema(std::string_view statement) {
    const std::string word = upperKeyword(statement);
    return word == "CREATE" || word == "DROP" || word == "ALTER";
}

// The name of the table a "CREATE TEMP TABLE "name" AS ..." statement makes (the translation of
// SELECT ... INTO #name), or nothing for any other statement.
std::optional<std::string> tempTableFromQuery(std::string_view statement) {
    constexpr std::string_view kPrefix = "CREATE TEMP TABLE \"";
    if (!statement.starts_with(kPrefix)) {
        return std::nullopt;
    }
    std::string name;
    std::size_t i = kPrefix.size();
    for (; i < statement.size(); ++i) {
        if (statement[i] == '"') {
            if (i + 1 < statement.size() && statement[i + 1] == '"') {
                name += '"';
                ++i;
                continue;
            }
            break;
        }
        name += statement[i];
    }
    if (!statement.substr(i).starts_with("\" AS ")) {
        return std::nullopt;
    }
    return name;
}

bool textAffinity(const std::string& declaredType) {
    const std::string type = krl::lowerAscii(declaredType);
    return type.find("int") == std::string::npos &&
           (type.find("char") != std::string::npos || type.find("clob") != std::string::npos ||
            type.find("text") != std::string::npos);
}

const char* orEmpty(const char* text) {
    return text == nullptr ? "" : text;
}

class SqliteProvider final : public Provider {
  public:
    SqliteProvider(sqlite3* db, Errors& errors) : Provider(errors), db_(db) {}

    ~SqliteProvider() override {
        forgetStatements();
        sqlite3_close_v2(db_);
    }

    std::string engineText(std::string_view programText) override {
        try {
            return translations_.translate(programText);
        } catch (const sql::TranslateError& e) {
            fail({{adErrProvider, e.what(), "krl::sql", {}, 0}});
        }
    }

    QueryResult run(std::string_view sql, std::span<const Variant> parameters,
                    bool wantRows) override {
        if (prepared_.size() > kMaxPreparedTexts) {
            forgetStatements();
        }
        QueryResult result;
        texts_.clear();
        texts_.reserve(parameters.size());  // no reallocation: bound texts must not move
        std::size_t nextParameter = 0;
        std::string_view rest = sql;
        while (!rest.empty()) {
            Prepared& statement = prepare(rest);
            if (statement.stmt == nullptr) {  // only blanks or comments left
                break;
            }
            nextParameter += bind(statement.stmt, parameters.subspan(nextParameter));
            execute(statement, wantRows, result);
            if (statement.ddl) {
                primaryKeys_.clear();
                if (auto table = tempTableFromQuery(rest.substr(0, statement.consumed))) {
                    compareTextsLikeTheSchema(*table);
                }
            }
            rest.remove_prefix(statement.consumed);
        }
        return result;
    }

    void beginTransaction() override { run("SAVEPOINT krl_batch", {}, false); }
    void commit() override { run("RELEASE krl_batch", {}, false); }
    void rollback() override {
        sqlite3_exec(db_, "ROLLBACK TO krl_batch", nullptr, nullptr, nullptr);
        sqlite3_exec(db_, "RELEASE krl_batch", nullptr, nullptr, nullptr);
    }

    std::vector<std::string> primaryKey(const TableName& table) override {
        const std::string cacheKey = table.schema + '.' + table.table;
        auto cached = primaryKeys_.find(cacheKey);
        if (cached != primaryKeys_.end()) {
            return cached->second;
        }
        std::string pragma = "PRAGMA ";
        if (!table.schema.empty()) {
            pragma += quoteIdentifier(table.schema) + '.';
        }
        pragma += "table_info(" + quoteIdentifier(table.table) + ")";
        QueryResult info = run(pragma, {}, true);
        std::vector<std::pair<long long, std::string>> keyed;
        auto nameColumn = info.columns ? info.columns->find("name") : std::nullopt;
        auto pkColumn = info.columns ? info.columns->find("pk") : std::nullopt;
        if (nameColumn && pkColumn) {
            for (const auto& row : info.rows) {
                long long position = row[*pkColumn].isNumeric() ? row[*pkColumn].toInt64() : 0;
                if (position > 0) {
                    keyed.emplace_back(position, row[*nameColumn].textOrEmpty());
                }
            }
        }
        std::sort(keyed.begin(), keyed.end());
        std::vector<std::string> key;
        key.reserve(keyed.size());
        for (auto& [position, name] : keyed) {
            key.push_back(std::move(name));
        }
        primaryKeys_.emplace(cacheKey, key);
        return key;
    }

    std::string quoteIdentifier(std::string_view name) const override {
        std::string out = "\"";
        for (char c : name) {
            out += c;
            if (c == '"') {
                out += '"';
            }
        }
        return out + '"';
    }

    std::string quoteTable(const TableName& table) const override {
        if (table.schema.empty()) {
            return quoteIdentifier(table.table);
        }
        return quoteIdentifier(table.schema) + '.' + quoteIdentifier(table.table);
    }

    void sameAsOriginal(std::string& sql, const std::string& quotedColumn, const Variant& original,
                        std::vector<Variant>& parameters) const override {
        parameters.push_back(original);
        sql += quotedColumn;
        sql += " IS ?";
    }

    std::string lastInsertedRowCondition() const override { return "rowid = last_insert_rowid()"; }
    std::string lastIdentityQuery() const override { return "SELECT last_insert_rowid()"; }

  private:
    // A table made from a query gets the engine's byte-by-byte comparison on every column; its
    // text columns are given the schema's RTRIM collation again, so that codes compare the same
    // in the temporary table as in the tables it was made from.
    void compareTextsLikeTheSchema(const std::string& table) {
        const std::string pragma = "PRAGMA temp.table_info(" + quoteIdentifier(table) + ")";
        sqlite3_stmt* info = nullptr;
        if (const int code = sqlite3_prepare_v2(db_, pragma.c_str(), -1, &info, nullptr);
            code != SQLITE_OK) {
            failWithEngineError();
        }
        std::string columns;
        bool text = false;
        while (sqlite3_step(info) == SQLITE_ROW) {  // cid, name, type, ...
            const std::string name =
                orEmpty(reinterpret_cast<const char*>(sqlite3_column_text(info, 1)));
            const std::string type =
                orEmpty(reinterpret_cast<const char*>(sqlite3_column_text(info, 2)));
            columns += columns.empty() ? "" : ", ";
            columns += quoteIdentifier(name) + " " + type;
            if (textAffinity(type)) {
                columns += " COLLATE RTRIM";
                text = true;
            }
        }
        sqlite3_finalize(info);
        if (!text) {
            return;
        }
        const std::string source = "temp." + quoteIdentifier(table);
        const std::string rebuilt = quoteIdentifier(table + "~rtrim");
        // All or nothing: a failure leaves the table as the query made it.
        const std::string script = "SAVEPOINT krl_rtrim;CREATE TEMP TABLE " + rebuilt + " (" +
                                   columns + ");" + "INSERT INTO temp." + rebuilt +
                                   " SELECT * FROM " + source + ";" + "DROP TABLE " + source + ";" +
                                   "ALTER TABLE temp." + rebuilt + " RENAME TO " +
                                   quoteIdentifier(table) + ";RELEASE krl_rtrim;";
        if (const int code = sqlite3_exec(db_, script.c_str(), nullptr, nullptr, nullptr);
            code != SQLITE_OK) {
            const int extended = sqlite3_extended_errcode(db_);
            const std::string message = engineDescription(extended, sqlite3_errmsg(db_));
            sqlite3_exec(db_, "ROLLBACK TO krl_rtrim; RELEASE krl_rtrim", nullptr, nullptr,
                         nullptr);
            fail({{adErrProvider, message, kSqliteSource, {}, static_cast<long>(code)}});
        }
    }

    struct Prepared {
        sqlite3_stmt* stmt = nullptr;
        std::size_t consumed = 0;  // characters of the text this statement took
        bool ddl = false;
        int reprepared = 0;  // the engine's count of re-preparations when columns were read
        ColumnSetPtr columns;
    };

    [[noreturn]] void failWithEngineError() {
        fail({{adErrProvider,
               engineDescription(sqlite3_extended_errcode(db_), sqlite3_errmsg(db_)),
               kSqliteSource,
               {},
               static_cast<long>(sqlite3_extended_errcode(db_))}});
    }

    void forgetStatements() {
        for (auto& [text, statement] : prepared_) {
            sqlite3_finalize(statement.stmt);
        }
        prepared_.clear();
    }

    Prepared& prepare(std::string_view text) {
        auto found = prepared_.find(text);
        if (found != prepared_.end()) {
            return found->second;
        }
        Prepared statement;
        const char* tail = nullptr;
        int code = sqlite3_prepare_v2(db_, text.data(), static_cast<int>(text.size()),
                                      &statement.stmt, &tail);
        if (code != SQLITE_OK) {
            failWithEngineError();
        }
        statement.consumed =
            tail == nullptr ? text.size() : static_cast<std::size_t>(tail - text.data());
        statement.ddl = changesSchema(text.substr(0, statement.consumed));
        return prepared_.emplace(std::string(text), statement).first->second;
    }

    std::size_t bind(sqlite3_stmt* stmt, std::span<const Variant> parameters) {
        const int count = sqlite3_bind_parameter_count(stmt);
        if (static_cast<std::size_t>(count) > parameters.size()) {
            sqlite3_reset(stmt);
            fail({{adErrProvider, "Parametri insufficienti per l'istruzione.", kSource, {}, 0}});
        }
        for (int i = 0; i < count; ++i) {
            const Variant& value = parameters[static_cast<std::size_t>(i)];
            int code = SQLITE_OK;
            switch (value.type()) {
                case Variant::Type::Empty:
                case Variant::Type::Null:
                    code = sqlite3_bind_null(stmt, i + 1);
                    break;
                case Variant::Type::Boolean:
                    code = sqlite3_bind_int(stmt, i + 1, value.toBool() ? 1 : 0);
                    break;
                case Variant::Type::Integer:
                case Variant::Type::Long:
                case Variant::Type::LongLong:
                    code = sqlite3_bind_int64(stmt, i + 1, value.toInt64());
                    break;
                case Variant::Type::Double:
                    code = sqlite3_bind_double(stmt, i + 1, value.toDouble());
                    break;
                case Variant::Type::String: {
                    // Kept until the run ends, so SQLite need not copy it again.
                    const std::string& text = texts_.emplace_back(value.toText());
                    code = sqlite3_bind_text(stmt, i + 1, text.data(),
                                             static_cast<int>(text.size()), SQLITE_STATIC);
                    break;
                }
                case Variant::Type::Array:
                case Variant::Type::Object:
                    sqlite3_reset(stmt);
                    err::typeMismatch();
            }
            if (code != SQLITE_OK) {
                failWithEngineError();
            }
        }
        return static_cast<std::size_t>(count);
    }

    void execute(Prepared& statement, bool wantRows, QueryResult& result) {
        sqlite3_stmt* stmt = statement.stmt;
        const auto changesBefore = sqlite3_total_changes64(db_);
        int code = sqlite3_step(stmt);
        const int columnCount = sqlite3_column_count(stmt);
        const bool collect = wantRows && columnCount > 0 && result.columns == nullptr;
        if (collect && (code == SQLITE_ROW || code == SQLITE_DONE)) {
            result.columns = columnsOf(statement);
        }
        while (code == SQLITE_ROW) {
            if (collect) {
                result.rows.push_back(readRow(stmt, *result.columns));
            }
            code = sqlite3_step(stmt);
        }
        if (code != SQLITE_DONE) {
            const int extended = sqlite3_extended_errcode(db_);
            std::string message = engineDescription(extended, sqlite3_errmsg(db_));
            sqlite3_reset(stmt);
            fail({{adErrProvider,
                   std::move(message),
                   kSqliteSource,
                   {},
                   static_cast<long>(extended)}});
        }
        sqlite3_reset(stmt);
        if (columnCount == 0) {
            // Rows changed by triggers are not this statement's.
            const bool changedRows = sqlite3_total_changes64(db_) != changesBefore;
            const auto changed = changedRows ? sqlite3_changes64(db_) : 0;
            result.recordsAffected =
                std::max(result.recordsAffected, 0L) + static_cast<long>(changed);
        }
    }

    // The description of the statement's columns, kept with the statement until the engine
    // prepares it again (a table created anew may have other columns).
    ColumnSetPtr columnsOf(Prepared& statement) {
        sqlite3_stmt* stmt = statement.stmt;
        const int reprepared = sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_REPREPARE, 0);
        if (statement.columns && statement.reprepared == reprepared) {
            return statement.columns;
        }
        const int count = sqlite3_column_count(stmt);
        auto set = std::make_shared<ColumnSet>();
        set->columns.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            ColumnInfo column;
            column.name = orEmpty(sqlite3_column_name(stmt, i));
            const char* declared = sqlite3_column_decltype(stmt, i);
            column.kind = kindOfDeclaredType(orEmpty(declared));
            column.definedSize = definedSizeOf(orEmpty(declared));
            column.baseSchema = orEmpty(sqlite3_column_database_name(stmt, i));
            column.baseTable = orEmpty(sqlite3_column_table_name(stmt, i));
            column.baseColumn = orEmpty(sqlite3_column_origin_name(stmt, i));
            set->columns.push_back(std::move(column));
        }
        set->index();
        statement.columns = set;
        statement.reprepared = reprepared;
        return set;
    }

    static std::vector<Variant> readRow(sqlite3_stmt* stmt, const ColumnSet& set) {
        const std::size_t count = set.columns.size();
        std::vector<Variant> row;
        row.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            row.push_back(readValue(stmt, static_cast<int>(i), set.columns[i].kind));
        }
        return row;
    }

    static Variant readValue(sqlite3_stmt* stmt, int i, ValueKind kind) {
        switch (sqlite3_column_type(stmt, i)) {
            case SQLITE_NULL:
                return Variant::null();
            case SQLITE_INTEGER: {
                const auto value = sqlite3_column_int64(stmt, i);
                if (kind == ValueKind::String) {
                    return std::to_string(value);
                }
                return integerValue(kind, value);
            }
            case SQLITE_FLOAT: {
                const double value = sqlite3_column_double(stmt, i);
                if (kind == ValueKind::String) {
                    return numberText(value);
                }
                return value;
            }
            default: {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
                const int size = sqlite3_column_bytes(stmt, i);
                return std::string(text == nullptr ? "" : text, static_cast<std::size_t>(size));
            }
        }
    }

    sqlite3* db_;
    sql::TranslationCache translations_;
    std::vector<std::string> texts_;  // text parameters of the statement being run
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    std::unordered_map<std::string, Prepared, TextHash, std::equal_to<>> prepared_;
    std::unordered_map<std::string, std::vector<std::string>> primaryKeys_;
};

}  // namespace

std::unique_ptr<Provider> openSqliteProvider(std::string_view file, Errors& errors) {
    sqlite3* db = nullptr;
    const std::string path(file);
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI;
    int code = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    if (code != SQLITE_OK) {
        std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
        sqlite3_close_v2(db);
        raiseErrors(
            &errors,
            {{adErrProvider, message + ": " + path, kSqliteSource, {}, static_cast<long>(code)}});
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // Constraints hold as they do on the production server.
    sqlite3_exec(db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
    return std::make_unique<SqliteProvider>(db, errors);
}

}  // namespace krl::ado

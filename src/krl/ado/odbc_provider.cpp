// SQL Server (or any ODBC data source) through the unixODBC driver manager. Texts go to the server
// as written; text travels as UTF-16 so that every letter survives whatever the server's code page.

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "krl/ado/failure.h"
#include "krl/ado/provider.h"
#include "krl/ado/source_table.h"

namespace krl::ado {

namespace {

constexpr const char* kOdbcSource = "ODBC";

using WideText = std::basic_string<SQLWCHAR>;

WideText toWide(std::string_view text) {
    WideText out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::uint32_t code = c;
        std::size_t length = 1;
        if (c >= 0xF0 && i + 3 < text.size()) {
            code = ((c & 0x07u) << 18) | ((text[i + 1] & 0x3Fu) << 12) |
                   ((text[i + 2] & 0x3Fu) << 6) | (text[i + 3] & 0x3Fu);
            length = 4;
        } else if (c >= 0xE0 && i + 2 < text.size()) {
            code = ((c & 0x0Fu) << 12) | ((text[i + 1] & 0x3Fu) << 6) | (text[i + 2] & 0x3Fu);
            length = 3;
        } else if (c >= 0xC0 && i + 1 < text.size()) {
            code = ((c & 0x1Fu) << 6) | (text[i + 1] & 0x3Fu);
            length = 2;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<SQLWCHAR>(0xD800 + (code >> 10));
            out += static_cast<SQLWCHAR>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<SQLWCHAR>(code);
        }
        i += length;
    }
    return out;
}

std::string toUtf8(const SQLWCHAR* text, std::size_t size) {
    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < size; ++i) {
        std::uint32_t code = text[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < size && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

bool succeeded(SQLRETURN code) {
    return code == SQL_SUCCESS || code == SQL_SUCCESS_WITH_INFO;
}

// Every diagnostic record of a handle.
std::vector<Error> diagnostics(SQLSMALLINT handleType, SQLHANDLE handle) {
    std::vector<Error> list;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLWCHAR message[2048] = {};
        SQLSMALLINT length = 0;
        SQLRETURN code = SQLGetDiagRecW(handleType, handle, record, state, &native, message,
                                        static_cast<SQLSMALLINT>(std::size(message)), &length);
        if (!succeeded(code)) {
            break;
        }
        const auto size = std::min<std::size_t>(
            static_cast<std::size_t>(std::max<SQLSMALLINT>(length, 0)), std::size(message) - 1);
        list.push_back({adErrProvider, toUtf8(message, size), kOdbcSource, toUtf8(state, 5),
                        static_cast<long>(native)});
    }
    return list;
}

ValueKind kindOfSqlType(SQLSMALLINT type) {
    switch (type) {
        case SQL_SMALLINT:
        case SQL_TINYINT:
        case SQL_BIT:
            return ValueKind::Integer;
        case SQL_INTEGER:
            return ValueKind::Long;
        case SQL_BIGINT:
            return ValueKind::LongLong;
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            return ValueKind::Double;
        case SQL_BINARY:
        case SQL_VARBINARY:
        case SQL_LONGVARBINARY:
            return ValueKind::Any;
        default:
            return ValueKind::String;
    }
}

bool isTextType(SQLSMALLINT type) {
    switch (type) {
        case SQL_CHAR:
        case SQL_VARCHAR:
        case SQL_WCHAR:
        case SQL_WVARCHAR:
            return true;
        default:
            return false;
    }
}

bool isLongType(SQLSMALLINT type) {
    return type == SQL_LONGVARCHAR || type == SQL_WLONGVARCHAR || type == SQL_LONGVARBINARY;
}

// A statement handle freed at the end of the scope.
class StatementHandle {
  public:
    explicit StatementHandle(SQLHDBC dbc) { SQLAllocHandle(SQL_HANDLE_STMT, dbc, &handle_); }
    ~StatementHandle() {
        if (handle_ != SQL_NULL_HSTMT) {
            SQLFreeHandle(SQL_HANDLE_STMT, handle_);
        }
    }
    StatementHandle(const StatementHandle&) = delete;
    StatementHandle& operator=(const StatementHandle&) = delete;
    SQLHSTMT get() const { return handle_; }

  private:
    SQLHSTMT handle_ = SQL_NULL_HSTMT;
};

// A parameter's value as the driver reads it; kept alive until the statement has run.
struct ParameterBuffer {
    long long integer = 0;
    double number = 0;
    WideText text;
    SQLLEN indicator = 0;
};

class OdbcProvider final : public Provider {
  public:
    OdbcProvider(SQLHENV env, SQLHDBC dbc, Errors& errors)
        : Provider(errors), env_(env), dbc_(dbc) {}

    ~OdbcProvider() override {
        SQLDisconnect(dbc_);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
        SQLFreeHandle(SQL_HANDLE_ENV, env_);
    }

    std::string engineText(std::string_view programText) override {
        return std::string(programText);
    }

    // The session's last identity: each statement is its own batch, so SCOPE_IDENTITY() would
    // already be out of scope.
    std::string lastIdentityQuery() const override { return "SELECT CAST(@@IDENTITY AS BIGINT)"; }

    QueryResult run(std::string_view sql, std::span<const Variant> parameters,
                    bool wantRows) override {
        StatementHandle statement(dbc_);
        if (statement.get() == SQL_NULL_HSTMT) {
            fail(diagnostics(SQL_HANDLE_DBC, dbc_));
        }
        SQLHSTMT stmt = statement.get();
        std::vector<ParameterBuffer> buffers(parameters.size());
        for (std::size_t i = 0; i < parameters.size(); ++i) {
            bind(stmt, static_cast<SQLUSMALLINT>(i + 1), parameters[i], buffers[i]);
        }
        WideText text = toWide(sql);
        SQLRETURN code = SQLExecDirectW(stmt, text.data(), static_cast<SQLINTEGER>(text.size()));
        QueryResult result;
        while (code != SQL_NO_DATA) {
            check(code, stmt);
            SQLSMALLINT columnCount = 0;
            check(SQLNumResultCols(stmt, &columnCount), stmt);
            if (columnCount > 0 && wantRows && result.columns == nullptr) {
                result.columns = describe(stmt, columnCount);
                fetchAll(stmt, *result.columns, result.rows);
            } else if (columnCount == 0) {
                SQLLEN count = -1;
                check(SQLRowCount(stmt, &count), stmt);
                if (count >= 0) {
                    result.recordsAffected =
                        std::max(result.recordsAffected, 0L) + static_cast<long>(count);
                }
            }
            code = SQLMoreResults(stmt);
        }
        // A searched UPDATE or DELETE that touched no row ends with SQL_NO_DATA at once.
        if (result.recordsAffected < 0 && result.columns == nullptr) {
            SQLLEN count = -1;
            if (succeeded(SQLRowCount(stmt, &count)) && count >= 0) {
                result.recordsAffected = static_cast<long>(count);
            }
        }
        return result;
    }

    void beginTransaction() override {
        check(SQLSetConnectAttrW(dbc_, SQL_ATTR_AUTOCOMMIT,
                                 // The ODBC API passes integer attributes in its pointer argument.
                                 reinterpret_cast<SQLPOINTER>(  // NOLINT(performance-no-int-to-ptr)
                                     static_cast<std::uintptr_t>(SQL_AUTOCOMMIT_OFF)),
                                 SQL_IS_UINTEGER));
    }

    void commit() override {
        check(SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_COMMIT));
        autocommit();
    }

    void rollback() override {
        SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
        autocommit();
    }

    std::vector<std::string> primaryKey(const TableName& table) override {
        std::vector<std::string> parts = identifierParts(table.table);
        if (parts.empty() ||
            parts.back().starts_with("#")) {  // temporary tables have no catalog entry
            return {};
        }
        StatementHandle statement(dbc_);
        SQLHSTMT stmt = statement.get();
        WideText name = toWide(parts.back());
        WideText schema = parts.size() >= 2 ? toWide(parts[parts.size() - 2]) : WideText{};
        check(SQLPrimaryKeysW(stmt, nullptr, 0, schema.empty() ? nullptr : schema.data(),
                              static_cast<SQLSMALLINT>(schema.size()), name.data(),
                              static_cast<SQLSMALLINT>(name.size())),
              stmt);
        std::vector<std::pair<long long, std::string>> keyed;
        while (true) {
            SQLRETURN code = SQLFetch(stmt);
            if (code == SQL_NO_DATA) {
                break;
            }
            check(code, stmt);
            Variant column = readText(stmt, 4);
            SQLINTEGER sequence = 0;
            SQLLEN indicator = 0;
            check(SQLGetData(stmt, 5, SQL_C_SLONG, &sequence, 0, &indicator), stmt);
            keyed.emplace_back(sequence, column.textOrEmpty());
        }
        std::sort(keyed.begin(), keyed.end());
        std::vector<std::string> key;
        key.reserve(keyed.size());
        for (auto& [sequence, column] : keyed) {
            key.push_back(std::move(column));
        }
        return key;
    }

    std::string quoteIdentifier(std::string_view name) const override {
        std::string out = "[";
        for (char c : name) {
            out += c;
            if (c == ']') {
                out += ']';
            }
        }
        return out + ']';
    }

    // Tables come from the program's own text and are used as it wrote them.
    std::string quoteTable(const TableName& table) const override {
        if (table.schema.empty()) {
            return table.table;
        }
        return table.schema + '.' + table.table;
    }

    void sameAsOriginal(std::string& sql, const std::string& quotedColumn, const Variant& original,
                        std::vector<Variant>& parameters) const override {
        sql += quotedColumn;
        if (original.isNull()) {
            sql += " IS NULL";
            return;
        }
        parameters.push_back(original);
        sql += " = ?";
    }

  private:
    void check(SQLRETURN code, SQLHSTMT stmt) {
        if (!succeeded(code)) {
            fail(diagnostics(SQL_HANDLE_STMT, stmt));
        }
    }

    void check(SQLRETURN code) {
        if (!succeeded(code)) {
            fail(diagnostics(SQL_HANDLE_DBC, dbc_));
        }
    }

    void autocommit() {
        SQLSetConnectAttrW(dbc_, SQL_ATTR_AUTOCOMMIT,
                           reinterpret_cast<SQLPOINTER>(  // NOLINT(performance-no-int-to-ptr)
                               static_cast<std::uintptr_t>(SQL_AUTOCOMMIT_ON)),
                           SQL_IS_UINTEGER);
    }

    void bind(SQLHSTMT stmt, SQLUSMALLINT number, const Variant& value, ParameterBuffer& buffer) {
        SQLRETURN code = SQL_SUCCESS;
        switch (value.type()) {
            case Variant::Type::Empty:
            case Variant::Type::Null:
                buffer.indicator = SQL_NULL_DATA;
                code = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 1,
                                        0, nullptr, 0, &buffer.indicator);
                break;
            case Variant::Type::Boolean:
            case Variant::Type::Integer:
            case Variant::Type::Long:
            case Variant::Type::LongLong: {
                buffer.integer = value.type() == Variant::Type::Boolean ? (value.toBool() ? 1 : 0)
                                                                        : value.toInt64();
                const bool small = value.type() == Variant::Type::Integer;
                const bool wide = value.type() == Variant::Type::LongLong;
                const SQLSMALLINT sqlType =
                    wide ? SQLSMALLINT{SQL_BIGINT}
                         : (small ? SQLSMALLINT{SQL_SMALLINT} : SQLSMALLINT{SQL_INTEGER});
                code = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_SBIGINT, sqlType, 0, 0,
                                        &buffer.integer, 0, nullptr);
                break;
            }
            case Variant::Type::Double:
                buffer.number = value.toDouble();
                code = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 15,
                                        0, &buffer.number, 0, nullptr);
                break;
            case Variant::Type::String: {
                buffer.text = toWide(value.toText());
                const auto characters =
                    static_cast<SQLULEN>(std::max<std::size_t>(buffer.text.size(), 1));
                buffer.indicator = static_cast<SQLLEN>(buffer.text.size() * sizeof(SQLWCHAR));
                code = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_WCHAR,
                                        characters > 4000 ? SQL_WLONGVARCHAR : SQL_WVARCHAR,
                                        characters, 0, buffer.text.data(), buffer.indicator,
                                        &buffer.indicator);
                break;
            }
            case Variant::Type::Array:
            case Variant::Type::Object:
                err::typeMismatch();
        }
        check(code, stmt);
    }

    ColumnSetPtr describe(SQLHSTMT stmt, SQLSMALLINT count) {
        auto set = std::make_shared<ColumnSet>();
        for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(count); ++i) {
            SQLWCHAR name[256] = {};
            SQLSMALLINT nameLength = 0;
            SQLSMALLINT type = 0;
            SQLULEN size = 0;
            SQLSMALLINT digits = 0;
            SQLSMALLINT nullable = 0;
            check(SQLDescribeColW(stmt, i, name, static_cast<SQLSMALLINT>(std::size(name)),
                                  &nameLength, &type, &size, &digits, &nullable),
                  stmt);
            ColumnInfo column;
            column.name =
                toUtf8(name, std::min<std::size_t>(
                                 static_cast<std::size_t>(std::max<SQLSMALLINT>(nameLength, 0)),
                                 std::size(name) - 1));
            column.kind = kindOfSqlType(type);
            column.definedSize = isTextType(type) ? static_cast<int>(size) : 0;
            column.comparable = !isLongType(type);
            // The table is taken from the program's text, where a temporary table has the name the
            // program gave it; the driver names the column behind an alias when it can.
            column.baseColumn = attributeText(stmt, i, SQL_DESC_BASE_COLUMN_NAME);
            if (column.baseColumn.empty()) {
                column.baseColumn = column.name;
            }
            set->columns.push_back(std::move(column));
        }
        set->index();
        return set;
    }

    static std::string attributeText(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field) {
        SQLWCHAR text[256] = {};
        SQLSMALLINT length = 0;
        if (!succeeded(
                SQLColAttributeW(stmt, column, field, text, sizeof text, &length, nullptr))) {
            return {};
        }
        const auto characters =
            static_cast<std::size_t>(std::max<SQLSMALLINT>(length, 0)) / sizeof(SQLWCHAR);
        return toUtf8(text, std::min(characters, std::size(text) - 1));
    }

    void fetchAll(SQLHSTMT stmt, const ColumnSet& set, std::vector<std::vector<Variant>>& rows) {
        while (true) {
            SQLRETURN code = SQLFetch(stmt);
            if (code == SQL_NO_DATA) {
                return;
            }
            check(code, stmt);
            std::vector<Variant> row;
            row.reserve(set.columns.size());
            for (std::size_t i = 0; i < set.columns.size(); ++i) {
                row.push_back(
                    readValue(stmt, static_cast<SQLUSMALLINT>(i + 1), set.columns[i].kind));
            }
            rows.push_back(std::move(row));
        }
    }

    Variant readValue(SQLHSTMT stmt, SQLUSMALLINT column, ValueKind kind) {
        SQLLEN indicator = 0;
        switch (kind) {
            case ValueKind::Integer:
            case ValueKind::Long:
            case ValueKind::LongLong: {
                long long value = 0;
                check(SQLGetData(stmt, column, SQL_C_SBIGINT, &value, 0, &indicator), stmt);
                return indicator == SQL_NULL_DATA ? Variant::null() : integerValue(kind, value);
            }
            case ValueKind::Double: {
                double value = 0;
                check(SQLGetData(stmt, column, SQL_C_DOUBLE, &value, 0, &indicator), stmt);
                return indicator == SQL_NULL_DATA ? Variant::null() : Variant(value);
            }
            case ValueKind::Any:
                return readBytes(stmt, column);
            case ValueKind::String:
                return readText(stmt, column);
        }
        return Variant::null();
    }

    // Character data in pieces until the driver has given all of it.
    Variant readText(SQLHSTMT stmt, SQLUSMALLINT column) {
        WideText text;
        SQLWCHAR piece[1024];
        while (true) {
            SQLLEN indicator = 0;
            SQLRETURN code = SQLGetData(stmt, column, SQL_C_WCHAR, piece, sizeof piece, &indicator);
            if (code == SQL_NO_DATA) {
                break;
            }
            check(code, stmt);
            if (indicator == SQL_NULL_DATA) {
                return Variant::null();
            }
            const std::size_t capacity = std::size(piece) - 1;
            const std::size_t got =
                indicator == SQL_NO_TOTAL ||
                        static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR) > capacity
                    ? capacity
                    : static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR);
            text.append(piece, got);
            if (code == SQL_SUCCESS) {
                break;
            }
        }
        return toUtf8(text.data(), text.size());
    }

    Variant readBytes(SQLHSTMT stmt, SQLUSMALLINT column) {
        std::string bytes;
        char piece[4096];
        while (true) {
            SQLLEN indicator = 0;
            SQLRETURN code =
                SQLGetData(stmt, column, SQL_C_BINARY, piece, sizeof piece, &indicator);
            if (code == SQL_NO_DATA) {
                break;
            }
            check(code, stmt);
            if (indicator == SQL_NULL_DATA) {
                return Variant::null();
            }
            const std::size_t got =
                indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) > sizeof piece
                    ? sizeof piece
                    : static_cast<std::size_t>(indicator);
            bytes.append(piece, got);
            if (code == SQL_SUCCESS) {
                break;
            }
        }
        return bytes;
    }

    SQLHENV env_;
    SQLHDBC dbc_;
};

}  // namespace

std::unique_ptr<Provider> openOdbcProvider(std::string_view connectionString, Errors& errors) {
    SQLHENV env = SQL_NULL_HENV;
    if (!succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env))) {
        raiseError(&errors, adErrProvider, "Impossibile inizializzare il gestore ODBC.");
    }
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLHDBC dbc = SQL_NULL_HDBC;
    if (!succeeded(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc))) {
        auto list = diagnostics(SQL_HANDLE_ENV, env);
        SQLFreeHandle(SQL_HANDLE_ENV, env);
        raiseErrors(&errors, std::move(list));
    }
    WideText text = toWide(connectionString);
    SQLRETURN code =
        SQLDriverConnectW(dbc, nullptr, text.data(), static_cast<SQLSMALLINT>(text.size()), nullptr,
                          0, nullptr, SQL_DRIVER_NOPROMPT);
    if (!succeeded(code)) {
        auto list = diagnostics(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, env);
        raiseErrors(&errors, std::move(list));
    }
    return std::make_unique<OdbcProvider>(env, dbc, errors);
}

}  // namespace krl::ado

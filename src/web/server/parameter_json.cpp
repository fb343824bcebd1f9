#include "web/server/parameter_json.h"

#include <cmath>
#include <string>

#include "duza_zovrena/data/columns.h"
#include "duza_zovrena/data/effective_values.h"
#include "krl/ado/ado.h"
#include "krl/variant/variant.h"

namespace zovrena::web {

namespace {

using Json = nlohmann::json;
namespace data = duza_zovrena::data;
using krl::Variant;

// The record's row where `where` holds, every column of its column table; null when none.
std::shared_ptr<krl::ado::Recordset> readRow(krl::ado::Connection& connection, data::Record record,
                                             const std::string& where) {
    std::string sql = "SELECT ";
    for (const data::ColumnDef& column : data::columns(record)) {
        if (sql.size() > 7) {
            sql += ", ";
        }
        sql += column.name;
    }
    sql.append(" FROM ").append(data::tableName(record)).append(" WITH (NOLOCK) WHERE ");
    sql += where;
    auto rows = connection.execute(sql);
    if (!rows || rows->state() != krl::ado::adStateOpen || rows->eof()) {
        return nullptr;
    }
    return rows;
}

Json number(double value) {
    if (std::trunc(value) == value && std::fabs(value) < 9.0e15) {
        return static_cast<std::int64_t>(value);
    }
    return value;
}

// A stored value in JSON: NULL as null, numbers as numbers, codes without trailing blanks. A
// numeric column holding text (written by another program) gives the number the text reads as,
// or the text itself.
Json valueJson(const data::ColumnDef& column, const Variant& value) {
    switch (value.type()) {
        case Variant::Type::Empty:
        case Variant::Type::Null:
            return nullptr;
        case Variant::Type::Boolean:
            return value.toBool() ? 1 : 0;
        case Variant::Type::Integer:
        case Variant::Type::Long:
        case Variant::Type::LongLong:
            return value.toInt64();
        case Variant::Type::Double:
            return number(value.toDouble());
        case Variant::Type::String: {
            std::string text = krl::rtrim(value.textOrEmpty());
            if (!column.isText()) {
                if (const auto parsed = krl::parseNumber(text)) {
                    return number(*parsed);
                }
            }
            return text;
        }
        case Variant::Type::Array:
        case Variant::Type::Object:
            break;
    }
    return value.describe();
}

Json columnJson(const data::ColumnDef& column, const Variant& value) {
    return Json{{"caption", column.caption.empty() ? Json(nullptr) : Json(column.caption)},
                {"value", valueJson(column, value)}};
}

std::string companyCondition(std::string_view prefix, std::int32_t company) {
    return std::string(prefix) + "_DITTA_CG18 = " + std::to_string(company);
}

}  // namespace

std::optional<Json> generalParametersJson(krl::ado::Connection& connection, std::int32_t company) {
    const auto row = readRow(connection, data::Record::General, companyCondition("PD42", company));
    if (!row) {
        return std::nullopt;
    }
    Json columns = Json::object();
    for (const data::ColumnDef& column : data::generalColumns()) {
        columns[std::string(column.name)] = columnJson(column, (*row)[column.name].value());
    }
    return Json{{"company", company},
                {"table", data::tableName(data::Record::General)},
                {"columns", std::move(columns)}};
}

std::optional<Json> documentParametersJson(krl::ado::Connection& connection, std::int32_t company,
                                           std::string_view code) {
    const auto row = readRow(connection, data::Record::Document,
                             companyCondition("PD88", company) + " AND PD88_CODDOC_MG36 = '" +
                                 krl::doubleQuotes(code) + "'");
    if (!row) {
        return std::nullopt;
    }
    // The general row the indicators at 0 follow; a company without one gives NULL settings.
    const auto general =
        readRow(connection, data::Record::General, companyCondition("PD42", company));
    const auto generalValue = [&](std::string_view name) {
        return general ? (*general)[name].value() : Variant::null();
    };
    Json columns = Json::object();
    for (const data::ColumnDef& column : data::documentColumns()) {
        const Variant& stored = (*row)[column.name].value();
        Json item = columnJson(column, stored);
        if (column.kind == data::ColumnKind::Indicator) {
            const auto inForce = data::effectiveValue(column.name, stored, generalValue);
            item["effective"] = {
                {"value", valueJson(column, inForce.code)},
                {"source", inForce.fromGeneral.empty() ? column.name : inForce.fromGeneral}};
        }
        columns[std::string(column.name)] = std::move(item);
    }
    return Json{{"company", company},
                {"document", krl::rtrim((*row)["PD88_CODDOC_MG36"].value().textOrEmpty())},
                {"table", data::tableName(data::Record::Document)},
                {"columns", std::move(columns)}};
}

}  // namespace zovrena::web

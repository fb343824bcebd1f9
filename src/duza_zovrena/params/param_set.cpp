#include "duza_zovrena/params/param_set.h"

#include "krl/variant/text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace duza_zovrena::params {

namespace {

std::shared_ptr<krl::ado::Recordset> query(krl::ado::Connection& connection,
                                           const std::string& sql) {
    return connection.execute(sql);
}

}  // namespace

FieldPositions carriedFields(krl::ado::Recordset& rows, data::Record record) {
    FieldPositions positions;
    auto& fields = rows.fields();
    for (const data::ColumnDef& column : data::columns(record)) {
        if (!carried(column)) {
            continue;
        }
        for (std::size_t i = 0; i < fields.count(); ++i) {
            if (krl::sameText(fields.item(i).name(), column.name)) {
                positions.emplace_back(&column, i);
                break;
            }
        }
    }
    std::sort(positions.begin(), positions.end(),
              [](const auto& a, const auto& b) { return a.first->name < b.first->name; });
    return positions;
}

Values readValues(krl::ado::Recordset& rows, const FieldPositions& fields) {
    Values values;
    auto& all = rows.fields();
    for (const auto& [column, position] : fields) {
        values.emplace_hint(values.end(), std::string(column->name),
                            canonical(column->kind, all.item(position).value()));
    }
    return values;
}

std::map<long long, std::string> priorityTables(krl::ado::Connection& connection, long company) {
    std::map<long long, std::string> tables;
    for (auto rows = connection.execute(
             "SELECT LP09_ID, LP09_CODICE FROM LP09_TESTATAPRIORITA WHERE LP09_DITTA_CG18 = " +
             std::to_string(company));
         !rows->eof(); rows->moveNext()) {
        tables.emplace(static_cast<long long>(krl::numericValue(rows->fields()["LP09_ID"].value())),
                       krl::rtrim(rows->fields()["LP09_CODICE"].value().textOrEmpty()));
    }
    return tables;
}

bool carried(const data::ColumnDef& column) {
    return column.kind != data::ColumnKind::CompanyKey &&
           column.kind != data::ColumnKind::MediaId && column.name != "PD88_CODDOC_MG36";
}

krl::Variant canonical(data::ColumnKind kind, const krl::Variant& value) {
    if (value.isNull() || value.isEmpty()) {
        return krl::Variant::null();
    }
    if (value.isString() || kind == data::ColumnKind::DocumentCode ||
        kind == data::ColumnKind::DepositCode || kind == data::ColumnKind::QualificationCode) {
        return krl::Variant(krl::rtrim(value.textOrEmpty()));
    }
    const double number = krl::numericValue(value);
    if (std::trunc(number) == number && std::fabs(number) < 9.0e15) {
        return krl::Variant(static_cast<std::int64_t>(number));
    }
    return krl::Variant(number);
}

std::string displayValue(const krl::Variant& value) {
    if (value.isNull() || value.isEmpty()) {
        return "NULL";
    }
    if (value.isString()) {
        return "'" + value.textOrEmpty() + "'";
    }
    return krl::numberText(krl::numericValue(value));
}

std::string sqlLiteral(const krl::Variant& value) {
    if (value.isNull() || value.isEmpty()) {
        return "NULL";
    }
    if (value.isString()) {
        return "'" + krl::doubleQuotes(value.textOrEmpty()) + "'";
    }
    return krl::numberText(krl::numericValue(value));
}

bool companyExists(krl::ado::Connection& connection, long company) {
    auto rows = query(connection, "SELECT CG18_CODICE FROM CG18_DITTE WHERE CG18_CODICE = " +
                                      std::to_string(company));
    return !rows->eof();
}

std::vector<long> allCompanies(krl::ado::Connection& connection) {
    std::vector<long> result;
    for (auto rows = query(connection, "SELECT CG18_CODICE FROM CG18_DITTE ORDER BY CG18_CODICE");
         !rows->eof(); rows->moveNext()) {
        result.push_back(
            static_cast<long>(krl::numericValue(rows->fields()["CG18_CODICE"].value())));
    }
    return result;
}

ParamSet readParamSet(krl::ado::Connection& connection, long company) {
    const std::string key = std::to_string(company);
    ParamSet set;
    auto general = query(connection, "SELECT * FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = " + key);
    if (!general->eof()) {
        set.general = readValues(*general, carriedFields(*general, data::Record::General));
        const auto tables = priorityTables(connection, company);
        for (const data::ColumnDef& column : data::generalColumns()) {
            if (column.kind != data::ColumnKind::PriorityTableId) {
                continue;
            }
            krl::Variant& value = set.general->find(column.name)->second;
            if (auto found = tables.find(value.isNull() ? -1 : value.toInt64());
                found != tables.end()) {
                value = krl::Variant(found->second);
            }
        }
    }
    auto documents =
        query(connection, "SELECT * FROM PD88_ZOVRENADOC WHERE PD88_DITTA_CG18 = " + key +
                              " ORDER BY PD88_CODDOC_MG36");
    const FieldPositions fields = carriedFields(*documents, data::Record::Document);
    for (; !documents->eof(); documents->moveNext()) {
        set.documents.push_back({krl::rtrim((*documents)["PD88_CODDOC_MG36"].value().textOrEmpty()),
                                 readValues(*documents, fields)});
    }
    for (auto rows = query(connection, "SELECT * FROM PD49_PARDOCPROD WHERE PD49_DITTA_CG18 = " +
                                           key + " ORDER BY PD49_CODDOC_MG3G");
         !rows->eof(); rows->moveNext()) {
        set.transfers.push_back(
            {krl::rtrim((*rows)[kTransferCode].value().textOrEmpty()),
             canonical(data::ColumnKind::Indicator, (*rows)[kTransferHead].value()),
             canonical(data::ColumnKind::Indicator, (*rows)[kTransferBody].value())});
    }
    return set;
}

}  // namespace duza_zovrena::params

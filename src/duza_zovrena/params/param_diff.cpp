#include "duza_zovrena/params/param_diff.h"

#include <map>

namespace duza_zovrena::params {

namespace {

constexpr const char* kNoRow = "(riga assente)";
constexpr const char* kRow = "(riga presente)";

void compareRows(std::vector<Difference>& out, std::string_view table, const std::string& code,
                 const Values& left, const Values& right) {
    std::map<std::string, std::pair<krl::Variant, krl::Variant>> columns;
    for (const auto& [column, value] : left) {
        columns[column].first = value;
    }
    for (const auto& [column, value] : right) {
        columns[column].second = value;
    }
    for (const auto& [column, values] : columns) {
        const krl::Variant a = values.first.isEmpty() ? krl::Variant::null() : values.first;
        const krl::Variant b = values.second.isEmpty() ? krl::Variant::null() : values.second;
        if (!a.identical(b)) {
            out.push_back({std::string(table), code, column, displayValue(a), displayValue(b)});
        }
    }
}

void compareOptional(std::vector<Difference>& out, std::string_view table, const std::string& code,
                     const Values* left, const Values* right) {
    if (left != nullptr && right != nullptr) {
        compareRows(out, table, code, *left, *right);
    } else if (left != nullptr || right != nullptr) {
        out.push_back({std::string(table), code, {}, left ? kRow : kNoRow, right ? kRow : kNoRow});
    }
}

template <typename Row, typename ToValues>
void compareByCode(std::vector<Difference>& out, std::string_view table,
                   const std::vector<Row>& left, const std::vector<Row>& right, ToValues toValues) {
    std::map<std::string, std::pair<const Row*, const Row*>> rows;
    for (const Row& row : left) {
        rows[row.code].first = &row;
    }
    for (const Row& row : right) {
        rows[row.code].second = &row;
    }
    for (const auto& [code, pair] : rows) {
        std::optional<Values> a;
        std::optional<Values> b;
        if (pair.first != nullptr) {
            a = toValues(*pair.first);
        }
        if (pair.second != nullptr) {
            b = toValues(*pair.second);
        }
        compareOptional(out, table, code, a ? &*a : nullptr, b ? &*b : nullptr);
    }
}

}  // namespace

std::vector<Difference> differences(const ParamSet& left, const ParamSet& right) {
    std::vector<Difference> out;
    compareOptional(out, data::tableName(data::Record::General), {},
                    left.general ? &*left.general : nullptr,
                    right.general ? &*right.general : nullptr);
    compareByCode(out, data::tableName(data::Record::Document), left.documents, right.documents,
                  [](const DocumentRow& row) { return row.values; });
    compareByCode(out, kTransferTable, left.transfers, right.transfers, [](const TransferRow& row) {
        return Values{{std::string(kTransferHead), row.head},
                      {std::string(kTransferBody), row.body}};
    });
    return out;
}

std::string differenceLine(const Difference& difference) {
    std::string line = difference.table;
    if (!difference.documentCode.empty()) {
        line += ", documento " + difference.documentCode;
    }
    if (!difference.column.empty()) {
        line += ", " + difference.column;
    }
    return line + ": " + difference.left + " -> " + difference.right;
}

}  // namespace duza_zovrena::params

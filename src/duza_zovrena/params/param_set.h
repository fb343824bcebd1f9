#pragma once

// A company's production parameters as plain values: the general row, the document rows and the
// custom-field transfer rows, each column by name. What the health check reads, the export writes,
// the comparison compares and the import applies.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "duza_zovrena/data/columns.h"
#include "krl/ado/ado.h"
#include "krl/variant/variant.h"

namespace duza_zovrena::params {

// Column name -> value: codes without trailing blanks, whole numbers as 64-bit integers, others
// as doubles, NULL as null. A price-list priority table is named by its code (LP09_CODICE), which
// means the same in every company, where the row stores the table's id; an id that is not one of
// the company's tables stays a number.
using Values = std::map<std::string, krl::Variant, std::less<>>;

struct DocumentRow {
    std::string code;  // PD88_CODDOC_MG36
    Values values;     // the columns a set carries, the keys left out
};

inline constexpr std::string_view kTransferTable = "PD49_PARDOCPROD";
inline constexpr std::string_view kTransferCode = "PD49_CODDOC_MG3G";
inline constexpr std::string_view kTransferHead = "PD49_INDTRPERSTESTA";
inline constexpr std::string_view kTransferBody = "PD49_INDTRPERSCORPO";

struct TransferRow {
    std::string code;
    krl::Variant head;  // 0 no, 1 yes, 2 as the general parameters say
    krl::Variant body;
};

struct ParamSet {
    std::optional<Values> general;       // none when the company has no general row
    std::vector<DocumentRow> documents;  // by code
    std::vector<TransferRow> transfers;  // by code
};

// The columns a set carries: all but the keys and the attached media, which belong to the row
// they were attached to, not to its settings.
bool carried(const data::ColumnDef& column);

// A value in the form the sets hold it, for a column of that kind.
krl::Variant canonical(data::ColumnKind kind, const krl::Variant& value);

// The value as one line of text: NULL, a number, or a text in single quotes.
std::string displayValue(const krl::Variant& value);

// The value as a SQL literal.
std::string sqlLiteral(const krl::Variant& value);

bool companyExists(krl::ado::Connection& connection, long company);
// Every company of CG18_DITTE, in code order.
std::vector<long> allCompanies(krl::ado::Connection& connection);

// Where each carried column of a record sits among a recordset's fields, in the order of the
// columns' names (the order of Values).
using FieldPositions = std::vector<std::pair<const data::ColumnDef*, std::size_t>>;
FieldPositions carriedFields(krl::ado::Recordset& rows, data::Record record);
// The current row's carried columns.
Values readValues(krl::ado::Recordset& rows, const FieldPositions& fields);

// The company's price-list priority tables: id -> code.
std::map<long long, std::string> priorityTables(krl::ado::Connection& connection, long company);

// The company's parameters as stored now.
ParamSet readParamSet(krl::ado::Connection& connection, long company);

}  // namespace duza_zovrena::params

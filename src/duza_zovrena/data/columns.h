#pragma once

// The columns of the two parameter records (PD42_ZOVRENA, the company's general row, and
// PD88_ZOVRENADOC, one row per company and document code): one table that the pages, the schema,
// the print and the new-row procedures agree on.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "krl/variant/variant.h"

namespace duza_zovrena::data {

enum class ColumnKind {
    CompanyKey,         // _CG18: the company
    DocumentCode,       // _MG3G / _MG36: a company document code, text of at most 14, upper case
    DepositCode,        // _MG58: text of at most 2, upper case
    QualificationCode,  // _PD04: text of at most 5, upper case
    PriorityTableId,    // _LP09: LP09_ID of a price-list priority table
    MediaId,            // _CG99: id of the multimedia items attached to the row
    Flag,               // 0/1
    Indicator,          // small integer code of a combo row
    Number,             // PERC..., STEP..., LIVELLO...: typed by the user
};

// What the new-row procedure writes into a column.
struct NewRowValue {
    enum class Source {
        None,            // nothing: the column keeps what the new record holds
        Constant,        // a 16-bit integer
        Null,            // NULL
        CurrentCompany,  // the window's company code
        SelectedCode,    // the document code typed in the window's header, trailing blanks removed
    };
    Source source = Source::None;
    std::int16_t constant = 0;

    bool writes() const { return source != Source::None; }
};

struct ColumnDef {
    std::string_view name;
    ColumnKind kind;
    int width;  // characters the edit control accepts (codes and numbers); 0 otherwise
    NewRowValue newRow;
    // The caption of the control bound to the column, also its description. The pages'
    // declarations name the control (pages::columnPlace finds it), which takes its kind, width,
    // case and caption from here.
    std::string_view caption;

    bool isText() const {
        return kind == ColumnKind::DocumentCode || kind == ColumnKind::DepositCode ||
               kind == ColumnKind::QualificationCode;
    }
};

enum class Record { General, Document };

// The 205 columns of PD42_ZOVRENA: the key first, then by name.
std::span<const ColumnDef> generalColumns();
// The 61 columns of PD88_ZOVRENADOC: the two keys first, then by name.
std::span<const ColumnDef> documentColumns();
std::span<const ColumnDef> columns(Record record);

std::string_view tableName(Record record);

// The column of that name (case-insensitive), or nullptr.
const ColumnDef* findColumn(Record record, std::string_view name);
const ColumnDef* findGeneralColumn(std::string_view name);
const ColumnDef* findDocumentColumn(std::string_view name);

// The columns the new-row procedure writes, in the order it writes them (for a document row the
// keys, the indicators and tolerances, then the deposit flags).
std::vector<const ColumnDef*> newRowColumns(Record record);

// The value the new-row procedure writes into a column: the constant, NULL, the company code or
// the selected document code (trailing blanks removed). Empty when it writes nothing.
krl::Variant newRowVariant(const ColumnDef& column, const krl::Variant& companyCode,
                           std::string_view selectedCode = {});

}  // namespace duza_zovrena::data

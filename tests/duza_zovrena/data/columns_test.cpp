#include "duza_zovrena/data/columns.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "duza_zovrena/pages/column_place.h"

namespace duza_zovrena::data {
namespace {

bool shown(Record record, const ColumnDef& column) {
    return pages::columnPlace(record, column.name).has_value();
}

using Source = NewRowValue::Source;

// That each record holds its columns once, with its prefix, is the schema test's: the tables are
// made from the definitions and compared with them.
TEST(Columns, Columns_a_page_shows_have_a_caption) {
    for (Record record : {Record::General, Record::Document}) {
        for (const ColumnDef& column : columns(record)) {
            if (shown(record, column)) {
                EXPECT_FALSE(column.caption.empty()) << column.name;
            }
        }
    }
}

TEST(Columns, Widths_follow_the_kind_of_value) {
    const std::map<ColumnKind, int> textWidths = {{ColumnKind::DocumentCode, 14},
                                                  {ColumnKind::DepositCode, 2},
                                                  {ColumnKind::QualificationCode, 5}};
    for (Record record : {Record::General, Record::Document}) {
        for (const ColumnDef& column : columns(record)) {
            SCOPED_TRACE(std::string(column.name));
            if (auto found = textWidths.find(column.kind); found != textWidths.end()) {
                EXPECT_EQ(column.width, found->second);
            } else if (column.kind == ColumnKind::Number) {
                EXPECT_GE(column.width, 4);
                EXPECT_LE(column.width, 5);
            } else {
                EXPECT_EQ(column.width, 0);
            }
        }
    }
    EXPECT_EQ(findGeneralColumn("PD42_LIVELLOESP")->width, 4);
    EXPECT_EQ(findGeneralColumn("PD42_STEPNUMLEGDB")->width, 5);
}

// A column no page shows is written 0 by the new-row procedure, so that it never holds NULL.
TEST(Columns, Columns_no_page_shows_start_at_zero) {
    for (Record record : {Record::General, Record::Document}) {
        for (const ColumnDef& column : columns(record)) {
            if (shown(record, column) || column.kind == ColumnKind::CompanyKey ||
                column.kind == ColumnKind::MediaId ||
                column.newRow.source == Source::SelectedCode) {
                continue;
            }
            EXPECT_EQ(column.newRow.source, Source::Constant) << column.name;
            EXPECT_EQ(column.newRow.constant, 0) << column.name;
        }
    }
}

TEST(Columns, New_row_values_are_16_bit_integers_null_company_or_trimmed_code) {
    krl::Variant company(std::int32_t{7});
    krl::Variant step = newRowVariant(*findGeneralColumn("PD42_STEPNUMLEGDB"), company);
    EXPECT_EQ(step.type(), krl::Variant::Type::Integer);
    EXPECT_EQ(step.toInt16(), 10);
    EXPECT_TRUE(newRowVariant(*findGeneralColumn("PD42_QLAV_PD04"), company).isNull());
    EXPECT_TRUE(newRowVariant(*findGeneralColumn("PD42_DITTA_CG18"), company).identical(company));
    EXPECT_EQ(newRowVariant(*findDocumentColumn("PD88_CODDOC_MG36"), company, "ODP   ").toText(),
              "ODP");
    EXPECT_TRUE(newRowVariant(*findGeneralColumn("PD42_INDLIVESP"), company).isEmpty());
}

TEST(Columns, Lookup_by_name_ignores_case_and_keeps_odd_captions) {
    const ColumnDef* column = findGeneralColumn("pd42_indavanzfaseest");
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(column->caption, "Modalità controllo avanzamento fasi ");
    EXPECT_EQ(findDocumentColumn("PD88_INDIMPGENLISP")->caption,
              "Modalià impegno da generazione lista prelievo");
    EXPECT_EQ(findGeneralColumn("PD88_INDIMPGENLISP"), nullptr);
    EXPECT_EQ(findDocumentColumn("PD88_NOSUCHCOLUMN"), nullptr);
}

}  // namespace
}  // namespace duza_zovrena::data

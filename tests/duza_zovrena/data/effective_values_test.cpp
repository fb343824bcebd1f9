#include "duza_zovrena/data/effective_values.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace duza_zovrena::data {
namespace {

using krl::Variant;

struct Case {
    const char* column;
    Variant stored;
    Variant general;  // the value of whatever general column is read
    Variant code;
    std::string_view from;
};

class EffectiveValueTest : public testing::TestWithParam<Case> {};

TEST_P(EffectiveValueTest, ReadsTheGeneralRowOnlyForZero) {
    const Case& c = GetParam();
    std::optional<std::string> read;
    const EffectiveValue value = effectiveValue(c.column, c.stored, [&](std::string_view column) {
        read = std::string(column);
        return c.general;
    });
    EXPECT_EQ(value.fromGeneral, c.from);
    EXPECT_EQ(value.code.isNull(), c.code.isNull());
    if (!c.code.isNull()) {
        EXPECT_EQ(krl::numericValue(value.code), krl::numericValue(c.code));
    }
    EXPECT_EQ(read.has_value(), !c.from.empty());
    if (read) {
        EXPECT_EQ(*read, c.from);
    }
}

INSTANTIATE_TEST_SUITE_P(Indicators, EffectiveValueTest,
                         testing::Values(
                             // Own setting: the stored code, the general row not read.
                             Case{"PD88_INDMODORDLAV", Variant(std::int16_t{2}),
                                  Variant(std::int16_t{0}), Variant(std::int16_t{2}), ""},
                             // NULL follows the general column too, whose code c is the
                             // indicator's c + 1.
                             Case{"pd88_indcarsfridocl", Variant::null(), Variant(std::int16_t{0}),
                                  Variant(std::int16_t{1}), "PD42_INDCARSFRIDOCL"},
                             // A general row without a value gives no setting.
                             Case{"PD88_INDSTATI", Variant(std::int16_t{0}), Variant::null(),
                                  Variant::null(), "PD42_FLGSTATI"}));

}  // namespace
}  // namespace duza_zovrena::data

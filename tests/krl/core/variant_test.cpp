#include "krl/variant/variant.h"

#include <gtest/gtest.h>

namespace krl {
namespace {

TEST(Variant, NarrowingFailsWhenTheValueDoesNotFit) {
    struct Case {
        Variant value;
        long expectedError;  // 0: converts
        std::int16_t expected;
    };
    const Case cases[] = {
        {Variant(std::int32_t{70000}), err::Overflow, 0},
        {Variant(std::int32_t{-32768}), 0, -32768},
        {Variant(32767.4), 0, 32767},
        {Variant(32767.5), err::Overflow, 0},
        {Variant(2.5), 0, 2},  // ties go to even
        {Variant(3.5), 0, 4},
        {Variant("12"), 0, 12},
        {Variant(" 7 "), 0, 7},
        {Variant("abc"), err::TypeMismatch, 0},
        {Variant(""), err::TypeMismatch, 0},
        {Variant(), 0, 0},
        {Variant::null(), err::InvalidUseOfNull, 0},
        {Variant(true), 0, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.describe());
        if (c.expectedError == 0) {
            EXPECT_EQ(c.value.toInt16(), c.expected);
        } else {
            try {
                (void)c.value.toInt16();
                ADD_FAILURE() << "no error";
            } catch (const VbError& e) {
                EXPECT_EQ(e.number(), c.expectedError);
            }
        }
    }
    EXPECT_THROW((void)Variant(std::int64_t{1} << 40).toInt32(), VbError);
    EXPECT_EQ(Variant(std::int64_t{70000}).toInt32(), 70000);
}

TEST(Variant, NumericReadingTreatsNullBlankAndTextAsZero) {
    const std::pair<Variant, double> cases[] = {
        {Variant::null(), 0}, {Variant(), 0},
        {Variant("   "), 0},  {Variant("abc"), 0},
        {Variant("3  "), 3},  {Variant("2,5"), 2.5},
        {Variant("1x"), 0},   {Variant(std::int16_t{2}), 2},
        {Variant(1.5), 1.5},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(numericValue(value), expected) << value.describe();
    }
}

TEST(Variant, TextKeepsNullApartFromEmpty) {
    EXPECT_EQ(Variant().toText(), "");
    EXPECT_THROW((void)Variant::null().toText(), VbError);
    EXPECT_EQ(Variant::null().textOrEmpty(), "");
    EXPECT_EQ(Variant(0.1).toText(), "0.1");
    EXPECT_EQ(Variant(10.0).toText(), "10");
    EXPECT_EQ(Variant(true).toText(), "True");
    EXPECT_FALSE(Variant(std::int16_t{1}).identical(Variant(std::int32_t{1})));
    EXPECT_TRUE(Variant("A").identical(Variant("A")));
    EXPECT_EQ(doubleQuotes("l'a'"), "l''a''");
    EXPECT_EQ(rtrim("AB  "), "AB");
}

}  // namespace
}  // namespace krl

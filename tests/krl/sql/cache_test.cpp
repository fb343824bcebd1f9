#include <gtest/gtest.h>

#include <string>

#include "krl/sql/translator.h"

namespace krl::sql {
namespace {

TEST(TranslationCache, TranslatesEachTextOnceAndKeepsTextsApart) {
    TranslationCache cache;
    const std::string& first = cache.translate("SELECT A FROM T WITH (NOLOCK)");
    EXPECT_EQ(first, "SELECT A FROM T");
    EXPECT_EQ(&cache.translate("SELECT A FROM T WITH (NOLOCK)"), &first);
    EXPECT_EQ(cache.size(), 1u);

    // Texts that differ only in a blank or in case are different texts.
    EXPECT_EQ(cache.translate("SELECT A FROM T  WITH (NOLOCK)"), "SELECT A FROM T");
    EXPECT_EQ(cache.translate("select A from T"), "select A from T");
    EXPECT_EQ(cache.size(), 3u);
}

TEST(TranslationCache, DoesNotKeepRefusedTexts) {
    TranslationCache cache;
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_THROW(cache.translate("SELECT TOP 1 A FROM T"), TranslateError);
    }
    EXPECT_EQ(cache.size(), 0u);
}

TEST(TranslationCache, StaysBoundedAndCorrectWhenManyTextsPass) {
    TranslationCache cache;
    for (std::size_t i = 0; i <= TranslationCache::kMaxEntries; ++i) {
        const std::string code = std::to_string(i);
        ASSERT_EQ(cache.translate("DELETE T WHERE A = '" + code + "'"),
                  "DELETE FROM T WHERE A = '" + code + "'");
    }
    EXPECT_LE(cache.size(), TranslationCache::kMaxEntries);
    EXPECT_GE(cache.size(), 1u);
}

}  // namespace
}  // namespace krl::sql

#include "krl/diag/trace.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace krl::diag {
namespace {

// The system generator (no test generator installed) gives random version 4 GUIDs: the version
// and variant bits set, the rest different every time, written as 32 upper-case hex digits.
TEST(SystemGuid, IsARandomVersionFourGuidEveryTime) {
    setGuidGenerator({});
    constexpr int count = 64;
    std::set<std::string> seen;
    for (int i = 0; i < count; ++i) {
        const auto guid = newGuid();
        ASSERT_TRUE(guid.has_value());
        EXPECT_EQ(guid->data3 >> 12, 4) << "version";
        EXPECT_EQ(guid->data4[0] >> 6, 2) << "variant";
        const std::string text = guidText(*guid);
        EXPECT_EQ(text.size(), 32u);
        EXPECT_EQ(text.find_first_not_of("0123456789ABCDEF"), std::string::npos) << text;
        seen.insert(text);
    }
    EXPECT_EQ(seen.size(), std::size_t{count});
}

TEST(SystemGuid, GivesEveryObjectItsOwnIdKeptForItsLife) {
    setGuidGenerator({});
    InstanceId first;
    InstanceId second;
    const std::string id = first.get();
    EXPECT_EQ(id.size(), 32u);
    EXPECT_EQ(first.get(), id);
    EXPECT_NE(second.get(), id);
}

}  // namespace
}  // namespace krl::diag

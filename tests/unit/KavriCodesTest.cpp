// The code lists: one block of text, each code found again whole, in
// order, across the block's growth.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "KavriCodes.h"

namespace {

using kavri::KavriCodes;

TEST(KavriCodes, KeepsEveryCodeWholeAndInOrder)
{
    KavriCodes codes;
    EXPECT_TRUE(codes.empty());
    std::vector<std::string> added;
    // Long and short codes, a repeat and an empty one, enough to move the
    // block several times.
    for (int i = 0; i < 300; ++i) {
        const std::string code = i % 7 == 0 ? "" : i % 5 == 0 ? "com.shop.module" + std::to_string(i) + ".long.path"
                                                              : "P" + std::to_string(i % 11);
        codes.add(code);
        added.push_back(code);
    }
    ASSERT_EQ(codes.size(), added.size());
    for (std::size_t i = 0; i < added.size(); ++i)
        EXPECT_EQ(codes[i], added[i]) << i;
    EXPECT_EQ(codes.strings(), added);
    EXPECT_EQ(KavriCodes(added), codes);
}

TEST(KavriCodes, EqualOnlyWithTheSameCodes)
{
    // The same bytes cut differently are other codes.
    EXPECT_NE((KavriCodes{"ab", "c"}), (KavriCodes{"a", "bc"}));
    EXPECT_NE((KavriCodes{"a"}), (KavriCodes{"a", ""}));
    EXPECT_EQ((KavriCodes{"T", "Shop"}), KavriCodes(std::vector<std::string>{"T", "Shop"}));
    EXPECT_TRUE(KavriCodes{}.strings().empty());
}

} // namespace

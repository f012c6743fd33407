// Duplicates: two classes of one package path with one name. Checked
// against comparing every pair, on enough classes that the table's probes
// run into each other and wrap around its end.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/ClassCollector.h"

namespace wiredhost {
namespace {

TEST(ClassCollector, DuplicatesAreClassesOfOnePathWithOneName)
{
    ClassCollector collector;
    const int shop = collector.addPackage(ClassCollector::kNoPackage, "shop", nullptr);
    const int admin = collector.addPackage(shop, "admin", nullptr);
    const int other = collector.addPackage(ClassCollector::kNoPackage, "shop", nullptr); // the same path again
    const int packages[] = {ClassCollector::kNoPackage, shop, admin, other};
    for (int i = 0; i < 3000; ++i) {
        // Names repeat every 997 classes, in a package that changes every
        // 7: some repeats share a path, most do not; some names are empty.
        const std::string name = i % 101 == 0 ? "" : "C" + std::to_string(i % 997);
        collector.addClass(packages[(i / 7) % 4], name, nullptr);
    }
    std::vector<ModelClass> classes;
    std::string error;
    ASSERT_TRUE(collector.finish(classes, error)) << error;
    ASSERT_EQ(classes.size(), 3000u);

    std::size_t duplicates = 0;
    for (std::size_t i = 0; i < classes.size(); ++i) {
        bool expected = false;
        for (std::size_t j = 0; j < classes.size() && !expected; ++j)
            expected = j != i && !classes[i].name.empty() && classes[j].name == classes[i].name &&
                       classes[j].package == classes[i].package;
        EXPECT_EQ(classes[i].duplicate, expected) << i << " " << classes[i].package << "." << classes[i].name;
        duplicates += expected;
    }
    // The case is not empty either way.
    EXPECT_GT(duplicates, 0u);
    EXPECT_LT(duplicates, classes.size());
}

} // namespace
} // namespace wiredhost

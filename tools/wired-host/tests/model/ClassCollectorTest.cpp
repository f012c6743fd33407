// Duplicates: two classes of one package path with one name. Checked
// against comparing every pair, on enough classes that the table's probes
// run into each other and wrap around its end. Stereotypes by every route
// a reader names them.
#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/ClassCollector.h"
#include "model/FirstEqual.h"
#include "model/NameHash.h"

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

// A stereotype comes by name, by an id defined before or after, by an id
// that is the name itself (Umbrello), or from the stereotype's own list of
// the elements it extends (UML 1.3), which may name an element hundreds of
// thousands of times under a long name: that costs no copy of the name.
TEST(ClassCollector, StereotypesComeByNameByIdAndByExtension)
{
    ClassCollector collector;
    collector.excludeStereotypedClasses(true);
    const int folder = collector.addPackage(ClassCollector::kNoPackage, "files", "folder-id");
    const int shop = collector.addPackage(folder, "shop", "shop-id");
    struct Case {
        const char* name;
        const char* id;
        bool kept;
    } cases[] = {
        {"ByName", "i0", false},       {"ByIdDefinedAfter", "i1", false}, {"ByIdThatIsTheName", "i2", false},
        {"Extended", "i3", false},     {"ExtendedByOthers", "i4", true},  {"Plain", "i5", true},
    };
    for (const Case& c : cases)
        collector.addClass(shop, c.name, c.id);
    collector.stereotypeByName(true, 0, "Enumeration");
    collector.stereotypeByRef(true, 1, "s1");
    collector.defineStereotype("s1", "interface");
    collector.stereotypeByRef(true, 2, "INTERFACE");
    collector.extendElement("enumeration", "i3");
    const std::string longName(1 << 20, 'S');
    for (int i = 0; i < 200000; ++i)
        collector.extendElement(longName, i % 2 == 0 ? "i4" : "i5");
    collector.extendElement("Folder", "folder-id");
    collector.resolveReferences();

    std::vector<ModelClass> classes;
    std::string error;
    ASSERT_TRUE(collector.finish(classes, error)) << error;
    std::vector<std::string> kept;
    for (const ModelClass& c : classes) {
        kept.push_back(c.name);
        EXPECT_EQ(c.package, "shop") << c.name << ": a «folder» adds nothing to the path";
    }
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        if (c.kept)
            expected.push_back(c.name);
    }
    EXPECT_EQ(kept, expected);
}

// Hashes next to each other (a name's hash and its package's number) must
// not fill a run of slots that later items walk: 200,000 items whose
// hashes follow those of 200,000 others took minutes that way.
TEST(ClassCollector, HashesNextToEachOtherMakeNoLongWalks)
{
    const std::size_t n = 200000;
    const auto started = std::chrono::steady_clock::now();
    const std::vector<std::size_t> first =
        firstEqual(2 * n, [n](std::size_t i) { return i < n ? i : i - n + 1; },
                   [](std::size_t a, std::size_t b) { return a == b; });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    for (std::size_t i = 0; i < first.size(); ++i)
        ASSERT_EQ(first[i], i);
    EXPECT_LT(seconds, 5.0);
    // Names compared without regard to ASCII case hash alike, and only those.
    EXPECT_EQ(foldedNameHash("Order_Item"), foldedNameHash("ORDER_item"));
    EXPECT_NE(foldedNameHash("Order_Item"), foldedNameHash("Order_Items"));
    EXPECT_EQ(nameHash("OrderItem"), nameHash(std::string("Order") + "Item"));
    EXPECT_NE(nameHash("OrderItem"), nameHash("orderItem"));
}

} // namespace
} // namespace wiredhost

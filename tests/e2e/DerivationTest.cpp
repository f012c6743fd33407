// Table names derived by the loaded plug-in, with the code lists read from
// config.xml.
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FakeNode.h"
#include "HostTest.h"
#include "Model.h"

using kavri_test::FakeNode;
using kavri_test::LogRecord;
using Codes = std::vector<std::string>;
using Calls = std::vector<std::string>;

namespace e2e {
namespace {

struct NameCase {
    Codes leaders;
    std::string name;
    std::string table;
};

std::ostream& operator<<(std::ostream& os, const NameCase& c)
{
    os << "leaders {";
    for (const std::string& code : c.leaders)
        os << " " << code;
    return os << " } name \"" << c.name << "\"";
}

class TableNameTest : public HostTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(TableNameTest, DerivesTheTableName)
{
    const NameCase& c = GetParam();
    kavri::IConvert* converter = converterFor(configWith({}, c.leaders));
    FakeNode node(c.name, "com.shop.model");
    Model model{&node};

    EXPECT_EQ(0, converter->convert(&model));
    // No package codes: the package is never asked for.
    EXPECT_EQ((Calls{"getKind", "getName", "setTable"}), node.calls);
    EXPECT_EQ(Calls{c.table}, node.tablesSet);
    EXPECT_EQ(std::vector<LogRecord>({{"Table is set.", c.table, "wiredClsTab\\KavriWired", 92}}), host.logs);
}

INSTANTIATE_TEST_SUITE_P(Names, TableNameTest,
    ::testing::Values(
        NameCase{{}, "OrderItem", "Order_Item"},
        NameCase{{}, "aBcD", "a_Bc_D"},
        NameCase{{}, "URLParser", "URLParser"},
        NameCase{{}, "orderItemID", "order_Item_ID"},
        NameCase{{}, "newSKUPrice", "new_SKUPrice"},
        NameCase{{}, "Order2Item", "Order2Item"},
        NameCase{{}, "order_Item", "order_Item"},
        NameCase{{}, "", ""},
        NameCase{{}, "x", "x"},
        NameCase{{"C"}, "COrderLine", "Order_Line"},
        NameCase{{"C"}, "CCOrder", "COrder"},
        NameCase{{"T", "TB"}, "TBOrder", "BOrder"},
        NameCase{{"TB", "T"}, "TBOrder", "Order"},
        NameCase{{"t_"}, "t_orderItem", "order_Item"},
        NameCase{{"Tb"}, "TBOrder", "TBOrder"},
        NameCase{{"C"}, "C", ""},
        NameCase{{"Order"}, "Ord", "Ord"},
        NameCase{{"C"}, "", ""}));

struct PackageCase {
    Codes packages;
    std::string path;
    bool passes;
};

std::ostream& operator<<(std::ostream& os, const PackageCase& c)
{
    os << "packages {";
    for (const std::string& code : c.packages)
        os << " " << code;
    return os << " } path \"" << c.path << "\"";
}

class PackageFilterTest : public HostTest, public ::testing::WithParamInterface<PackageCase> {};

TEST_P(PackageFilterTest, FirstClassNodeIsNamedOnlyInAConfiguredPackage)
{
    const PackageCase& c = GetParam();
    kavri::IConvert* converter = converterFor(configWith(c.packages, {"T"}));
    FakeNode first("TOrderItem", c.path);
    FakeNode second("TCustomer", "com.shop.model");
    Model model{&first, &second};

    EXPECT_EQ(0, converter->convert(&model));
    if (c.passes) {
        EXPECT_EQ((Calls{"getKind", "getPackage", "getName", "setTable"}), first.calls);
        EXPECT_EQ(Calls{"Order_Item"}, first.tablesSet);
        EXPECT_EQ(std::vector<LogRecord>({{"Table is set.", "Order_Item", "wiredClsTab\\KavriWired", 92}}),
                  host.logs);
    } else {
        // Skipped silently, and the converter is spent all the same.
        EXPECT_EQ((Calls{"getKind", "getPackage"}), first.calls);
        EXPECT_TRUE(host.logs.empty());
    }
    EXPECT_EQ(Calls{}, second.calls);
    Model again{&second};
    EXPECT_EQ(0, converter->convert(&again));
    EXPECT_EQ(Calls{}, again.calls);
}

INSTANTIATE_TEST_SUITE_P(Paths, PackageFilterTest,
    ::testing::Values(
        PackageCase{{"model"}, "com.shop.model", true},
        PackageCase{{"model"}, "model", true},
        PackageCase{{"shop.model"}, "com.shop.model", true},
        PackageCase{{"hop.model", "model"}, "com.shop.model", true},
        PackageCase{{"QA", "PM"}, "x.PM", true},
        PackageCase{{"model"}, "com.shopmodel", false},
        PackageCase{{".model"}, "com.shop.model", false},
        PackageCase{{"shop"}, "com.shop.model", false},
        PackageCase{{"Model"}, "com.shop.model", false},
        PackageCase{{"model"}, "odel", false},
        PackageCase{{"model"}, "", false},
        PackageCase{{"PM"}, "x.QA", false}));

} // namespace
} // namespace e2e

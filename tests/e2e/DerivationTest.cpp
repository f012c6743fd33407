// Table names derived by the loaded plug-in, with the code lists read from
// config.xml.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kavri/LogRecords.h"

#include "FakeNode.h"
#include "HostTest.h"
#include "Model.h"
#include "NamingCases.h"

using kavri_test::FakeNode;
using kavri_test::LogRecord;
using kavri_test::NameCase;
using kavri_test::PackageCase;
using Calls = std::vector<std::string>;

namespace e2e {
namespace logline = kavri::logline;

namespace {

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
    EXPECT_EQ(std::vector<LogRecord>({{"Table is set.", c.table, logline::kWiredSource, logline::kTableSet}}), host.logs);
}

INSTANTIATE_TEST_SUITE_P(Names, TableNameTest, ::testing::ValuesIn(kavri_test::nameCases()));

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
        EXPECT_EQ(std::vector<LogRecord>({{"Table is set.", "Order_Item", logline::kWiredSource, logline::kTableSet}}),
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

INSTANTIATE_TEST_SUITE_P(Paths, PackageFilterTest, ::testing::ValuesIn(kavri_test::packageCases()));

} // namespace
} // namespace e2e

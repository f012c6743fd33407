#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kavri/LogRecords.h"

#include "AllocationFaults.h"
#include "FakeNode.h"
#include "LeakCheck.h"
#include "PluginCopy.h"
#include "ProcessUsage.h"
#include "RecordingHost.h"

using hardening::FailingAllocation;
using hostkit::PluginInstance;
using kavri_test::PluginCopy;
using hardening::ProcessUsage;
using kavri_test::FakeNode;
using kavri_test::LogRecord;
using kavri_test::RecordingHost;

namespace logline = kavri::logline;

namespace {

// Codes long enough to live on the heap, so that storing them allocates.
const char kConfig[] =
    "<?xml version=\"1.0\"?>\n"
    "<Wired>\n"
    "  <Package code=\"model\"/>\n"
    "  <Leader code=\"TB\"/>\n"
    "  <Leader code=\"a_leader_code_longer_than_any_short_string\"/>\n"
    "  <Link class=\"Person\" table=\"PERSON_INFO\"/>\n"
    "  <Package code=\"a.package.code.longer.than.any.short.string\"/>\n"
    "  <Link class=\"OrderLineWithAClassNameLongerThanShort\" table=\"ORDER_LINE\"/>\n"
    "</Wired>\n";

// The warning paths allocate too (language, caption text).
const char* const kRejectedConfigs[] = {
    "<Other/>",                 // not a configuration of this converter
    "<Wired><Package></Wired>", // mismatched end tag
    "<Wired code='1' code='2'/>", // numeric XML error
};

// After any failure, a converter of this configuration still names the first
// class node of a model: leader TB removed, package "model" accepted.
void expectNamesTables(kavri::IConvert* converter, RecordingHost& host)
{
    FakeNode model("model", "", 1);
    FakeNode classNode("TBOrderItem", "com.shop.model");
    model.children = {&classNode};
    host.logs.clear();
    EXPECT_EQ(0, converter->reset());
    EXPECT_EQ(0, converter->convert(&model));
    EXPECT_EQ(std::vector<std::string>{"Order_Item"}, classNode.tablesSet);
    EXPECT_EQ(std::vector<LogRecord>({{"Table is set.", "Order_Item", logline::kWiredSource, logline::kTableSet}}), host.logs);
}

// Fails allocation 1, 2, 3... of registConvert until one call completes.
// Returns the number of allocations that were made to fail.
long failEachAllocationOfCreation(const PluginCopy& plugin)
{
    for (long n = 1;; ++n) {
        const int openFiles = ProcessUsage::now().openFiles;
        if (n == 1) {
            EXPECT_GT(openFiles, 0) << "the open files cannot be counted";
        }
        RecordingHost host;
        kavri::IConvert* converter = nullptr;
        bool threw = false;
        bool fired = false;
        {
            FailingAllocation fault(n, plugin.module());
            try {
                converter = plugin.registConvert(host);
            } catch (const std::bad_alloc&) {
                threw = true;
            }
            fired = fault.fired();
        }
        EXPECT_EQ(fired, threw) << "allocation " << n << " failed without reaching the host's call";
        EXPECT_EQ(openFiles, ProcessUsage::now().openFiles) << "after failing allocation " << n;
        if (!fired) {
            EXPECT_NE(nullptr, converter);
            PluginInstance::keep(converter);
            return n - 1;
        }
        EXPECT_EQ(nullptr, converter);
    }
}

TEST(AllocationFaults, EachAllocationWhileCreatingAConverterReachesTheHost)
{
    PluginCopy plugin(kConfig);
    RecordingHost earlierHost;
    kavri::IConvert* earlier = plugin.create(earlierHost).converter;

    const long failed = failEachAllocationOfCreation(plugin);
    // The converter, the path, the document, its nodes and the codes at least.
    EXPECT_GT(failed, 10);
    EXPECT_FALSE(hardening::leaksFound());

    // A converter made before the failures is untouched by them.
    expectNamesTables(earlier, earlierHost);
    RecordingHost laterHost;
    expectNamesTables(plugin.create(laterHost).converter, laterHost);
}

TEST(AllocationFaults, EachAllocationOfARejectedConfigurationReachesTheHost)
{
    for (const char* config : kRejectedConfigs) {
        SCOPED_TRACE(config);
        PluginCopy plugin(config);
        hostkit::WarningCapture quiet(plugin.module());
        EXPECT_GT(failEachAllocationOfCreation(plugin), 2);
        EXPECT_FALSE(hardening::leaksFound());
    }
}

TEST(AllocationFaults, EachAllocationWhileConvertingReachesTheHostAndTheConverterStaysUsable)
{
    PluginCopy plugin(kConfig);
    RecordingHost host;
    kavri::IConvert* converter = plugin.create(host).converter;
    // A class name and package long enough that copying them allocates.
    const std::string longName = "TBPurchaseOrderLineItemWithAVeryLongName";

    long n = 1;
    for (;; ++n) {
        FakeNode model("model", "", 1);
        FakeNode classNode(longName, "com.shop.purchasing.orders.model");
        model.children = {&classNode};
        model.calls.reserve(8);
        classNode.calls.reserve(8);
        classNode.tablesSet.reserve(2);
        host.logs.reserve(host.logs.size() + 2);
        converter->reset();
        bool threw = false;
        bool fired = false;
        {
            FailingAllocation fault(n, plugin.module());
            try {
                converter->convert(&model);
            } catch (const std::bad_alloc&) {
                threw = true;
            }
            fired = fault.fired();
        }
        ASSERT_EQ(fired, threw) << "allocation " << n;
        if (!fired) {
            EXPECT_EQ(std::vector<std::string>{"Purchase_Order_Line_Item_With_AVery_Long_Name"}, classNode.tablesSet);
            break;
        }
        expectNamesTables(converter, host);
    }
    // The package, the name and the table name, and the host's own log
    // copies; with Visual Studio's runtime only the plug-in's table name.
#ifdef _MSC_VER
    EXPECT_GE(n - 1, 1);
#else
    EXPECT_GE(n - 1, 4);
#endif
    EXPECT_FALSE(hardening::leaksFound());
}

} // namespace

// The converter's operations, driven through the loaded plug-in.
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kavri/LogRecords.h"

#include "FakeNode.h"
#include "HostTest.h"
#include "Model.h"

using kavri_test::FakeNode;
using kavri_test::LogRecord;
using Calls = std::vector<std::string>;

namespace e2e {
namespace logline = kavri::logline;

namespace {

class ConverterTest : public HostTest {};

// Every reserved slot with every argument; each must answer 0.
void callReservedSlots(kavri::IConvert* converter)
{
    for (std::int32_t value : {0, 1, -1, 24, 5, INT_MIN, INT_MAX}) {
        EXPECT_EQ(0, converter->reserved1(value)) << value;
        EXPECT_EQ(0, converter->reserved3(value)) << value;
        EXPECT_EQ(0, converter->reserved7(value, 0)) << value;
        EXPECT_EQ(0, converter->reserved7(0, value)) << value;
        EXPECT_EQ(0, converter->reserved7(value, value)) << value;
    }
    EXPECT_EQ(0, converter->reserved5());
    EXPECT_EQ(0, converter->reserved6());
    EXPECT_EQ(0, converter->reserved8());
    EXPECT_EQ(0, converter->reserved9());
    EXPECT_EQ(0, converter->reserved10());
}

TEST_F(ConverterTest, ReservedSlotsAnswerZeroAndChangeNothing)
{
    kavri::IConvert* converter = converterFor("<Wired><Leader code=\"T\"/></Wired>");

    // A ready converter stays ready and keeps its leader code.
    callReservedSlots(converter);
    FakeNode order("TOrderItem");
    Model model{&order};
    EXPECT_EQ(0, converter->convert(&model));
    EXPECT_EQ(Calls{"Order_Item"}, order.tablesSet);

    // A spent converter stays spent: the next convert asks nothing.
    callReservedSlots(converter);
    Model later{&order};
    EXPECT_EQ(0, converter->convert(&later));
    EXPECT_EQ(Calls{}, later.calls);
    EXPECT_EQ(1u, host.logs.size());
}

TEST_F(ConverterTest, ResetAnswersZeroAndMakesTheConverterReady)
{
    kavri::IConvert* converter = converterFor(kEmptyConfig);
    EXPECT_EQ(0, converter->reset());
    EXPECT_EQ(0, converter->reset());

    FakeNode order("OrderItem");
    for (int round = 1; round <= 3; ++round) {
        Model model{&order};
        EXPECT_EQ(0, converter->convert(&model));
        EXPECT_EQ(0, converter->reset());
        EXPECT_EQ(static_cast<std::size_t>(round), order.tablesSet.size());
    }
    EXPECT_EQ(3u, host.logs.size());
}

TEST_F(ConverterTest, EveryCallMakesAnIndependentConverter)
{
    plugin.writeConfig("<Wired><Link class=\"Person\" table=\"PERSON_INFO\"/></Wired>");
    kavri::IConvert* first = plugin.create(host).converter;
    kavri::IConvert* second = plugin.create(host).converter;
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_NE(first, second);
    // Each converter read the file anew and registered its link.
    EXPECT_EQ(2u, host.links.size());

    FakeNode order("OrderItem");
    Model model{&order};
    EXPECT_EQ(0, first->convert(&model));
    EXPECT_EQ(1u, order.tablesSet.size());

    // The first is spent; the second is still ready.
    Model again{&order};
    EXPECT_EQ(0, first->convert(&again));
    EXPECT_EQ(Calls{}, again.calls);
    EXPECT_EQ(0, second->convert(&again));
    EXPECT_EQ(2u, order.tablesSet.size());

    // Resetting the first leaves the second spent.
    EXPECT_EQ(0, first->reset());
    Model third{&order};
    EXPECT_EQ(0, second->convert(&third));
    EXPECT_EQ(Calls{}, third.calls);
    EXPECT_EQ(0, first->convert(&third));
    EXPECT_EQ(3u, order.tablesSet.size());
}

TEST_F(ConverterTest, ConvertRefusesEveryTypeButFive)
{
    kavri::IConvert* converter = converterFor(kEmptyConfig);
    FakeNode order("OrderItem");
    for (int type : {0, 4, 6, 24, -5, INT_MIN}) {
        Model model{&order};
        model.type = type;
        model.traverseAnswer = 7;
        EXPECT_EQ(0, converter->convert(&model)) << "type " << type;
        EXPECT_EQ(Calls{"getType"}, model.calls) << "type " << type;
    }
    EXPECT_EQ(Calls{}, order.calls);

    // Refusals leave the converter ready.
    Model model{&order};
    EXPECT_EQ(0, converter->convert(&model));
    EXPECT_EQ(Calls{"Order_Item"}, order.tablesSet);
}

TEST_F(ConverterTest, ConvertPassesTheTraversalResultOn)
{
    kavri::IConvert* converter = converterFor(kEmptyConfig);
    for (int answer : {7, -1, 0, INT_MAX}) {
        FakeNode order("OrderItem");
        Model model{&order};
        model.traverseAnswer = answer;
        EXPECT_EQ(0, converter->reset());
        EXPECT_EQ(answer, converter->convert(&model));
        EXPECT_EQ((Calls{"getType", "traverse"}), model.calls);
        EXPECT_EQ(std::vector<int>{0}, model.visitorResults);
    }
}

TEST_F(ConverterTest, SpentConverterDoesNotEvenAskTheType)
{
    kavri::IConvert* converter = converterFor(kEmptyConfig);
    FakeNode order("OrderItem");
    Model first{&order};
    first.traverseAnswer = 7;
    EXPECT_EQ(7, converter->convert(&first));

    Model second{&order};
    second.traverseAnswer = 7;
    EXPECT_EQ(0, converter->convert(&second));
    EXPECT_EQ(Calls{}, second.calls);
}

TEST_F(ConverterTest, OnlyTheFirstClassNodeIsExaminedPerReset)
{
    kavri::IConvert* converter = converterFor(kEmptyConfig);
    FakeNode package("shop", "com", 3);
    FakeNode order("OrderItem", "com.shop");
    FakeNode customer("CustomerAddress", "com.shop");
    Model model{&package, &order, &customer};

    EXPECT_EQ(0, converter->convert(&model));
    EXPECT_EQ((Calls{"getKind", "getName", "setTable"}), order.calls);
    EXPECT_EQ(Calls{"Order_Item"}, order.tablesSet);
    EXPECT_EQ(Calls{}, customer.calls);
    EXPECT_EQ((std::vector<int>{0, 0, 0}), model.visitorResults);

    // Spent: no traversal at all.
    model.calls.clear();
    EXPECT_EQ(0, converter->convert(&model));
    EXPECT_EQ(Calls{}, model.calls);

    // After a reset the same first class node is examined again.
    EXPECT_EQ(0, converter->reset());
    EXPECT_EQ(0, converter->convert(&model));
    EXPECT_EQ((Calls{"Order_Item", "Order_Item"}), order.tablesSet);
    EXPECT_EQ(Calls{}, customer.calls);
}

TEST_F(ConverterTest, NonClassNodesArePassedOver)
{
    kavri::IConvert* converter = converterFor("<Wired><Package code=\"shop\"/></Wired>");
    std::vector<FakeNode> others;
    for (int kind : {0, 5, 23, 25, -24})
        others.emplace_back("OrderItem", "com.shop", kind);
    Model model{&others[0], &others[1], &others[2], &others[3], &others[4]};

    EXPECT_EQ(0, converter->convert(&model));
    for (const FakeNode& node : others)
        EXPECT_EQ(Calls{"getKind"}, node.calls) << "kind " << node.kind;
    EXPECT_EQ(std::vector<int>(5, 0), model.visitorResults);
    EXPECT_TRUE(host.logs.empty());

    // Still ready: the next traversal examines its class node.
    FakeNode order("OrderItem", "com.shop");
    Model next{&others[0], &order};
    EXPECT_EQ(0, converter->convert(&next));
    EXPECT_EQ((Calls{"getKind", "getPackage", "getName", "setTable"}), order.calls);
}

struct LogCase {
    int answer;
    std::vector<LogRecord> expected;
};

TEST_F(ConverterTest, SetTableAnswerDecidesTheLogRecord)
{
    const LogCase cases[] = {
        {1, {{"Table is set.", "Order_Item", logline::kWiredSource, logline::kTableSet}}},
        {42, {{"Table is set.", "Order_Item", logline::kWiredSource, logline::kTableSet}}},
        {-1, {{"Table is not found.", "Order_Item", logline::kWiredSource, logline::kTableNotFound}}},
        {INT_MIN, {{"Table is not found.", "Order_Item", logline::kWiredSource, logline::kTableNotFound}}},
        {0, {}},
    };
    for (const LogCase& c : cases) {
        kavri_test::RecordingHost caseHost;
        plugin.writeConfig(kEmptyConfig);
        kavri::IConvert* converter = plugin.create(caseHost).converter;
        FakeNode order("OrderItem");
        order.setTableAnswer = c.answer;
        Model model{&order};
        EXPECT_EQ(0, converter->convert(&model));
        EXPECT_EQ(c.expected, caseHost.logs) << "setTable answered " << c.answer;
    }
}

} // namespace
} // namespace e2e

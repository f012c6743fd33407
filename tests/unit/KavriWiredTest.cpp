#include <climits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kavri/LogRecords.h"

#include "FakeNode.h"
#include "FakePlatform.h"
#include "KavriNaming.h"
#include "KavriWired.h"
#include "NamingCases.h"
#include "platform/Platform.h"
#include "RecordingHost.h"

using kavri::KavriNaming;
using kavri::KavriWired;
using kavri_test::FakeNode;
using kavri_test::FakePlatform;
using kavri_test::LogRecord;
using kavri_test::NameCase;
using kavri_test::PackageCase;
using kavri_test::RecordingHost;

namespace logline = kavri::logline;

namespace {

// A converter whose configuration was not found: both code lists empty.
class KavriWiredTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakePlatform::reset();
        FakePlatform::instance().modulePath = "/nowhere/at/all/libwiredClsTab.so";
        wired = std::make_unique<KavriWired>(&host);
        host.logs.clear();
        FakePlatform::instance().warnings.clear();
    }

    // A model node whose traversal visits the given nodes.
    FakeNode& model(std::vector<FakeNode*> nodes)
    {
        root.type = 5;
        root.kind = 0;
        root.children.assign(nodes.begin(), nodes.end());
        return root;
    }

    RecordingHost host;
    std::unique_ptr<KavriWired> wired;
    FakeNode root;
};

TEST_F(KavriWiredTest, ReservedSlotsAnswerZeroAndChangeNothing)
{
    kavri::IConvert* convert = wired.get();
    for (std::int32_t value : {0, 1, -1, INT_MIN, INT_MAX}) {
        EXPECT_EQ(0, convert->reserved1(value));
        EXPECT_EQ(0, convert->reserved3(value));
        EXPECT_EQ(0, convert->reserved7(value, value));
    }
    EXPECT_EQ(0, convert->reserved5());
    EXPECT_EQ(0, convert->reserved6());
    EXPECT_EQ(0, convert->reserved8());
    EXPECT_EQ(0, convert->reserved9());
    EXPECT_EQ(0, convert->reserved10());
    EXPECT_EQ(0, wired->handledCount);
    EXPECT_EQ(&host, wired->host);
    EXPECT_TRUE(host.logs.empty());
}

TEST_F(KavriWiredTest, ConvertPassesTraverseResultThrough)
{
    for (int answer : {7, -1, 0}) {
        FakeNode root;
        root.traverseAnswer = answer;
        EXPECT_EQ(0, wired->reset());
        EXPECT_EQ(answer, wired->convert(&root));
        EXPECT_EQ(1, root.count("traverse"));
    }
}

TEST_F(KavriWiredTest, ConvertRefusesOtherTypesWithoutTraversing)
{
    for (int type : {0, 4, 6, 24, -5}) {
        FakeNode root;
        root.type = type;
        root.traverseAnswer = 9;
        EXPECT_EQ(0, wired->convert(&root)) << type;
        EXPECT_EQ(std::vector<std::string>{"getType"}, root.calls) << type;
    }
}

TEST_F(KavriWiredTest, OneClassNodePerReset)
{
    FakeNode package("", "", 3), first("FirstClass"), second("SecondClass");
    FakeNode& root = model({&package, &first, &second});

    EXPECT_EQ(0, wired->convert(&root));
    EXPECT_EQ(std::vector<std::string>{"First_Class"}, first.tablesSet);
    EXPECT_TRUE(second.calls.empty());
    EXPECT_EQ(std::vector<std::string>{"getKind"}, package.calls);
    EXPECT_EQ((std::vector<int>{0, 0, 0}), root.visitorResults);
    EXPECT_EQ(1, wired->handledCount);

    // Spent: not even the type is asked.
    root.calls.clear();
    EXPECT_EQ(0, wired->convert(&root));
    EXPECT_TRUE(root.calls.empty());

    EXPECT_EQ(0, wired->reset());
    EXPECT_EQ(0, wired->convert(&root));
    EXPECT_EQ((std::vector<std::string>{"First_Class", "First_Class"}), first.tablesSet);
    EXPECT_TRUE(second.calls.empty());
}

TEST_F(KavriWiredTest, TraversalWithoutClassNodeLeavesConverterReady)
{
    FakeNode other("Other", "", 7);
    FakeNode& root = model({&other});
    wired->convert(&root);
    EXPECT_EQ(0, wired->handledCount);
    EXPECT_EQ(std::vector<std::string>{"getKind"}, other.calls);
    wired->convert(&root);
    EXPECT_EQ(2, root.count("traverse"));
}

TEST_F(KavriWiredTest, VisitorKeptByTheHostStillCallsTheConverter)
{
    kavri::NodeVisitor kept;
    struct KeepingNode : FakeNode {
        kavri::NodeVisitor* slot;
        int traverse(kavri::NodeVisitor visitor) override
        {
            *slot = visitor;
            return 3;
        }
    } root;
    root.slot = &kept;
    EXPECT_EQ(3, wired->convert(&root));
    FakeNode cls("LateClass");
    EXPECT_EQ(0, kept(&cls));
    EXPECT_EQ(std::vector<std::string>{"Late_Class"}, cls.tablesSet);
}

TEST_F(KavriWiredTest, OutcomeIsLogged)
{
    struct Case {
        int answer;
        std::vector<LogRecord> logs;
    };
    const Case cases[] = {
        {1, {{"Table is set.", "Order_Item", logline::kWiredSource, logline::kTableSet}}},
        {5, {{"Table is set.", "Order_Item", logline::kWiredSource, logline::kTableSet}}},
        {-1, {{"Table is not found.", "Order_Item", logline::kWiredSource, logline::kTableNotFound}}},
        {0, {}},
    };
    for (const Case& c : cases) {
        host.logs.clear();
        FakeNode cls("OrderItem");
        cls.setTableAnswer = c.answer;
        wired->reset();
        wired->convert(&model({&cls}));
        EXPECT_EQ(c.logs, host.logs) << c.answer;
        EXPECT_EQ(1, wired->handledCount);
    }
}

TEST_F(KavriWiredTest, EmptyNameGivesEmptyTableAndLogsIt)
{
    FakeNode cls("");
    wired->convert(&model({&cls}));
    EXPECT_EQ(std::vector<std::string>{""}, cls.tablesSet);
    EXPECT_EQ((std::vector<LogRecord>{{"Table is set.", "", logline::kWiredSource, logline::kTableSet}}), host.logs);
}

TEST_F(KavriWiredTest, EmptyPackageListNeverAsksForThePackage)
{
    wired->leaderCodes = {"C"};
    FakeNode cls("COrderLine", "any.where");
    wired->convert(&model({&cls}));
    EXPECT_EQ((std::vector<std::string>{"getKind", "getName", "setTable"}), cls.calls);
    EXPECT_EQ(std::vector<std::string>{"Order_Line"}, cls.tablesSet);
}

TEST_F(KavriWiredTest, FilteredClassSpendsTheConverterSilently)
{
    wired->packageCodes = {"model"};
    FakeNode cls("OrderItem", ""), next("NextClass", "com.model");
    wired->convert(&model({&cls, &next}));
    EXPECT_EQ((std::vector<std::string>{"getKind", "getPackage"}), cls.calls);
    EXPECT_TRUE(next.calls.empty());
    EXPECT_TRUE(host.logs.empty());
    EXPECT_EQ(1, wired->handledCount);
}

TEST_F(KavriWiredTest, PassingClassAsksPackageThenName)
{
    wired->packageCodes = {"model"};
    FakeNode cls("OrderItem", "com.shop.model");
    wired->convert(&model({&cls}));
    EXPECT_EQ((std::vector<std::string>{"getKind", "getPackage", "getName", "setTable"}), cls.calls);
}

TEST_F(KavriWiredTest, HostExceptionsPassThroughAndLeaveTheCounterAsReached)
{
    struct Case {
        const char* operation;
        int countAfter;
    };
    for (const Case& c : {Case{"traverse", 0}, Case{"getKind", 0}, Case{"getPackage", 0}, Case{"getName", 0},
                          Case{"setTable", 1}}) {
        wired->reset();
        wired->packageCodes = {"model"};
        FakeNode cls("OrderItem", "model");
        cls.beforeCall = [&](const char* op) {
            if (std::string(op) == c.operation)
                throw std::runtime_error(c.operation);
        };
        FakeNode& root = model({&cls});
        root.beforeCall = cls.beforeCall;
        try {
            wired->convert(&root);
            ADD_FAILURE() << "no exception from " << c.operation;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(c.operation, e.what());
        }
        EXPECT_EQ(c.countAfter, wired->handledCount) << c.operation;
        root.beforeCall = nullptr;
    }

    wired->reset();
    host.beforeCall = [](const char* op) { throw std::string(op); };
    FakeNode cls("OrderItem", "model");
    try {
        wired->convert(&model({&cls}));
        ADD_FAILURE() << "no exception from log";
    } catch (const std::string& op) {
        EXPECT_EQ("log", op);
    }
}

const kavri::KavriCodes kNoCodes;

std::string tableNameFor(const std::string& name, const std::vector<std::string>& leaders)
{
    const kavri::KavriCodes leaderCodes(leaders);
    return KavriNaming(kNoCodes, leaderCodes, kavri::platform::isLeadByte).tableNameFor(name);
}

class TableNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(TableNameTest, Derives)
{
    EXPECT_EQ(GetParam().table, tableNameFor(GetParam().name, GetParam().leaders));
}

INSTANTIATE_TEST_SUITE_P(Names, TableNameTest, ::testing::ValuesIn(kavri_test::nameCases()));

// In a double-byte code page a character is taken whole: a second byte that
// looks like a lower-case letter makes no seam, and a lead byte at the very
// end is a byte like any other. GBK 條 is 97 6C, Shift-JIS ド is 83 68.
TEST(DoubleByteNames, ACharacterIsNeverHalfOfASeam)
{
    FakePlatform::reset();
    FakePlatform::instance().leadBytes = "\x97\x83";
    const std::pair<std::string, std::string> cases[] = {
        {"\x97lCode", "\x97lCode"},
        {"\x83J\x83\x5b\x83hInfo", "\x83J\x83\x5b\x83hInfo"},
        {"a\x97lB", "a\x97lB"},
        {"\x97lCodeName", "\x97lCode_Name"},
        {"orderItem\x97", "order_Item\x97"},
        {std::string(70, 'a') + "\x97lB" + "xY", std::string(70, 'a') + "\x97lBx_Y"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.second, tableNameFor(c.first, {})) << c.first;
    FakePlatform::reset();
}

class PackageFilterTest : public ::testing::TestWithParam<PackageCase> {};

TEST_P(PackageFilterTest, Matches)
{
    const kavri::KavriCodes packageCodes(GetParam().packages);
    EXPECT_EQ(GetParam().passes, KavriNaming(packageCodes, kNoCodes, kavri::platform::isLeadByte).passes(GetParam().path));
}

INSTANTIATE_TEST_SUITE_P(Paths, PackageFilterTest, ::testing::ValuesIn(kavri_test::packageCases()));

} // namespace

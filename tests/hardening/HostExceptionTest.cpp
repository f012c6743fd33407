#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kavri/LogRecords.h"

#include "FakeNode.h"
#include "LeakCheck.h"
#include "PluginCopy.h"
#include "ProcessUsage.h"
#include "RecordingHost.h"

using hostkit::PluginInstance;
using kavri_test::PluginCopy;
using hardening::ProcessUsage;
using kavri_test::FakeNode;
using kavri_test::LogRecord;
using kavri_test::RecordingHost;
using Sites = std::set<std::string>;

namespace logline = kavri::logline;

namespace {

const char kConfig[] =
    "<Wired>"
    "<Package code=\"model\"/><Leader code=\"TB\"/>"
    "<Link class=\"Person\" table=\"PERSON_INFO\"/>"
    "<Link class=\"Order\" table=\"NO_SUCH_TABLE\"/>"
    "</Wired>";

// What the host throws: its own type, carrying which call it came from, so
// the test sees that the very same exception arrives unchanged.
struct HostFailure {
    int call;
    std::string operation;
};

// Makes the Nth host or node operation throw a HostFailure.
class ThrowingHostCalls {
public:
    explicit ThrowingHostCalls(int nth) : nth_(nth) {}

    std::function<void(const char*)> hook()
    {
        return [this](const char* operation) {
            if (++calls_ == nth_)
                throw HostFailure{nth_, operation};
        };
    }

private:
    int nth_;
    int calls_ = 0;
};

// Host answers: the first link is made, the second fails, so both log
// records of link registration are written.
void answerLinksOnceEach(RecordingHost& host, std::function<void(const char*)> thrower)
{
    auto linkCalls = std::make_shared<int>(0);
    host.beforeCall = [&host, linkCalls, thrower](const char* operation) {
        if (std::string(operation) == "registerLink")
            host.linkAnswer = ++*linkCalls == 1 ? 1 : -1;
        thrower(operation);
    };
}

// Throws from host call 1, 2, 3... of registConvert until one completes;
// returns the operations thrown from.
Sites throwFromEachCreationCall(const PluginCopy& plugin)
{
    Sites sites;
    const int openFiles = ProcessUsage::now().openFiles;
    for (int n = 1;; ++n) {
        RecordingHost host;
        ThrowingHostCalls thrower(n);
        answerLinksOnceEach(host, thrower.hook());
        try {
            PluginInstance::keep(plugin.registConvert(host));
            return sites;
        } catch (const HostFailure& failure) {
            EXPECT_EQ(n, failure.call);
            sites.insert(failure.operation);
        }
        EXPECT_EQ(openFiles, ProcessUsage::now().openFiles) << "after host call " << n << " threw";
    }
}

TEST(HostExceptions, EachHostCallWhileCreatingAConverterPassesBackUnchanged)
{
    PluginCopy plugin(kConfig);
    EXPECT_EQ(Sites({"registerLink", "log"}), throwFromEachCreationCall(plugin));

    // A rejected configuration asks for the language before its warning.
    PluginCopy foreign("<Other/>");
    hostkit::WarningCapture quiet(foreign.module());
    EXPECT_EQ(Sites({"getLanguage"}), throwFromEachCreationCall(foreign));
    EXPECT_FALSE(hardening::leaksFound());
}

TEST(HostExceptions, EachNodeAndHostCallWhileConvertingPassesBackAndTheConverterStaysUsable)
{
    PluginCopy plugin(kConfig);
    RecordingHost host;
    kavri::IConvert* converter = plugin.create(host).converter;

    // setTable answers 1 and -1, so both log records are reached.
    for (int answer : {1, -1}) {
        SCOPED_TRACE(answer);
        Sites sites;
        for (int n = 1;; ++n) {
            FakeNode model("model", "", 1);
            FakeNode other("Diagram", "com.shop.model", 7);
            FakeNode classNode("TBOrderItem", "com.shop.model");
            classNode.setTableAnswer = answer;
            model.children = {&other, &classNode};
            ThrowingHostCalls thrower(n);
            const auto hook = thrower.hook();
            model.beforeCall = other.beforeCall = classNode.beforeCall = host.beforeCall = hook;
            host.logs.clear();
            converter->reset();
            try {
                converter->convert(&model);
                host.beforeCall = nullptr;
                const char* message = answer > 0 ? "Table is set." : "Table is not found.";
                EXPECT_EQ(std::vector<LogRecord>({{message, "Order_Item", logline::kWiredSource, answer > 0 ? logline::kTableSet : logline::kTableNotFound}}),
                          host.logs);
                break;
            } catch (const HostFailure& failure) {
                EXPECT_EQ(n, failure.call);
                sites.insert(failure.operation);
            }
            host.beforeCall = nullptr;
            // The converter is usable after the failure: reset, convert again.
            FakeNode again("TBOrderItem", "com.shop.model");
            FakeNode againModel("model", "", 1);
            againModel.children = {&again};
            EXPECT_EQ(0, converter->reset());
            converter->convert(&againModel);
            EXPECT_EQ(std::vector<std::string>{"Order_Item"}, again.tablesSet) << "after call " << n << " threw";
        }
        EXPECT_EQ(Sites({"getType", "traverse", "getKind", "getPackage", "getName", "setTable", "log"}), sites);
    }
    EXPECT_FALSE(hardening::leaksFound());
}

} // namespace

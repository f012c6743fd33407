// Exceptions thrown by the host's own operations pass through the plug-in
// and arrive unchanged at the host's call into it.
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FakeNode.h"
#include "HostTest.h"
#include "Model.h"

using kavri_test::FakeNode;
using kavri_test::RecordingHost;
using Calls = std::vector<std::string>;

namespace e2e {
namespace {

// The host's own exception type: its type and its value must survive the
// trip through the plug-in.
class HostError : public std::exception {
public:
    explicit HostError(int code) : code(code) {}
    const char* what() const noexcept override { return "host error"; }
    int code;
};

enum class Payload { HostErrorObject, PlainInt };

const Payload kPayloads[] = {Payload::HostErrorObject, Payload::PlainInt};

const int kHostErrorCode = 4711;
const int kPlainInt = -273;

// A hook for FakeNode and RecordingHost that throws from one operation.
std::function<void(const char*)> throwFrom(const std::string& operation, Payload payload)
{
    return [operation, payload](const char* called) {
        if (operation != called)
            return;
        if (payload == Payload::HostErrorObject)
            throw HostError(kHostErrorCode);
        throw kPlainInt;
    };
}

// Runs call and expects exactly the payload to come out of it.
void expectArrives(Payload payload, const std::function<void()>& call)
{
    try {
        call();
        ADD_FAILURE() << "nothing was thrown";
    } catch (const HostError& error) {
        EXPECT_EQ(Payload::HostErrorObject, payload) << "a HostError came instead of an int";
        EXPECT_EQ(kHostErrorCode, error.code);
    } catch (int value) {
        EXPECT_EQ(Payload::PlainInt, payload) << "an int came instead of a HostError";
        EXPECT_EQ(kPlainInt, value);
    } catch (...) {
        ADD_FAILURE() << "an exception of another type arrived";
    }
}

struct ConvertCase {
    const char* operation;
    // Whether the converter is spent once the exception has passed.
    bool spent;
};

class HostExceptionTest : public HostTest {};

TEST_F(HostExceptionTest, FromTheHostDuringConvert)
{
    const ConvertCase cases[] = {
        {"traverse", false},
        {"getName", false},
        {"setTable", true},
        {"log", true},
    };
    for (const ConvertCase& c : cases) {
        for (Payload payload : kPayloads) {
            SCOPED_TRACE(std::string("thrown by ") + c.operation);
            RecordingHost throwingHost;
            plugin.writeConfig(kEmptyConfig);
            kavri::IConvert* converter = plugin.create(throwingHost).converter;
            ASSERT_NE(nullptr, converter);

            FakeNode order("OrderItem");
            Model model{&order};
            order.beforeCall = throwFrom(c.operation, payload);
            model.beforeCall = throwFrom(c.operation, payload);
            throwingHost.beforeCall = throwFrom(c.operation, payload);
            expectArrives(payload, [&] { converter->convert(&model); });

            // Without a reset, the next convert acts only if the converter
            // is still ready.
            FakeNode next("CustomerAddress");
            Model again{&next};
            throwingHost.beforeCall = nullptr;
            EXPECT_EQ(0, converter->convert(&again));
            if (c.spent) {
                EXPECT_EQ(Calls{}, again.calls);
            } else {
                EXPECT_EQ(Calls{"Customer_Address"}, next.tablesSet);
                EXPECT_EQ(1u, throwingHost.logs.size());
            }
        }
    }
}

struct CreationCase {
    const char* operation;
    std::string config; // empty: no config.xml, so the language is asked
};

TEST_F(HostExceptionTest, FromTheHostDuringRegistConvert)
{
    const std::string withLink = "<Wired><Link class=\"Person\" table=\"PERSON_INFO\"/></Wired>";
    const CreationCase cases[] = {
        {"getLanguage", ""},
        {"registerLink", withLink},
        {"log", withLink},
    };
    for (const CreationCase& c : cases) {
        for (Payload payload : kPayloads) {
            SCOPED_TRACE(std::string("thrown by ") + c.operation);
            if (c.config.empty())
                plugin.removeConfig();
            else
                plugin.writeConfig(c.config);
            RecordingHost throwingHost;
            throwingHost.beforeCall = throwFrom(c.operation, payload);
            expectArrives(payload, [&] { plugin.create(throwingHost); });
        }
    }

    // The plug-in is unharmed: the next host gets a working converter.
    kavri::IConvert* converter = converterFor(kEmptyConfig);
    FakeNode order("OrderItem");
    Model model{&order};
    EXPECT_EQ(0, converter->convert(&model));
    EXPECT_EQ(Calls{"Order_Item"}, order.tablesSet);
}

} // namespace
} // namespace e2e

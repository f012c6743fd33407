// Conversions between declared encodings, UTF-8 and the host's code page.
#include <string>

#include <gtest/gtest.h>

#include "Encoding.h"
#include "model/XmlDecoder.h"

namespace wiredhost {
namespace {

struct Conversion {
    const char* encoding;
    std::string bytes;
    std::string utf8;
};

TEST(Encoding, DeclaredEncodingsToUtf8AndBack)
{
    const Conversion cases[] = {
        {"windows-1252", "Caf\xE9 \x80 Stra\xDF" "e", "Café € Straße"},
        {"WINDOWS-1252", "\x8A", "Š"},
        {"cp1252", "\xFC", "ü"},
        {"ISO-8859-1", "\xE9\xFC", "éü"},
        {"latin1", "\xC4", "Ä"},
        {"UTF-8", "Caf\xC3\xA9", "Café"},
        {"us-ascii", "Plain", "Plain"},
        {"GBK", "\xD6\xD0\xCE\xC4", "中文"},
        {"UTF-16LE", std::string("A\0\xE9\0", 4), "Aé"},
    };
    for (const Conversion& c : cases) {
        std::string utf8;
        ASSERT_TRUE(encoding::toUtf8(c.bytes, c.encoding, utf8)) << c.encoding;
        EXPECT_EQ(utf8, c.utf8) << c.encoding;
        std::string back;
        ASSERT_TRUE(encoding::fromUtf8(c.utf8, c.encoding, back)) << c.encoding;
        EXPECT_EQ(back, c.bytes) << c.encoding;
    }
}

TEST(Encoding, UnknownEncodingsAreRefused)
{
    std::string out;
    EXPECT_FALSE(encoding::isKnown("x-no-such-encoding"));
    EXPECT_FALSE(encoding::toUtf8("abc", "x-no-such-encoding", out));
    EXPECT_FALSE(encoding::fromUtf8("abc", "x-no-such-encoding", out));
    EXPECT_TRUE(encoding::isKnown("UnicodeUTF8")) << "Umbrello's name for UTF-8";
    EXPECT_TRUE(encoding::isUtf8("utf_8"));
    EXPECT_FALSE(encoding::isAsciiCompatible("UTF-16"));
}

TEST(Encoding, HostCodePageRoundTrip)
{
    // What the host's code page holds comes back unchanged; ASCII is the
    // same bytes everywhere.
    EXPECT_EQ(encoding::utf8ToHost("OrderItem"), "OrderItem");
    std::string expected;
    ASSERT_TRUE(encoding::fromUtf8("Café", encoding::hostCodePage(), expected));
    const std::string host = encoding::utf8ToHost("Café");
    EXPECT_EQ(host, expected);
    EXPECT_EQ(encoding::hostToUtf8(host), "Café");
}

TEST(Encoding, DeclaredNamesOfJavaAndOldExporters)
{
    const std::pair<const char*, const char*> names[] = {
        {"ISO8859_1", "ISO-8859-1"}, {"8859_15", "ISO-8859-15"}, {"Cp1252", "windows-1252"},
        {"WINDOWS_1250", "windows-1250"}, {"UnicodeUTF8", "UTF-8"}, {"utf8", "UTF-8"}, {"GBK", "GBK"},
    };
    for (const auto& name : names) {
        EXPECT_EQ(XmlDecoder::canonicalName(name.first), name.second) << name.first;
        EXPECT_TRUE(encoding::isKnown(XmlDecoder::canonicalName(name.first))) << name.first;
    }
    EXPECT_EQ(XmlDecoder::encodingOf("<?xml version='1.0' encoding = \"ISO8859_1\" ?><XMI/>"), "ISO-8859-1");
    EXPECT_EQ(XmlDecoder::encodingOf("<?xml version='1.0'?><XMI encoding='x'/>"), "UTF-8");
}

TEST(Encoding, Utf8Validation)
{
    EXPECT_TRUE(encoding::isValidUtf8("Caf\xC3\xA9"));
    EXPECT_FALSE(encoding::isValidUtf8("Caf\xE9"));
    EXPECT_FALSE(encoding::isValidUtf8("\xC3"));
    EXPECT_FALSE(encoding::isValidUtf8("\xC0\x80")) << "overlong";
    EXPECT_TRUE(encoding::isAscii("abc"));
    EXPECT_FALSE(encoding::isAscii("\x80"));
}

} // namespace
} // namespace wiredhost

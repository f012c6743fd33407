// Conversions between declared encodings, UTF-8 and the host's code page.
#include <string>

#include <gtest/gtest.h>

#include "model/Encoding.h"
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
        {"ISO-8859-8", "\xE0\xE1", "\xD7\x90\xD7\x91"},
        {"ISO-8859-13", "\xE0", "\xC4\x85"},
    };
    for (const Conversion& c : cases) {
        std::string utf8;
        ASSERT_TRUE(encoding::toUtf8(c.bytes, c.encoding, utf8)) << c.encoding;
        EXPECT_EQ(utf8, c.utf8) << c.encoding;
        std::string back;
        ASSERT_TRUE(encoding::fromUtf8(c.utf8, c.encoding, back)) << c.encoding;
        EXPECT_EQ(back, c.bytes) << c.encoding;
    }
    // ISO-2022-JP is all ASCII bytes and no ASCII: converted, or refused
    // where the system cannot, but never taken as it is.
    std::string japanese;
    if (encoding::toUtf8("\x1B$BCmJ8\x1B(B", "ISO-2022-JP", japanese)) {
        EXPECT_EQ(japanese, "\xE6\xB3\xA8\xE6\x96\x87");
    }
    // A lone surrogate is one character lacking ('?' from iconv, U+FFFD
    // from Windows): what follows it is read as it is, not a byte off.
    const Conversion lone[] = {
        {"UTF-16LE", std::string("A\0\x00\xD8" "B\0C\0", 8), "A?BC"},
        {"UTF-16BE", std::string("\0A\xDC\x00" "\0B\0C", 8), "A?BC"},
    };
    for (const Conversion& c : lone) {
        std::string utf8;
        ASSERT_TRUE(encoding::toUtf8(c.bytes, c.encoding, utf8)) << c.encoding;
        EXPECT_TRUE(utf8 == c.utf8 || utf8 == "A\xEF\xBF\xBD" "BC") << c.encoding << ": " << utf8;
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
    // ASCII in UTF-7 is not always itself: '+' starts an encoded run.
    EXPECT_FALSE(encoding::isAsciiCompatible("UTF-7"));
    if (encoding::isKnown("UTF-7")) {
        std::string utf8;
        ASSERT_TRUE(encoding::toUtf8("Caf+AOk-", "UTF-7", utf8));
        EXPECT_EQ(utf8, "Caf\xC3\xA9");
    }
}

// A UTF-16 text cut a byte short: the half unit is left out on every
// platform, not a '?' on one (which after an XML root fails the file).
TEST(Encoding, AHalfUnitAtTheEndOfUtf16IsLeftOut)
{
    for (const char* name : {"UTF-16LE", "UTF-16BE"}) {
        const bool little = std::string(name) == "UTF-16LE";
        const std::string text = little ? std::string("A\0B\0C", 5) : std::string("\0A\0B\0", 5);
        std::string utf8;
        ASSERT_TRUE(encoding::toUtf8(text, name, utf8)) << name;
        EXPECT_EQ(utf8, "AB") << name;
    }
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
    // A letter the code page lacks arrives as '?', never as a look-alike:
    // a full-width ORDER must not become the reserved word ORDER, nor
    // an O with a macron make the Osaka of another class.
    std::string fullWidth;
    if (!encoding::utf8ToHostExactly("\xEF\xBC\xAF\xEF\xBC\xB2", fullWidth)) {
        EXPECT_EQ(fullWidth, "??");
    }
    std::string macron;
    if (!encoding::utf8ToHostExactly("\xC5\x8Csaka", macron)) {
        EXPECT_EQ(macron, "?saka");
    }
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
    // The double-byte code pages of Windows by their Windows names, which
    // iconv knows only as CP932...: the letter for "middle" in each's bytes.
    const std::pair<const char*, const char*> windows[] = {{"windows-932", "\x92\x86"},
                                                           {"windows-936", "\xD6\xD0"},
                                                           {"windows-949", "\xF1\xE9"},
                                                           {"windows-950", "\xA4\xA4"}};
    for (const auto& page : windows) {
        std::string utf8;
        ASSERT_TRUE(encoding::toUtf8(page.second, page.first, utf8)) << page.first;
        EXPECT_EQ(utf8, "\xE4\xB8\xAD") << page.first;
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

// Each ill-formed part becomes one U+FFFD and nothing after it is lost;
// what only the byte pattern allows is ill-formed too.
TEST(Encoding, CharactersDecodedAndWrittenBack)
{
    struct Character {
        std::string bytes;
        char32_t expected;
        std::size_t length;
    };
    const Character cases[] = {
        {"A", U'A', 1},
        {"\xC3\xA9", U'\u00E9', 2},
        {"\xE2\x82\xAC", U'\u20AC', 3},
        {"\xF0\x9F\x98\x80", U'\U0001F600', 4},
        {"\xF4\x8F\xBF\xBF", U'\U0010FFFF', 4},
        // Ill-formed: a lone continuation byte, an overlong form, a
        // surrogate, a code point above U+10FFFF, a character cut short.
        {"\x80", 0xFFFD, 1},
        {"\xC0\x80", 0xFFFD, 1},
        {"\xED\xA0\x80", 0xFFFD, 1},
        {"\xF4\x90\x80\x80", 0xFFFD, 1},
        {"\xE2\x82", 0xFFFD, 1},
    };
    for (const Character& c : cases) {
        const std::string text = "x" + c.bytes;
        std::size_t length = 0;
        EXPECT_EQ(encoding::characterAt(text, 1, length), c.expected) << c.bytes;
        EXPECT_EQ(length, c.length) << c.bytes;
        if (c.expected != 0xFFFD) {
            std::string written;
            encoding::appendUtf8(written, c.expected);
            EXPECT_EQ(written, c.bytes);
        }
    }
}

TEST(Encoding, RepairedUtf8IsWellFormed)
{
    const std::string r = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {"Caf\xC3\xA9 \xF0\x9F\x98\x80", "Caf\xC3\xA9 \xF0\x9F\x98\x80"},
        {"Caf\xE9!", "Caf" + r + "!"},
        {"\xC0\x80" "A", r + r + "A"},                  // overlong NUL
        {"\xE0\x80\xAF" "A", r + r + r + "A"},          // overlong '/'
        {"\xED\xA0\x80" "A", r + r + r + "A"},          // surrogate U+D800
        {"\xED\xBF\xBF", r + r + r},                    // surrogate U+DFFF
        {"\xF4\x90\x80\x80" "A", r + r + r + r + "A"},  // U+110000
        {"\xF5\x80", r + r},
        {"\xE4\xB8" "A", r + "A"},                      // a character cut short
        {"\xF0\x9F\x98", r},
        {"\x80\xBF", r + r},
        {"\xED\x9F\xBF\xEE\x80\x80\xF4\x8F\xBF\xBF", "\xED\x9F\xBF\xEE\x80\x80\xF4\x8F\xBF\xBF"},
    };
    for (const auto& c : cases) {
        const std::string repaired = encoding::repairedUtf8(c.first);
        EXPECT_EQ(repaired, c.second) << testing::PrintToString(c.first);
        EXPECT_TRUE(encoding::isValidUtf8(repaired)) << testing::PrintToString(c.first);
        EXPECT_EQ(encoding::isValidUtf8(c.first), c.first == c.second) << testing::PrintToString(c.first);
    }
}

TEST(Encoding, ControlCharactersEscapedForTheTerminal)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Order", "Order"},
        {"Caf\xC3\xA9 \xE4\xB8\xAD", "Caf\xC3\xA9 \xE4\xB8\xAD"},
        {"a\x1B[2Jb", "a\\x1B[2Jb"},
        {"bell\x07", "bell\\x07"},
        {std::string("A\0B", 3), "A\\x00B"},
        {"line\r\nnext\tcol", "line\\r\\nnext\\tcol"},
        {"del\x7F", "del\\x7F"},
        {"csi\xC2\x9B" "1m \xC2\xA0", "csi\\u009B1m \xC2\xA0"},
        {"back\\slash", "back\\slash"},
        // The scan takes eight bytes at a time: controls on either side of
        // a block's edge, and a C1 control split across two blocks.
        {"12345678\x1B", "12345678\\x1B"},
        {"1234567\x1B" "abcdefgh", "1234567\\x1B" "abcdefgh"},
        {"1234567\xC2\x85" "abcdefg", "1234567\\u0085abcdefg"},
        {"1234567\xC2\xA9" "abcdefg", "1234567\xC2\xA9" "abcdefg"},
        {"abcdefghijklmnop\n", "abcdefghijklmnop\\n"},
        {"\x7F" "bcdefghijklmnopq\x1F", "\\x7F" "bcdefghijklmnopq\\x1F"},
        {"Shop_Order_Item_With_A_Long_Name", "Shop_Order_Item_With_A_Long_Name"},
        // Marks that reorder or break what a terminal shows: the
        // right-to-left override, the line separator, left-to-right mark,
        // first-strong isolate. Their neighbours (a dash, U+202F, U+206A) stay.
        {"evil\xE2\x80\xAEtxt.exe", "evil\\u202Etxt.exe"},
        {"a\xE2\x80\xA8" "b\xE2\x80\x8E" "c\xE2\x81\xA8", "a\\u2028b\\u200Ec\\u2068"},
        {"a\xE2\x80\x93" "b\xE2\x80\xAF" "c\xE2\x81\xAA", "a\xE2\x80\x93" "b\xE2\x80\xAF" "c\xE2\x81\xAA"},
        {"cut\xE2\x80", "cut\xE2\x80"},
        // Characters that show nothing, so that a name looks like another:
        // zero-width space and joiner, word joiner, byte-order mark, soft
        // hyphen, Arabic letter mark, Mongolian vowel separator. The
        // double-struck C beside U+FEFF's bytes stays.
        {"Order\xE2\x80\x8B", "Order\\u200B"},
        {"a\xE2\x80\x8D" "b\xE2\x81\xA0" "c\xEF\xBB\xBF", "a\\u200Db\\u2060c\\uFEFF"},
        {"a\xC2\xAD" "b\xD8\x9C" "c\xE1\xA0\x8E", "a\\u00ADb\\u061Cc\\u180E"},
        {"\xEF\xBC\xA1\xE1\xA0\x80\xD8\xA8", "\xEF\xBC\xA1\xE1\xA0\x80\xD8\xA8"},
    };
    // In a double-byte code page only C0 and DEL are controls: 0xC2 0x9B
    // may be a character there.
    std::string bytes;
    encoding::appendPrintableBytes(bytes, "a\x1B[2J\tb\x7F\xC2\x9B\xE2\x80\xAE");
    EXPECT_EQ(bytes, "a\\x1B[2J\\tb\\x7F\xC2\x9B\xE2\x80\xAE");
    for (const auto& c : cases) {
        EXPECT_EQ(encoding::printable(c.first), c.second) << testing::PrintToString(c.first);
        // The table lines its columns up by this width without making the text.
        EXPECT_EQ(encoding::printableWidth(c.first), encoding::characterCount(c.second))
            << testing::PrintToString(c.first);
    }
}

TEST(Encoding, CharactersAndAsciiCountedAcrossBlocks)
{
    // Every length around the eight-byte blocks, with the non-ASCII
    // character at every place.
    const std::string e = "\xC3\xA9", han = "\xE4\xB8\xAD";
    for (std::size_t length = 0; length <= 20; ++length) {
        const std::string ascii(length, 'a');
        EXPECT_EQ(encoding::characterCount(ascii), length);
        EXPECT_TRUE(encoding::isAscii(ascii));
        for (std::size_t at = 0; at <= length; ++at) {
            for (const std::string& wide : {e, han}) {
                const std::string text = ascii.substr(0, at) + wide + ascii.substr(at);
                EXPECT_EQ(encoding::characterCount(text), length + 1) << testing::PrintToString(text);
                EXPECT_FALSE(encoding::isAscii(text)) << testing::PrintToString(text);
            }
        }
    }
}

TEST(Encoding, ControlsFoundAcrossBlocks)
{
    // One or two controls at every place of texts around the eight-byte
    // blocks, after ASCII and after a UTF-8 character: the last block is
    // looked at whole, overlapping bytes already passed, and must neither
    // miss a control in the tail nor escape one twice.
    const std::pair<std::string, std::string> controls[] = {
        {"\x1B", "\\x1B"}, {"\xC2\x85", "\\u0085"}, {"\xE2\x80\xAE", "\\u202E"}};
    for (const std::string& lead : {std::string(), std::string("\xC3\xA9")}) {
        for (std::size_t length = 0; length <= 20; ++length) {
            const std::string ascii = lead + std::string(length, 'a');
            for (std::size_t at = 0; at <= ascii.size(); ++at) {
                for (const auto& control : controls) {
                    const std::string text = ascii.substr(0, at) + control.first + ascii.substr(at);
                    const std::string expected = ascii.substr(0, at) + control.second + ascii.substr(at);
                    EXPECT_EQ(encoding::printable(text), expected) << testing::PrintToString(text);
                    EXPECT_EQ(encoding::printableWidth(text), encoding::characterCount(expected))
                        << testing::PrintToString(text);
                    const std::string twice = text + "\x7F";
                    EXPECT_EQ(encoding::printable(twice), expected + "\\x7F") << testing::PrintToString(twice);
                }
            }
        }
    }
}

} // namespace
} // namespace wiredhost

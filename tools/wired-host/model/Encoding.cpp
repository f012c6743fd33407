// The parts of the text conversions that are the same on every platform.
#include "Encoding.h"

#include "ByteScan.h"

#include <cctype>
#include <cstdio>

namespace wiredhost {
namespace encoding {

namespace {

std::string lowered(const std::string& name)
{
    std::string out;
    for (const char c : name) {
        if (c != '-' && c != '_' && c != ' ')
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

// How many bytes of text from at form one well-formed UTF-8 character:
// its whole length, or as a negative number the length of the longest
// start of one that goes wrong (at least 1). Well-formed excludes what
// only the byte pattern allows: overlong forms (C0 80, E0 80 80),
// surrogates (ED A0 80) and code points above U+10FFFF (F4 90 80 80).
int wellFormedLength(std::string_view text, std::size_t at)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return 1;
    int length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return -1;
    }
    for (int k = 1; k < length; ++k) {
        if (at + k >= text.size())
            return -k;
        const unsigned char c = static_cast<unsigned char>(text[at + k]);
        if (k == 1 ? (c < low || c > high) : (c & 0xC0) != 0x80)
            return -k;
    }
    return length;
}

} // namespace

char32_t multiByteCharacterAt(std::string_view utf8, std::size_t at, std::size_t& length)
{
    const int wellFormed = wellFormedLength(utf8, at);
    length = 1;
    const unsigned char lead = static_cast<unsigned char>(utf8[at]);
    if (wellFormed < 0)
        return 0xFFFD;
    if (wellFormed == 1)
        return lead;
    char32_t c = lead & (0xFF >> (wellFormed + 1));
    for (int k = 1; k < wellFormed; ++k)
        c = (c << 6) | (static_cast<unsigned char>(utf8[at + k]) & 0x3F);
    length = static_cast<std::size_t>(wellFormed);
    return c;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string normalName(const std::string& name)
{
    return lowered(name);
}

bool isUtf8(const std::string& name)
{
    const std::string n = lowered(name);
    return n.empty() || n == "utf8" || n == "usascii" || n == "ascii" || n == "unicodeutf8";
}

bool isAsciiCompatible(const std::string& name)
{
    const std::string n = lowered(name);
    // UTF-7 is not: its '+' starts an encoded run ("Caf+AOk-" is Café).
    // Nor are the 7-bit encodings that switch with escapes (ISO-2022-JP's
    // ESC $ B, HZ's ~{): their text is all ASCII bytes and no ASCII.
    if (n.compare(0, 7, "iso2022") == 0 || n.compare(0, 5, "cp5022") == 0 || n.compare(0, 2, "hz") == 0)
        return false;
    return n.compare(0, 3, "utf") != 0 || n == "utf8";
}

bool isAscii(std::string_view text)
{
    // No early exit: names are short, and the blocks are or-ed without a
    // branch.
    std::uint64_t any = 0;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8)
        any |= bytescan::block(text.data() + i);
    for (; i < text.size(); ++i)
        any |= static_cast<unsigned char>(text[i]);
    return (any & bytescan::kHighs) == 0;
}

bool isValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const int length = wellFormedLength(text, i);
        if (length < 0)
            return false;
        i += static_cast<std::size_t>(length);
    }
    return true;
}

namespace {

// One name for each encoding that goes by several.
std::string canonical(const std::string& name)
{
    static const char* const aliases[][2] = {
        {"gbk", "936"},       {"gb2312", "936"},      {"shiftjis", "932"},  {"sjis", "932"},
        {"windows31j", "932"}, {"big5", "950"},       {"euckr", "949"},     {"ksc56011987", "949"},
        {"latin1", "iso88591"}, {"l1", "iso88591"},   {"usascii", "utf8"},  {"ascii", "utf8"},
        {"unicodeutf8", "utf8"},
    };
    const std::string n = normalName(name);
    for (const auto& alias : aliases) {
        if (n == alias[0])
            return alias[1];
    }
    for (const char* prefix : {"windows", "cp", "ibm"}) {
        const std::string p = prefix;
        if (n.size() > p.size() && n.compare(0, p.size(), p) == 0 &&
            n.find_first_not_of("0123456789", p.size()) == std::string::npos)
            return n.substr(p.size());
    }
    return n;
}

} // namespace

bool sameEncoding(const std::string& a, const std::string& b)
{
    return canonical(a) == canonical(b);
}

std::string repairedUtf8(const std::string& text)
{
    // Nearly every text is well-formed already: one pass, one copy.
    if (isValidUtf8(text))
        return text;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const int length = wellFormedLength(text, i);
        if (length > 0)
            out.append(text, i, static_cast<std::size_t>(length));
        else
            out += "\xEF\xBF\xBD";
        i += static_cast<std::size_t>(length > 0 ? length : -length);
    }
    return out;
}

namespace {

// The bytes that are or may begin a control character: C0, DEL, and the
// lead bytes of the UTF-8 forms below (0xC2 for C1 and the soft hyphen,
// 0xE2 for the marks that turn the direction of text, break its line or
// have no width...). A table: this runs over every name the table shows.
struct ControlLeads {
    bool lead[256] = {};
    ControlLeads()
    {
        for (int c = 0; c < 0x20; ++c)
            lead[c] = true;
        lead[0x7F] = lead[0xC2] = lead[0xD8] = lead[0xE1] = lead[0xE2] = lead[0xEF] = true;
    }
};
const ControlLeads kControlLeads;

// The length of the control character at i, or 0: C0 controls and DEL (1),
// C1 controls and the soft hyphen (2), and the invisible marks that
// reorder what a terminal shows, start a new line there or show nothing at
// all: U+061C (2), U+180E, U+200B to U+200F, U+2028 to U+202E, U+2060 to
// U+2064, U+2066 to U+2069 and U+FEFF (3). A name holding them could show
// as another.
std::size_t controlLengthAt(std::string_view utf8, std::size_t i)
{
    const auto at = [&utf8](std::size_t k) { return k < utf8.size() ? static_cast<unsigned char>(utf8[k]) : 0; };
    const unsigned char c = at(i), second = at(i + 1), third = at(i + 2);
    if (c < 0x20 || c == 0x7F)
        return 1;
    if (c == 0xC2)
        return (second >= 0x80 && second < 0xA0) || second == 0xAD ? 2 : 0;
    if (c == 0xD8)
        return second == 0x9C ? 2 : 0;
    if (c == 0xE1)
        return second == 0xA0 && third == 0x8E ? 3 : 0;
    if (c == 0xEF)
        return second == 0xBB && third == 0xBF ? 3 : 0;
    if (c != 0xE2)
        return 0;
    const bool marked = (second == 0x80 && ((third >= 0x8B && third <= 0x8F) || (third >= 0xA8 && third <= 0xAE))) ||
                        (second == 0x81 && ((third >= 0xA0 && third <= 0xA4) || (third >= 0xA6 && third <= 0xA9)));
    return marked ? 3 : 0;
}

// Whether a block may hold a byte that is or may begin a control
// character: one below 0x20, or one from 0x7F up (DEL, and the bytes of
// every other UTF-8 character, 0xC2 among them). Fewer operations than
// testing for 0x7F and 0xC2 alone; names are nearly always ASCII, and a
// block that is not is looked at byte by byte.
bool mayHoldControlLead(const char* p)
{
    const std::uint64_t x = bytescan::block(p);
    return (bytescan::hasBelow(x, 0x20) | ((x | (x + bytescan::kOnes)) & bytescan::kHighs)) != 0;
}

// The first byte from i on that is or may begin a control character.
std::size_t nextControlLead(std::string_view text, std::size_t i)
{
    const std::size_t size = text.size();
    for (; i + 8 <= size; i += 8) {
        if (mayHoldControlLead(text.data() + i))
            break;
    }
    // A tail shorter than a block: the text's last eight bytes at once,
    // those before i being looked at again (a byte there that may lead
    // sends the search on byte by byte, from i).
    if (i + 8 > size && i < size && size >= 8 && !mayHoldControlLead(text.data() + size - 8))
        return size;
    while (i < size && !kControlLeads.lead[static_cast<unsigned char>(text[i])])
        ++i;
    return i;
}

// A C0 control or DEL as \n, \r, \t or \x1B.
void appendByteEscape(std::string& out, unsigned char c)
{
    if (c == '\n' || c == '\r' || c == '\t') {
        out += c == '\n' ? "\\n" : c == '\r' ? "\\r" : "\\t";
        return;
    }
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\x%02X", c);
    out += escape;
}

} // namespace

void appendPrintableBytes(std::string& out, std::string_view text)
{
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            appendByteEscape(out, byte);
        else
            out += c;
    }
}

void appendPrintable(std::string& out, std::string_view utf8)
{
    char escape[8];
    std::size_t start = 0; // of the run not yet appended
    for (std::size_t i = nextControlLead(utf8, 0); i < utf8.size(); i = nextControlLead(utf8, i + 1)) {
        const std::size_t length = controlLengthAt(utf8, i);
        if (length == 0)
            continue;
        out.append(utf8, start, i - start);
        if (length == 1) {
            appendByteEscape(out, static_cast<unsigned char>(utf8[i]));
        } else {
            std::size_t ignored = 0;
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(characterAt(utf8, i, ignored)));
            out += escape;
        }
        i += length - 1;
        start = i + 1;
    }
    out.append(utf8, start, utf8.size() - start);
}

std::size_t printableWidth(std::string_view utf8)
{
    std::size_t width = characterCount(utf8);
    for (std::size_t i = nextControlLead(utf8, 0); i < utf8.size(); i = nextControlLead(utf8, i + 1)) {
        const std::size_t length = controlLengthAt(utf8, i);
        if (length == 0)
            continue;
        // One character becomes \n (two), \x1B (four) or \u0085 (six).
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        width += c == '\n' || c == '\r' || c == '\t' ? 1 : length == 1 ? 3 : 5;
        i += length - 1;
    }
    return width;
}

std::string printable(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    appendPrintable(out, utf8);
    return out;
}

std::size_t characterCount(std::string_view utf8)
{
    std::size_t count = utf8.size(), i = 0;
    for (; i + 8 <= utf8.size(); i += 8)
        count -= static_cast<std::size_t>(bytescan::continuations(bytescan::block(utf8.data() + i)));
    // The tail from the text's last block, the bytes before it shifted out.
    if (i < utf8.size() && utf8.size() >= 8) {
        const unsigned shift = 8 * static_cast<unsigned>(8 - (utf8.size() - i));
        return count - static_cast<std::size_t>(
                           bytescan::continuations(bytescan::block(utf8.data() + utf8.size() - 8) >> shift));
    }
    for (; i < utf8.size(); ++i)
        count -= (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80;
    return count;
}

bool utf8ToHostExactly(const std::string& utf8, std::string& text)
{
    text = utf8ToHost(utf8);
    return isAscii(utf8) || hostToUtf8(text) == utf8;
}

} // namespace encoding
} // namespace wiredhost

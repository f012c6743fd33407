// The parts of the text conversions that are the same on every platform.
#include "Encoding.h"

#include <cctype>

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

// Bytes in a UTF-8 sequence that starts with lead; 0 when lead cannot start one.
std::size_t sequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

} // namespace

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
    return n.compare(0, 3, "utf") != 0 || n == "utf8" || n == "utf7";
}

bool isAscii(const std::string& text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

bool isValidUtf8(const std::string& text)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = sequenceLength(static_cast<unsigned char>(text[i]));
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
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
        std::size_t length = sequenceLength(static_cast<unsigned char>(text[i]));
        for (std::size_t k = 1; length != 0 && k < length; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                length = 0;
        }
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(text, i, length);
            i += length;
        }
    }
    return out;
}

std::string printable(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            static const char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

std::size_t characterCount(const std::string& utf8)
{
    std::size_t count = 0;
    for (const char c : utf8)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

} // namespace encoding
} // namespace wiredhost

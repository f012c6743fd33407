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

} // namespace encoding
} // namespace wiredhost

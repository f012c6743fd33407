#include "JsonText.h"

#include <cstdio>

#include "model/ByteScan.h"

namespace wiredhost {

// The runs between escapes are copied whole: a run over a big model writes
// hundreds of thousands of these.
namespace {

bool needsEscape(unsigned char c)
{
    return c == '"' || c == '\\' || c < 0x20;
}

// The first byte from i on that needs an escape, eight bytes at a time.
std::size_t nextEscape(std::string_view text, std::size_t i)
{
    for (; i + 8 <= text.size(); i += 8) {
        const std::uint64_t x = bytescan::block(text.data() + i);
        if (bytescan::hasByte(x, '"') | bytescan::hasByte(x, '\\') | bytescan::hasBelow(x, 0x20))
            break;
    }
    while (i < text.size() && !needsEscape(static_cast<unsigned char>(text[i])))
        ++i;
    return i;
}

} // namespace

void appendJsonString(std::string& out, std::string_view utf8)
{
    out += '"';
    std::size_t start = 0;
    char escape[8];
    for (std::size_t i = nextEscape(utf8, 0); i < utf8.size(); i = nextEscape(utf8, i + 1)) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        out.append(utf8, start, i - start);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += utf8[i];
        } else {
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        }
        start = i + 1;
    }
    out.append(utf8, start, std::string_view::npos);
    out += '"';
}

std::string jsonString(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size() + 2);
    appendJsonString(out, utf8);
    return out;
}

} // namespace wiredhost

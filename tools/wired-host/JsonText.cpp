#include "JsonText.h"

#include <cstdio>

namespace wiredhost {

// The runs between escapes are copied whole: a run over a big model writes
// hundreds of thousands of these.
void appendJsonString(std::string& out, std::string_view utf8)
{
    out += '"';
    std::size_t start = 0;
    char escape[8];
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c != '"' && c != '\\' && c >= 0x20)
            continue;
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

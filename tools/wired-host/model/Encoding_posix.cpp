// Text conversions on Linux: the host's code page is UTF-8, and glibc's
// iconv converts the encodings files declare.
#include "Encoding.h"

#include <iconv.h>

#include <cerrno>

namespace wiredhost {
namespace encoding {

namespace {

// iconv knows "windows-1252" as "WINDOWS-1252" and "CP1252"; XML files
// also write "Cp1252" and "UnicodeUTF8" (Umbrello). The double-byte code
// pages of Windows it knows only by their CP names (CP932, not
// WINDOWS-932), so every "windows-NNN" goes by that.
std::string iconvName(const std::string& name)
{
    if (isUtf8(name))
        return "UTF-8";
    const std::string n = normalName(name);
    if (n.size() > 7 && n.compare(0, 7, "windows") == 0 && n.find_first_not_of("0123456789", 7) == std::string::npos)
        return "CP" + n.substr(7);
    return name;
}

// The width of the source encoding's code unit: what a character it lacks
// (a lone surrogate) is skipped by, or a UTF-16 text would go on shifted
// by a byte, all of it garbage.
std::size_t unitOf(const std::string& encoding)
{
    const std::string name = normalName(encoding);
    if (name.compare(0, 5, "utf16") == 0 || name.compare(0, 4, "ucs2") == 0)
        return 2;
    if (name.compare(0, 5, "utf32") == 0 || name.compare(0, 4, "ucs4") == 0)
        return 4;
    return 1;
}

bool convert(const std::string& text, const std::string& from, const std::string& to, std::string& out)
{
    iconv_t cd = iconv_open((to + "//TRANSLIT").c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    out.clear();
    const std::size_t unit = unitOf(from);
    char buffer[4096];
    char* in = const_cast<char*>(text.data());
    // A byte short of a whole code unit at the end (a file cut a byte
    // short) is no character: it is left out, as Windows leaves it.
    std::size_t inLeft = text.size() - text.size() % unit;
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr - buffer);
        if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // A character the source encoding does not have: keep a '?'
            // and go on after its code unit.
            const std::size_t skipped = unit < inLeft ? unit : inLeft;
            out += '?';
            in += skipped;
            inLeft -= skipped;
        }
    }
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, outPtr - buffer);
    iconv_close(cd);
    return true;
}

} // namespace

bool isKnown(const std::string& name)
{
    if (isUtf8(name))
        return true;
    iconv_t cd = iconv_open("UTF-8", iconvName(name).c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv_close(cd);
    return true;
}

bool toUtf8(const std::string& text, const std::string& name, std::string& utf8)
{
    if (isUtf8(name) || (isAscii(text) && isAsciiCompatible(name) && isKnown(name))) {
        utf8 = text;
        return true;
    }
    return convert(text, iconvName(name), "UTF-8", utf8);
}

bool fromUtf8(const std::string& utf8, const std::string& name, std::string& text)
{
    if (isUtf8(name) || (isAscii(utf8) && isAsciiCompatible(name) && isKnown(name))) {
        text = utf8;
        return true;
    }
    return convert(utf8, "UTF-8", iconvName(name), text);
}

std::string utf8ToHost(const std::string& utf8)
{
    return utf8;
}

std::string hostToUtf8(const std::string& text)
{
    return text;
}

std::string utf8ToOutput(const std::string& utf8, bool)
{
    return utf8;
}

void writeOutput(std::ostream& out, std::string_view utf8, bool)
{
    out.write(utf8.data(), static_cast<std::streamsize>(utf8.size()));
}

bool isHostLeadByte(char)
{
    return false;
}

std::vector<std::string> commandArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void bufferStandardOutput()
{
}

std::string hostCodePage()
{
    return "UTF-8";
}

} // namespace encoding
} // namespace wiredhost

// Text conversions on Windows: through UTF-16 with MultiByteToWideChar and
// WideCharToMultiByte; the host's code page is the ANSI code page (CP_ACP),
// which is what the plug-in's narrow strings are in.
#include "Encoding.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace wiredhost {
namespace encoding {

namespace {

struct CodePageName {
    const char* name; // as normalName gives it
    UINT codePage;
};

const CodePageName kCodePages[] = {
    {"utf8", CP_UTF8},        {"unicodeutf8", CP_UTF8}, {"usascii", 20127},     {"ascii", 20127},
    {"iso88591", 28591},      {"latin1", 28591},        {"l1", 28591},          {"iso88592", 28592},
    {"iso88593", 28593},      {"iso88594", 28594},      {"iso88595", 28595},    {"iso88596", 28596},
    {"iso88597", 28597},      {"iso88598", 28598},      {"iso88599", 28599},    {"iso885913", 28603},
    {"iso885915", 28605},     {"iso2022jp", 50220},     {"iso2022kr", 50225},   {"hzgb2312", 52936},
    {"windows1250", 1250},    {"windows1251", 1251},    {"windows1252", 1252},  {"windows1253", 1253},
    {"windows1254", 1254},    {"windows1257", 1257},    {"cp1250", 1250},       {"cp1251", 1251},
    {"cp1252", 1252},         {"gbk", 936},             {"gb2312", 936},        {"cp936", 936},
    {"gb18030", 54936},       {"big5", 950},            {"shiftjis", 932},      {"sjis", 932},
    {"windows31j", 932},      {"eucjp", 20932},         {"euckr", 949},         {"koi8r", 20866},
    {"utf16", 1200},          {"utf16le", 1200},        {"utf16be", 1201},      {"ibm437", 437},
    {"cp850", 850},           {"ibm850", 850},
};

// 0 when the name is unknown.
UINT codePageOf(const std::string& name)
{
    const std::string n = normalName(name);
    if (n.empty())
        return CP_UTF8;
    for (const CodePageName& entry : kCodePages) {
        if (n == entry.name)
            return entry.codePage;
    }
    // "windows-874", "cp437", "ibm866": the number is the code page.
    for (const char* prefix : {"windows", "cp", "ibm"}) {
        const std::string p = prefix;
        if (n.size() > p.size() && n.compare(0, p.size(), p) == 0) {
            char* end = nullptr;
            const unsigned long number = std::strtoul(n.c_str() + p.size(), &end, 10);
            if (*end == '\0' && number > 0 && IsValidCodePage(static_cast<UINT>(number)))
                return static_cast<UINT>(number);
        }
    }
    return 0;
}

std::wstring converted(const char* text, std::size_t size, UINT codePage)
{
    if (size == 0)
        return std::wstring();
    const int length = MultiByteToWideChar(codePage, 0, text, static_cast<int>(size), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text, static_cast<int>(size), &out[0], length);
    return out;
}

// A double-byte code page's text whose lead bytes each stand before a byte
// that can follow one (from 0x40 up): the system takes a lead byte and the
// next byte as one character whatever that byte is, so a lead byte cut off
// before a quote or a line end would swallow it and damage the markup
// around a name. Such a lead byte becomes U+FFFD alone, as elsewhere.
std::wstring fromDoubleByte(const std::string& text, UINT codePage, const CPINFO& info)
{
    bool lead[256] = {};
    for (int r = 0; r + 1 < MAX_LEADBYTES && info.LeadByte[r] != 0; r += 2) {
        for (int b = info.LeadByte[r]; b <= info.LeadByte[r + 1]; ++b)
            lead[b] = true;
    }
    std::wstring out;
    std::size_t start = 0, i = 0;
    while (i < text.size()) {
        if (!lead[static_cast<unsigned char>(text[i])]) {
            ++i;
        } else if (i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x40) {
            i += 2;
        } else {
            out += converted(text.data() + start, i - start, codePage);
            out += L'\xFFFD';
            start = ++i;
        }
    }
    return out + converted(text.data() + start, text.size() - start, codePage);
}

std::wstring wide(const std::string& text, UINT codePage)
{
    if (text.empty())
        return std::wstring();
    if (codePage == 1200 || codePage == 1201) {
        std::wstring out(text.size() / 2, L'\0');
        for (std::size_t i = 0; i < out.size(); ++i) {
            const unsigned char a = static_cast<unsigned char>(text[2 * i]);
            const unsigned char b = static_cast<unsigned char>(text[2 * i + 1]);
            out[i] = static_cast<wchar_t>(codePage == 1200 ? a | (b << 8) : (a << 8) | b);
        }
        return out;
    }
    // GB18030's four-byte characters have digits for their second byte.
    CPINFO info;
    if (codePage != 54936 && codePage != CP_UTF8 && GetCPInfo(codePage, &info) && info.MaxCharSize == 2)
        return fromDoubleByte(text, codePage, info);
    return converted(text.data(), text.size(), codePage);
}

std::string narrow(const std::wstring& text, UINT codePage)
{
    if (text.empty())
        return std::string();
    if (codePage == 1200 || codePage == 1201) {
        std::string out;
        for (const wchar_t c : text) {
            const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>((c >> 8) & 0xFF);
            out += codePage == 1200 ? lo : hi;
            out += codePage == 1200 ? hi : lo;
        }
        return out;
    }
    // UTF-8 takes no default character. A character the code page lacks
    // becomes '?', not a look-alike ("\uFF2F" is not "O"): a best fit would
    // give the plug-in another name, and a reserved word or a collision
    // that the model does not have. Some code pages (the ISO-2022 ones,
    // GB18030) take no flags at all.
    const char* fallback = codePage == CP_UTF8 ? nullptr : "?";
    DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int length = WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     fallback, nullptr);
    if (length == 0 && flags != 0 && GetLastError() == ERROR_INVALID_FLAGS) {
        flags = 0;
        length = WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     fallback, nullptr);
    }
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), &out[0], length, fallback,
                        nullptr);
    return out;
}

bool plainAscii(const std::string& text, const std::string& name)
{
    return isUtf8(name) || (isAscii(text) && isAsciiCompatible(name));
}

} // namespace

bool isKnown(const std::string& name)
{
    return codePageOf(name) != 0;
}

bool toUtf8(const std::string& text, const std::string& name, std::string& utf8)
{
    const UINT codePage = codePageOf(name);
    if (codePage == 0)
        return false;
    utf8 = plainAscii(text, name) ? text : narrow(wide(text, codePage), CP_UTF8);
    // A code page this system knows by number but cannot convert from
    // (Wine's GB18030) gives nothing for something.
    return utf8.empty() == text.empty();
}

bool fromUtf8(const std::string& utf8, const std::string& name, std::string& text)
{
    const UINT codePage = codePageOf(name);
    if (codePage == 0)
        return false;
    text = plainAscii(utf8, name) ? utf8 : narrow(wide(utf8, CP_UTF8), codePage);
    return true;
}

std::string utf8ToHost(const std::string& utf8)
{
    if (isAscii(utf8) || GetACP() == CP_UTF8)
        return utf8;
    return narrow(wide(utf8, CP_UTF8), CP_ACP);
}

std::string hostToUtf8(const std::string& text)
{
    if (isAscii(text) || GetACP() == CP_UTF8)
        return text;
    return narrow(wide(text, CP_ACP), CP_UTF8);
}

std::string utf8ToOutput(const std::string& utf8, bool toStandardError)
{
    // ASCII is the same in every console and ANSI code page.
    if (isAscii(utf8))
        return utf8;
    HANDLE stream = GetStdHandle(toStandardError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    // A console shows its own code page; what goes to a file or a pipe is
    // read back in the code page of the host the report is about.
    const bool console = GetFileType(stream) == FILE_TYPE_CHAR && GetConsoleMode(stream, &mode);
    return narrow(wide(utf8, CP_UTF8), console ? GetConsoleOutputCP() : CP_ACP);
}

void writeOutput(std::ostream& out, std::string_view utf8, bool toStandardError)
{
    if (isAscii(utf8))
        out.write(utf8.data(), static_cast<std::streamsize>(utf8.size()));
    else
        out << utf8ToOutput(std::string(utf8), toStandardError);
}

bool isHostLeadByte(char c)
{
    return static_cast<unsigned char>(c) >= 0x80 && IsDBCSLeadByte(static_cast<BYTE>(c));
}

namespace {

// One argument of a command line as the C runtime splits it: white space
// ends it outside quotes; 2n backslashes before a quote are n and the quote
// opens or closes quoting, 2n+1 are n and a literal quote; "" within
// quotes is a literal quote; other backslashes are themselves.
const wchar_t* nextArgument(const wchar_t* at, std::wstring& argument)
{
    bool quoted = false;
    for (; *at != L'\0' && (quoted || (*at != L' ' && *at != L'\t')); ++at) {
        std::size_t backslashes = 0;
        while (*at == L'\\') {
            ++backslashes;
            ++at;
        }
        if (*at != L'"') {
            argument.append(backslashes, L'\\');
            if (*at == L'\0' || (!quoted && (*at == L' ' || *at == L'\t')))
                break;
            argument += *at;
            continue;
        }
        argument.append(backslashes / 2, L'\\');
        if (backslashes % 2 == 1) {
            argument += L'"';
        } else if (quoted && at[1] == L'"') {
            argument += L'"';
            ++at;
        } else {
            quoted = !quoted;
        }
    }
    return at;
}

} // namespace

std::vector<std::string> commandArguments(int, char**)
{
    const wchar_t* at = GetCommandLineW();
    // The program's name: up to the closing quote or white space, no escapes.
    if (*at == L'"') {
        for (++at; *at != L'\0' && *at != L'"'; ++at) {
        }
        if (*at == L'"')
            ++at;
    } else {
        while (*at != L'\0' && *at != L' ' && *at != L'\t')
            ++at;
    }
    std::vector<std::string> arguments;
    for (;;) {
        while (*at == L' ' || *at == L'\t')
            ++at;
        if (*at == L'\0')
            return arguments;
        std::wstring argument;
        at = nextArgument(at, argument);
        arguments.push_back(narrow(argument, CP_UTF8));
    }
}

void bufferStandardOutput()
{
    DWORD mode = 0;
    if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode))
        std::setvbuf(stdout, nullptr, _IOFBF, 64 * 1024);
}

std::string hostCodePage()
{
    const UINT codePage = GetACP();
    return codePage == CP_UTF8 ? "UTF-8" : "windows-" + std::to_string(codePage);
}

} // namespace encoding
} // namespace wiredhost

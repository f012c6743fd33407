#ifndef WIREDHOST_ENCODING_H
#define WIREDHOST_ENCODING_H

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// Text conversions between the encodings files declare, UTF-8 and the
// host's code page: the narrow strings the plug-in compares byte by byte.
// The host's code page is the ANSI code page on Windows and UTF-8
// elsewhere. One implementation per platform (Encoding_win32.cpp,
// Encoding_posix.cpp); the names are those of XML declarations and IANA
// ("UTF-8", "windows-1252", "ISO-8859-1", "GBK", "Shift_JIS"...), in any
// case.
namespace wiredhost {
namespace encoding {

// The name in lower case without '-', '_' and spaces: "windows1252".
std::string normalName(const std::string& name);

// True when the two names mean the same encoding: "GBK", "cp936" and
// "windows-936", or "UTF-8" and "ASCII" for ASCII text's sake.
bool sameEncoding(const std::string& a, const std::string& b);

// True when text in this encoding can be converted.
bool isKnown(const std::string& name);

// True when the name is UTF-8 or ASCII (whose text is already UTF-8).
bool isUtf8(const std::string& name);

// True when ASCII text is the same bytes in this encoding (not UTF-16,
// UTF-32 or EBCDIC).
bool isAsciiCompatible(const std::string& name);

// True when every byte is below 0x80.
bool isAscii(std::string_view text);

// True when the bytes are well-formed UTF-8: no overlong form, no
// surrogate, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text);

// Text in the named encoding to UTF-8 and back. False when the name is
// unknown; characters the target cannot hold become '?'.
bool toUtf8(const std::string& text, const std::string& name, std::string& utf8);
bool fromUtf8(const std::string& utf8, const std::string& name, std::string& text);

// UTF-8 to the host's code page and back; characters the code page cannot
// hold become '?'.
std::string utf8ToHost(const std::string& utf8);
std::string hostToUtf8(const std::string& text);
// utf8ToHost into text; false when a character did not get there as
// itself ('?' or a look-alike stands in its place).
bool utf8ToHostExactly(const std::string& utf8, std::string& text);

// Well-formed UTF-8: each ill-formed part becomes one U+FFFD, the longest
// start of a character that goes wrong or else a single byte, as Unicode
// recommends and browsers and Windows do.
std::string repairedUtf8(const std::string& text);

// UTF-8 text as a terminal may be given it: control characters, which
// would move the cursor, ring or start an escape sequence, written as
// \n, \r, \t, \x1B, \x00 (C0 and DEL) or \u009B (C1), and so are the
// invisible marks that reorder the text shown or break its line (\u202E,
// \u2028). The rest is kept.
std::string printable(std::string_view utf8);
// The same, appended to out.
void appendPrintable(std::string& out, std::string_view utf8);
// Text in another code page than UTF-8 (a config's codes as the host has
// them), where no byte below 0x20 is part of another character: its C0
// controls and DEL escaped as above, the rest kept.
void appendPrintableBytes(std::string& out, std::string_view text);
// How many characters printable(utf8) holds, without making it.
std::size_t printableWidth(std::string_view utf8);

// characterAt for a byte from 0x80 up.
char32_t multiByteCharacterAt(std::string_view utf8, std::size_t at, std::size_t& length);
// The character that starts at byte at of UTF-8 text, with in length the
// bytes it takes; a byte that starts no well-formed character gives U+FFFD,
// one byte long. An ASCII byte is its own character, without a call: this
// runs for every byte of every table name, nearly all ASCII.
inline char32_t characterAt(std::string_view utf8, std::size_t at, std::size_t& length)
{
    const unsigned char byte = static_cast<unsigned char>(utf8[at]);
    if (byte < 0x80) {
        length = 1;
        return byte;
    }
    return multiByteCharacterAt(utf8, at, length);
}
// The character written as UTF-8 at the end of out.
void appendUtf8(std::string& out, char32_t c);

// How many characters UTF-8 text holds, for lining up columns.
std::size_t characterCount(std::string_view utf8);

// UTF-8 text as the tool writes it to standard output or standard error: on
// Windows a console gets its output code page, a file or a pipe the host's
// code page; elsewhere UTF-8 as it is.
std::string utf8ToOutput(const std::string& utf8, bool toStandardError = false);
// The same, written to out without a copy where none is needed.
void writeOutput(std::ostream& out, std::string_view utf8, bool toStandardError = false);

// Does c begin a double-byte character of the host's code page? The
// plug-in, in the same process, asks the same of the system; never so in
// UTF-8, whose bytes from 0x80 up are never ASCII.
bool isHostLeadByte(char c);

// The program's arguments after its name, in UTF-8: on Windows from the
// wide command line, so that a path outside the ANSI code page (a Chinese
// folder on an English system, an emoji) arrives whole; elsewhere argv as
// it is.
std::vector<std::string> commandArguments(int argc, char** argv);

// Standard output buffered in full unless it is a console. The Windows C
// runtimes take any character device for a terminal and write to it
// unbuffered, so a report redirected to NUL (/dev/null under Wine) went
// out a few bytes per system call: 100,000 classes took minutes, not a
// second. Elsewhere the C library buffers whatever is no terminal itself.
void bufferStandardOutput();

// The name of the host's code page, as "UTF-8" or "windows-936".
std::string hostCodePage();

} // namespace encoding
} // namespace wiredhost

#endif

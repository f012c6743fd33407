#include "XmlDecoder.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

#include "Encoding.h"
#include "Text.h"

namespace wiredhost {

namespace {

bool startsWith(const std::string& text, const char* bytes, std::size_t length)
{
    return text.size() >= length && text.compare(0, length, bytes, length) == 0;
}

// Where the text starts: after a UTF-8 byte-order mark and blank lines.
std::size_t textStart(const std::string& head)
{
    const std::size_t start = startsWithByteOrderMark(head) ? 3 : 0;
    const std::size_t at = head.find_first_not_of(" \t\r\n", start);
    return at == std::string::npos ? head.size() : at;
}

} // namespace

std::string XmlDecoder::declaredEncoding(const std::string& head)
{
    const std::size_t start = textStart(head);
    if (head.compare(start, 5, "<?xml") != 0)
        return std::string();
    // Looked for in the declaration only: a model's text is never searched
    // for a word the declaration does not hold.
    const std::string_view declaration = std::string_view(head).substr(0, head.find("?>", start));
    std::size_t at = declaration.find("encoding", start);
    if (at != std::string_view::npos)
        at = declaration.find('=', at);
    if (at != std::string_view::npos)
        at = declaration.find_first_not_of(" \t\r\n", at + 1);
    if (at == std::string_view::npos || (declaration[at] != '"' && declaration[at] != '\''))
        return std::string();
    const std::size_t close = declaration.find(declaration[at], at + 1);
    return close == std::string_view::npos ? std::string() : std::string(declaration.substr(at + 1, close - at - 1));
}

std::string XmlDecoder::utf16Of(const std::string& head)
{
    if (startsWith(head, "\xFF\xFE", 2))
        return "UTF-16LE";
    if (startsWith(head, "\xFE\xFF", 2))
        return "UTF-16BE";
    // Without a mark: blank characters and then '<', each with a NUL
    // after it (little-endian) or before it.
    for (const std::size_t low : {0, 1}) {
        std::size_t at = 0;
        while (at + 1 < head.size() && head[at + 1 - low] == '\0' && isBlank(head[at + low]))
            at += 2;
        if (at + 1 < head.size() && head[at + 1 - low] == '\0' && head[at + low] == '<')
            return low == 0 ? "UTF-16LE" : "UTF-16BE";
    }
    return std::string();
}

std::size_t XmlDecoder::declarationEnd(const std::string& text)
{
    const std::size_t start = textStart(text);
    if (text.compare(start, 5, "<?xml") != 0)
        return start;
    const std::size_t end = text.find("?>", start);
    return end == std::string::npos ? text.size() : end + 2;
}

std::string XmlDecoder::plainUtf16Of(const std::string& head)
{
    const std::size_t units = std::min<std::size_t>(head.size() / 2, 32);
    if (units < 2)
        return std::string();
    for (const std::size_t low : {0, 1}) {
        // An ASCII first character, no NUL character, and a NUL beside
        // most characters (Latin text; a letter of another script has a
        // byte of its own there).
        const unsigned char first = static_cast<unsigned char>(head[low]);
        if (head[1 - low] != '\0' || first >= 0x7F || (first < 0x20 && !isBlank(static_cast<char>(first))))
            continue;
        std::size_t nulBeside = 0;
        bool nulCharacter = false;
        for (std::size_t i = 0; i < units; ++i) {
            const bool highNul = head[2 * i + 1 - low] == '\0';
            nulBeside += highNul;
            nulCharacter = nulCharacter || (highNul && head[2 * i + low] == '\0');
        }
        if (!nulCharacter && nulBeside * 4 >= units * 3)
            return low == 0 ? "UTF-16LE" : "UTF-16BE";
    }
    return std::string();
}

bool XmlDecoder::utf16ToUtf8(const std::string& text, std::string& utf8)
{
    const std::string utf16 = utf16Of(text);
    std::string converted;
    if (utf16.empty() || !encoding::toUtf8(text, utf16, converted))
        return false;
    if (startsWithByteOrderMark(converted))
        converted.erase(0, 3);
    utf8.swap(converted);
    return true;
}

bool XmlDecoder::plainUtf16ToUtf8(const std::string& text, std::string& utf8)
{
    const std::string utf16 = plainUtf16Of(text);
    std::string converted;
    if (utf16.empty() || !encoding::toUtf8(text, utf16, converted) || converted.empty())
        return false;
    utf8.swap(converted);
    return true;
}

// Java's names (ISO8859_1, Cp1252) and Umbrello's (UnicodeUTF8) as the
// names every platform knows.
std::string XmlDecoder::canonicalName(const std::string& name)
{
    const std::string n = encoding::normalName(name);
    if (n == "utf8" || n == "unicodeutf8")
        return "UTF-8";
    for (const char* prefix : {"iso8859", "8859"}) {
        const std::string p = prefix;
        if (n.size() > p.size() && n.compare(0, p.size(), p) == 0 &&
            n.find_first_not_of("0123456789", p.size()) == std::string::npos)
            return "ISO-8859-" + n.substr(p.size());
    }
    for (const char* prefix : {"cp125", "windows125"}) {
        const std::string p = prefix;
        if (n.size() == p.size() + 1 && n.compare(0, p.size(), p) == 0 && std::isdigit(static_cast<unsigned char>(n.back())))
            return "windows-125" + n.substr(p.size());
    }
    if (n == "macroman" || n == "xmacroman")
        return "macintosh";
    return name;
}

namespace {

// UTF-16 or UTF-32 by any of their names.
bool namesWideEncoding(const std::string& name)
{
    const std::string n = encoding::normalName(name);
    for (const char* wide : {"utf16", "utf32", "ucs2", "ucs4"}) {
        if (n.compare(0, std::char_traits<char>::length(wide), wide) == 0)
            return true;
    }
    return n == "unicode";
}

} // namespace

bool XmlDecoder::declaresWideButIsNot(const std::string& head)
{
    return utf16Of(head).empty() && namesWideEncoding(declaredEncoding(head));
}

std::string XmlDecoder::encodingOf(const std::string& head)
{
    const std::string utf16 = utf16Of(head);
    if (!utf16.empty())
        return utf16;
    // A byte-order mark says UTF-8 whatever the declaration says after it
    // (an editor that saved a windows-1252 file as UTF-8 keeps the line).
    if (startsWithByteOrderMark(head))
        return "UTF-8";
    // Single bytes (UTF-16 was ruled out above) that declare UTF-16 are
    // read as what they are: see declaresWideButIsNot.
    const std::string declared = declaredEncoding(head);
    return declared.empty() || namesWideEncoding(declared) ? "UTF-8" : canonicalName(declared);
}

bool XmlDecoder::toUtf8(std::string& text, std::string& error)
{
    // UTF-16 after any number of blank lines; else the declaration whole,
    // however many blanks it holds.
    std::string encoding = utf16Of(text);
    if (encoding.empty())
        encoding = encodingOf(text.substr(0, std::max(declarationEnd(text), textStart(text) + 512)));
    if (encoding::isUtf8(encoding))
        return true;
    if (!encoding::isKnown(encoding)) {
        // No encoding's name is long: one of megabytes is cut, so that the
        // message stays a line.
        const std::size_t kShown = 64;
        error = "the file is in encoding \"" + encoding.substr(0, kShown) + (encoding.size() > kShown ? "..." : "") +
                "\", which wired-host cannot convert";
        return false;
    }
    // Drop the byte-order mark before converting: it would come out as one.
    if (encoding.compare(0, 6, "UTF-16") == 0 && (startsWith(text, "\xFF\xFE", 2) || startsWith(text, "\xFE\xFF", 2)))
        text.erase(0, 2);
    std::string utf8;
    if (!encoding::toUtf8(text, encoding, utf8)) {
        // Known by name, but this system converts nothing from it (Wine's
        // GB18030 and ISO-2022-JP).
        error = "the file is in encoding \"" + encoding + "\", which this system cannot convert";
        return false;
    }
    text.swap(utf8);
    return true;
}

bool XmlDecoder::blankLateInstructions(std::string& text)
{
    // Nodes are found as the parser finds them: a comment ends at the first
    // "-->", CDATA at "]]>", another <!...> (a DOCTYPE, or a declaration of
    // its internal subset) at the first '>', a tag at the first '>' outside
    // quotes.
    struct Node {
        const char* open;
        const char* end;
    };
    static const Node kNodes[] = {{"<?", "?>"}, {"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<!", ">"}};
    bool leading = true, blanked = false;
    for (std::size_t at = text.find('<', textStart(text)); at != std::string::npos; at = text.find('<', at)) {
        const Node* node = nullptr;
        for (const Node& kind : kNodes) {
            if (text.compare(at, std::strlen(kind.open), kind.open) == 0) {
                node = &kind;
                break;
            }
        }
        const bool instruction = node == &kNodes[0];
        const char* end = node != nullptr ? node->end : nullptr;
        std::size_t close = std::string::npos;
        if (node != nullptr) {
            close = text.find(end, at + std::strlen(node->open));
        } else {
            char quote = '\0';
            for (close = at + 1; close < text.size(); ++close) {
                const char c = text[close];
                if (quote != '\0')
                    quote = c == quote ? '\0' : quote;
                else if (c == '"' || c == '\'')
                    quote = c;
                else if (c == '>')
                    break;
            }
        }
        if (close >= text.size())
            break; // the parser says what is cut short
        const std::size_t after = close + (end != nullptr ? std::strlen(end) : 1);
        if (instruction && !leading) {
            for (std::size_t i = at; i < after; ++i) {
                if (text[i] != '\n')
                    text[i] = ' ';
            }
            blanked = true;
        }
        leading = leading && instruction;
        at = after;
    }
    return blanked;
}

} // namespace wiredhost

#ifndef WIREDHOST_MODEL_XMLDECODER_H
#define WIREDHOST_MODEL_XMLDECODER_H

#include <string>

namespace wiredhost {

// tinyxml2 reads UTF-8 only: an XML text in another encoding is converted
// to UTF-8 first, as its byte-order mark or its declaration says
// (<?xml version="1.0" encoding="windows-1252"?>).
class XmlDecoder {
public:
    // "UTF-16LE"/"UTF-16BE" from a byte-order mark or from the first
    // character, "UTF-8" from its byte-order mark, else the declaration's
    // encoding, else "UTF-8".
    static std::string encodingOf(const std::string& head);
    // "UTF-16LE" or "UTF-16BE" from a byte-order mark or a first '<' with
    // a NUL beside it (after blank lines perhaps); "" for any other text.
    static std::string utf16Of(const std::string& head);
    // A declaration of UTF-16 (or UTF-32) over single bytes: what a .NET
    // exporter writes when it builds the text in a string and saves it as
    // UTF-8. The bytes are read as UTF-8, as they are.
    static bool declaresWideButIsNot(const std::string& head);
    // "UTF-16LE" or "UTF-16BE" for any text without a mark that starts
    // with an ASCII character and has a NUL beside most of its first 32:
    // JSON or PlantUML saved so; "" for any other.
    static std::string plainUtf16Of(const std::string& head);
    // Text that utf16Of says is UTF-16, in UTF-8 without its byte-order
    // mark; false, and utf8 untouched, for any other.
    static bool utf16ToUtf8(const std::string& text, std::string& utf8);
    // The same for text that plainUtf16Of says is UTF-16 without a mark.
    static bool plainUtf16ToUtf8(const std::string& text, std::string& utf8);
    // The value of encoding="…" in the XML declaration that starts the
    // text (after blank lines perhaps), as written; "" without one.
    static std::string declaredEncoding(const std::string& head);
    // Where the XML declaration that starts the text ends, past its "?>"
    // (the text's end when it has none yet); where the text starts when
    // it has no declaration.
    static std::size_t declarationEnd(const std::string& text);

    // The name as every platform knows it: ISO8859_1 is ISO-8859-1.
    static std::string canonicalName(const std::string& name);

    // Converts the text to UTF-8 in place; false with a message when the
    // encoding is not known.
    static bool toUtf8(std::string& text, std::string& error);

    // tinyxml2 takes every <?…?> for a declaration, which nothing but
    // other declarations may precede: an instruction that follows a
    // comment or a DOCTYPE of the prolog (a stylesheet after a licence
    // comment), or one inside the root element, would fail the whole
    // file. Instructions carry no model; all but those that open the file
    // are blanked, the lines kept; true when there was one.
    static bool blankLateInstructions(std::string& text);
};

} // namespace wiredhost

#endif

#ifndef WIREDHOST_MODEL_XMLCHARACTERREFERENCES_H
#define WIREDHOST_MODEL_XMLCHARACTERREFERENCES_H

#include <cstddef>
#include <string>

namespace wiredhost {

// tinyxml2 decodes a character reference (&#233; &#xE9;) by looking for
// its ';' through the rest of the value, so a value of a million "&#"
// costs a million searches through it (2 MB took 15 s); it computes the
// number in 32 bits that wrap, and writes U+0000 as a NUL that ends the
// name where it stands. XML allows neither: a reference is &# and decimal
// digits or x and hexadecimal digits, then ';', of a character from U+0001
// to U+10FFFF that is no surrogate. This check is handed the text the
// parser decodes, text between tags and quoted values (not comments,
// CDATA, instructions or declarations, where &#0; is only text), by
// XmlTagLimits as it scans the file, and finds the first reference that is
// not such.
class XmlCharacterReferences {
public:
    // The next piece of a text or a value, starting at offset `at` of the
    // file; false once a bad reference was found.
    bool feed(const char* data, std::size_t size, unsigned long long at);
    // The text or the value ends: a reference still open has no ';'.
    bool end();

    bool found() const { return found_; }
    // Not within a reference: the next text matters only from its '&'.
    bool idle() const { return state_ == Text; }
    // Where the bad reference's '&' stands, counted from the start.
    unsigned long long offset() const { return start_; }
    // What is wrong with it: "not a number ended by ';'", "U+0000"...
    const std::string& problem() const { return problem_; }

private:
    enum State { Text, Amp, Hash, HexMark, Decimal, Hexadecimal };

    void step(char c, unsigned long long at);
    void fail(const char* problem);

    State state_ = Text;
    unsigned long value_ = 0;
    unsigned long long start_ = 0;
    bool found_ = false;
    std::string problem_;
};

} // namespace wiredhost

#endif

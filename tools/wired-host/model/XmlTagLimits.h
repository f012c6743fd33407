#ifndef WIREDHOST_MODEL_XMLATTRIBUTELIMIT_H
#define WIREDHOST_MODEL_XMLATTRIBUTELIMIT_H

#include <cstddef>

namespace wiredhost {

// tinyxml2 checks each attribute of an element against all before it, so
// an element with n attributes costs n squared: a hundred thousand take
// half a minute. Real models give an element a few dozen. This scan runs
// over the text before it is parsed, in pieces as the file is read, and
// finds the first element with more than kMaxAttributes; it reads tags,
// quoted values, comments, CDATA, processing instructions and declarations
// as the parser does, so that no attribute the parser sees goes uncounted,
// and leaves the checks of the XML to the parser.
class XmlAttributeLimit {
public:
    static constexpr std::size_t kMaxAttributes = 256;

    // The next piece of the text; false once an element passed the limit.
    bool feed(const char* data, std::size_t size);

    bool passed() const { return passed_; }
    // Where the tag of the element that passed the limit starts, counted
    // from the start of the text (lines are counted only then, by the
    // caller: counting them on the way would double the scan's cost).
    unsigned long long offset() const { return tagOffset_; }

private:
    enum State { Text, TagStart, Tag, Quoted, Bang, Comment, CData, Instruction, Declaration };

    void step(char c);

    State state_ = Text;
    char quote_ = 0;
    std::size_t attributes_ = 0;
    std::size_t matched_ = 0; // of the end mark looked for, or of a "<!" head
    const char* bangHead_ = nullptr; // the "<!" head being matched
    unsigned long long fed_ = 0; // bytes before the current piece
    unsigned long long tagOffset_ = 0;
    bool passed_ = false;
};

} // namespace wiredhost

#endif

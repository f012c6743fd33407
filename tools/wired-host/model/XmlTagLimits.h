#ifndef WIREDHOST_MODEL_XMLTAGLIMITS_H
#define WIREDHOST_MODEL_XMLTAGLIMITS_H

#include <cstddef>
#include <string>

namespace wiredhost {

class XmlCharacterReferences;

// What the XML parser would spend on a document, counted before it parses
// it. tinyxml2 checks each attribute of an element against all before it,
// so an element with n attributes costs n squared: a hundred thousand take
// half a minute; real models give an element a few dozen, and a megabyte
// of them some 90,000 such comparisons. Each node (an element, a text that
// is not white space, a comment, CDATA, an instruction or a declaration)
// costs the parser some hundred bytes however short it is: a few megabytes
// of gzip can unpack to millions of "<a/>" or "x<!---->", which would
// take gigabytes; the benchmark model of 100,000 classes has 300,000
// nodes. This scan runs over the text before it is parsed, in pieces as
// the file is read, and finds the first element with more than
// kMaxAttributes, the element whose attributes take the comparisons past
// kMaxComparisons, or the node past kMaxNodes; it reads tags, quoted
// values, comments, CDATA, processing instructions and declarations as
// the parser does, so that nothing the parser sees goes uncounted, and
// leaves the checks of the XML to the parser. Given an
// XmlCharacterReferences, it hands it the text the parser decodes.
class XmlTagLimits {
public:
    explicit XmlTagLimits(XmlCharacterReferences* references = nullptr) : references_(references) {}

    static constexpr std::size_t kMaxAttributes = 256;
    static constexpr std::size_t kMaxNodes = 4000000;
    // Attributes cost the parser memory as nodes do, some 80 bytes each
    // however short: 64 MiB of "<a b='' c='' ... h=''/>" hold 12 million.
    // The benchmark model of 100,000 classes has 600,000.
    static constexpr std::size_t kMaxAllAttributes = 10000000;
    // Some 0.75 s of the parser's time; a thousand times what a megabyte
    // of a real model needs. A pair of names longer than 16 bytes counts
    // as one more per 16 bytes: comparing them costs that much more.
    static constexpr unsigned long long kMaxComparisons = 100000000;

    // The next piece of the text; false once an element passed a limit,
    // or the references were found bad.
    bool feed(const char* data, std::size_t size);

    bool passed() const { return passed_; }
    // Which limit was passed, in words.
    std::string problem() const;
    // A whole text checked at once: false when it passes a limit, with
    // "WHERE:LINE: " and the problem in error.
    static bool within(const std::string& text, const std::string& where, std::string& error);
    // Which: too many nodes, else too many attributes of one element or
    // of all together.
    bool tooManyNodes() const { return nodes_ > kMaxNodes || allAttributes_ > kMaxAllAttributes; }
    // Where the tag of the node that passed the limit starts (for a text,
    // the tag after it), counted from the start of the text (lines are
    // counted only then, by the caller: counting them on the way would
    // double the scan's cost).
    unsigned long long offset() const { return tagOffset_; }

private:
    enum State { Text, TagStart, Tag, Quoted, Bang, Comment, CData, Instruction, Declaration };

    void step(char c);
    bool countNode();
    bool countAttribute();
    void pass(bool passed);
    void endTag();
    const char* scanTag(const char* p, const char* end);
    void decoded(const char* from, const char* to, bool ends);

    XmlCharacterReferences* references_;
    const char* piece_ = nullptr; // the piece being fed
    bool checkReferences_ = false; // in this piece
    State state_ = Text;
    char quote_ = 0;
    std::size_t attributes_ = 0;    // of the element being read
    unsigned long long tagBytes_ = 0; // of its tag outside the values: its names
    std::size_t allAttributes_ = 0; // of the document
    std::size_t nodes_ = 0;
    unsigned long long comparisons_ = 0;
    bool textSeen_ = false; // in the text since the last tag
    std::size_t matched_ = 0; // of the end mark looked for, or of a "<!" head
    const char* bangHead_ = nullptr; // the "<!" head being matched
    unsigned long long fed_ = 0; // bytes before the current piece
    unsigned long long tagOffset_ = 0;
    bool passed_ = false;
    bool stopped_ = false; // a limit passed or a bad reference found
};

} // namespace wiredhost

#endif

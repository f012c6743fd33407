#include "XmlTagLimits.h"

#include "ByteScan.h"
#include "XmlCharacterReferences.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace wiredhost {

namespace {

const char kComment[] = "--";
const char kCData[] = "[CDATA[";

// The characters that change the state inside a tag. Attributes are
// counted by their quoted values, which the parser requires of each: the
// spans between stops are then longer than if each = stopped the scan.
struct TagStops {
    bool stop[256] = {};
    TagStops()
    {
        for (unsigned char c : {'>', '"', '\''})
            stop[c] = true;
    }
    bool operator[](unsigned char c) const { return stop[c]; }
};
const TagStops kTagStop;

// White space as the parser skips it between tags.
bool isXmlSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\v' || c == '\f';
}

// Past the whole blocks of eight bytes before the first of a, b or c: to
// that byte when a block holds it, else to the last few bytes, which the
// caller looks at one by one.
const char* skipTo(const char* p, const char* end, char a, char b, char c)
{
    using namespace bytescan;
    for (; end - p >= 8; p += 8) {
        const std::uint64_t x = block(p);
        const std::uint64_t found = hasByte(x, static_cast<unsigned char>(a)) |
                                    hasByte(x, static_cast<unsigned char>(b)) |
                                    hasByte(x, static_cast<unsigned char>(c));
        if (found != 0)
            return p + firstFlagged(found);
    }
    return p;
}

} // namespace

std::string XmlTagLimits::problem() const
{
    if (allAttributes_ > kMaxAllAttributes)
        return "more than " + std::to_string(kMaxAllAttributes) +
               " XML attributes (wired-host's limit: each costs the XML reader memory, however short)";
    if (tooManyNodes())
        return "more than " + std::to_string(kMaxNodes) +
               " XML elements, texts and comments (wired-host's limit: each costs the XML reader memory, however "
               "short)";
    if (comparisons_ > kMaxComparisons)
        return "elements with so many attributes that the XML reader would compare more than " +
               std::to_string(kMaxComparisons) + " pairs of them (it compares each with all before it in its "
               "element, a pair of long names as several; wired-host's limit)";
    return "an element with more than " + std::to_string(kMaxAttributes) +
           " attributes (the limit of the XML reader, whose cost grows with their square)";
}

bool XmlTagLimits::within(const std::string& text, const std::string& where, std::string& error)
{
    XmlTagLimits limit;
    if (limit.feed(text.data(), text.size()))
        return true;
    const auto stop = text.begin() + static_cast<std::ptrdiff_t>(limit.offset());
    error = where + ":" + std::to_string(1 + std::count(text.begin(), stop, '\n')) + ": " + limit.problem();
    return false;
}

bool XmlTagLimits::feed(const char* data, std::size_t size)
{
    piece_ = data;
    // A piece without '&' holds no reference to check, unless one that
    // began before it goes on into it: one search for the piece instead
    // of one for each text and value (a model file has some two a line).
    checkReferences_ = references_ != nullptr &&
                       (!references_->idle() || std::memchr(data, '&', size) != nullptr);
    const char* end = data + size;
    for (const char* p = data; p < end && !stopped_;) {
        switch (state_) {
        case Text: {
            // Text between tags: on to the next tag. The parser makes a
            // node of text that is not all white space.
            const void* open = std::memchr(p, '<', static_cast<std::size_t>(end - p));
            const char* stop = open != nullptr ? static_cast<const char*>(open) : end;
            decoded(p, stop, open != nullptr);
            if (stopped_)
                break;
            for (; !textSeen_ && p < stop; ++p)
                textSeen_ = !isXmlSpace(*p);
            if (open == nullptr) {
                p = end;
                break;
            }
            p = stop;
            tagOffset_ = fed_ + static_cast<unsigned long long>(p - data);
            if (textSeen_) {
                textSeen_ = false;
                if (countNode())
                    break;
            }
            state_ = TagStart;
            ++p;
            // An element's tag, the usual case, is read on at once.
            if (p < end && *p != '!' && *p != '?') {
                step(*p++);
                if (!stopped_)
                    p = scanTag(p, end);
            }
            break;
        }
        case Tag:
            p = scanTag(p, end);
            break;
        case Quoted: {
            const void* close = std::memchr(p, quote_, static_cast<std::size_t>(end - p));
            decoded(p, close != nullptr ? static_cast<const char*>(close) : end, close != nullptr);
            if (close == nullptr) {
                p = end;
                break;
            }
            state_ = Tag;
            p = static_cast<const char*>(close) + 1;
            break;
        }
        default:
            step(*p++);
            break;
        }
    }
    fed_ += size;
    return !stopped_;
}

// Text or a quoted value, which the parser decodes: its character
// references are checked. A bad one stops the scan as a limit does.
void XmlTagLimits::decoded(const char* from, const char* to, bool ends)
{
    if (!checkReferences_)
        return;
    references_->feed(from, static_cast<std::size_t>(to - from), fed_ + static_cast<unsigned long long>(from - piece_));
    if (ends)
        references_->end();
    stopped_ = stopped_ || references_->found();
}

// Most of a model file is tags: a tag's names, blanks and = run up to the
// next > or quote, eight bytes at a time, and its quoted values are
// skipped whole, without going back to feed for each.
const char* XmlTagLimits::scanTag(const char* p, const char* end)
{
    while (p < end) {
        const char* const names = p;
        p = skipTo(p, end, '>', '"', '\'');
        while (p < end && !kTagStop[static_cast<unsigned char>(*p)])
            ++p;
        tagBytes_ += static_cast<unsigned long long>(p - names);
        if (p == end)
            break;
        const char c = *p++;
        if (c == '>') {
            endTag();
            break;
        }
        if (++attributes_ > kMaxAttributes || ++allAttributes_ > kMaxAllAttributes) {
            pass(true);
            break;
        }
        const void* close = std::memchr(p, c, static_cast<std::size_t>(end - p));
        decoded(p, close != nullptr ? static_cast<const char*>(close) : end, close != nullptr);
        if (stopped_)
            return end;
        if (close == nullptr) {
            quote_ = c;
            state_ = Quoted;
            return end;
        }
        p = static_cast<const char*>(close) + 1;
    }
    return p;
}

bool XmlTagLimits::countNode()
{
    pass(++nodes_ > kMaxNodes);
    return passed_;
}

bool XmlTagLimits::countAttribute()
{
    pass(++attributes_ > kMaxAttributes || ++allAttributes_ > kMaxAllAttributes);
    return passed_;
}

void XmlTagLimits::pass(bool passed)
{
    passed_ = passed_ || passed;
    stopped_ = stopped_ || passed;
}

// The parser compares each attribute of an element with all before it,
// name by name: a pair of long names that begin alike costs as many
// comparisons as the bytes they share. The names' length is taken from
// the tag's bytes outside its values; names of up to 16 bytes count once.
void XmlTagLimits::endTag()
{
    state_ = Text;
    const unsigned long long pairs =
        static_cast<unsigned long long>(attributes_) * (attributes_ - (attributes_ > 0)) / 2;
    const unsigned long long nameBytes = attributes_ > 0 ? tagBytes_ / attributes_ : 0;
    comparisons_ += pairs * (1 + nameBytes / 16);
    pass(comparisons_ > kMaxComparisons);
}

void XmlTagLimits::step(char c)
{
    switch (state_) {
    case Text:
    case Quoted:
        // feed runs through text and quoted values itself.
        break;
    case TagStart:
        attributes_ = 0;
        tagBytes_ = 0;
        matched_ = 0;
        state_ = c == '!' ? Bang : c == '?' ? Instruction : Tag;
        // An end tag belongs to an element counted at its start; a
        // comment, CDATA, an instruction or a declaration is a node too.
        if (c != '/')
            countNode();
        break;
    case Tag:
        if (c == '>') {
            endTag();
        } else if (c == '"' || c == '\'') {
            quote_ = c;
            state_ = Quoted;
            countAttribute();
        }
        break;
    case Bang:
        // "<!--", "<![CDATA[" or else anything up to the next >: the
        // parser takes <!DOCTYPE …> and every other <! as text up to the
        // first >, brackets and quotes of an internal subset included.
        // Counting that differently would let attributes after such a >
        // pass uncounted.
        if (matched_ == 0 && (c == '-' || c == '[')) {
            bangHead_ = c == '-' ? kComment : kCData;
            matched_ = 1;
        } else if (matched_ > 0 && c == bangHead_[matched_]) {
            if (bangHead_[++matched_] == '\0') {
                state_ = bangHead_ == kComment ? Comment : CData;
                matched_ = 0;
            }
        } else {
            state_ = Declaration;
            step(c);
        }
        break;
    case Comment: // ends at -->
        matched_ = c == '-' ? (matched_ < 2 ? matched_ + 1 : 2) : (c == '>' && matched_ == 2 ? 3 : 0);
        if (matched_ == 3)
            state_ = Text;
        break;
    case CData: // ends at ]]>
        matched_ = c == ']' ? (matched_ < 2 ? matched_ + 1 : 2) : (c == '>' && matched_ == 2 ? 3 : 0);
        if (matched_ == 3)
            state_ = Text;
        break;
    case Instruction: // ends at ?>
        if (c == '>' && matched_ == 1)
            state_ = Text;
        matched_ = c == '?';
        break;
    case Declaration: // ends at the first >
        if (c == '>')
            state_ = Text;
        break;
    }
}

} // namespace wiredhost

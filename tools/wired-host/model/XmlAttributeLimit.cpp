#include "XmlAttributeLimit.h"

#include <cstring>

namespace wiredhost {

namespace {

const char kComment[] = "--";
const char kCData[] = "[CDATA[";

} // namespace

bool XmlAttributeLimit::feed(const char* data, std::size_t size)
{
    const char* end = data + size;
    for (const char* p = data; p < end && !passed_; ++p) {
        // Text between tags is most of a file: skip to the next tag.
        if (state_ == Text) {
            const void* open = std::memchr(p, '<', static_cast<std::size_t>(end - p));
            const char* stop = open != nullptr ? static_cast<const char*>(open) : end;
            for (const char* q = p; q < stop; ++q)
                line_ += *q == '\n';
            if (stop == end)
                break;
            p = stop;
        }
        step(*p);
    }
    return !passed_;
}

void XmlAttributeLimit::step(char c)
{
    if (c == '\n')
        ++line_;
    switch (state_) {
    case Text:
        state_ = TagStart;
        tagLine_ = line_;
        break;
    case TagStart:
        attributes_ = 0;
        matched_ = 0;
        state_ = c == '!' ? Bang : c == '?' ? Instruction : Tag;
        break;
    case Tag:
        if (c == '>') {
            state_ = Text;
        } else if (c == '"' || c == '\'') {
            quote_ = c;
            quotedIn_ = Tag;
            state_ = Quoted;
        } else if (c == '=' && ++attributes_ > kMaxAttributes) {
            passed_ = true;
            line_ = tagLine_;
        }
        break;
    case Quoted:
        if (c == quote_)
            state_ = quotedIn_;
        break;
    case Bang:
        // "<!--", "<![CDATA[" or a declaration such as <!DOCTYPE …>.
        if (matched_ < 2 && c == kComment[matched_]) {
            if (++matched_ == 2) {
                state_ = Comment;
                matched_ = 0;
            }
        } else if (matched_ < 7 && c == kCData[matched_]) {
            if (++matched_ == 7) {
                state_ = CData;
                matched_ = 0;
            }
        } else {
            state_ = Declaration;
            declarationDepth_ = 0;
            step(c == '\n' ? ' ' : c);
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
    case Declaration: // ends at a > outside its [internal subset] and quotes
        if (c == '"' || c == '\'') {
            quote_ = c;
            quotedIn_ = Declaration;
            state_ = Quoted;
        } else if (c == '[') {
            ++declarationDepth_;
        } else if (c == ']' && declarationDepth_ > 0) {
            --declarationDepth_;
        } else if (c == '>' && declarationDepth_ == 0) {
            state_ = Text;
        }
        break;
    }
}

} // namespace wiredhost

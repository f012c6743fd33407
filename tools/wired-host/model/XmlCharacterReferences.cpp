#include "XmlCharacterReferences.h"

#include <cstring>

namespace wiredhost {

namespace {

// Past the last character: a longer number stays here, not wrapped.
const unsigned long kBeyond = 0x110000;

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool XmlCharacterReferences::feed(const char* data, std::size_t size, unsigned long long at)
{
    const char* end = data + size;
    for (const char* p = data; p < end && !found_;) {
        if (state_ == Text) {
            const void* amp = std::memchr(p, '&', static_cast<std::size_t>(end - p));
            if (amp == nullptr)
                break;
            p = static_cast<const char*>(amp);
        }
        step(*p, at + static_cast<unsigned long long>(p - data));
        ++p;
    }
    return !found_;
}

bool XmlCharacterReferences::end()
{
    if (!found_ && state_ != Text && state_ != Amp)
        fail("not a number ended by ';'");
    state_ = Text;
    return !found_;
}

void XmlCharacterReferences::fail(const char* problem)
{
    found_ = true;
    problem_ = problem;
}

void XmlCharacterReferences::step(char c, unsigned long long at)
{
    const int digit = hexDigit(c);
    switch (state_) {
    case Text:
        if (c == '&') {
            state_ = Amp;
            start_ = at;
        }
        break;
    case Amp: // a named reference (&amp;) or a lone '&' is the parser's
        state_ = c == '#' ? Hash : Text;
        if (c == '&')
            step(c, at);
        break;
    case Hash:
        value_ = 0;
        if (c == 'x')
            state_ = HexMark;
        else if (digit >= 0 && digit < 10) {
            state_ = Decimal;
            value_ = static_cast<unsigned long>(digit);
        } else {
            fail("not a number ended by ';'");
        }
        break;
    case HexMark:
        if (digit >= 0) {
            state_ = Hexadecimal;
            value_ = static_cast<unsigned long>(digit);
        } else {
            fail("not a number ended by ';'");
        }
        break;
    case Decimal:
    case Hexadecimal: {
        const unsigned long base = state_ == Decimal ? 10 : 16;
        if (c == ';') {
            if (value_ == 0)
                fail("U+0000");
            else if (value_ >= kBeyond)
                fail("beyond U+10FFFF");
            else if (value_ >= 0xD800 && value_ <= 0xDFFF)
                fail("a surrogate (U+D800 to U+DFFF), which is no character");
            state_ = Text;
        } else if (digit >= 0 && static_cast<unsigned long>(digit) < base) {
            value_ = value_ * base + static_cast<unsigned long>(digit);
            if (value_ > kBeyond)
                value_ = kBeyond;
        } else {
            fail("not a number ended by ';'");
        }
        break;
    }
    }
}

} // namespace wiredhost

#include "Text.h"

namespace wiredhost {

namespace {

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string lowered(std::string text)
{
    for (char& c : text)
        c = lower(c);
    return text;
}

std::string trimmed(const std::string& text, const char* blanks)
{
    const std::size_t start = text.find_first_not_of(blanks);
    if (start == std::string::npos)
        return std::string();
    return text.substr(start, text.find_last_not_of(blanks) - start + 1);
}

std::string shortened(std::string_view text, std::size_t most)
{
    if (text.size() <= most)
        return std::string(text);
    const auto continues = [&text](std::size_t at) { return (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80; };
    std::size_t head = most / 2, tail = text.size() - (most - most / 2);
    while (head > 0 && continues(head))
        --head;
    while (tail < text.size() && continues(tail))
        ++tail;
    return std::string(text.substr(0, head)) + "..." + std::string(text.substr(tail));
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && equalsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

bool isMacMetadata(std::string_view entryName)
{
    const std::size_t slash = entryName.find_last_of('/');
    const std::string_view base = slash == std::string_view::npos ? entryName : entryName.substr(slash + 1);
    return base.substr(0, 2) == "._" || entryName.substr(0, 9) == "__MACOSX/" ||
           entryName.find("/__MACOSX/") != std::string_view::npos;
}

} // namespace wiredhost

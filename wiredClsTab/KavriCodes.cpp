#include "KavriCodes.h"

namespace kavri {

KavriCodes::KavriCodes(std::initializer_list<std::string_view> codes)
{
    for (std::string_view code : codes)
        add(code);
}

KavriCodes::KavriCodes(const std::vector<std::string>& codes)
{
    for (const std::string& code : codes)
        add(code);
}

void KavriCodes::grow(std::size_t needed)
{
    // Doubled, so that a config's codes move the block a few times in all;
    // a code longer than that gets room of its own size.
    std::size_t size = text_.empty() ? 64 : text_.size() * 2;
    if (size - used_ < needed)
        size = used_ + needed;
    text_.resize(size);
}

std::vector<std::string> KavriCodes::strings() const
{
    std::vector<std::string> out;
    out.reserve(size());
    for (std::size_t i = 0; i < size(); ++i)
        out.emplace_back((*this)[i]);
    return out;
}

} // namespace kavri

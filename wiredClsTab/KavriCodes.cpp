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

void KavriCodes::add(std::string_view code)
{
    text_.append(code.data(), code.size());
    ends_.push_back(text_.size());
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

#include "TarArchive.h"

#include <cctype>
#include <cstdlib>

namespace wiredhost {

namespace {

const std::size_t kBlock = 512;

bool endsWith(const std::string& text, const std::string& suffix)
{
    if (text.size() < suffix.size())
        return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[text.size() - suffix.size() + i])) !=
            std::tolower(static_cast<unsigned char>(suffix[i])))
            return false;
    }
    return true;
}

std::string field(const std::string& data, std::size_t at, std::size_t length)
{
    const std::string raw = data.substr(at, length);
    return raw.substr(0, raw.find('\0'));
}

} // namespace

bool TarArchive::isTar(const std::string& data)
{
    return data.size() >= kBlock && data.compare(257, 5, "ustar") == 0;
}

bool TarArchive::find(const std::string& data, const std::string& suffix, std::string& name, std::string& content,
                      std::string& names)
{
    for (std::size_t at = 0; at + kBlock <= data.size();) {
        const std::string entry = field(data, at, 100);
        if (entry.empty())
            break;
        const std::string prefix = field(data, at + 345, 155);
        const std::string full = prefix.empty() ? entry : prefix + "/" + entry;
        const std::size_t size = std::strtoul(field(data, at + 124, 12).c_str(), nullptr, 8);
        const char type = data[at + 156];
        names += (names.empty() ? "" : ", ") + full;
        if ((type == '0' || type == '\0') && endsWith(full, suffix) && at + kBlock + size <= data.size()) {
            name = full;
            content = data.substr(at + kBlock, size);
            return true;
        }
        at += kBlock + (size + kBlock - 1) / kBlock * kBlock;
    }
    return false;
}

} // namespace wiredhost

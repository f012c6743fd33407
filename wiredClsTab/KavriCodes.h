#ifndef WIREDCLSTAB_KAVRICODES_H
#define WIREDCLSTAB_KAVRICODES_H

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace kavri {

// The codes of one kind that config.xml gives (package codes or leader
// codes), in document order, kept one after another in one block of text:
// a heap block for every code was most of what reading a config cost beyond
// parsing it.
class KavriCodes {
public:
    KavriCodes() = default;
    KavriCodes(std::initializer_list<std::string_view> codes);
    explicit KavriCodes(const std::vector<std::string>& codes);

    // In line: a config's codes are added one after another while it is
    // read, and a call into the string's general append for each was a
    // tenth of what the converter adds to parsing.
    void add(std::string_view code)
    {
        if (text_.size() - used_ < code.size())
            grow(code.size());
        if (!code.empty())
            std::memcpy(text_.data() + used_, code.data(), code.size());
        used_ += code.size();
        ends_.push_back(used_);
    }

    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    // Valid until the next add.
    std::string_view operator[](std::size_t i) const
    {
        const std::size_t start = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(text_.data() + start, ends_[i] - start);
    }

    std::vector<std::string> strings() const;
    // The heap blocks the list holds, in bytes: its text and its ends.
    std::size_t textCapacity() const { return text_.capacity(); }
    std::size_t endsCapacity() const { return ends_.capacity() * sizeof(std::size_t); }

    bool operator==(const KavriCodes& other) const
    {
        return ends_ == other.ends_ && (used_ == 0 || std::memcmp(text_.data(), other.text_.data(), used_) == 0);
    }
    bool operator!=(const KavriCodes& other) const { return !(*this == other); }

private:
    void grow(std::size_t needed);

    std::vector<char> text_; // all of it room; the codes fill the first used_ bytes
    std::size_t used_ = 0;
    std::vector<std::size_t> ends_; // where each code ends in text_
};

} // namespace kavri

#endif

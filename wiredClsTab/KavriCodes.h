#ifndef WIREDCLSTAB_KAVRICODES_H
#define WIREDCLSTAB_KAVRICODES_H

#include <cstddef>
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

    void add(std::string_view code);

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

    bool operator==(const KavriCodes& other) const { return ends_ == other.ends_ && text_ == other.text_; }
    bool operator!=(const KavriCodes& other) const { return !(*this == other); }

private:
    std::string text_;
    std::vector<std::size_t> ends_; // where each code ends in text_
};

} // namespace kavri

#endif

#include "KavriNaming.h"

#include <cstdint>
#include <cstring>

namespace kavri {

namespace {

// A lower-case letter followed by an upper-case one. Written without
// branches so the scan over long names stays cheap.
bool isSeam(char before, char c)
{
    return (static_cast<unsigned char>(before - 'a') < 26) & (static_cast<unsigned char>(c - 'A') < 26);
}

// Any byte from 0x80 up? Written to run over the whole name without a
// branch, which keeps it a small part of the work.
bool anyHighByte(const char* text, std::size_t length)
{
    unsigned char bits = 0;
    for (std::size_t i = 0; i < length; ++i)
        bits |= static_cast<unsigned char>(text[i]);
    return (bits & 0x80) != 0;
}

// Copies ASCII text to out with '_' before every seam, eight bytes at a time:
// the letters of a word are found with a few integer operations, and a word
// without a seam is copied whole. kNone when a byte from 0x80 up turns up:
// such a name takes the scan that knows double-byte characters. The bit of
// byte j of a word is bit 8j+7, as the word is laid out in memory on a
// little-endian machine; elsewhere the names go byte by byte.
std::size_t asciiSeams(const char* text, std::size_t length, char* out)
{
    std::size_t found = 0;
    std::size_t i = 0;
#if (defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__) || defined(_WIN32)
    const std::uint64_t ones = 0x0101010101010101ull;
    const std::uint64_t high = 0x8080808080808080ull;
    // Byte 0's bit set when the byte before the word is a lower-case letter.
    std::uint64_t lowerBefore = 0;
    for (; i + 8 <= length; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text + i, 8);
        if ((word & high) != 0)
            return KavriNaming::kNone;
        // With every byte below 0x80, adding to each byte carries into its
        // top bit exactly when the byte is at least the bound.
        const std::uint64_t lower = (word + (0x80 - 'a') * ones) & ~(word + (0x80 - 'z' - 1) * ones) & high;
        const std::uint64_t upper = (word + (0x80 - 'A') * ones) & ~(word + (0x80 - 'Z' - 1) * ones) & high;
        const std::uint64_t seams = upper & ((lower << 8) | lowerBefore);
        lowerBefore = lower >> 56;
        if (seams == 0) {
            std::memcpy(out, text + i, 8);
            out += 8;
            continue;
        }
        for (std::size_t j = 0; j < 8; ++j) {
            const std::size_t seam = static_cast<std::size_t>(seams >> (8 * j + 7)) & 1;
            found += seam;
            *out = '_';
            out += seam;
            *out++ = text[i + j];
        }
    }
#endif
    char before = i == 0 ? '\0' : text[i - 1];
    for (; i < length; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return KavriNaming::kNone;
        // The underscore is always written and kept only at a seam.
        const bool seam = isSeam(before, text[i]);
        found += seam;
        *out = '_';
        out += seam;
        *out++ = text[i];
        before = text[i];
    }
    return found;
}

// Codes are short: compared in place they cost less than a call.
bool sameBytes(const char* a, const char* b, std::size_t size)
{
    if (size > 16)
        return std::memcmp(a, b, size) == 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

// The last byte alone settles most package codes.
bool endsWith(const std::string& text, std::string_view tail)
{
    const std::size_t size = tail.size();
    return size <= text.size() && (size == 0 || text[text.size() - 1] == tail[size - 1]) &&
           sameBytes(text.data() + text.size() - size, tail.data(), size);
}

// The first byte alone settles most leaders.
bool startsWith(const std::string& text, std::string_view head)
{
    return head.size() <= text.size() && (head.empty() || text[0] == head[0]) &&
           sameBytes(text.data(), head.data(), head.size());
}

} // namespace

char* KavriNaming::TableName::reserve(std::size_t size)
{
    if (size < sizeof inside_) {
        text_ = inside_;
    } else {
        heap_.reset(new char[size + 1]);
        text_ = heap_.get();
    }
    return text_;
}

void KavriNaming::TableName::setSize(std::size_t size)
{
    size_ = size;
    text_[size] = '\0';
}

KavriNaming::KavriNaming(const KavriCodes& packageCodes, const KavriCodes& leaderCodes, LeadByteTest isLeadByte)
    : packageCodes_(packageCodes), leaderCodes_(leaderCodes), isLeadByte_(isLeadByte)
{
}

std::size_t KavriNaming::packageMatch(const std::string& packagePath) const
{
    for (std::size_t i = 0; i < packageCodes_.size(); ++i) {
        const std::string_view code = packageCodes_[i];
        if (!endsWith(packagePath, code))
            continue;
        const std::size_t rest = packagePath.size() - code.size();
        if (rest == 0 || packagePath[rest - 1] == '.')
            return i;
    }
    return kNone;
}

bool KavriNaming::passes(const std::string& packagePath) const
{
    return !filtersPackages() || packageMatch(packagePath) != kNone;
}

std::size_t KavriNaming::leaderMatch(const std::string& name) const
{
    for (std::size_t i = 0; i < leaderCodes_.size(); ++i) {
        if (startsWith(name, leaderCodes_[i]))
            return i;
    }
    return kNone;
}

// Only bytes from 0x80 up can begin a double-byte character, so ASCII never
// asks the operating system.
bool KavriNaming::startsDoubleByte(const char* text, std::size_t i, std::size_t length) const
{
    return static_cast<unsigned char>(text[i]) >= 0x80 && i + 1 < length && isLeadByte_(text[i]);
}

// A double-byte character is taken whole and is no letter: its second byte
// may look like a lower-case one, but "條Code" has no seam. The first byte
// never gets an underscore.
std::size_t KavriNaming::seams(const char* text, std::size_t length, char* out) const
{
    std::size_t found = 0;
    if (length == 0)
        return 0;
    // ASCII alone, the common case.
    if (out != nullptr) {
        found = asciiSeams(text, length, out);
        if (found != kNone)
            return found;
        found = 0;
    } else if (!anyHighByte(text, length)) {
        // Each pair of bytes tested as it stands, without a branch.
        for (std::size_t i = 1; i < length; ++i)
            found += isSeam(text[i - 1], text[i]);
        return found;
    }
    char before = '\0';
    for (std::size_t i = 0; i < length; ++i) {
        if (startsDoubleByte(text, i, length)) {
            if (out != nullptr) {
                *out++ = text[i];
                *out++ = text[i + 1];
            }
            ++i;
            before = '\0';
            continue;
        }
        const bool seam = isSeam(before, text[i]);
        found += seam;
        if (out != nullptr) {
            *out = '_';
            out += seam;
            *out++ = text[i];
        }
        before = text[i];
    }
    return found;
}

void KavriNaming::derive(const std::string& name, TableName& table) const
{
    const std::size_t leader = leaderMatch(name);
    const std::size_t start = leader == kNone ? 0 : leaderCodes_[leader].size();
    const char* text = name.data() + start;
    const std::size_t length = name.size() - start;
    // A short name is built in the room inside the table name, always big
    // enough. A long one is counted first and then built at its final size
    // on the heap. Either way one linear pass, however many seams it has.
    if (length <= kShortName) {
        char* out = table.reserve(length + length / 2);
        table.setSize(length + seams(text, length, out));
        return;
    }
    const std::size_t size = length + seams(text, length, nullptr);
    seams(text, length, table.reserve(size));
    table.setSize(size);
}

std::string KavriNaming::tableNameFor(const std::string& name) const
{
    TableName table;
    derive(name, table);
    return table.str();
}

KavriNaming::Explanation KavriNaming::explain(const std::string& packagePath, const std::string& name) const
{
    Explanation why;
    why.packageTested = filtersPackages();
    if (why.packageTested) {
        why.packageCode = packageMatch(packagePath);
        if (why.skipped())
            return why;
    }
    why.leaderCode = leaderMatch(name);
    why.withoutLeader = name.substr(why.leaderCode == kNone ? 0 : leaderCodes_[why.leaderCode].size());
    why.tableName = tableNameFor(name);
    // The derivation only ever inserts '_', and always before an upper-case
    // letter, never before a '_' of the name: so where the table name and the
    // name part ways, the table name has an inserted underscore.
    const std::string& from = why.withoutLeader;
    std::size_t i = 0;
    for (std::size_t at = 0; at < why.tableName.size(); ++at) {
        if (i < from.size() && why.tableName[at] == from[i])
            ++i;
        else
            why.underscores.push_back(at);
    }
    return why;
}

} // namespace kavri

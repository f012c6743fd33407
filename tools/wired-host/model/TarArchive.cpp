#include "TarArchive.h"

#include <cstdint>

#include "Text.h"

namespace wiredhost {

namespace {

const std::size_t kBlock = 512;


std::string field(const std::string& data, std::size_t at, std::size_t length)
{
    const std::string raw = data.substr(at, length);
    return raw.substr(0, raw.find('\0'));
}

// A numeric header field: octal digits after optional spaces, ended by a
// space, a NUL or the field's end; or GNU's base-256, a first byte with its
// top bit set. False for anything else, a negative number included.
bool number(const std::string& data, std::size_t at, std::size_t length, std::uint64_t& value)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(data.data() + at);
    value = 0;
    if (p[0] & 0x80) {
        if (p[0] != 0x80)
            return false;
        for (std::size_t i = 1; i < length; ++i) {
            if (value >> 55)
                return false;
            value = value << 8 | p[i];
        }
        return true;
    }
    std::size_t i = 0;
    while (i < length && p[i] == ' ')
        ++i;
    const std::size_t first = i;
    for (; i < length && p[i] >= '0' && p[i] <= '7'; ++i)
        value = value << 3 | static_cast<std::uint64_t>(p[i] - '0');
    if (i == first)
        return false;
    for (; i < length; ++i) {
        if (p[i] != ' ' && p[i] != '\0')
            return false;
    }
    return true;
}

// A pax header's path record ("30 path=some/long/name.xmi\n"), "" when it
// has none. Each record gives its own length, which is checked against
// what is left: a damaged one ends the reading.
std::string paxPath(const std::string& records)
{
    std::string path;
    std::size_t at = 0;
    while (at < records.size()) {
        std::size_t length = 0, digits = at;
        while (digits < records.size() && digits - at < 10 && records[digits] >= '0' && records[digits] <= '9')
            length = length * 10 + static_cast<std::size_t>(records[digits++] - '0');
        if (digits == at || length <= digits - at || length > records.size() - at)
            break;
        const std::string record = records.substr(digits, at + length - digits);
        if (record.compare(0, 6, " path=") == 0 && record.back() == '\n')
            path = record.substr(6, record.size() - 7);
        at += length;
    }
    return path;
}

} // namespace

bool TarArchive::isTar(const std::string& data)
{
    return data.size() >= kBlock && data.compare(257, 5, "ustar") == 0;
}

bool TarArchive::readHeader(std::size_t at, Entry& entry, std::string& problem) const
{
    const std::string& data = *data_;
    const std::string name = field(data, at, 100);
    const std::string prefix = field(data, at + 345, 155);
    entry.name = prefix.empty() ? name : prefix + "/" + name;
    entry.type = data[at + 156];
    entry.offset = at + kBlock;
    // The header's checksum: the sum of its bytes, the checksum's own
    // eight taken as blanks; old tars summed them as signed bytes.
    std::uint64_t checksum = 0;
    std::int64_t unsignedSum = 0, signedSum = 0;
    for (std::size_t i = 0; i < kBlock; ++i) {
        const unsigned char c = i >= 148 && i < 156 ? ' ' : static_cast<unsigned char>(data[at + i]);
        unsignedSum += c;
        signedSum += static_cast<signed char>(c);
    }
    if (!number(data, at + 148, 8, checksum) ||
        (static_cast<std::int64_t>(checksum) != unsignedSum && static_cast<std::int64_t>(checksum) != signedSum)) {
        problem = "tar entry " + shortened(entry.name) + " has a damaged header (its checksum does not match)";
        return false;
    }
    std::uint64_t size = 0;
    if (!number(data, at + 124, 12, size)) {
        problem = "tar entry " + shortened(entry.name) + " has a damaged size field";
        return false;
    }
    const std::size_t following = data.size() - entry.offset;
    if (size > following) {
        problem = "tar entry " + shortened(entry.name) + " says it holds " + std::to_string(size) + " bytes, but only " +
                  std::to_string(following) + " follow (cut short?)";
        return false;
    }
    entry.size = static_cast<std::size_t>(size);
    return true;
}

void TarArchive::parse(const std::string& data)
{
    data_ = &data;
    entries_.clear();
    damage_.clear();
    std::size_t at = 0;
    // The name a GNU long-name entry ('L') or a pax header ('x') gives
    // the entry that follows it.
    std::string longName;
    while (data.size() - at >= kBlock && data[at] != '\0') {
        Entry entry;
        if (!readHeader(at, entry, damage_))
            return;
        if (entry.type == 'L' || entry.type == 'x') {
            const std::string content = extract(entry);
            longName = entry.type == 'L' ? content.substr(0, content.find('\0')) : paxPath(content);
        } else if (entry.type != 'g') {
            if (!longName.empty())
                entry.name = std::move(longName);
            longName.clear();
            entries_.push_back(entry);
        }
        // The content is padded to whole blocks; the padding of the last
        // entry may be missing.
        const std::size_t blocks = entry.size / kBlock + (entry.size % kBlock != 0);
        if (blocks > (data.size() - entry.offset) / kBlock)
            return;
        at = entry.offset + blocks * kBlock;
    }
}

// An empty entry is no model, and is passed over.
const TarArchive::Entry* TarArchive::findBySuffix(const std::string& suffix) const
{
    for (const Entry& entry : entries_) {
        if (entry.isFile() && entry.size != 0 && !isMacMetadata(entry.name) &&
            endsWithIgnoringCase(entry.name, suffix))
            return &entry;
    }
    return nullptr;
}

std::string TarArchive::extract(const Entry& entry) const
{
    return data_->substr(entry.offset, entry.size);
}

} // namespace wiredhost

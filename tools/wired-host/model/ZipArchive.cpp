#include "ZipArchive.h"


#include "Inflater.h"
#include "Text.h"

namespace wiredhost {

namespace {

const std::uint32_t kEndOfDirectory = 0x06054b50;
const std::uint32_t kDirectoryEntry = 0x02014b50;
const std::uint32_t kLocalHeader = 0x04034b50;
const std::uint32_t kZip64End = 0x06064b50;
const std::uint32_t kZip64Locator = 0x07064b50;
const std::uint32_t kZip64Extra = 0x0001;
const std::uint32_t kInZip64 = 0xFFFFFFFF; // a 32-bit field whose value is in the zip64 record

std::uint32_t read16(const std::string& data, std::size_t at)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(data.data() + at);
    return p[0] | (p[1] << 8);
}

std::uint32_t read32(const std::string& data, std::size_t at)
{
    return read16(data, at) | (read16(data, at + 2) << 16);
}

std::uint64_t read64(const std::string& data, std::size_t at)
{
    return read32(data, at) | static_cast<std::uint64_t>(read32(data, at + 4)) << 32;
}

// An offset or a count for this machine: on 32-bit a value too big for a
// size_t is kept as the biggest, as far out of the data in memory as any.
std::size_t clamped(std::uint64_t wide)
{
    const std::size_t most = static_cast<std::size_t>(-1);
    return wide > most ? most : static_cast<std::size_t>(wide);
}

// The end record is in the last 22 + 65535 bytes (its comment may be long).
bool findEnd(const std::string& data, std::size_t& end)
{
    if (data.size() < 22)
        return false;
    const std::size_t lowest = data.size() > 22 + 65535 ? data.size() - 22 - 65535 : 0;
    for (std::size_t at = data.size() - 22;; --at) {
        if (read32(data, at) == kEndOfDirectory) {
            end = at;
            return true;
        }
        if (at == lowest)
            return false;
    }
}

// Streaming zippers (Info-ZIP reading a pipe, .NET, Java with unknown sizes)
// write zip64 records even for small files: the end record's count and
// offset then stand in a zip64 end record that a locator just before it
// points at.
bool readZip64End(const std::string& data, std::size_t end, std::size_t& count, std::size_t& directory)
{
    if (end < 20 || read32(data, end - 20) != kZip64Locator)
        return false;
    const std::size_t record = clamped(read64(data, end - 20 + 8));
    if (record > data.size() || data.size() - record < 56 || read32(data, record) != kZip64End)
        return false;
    count = clamped(read64(data, record + 32));
    directory = clamped(read64(data, record + 48));
    return true;
}


} // namespace

bool ZipArchive::isZip(const std::string& data)
{
    return data.size() >= 4 && read32(data, 0) == kLocalHeader;
}

bool ZipArchive::parse(const std::string& data, std::string& error)
{
    data_ = &data;
    entries_.clear();
    std::size_t end = 0;
    if (!findEnd(data, end)) {
        error = "a zip file without its directory (cut short?)";
        return false;
    }
    std::size_t count = read16(data, end + 10);
    std::size_t at = read32(data, end + 16);
    if ((count == 0xFFFF || at == kInZip64) && !readZip64End(data, end, count, at) && at == kInZip64) {
        error = "a zip64 file without its zip64 end record (cut short?)";
        return false;
    }
    // Each entry takes 46 bytes at least, so a count from the file cannot
    // make the loop run longer than the data allows.
    for (std::size_t i = 0; i < count; ++i) {
        if (!readEntry(data, at)) {
            error = "a zip file with a damaged directory (entry " + std::to_string(i + 1) + " of " +
                    std::to_string(count) + ")";
            return false;
        }
    }
    return true;
}

// One entry of the central directory at `at`, which moves past it. Every
// offset is compared with what is left of the data, never added to first:
// on 32-bit a size from the file would wrap the sum.
bool ZipArchive::readEntry(const std::string& data, std::size_t& at)
{
    if (at > data.size() || data.size() - at < 46 || read32(data, at) != kDirectoryEntry)
        return false;
    Entry entry;
    entry.method = static_cast<std::uint16_t>(read16(data, at + 10));
    entry.crc = static_cast<std::uint32_t>(read32(data, at + 16));
    entry.compressedSize = read32(data, at + 20);
    entry.size = read32(data, at + 24);
    const std::size_t nameLength = read16(data, at + 28);
    const std::size_t extraLength = read16(data, at + 30);
    const std::size_t extra = extraLength + read16(data, at + 32); // and the comment
    entry.localHeader = read32(data, at + 42);
    if (data.size() - at - 46 < nameLength)
        return false;
    entry.name = data.substr(at + 46, nameLength);
    if (data.size() - at - 46 - nameLength < extraLength ||
        !readZip64Sizes(data, at + 46 + nameLength, extraLength, entry))
        return false;
    entry.encrypted = (read16(data, at + 8) & 1) != 0;
    entries_.push_back(entry);
    const std::size_t length = 46 + nameLength + extra;
    at = data.size() - at < length ? data.size() : at + length;
    return true;
}

// The fields of a directory entry that say they are in its zip64 extra
// field, read from there in the order the format gives (size, compressed
// size, local header); false when one is missing.
bool ZipArchive::readZip64Sizes(const std::string& data, std::size_t at, std::size_t length, Entry& entry)
{
    if (entry.size != kInZip64 && entry.compressedSize != kInZip64 && entry.localHeader != kInZip64)
        return true;
    while (length >= 4) {
        const std::size_t id = read16(data, at);
        const std::size_t fieldLength = read16(data, at + 2);
        if (length - 4 < fieldLength)
            return false;
        if (id == kZip64Extra) {
            std::size_t next = at + 4;
            const std::size_t fieldEnd = next + fieldLength;
            for (std::uint64_t* field : {&entry.size, &entry.compressedSize, &entry.localHeader}) {
                if (*field != kInZip64)
                    continue;
                if (fieldEnd - next < 8)
                    return false;
                *field = read64(data, next);
                next += 8;
            }
            return true;
        }
        at += 4 + fieldLength;
        length -= 4 + fieldLength;
    }
    return false;
}

// An empty entry is no model, and is passed over.
const ZipArchive::Entry* ZipArchive::findBySuffix(const std::string& suffix) const
{
    for (const Entry& entry : entries_) {
        if (entry.size != 0 && !isMacMetadata(entry.name) && endsWithIgnoringCase(entry.name, suffix))
            return &entry;
    }
    return nullptr;
}

bool ZipArchive::extract(const Entry& entry, std::size_t limit, std::string& out, std::string& error) const
{
    const std::string& data = *data_;
    if (entry.localHeader > data.size() || data.size() - entry.localHeader < 30 ||
        read32(data, static_cast<std::size_t>(entry.localHeader)) != kLocalHeader) {
        error = "zip entry " + shortened(entry.name) + " is damaged";
        return false;
    }
    // Within the data, so within what this machine addresses.
    const std::size_t header = static_cast<std::size_t>(entry.localHeader);
    const std::size_t skipped = 30 + read16(data, header + 26) + read16(data, header + 28);
    if (data.size() - header < skipped || data.size() - header - skipped < entry.compressedSize) {
        error = "zip entry " + shortened(entry.name) + " is cut short (it says it holds " +
                std::to_string(entry.compressedSize) + " bytes)";
        return false;
    }
    if (entry.encrypted) {
        error = "zip entry " + shortened(entry.name) + " is encrypted, which wired-host does not read";
        return false;
    }
    const std::size_t start = header + skipped;
    const std::size_t compressedSize = static_cast<std::size_t>(entry.compressedSize);
    if (entry.method == 0) {
        out.assign(data, start, compressedSize);
    } else if (entry.method != 8) {
        error = "zip entry " + shortened(entry.name) + " is compressed with method " + std::to_string(entry.method) +
                ", which wired-host does not read (only stored and deflated)";
        return false;
    } else if (!Inflater::inflateRaw(data.data() + start, compressedSize, clamped(entry.size), limit, out, error)) {
        error = "zip entry " + shortened(entry.name) + ": " + error;
        return false;
    }
    // A damaged entry would otherwise be read as the model, its names
    // changed where the damage is.
    if (Inflater::crc32Of(out) != entry.crc) {
        error = "zip entry " + shortened(entry.name) + " is damaged: its content does not match its CRC-32";
        return false;
    }
    return true;
}

} // namespace wiredhost

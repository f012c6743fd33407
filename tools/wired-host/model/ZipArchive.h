#ifndef WIREDHOST_MODEL_ZIPARCHIVE_H
#define WIREDHOST_MODEL_ZIPARCHIVE_H

#include <cstdint>
#include <string>
#include <vector>

namespace wiredhost {

// A zip file read from memory through its central directory: ArgoUML's
// .zargo and Poseidon's .zuml hold the model as an .xmi entry. Stored and
// deflated entries are read, zip64 records too; encrypted ones are not.
class ZipArchive {
public:
    struct Entry {
        std::string name;
        std::uint16_t method = 0;
        bool encrypted = false;
        std::uint32_t crc = 0; // of the entry's content, as the directory gives it
        // As the file gives them, zip64 too: on 32-bit they may pass what
        // the machine addresses, and are compared with the data before any
        // cast to size_t.
        std::uint64_t compressedSize = 0;
        std::uint64_t size = 0;
        std::uint64_t localHeader = 0;
    };

    static bool isZip(const std::string& data);

    // False with a message when the directory cannot be read.
    bool parse(const std::string& data, std::string& error);

    const std::vector<Entry>& entries() const { return entries_; }

    // The first entry with content whose name ends with suffix, compared
    // without case, macOS's metadata passed over; null when there is none.
    const Entry* findBySuffix(const std::string& suffix) const;

    // The entry's content; a deflated one may unpack to `limit` bytes.
    bool extract(const Entry& entry, std::size_t limit, std::string& out, std::string& error) const;

private:
    bool readEntry(const std::string& data, std::size_t& at);
    static bool readZip64Sizes(const std::string& data, std::size_t at, std::size_t length, Entry& entry);

    const std::string* data_ = nullptr;
    std::vector<Entry> entries_;
};

} // namespace wiredhost

#endif

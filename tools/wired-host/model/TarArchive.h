#ifndef WIREDHOST_MODEL_TARARCHIVE_H
#define WIREDHOST_MODEL_TARARCHIVE_H

#include <cstddef>
#include <string>
#include <vector>

namespace wiredhost {

// A tar archive in memory, as Umbrello's compressed models are (.xmi.tgz:
// a tar holding the .xmi, in gzip). Sizes are octal text (or GNU's
// base-256) that is read strictly: a size that is no number or runs past
// the end of the data ends the archive there, with a message. A name too
// long for its header comes in the entry before: GNU tar's long name
// ('L') or a pax header's path ('x').
class TarArchive {
public:
    struct Entry {
        std::string name; // with the ustar prefix, if any
        char type = '0';
        std::size_t offset = 0; // of the content
        std::size_t size = 0;

        // A plain file; a contiguous one ('7') is plain to every reader
        // but one that knows the disk.
        bool isFile() const { return type == '0' || type == '\0' || type == '7'; }
    };

    static bool isTar(const std::string& data);

    // Reads the headers up to the end marker or the first damaged one.
    void parse(const std::string& data);

    const std::vector<Entry>& entries() const { return entries_; }
    // Why the headers stop short of the end marker; "" when they do not.
    const std::string& damage() const { return damage_; }

    // The first regular file with content whose name ends with suffix,
    // compared without case, macOS's metadata passed over; null when there
    // is none.
    const Entry* findBySuffix(const std::string& suffix) const;

    std::string extract(const Entry& entry) const;

private:
    bool readHeader(std::size_t at, Entry& entry, std::string& problem) const;

    const std::string* data_ = nullptr;
    std::vector<Entry> entries_;
    std::string damage_;
};

} // namespace wiredhost

#endif

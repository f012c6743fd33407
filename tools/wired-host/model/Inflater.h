#ifndef WIREDHOST_MODEL_INFLATER_H
#define WIREDHOST_MODEL_INFLATER_H

#include <cstddef>
#include <string>

namespace wiredhost {

// Deflate streams through zlib: gzip files (.xmi.gz, Dia's .dia) and the
// raw deflate data of zip entries (ArgoUML's .zargo). Output stops at a
// limit: a few kilobytes of deflate data can stand for gigabytes.
class Inflater {
public:
    // A gzip file, members one after the other as gunzip reads them; false
    // with a message when the data is damaged or would pass `limit` bytes.
    static bool gunzip(const std::string& data, std::size_t limit, std::string& out, std::string& error);

    // Raw deflate data, as a zip entry holds it; expectedSize (from the
    // file, so only a hint) reserves the output.
    static bool inflateRaw(const char* data, std::size_t size, std::size_t expectedSize, std::size_t limit,
                           std::string& out, std::string& error);

    static bool isGzip(const std::string& data);

    // The CRC-32 that zip and gzip keep of their content.
    static unsigned long crc32Of(const std::string& data);
};

} // namespace wiredhost

#endif

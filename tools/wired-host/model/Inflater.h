#ifndef WIREDHOST_MODEL_INFLATER_H
#define WIREDHOST_MODEL_INFLATER_H

#include <cstddef>
#include <string>

namespace wiredhost {

// Deflate streams through zlib: gzip files (.xmi.gz, Dia's .dia) and the
// raw deflate data of zip entries (ArgoUML's .zargo).
class Inflater {
public:
    // A gzip file, members one after the other as gunzip reads them.
    static bool gunzip(const std::string& data, std::string& out, std::string& error);

    // Raw deflate data, as a zip entry holds it; expectedSize reserves the
    // output.
    static bool inflateRaw(const char* data, std::size_t size, std::size_t expectedSize, std::string& out,
                           std::string& error);

    static bool isGzip(const std::string& data);
};

} // namespace wiredhost

#endif

#ifndef WIREDHOST_TESTS_DEFLATED_H
#define WIREDHOST_TESTS_DEFLATED_H

#include <string>

#include <zlib.h>

namespace wiredhost {

// windowBits 15 + 16 writes gzip, -15 raw deflate.
inline std::string deflated(const std::string& text, int windowBits)
{
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, static_cast<uLong>(text.size())) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

inline std::string gzipped(const std::string& text)
{
    return deflated(text, 15 + 16);
}

} // namespace wiredhost

#endif

#include "Inflater.h"

#include <algorithm>

#include <zlib.h>

namespace wiredhost {

namespace {

// windowBits: 15 + 16 reads a gzip header, -15 raw deflate.
bool inflateStream(const char* data, std::size_t size, int windowBits, std::size_t limit, std::string& out,
                   std::string& error)
{
    z_stream stream{};
    if (inflateInit2(&stream, windowBits) != Z_OK) {
        error = "cannot start zlib";
        return false;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    // zlib counts input in 32 bits; the caller's buffers come from one file
    // in memory, but a 64-bit build could hold more.
    std::size_t unread = size;
    char buffer[64 * 1024];
    int status = Z_OK;
    while (status == Z_OK) {
        if (stream.avail_in == 0 && unread > 0) {
            stream.avail_in = static_cast<uInt>(unread < 0x40000000u ? unread : 0x40000000u);
            unread -= stream.avail_in;
        }
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        const std::size_t produced = sizeof buffer - stream.avail_out;
        if (produced > limit - out.size()) {
            const std::size_t read = size - unread - stream.avail_in;
            inflateEnd(&stream);
            error = "unpacks to more than " + std::to_string(limit) + " bytes (stopped after " +
                    std::to_string(read) + " of its " + std::to_string(size) + " compressed bytes)";
            return false;
        }
        out.append(buffer, produced);
        // A gzip file may hold several members: go on after each end.
        if (status == Z_STREAM_END && windowBits > 15 && stream.avail_in > 0 && stream.next_in[0] == 0x1f)
            status = inflateReset(&stream);
        if (status == Z_BUF_ERROR && stream.avail_in == 0) {
            if (unread == 0)
                break;
            status = Z_OK;
        }
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) {
        error = stream.msg != nullptr ? std::string("corrupt compressed data (") + stream.msg + ")"
                                      : "compressed data cut short";
        return false;
    }
    return true;
}

// A size read from a file, to reserve: no more than text compresses from,
// and never past the limit.
std::size_t plausibleSize(std::size_t claimed, std::size_t compressed, std::size_t limit)
{
    const unsigned long long likely = static_cast<unsigned long long>(compressed) * 64 + 4096;
    std::size_t size = claimed < likely ? claimed : static_cast<std::size_t>(likely);
    return size < limit ? size : limit;
}

} // namespace

bool Inflater::isGzip(const std::string& data)
{
    return data.size() >= 2 && static_cast<unsigned char>(data[0]) == 0x1f && static_cast<unsigned char>(data[1]) == 0x8b;
}

bool Inflater::gunzip(const std::string& data, std::size_t limit, std::string& out, std::string& error)
{
    out.clear();
    // The last four bytes give the size modulo 4 GiB: a good first guess,
    // unless the file is damaged.
    if (data.size() >= 18) {
        const unsigned char* tail = reinterpret_cast<const unsigned char*>(data.data() + data.size() - 4);
        const std::size_t size = tail[0] | (tail[1] << 8) | (tail[2] << 16) | (static_cast<std::size_t>(tail[3]) << 24);
        out.reserve(plausibleSize(size, data.size(), limit));
    }
    return inflateStream(data.data(), data.size(), 15 + 16, limit, out, error);
}

bool Inflater::inflateRaw(const char* data, std::size_t size, std::size_t expectedSize, std::size_t limit,
                          std::string& out, std::string& error)
{
    out.clear();
    out.reserve(plausibleSize(expectedSize, size, limit));
    return inflateStream(data, size, -15, limit, out, error);
}

unsigned long Inflater::crc32Of(const std::string& data)
{
    // zlib takes lengths in 32 bits.
    uLong crc = crc32(0L, Z_NULL, 0);
    for (std::size_t at = 0; at < data.size();) {
        const std::size_t length = std::min<std::size_t>(data.size() - at, 1u << 30);
        crc = crc32(crc, reinterpret_cast<const Bytef*>(data.data() + at), static_cast<uInt>(length));
        at += length;
    }
    return crc;
}

} // namespace wiredhost

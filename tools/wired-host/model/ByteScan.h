#ifndef WIREDHOST_MODEL_BYTESCAN_H
#define WIREDHOST_MODEL_BYTESCAN_H

#include <cstdint>
#include <cstring>

// Eight bytes at a time for the scans that run over a whole model file or
// every name of a run: whether any byte of a block is one sought. The
// tests say only whether some byte matches, not which; the caller then
// looks at the block byte by byte.
namespace wiredhost {
namespace bytescan {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighs = 0x8080808080808080ull;

inline std::uint64_t block(const char* p)
{
    std::uint64_t x;
    std::memcpy(&x, p, sizeof x);
    return x;
}

// Nonzero when some byte of x is b.
inline std::uint64_t hasByte(std::uint64_t x, unsigned char b)
{
    const std::uint64_t y = x ^ (kOnes * b);
    return (y - kOnes) & ~y & kHighs;
}

// Nonzero when some byte of x is below n, for n up to 0x80.
inline std::uint64_t hasBelow(std::uint64_t x, unsigned char n)
{
    return (x - kOnes * n) & ~x & kHighs;
}

// How many bytes of x are UTF-8 continuation bytes (10xxxxxx).
inline int continuations(std::uint64_t x)
{
    std::uint64_t marks = x & ~(x << 1) & kHighs;
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_popcountll(marks);
#else
    int count = 0;
    for (; marks != 0; marks &= marks - 1)
        ++count;
    return count;
#endif
}

} // namespace bytescan
} // namespace wiredhost

#endif

#ifndef WIREDHOST_MODEL_BYTESCAN_H
#define WIREDHOST_MODEL_BYTESCAN_H

#include <cstdint>
#include <cstring>

// Eight bytes at a time for the scans that run over a whole model file or
// every name of a run: whether any byte of a block is one sought. The
// tests flag the bytes that match, in their high bits; a byte above a
// match may be flagged too, so only the lowest flag is sure to be one
// (firstFlagged), and a caller that needs more looks at the block byte by
// byte. Blocks are read little-endian, as on every platform we build for.
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

// Which byte of a block holds the lowest flag of a nonzero mask made by
// the tests above, or several of them or-ed together: the first match.
inline unsigned firstFlagged(std::uint64_t mask)
{
#if defined(__GNUC__) || defined(__clang__)
    return static_cast<unsigned>(__builtin_ctzll(mask)) / 8;
#else
    unsigned at = 0;
    for (; (mask & 0x80) == 0; mask >>= 8)
        ++at;
    return at;
#endif
}

// How many bytes of x are UTF-8 continuation bytes (10xxxxxx). The marks
// are summed into the top byte by one multiplication: a population count
// would be a library call where the target's instruction set lacks one.
inline int continuations(std::uint64_t x)
{
    const std::uint64_t marks = (x & ~(x << 1) & kHighs) >> 7;
    return static_cast<int>((marks * kOnes) >> 56);
}

} // namespace bytescan
} // namespace wiredhost

#endif

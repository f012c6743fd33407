#include "NameHash.h"

#include <chrono>
#include <cstdint>
#include <cstring>

namespace wiredhost {

namespace {

uint64_t mix(uint64_t x)
{
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Taken once, from the clock and where this run's data lies (which
// address-space randomisation moves).
uint64_t seed()
{
    static const uint64_t value = [] {
        static const char here = 0;
        const uint64_t clock = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        return mix(clock ^ (static_cast<uint64_t>(reinterpret_cast<uintptr_t>(&here)) << 16));
    }();
    return value;
}

template <bool Folded>
std::size_t hashOf(std::string_view text)
{
    uint64_t state = seed() ^ text.size();
    const char* bytes = text.data();
    std::size_t left = text.size();
    while (left != 0) {
        unsigned char block[8] = {};
        const std::size_t taken = left < 8 ? left : 8;
        std::memcpy(block, bytes, taken);
        if (Folded) {
            for (unsigned char& c : block)
                c = c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
        }
        uint64_t word = 0;
        for (int i = 7; i >= 0; --i)
            word = (word << 8) | block[i];
        state = mix(state ^ word) + 0x9E3779B97F4A7C15ull;
        bytes += taken;
        left -= taken;
    }
    return static_cast<std::size_t>(mix(state));
}

} // namespace

std::size_t nameHash(std::string_view text)
{
    return hashOf<false>(text);
}

std::size_t foldedNameHash(std::string_view text)
{
    return hashOf<true>(text);
}

std::size_t mixedHash(std::size_t hash)
{
    return static_cast<std::size_t>(mix(static_cast<uint64_t>(hash) ^ seed()));
}

} // namespace wiredhost

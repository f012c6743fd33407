#ifndef WIREDHOST_MODEL_NAMEHASH_H
#define WIREDHOST_MODEL_NAMEHASH_H

#include <cstddef>
#include <string_view>

namespace wiredhost {

// The hash of every hash table keyed by names from a file. The standard
// libraries' string hashes are fixed, and some are easy to collide (one
// library's in its low bits, which its tables take for the bucket): a file
// of such names would make every lookup a walk through all of them. This
// one is seeded afresh for each run and mixes every block of eight bytes
// through the state, so no file is made in advance to collide. Nothing
// the tool prints depends on it: tables are looked up, never listed.
std::size_t nameHash(std::string_view text);
// The same for names compared without regard to ASCII case.
std::size_t foldedNameHash(std::string_view text);

struct NameHash {
    std::size_t operator()(std::string_view text) const noexcept { return nameHash(text); }
};

// Spreads a hash built from others (a name's and a number's) over every
// bit, so that keys next to each other do not fill a run of slots.
std::size_t mixedHash(std::size_t hash);

} // namespace wiredhost

#endif

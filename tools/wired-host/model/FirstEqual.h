#ifndef WIREDHOST_MODEL_FIRSTEQUAL_H
#define WIREDHOST_MODEL_FIRSTEQUAL_H

#include <cstddef>
#include <vector>

#include "NameHash.h"

namespace wiredhost {

// For each of count items, the number of the first item equal to it (its
// own number when none before it is), found through one open-addressed
// table of item numbers: a hash node for every name of a big model cost a
// tenth of its run. hash(i) and equal(i, j) look at the items by number;
// the hash is mixed again for the slot, so that hashes built from others
// (a name's and its package's number) do not fill runs of slots that
// every later item would walk.
template <typename Hash, typename Equal>
std::vector<std::size_t> firstEqual(std::size_t count, Hash hash, Equal equal)
{
    const std::size_t none = static_cast<std::size_t>(-1);
    std::size_t size = 16;
    while (size < 2 * count)
        size *= 2;
    // Each item's hash is kept: items of other hashes met on the way are
    // passed without comparing them, which names alike up to their last
    // characters would make slow.
    std::vector<std::size_t> slots(size, none), first(count), hashes(count);
    for (std::size_t i = 0; i < count; ++i) {
        hashes[i] = hash(i);
        for (std::size_t at = mixedHash(hashes[i]) & (size - 1);; at = (at + 1) & (size - 1)) {
            if (slots[at] == none)
                slots[at] = i;
            if (slots[at] == i || (hashes[slots[at]] == hashes[i] && equal(slots[at], i))) {
                first[i] = slots[at];
                break;
            }
        }
    }
    return first;
}

} // namespace wiredhost

#endif

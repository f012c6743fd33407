#ifndef WIREDHOST_MAPPINGFINDING_H
#define WIREDHOST_MAPPINGFINDING_H

#include <cstddef>
#include <string>
#include <vector>

namespace wiredhost {

struct DatabaseTarget;

enum class FindingKind { ReservedWord, TooLong, Collision, NeedsQuoting, LeaderSplitsWord, LinkClash };

// Something about a class's table, or a link's, that will not work, or not
// as meant, on a database; leader-splits-word and link-clash hold on every
// database and have no target.
struct MappingFinding {
    FindingKind kind = FindingKind::ReservedWord;
    const DatabaseTarget* target = nullptr;
    bool onLink = false;
    std::size_t index = 0; // of the class, or of the link, in the run
    std::string message;   // printable UTF-8: control bytes are escaped

    // "reserved-word", "too-long"...
    static const char* kindName(FindingKind kind);
    // Every kind, in the order findings are listed.
    static const std::vector<FindingKind>& kinds();
};

} // namespace wiredhost

#endif

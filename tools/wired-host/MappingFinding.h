#ifndef WIREDHOST_MAPPINGFINDING_H
#define WIREDHOST_MAPPINGFINDING_H

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace wiredhost {

struct DatabaseTarget;

enum class FindingKind { ReservedWord, TooLong, Collision, NeedsQuoting, LeaderSplitsWord, LinkClash };

// The part of a finding's message that does not depend on the target: one
// for a name, shared by its findings on every target, so that a model whose
// names all collide everywhere keeps a few words per finding, not a sentence.
// Printable UTF-8: control bytes are escaped.
struct FindingWords {
    enum Shape {
        Whole,        // text is the message
        Reserved,     // text is the name as the databases see it
        Quoting,      // text says why the name works only quoted
        SameWritten,  // collisions: text names the others
        SameFolded,
        SameCut,      // kept: what is left of the name after the cut
    };
    Shape shape = Whole;
    std::string text;
    std::string kept;
};

// Something about a class's table, or a link's, that will not work, or not
// as meant, on a database; leader-splits-word and link-clash hold on every
// database and have no target.
struct MappingFinding {
    FindingKind kind = FindingKind::ReservedWord;
    const DatabaseTarget* target = nullptr;
    bool onLink = false;
    std::size_t index = 0; // of the class, or of the link, in the run
    std::shared_ptr<const FindingWords> words;

    // "ORDER is a reserved word on PostgreSQL: the table works only quoted"
    std::string message() const;

    // "reserved-word", "too-long"...
    static const char* kindName(FindingKind kind);
    // Every kind, in the order findings are listed.
    static const std::vector<FindingKind>& kinds();
};

} // namespace wiredhost

#endif

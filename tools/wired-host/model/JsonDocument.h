#ifndef WIREDHOST_MODEL_JSONDOCUMENT_H
#define WIREDHOST_MODEL_JSONDOCUMENT_H

#include <string>

#include <nlohmann/json.hpp>

namespace wiredhost {

// A model file's JSON (StarUML's .mdj), read by nlohmann-json with the
// members of each object in file order. Where a tool's file is not strict
// JSON text, a name is damaged rather than the model refused: a surrogate
// escape without its partner ("\ud800") and bytes that are not UTF-8 are
// read as U+FFFD, and what follows them stays as it is. Nesting is bounded
// here, the one place, so that the readers walking a document can recurse.
class JsonDocument {
public:
    using Value = nlohmann::ordered_json;

    // Deeper nesting is refused before it is built.
    static const int kMaxDepth = 500;
    // So is an object with more members: each new member is compared with
    // all before it (StarUML's objects have a few dozen).
    static const std::size_t kMaxMembers = 1000;
    // And so many of them over the whole document that those comparisons
    // add up to more than this (some 0.8 s; a StarUML model of 100,000
    // classes and their views needs about a quarter of it). A name longer
    // than 16 bytes counts as one more per 16 bytes.
    static const unsigned long long kMaxComparisons = 200000000;
    // And a document of more values: each costs some 70 bytes however short
    // its text ("{}"), so a few megabytes of gzip could take gigabytes.
    // StarUML writes some fifteen a class, and some thirty a view of one.
    static const std::size_t kMaxValues = 5000000;

    // False with "line N: what" in error, or what limit was passed.
    // maxValues and maxComparisons lower the limits (for tests).
    static bool parse(const std::string& text, Value& document, std::string& error,
                      std::size_t maxValues = kMaxValues, unsigned long long maxComparisons = kMaxComparisons);

    // True when the text holds a lone surrogate escape or bytes that are not
    // UTF-8 (hardly ever): repaired() then writes each such escape as
    // \ufffd and each ill-formed sequence as U+FFFD.
    static bool needsRepair(const std::string& text);
    static std::string repaired(const std::string& text);

    // A member's string, "" when absent or not a string.
    static std::string string(const Value& object, const char* name);
};

} // namespace wiredhost

#endif

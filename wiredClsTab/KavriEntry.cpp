#include "KavriEntry.h"

#include <cstddef>

#include <tinyxml2.h>

namespace kavri {

namespace {

// The names compared are a few bytes long and known when compiled: the
// comparison unrolls to one test a byte, stopping at the first difference
// (so never reading past the end of a shorter name). A loop over the
// expected text, or strcmp, was most of what reading an entry cost.
template <std::size_t N>
inline bool named(const char* name, const char (&expected)[N])
{
    for (std::size_t i = 0; i < N; ++i) {
        if (name[i] != expected[i])
            return false;
    }
    return true;
}

// Package and Leader look at their first attribute only: a "code" that is
// not first is not theirs.
const char* leadingCode(const tinyxml2::XMLElement& element)
{
    const tinyxml2::XMLAttribute* first = element.FirstAttribute();
    if (first == nullptr || !named(first->Name(), "code"))
        return nullptr;
    return first->Value();
}

// The entry an element name stands for; the first byte rules out most
// names without a comparison.
KavriEntry::Kind kindNamed(const char* name)
{
    if (name[0] == 'P')
        return named(name, "Package") ? KavriEntry::Package : KavriEntry::Unknown;
    if (name[0] == 'L') {
        if (name[1] == 'e')
            return named(name, "Leader") ? KavriEntry::Leader : KavriEntry::Unknown;
        return named(name, "Link") ? KavriEntry::Link : KavriEntry::Unknown;
    }
    return KavriEntry::Unknown;
}

} // namespace

KavriEntry KavriEntry::read(const tinyxml2::XMLElement& element)
{
    KavriEntry entry;
    entry.kind = kindNamed(element.Name());
    if (entry.kind == Package || entry.kind == Leader) {
        entry.code = leadingCode(element);
    } else if (entry.kind == Link) {
        for (const tinyxml2::XMLAttribute* a = element.FirstAttribute(); a != nullptr; a = a->Next()) {
            if (named(a->Name(), "class"))
                entry.className = a->Value();
            else if (named(a->Name(), "table"))
                entry.tableName = a->Value();
        }
    }
    return entry;
}

} // namespace kavri

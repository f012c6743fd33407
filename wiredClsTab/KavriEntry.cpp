#include "KavriEntry.h"

#include <cstring>

#include <tinyxml2.h>

namespace kavri {

namespace {

bool named(const char* name, const char* expected)
{
    return std::strcmp(name, expected) == 0;
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

} // namespace

bool KavriEntry::storesCode() const
{
    return (kind == Package || kind == Leader) && code != nullptr && code[0] != '\0';
}

bool KavriEntry::registersLink() const
{
    return kind == Link && className != nullptr && tableName != nullptr;
}

KavriEntry KavriEntry::read(const tinyxml2::XMLElement& element)
{
    KavriEntry entry;
    const char* name = element.Name();
    if (named(name, "Package") || named(name, "Leader")) {
        entry.kind = named(name, "Package") ? Package : Leader;
        entry.code = leadingCode(element);
    } else if (named(name, "Link")) {
        entry.kind = Link;
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

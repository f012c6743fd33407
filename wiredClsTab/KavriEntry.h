#ifndef WIREDCLSTAB_KAVRIENTRY_H
#define WIREDCLSTAB_KAVRIENTRY_H

namespace tinyxml2 {
class XMLElement;
}

namespace kavri {

// One child element of the Wired root, as the converter reads it. This is
// the only place that knows the entry rules; the converter and the config
// checker both go through it.
struct KavriEntry {
    enum Kind { Unknown, Package, Leader, Link };

    Kind kind = Unknown;
    // Package and Leader: the value of the first attribute when that one is
    // named "code" (possibly empty); null when there is no such attribute.
    const char* code = nullptr;
    // Link: the values of the "class" and "table" attributes, null when absent.
    const char* className = nullptr;
    const char* tableName = nullptr;

    // Package or Leader with a non-empty code.
    bool storesCode() const { return (kind == Package || kind == Leader) && code != nullptr && code[0] != '\0'; }
    // Link with both attributes.
    bool registersLink() const { return kind == Link && className != nullptr && tableName != nullptr; }

    // The texts point into the element's document.
    static KavriEntry read(const tinyxml2::XMLElement& element);
};

} // namespace kavri

#endif

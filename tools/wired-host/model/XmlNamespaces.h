#ifndef WIREDHOST_MODEL_XMLNAMESPACES_H
#define WIREDHOST_MODEL_XMLNAMESPACES_H

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>
#include "NameHash.h"

namespace wiredhost {

// The namespace prefixes in scope while a reader walks a document, and
// what each stands for. Tools and versions write different URIs for UML
// and XMI (an Eclipse UML2 release, an OMG date, "org.omg.xmi.namespace.UML",
// "omg.org/UML1.3"), so a URI is recognised by its form, not its text; an
// undeclared prefix "UML" or "xmi" (old exporters declare none) stands for
// what it says.
class XmlNamespaces {
public:
    enum Kind { Other, Uml, Xmi };

    // Declares the prefix ("" for the default namespace) until leave(mark).
    void declare(const char* prefix, std::size_t length, const char* uri);
    std::size_t mark() const { return scope_.size(); }
    void leave(std::size_t mark);

    Kind kindOf(const char* prefix, std::size_t length) const;
    // The URI of a prefix, "" when undeclared.
    std::string uriOf(const std::string& prefix) const;

    static Kind kindOfUri(const std::string& uri);

private:
    Kind lookUp(const char* prefix, std::size_t length) const;

    struct Declaration {
        std::string prefix;
        std::string uri;
        Kind kind;
        std::size_t shadowed; // the outer declaration of the prefix, or kNone
    };
    std::vector<Declaration> scope_;
    // Where each declared prefix's innermost declaration is in scope_: a
    // file may declare thousands of prefixes around each of its elements,
    // which are then looked up without a walk through all of them.
    std::unordered_map<std::string, std::size_t, NameHash> innermost_;
    // The last prefixes asked for and their answers: nearly every element
    // asks for the same three (xmi for its id and type, none for its tag,
    // uml for the type's value), so a cache of fewer would miss each time.
    static const std::size_t kNone = static_cast<std::size_t>(-1);
    struct Cached {
        std::string prefix;
        std::size_t length = kNone;
        Kind kind = Other;
    };
    static const std::size_t kCached = 4;
    mutable Cached cache_[kCached];
    mutable std::size_t lastLength_ = kNone; // kNone: the cache is empty
};

} // namespace wiredhost

#endif

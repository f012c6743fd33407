#include "Xmi2Reader.h"

#include <cstring>

namespace wiredhost {

using tinyxml2::XMLElement;

const char* Xmi2Reader::metaclassOf(const XMLElement& element, const Attributes& attributes) const
{
    if (attributes.type != nullptr)
        return typedMetaclass(attributes.type);
    const char* local = nullptr;
    const XmlNamespaces::Kind kind = prefixKind(element.Name(), local);
    return kind == XmlNamespaces::Uml && startsUpper(local) ? local : "";
}

bool Xmi2Reader::isExtension(const char* tag) const
{
    const char* local = nullptr;
    if (prefixKind(tag, local) != XmlNamespaces::Xmi || local == tag)
        return false;
    // Everything in the XMI namespace but the wrapper itself: Extension,
    // Documentation, Difference...
    return std::strcmp(local, "XMI") != 0;
}

bool Xmi2Reader::isStub(const XMLElement& element) const
{
    for (const XMLElement* e = element.FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        const char* tag = e->Name();
        if (std::strstr(tag, "Extension") != nullptr && isExtension(tag) &&
            e->FirstChildElement("referenceExtension") != nullptr)
            return true;
    }
    return false;
}

} // namespace wiredhost

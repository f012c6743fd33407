#include "Xmi1Reader.h"

#include <cstring>

namespace wiredhost {

using tinyxml2::XMLElement;

Xmi1Reader::Xmi1Reader(ClassCollector& collector) : XmiReader(collector)
{
    collector.excludeStereotypedClasses(true);
    packageAttribute_ = true;
}

const char* Xmi1Reader::metaclassOf(const XMLElement& element, const Attributes& attributes) const
{
    // XMI 1.x has no xmi:type; a file that has it is XMI 2 under an XMI
    // root without prefix, and its types count as there.
    if (attributes.type != nullptr)
        return typedMetaclass(attributes.type);
    const char* local = nullptr;
    const XmlNamespaces::Kind kind = prefixKind(element.Name(), local);
    if (kind != XmlNamespaces::Uml || std::strchr(local, '.') != nullptr || !startsUpper(local))
        return "";
    return local;
}

bool Xmi1Reader::isExtension(const char* tag) const
{
    // XMI.header, XMI.extension, XMI.extensions, XMI.difference...: all but
    // the content.
    return std::strncmp(tag, "XMI.", 4) == 0 && std::strcmp(tag, "XMI.content") != 0;
}

} // namespace wiredhost

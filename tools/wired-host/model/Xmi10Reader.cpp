#include "Xmi10Reader.h"

#include <cstring>

namespace wiredhost {

using tinyxml2::XMLElement;

bool Xmi10Reader::isUmlTag(const char* tag)
{
    for (const char* package : {"Foundation.", "Model_Management.", "Behavioral_Elements."}) {
        if (std::strncmp(tag, package, std::strlen(package)) == 0)
            return true;
    }
    return false;
}

const char* Xmi10Reader::metaclassOf(const XMLElement& element, const Attributes& attributes) const
{
    const char* tag = element.Name();
    if (!isUmlTag(tag))
        return Xmi1Reader::metaclassOf(element, attributes);
    // Foundation.Core.Class is the metaclass Class; Foundation.Core.
    // ModelElement.name, in lower case, a property.
    const char* local = lastSegment(tag);
    return startsUpper(local) ? local : "";
}

} // namespace wiredhost

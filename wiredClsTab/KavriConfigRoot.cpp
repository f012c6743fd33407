#include "KavriConfig.h"

#include <cstring>

#include <tinyxml2.h>

namespace kavri {

// Kept apart from the rest of KavriConfig, which needs the platform layer,
// so that the config checker can use the very same root rule.
const tinyxml2::XMLElement* KavriConfig::configRoot(const tinyxml2::XMLDocument& document)
{
    // Only the first top-level element counts; a Wired after it is not seen.
    const tinyxml2::XMLElement* first = document.FirstChildElement();
    if (first == nullptr || std::strcmp(first->Name(), "Wired") != 0)
        return nullptr;
    return first;
}

} // namespace kavri

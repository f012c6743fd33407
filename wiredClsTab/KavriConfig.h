#ifndef WIREDCLSTAB_KAVRICONFIG_H
#define WIREDCLSTAB_KAVRICONFIG_H

#include <cstddef>
#include <string>
#include <vector>

#include "KavriBase.h"
#include "KavriCodes.h"
#include "platform/Platform.h"

namespace tinyxml2 {
class XMLElement;
}

namespace kavri {

class KavriProblem;

// Reads config.xml beside the plug-in into the converter's code lists and
// registers its explicit links with the host.
class KavriConfig : public KavriBase {
public:
    // Finds, loads and checks config.xml; 0 when it was read, -1 otherwise.
    // Problems go to the user (warning box) or to the host's log.
    int loadConfig();
    // Reads the entries of an accepted Wired root; always 0.
    int parseConfig(const tinyxml2::XMLElement* root);

    // In document order; never holds an empty code, may hold duplicates.
    KavriCodes packageCodes;
    KavriCodes leaderCodes;

private:
    bool locateConfig(char* path, std::size_t capacity, platform::PathCoding& coding);
    // The length of the module path's directory with its trailing
    // separator; 0 when it names none.
    static std::size_t directoryLength(const char* path, platform::PathCoding coding);
    bool hostSpeaksChinese();
    // Shows the problem's warning with the configuration path; -1.
    int warn(const KavriProblem& problem, const char* path, platform::PathCoding coding);
};

} // namespace kavri

#endif

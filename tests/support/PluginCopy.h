#ifndef WIREDCLSTAB_TESTS_PLUGINCOPY_H
#define WIREDCLSTAB_TESTS_PLUGINCOPY_H

#include <string>

#include "PluginInstance.h"

namespace kavri_test {

// The built plug-in (WIREDCLSTAB_PLUGIN_PATH) in a private folder of its own
// with the given config.xml, so each test has its own configuration. It stays
// loaded for the rest of the process, as in a host: converters outlive it.
class PluginCopy : public hostkit::PluginInstance {
public:
    explicit PluginCopy(const std::string& configXml)
    {
        requireCopy(*this, WIREDCLSTAB_PLUGIN_PATH, configXml);
        keepLoaded();
    }
};

} // namespace kavri_test

#endif

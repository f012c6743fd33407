#ifndef WIREDCLSTAB_HARDENING_LOADEDPLUGIN_H
#define WIREDCLSTAB_HARDENING_LOADEDPLUGIN_H

#include <string>
#include <vector>

#include "kavri/IConvert.h"

namespace hardening {

// The real plug-in, as a host loads it: the built library is copied into a
// fresh directory of its own with the given config.xml beside it and loaded
// from there, so each test has its own configuration and nothing is shared
// with other tests running at the same time.
class LoadedPlugin {
public:
    explicit LoadedPlugin(const std::string& configXml);
    ~LoadedPlugin();
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    // The library's registConvert, called directly. The caller keeps the
    // converter alive (see keep()).
    kavri::IConvert* registConvert(kavri::IHost* host) const;
    // registConvert, with the converter kept for the life of the process.
    kavri::IConvert* create(kavri::IHost* host) const;

    std::string configPath() const;
    void writeConfig(const std::string& configXml) const;

    // The plug-in never frees a converter, and a host holds on to each one
    // until it ends. So do the tests: every converter goes into one list that
    // lives as long as the process. LeakSanitizer then sees the converters as
    // alive, which they are by design, and still reports anything else that
    // was left behind unreachable.
    static void keep(kavri::IConvert* converter);

private:
    std::string directory_;
    RegistConvertFn registConvert_ = nullptr;
};

} // namespace hardening

#endif

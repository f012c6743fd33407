#ifndef WIREDHOST_HOSTPROBE_H
#define WIREDHOST_HOSTPROBE_H

#include <string>

#include "HostFlavour.h"

namespace wiredhost {

// The files "which" reads: the host's image, the runtime DLLs beside it,
// and the plug-in of the flavour that fits with the runtime DLLs beside
// that. Nothing is loaded or run.
class HostProbe {
public:
    // False with the reason in error when the host is no Windows program
    // or a broken one, or the plug-in asked for cannot be read.
    // pluginOption: the plug-in (or its folder) to compare the runtime
    // with; empty for the one beside the tool or in the package.
    bool probe(const std::string& hostPath, const std::string& pluginOption, std::string& error);

    const HostVerdict& verdict() const { return verdict_; }
    // The plug-in the runtime DLLs were compared with; empty when none.
    const std::string& pluginPath() const { return pluginPath_; }

private:
    void judgeThroughOwnDlls(const PeImage& host, const std::string& folder, const PeImage* libstdcxx);
    // Reads the plug-in of the verdict's flavour into plugin; notes in the
    // verdict why not when the one found is of another flavour.
    bool findPlugin(const std::string& option, PeImage& plugin, std::string& error);
    bool readPlugin(const std::string& path, PeImage& plugin, std::string& flavour) const;

    HostVerdict verdict_;
    std::string pluginPath_;
};

} // namespace wiredhost

#endif

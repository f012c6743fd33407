#ifndef WIREDHOST_HOSTFLAVOUR_H
#define WIREDHOST_HOSTFLAVOUR_H

#include <string>
#include <vector>

#include "PeImage.h"

namespace wiredhost {

// One of the C++ runtime DLLs the plug-in shares with a host, and how the
// host's copy compares with what the plug-in needs.
struct RuntimeCopy {
    enum class State {
        NotBeside,   // the host has no copy beside it
        Same,        // the plug-in's own copy, byte for byte or but for debug information
        Enough,      // another build, with every function the plug-in takes from it
        Lacking,     // another build, without some of them
        NotCompared, // beside the host, but no plug-in of the flavour to compare with
        NotRead,     // beside the host, but too big to read (detail says why)
        OtherMachine, // built for another machine than the host's: it cannot load there
    };
    std::string dll;
    State state = State::NotBeside;
    // What the plug-in takes from the DLL that the host's copy lacks.
    std::vector<std::string> missing;
    // Sizes of the two copies when they differ, as a hint at what differs.
    std::string detail;
};

// What a host's image says about how it was built, and which flavour of
// the plug-in fits it: its bitness and C++ runtime must be the plug-in's,
// since strings, the visitor and exceptions cross between them.
struct HostVerdict {
    // "PE32", "PE32+", or "MZ", "NE", "LE/LX" for older formats.
    std::string image;
    // "i386", "x86-64"...; empty for an image without a PE header.
    std::string machine;
    bool dll = false;
    // "Visual Studio 2015-2022", "mingw-w64 g++"...; empty when none.
    std::string runtime;
    // The runtime is mingw's libstdc++-6.dll.
    bool mingw = false;
    // mingw's exception model: "dw2", "seh", "sjlj", or empty.
    std::string exceptions;
    // The flavour that fits; empty when none does.
    std::string flavour;
    // Why, one sentence each, in the order they were found.
    std::vector<std::string> reasons;
    std::vector<RuntimeCopy> runtimeDlls;
    // What to do with the plug-in and the runtime DLLs.
    std::vector<std::string> advice;
    // Every DLL the host imports, "(delayed)" after the delay-loaded.
    std::vector<std::string> imports;
    // The image imports no C++ runtime DLL at all (nor one of another
    // compiler); its own DLLs may.
    bool noRuntime = false;
    // It imports a C++ library (msvcp140*.dll, libstdc++-6.dll), not only a
    // runtime (vcruntime140.dll alone: C built with Visual Studio).
    bool cxxLibrary = false;

    bool fits() const { return !flavour.empty(); }
};

// The files the plug-in's runtime is compared with: each runtime DLL's
// copy beside the host and beside the plug-in, as bytes; empty when there
// is none.
struct RuntimeFiles {
    std::string dll;
    std::string hostCopy, ours;
    bool besideHost = false, besidePlugin = false;
    // Why the host's copy, which is there, was not read (too big...).
    std::string hostProblem;
};

// The rules that tell which flavour of the plug-in fits a host, applied to
// its image alone; reading the files is the caller's business.
class HostFlavour {
public:
    // libstdcxx: the libstdc++-6.dll beside the host, when it has one: a
    // host that does not import libgcc_s directly shows its exception
    // model only through that DLL's imports.
    static HostVerdict judge(const PeImage& host, const PeImage* libstdcxx);

    // The verdict on a program that imports no C++ runtime itself but
    // through its own DLL (chain: "core.dll", or "app.dll > core.dll"),
    // whose verdict is inner.
    static HostVerdict judgeThrough(const HostVerdict& program, const std::string& chain, const HostVerdict& inner);

    // The runtime DLLs a plug-in of the verdict's flavour shares with it,
    // the C++ runtime first.
    static std::vector<std::string> runtimeDlls(const HostVerdict& verdict, const PeImage* plugin);

    // Compares the host's runtime DLLs with what plugin, a plug-in of the
    // verdict's flavour (null when none was found), needs from them, and
    // says what to do. A host copy without functions the plug-in takes
    // from it means none fits: Windows hands the plug-in the copy the host
    // has loaded.
    static void compareRuntimes(HostVerdict& verdict, const PeImage* plugin, const std::vector<RuntimeFiles>& files);

    // The flavour names, as the package's folders are named.
    static std::string flavourName(bool win64, bool msvc);
    // The C++ runtime of a flavour, as a verdict names it: "mingw-w64 g++".
    static const char* runtimeName(bool msvc);
};

} // namespace wiredhost

#endif

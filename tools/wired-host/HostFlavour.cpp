#include "HostFlavour.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string_view>

#include "model/Text.h"

namespace wiredhost {

namespace {

// The DLLs of Visual Studio's debug runtime (/MDd): other layouts, a heap
// of their own.
const char* const kDebugRuntime[] = {
    "msvcp140d.dll",    "msvcp140_1d.dll",     "msvcp140_2d.dll",        "msvcp140d_atomic_wait.dll",
    "msvcp140d_codecvt_ids.dll", "vcruntime140d.dll", "vcruntime140_1d.dll", "vcruntime140_threadsd.dll",
    "ucrtbased.dll",    "concrt140d.dll",
};

const char kLibstdcxx[] = "libstdc++-6.dll";

// C++ runtimes of other compilers, which no flavour is built with.
struct OtherRuntime {
    const char* dll;
    const char* compiler;
};
const OtherRuntime kOtherRuntimes[] = {
    {"libc++.dll", "clang with libc++ (llvm-mingw)"},
    {"cygstdc++-6.dll", "Cygwin's g++"},
    {"msys-stdc++-6.dll", "MSYS2's own g++ (the msys environment)"},
};

// mingw's unwinder DLL of each exception model.
struct ExceptionModel {
    const char* name;
    const char* dll;
    const char* text;
};
const ExceptionModel kExceptionModels[] = {
    {"dw2", "libgcc_s_dw2-1.dll", "DWARF-2 exceptions"},
    {"seh", "libgcc_s_seh-1.dll", "SEH exceptions"},
    {"sjlj", "libgcc_s_sjlj-1.dll", "setjmp/longjmp exceptions"},
};

// "msvcp120.dll" as 120 for prefix "msvcp" (a trailing d, debug, allowed);
// -1 for a name of another form.
int versionOf(const std::string& dll, const std::string& prefix)
{
    if (dll.compare(0, prefix.size(), prefix) != 0 || dll.size() < prefix.size() + 5)
        return -1;
    std::string middle = dll.substr(prefix.size(), dll.size() - prefix.size() - 4);
    if (dll.compare(dll.size() - 4, 4, ".dll") != 0)
        return -1;
    if (!middle.empty() && middle.back() == 'd')
        middle.pop_back();
    if (middle.empty() || middle.size() > 4 || middle.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stoi(middle);
}

// The first of the host's imports (lower case) that passes test.
template <typename Test>
std::string firstImport(const std::vector<std::string>& dlls, Test test)
{
    const auto found = std::find_if(dlls.begin(), dlls.end(), test);
    return found == dlls.end() ? std::string() : *found;
}

// A DLL name as the loader takes it: case does not matter, a folder before
// the name does not change which runtime it is ("C:\VS\msvcp140d.dll" is
// the debug runtime), and a name without an extension is given ".dll"
// ("MSVCP140" is msvcp140.dll; a trailing dot means no extension at all).
std::string loaderName(const std::string& dll)
{
    std::string name = lowered(dll);
    const std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    if (!name.empty() && name.back() == '.')
        name.pop_back();
    else if (name.find('.') == std::string::npos)
        name += ".dll";
    return name;
}

bool has(const std::vector<std::string>& dlls, const std::string& dll)
{
    return std::find(dlls.begin(), dlls.end(), dll) != dlls.end();
}

// The exception model an image's imports show: the unwinder DLL it imports.
const ExceptionModel* exceptionModelOf(const PeImage& image)
{
    for (const ExceptionModel& model : kExceptionModels) {
        if (image.findImport(model.dll) != nullptr)
            return &model;
    }
    return nullptr;
}

HostVerdict refused(HostVerdict verdict, const std::string& reason)
{
    verdict.flavour.clear();
    verdict.reasons.push_back(reason);
    return verdict;
}

std::string joined(const std::vector<std::string>& items, std::size_t most)
{
    std::string text;
    for (std::size_t i = 0; i < items.size() && i < most; ++i)
        text += (i ? ", " : "") + items[i];
    if (items.size() > most)
        text += " and " + std::to_string(items.size() - most) + " more";
    return text;
}

// mingw-w64 builds on one of two C runtimes: msvcrt.dll, as the mingw
// flavours do, or the Universal C Runtime (MSYS2's ucrt64), whose
// libstdc++-6.dll has the same name but is another build.
bool onUniversalCRuntime(const std::vector<std::string>& dlls)
{
    return std::any_of(dlls.begin(), dlls.end(), [](const std::string& dll) {
        return dll == "ucrtbase.dll" || dll.compare(0, 15, "api-ms-win-crt-") == 0;
    });
}

void judgeMingw(HostVerdict& verdict, const PeImage& host, const PeImage* libstdcxx, bool win64,
                const std::vector<std::string>& dlls)
{
    verdict.runtime = HostFlavour::runtimeName(false);
    verdict.mingw = true;
    std::string reason = "It imports libstdc++-6.dll: built with mingw-w64 g++, with the C++ runtime as DLLs";
    const ExceptionModel* model = exceptionModelOf(host);
    if (model != nullptr) {
        reason += std::string(", and ") + model->dll + ": " + model->text + ".";
    } else if (libstdcxx != nullptr && (model = exceptionModelOf(*libstdcxx)) != nullptr) {
        reason += std::string("; the libstdc++-6.dll beside it imports ") + model->dll + ": " + model->text + ".";
    } else {
        reason += ".";
    }
    verdict.reasons.push_back(reason);
    if (onUniversalCRuntime(dlls))
        verdict.reasons.push_back(
            "It runs on the Universal C Runtime (ucrtbase.dll): its libstdc++-6.dll is a UCRT build, not the "
            "msvcrt.dll build the mingw flavours ship. In the host's process the plug-in uses the host's copy, "
            "which has to export what the plug-in takes (compared below when the host's copies are beside it).");
    const std::string expected = win64 ? "seh" : "dw2";
    if (model == nullptr) {
        verdict.flavour = HostFlavour::flavourName(win64, false);
        verdict.reasons.push_back(
            std::string("Its exception model is not known: it imports no libgcc_s DLL and has no libstdc++-6.dll "
                        "beside it. ") +
            verdict.flavour + " fits only a host built with " + (win64 ? "SEH" : "DWARF-2") +
            " exceptions, the default of this bitness.");
        return;
    }
    verdict.exceptions = model->name;
    if (verdict.exceptions == "sjlj") {
        verdict.reasons.push_back("No flavour is built with setjmp/longjmp exceptions: an exception from the host "
                                  "could not pass through the plug-in.");
        return;
    }
    if (verdict.exceptions != expected) {
        verdict.reasons.push_back(std::string("No flavour has ") + model->text + " for " +
                                  (win64 ? "64" : "32") + "-bit hosts.");
        return;
    }
    verdict.flavour = HostFlavour::flavourName(win64, false);
}

// What the plug-in imports from dll, by name.
std::vector<std::string> takenFrom(const PeImage* plugin, const std::string& dll)
{
    const PeImport* import = plugin != nullptr ? plugin->findImport(dll) : nullptr;
    return import != nullptr ? import->functions : std::vector<std::string>();
}

// Debug information as mingw's linker lays it out: sections with long
// names ("/4" for .debug_info) that are discarded at load and never run.
bool debugOnly(const PeSection& section)
{
    const uint32_t discardable = 0x02000000, executable = 0x20000000, writable = 0x80000000, code = 0x20;
    const bool debugName = section.name.compare(0, 1, "/") == 0 || section.name.compare(0, 6, ".debug") == 0;
    return debugName && (section.characteristics & discardable) != 0 &&
           (section.characteristics & (executable | writable | code)) == 0;
}

// The bytes of a section as the loader maps them from the file.
std::string_view loaded(const std::string& bytes, const PeSection& section)
{
    const uint64_t size = section.virtualSize != 0 ? std::min(section.held, section.virtualSize) : section.held;
    // A section the file holds nothing of may start past its end.
    if (size == 0)
        return std::string_view();
    return std::string_view(bytes).substr(static_cast<std::size_t>(section.offset), static_cast<std::size_t>(size));
}

// The first section of a, debug information aside, that b does not have
// at the same address with the same bytes; empty when there is none. The
// files are untrusted: each section of b is matched once, and no more bytes
// are compared than the two files hold, which the sections of a real image
// never exceed, as they do not overlap.
std::string unlikeSection(const PeImage& a, const std::string& aBytes, const PeImage& b, const std::string& bBytes)
{
    std::map<std::pair<std::string, uint64_t>, std::size_t> byPlace;
    for (std::size_t i = 0; i < b.sections().size(); ++i)
        byPlace.emplace(std::make_pair(b.sections()[i].name, b.sections()[i].rva), i);
    std::vector<bool> matched(b.sections().size(), false);
    uint64_t budget = uint64_t(aBytes.size()) + bBytes.size();
    for (const PeSection& section : a.sections()) {
        const std::string name = section.name.empty() ? "an unnamed section" : "section " + section.name;
        const auto found = byPlace.find(std::make_pair(section.name, section.rva));
        if (found == byPlace.end()) {
            if (!debugOnly(section))
                return name;
            continue;
        }
        const PeSection& same = b.sections()[found->second];
        const std::string_view bytes = loaded(aBytes, section);
        if (matched[found->second] || bytes.size() > budget)
            return name;
        matched[found->second] = true;
        budget -= bytes.size();
        if (same.virtualSize != section.virtualSize || same.characteristics != section.characteristics ||
            loaded(bBytes, same) != bytes)
            return name;
    }
    return "";
}

// Where two copies of a DLL differ in what is loaded and run, or empty when
// only their debug information differs: the package ships the toolchain's
// runtime DLLs stripped, and a host built with the same toolchain often
// ships them as the toolchain has them, which is the same build.
std::string loadedDifference(const PeImage& host, const std::string& hostBytes, const PeImage& ours,
                             const std::string& ourBytes)
{
    if (host.machine() != ours.machine() || host.pe32Plus() != ours.pe32Plus())
        return "the machine";
    if (host.imageBase() != ours.imageBase() || host.entryPoint() != ours.entryPoint())
        return "the headers";
    const std::string unlike = unlikeSection(host, hostBytes, ours, ourBytes);
    return unlike.empty() ? unlikeSection(ours, ourBytes, host, hostBytes) : unlike;
}

RuntimeCopy compared(const RuntimeFiles& files, const PeImage* plugin, const std::string& hostMachine)
{
    RuntimeCopy copy;
    copy.dll = files.dll;
    if (!files.besideHost)
        return copy;
    // Nothing read, nothing known: not a reason to refuse the host.
    if (!files.hostProblem.empty()) {
        copy.state = RuntimeCopy::State::NotRead;
        copy.detail = files.hostProblem;
        return copy;
    }
    PeImage image;
    std::string error;
    const bool readable = image.read(files.hostCopy, error) && image.kind() == ImageKind::Pe;
    if (readable && PeImage::machineName(image.machine()) != hostMachine) {
        copy.state = RuntimeCopy::State::OtherMachine;
        copy.detail = "built for " + PeImage::machineName(image.machine()) + ", not " + hostMachine;
        return copy;
    }
    if (files.besidePlugin && files.hostCopy == files.ours) {
        copy.state = RuntimeCopy::State::Same;
        return copy;
    }
    if (plugin == nullptr) {
        copy.state = RuntimeCopy::State::NotCompared;
        return copy;
    }
    if (files.besidePlugin)
        copy.detail = std::to_string(files.hostCopy.size()) + " bytes, the plug-in's " +
                      std::to_string(files.ours.size());
    if (!readable) {
        copy.state = RuntimeCopy::State::Lacking;
        copy.detail = "not a readable DLL" + (error.empty() ? std::string() : ": " + error);
        return copy;
    }
    PeImage ours;
    if (files.besidePlugin && ours.read(files.ours, error) && ours.kind() == ImageKind::Pe) {
        const std::string difference = loadedDifference(image, files.hostCopy, ours, files.ours);
        if (difference.empty()) {
            copy.state = RuntimeCopy::State::Same;
            copy.detail = "the same code and data; " + copy.detail;
            return copy;
        }
        copy.detail += "; " + difference + " differs";
    }
    const std::set<std::string> exported(image.exports().begin(), image.exports().end());
    for (const std::string& function : takenFrom(plugin, files.dll)) {
        if (exported.count(function) == 0)
            copy.missing.push_back(function);
    }
    copy.state = copy.missing.empty() ? RuntimeCopy::State::Enough : RuntimeCopy::State::Lacking;
    return copy;
}

} // namespace

std::string HostFlavour::flavourName(bool win64, bool msvc)
{
    return std::string(win64 ? "win64" : "win32") + (msvc ? "-msvc" : "-mingw");
}

const char* HostFlavour::runtimeName(bool msvc)
{
    return msvc ? "Visual Studio 2015-2022" : "mingw-w64 g++";
}

HostVerdict HostFlavour::judge(const PeImage& host, const PeImage* libstdcxx)
{
    HostVerdict verdict;
    switch (host.kind()) {
    case ImageKind::Dos:
        verdict.image = "MZ";
        return refused(verdict, "An MS-DOS program (an MZ header, no PE header): the plug-in is for 32-bit and "
                                "64-bit Windows programs.");
    case ImageKind::Windows16:
        verdict.image = "NE";
        return refused(verdict, "A 16-bit Windows program (NE): the plug-in is for 32-bit and 64-bit Windows "
                                "programs.");
    case ImageKind::Linear:
        verdict.image = "LE/LX";
        return refused(verdict, "An OS/2 program or a Windows 3.x/9x driver (LE/LX): the plug-in is for 32-bit "
                                "and 64-bit Windows programs.");
    case ImageKind::Pe:
        break;
    }
    verdict.image = host.pe32Plus() ? "PE32+" : "PE32";
    verdict.machine = PeImage::machineName(host.machine());
    verdict.dll = host.isDll();
    std::vector<std::string> dlls;
    for (const PeImport& import : host.imports()) {
        verdict.imports.push_back(import.dll + (import.delayed ? " (delayed)" : ""));
        dlls.push_back(loaderName(import.dll));
        verdict.cxxLibrary =
            verdict.cxxLibrary || dlls.back().compare(0, 8, "msvcp140") == 0 || dlls.back() == kLibstdcxx;
    }
    const bool win64 = host.machine() == PeImage::kMachineAmd64;
    if (!win64 && host.machine() != PeImage::kMachineI386)
        return refused(verdict, verdict.image + " for " + verdict.machine +
                                    ": every flavour is for i386 or x86-64 programs.");
    verdict.reasons.push_back(verdict.image + " for " + verdict.machine + ": a " + (win64 ? "64" : "32") +
                              "-bit program takes a " + (win64 ? "win64" : "win32") + " flavour.");
    if (host.hasClrHeader())
        return refused(verdict, "A .NET assembly (it has a CLR header): its objects are not the C++ objects the "
                                "plug-in exchanges.");

    const std::string debug = firstImport(dlls, [](const std::string& dll) {
        return std::find_if(std::begin(kDebugRuntime), std::end(kDebugRuntime),
                            [&dll](const char* name) { return dll == name; }) != std::end(kDebugRuntime);
    });
    if (!debug.empty()) {
        verdict.runtime = "Visual Studio, debug";
        return refused(verdict, "It imports " + debug + ", Visual Studio's debug runtime (a Debug build, /MDd): "
                                "its std::string has other fields and its heap is another. Load the plug-in from "
                                "the host's release build.");
    }
    // msvcp140_1.dll, vcruntime140_1.dll and the others beside the two
    // come only with the runtime as DLLs too.
    const std::string msvcDll = firstImport(dlls, [](const std::string& dll) {
        return dll.compare(0, 8, "msvcp140") == 0 || dll.compare(0, 12, "vcruntime140") == 0 ||
               dll.compare(0, 9, "concrt140") == 0;
    });
    const bool msvc = !msvcDll.empty();
    const bool mingw = has(dlls, kLibstdcxx);
    const std::string otherCxx = firstImport(dlls, [](const std::string& dll) {
        return dll == kLibstdcxx || std::any_of(std::begin(kOtherRuntimes), std::end(kOtherRuntimes),
                                                [&dll](const OtherRuntime& other) { return dll == other.dll; });
    });
    if (msvc && !otherCxx.empty())
        return refused(verdict, "It imports both Visual Studio's C++ runtime and " + otherCxx +
                                    ": which one its strings come from cannot be told.");
    const std::string oldLibrary =
        firstImport(dlls, [](const std::string& dll) { return versionOf(dll, "msvcp") >= 0 && versionOf(dll, "msvcp") < 140; });
    const std::string oldRuntime =
        firstImport(dlls, [](const std::string& dll) { return versionOf(dll, "msvcr") >= 0; });
    if (!oldLibrary.empty() || (!msvc && !oldRuntime.empty())) {
        verdict.runtime = "Visual Studio 2013 or older";
        return refused(verdict, "It imports " + (oldLibrary.empty() ? oldRuntime : oldLibrary) +
                                    ": built with Visual Studio 2013 or older, whose runtime, heap and std::function "
                                    "are not those of msvcp140.dll. Rebuild the host with Visual Studio 2015 or newer.");
    }
    if (msvc) {
        verdict.runtime = runtimeName(true);
        verdict.flavour = flavourName(win64, true);
        verdict.reasons.push_back(
            "It imports " +
            std::string(has(dlls, "msvcp140.dll") && has(dlls, "vcruntime140.dll") ? "msvcp140.dll and vcruntime140.dll"
                        : has(dlls, "msvcp140.dll")                                 ? "msvcp140.dll"
                        : has(dlls, "vcruntime140.dll")                             ? "vcruntime140.dll"
                                                                                    : msvcDll) +
            ": built with Visual Studio 2015-2022 in release, with the runtime as DLLs (/MD).");
        return verdict;
    }
    if (mingw) {
        judgeMingw(verdict, host, libstdcxx, win64, dlls);
        return verdict;
    }
    for (const OtherRuntime& other : kOtherRuntimes) {
        if (has(dlls, other.dll)) {
            verdict.runtime = other.compiler;
            return refused(verdict, std::string("It imports ") + other.dll + ": built with " + other.compiler +
                                        ", whose C++ runtime no flavour shares.");
        }
    }
    verdict.noRuntime = true;
    // g++ -static-libstdc++ keeps libgcc's DLL and links the C++ library in.
    if (const ExceptionModel* model = exceptionModelOf(host)) {
        return refused(verdict, std::string("It imports ") + model->dll + " but not libstdc++-6.dll: built with "
                                "mingw-w64 g++ and -static-libstdc++, so its C++ library, and the strings it "
                                "makes, are its own copy, which the plug-in cannot share. Rebuild the host "
                                "without -static-libstdc++.");
    }
    return refused(verdict, "No C++ runtime DLL among its imports (msvcp140.dll, vcruntime140.dll, "
                            "libstdc++-6.dll): its C++ runtime is linked in (/MT, -static), with a heap of its own "
                            "the plug-in cannot share, or it is no C++ program.");
}

HostVerdict HostFlavour::judgeThrough(const HostVerdict& program, const std::string& chain, const HostVerdict& inner)
{
    HostVerdict verdict = program;
    verdict.noRuntime = false;
    verdict.runtime = inner.runtime;
    verdict.mingw = inner.mingw;
    verdict.exceptions = inner.exceptions;
    verdict.flavour = inner.flavour;
    // The program's bitness, then the DLL's reasons but for its own.
    verdict.reasons.resize(1);
    // A DLL of its own may be refused for something other than its runtime
    // (a .NET assembly): then it is that DLL that decides, not a runtime.
    verdict.reasons.push_back(inner.runtime.empty()
                                  ? "It imports no C++ runtime DLL itself; its own " + chain +
                                        " beside it is what the plug-in would meet:"
                                  : "It imports no C++ runtime DLL itself, but its own " + chain +
                                        " beside it does: the plug-in shares the runtime with that.");
    verdict.reasons.insert(verdict.reasons.end(), inner.reasons.begin() + (inner.reasons.empty() ? 0 : 1),
                           inner.reasons.end());
    return verdict;
}

std::vector<std::string> HostFlavour::runtimeDlls(const HostVerdict& verdict, const PeImage* plugin)
{
    if (verdict.flavour.empty())
        return {};
    if (!verdict.mingw) {
        std::vector<std::string> dlls = {"msvcp140.dll", "vcruntime140.dll"};
        // Others the plug-in needs, such as vcruntime140_1.dll on x64.
        for (const PeImport& import : plugin != nullptr ? plugin->imports() : std::vector<PeImport>()) {
            const std::string dll = lowered(import.dll);
            if ((dll.compare(0, 8, "msvcp140") == 0 || dll.compare(0, 12, "vcruntime140") == 0) && !has(dlls, dll))
                dlls.push_back(dll);
        }
        return dlls;
    }
    const bool win64 = verdict.flavour.compare(0, 5, "win64") == 0;
    return {kLibstdcxx, win64 ? kExceptionModels[1].dll : kExceptionModels[0].dll, "libwinpthread-1.dll"};
}

void HostFlavour::compareRuntimes(HostVerdict& verdict, const PeImage* plugin, const std::vector<RuntimeFiles>& files)
{
    if (verdict.flavour.empty())
        return;
    // The C++ runtime DLL comes first; the others are beside the host or
    // found where its own libstdc++-6.dll finds them.
    bool same = true, enough = false, lacking = false, notCompared = false, otherMachine = false;
    std::vector<std::string> unread;
    const bool libraryBeside = !files.empty() && files.front().besideHost;
    for (const RuntimeFiles& pair : files) {
        verdict.runtimeDlls.push_back(compared(pair, plugin, verdict.machine));
        const RuntimeCopy& copy = verdict.runtimeDlls.back();
        same = same && (copy.state == RuntimeCopy::State::Same || copy.state == RuntimeCopy::State::NotBeside);
        enough = enough || copy.state == RuntimeCopy::State::Enough;
        notCompared = notCompared || copy.state == RuntimeCopy::State::NotCompared;
        if (copy.state == RuntimeCopy::State::NotRead)
            unread.push_back(copy.dll + " (" + copy.detail + ")");
        if (copy.state == RuntimeCopy::State::OtherMachine) {
            otherMachine = true;
            verdict.reasons.push_back("The host's " + copy.dll + " is " + copy.detail +
                                      ": it cannot load into the host's process, so the host cannot start as it "
                                      "is installed (or loads a copy from elsewhere, which wired-host cannot see).");
        }
        if (copy.state == RuntimeCopy::State::Lacking) {
            lacking = true;
            const std::size_t missing = copy.missing.size();
            verdict.reasons.push_back(
                "The host's " + copy.dll + " is another build " +
                (copy.missing.empty() ? "(" + copy.detail + ")"
                                      : "without " + std::to_string(missing) +
                                            (missing == 1 ? " function" : " functions") +
                                            " the plug-in takes from it: " + joined(copy.missing, 3)) +
                ". Windows hands the plug-in the copy the host has loaded, so the plug-in would not load.");
        }
    }
    const std::string folder = verdict.flavour + "/";
    if (otherMachine) {
        verdict.flavour.clear();
        verdict.advice.push_back("Repair the host's installation first (reinstall it): its runtime DLLs must be "
                                 "built for " + verdict.machine + ", as the host is. Then ask wired-host again.");
        return;
    }
    if (lacking) {
        verdict.flavour.clear();
        verdict.advice.push_back("Ask the host's vendor which compiler and runtime build it: a plug-in built with "
                                 "that toolchain fits. Do not replace the host's runtime DLLs with the plug-in's: "
                                 "the host was built against its own.");
        return;
    }
    if (!unread.empty())
        verdict.advice.push_back("The host's " + joined(unread, unread.size()) + (unread.size() == 1 ? " was" : " were") +
                                 " not read, so not compared with the plug-in's: try the plug-in with this host "
                                 "before relying on it, and never copy the plug-in's runtime DLLs over the host's.");
    if (!verdict.mingw) {
        verdict.advice.push_back("Copy wiredClsTab.dll and config.xml from " + folder +
                                 " into a folder of the host's choice; the runtime DLLs are the host's own, from "
                                 "its installer or the Visual C++ Redistributable for Visual Studio 2015-2022.");
        return;
    }
    if (same && libraryBeside) {
        verdict.advice.push_back("Keep the host's runtime DLLs: they are the same build as the plug-in's. Copy "
                                 "only wiredClsTab.dll and config.xml from " + folder + ".");
        return;
    }
    if (enough)
        verdict.advice.push_back("Keep the host's runtime DLLs and never copy the plug-in's over them: Windows "
                                 "hands the plug-in the copies the host has loaded, and these have every function "
                                 "the plug-in takes from them, but they are another build than the plug-in's, so "
                                 "try the plug-in with this host before relying on it.");
    if (notCompared)
        verdict.advice.push_back("The host's runtime DLLs were not compared: no wiredClsTab.dll of " +
                                 verdict.flavour + " was found (give --plugin " + folder + "wiredClsTab.dll).");
    if (!libraryBeside)
        verdict.advice.push_back(
            "The host's libstdc++-6.dll is not beside it: it finds it elsewhere (on the PATH). Put the "
            "plug-in's runtime DLLs beside wiredClsTab.dll, not beside the host, and have the host load the plug-in "
            "with LoadLibraryExA(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH) or after AddDllDirectory on its folder. "
            "A runtime DLL the host has loaded already is the one the plug-in gets: if that is another build, ask "
            "the host's vendor which mingw-w64 g++ built it.");
}

} // namespace wiredhost

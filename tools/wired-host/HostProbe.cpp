#include "HostProbe.h"

#include <algorithm>
#include <deque>
#include <set>

#include "Files.h"
#include "model/Text.h"

namespace wiredhost {

namespace {

using namespace hostkit;

// Larger than any program; the whole file is read at once, its size
// looked at first.
const std::size_t kMostBytes = std::size_t(1) << 30;
// Larger than any runtime DLL or DLL of a host's own that is read to follow
// its imports: a file beside the host that is bigger is not read.
const std::size_t kMostBesideBytes = std::size_t(256) << 20;
const char kPluginFile[] = "wiredClsTab.dll";
// How many of a host's own DLLs are read looking for its C++ runtime.
const std::size_t kMostOwnDlls = 64;

// A file in folder, read whole; false when there is none. The name is the
// one an image imports, matched as Windows does, in any case. One that is
// there but too big or unreadable gives true, no bytes and the problem.
bool readBeside(const std::string& folder, const std::string& name, std::string& bytes, std::string& problem)
{
    bytes.clear();
    problem.clear();
    // The name comes from the image: one with a folder in it ("..\\..\\x")
    // is not a file beside the host, and is not looked for elsewhere.
    if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\:") != std::string::npos)
        return false;
    const std::string path = files::findIgnoringCase(folder, name);
    if (!files::isFile(path))
        return false;
    if (files::readFile(path, bytes, kMostBesideBytes))
        return true;
    unsigned long long size = 0;
    problem = files::sizeOf(path, size) && size > kMostBesideBytes
                  ? std::to_string(size) + " bytes, more than the " + std::to_string(kMostBesideBytes >> 20) +
                        " MiB a DLL is read to: not read"
                  : "cannot be read";
    return true;
}

bool readBeside(const std::string& folder, const std::string& name, std::string& bytes)
{
    std::string problem;
    return readBeside(folder, name, bytes, problem) && problem.empty();
}

bool readImage(const std::string& path, std::string& bytes, PeImage& image, std::string& error)
{
    if (!files::isFile(path)) {
        error = files::isDirectory(path) ? "is a folder, not a program"
                : files::exists(path)        ? "is a pipe or a device, not a program"
                                             : files::lastFailure();
        return false;
    }
    // readFile looks at the size before it reads; which limit was passed
    // is asked only then.
    if (!files::readFile(path, bytes, kMostBytes)) {
        unsigned long long size = 0;
        error = files::sizeOf(path, size) && size > kMostBytes
                    ? "holds " + std::to_string(size) + " bytes, more than the 1 GiB of any program: not read"
                    : "cannot be read";
        return false;
    }
    return image.read(bytes, error);
}

} // namespace

bool HostProbe::probe(const std::string& hostPath, const std::string& pluginOption, std::string& error)
{
    std::string bytes;
    PeImage host;
    if (!readImage(hostPath, bytes, host, error)) {
        error = hostPath + ": " + error;
        return false;
    }
    const std::string folder = files::folderOf(files::absolute(hostPath));
    std::string libraryBytes, ignored;
    PeImage library;
    // A libstdc++-6.dll of another machine cannot load in the host: it
    // says nothing of the host's exception model (the comparison of the
    // runtime DLLs below tells the user it is the wrong one).
    const bool libraryBeside = readBeside(folder, "libstdc++-6.dll", libraryBytes) &&
                               library.read(libraryBytes, ignored) && library.kind() == ImageKind::Pe &&
                               library.machine() == host.machine();
    verdict_ = HostFlavour::judge(host, libraryBeside ? &library : nullptr);
    if (verdict_.noRuntime)
        judgeThroughOwnDlls(host, folder, libraryBeside ? &library : nullptr);
    if (!verdict_.fits())
        return true;

    PeImage plugin;
    if (!findPlugin(pluginOption, plugin, error))
        return false;
    const PeImage* compared = pluginPath_.empty() ? nullptr : &plugin;
    const std::string pluginFolder = pluginPath_.empty() ? std::string() : files::folderOf(pluginPath_);
    std::vector<RuntimeFiles> runtime;
    for (const std::string& dll : HostFlavour::runtimeDlls(verdict_, compared)) {
        RuntimeFiles pair;
        pair.dll = dll;
        pair.besideHost = readBeside(folder, dll, pair.hostCopy, pair.hostProblem);
        pair.besidePlugin = compared != nullptr && readBeside(pluginFolder, dll, pair.ours);
        runtime.push_back(std::move(pair));
    }
    HostFlavour::compareRuntimes(verdict_, compared, runtime);
    return true;
}

// Many applications are a small program and the application in DLLs of its
// own beside it: the program imports no C++ runtime, its DLLs do. Those
// are followed, nearest first. The first that imports a C++ library
// (msvcp140.dll, libstdc++-6.dll) judges the host, or else the first that
// imports a runtime at all (vcruntime140.dll alone: C built with Visual
// Studio). Two such DLLs that take different flavours leave it open which
// one the plug-in's strings would meet: none fits.
void HostProbe::judgeThroughOwnDlls(const PeImage& host, const std::string& folder, const PeImage* libstdcxx)
{
    struct Judged {
        std::string chain;
        HostVerdict verdict;
    };
    std::vector<Judged> judged;
    std::deque<std::pair<std::string, std::string>> waiting; // a DLL, and the chain that leads to it
    std::set<std::string> seen;
    const auto follow = [&](const PeImage& image, const std::string& chain) {
        for (const PeImport& import : image.imports()) {
            if (seen.insert(lowered(import.dll)).second)
                waiting.emplace_back(import.dll, chain.empty() ? import.dll : chain + " > " + import.dll);
        }
    };
    follow(host, "");
    // Every file read counts, a PE image or not, so that a host cannot
    // have many big files read.
    for (std::size_t read = 0; !waiting.empty() && read < kMostOwnDlls; waiting.pop_front()) {
        const std::string& dll = waiting.front().first;
        std::string bytes, ignored;
        PeImage image;
        if (!readBeside(folder, dll, bytes))
            continue;
        ++read;
        if (!image.read(bytes, ignored) || image.kind() != ImageKind::Pe || image.machine() != host.machine())
            continue;
        HostVerdict inner = HostFlavour::judge(image, libstdcxx);
        if (inner.noRuntime) {
            follow(image, waiting.front().second);
            continue;
        }
        judged.push_back({waiting.front().second, std::move(inner)});
    }
    if (judged.empty())
        return;
    const auto decides =
        std::find_if(judged.begin(), judged.end(), [](const Judged& j) { return j.verdict.cxxLibrary; });
    const Judged& first = decides != judged.end() ? *decides : judged.front();
    for (const Judged& other : judged) {
        if ((other.verdict.cxxLibrary || !first.verdict.cxxLibrary) && other.verdict.flavour != first.verdict.flavour) {
            const auto named = [](const Judged& j) {
                return j.chain + " (" + (j.verdict.fits() ? j.verdict.flavour : std::string("none fits")) + ")";
            };
            verdict_.noRuntime = false;
            verdict_.reasons.resize(1); // its bitness; it does import a runtime, through its DLLs
            verdict_.reasons.push_back("It imports no C++ runtime DLL itself, and its own DLLs beside it disagree: " +
                                       named(first) + " and " + named(other) +
                                       ": which of them the plug-in's strings would meet cannot be told.");
            return;
        }
    }
    verdict_ = HostFlavour::judgeThrough(verdict_, first.chain, first.verdict);
}

bool HostProbe::readPlugin(const std::string& path, PeImage& plugin, std::string& flavour) const
{
    std::string bytes, error;
    if (!files::isFile(path) || !files::readFile(path, bytes, kMostBytes) || !plugin.read(bytes, error))
        return false;
    flavour = HostFlavour::judge(plugin, nullptr).flavour;
    return true;
}

bool HostProbe::findPlugin(const std::string& option, PeImage& plugin, std::string& error)
{
    std::string flavour;
    if (!option.empty()) {
        const std::string path = files::absolute(files::isDirectory(option) ? files::join(option, kPluginFile) : option);
        if (!readPlugin(path, plugin, flavour)) {
            error = option + ": no plug-in there to compare with";
            return false;
        }
        if (flavour == verdict_.flavour) {
            pluginPath_ = path;
        } else {
            verdict_.advice.push_back("The plug-in given, " + path + ", is " +
                                      (flavour.empty() ? std::string("of no flavour") : "of " + flavour) +
                                      ", not " + verdict_.flavour + ": the runtime DLLs were not compared with it.");
        }
        return true;
    }
    // The tool's own folder, then the package's folder of the flavour
    // beside it (the package keeps one folder per flavour).
    const std::string tool = files::executableFolder();
    const std::string candidates[] = {
        files::join(tool, kPluginFile),
        files::join(files::join(files::folderOf(tool), verdict_.flavour), kPluginFile),
    };
    for (const std::string& path : candidates) {
        if (readPlugin(path, plugin, flavour) && flavour == verdict_.flavour) {
            pluginPath_ = path;
            return true;
        }
    }
    return true;
}

} // namespace wiredhost

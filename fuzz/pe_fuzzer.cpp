// Arbitrary bytes as a host program's image, read by the PE reader that
// "wired-host which" uses and judged by its rules, then as the host's
// libstdc++-6.dll beside a mingw host. Beyond not crashing, the outcome
// must hold together: a flavour only for a PE image of i386 or x86-64 of
// that bitness, names of printable ASCII only, every list within bounds.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "HostFlavour.h"
#include "PeImage.h"

using wiredhost::HostFlavour;
using wiredhost::HostVerdict;
using wiredhost::ImageKind;
using wiredhost::PeImage;
using wiredhost::RuntimeFiles;

namespace {

bool printable(const std::string& name)
{
    for (char c : name) {
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return true;
}

void checkImage(const PeImage& image, std::size_t size)
{
    FUZZ_CHECK(image.imports().size() <= 4096);
    for (const wiredhost::PeImport& import : image.imports()) {
        FUZZ_CHECK(printable(import.dll) && import.dll.size() < size);
        for (const std::string& function : import.functions)
            FUZZ_CHECK(printable(function) && function.size() < size);
    }
    for (const std::string& name : image.exports())
        FUZZ_CHECK(printable(name) && name.size() < size);
}

void checkVerdict(const PeImage& image, const HostVerdict& verdict)
{
    FUZZ_CHECK(!verdict.reasons.empty());
    if (!verdict.fits())
        return;
    FUZZ_CHECK(image.kind() == ImageKind::Pe && !image.hasClrHeader());
    const bool win64 = image.machine() == PeImage::kMachineAmd64;
    FUZZ_CHECK(win64 || image.machine() == PeImage::kMachineI386);
    FUZZ_CHECK(win64 == image.pe32Plus());
    FUZZ_CHECK(verdict.flavour == HostFlavour::flavourName(win64, !verdict.mingw));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    PeImage image;
    std::string error;
    if (!image.read(bytes, error)) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    checkImage(image, size);
    HostVerdict verdict = HostFlavour::judge(image, nullptr);
    checkVerdict(image, verdict);

    // The same bytes as the libstdc++-6.dll beside a mingw host, and as
    // the host's copy compared with the plug-in's: a copy with one byte
    // changed, whose sections are compared one by one.
    verdict = HostFlavour::judge(image, &image);
    checkVerdict(image, verdict);
    if (verdict.fits()) {
        std::string changed = bytes;
        changed[size / 2] = static_cast<char>(changed[size / 2] ^ 1);
        std::vector<RuntimeFiles> files;
        for (const std::string& dll : HostFlavour::runtimeDlls(verdict, &image))
            files.push_back({dll, bytes, changed, true, true});
        HostFlavour::compareRuntimes(verdict, &image, files);
        FUZZ_CHECK(verdict.runtimeDlls.size() == files.size());
    }
    return 0;
}

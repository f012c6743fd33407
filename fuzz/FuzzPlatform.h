#ifndef WIREDCLSTAB_FUZZ_FUZZPLATFORM_H
#define WIREDCLSTAB_FUZZ_FUZZPLATFORM_H

#include <string>
#include <utility>
#include <vector>

namespace fuzz {

// The platform layer of the fuzz targets: the module "lives" at modulePath,
// files are real, and warnings are recorded instead of shown.
struct FuzzPlatform {
    std::string modulePath;
    std::vector<std::pair<std::string, std::string>> warnings; // caption, text

    static FuzzPlatform& instance();
};

// The captions for Chinese, as this layer gives them.
const char* chineseCaptionFor(const std::string& englishCaption);

} // namespace fuzz

#endif

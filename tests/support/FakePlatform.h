#ifndef WIREDCLSTAB_TESTS_FAKEPLATFORM_H
#define WIREDCLSTAB_TESTS_FAKEPLATFORM_H

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace kavri_test {

// Stands in for the platform layer in the unit tests and the fuzz targets:
// the module path is whatever the test says, the warning boxes are recorded,
// and files are looked up on the real file system.
struct FakePlatform {
    std::string modulePath;
    std::size_t capacity = 260;
    char separator = '/';
    // Where a separator may first end the directory (as on Windows: never
    // the first character).
    std::size_t firstSeparator = 1;
    // The bytes that begin a double-byte character, as in a DBCS code page.
    std::string leadBytes;
    kavri::platform::PathCoding coding = kavri::platform::PathCoding::Native;
    // Make the module-path call report a cut-off path, as the kernel does.
    bool reportTruncated = false;

    std::vector<std::string> existenceChecks;
    std::vector<std::pair<std::string, std::string>> warnings; // caption, text

    // The platform layer the tests see; reset() before each test.
    static FakePlatform& instance();
    static void reset();
};

} // namespace kavri_test

#endif

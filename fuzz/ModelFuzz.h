#ifndef WIREDCLSTAB_FUZZ_MODELFUZZ_H
#define WIREDCLSTAB_FUZZ_MODELFUZZ_H

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "model/ClassCollector.h"

namespace modelfuzz {

inline std::string bytesOf(const uint8_t* data, size_t size)
{
    return std::string(reinterpret_cast<const char*>(data), size);
}

// What a reader collected, finished as the loader does: either classes
// whose package paths fit the limit, or a message.
inline void finish(wiredhost::ClassCollector& collector)
{
    collector.resolveReferences();
    std::vector<wiredhost::ModelClass> classes;
    std::string error;
    if (!collector.finish(classes, error)) {
        FUZZ_CHECK(!error.empty() && classes.empty());
        return;
    }
    std::size_t pathBytes = 0;
    for (const wiredhost::ModelClass& modelClass : classes)
        pathBytes += modelClass.package.size();
    FUZZ_CHECK(pathBytes <= wiredhost::ClassCollector::kMaxPathBytes);
}

} // namespace modelfuzz

#endif

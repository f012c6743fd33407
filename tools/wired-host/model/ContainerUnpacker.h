#ifndef WIREDHOST_MODEL_CONTAINERUNPACKER_H
#define WIREDHOST_MODEL_CONTAINERUNPACKER_H

#include <cstddef>
#include <string>

#include "FormatDetector.h"

namespace wiredhost {

// The container layer: gzip, zip and tar around a model file, unpacked in
// memory before any model format is looked at. A few kilobytes can unpack
// to gigabytes, so what the containers of one file unpack to is bounded:
// at most kRatio times the file's size (but kFloor for any file) and never
// more than kAbsolute, three times the benchmark model of 100,000 classes
// (an unpacked model file has no such limit: its size is there to see);
// containers nest at most kMaxNesting deep.
class ContainerUnpacker {
public:
    static constexpr int kMaxNesting = 3;
    static constexpr std::size_t kRatio = 200;
    static constexpr std::size_t kFloor = std::size_t(1) << 20;
    static constexpr std::size_t kAbsolute = std::size_t(64) << 20;

    // fileSize: of the file on disk, which the limit is relative to;
    // absolute lowers the absolute limit (for tests).
    explicit ContainerUnpacker(std::size_t fileSize, std::size_t absolute = kAbsolute);

    static bool isContainer(ModelFormat format);

    // Replaces bytes by the model file inside the container, one level;
    // false with a message (without the file's name) when the container is
    // damaged, holds no model or passes a limit.
    bool unpack(std::string& bytes, ModelFormat format, std::string& error);

    // The zip or tar entry that was read, for messages; "" when none.
    const std::string& entry() const { return entry_; }
    // The archive's other entries that hold a model too, not read (one
    // file is one model), as a list for a message: "b.mdj, c.puml"; "" when
    // there are none.
    const std::string& passedOver() const { return passedOver_; }
    std::size_t limit() const { return limit_; }

private:
    bool gunzip(std::string& bytes, std::string& error);
    bool unzip(std::string& bytes, std::string& error);
    bool untar(std::string& bytes, std::string& error);
    std::string limitText() const;

    std::size_t fileSize_;
    std::size_t limit_;
    int nesting_ = 0;
    std::string chain_; // "gzip", "tar in gzip"...
    std::string entry_;
    std::string passedOver_;
};

} // namespace wiredhost

#endif

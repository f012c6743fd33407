#ifndef WIREDHOST_MODEL_PROGRESS_H
#define WIREDHOST_MODEL_PROGRESS_H

#include <chrono>
#include <cstddef>
#include <string>

namespace wiredhost {

// Progress of a long run on standard error, only when that is a terminal:
// a run of a big model says it is reading, then, after a couple of seconds,
// how many classes it has converted, on one line rewritten in place. Files
// and pipes get nothing.
class Progress {
public:
    Progress(std::string prefix, std::size_t total);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // Cheap enough to call for every class: the clock is read now and then.
    void step(std::size_t done);
    // Clears the line, if one was written.
    void finish();

    // A line at once, on a terminal only: "reading model.xmi (180 MiB)...".
    static void announce(const std::string& text);
    static bool onTerminal();

private:
    std::string prefix_;
    std::size_t total_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point shown_;
    bool active_;
    bool written_ = false;
};

} // namespace wiredhost

#endif

#include "Progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace wiredhost {

namespace {

using Clock = std::chrono::steady_clock;

// Quiet runs stay quiet: nothing before this much time has gone.
const auto kQuietTime = std::chrono::seconds(2);
const auto kInterval = std::chrono::milliseconds(250);

// The run's start: reading a big model counts towards the quiet time.
const Clock::time_point processStart = Clock::now();

} // namespace

bool Progress::onTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

void Progress::announce(const std::string& text)
{
    if (onTerminal()) {
        std::fprintf(stderr, "%s\n", text.c_str());
        std::fflush(stderr);
    }
}

Progress::Progress(std::string prefix, std::size_t total)
    : prefix_(std::move(prefix)), total_(total), start_(processStart), shown_(start_), active_(onTerminal())
{
}

Progress::~Progress()
{
    finish();
}

void Progress::step(std::size_t done)
{
    if (!active_ || (done & 1023) != 0)
        return;
    const auto now = Clock::now();
    if (now - start_ < kQuietTime || now - shown_ < kInterval)
        return;
    shown_ = now;
    written_ = true;
    const std::size_t percent = total_ == 0 ? 100 : done * 100 / total_;
    const std::string line = prefix_ + std::to_string(done) + " of " + std::to_string(total_) + " classes (" +
                             std::to_string(percent) + "%)";
    std::fprintf(stderr, "\r%s", line.c_str());
    std::fflush(stderr);
}

void Progress::finish()
{
    if (written_) {
        const std::string line = prefix_ + std::to_string(total_) + " of " + std::to_string(total_) + " classes, done";
        std::fprintf(stderr, "\r%s\n", line.c_str());
        std::fflush(stderr);
        written_ = false;
    }
    active_ = false;
}

} // namespace wiredhost

#include "WarningSpy.h"

#include <cstdio>
#include <stdexcept>

#include <unistd.h>

namespace e2e {

// Standard error is pointed at a temporary file while recording.
struct WarningSpy::Recording {
    std::FILE* capture = nullptr;
    int savedStderr = -1;
};

WarningSpy::WarningSpy(void*) : recording_(new Recording) {}

WarningSpy::~WarningSpy()
{
    if (recording_->capture != nullptr)
        stop();
}

void WarningSpy::start()
{
    if (recording_->capture != nullptr)
        stop();
    std::fflush(stderr);
    recording_->capture = std::tmpfile();
    if (recording_->capture == nullptr)
        throw std::runtime_error("no temporary file for standard error");
    recording_->savedStderr = dup(STDERR_FILENO);
    if (recording_->savedStderr < 0 || dup2(fileno(recording_->capture), STDERR_FILENO) < 0)
        throw std::runtime_error("standard error cannot be redirected");
}

std::vector<std::string> WarningSpy::stop()
{
    std::vector<std::string> lines;
    if (recording_->capture == nullptr)
        return lines;
    std::fflush(stderr);
    dup2(recording_->savedStderr, STDERR_FILENO);
    close(recording_->savedStderr);
    recording_->savedStderr = -1;

    std::string text;
    std::rewind(recording_->capture);
    char chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, recording_->capture)) > 0)
        text.append(chunk, got);
    std::fclose(recording_->capture);
    recording_->capture = nullptr;

    // Each line keeps its newline, so a missing one shows in the comparison.
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, next - start));
        start = next;
    }
    return lines;
}

std::string WarningSpy::expected(const std::string& caption, const std::string& text)
{
    return caption + ": " + text + "\n";
}

} // namespace e2e

#include "WarningCapture.h"

#include <cstdio>

#include <unistd.h>

namespace hostkit {

struct WarningCapture::State {
    std::FILE* scratch = nullptr;
    int savedStderr = -1;
};

std::ostream& operator<<(std::ostream& out, const Warning& warning)
{
    return out << '"' << warning.caption << ": " << warning.text << '"' << (warning.wellFormed ? "" : " (no newline)");
}

WarningCapture::WarningCapture(void*) : state_(new State)
{
    std::fflush(stderr);
    state_->scratch = std::tmpfile();
    if (state_->scratch == nullptr)
        return;
    state_->savedStderr = dup(STDERR_FILENO);
    if (state_->savedStderr >= 0 && dup2(fileno(state_->scratch), STDERR_FILENO) < 0) {
        close(state_->savedStderr);
        state_->savedStderr = -1;
    }
}

WarningCapture::~WarningCapture()
{
    finish();
    if (state_->scratch != nullptr)
        std::fclose(state_->scratch);
    delete state_;
}

bool WarningCapture::active() const
{
    return state_->savedStderr >= 0;
}

// The plug-in writes each warning as one line "<caption>: <text>\n". No
// caption holds ": ", so the first one ends it.
std::vector<Warning> WarningCapture::finish()
{
    std::vector<Warning> warnings;
    if (state_->savedStderr < 0)
        return warnings;
    std::fflush(stderr);
    dup2(state_->savedStderr, STDERR_FILENO);
    close(state_->savedStderr);
    state_->savedStderr = -1;

    std::string text;
    std::rewind(state_->scratch);
    char chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, state_->scratch)) > 0)
        text.append(chunk, got);
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const std::size_t colon = line.find(": ");
        Warning warning;
        warning.caption = line.substr(0, colon);
        warning.text = colon == std::string::npos ? "" : line.substr(colon + 2);
        warning.wellFormed = end != std::string::npos && colon != std::string::npos;
        warnings.push_back(warning);
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return warnings;
}

} // namespace hostkit

#ifndef HOSTKIT_INTERRUPT_H
#define HOSTKIT_INTERRUPT_H

#include <stdexcept>

namespace hostkit {
namespace interrupt {

// Ctrl-C (on POSIX systems also SIGTERM and SIGHUP; on Windows also the
// console window closing) asks the program to stop at its next safe point,
// between two calls into the plug-in, rather than ending it where it
// stands: the stack then unwinds, and a plug-in copied into a private
// folder is unloaded and its folder removed, where an ended process would
// leave both behind among the temporary files. A second request ends the
// program at once.
void catchRequests();

// Whether a stop was asked for.
bool requested();

// What a safe point throws when a stop was asked for.
struct Interrupted : std::runtime_error {
    Interrupted() : std::runtime_error("interrupted") {}
};

// A safe point.
inline void stopIfRequested()
{
    if (requested())
        throw Interrupted();
}

// The exit code of a program stopped on request: 128 + SIGINT, as shells
// report one that Ctrl-C ended.
const int kExitCode = 130;

} // namespace interrupt
} // namespace hostkit

#endif

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
// program at once. On POSIX systems the reader of the output going away
// (wired-host run ... | head) stops it the same way, where SIGPIPE would
// end it.
void catchRequests();

enum class Reason {
    None,
    Asked,        // Ctrl-C and its kin
    OutputClosed, // the pipe the output went to was closed
};

// Why a stop was asked for; None while none was.
Reason requested();

// What a safe point throws when a stop was asked for.
struct Interrupted : std::runtime_error {
    explicit Interrupted(Reason why) : std::runtime_error("interrupted"), reason(why) {}
    Reason reason;

    // As shells report a program that the signal ended: 128 + SIGINT, or
    // + SIGPIPE.
    int exitCode() const { return reason == Reason::OutputClosed ? 141 : 130; }
};

// A safe point.
inline void stopIfRequested()
{
    const Reason why = requested();
    if (why != Reason::None)
        throw Interrupted(why);
}

} // namespace interrupt
} // namespace hostkit

#endif

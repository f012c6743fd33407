#include "Interrupt.h"

#include <csignal>

namespace hostkit {
namespace interrupt {

namespace {

volatile std::sig_atomic_t stopAsked = 0;

extern "C" void onSignal(int signal)
{
    if (signal == SIGPIPE) {
        // Each write to the closed pipe raises it again until the stop.
        if (!stopAsked)
            stopAsked = SIGPIPE;
        return;
    }
    if (stopAsked != 0 && stopAsked != SIGPIPE) {
        // Asked twice: as if nothing caught it.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    stopAsked = signal;
}

} // namespace

void catchRequests()
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        // Reads and writes in progress go on: the stop comes at a safe point.
        action.sa_flags = SA_RESTART;
        sigaction(signal, &action, nullptr);
    }
}

Reason requested()
{
    const int signal = stopAsked;
    return signal == 0 ? Reason::None : signal == SIGPIPE ? Reason::OutputClosed : Reason::Asked;
}

} // namespace interrupt
} // namespace hostkit

#include "Interrupt.h"

#include <csignal>

namespace hostkit {
namespace interrupt {

namespace {

volatile std::sig_atomic_t stopAsked = 0;

extern "C" void onSignal(int signal)
{
    if (stopAsked) {
        // Asked twice: as if nothing caught it.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    stopAsked = 1;
}

} // namespace

void catchRequests()
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        // Reads and writes in progress go on: the stop comes at a safe point.
        action.sa_flags = SA_RESTART;
        sigaction(signal, &action, nullptr);
    }
}

bool requested()
{
    return stopAsked != 0;
}

} // namespace interrupt
} // namespace hostkit

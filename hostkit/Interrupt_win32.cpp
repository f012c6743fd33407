#include "Interrupt.h"

#include <atomic>

#include <windows.h>

namespace hostkit {
namespace interrupt {

namespace {

std::atomic<bool> stopAsked{false};

// Runs on a thread of its own. Returning ends the process (the system's
// handler comes next), so it waits for the main thread to reach a safe
// point and end the program itself; one that does not within a few
// seconds is ended as before. The system ends a closing console's process
// after five seconds whatever its handlers do.
BOOL WINAPI onControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    if (stopAsked.exchange(true))
        return FALSE;
    Sleep(4000);
    return FALSE;
}

} // namespace

void catchRequests()
{
    SetConsoleCtrlHandler(onControl, TRUE);
}

Reason requested()
{
    return stopAsked.load() ? Reason::Asked : Reason::None;
}

} // namespace interrupt
} // namespace hostkit

#ifndef HOSTKIT_WARNINGCAPTURE_H
#define HOSTKIT_WARNINGCAPTURE_H

#include <ostream>
#include <string>
#include <vector>

namespace hostkit {

// A warning the plug-in showed the user about its config.xml: the caption
// is the problem, the text the file's full path.
struct Warning {
    // As the plug-in gave them; a wide box's texts are kept in UTF-8.
    std::string caption, text;
    // Shown the way the plug-in must show it: on Windows a box without an
    // owner window, with the warning icon and OK alone; on Linux one whole
    // line "<caption>: <text>" on standard error.
    bool wellFormed = true;
    // Shown in the wide box (Windows, for a path the ANSI code page cannot
    // spell): caption and text are then UTF-8, not in the ANSI code page.
    bool wide = false;

    bool operator==(const Warning& other) const
    {
        return caption == other.caption && text == other.text && wellFormed == other.wellFormed;
    }
};

std::ostream& operator<<(std::ostream& out, const Warning& warning);

// Catches the warnings a loaded plug-in shows while the capture is alive,
// instead of letting them reach the user. On Windows the module's import of
// USER32!MessageBoxA is pointed at a recorder that answers OK; on Linux
// standard error goes to a scratch file. One implementation per platform
// (WarningCapture_win32.cpp, WarningCapture_posix.cpp). One capture at a time.
class WarningCapture {
public:
    // module is the plug-in's loaded module (Library::module()).
    explicit WarningCapture(void* module);
    ~WarningCapture();
    WarningCapture(const WarningCapture&) = delete;
    WarningCapture& operator=(const WarningCapture&) = delete;

    // False when the plug-in's warnings cannot be caught: a Windows module
    // that does not import MessageBoxA, or standard error not redirectable.
    bool active() const;
    // Ends the capture: the warnings shown since it began, in order.
    std::vector<Warning> finish();

private:
    struct State;
    State* state_;
};

} // namespace hostkit

#endif

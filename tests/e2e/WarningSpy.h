#ifndef WIREDCLSTAB_E2E_WARNINGSPY_H
#define WIREDCLSTAB_E2E_WARNINGSPY_H

#include <memory>
#include <string>
#include <vector>

namespace e2e {

// Records the warnings that the loaded plug-in shows to the user, without
// showing them. On Windows it replaces the plug-in's import of
// USER32.dll!MessageBoxA with a recorder that answers OK; on Linux it
// captures the plug-in's standard error. One implementation per platform
// (WarningSpy_win32.cpp, WarningSpy_posix.cpp).
class WarningSpy {
public:
    // module is PluginLoader::module(). Throws std::runtime_error when the
    // plug-in cannot be watched.
    explicit WarningSpy(void* module);
    ~WarningSpy();

    WarningSpy(const WarningSpy&) = delete;
    WarningSpy& operator=(const WarningSpy&) = delete;

    // Starts a new recording.
    void start();
    // Ends the recording: one entry per warning shown since start, in order.
    std::vector<std::string> stop();

    // The entry that a warning box with this caption and text leaves: on
    // Windows ownerless with the warning style only, on Linux one line.
    static std::string expected(const std::string& caption, const std::string& text);

private:
    struct Recording;
    std::unique_ptr<Recording> recording_;
};

} // namespace e2e

#endif

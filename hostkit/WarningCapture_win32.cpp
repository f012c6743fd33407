#include "WarningCapture.h"

#include <string>

#include <windows.h>

#include "ImportPatch.h"

namespace hostkit {

namespace {

// The recorder is called through the plug-in's import table, so what it
// records lives outside any object: one capture at a time.
std::vector<Warning>* recording = nullptr;

void record(HWND owner, std::string caption, std::string text, UINT style, bool wide)
{
    if (recording == nullptr)
        return;
    Warning warning;
    warning.caption = std::move(caption);
    warning.text = std::move(text);
    warning.wellFormed = owner == nullptr && style == MB_ICONWARNING;
    warning.wide = wide;
    recording->push_back(warning);
}

int WINAPI recordMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    record(owner, caption != nullptr ? caption : "", text != nullptr ? text : "", style, false);
    return IDOK;
}

std::string utf8(const wchar_t* text)
{
    if (text == nullptr)
        return std::string();
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(length > 0 ? static_cast<std::size_t>(length) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &bytes[0], length, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}

// A wide box's texts are recorded in UTF-8.
int WINAPI recordMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style)
{
    record(owner, utf8(caption), utf8(text), style, true);
    return IDOK;
}

} // namespace

struct WarningCapture::State {
    // The narrow box, and the wide one the plug-in shows for a path that the
    // ANSI code page cannot spell.
    ImportPatch narrow, wide;
    std::vector<Warning> warnings;
};

std::ostream& operator<<(std::ostream& out, const Warning& warning)
{
    return out << "box caption \"" << warning.caption << "\" text \"" << warning.text << '"'
               << (warning.wellFormed ? "" : " (with an owner or another style)");
}

WarningCapture::WarningCapture(void* module) : state_(new State)
{
    state_->narrow.apply(module, "MessageBoxA", reinterpret_cast<void*>(&recordMessageBoxA), "user32.dll");
    state_->wide.apply(module, "MessageBoxW", reinterpret_cast<void*>(&recordMessageBoxW), "user32.dll");
    recording = &state_->warnings;
}

WarningCapture::~WarningCapture()
{
    finish();
    delete state_;
}

bool WarningCapture::active() const
{
    return state_->narrow.active();
}

std::vector<Warning> WarningCapture::finish()
{
    state_->narrow.undo();
    state_->wide.undo();
    if (recording == &state_->warnings)
        recording = nullptr;
    std::vector<Warning> warnings;
    warnings.swap(state_->warnings);
    return warnings;
}

} // namespace hostkit

#ifndef HOSTKIT_IMPORTPATCH_H
#define HOSTKIT_IMPORTPATCH_H

#include <string>
#include <vector>

namespace hostkit {

// Windows only (ImportPatch_win32.cpp). A loaded module calls what it
// imports from other DLLs through its import address table. A host can
// point one slot of that table at a function of its own, with the same
// signature and calling convention, and so catch or change that one
// module's calls (the plug-in's message boxes, the C++ runtime's malloc)
// without touching the DLL that exports the function.
class ImportPatch {
public:
    // A function that a module imports by name.
    struct Import {
        std::string library; // as the module names the DLL
        std::string function;
    };

    ImportPatch() = default;
    ~ImportPatch() { undo(); }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // Points module's import of function at replacement until undo(). The
    // DLL is compared without regard to case; any DLL when library is null.
    // False when the module imports no such function or its slot cannot be
    // written; a patch already applied is undone first.
    bool apply(void* module, const char* function, void* replacement, const char* library = nullptr);
    // Gives the slot back what it held. Harmless when nothing is applied.
    void undo();

    bool active() const { return slot_ != nullptr; }
    // What the slot held before apply(): the function the module called.
    void* original() const { return original_; }

    // Everything module imports by name (imports by ordinal have none).
    static std::vector<Import> importsOf(void* module);

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

} // namespace hostkit

#endif

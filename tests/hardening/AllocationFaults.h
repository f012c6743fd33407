#ifndef WIREDCLSTAB_HARDENING_ALLOCATIONFAULTS_H
#define WIREDCLSTAB_HARDENING_ALLOCATIONFAULTS_H

namespace hardening {

// While a FailingAllocation is alive, the Nth allocation by operator new
// from its creation on fails, once, as when memory runs out: operator new
// throws std::bad_alloc (the nothrow forms give null). Every other
// allocation is served normally.
//
// On Linux the test program replaces the global operator new, which the
// plug-in, loaded into this process, shares with tinyxml2, the standard
// library and the host. On Windows each DLL keeps its own: the plug-in calls
// the C++ runtime DLL's operator new, which takes its memory from malloc
// through the runtime's own import table, and that import is pointed at a
// failing malloc for the capture's lifetime. So with mingw's runtime again
// every operator new in the process counts, those made inside the runtime
// for the plug-in's strings included. With Visual Studio's runtime operator
// new is linked into each module, as Visual Studio does it: then the
// plug-in's own import of malloc fails, and only the plug-in's allocations
// count. The constructor throws std::runtime_error when it cannot
// do so for this plug-in.
class FailingAllocation {
public:
    // plugin is the loaded plug-in's module (PluginInstance::module()).
    FailingAllocation(long nth, void* plugin);
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;

    // Did the Nth allocation happen (and so fail)?
    bool fired() const;
    // Allocations counted so far while armed.
    long allocations() const;
};

} // namespace hardening

#endif

#ifndef WIREDCLSTAB_HARDENING_ALLOCATIONFAULTS_H
#define WIREDCLSTAB_HARDENING_ALLOCATIONFAULTS_H

namespace hardening {

// The test program replaces the global operator new. While a FailingAllocation
// is alive, the Nth allocation from its creation on throws std::bad_alloc,
// once; every other allocation is served normally. The plug-in, loaded into
// this process, allocates through the same operator, so its allocations and
// those of tinyxml2 and the standard library fail the same way.
class FailingAllocation {
public:
    explicit FailingAllocation(long nth);
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;

    // Did the Nth allocation happen (and so throw)?
    bool fired() const;
    // Allocations counted so far while armed.
    long allocations() const;
};

} // namespace hardening

#endif

#include "AllocationFaults.h"

#include <cstdlib>
#include <new>

namespace {

// Plain globals: the tests are single-threaded and the library starts no thread.
bool armed = false;
long countdown = 0;
long counted = 0;
bool hasFired = false;

void* allocate(std::size_t size)
{
    if (armed) {
        ++counted;
        if (--countdown == 0) {
            armed = false;
            hasFired = true;
            throw std::bad_alloc();
        }
    }
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr)
        throw std::bad_alloc();
    return p;
}

} // namespace

namespace hardening {

// Every allocation of the process goes through the operators below, so the
// plug-in needs no patching.
FailingAllocation::FailingAllocation(long nth, void*)
{
    countdown = nth;
    counted = 0;
    hasFired = false;
    armed = true;
}

FailingAllocation::~FailingAllocation()
{
    armed = false;
}

bool FailingAllocation::fired() const
{
    return hasFired;
}

long FailingAllocation::allocations() const
{
    return counted;
}

} // namespace hardening

// Every form of the replaceable allocation functions goes through allocate()
// and free(), so nothing allocated here is released by another allocator.
void* operator new(std::size_t size)
{
    return allocate(size);
}

void* operator new[](std::size_t size)
{
    return allocate(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete[](void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

#if defined(__SANITIZE_ADDRESS__)
// tinyxml2 9 leaks one 1000-byte buffer when memory runs out while it
// records a parse error (XMLDocument::SetError frees its buffer only when
// copying it succeeded). That is the library's own, not the plug-in's; the
// plug-in's allocations never come from inside tinyxml2, so they stay checked.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libtinyxml2.so\n";
}
#endif

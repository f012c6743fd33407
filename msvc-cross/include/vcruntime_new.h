// Stand-in for Visual Studio's vcruntime_new.h: the global allocation
// functions. Visual Studio links their definitions statically into each
// module; ours are in crt/StaticRuntime.cpp and use ucrtbase's heap, the
// heap a /MD host uses too.
#pragma once
#ifndef _VCRUNTIME_NEW_H
#define _VCRUNTIME_NEW_H

#include <vcruntime.h>

#pragma pack(push, _CRT_PACKING)

extern "C++" {

namespace std {
enum class align_val_t : size_t {};
struct nothrow_t {
    explicit nothrow_t() = default;
};
extern nothrow_t const nothrow;
} // namespace std

[[nodiscard]] void* __CRTDECL operator new(size_t size);
[[nodiscard]] void* __CRTDECL operator new(size_t size, std::nothrow_t const&) noexcept;
[[nodiscard]] void* __CRTDECL operator new[](size_t size);
[[nodiscard]] void* __CRTDECL operator new[](size_t size, std::nothrow_t const&) noexcept;
void __CRTDECL operator delete(void* block) noexcept;
void __CRTDECL operator delete(void* block, std::nothrow_t const&) noexcept;
void __CRTDECL operator delete[](void* block) noexcept;
void __CRTDECL operator delete[](void* block, std::nothrow_t const&) noexcept;
void __CRTDECL operator delete(void* block, size_t size) noexcept;
void __CRTDECL operator delete[](void* block, size_t size) noexcept;

[[nodiscard]] void* __CRTDECL operator new(size_t size, std::align_val_t alignment);
[[nodiscard]] void* __CRTDECL operator new(size_t size, std::align_val_t alignment, std::nothrow_t const&) noexcept;
[[nodiscard]] void* __CRTDECL operator new[](size_t size, std::align_val_t alignment);
[[nodiscard]] void* __CRTDECL operator new[](size_t size, std::align_val_t alignment, std::nothrow_t const&) noexcept;
void __CRTDECL operator delete(void* block, std::align_val_t alignment) noexcept;
void __CRTDECL operator delete(void* block, std::align_val_t alignment, std::nothrow_t const&) noexcept;
void __CRTDECL operator delete[](void* block, std::align_val_t alignment) noexcept;
void __CRTDECL operator delete[](void* block, std::align_val_t alignment, std::nothrow_t const&) noexcept;
void __CRTDECL operator delete(void* block, size_t size, std::align_val_t alignment) noexcept;
void __CRTDECL operator delete[](void* block, size_t size, std::align_val_t alignment) noexcept;

#ifndef __PLACEMENT_NEW_INLINE
#define __PLACEMENT_NEW_INLINE
[[nodiscard]] inline void* __CRTDECL operator new(size_t, void* where) noexcept
{
    return where;
}
inline void __CRTDECL operator delete(void*, void*) noexcept {}
#endif

#ifndef __PLACEMENT_VEC_NEW_INLINE
#define __PLACEMENT_VEC_NEW_INLINE
[[nodiscard]] inline void* __CRTDECL operator new[](size_t, void* where) noexcept
{
    return where;
}
inline void __CRTDECL operator delete[](void*, void*) noexcept {}
#endif

} // extern "C++"

#pragma pack(pop)

#endif

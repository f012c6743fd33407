// Wine's winnt.h defines some 64-bit interlocked operations as inline
// functions on 32-bit x86. Clang knows them as built-ins on every x86
// Windows target and refuses a definition, so Wine's are renamed away and
// the built-ins serve instead.
#pragma once
#define _InterlockedAnd64 __wine_InterlockedAnd64
#define _InterlockedCompareExchangePointer __wine_InterlockedCompareExchangePointer
#define _InterlockedExchangeAdd64 __wine_InterlockedExchangeAdd64
#define _InterlockedExchangePointer __wine_InterlockedExchangePointer
#define _InterlockedIncrement64 __wine_InterlockedIncrement64
#define _InterlockedDecrement64 __wine_InterlockedDecrement64
#define _InterlockedOr64 __wine_InterlockedOr64
#define _InterlockedXor64 __wine_InterlockedXor64
#include_next <winnt.h>
#undef _InterlockedAnd64
#undef _InterlockedCompareExchangePointer
#undef _InterlockedExchangeAdd64
#undef _InterlockedExchangePointer
#undef _InterlockedIncrement64
#undef _InterlockedDecrement64
#undef _InterlockedOr64
#undef _InterlockedXor64

// Wine's windef.h defines inline as __inline whenever _MSC_VER is set; in
// C++ inline is a keyword, and the STL refuses to be read after such a
// macro (xkeycheck.h), so it goes again in C++.
#pragma once
#include_next <windef.h>
#if defined(__cplusplus) && defined(inline)
#undef inline
#endif

// Wine's corecrt.h with two things as ucrtbase's corecrt.h has them:
//  - time_t is 64 bits on x86 too (Wine's 32-bit headers default to 32);
//    Wine's time, stat and file-finding headers follow the choice;
//  - the conversion state the STL reaches through any C header
//    (std::_Mbstatet, std::mbstate_t).
#pragma once
#ifndef _MSVC_CROSS_CORECRT_H
#define _MSVC_CROSS_CORECRT_H

#include <vcruntime.h>
#define _TIME_T_DEFINED
#include_next <corecrt.h>
#undef _USE_32BIT_TIME_T
typedef __time64_t time_t;

#ifdef __cplusplus
extern "C" {
#endif

// 8 bytes, as in ucrtbase; Wine's wchar.h would make it an int.
typedef struct _Mbstatet {
    unsigned long _Wchar;
    unsigned short _Byte, _State;
} _Mbstatet;

#ifdef __cplusplus
}
#endif

#endif

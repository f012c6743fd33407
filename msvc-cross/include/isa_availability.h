// Stand-in for Visual Studio's isa_availability.h: the instruction-set
// levels the STL compares with __isa_available (see crt/StaticRuntime.cpp).
#pragma once
#ifndef __ISA_AVAILABILITY__H__
#define __ISA_AVAILABILITY__H__

enum __ISA_AVAILABILITY {
    __ISA_AVAILABLE_X86 = 0,
    __ISA_AVAILABLE_SSE2 = 1,
    __ISA_AVAILABLE_SSE42 = 2,
    __ISA_AVAILABLE_AVX = 3,
    __ISA_AVAILABLE_ENFSTRG = 4,
    __ISA_AVAILABLE_AVX2 = 5,
    __ISA_AVAILABLE_AVX512 = 6,
};

#endif

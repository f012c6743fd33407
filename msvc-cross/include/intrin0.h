// Stand-in for Visual Studio's intrin0.h, the subset of compiler intrinsics
// the STL headers use. Clang declares all of them in its own intrin.h.
#pragma once
#include <intrin.h>

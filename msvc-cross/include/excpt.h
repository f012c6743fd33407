// Wine's excpt.h names the compiler's structured-exception intrinsics only
// when asked to; Visual Studio's header always does (GoogleTest's __except
// filters use GetExceptionCode).
#pragma once
#ifndef USE_COMPILER_EXCEPTIONS
#define USE_COMPILER_EXCEPTIONS
#endif
#include_next <excpt.h>

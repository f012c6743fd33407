// Wine's sal.h plus the source annotations the STL uses that it leaves
// out. They are for static analysis only and expand to nothing.
#pragma once
#include_next <sal.h>

#ifndef _Analysis_assume_
#define _Analysis_assume_(expr)
#endif
#ifndef _Pre_satisfies_
#define _Pre_satisfies_(expr)
#endif
#ifndef _Inout_bytecount_
#define _Inout_bytecount_(size)
#endif

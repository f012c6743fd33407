#ifndef WIREDCLSTAB_FUZZ_FUZZCHECK_H
#define WIREDCLSTAB_FUZZ_FUZZCHECK_H

#include <cstdio>
#include <cstdlib>

// A broken expectation is a crash to the fuzzer: it keeps the input.
#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (0)

#endif

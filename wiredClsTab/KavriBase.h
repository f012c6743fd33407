#ifndef WIREDCLSTAB_KAVRIBASE_H
#define WIREDCLSTAB_KAVRIBASE_H

#include <cstdint>

#include "kavri/IHost.h"

namespace kavri {

// What every part of the converter needs: the host's services and the
// converter's state. Construction initialises nothing; KavriWired's
// constructor sets both fields.
class KavriBase {
public:
    KavriBase() {}

    IHost* host;
    // Class nodes examined since creation or the last reset: 0 ready, 1 spent.
    std::int32_t handledCount;
};

} // namespace kavri

#endif

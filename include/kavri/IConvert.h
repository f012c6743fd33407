#ifndef KAVRI_ICONVERT_H
#define KAVRI_ICONVERT_H

#include <cstdint>

#include "IHost.h"
#include "INode.h"

namespace kavri {

// The converter the host drives. Ten slots in fixed order; only convert
// (second) and reset (fourth) act, the reserved ones answer 0. There is no
// destructor: a converter lives until the process ends.
struct IConvert {
    virtual int reserved1(std::int32_t) = 0;
    // Hands the node's traversal a visitor that names the first class node.
    virtual int convert(INode* node) = 0;
    virtual int reserved3(std::int32_t) = 0;
    // Makes a spent converter ready for the next convert.
    virtual int reset() = 0;
    virtual int reserved5() = 0;
    virtual int reserved6() = 0;
    virtual int reserved7(std::int32_t, std::int32_t) = 0;
    virtual int reserved8() = 0;
    virtual int reserved9() = 0;
    virtual int reserved10() = 0;
};

} // namespace kavri

// The plug-in's only export, undecorated and cdecl. Each call makes a new
// converter and reads config.xml beside the plug-in anew.
extern "C" kavri::IConvert* registConvert(kavri::IHost* host);

// For hosts that load the plug-in at run time (GetProcAddress, dlsym).
using RegistConvertFn = kavri::IConvert* (*)(kavri::IHost* host);

#endif

#ifndef WIREDCLSTAB_KAVRIWIRED_H
#define WIREDCLSTAB_KAVRIWIRED_H

#include <cstdint>

#include "KavriConfig.h"
#include "kavri/IConvert.h"

namespace kavri {

// The converter handed to the host. It names the first class node that a
// traversal meets after each reset. It adds no field of its own and is never
// destroyed: the interface has no way to release it.
class KavriWired : public KavriConfig, public IConvert {
public:
    // Reads config.xml; the converter is complete whatever the outcome.
    explicit KavriWired(IHost* host);

    int reserved1(std::int32_t) override;
    int convert(INode* node) override;
    int reserved3(std::int32_t) override;
    int reset() override;
    int reserved5() override;
    int reserved6() override;
    int reserved7(std::int32_t, std::int32_t) override;
    int reserved8() override;
    int reserved9() override;
    int reserved10() override;

    // The visitor's work for one node; always 0.
    int onNode(INode* node);
};

} // namespace kavri

#endif

#ifndef KAVRI_IHOST_H
#define KAVRI_IHOST_H

#include <string>

namespace kavri {

// The host's service object, handed to registConvert and kept by the
// converter for its whole life. Slot order is part of the binary contract.
struct IHost {
    // "Chinese" selects Chinese warning captions; anything else English.
    virtual std::string getLanguage() = 0;
    // file is "wiredClsTab\KavriConfig" or "wiredClsTab\KavriWired".
    virtual void log(const char* message, const char* detail, const char* file, int line) = 0;
    // > 0 link made, 0 nothing done, < 0 failure.
    virtual int registerLink(const char* className, const char* tableName) = 0;
};

} // namespace kavri

#endif

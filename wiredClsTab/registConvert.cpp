#include "KavriWired.h"

// The plug-in's only export. Nothing is caught: an exception raised while the
// converter is built reaches the host's call unchanged.
extern "C" kavri::IConvert* registConvert(kavri::IHost* host)
{
    return new kavri::KavriWired(host);
}

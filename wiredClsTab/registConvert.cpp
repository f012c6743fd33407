#include "KavriWired.h"

#ifdef _MSC_VER
// Built for Visual Studio hosts (release, /MD): strings and the visitor
// cross to the host by value, so they must be laid out as msvcp140's. A
// debug runtime or another standard library would fail here.
#if defined(_M_IX86)
static_assert(sizeof(std::string) == 24, "std::string is not msvcp140's (x86, release)");
static_assert(sizeof(kavri::NodeVisitor) == 40, "std::function is not msvcp140's (x86, release)");
#elif defined(_M_X64)
static_assert(sizeof(std::string) == 32, "std::string is not msvcp140's (x64, release)");
static_assert(sizeof(kavri::NodeVisitor) == 64, "std::function is not msvcp140's (x64, release)");
#endif
#endif

// The plug-in's only export. Nothing is caught: an exception raised while the
// converter is built reaches the host's call unchanged.
extern "C" kavri::IConvert* registConvert(kavri::IHost* host)
{
    return new kavri::KavriWired(host);
}

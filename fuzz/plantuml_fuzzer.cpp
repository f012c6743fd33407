// Any text as a PlantUML class diagram: packages nested or dotted, class
// bodies, comments; the classes found and their paths within the limit.
#include "ModelFuzz.h"
#include "model/PlantUmlReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    wiredhost::ClassCollector collector;
    wiredhost::PlantUmlReader(collector).read("@startuml\n" + modelfuzz::bytesOf(data, size));
    modelfuzz::finish(collector);
    return 0;
}

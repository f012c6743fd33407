// Any text as a PlantUML class diagram: packages nested or dotted, class
// bodies, comments, notes; the classes found and their paths within the
// limit, and a diagram left open said so with its line.
#include "ModelFuzz.h"
#include "model/PlantUmlReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    wiredhost::ClassCollector collector;
    int line = 0;
    std::string error;
    // Closed, so that what the input holds is read whatever it ends with;
    // an @enduml or @startuml of its own may still leave a diagram open.
    if (!wiredhost::PlantUmlReader(collector).read("@startuml\n" + modelfuzz::bytesOf(data, size) + "\n@enduml\n",
                                                   line, error) &&
        (line < 1 || error.empty()))
        __builtin_trap();
    modelfuzz::finish(collector);
    return 0;
}

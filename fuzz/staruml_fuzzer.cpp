// Any bytes as a StarUML project: the JSON reader (nesting bounded, lone
// surrogates and stray bytes repaired) and the walk over its elements.
#include "ModelFuzz.h"
#include "model/JsonDocument.h"
#include "model/StarUmlReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    wiredhost::JsonDocument::Value root;
    std::string error;
    if (!wiredhost::JsonDocument::parse(modelfuzz::bytesOf(data, size), root, error)) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    wiredhost::ClassCollector collector;
    wiredhost::StarUmlReader(collector).read(root);
    modelfuzz::finish(collector);
    return 0;
}

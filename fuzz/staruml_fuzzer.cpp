// Any bytes as a StarUML project: the JSON reader (nesting bounded) and
// the walk over its elements.
#include "ModelFuzz.h"
#include "model/JsonValue.h"
#include "model/StarUmlReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    wiredhost::JsonValue root;
    std::string error;
    if (!wiredhost::JsonValue::parse(modelfuzz::bytesOf(data, size), root, error)) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    wiredhost::ClassCollector collector;
    wiredhost::StarUmlReader(collector).read(root);
    modelfuzz::finish(collector);
    return 0;
}

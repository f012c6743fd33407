// Any XML as a Dia diagram: objects in layers and groups, parent links that
// may loop or dangle; the classes found and their paths within the limit.
#include <tinyxml2.h>

#include "ModelFuzz.h"
#include "model/DiaReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    if (document.Parse(reinterpret_cast<const char*>(data), size) != tinyxml2::XML_SUCCESS ||
        document.RootElement() == nullptr)
        return 0;
    wiredhost::ClassCollector collector;
    wiredhost::DiaReader(collector).read(*document.RootElement());
    modelfuzz::finish(collector);
    return 0;
}

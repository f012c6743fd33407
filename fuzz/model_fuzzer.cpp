// Any bytes as a model file given to `run`: written to a file and loaded
// as the tool does, from opening it to the classes in the host's code page.
// A failure is a message that names the file.
#include <string>

#include "FuzzScratch.h"
#include "model/Model.h"
#include "ModelFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzzkit::writeScratchFile("model", data, size);
    wiredhost::Model model;
    std::string error;
    if (!model.load(path, error))
        FUZZ_CHECK(error.compare(0, path.size(), path) == 0);
    return 0;
}

// Any bytes as a model file's content, through the loader as `run` reads
// it after opening the file: containers, format detection, the XML decoder
// and every reader. A failure is a message that names the file.
#include "model/Model.h"
#include "ModelFuzz.h"
#include "model/ModelLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes = modelfuzz::bytesOf(data, size);
    const std::string path = "fuzz.xmi";
    wiredhost::Model model;
    wiredhost::ModelLoader loader(model, path);
    std::string error;
    if (!loader.loadBytes(bytes, error))
        FUZZ_CHECK(error.compare(0, path.size() + 1, path + ":") == 0 || error.compare(0, path.size() + 2, path + " (") == 0);
    return 0;
}

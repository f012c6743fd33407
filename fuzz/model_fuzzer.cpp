// Any bytes as a model file given to `run`: written to a file and loaded
// as the tool does, from opening it to the classes in the host's code page.
// A failure is a message that names the file.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "model/Model.h"
#include "ModelFuzz.h"

namespace {

std::string scratchPath()
{
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder != nullptr ? folder : "/tmp") + "/fuzz_model." + std::to_string(getpid());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = scratchPath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(std::fwrite(data, 1, size, file) == size);
    std::fclose(file);
    wiredhost::Model model;
    std::string error;
    if (!model.load(path, error))
        FUZZ_CHECK(error.compare(0, path.size(), path) == 0);
    std::remove(path.c_str());
    return 0;
}

// The floor for a run of wired-host on a big model: tinyxml2 loading the
// same file as the tool does (entities processed, white space preserved)
// and visiting every element, reading its name. bench/model_bench.py runs
// it beside "wired-host run" and compares time and peak memory.
#include <cstdio>

#include <tinyxml2.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: model_floor MODEL.xmi\n");
        return 2;
    }
    tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    if (document.LoadFile(argv[1]) != tinyxml2::XML_SUCCESS) {
        std::fprintf(stderr, "model_floor: %s\n", document.ErrorStr());
        return 2;
    }
    unsigned long elements = 0;
    unsigned long nameBytes = 0;
    const tinyxml2::XMLElement* e = document.RootElement();
    while (e != nullptr) {
        ++elements;
        nameBytes += static_cast<unsigned char>(e->Name()[0]);
        if (const tinyxml2::XMLElement* child = e->FirstChildElement()) {
            e = child;
            continue;
        }
        while (e != nullptr && e->NextSiblingElement() == nullptr) {
            const tinyxml2::XMLNode* parent = e->Parent();
            e = parent != nullptr ? parent->ToElement() : nullptr;
        }
        if (e != nullptr)
            e = e->NextSiblingElement();
    }
    std::printf("%lu elements (%lu)\n", elements, nameBytes);
    return 0;
}

#include "KavriProblem.h"

#include <cstdio>
#include <cstring>

#include <tinyxml2.h>

namespace kavri {

namespace {

struct Captions {
    const char* english;
    const char* chinese;
};

// By kind, from FileMissing on; XmlError is numeric.
const Captions kCaptions[] = {
#ifdef _WIN32
    {"File does not exist", "\xCE\xC4\xBC\xFE\xB2\xBB\xB4\xE6\xD4\xDA"},                     // 文件不存在
    {"File format error!", "\xCE\xC4\xBC\xFE\xB8\xF1\xCA\xBD\xB4\xED\xCE\xF3!"},            // 文件格式错误!
    {"File is not exits!", "\xCE\xC4\xBC\xFE\xB2\xBB\xB4\xE6\xD4\xDA!"},                    // 文件不存在!
    {nullptr, nullptr},
    {"File is not an associated configuration!",
     "\xCE\xC4\xBC\xFE\xB2\xBB\xCA\xC7\xB9\xD8\xC1\xAA\xC5\xE4\xD6\xC3!"}, // 文件不是关联配置!
#else
    {"File does not exist", "文件不存在"},
    {"File format error!", "文件格式错误!"},
    {"File is not exits!", "文件不存在!"},
    {nullptr, nullptr},
    {"File is not an associated configuration!", "文件不是关联配置!"},
#endif
};

} // namespace

KavriProblem KavriProblem::ofDocument(int loadResult, const tinyxml2::XMLDocument& document)
{
    switch (loadResult) {
    case tinyxml2::XML_SUCCESS:
        return configRoot(document) != nullptr ? KavriProblem() : KavriProblem(NotConfiguration);
    case tinyxml2::XML_ERROR_MISMATCHED_ELEMENT:
        return KavriProblem(FormatError);
    // What tinyxml2 answers when the file cannot be opened for reading.
    case tinyxml2::XML_ERROR_FILE_NOT_FOUND:
        return KavriProblem(NotReadable);
    default:
        return KavriProblem(XmlError, loadResult);
    }
}

const tinyxml2::XMLElement* KavriProblem::configRoot(const tinyxml2::XMLDocument& document)
{
    // Only the first top-level element counts; a Wired after it is not seen.
    const tinyxml2::XMLElement* first = document.FirstChildElement();
    if (first == nullptr || std::strcmp(first->Name(), "Wired") != 0)
        return nullptr;
    return first;
}

const char* KavriProblem::caption(bool chinese, char* buffer, std::size_t size) const
{
    if (kind == None)
        return "";
    if (kind == XmlError) {
        std::snprintf(buffer, size, "XMLError:%d", xmlError);
        return buffer;
    }
    const Captions& captions = kCaptions[kind - FileMissing];
    return chinese ? captions.chinese : captions.english;
}

std::string KavriProblem::caption(bool chinese) const
{
    char buffer[100] = {};
    return caption(chinese, buffer, sizeof buffer);
}

} // namespace kavri

#ifndef WIREDCLSTAB_KAVRIPROBLEM_H
#define WIREDCLSTAB_KAVRIPROBLEM_H

#include <cstddef>
#include <string>

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
}

namespace kavri {

// What can be wrong with config.xml as the converter judges it, and the
// caption of the warning that tells the user. Free of any platform code, so
// that the plug-in, wired-host's checker and the fuzzer judge alike.
class KavriProblem {
public:
    enum Kind { None, FileMissing, FormatError, NotReadable, XmlError, NotConfiguration };

    KavriProblem(Kind kind = None, int xmlError = 0) : kind(kind), xmlError(xmlError) {}

    Kind kind;
    // tinyxml2's result, for XmlError.
    int xmlError;

    // A document that was loaded with this result: the result first, then
    // its first element.
    static KavriProblem ofDocument(int loadResult, const tinyxml2::XMLDocument& document);
    // The Wired root of a loaded document, or null when its first element is
    // anything else or it has none.
    static const tinyxml2::XMLElement* configRoot(const tinyxml2::XMLDocument& document);

    // A worded caption comes in the host's language, so the host is asked;
    // the numeric "XMLError:<code>" has one form only.
    bool worded() const { return kind != XmlError; }
    // The caption. The numeric one is written into buffer (100 bytes hold
    // any), a worded one is returned as it is stored. The Chinese texts are in
    // the platform's encoding of Chinese: code page 936 (GBK) on Windows,
    // UTF-8 elsewhere.
    const char* caption(bool chinese, char* buffer, std::size_t size) const;
    std::string caption(bool chinese) const;
};

} // namespace kavri

#endif

#ifndef WIREDHOST_MODEL_FORMATDETECTOR_H
#define WIREDHOST_MODEL_FORMATDETECTOR_H

#include <string>

#include <tinyxml2.h>

namespace wiredhost {

enum class ModelFormat {
    Unknown,
    Gzip,
    Zip,
    Tar,
    Xml,      // to be told apart by its root element
    Json,     // StarUML's .mdj
    PlantUml,
    OwnModel,
    Xmi2,
    Xmi1,
    Xmi10,
    Dia,
};

// Tells a model file's format from its content, never from its name: the
// first bytes for containers and text formats, the root element for XML.
class FormatDetector {
public:
    // What the signs are looked for in: a file's start, as far as
    // needsMore() asks, or all of an unpacked file.
    static ModelFormat ofBytes(const std::string& head);
    // True while the start read so far cannot tell the format: the first
    // kSignRoom bytes, blank lines and then that much after the first
    // character (which an XML declaration's encoding fits in).
    static bool needsMore(const std::string& head);
    static const std::size_t kSignRoom = 512;

    // For an XML document: which reader; version gets the XMI version
    // ("2.1", "1.2") when the root names one.
    static ModelFormat ofDocument(const tinyxml2::XMLElement& root, std::string& version);

    // What a file in no known format starts with, for the error message.
    static std::string describeBytes(const std::string& head);
    // What an XML document that is no model holds: its root, or for an XMI
    // file without UML the first element of its content, with namespace.
    static std::string describeDocument(const tinyxml2::XMLElement& root);

    static const char* name(ModelFormat format);
};

} // namespace wiredhost

#endif

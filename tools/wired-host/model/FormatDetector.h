#ifndef WIREDHOST_MODEL_FORMATDETECTOR_H
#define WIREDHOST_MODEL_FORMATDETECTOR_H

#include <string>

#include <tinyxml2.h>

namespace wiredhost {

// Containers, then the model formats of ModelLoader's table.
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

// The signs that tell a file's format from its content, never from its
// name: a container's first bytes, a text format's first character (after
// any blank lines) or start tag, an XML format's root element. Which format
// has which sign, its name and its reader are ModelLoader's table.
class FormatDetector {
public:
    // gzip, zip or tar by their first bytes; Unknown for anything else.
    static ModelFormat containerOf(const std::string& head);
    // True while the start read so far cannot tell the format: the first
    // kSignRoom bytes, blank lines (UTF-16 ones too) and then that much
    // after the first character, and an XML declaration to its end. blank: how
    // far the start is known to be blank, kept between calls as the start
    // grows, so that megabytes of blank lines are looked at once.
    static bool needsMore(const std::string& head, std::size_t& blank);
    static const std::size_t kSignRoom = 512;
    // How far an XML declaration is read for its encoding.
    static const std::size_t kDeclarationRoom = 64 * 1024;

    // Text formats: XML (a first '<', or UTF-16), JSON (a first '{'),
    // PlantUML (@startuml opening a line, after comments perhaps).
    static bool isXml(const std::string& bytes);
    // UTF-32, with or without a byte-order mark: read, it would look like
    // UTF-16 with NULs or like binary data.
    static bool isUtf32(const std::string& bytes);
    static bool isJson(const std::string& bytes);
    static bool isPlantUml(const std::string& bytes);

    // XML formats by the root element: wired-host's own Model, the three
    // XMI generations, a Dia diagram. xmiOf tells the generation (Unknown
    // for no XMI) and gives the version the root names ("2.1", "1.2").
    static bool isOwnModel(const tinyxml2::XMLElement& root);
    static ModelFormat xmiOf(const tinyxml2::XMLElement& root, std::string& version);
    static bool isXmi2(const tinyxml2::XMLElement& root);
    static bool isXmi1(const tinyxml2::XMLElement& root);
    static bool isXmi10(const tinyxml2::XMLElement& root);
    static bool isDia(const tinyxml2::XMLElement& root);

    // The name of the packer (bzip2, xz, 7-Zip...) whose sign starts the
    // bytes, of those wired-host does not unpack; null for none.
    static const char* packerNotRead(const std::string& head);
    // What a file in no known format starts with, for the error message.
    static std::string describeBytes(const std::string& head);
    // What an XML document that is no model holds: its root, or for an XMI
    // file without UML the first element of its content, with namespace.
    static std::string describeDocument(const tinyxml2::XMLElement& root);
};

} // namespace wiredhost

#endif

#include "FormatDetector.h"

#include <cstring>

#include "Inflater.h"
#include "TarArchive.h"
#include "Text.h"
#include "Xmi10Reader.h"
#include "XmlDecoder.h"
#include "XmlNamespaces.h"
#include "ZipArchive.h"

namespace wiredhost {

using tinyxml2::XMLElement;

namespace {

// The first character that is not white space or a byte-order mark,
// looked for from `from` on (what is before it is known to be blank); the
// text is taken as UTF-8, UTF-16 first characters are found by the caller.
std::size_t firstCharacter(const std::string& head, std::size_t from = 0, bool nulsBlank = false)
{
    std::size_t at = startsWithByteOrderMark(head) ? 3 : 0;
    if (from > at)
        at = from;
    while (at < head.size() && (isBlank(head[at]) || (nulsBlank && head[at] == '\0')))
        ++at;
    return at;
}

// PlantUML's start tag opens a line of its own, after comments perhaps.
bool hasPlantUmlStart(const std::string& head)
{
    for (std::size_t at = head.find("@start"); at != std::string::npos; at = head.find("@start", at + 1)) {
        std::size_t before = at;
        while (before > 0 && (head[before - 1] == ' ' || head[before - 1] == '\t'))
            --before;
        // A byte-order mark (Windows editors write one) starts the first line.
        // Lines end in LF, CR LF or (old Mac files) a lone CR.
        if (before == 0 || head[before - 1] == '\n' || head[before - 1] == '\r' ||
            (before == 3 && startsWithByteOrderMark(head)))
            return head.compare(at, 9, "@startuml") == 0;
    }
    return false;
}

const char* localOf(const char* tag)
{
    const char* colon = std::strchr(tag, ':');
    return colon != nullptr ? colon + 1 : tag;
}

std::string prefixOf(const char* tag)
{
    const char* colon = std::strchr(tag, ':');
    return colon != nullptr ? std::string(tag, colon) : std::string();
}

// The namespace URI a prefix has on an element, "" when undeclared there.
std::string rootUri(const XMLElement& root, const std::string& prefix)
{
    const std::string attribute = prefix.empty() ? "xmlns" : "xmlns:" + prefix;
    const char* uri = root.Attribute(attribute.c_str());
    return uri != nullptr ? uri : "";
}

const XMLElement* firstContent(const XMLElement& root)
{
    if (const XMLElement* content = root.FirstChildElement("XMI.content"))
        return content->FirstChildElement();
    for (const XMLElement* e = root.FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        const std::string prefix = prefixOf(e->Name());
        if (XmlNamespaces::kindOfUri(rootUri(root, prefix)) != XmlNamespaces::Xmi && prefix != "xmi")
            return e;
    }
    return nullptr;
}

// Packers users meet beside gzip and zip (a model sent as .tar.xz, a
// .7z), told by their signs so that the message says what to do.
struct Packer {
    const char* sign;
    std::size_t size;
    const char* name;
};
const Packer kOtherPackers[] = {
    {"BZh", 3, "bzip2"},           {"\xFD" "7zXZ\0", 6, "xz"},  {"\x28\xB5\x2F\xFD", 4, "zstd"},
    {"7z\xBC\xAF\x27\x1C", 6, "7-Zip"}, {"Rar!\x1A\x07", 6, "RAR"}, {"\x1F\x9D", 2, "compress (.Z)"},
    {"\x04\x22\x4D\x18", 4, "LZ4"},
};

} // namespace

const char* FormatDetector::packerNotRead(const std::string& head)
{
    for (const Packer& packer : kOtherPackers) {
        if (head.compare(0, packer.size, packer.sign, packer.size) != 0)
            continue;
        // "BZh" is also how a text may begin: bzip2 goes on with its block
        // size, a digit from 1 to 9, and the sign of its first block or,
        // when it packed nothing, of its end.
        if (std::strcmp(packer.name, "bzip2") == 0 &&
            (head.size() < 10 || head[3] < '1' || head[3] > '9' ||
             (head.compare(4, 6, "1AY&SY") != 0 && head.compare(4, 6, "\x17rE8P\x90") != 0)))
            continue;
        return packer.name;
    }
    return nullptr;
}

bool FormatDetector::needsMore(const std::string& head, std::size_t& blank)
{
    // Blank lines in UTF-8, or in UTF-16 without a mark (each blank with
    // a NUL).
    const bool utf16 = head.size() > 1 && (head[0] == '\0' || head[1] == '\0');
    blank = firstCharacter(head, blank, utf16);
    if (head.size() < kSignRoom || blank + kSignRoom > head.size())
        return true;
    // An XML declaration whole, to its encoding, up to a bound.
    return XmlDecoder::declarationEnd(head) == head.size() && head.size() < blank + kDeclarationRoom;
}

ModelFormat FormatDetector::containerOf(const std::string& head)
{
    if (Inflater::isGzip(head))
        return ModelFormat::Gzip;
    if (ZipArchive::isZip(head))
        return ModelFormat::Zip;
    if (TarArchive::isTar(head))
        return ModelFormat::Tar;
    return ModelFormat::Unknown;
}

bool FormatDetector::isXml(const std::string& bytes)
{
    const std::size_t at = firstCharacter(bytes);
    return !XmlDecoder::utf16Of(bytes).empty() || (at < bytes.size() && bytes[at] == '<');
}

bool FormatDetector::isJson(const std::string& bytes)
{
    const std::size_t at = firstCharacter(bytes);
    return at < bytes.size() && bytes[at] == '{';
}

bool FormatDetector::isPlantUml(const std::string& bytes)
{
    return hasPlantUmlStart(bytes);
}

bool FormatDetector::isOwnModel(const XMLElement& root)
{
    return std::strcmp(root.Name(), "Model") == 0 && root.Attribute("xmlns") == nullptr;
}

ModelFormat FormatDetector::xmiOf(const XMLElement& root, std::string& version)
{
    const char* tag = root.Name();
    const std::string prefix = prefixOf(tag);
    const char* local = localOf(tag);
    if (std::strcmp(tag, "XMI") == 0) {
        const char* v = root.Attribute("xmi.version");
        version = v != nullptr ? v : "";
        if (version.empty() && root.Attribute("xmi:version") != nullptr) {
            version = root.Attribute("xmi:version");
            return ModelFormat::Xmi2;
        }
        const XMLElement* content = firstContent(root);
        if (version == "1.0" || (content != nullptr && Xmi10Reader::isUmlTag(content->Name())))
            return ModelFormat::Xmi10;
        return ModelFormat::Xmi1;
    }
    const XmlNamespaces::Kind kind = XmlNamespaces::kindOfUri(rootUri(root, prefix));
    if (std::strcmp(local, "XMI") == 0 && (kind == XmlNamespaces::Xmi || prefix == "xmi")) {
        const char* v = root.Attribute((prefix + ":version").c_str());
        version = v != nullptr ? v : "";
        return ModelFormat::Xmi2;
    }
    // A UML model without the XMI wrapper, as Eclipse UML2 writes .uml files.
    if (kind == XmlNamespaces::Uml || (prefix == "uml" && rootUri(root, prefix).empty())) {
        const char* v = root.Attribute("xmi:version");
        version = v != nullptr ? v : "";
        return ModelFormat::Xmi2;
    }
    version.clear();
    return ModelFormat::Unknown;
}

bool FormatDetector::isXmi2(const XMLElement& root)
{
    std::string version;
    return xmiOf(root, version) == ModelFormat::Xmi2;
}

bool FormatDetector::isXmi1(const XMLElement& root)
{
    std::string version;
    return xmiOf(root, version) == ModelFormat::Xmi1;
}

bool FormatDetector::isXmi10(const XMLElement& root)
{
    std::string version;
    return xmiOf(root, version) == ModelFormat::Xmi10;
}

bool FormatDetector::isDia(const XMLElement& root)
{
    const std::string prefix = prefixOf(root.Name());
    return std::strcmp(localOf(root.Name()), "diagram") == 0 &&
           (prefix == "dia" || rootUri(root, prefix).find("dia") != std::string::npos);
}

bool FormatDetector::isUtf32(const std::string& bytes)
{
    if (bytes.size() < 8)
        return false;
    if (bytes.compare(0, 4, "\0\0\xFE\xFF", 4) == 0 || bytes.compare(0, 4, "\xFF\xFE\0\0", 4) == 0)
        return true;
    // Without a mark: two characters below U+0100, each a byte and three
    // NULs, in either order ("<\0\0\0?\0\0\0" or "\0\0\0<\0\0\0?").
    const auto zero = [&bytes](std::size_t at) { return bytes[at] == '\0'; };
    const bool little = !zero(0) && zero(1) && zero(2) && zero(3) && !zero(4) && zero(5) && zero(6) && zero(7);
    const bool big = zero(0) && zero(1) && zero(2) && !zero(3) && zero(4) && zero(5) && zero(6) && !zero(7);
    return little || big;
}

std::string FormatDetector::describeBytes(const std::string& head)
{
    if (head.empty())
        return "the file is empty";
    if (const char* packer = packerNotRead(head))
        return std::string("packed with ") + packer +
               ", which wired-host does not unpack (it reads gzip, zip and tar): unpack it first";
    // Tools that keep their projects in a database of their own.
    if (head.compare(0, 16, "SQLite format 3\0", 16) == 0)
        return "an SQLite database (as Visual Paradigm's .vpp and Enterprise Architect's .qea projects are), not "
               "a model file: export the model as XMI from the tool";
    if (head.size() > 4 && (head.compare(4, 15, "Standard Jet DB") == 0 || head.compare(4, 15, "Standard ACE DB") == 0))
        return "a Microsoft Access database (as Enterprise Architect's .eap projects are), not a model file: "
               "export the model as XMI from the tool";
    const std::size_t at = firstCharacter(head);
    if (at >= head.size())
        return "the file holds only white space";
    std::string start;
    for (std::size_t i = at; i < head.size() && start.size() < 24 && head[i] != '\n' && head[i] != '\r'; ++i) {
        const unsigned char c = static_cast<unsigned char>(head[i]);
        if (c < 0x20 || c == 0x7F)
            return "binary data, no model format wired-host knows";
        start += head[i];
    }
    return "text starting \"" + start + "\", no model format wired-host knows";
}

std::string FormatDetector::describeDocument(const XMLElement& root)
{
    const XMLElement* shown = &root;
    const char* local = localOf(root.Name());
    if (std::strcmp(local, "XMI") == 0) {
        shown = firstContent(root);
        if (shown == nullptr)
            return "an XMI file with no content";
    }
    std::string what = shown->Name();
    const std::string prefix = prefixOf(shown->Name());
    std::string namespaceUri = rootUri(*shown, prefix);
    if (namespaceUri.empty())
        namespaceUri = rootUri(root, prefix);
    if (!namespaceUri.empty())
        what += " (namespace " + namespaceUri + ")";
    return what;
}

} // namespace wiredhost

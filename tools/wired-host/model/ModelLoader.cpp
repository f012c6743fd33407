#include "ModelLoader.h"

#include <algorithm>
#include <memory>
#include <new>

#include "Encoding.h"
#include "Files.h"
#include "Model.h"
#include "ClassCollector.h"
#include "ContainerUnpacker.h"
#include "DiaReader.h"
#include "Text.h"
#include "JsonDocument.h"
#include "PlantUmlReader.h"
#include "StarUmlReader.h"
#include "OwnModelReader.h"
#include "Progress.h"
#include "Xmi10Reader.h"
#include "Xmi1Reader.h"
#include "Xmi2Reader.h"
#include "XmlTagLimits.h"
#include "XmlCharacterReferences.h"
#include "XmlDecoder.h"

namespace wiredhost {

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string readRest(std::FILE* file, std::string bytes)
{
    char buffer[64 * 1024];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    return bytes;
}

// Models this big take seconds to read: say so on a terminal.
const long kAnnouncedSize = 32L << 20;

// tinyxml2 counts the document as a level and stops when the count
// reaches its limit: 98 elements nested are read, 99 are not.
const int kMaxXmlDepth = TINYXML2_MAX_ELEMENT_DEPTH - 2;

// The first general entity declared in an unknown node before the root
// ("pre" of <!ENTITY pre "Shop">), or nothing. tinyxml2 ends an unknown
// node at its first '>', so a document type's declarations come as one
// node "DOCTYPE X [ <!ENTITY a ..." and then one node "ENTITY b ..." for
// each declaration after the first. Parameter entities (<!ENTITY % x>)
// serve only the declarations and never reach a name.
std::string declaredEntity(const std::string& value)
{
    std::size_t at = value.compare(0, 6, "ENTITY") == 0 ? 0 : value.find("<!ENTITY");
    for (; at != std::string::npos; at = value.find("<!ENTITY", at + 1)) {
        const std::size_t keywordEnd = at + (value[at] == '<' ? 8 : 6);
        std::size_t name = keywordEnd;
        while (name < value.size() && isBlank(value[name]))
            ++name;
        if (name == keywordEnd || name == value.size() || value[name] == '%')
            continue;
        std::size_t end = name;
        while (end < value.size() && !isBlank(value[end]))
            ++end;
        return value.substr(name, end - name);
    }
    return std::string();
}

} // namespace

// Every model format run reads. XML is a family: its formats are told apart
// by the root element, in order (an XMI root is no own Model).
const ModelLoader::Format ModelLoader::kFormats[] = {
    {ModelFormat::Xml, "XML", nullptr, FormatDetector::isXml, nullptr, &ModelLoader::loadXmlText, nullptr},
    {ModelFormat::OwnModel, "wired-host model", nullptr, nullptr, FormatDetector::isOwnModel, nullptr,
     &ModelLoader::readOwnModel},
    {ModelFormat::Xmi2, "XMI 2 (UML 2)",
     "Eclipse UML2, Papyrus, Enterprise Architect (.uml, .xmi)", nullptr, FormatDetector::isXmi2,
     nullptr, &ModelLoader::readXmi},
    {ModelFormat::Xmi1, "XMI 1.x (UML 1.x)", "XMI 1.1, 1.2: ArgoUML, Umbrello, Enterprise Architect",
     nullptr, FormatDetector::isXmi1, nullptr, &ModelLoader::readXmi},
    {ModelFormat::Xmi10, "XMI 1.0 (UML 1.x)", "Rational Rose and other early tools (.xmi)", nullptr,
     FormatDetector::isXmi10, nullptr, &ModelLoader::readXmi},
    {ModelFormat::Dia, "Dia diagram", "the UML shapes of a Dia drawing (.dia)", nullptr, FormatDetector::isDia,
     nullptr, &ModelLoader::readDia},
    {ModelFormat::Json, "StarUML project", "StarUML's JSON (.mdj)", FormatDetector::isJson, nullptr,
     &ModelLoader::loadJson, nullptr},
    {ModelFormat::PlantUml, "PlantUML", "class diagrams between @startuml and @enduml (.puml)",
     FormatDetector::isPlantUml, nullptr, &ModelLoader::loadPlantUml, nullptr},
};

std::string ModelLoader::formatsHelp()
{
    std::string help;
    for (const Format& format : kFormats) {
        if (format.help == nullptr)
            continue;
        const std::string name = format.name;
        help += "  " + name + std::string(name.size() < 20 ? 20 - name.size() : 1, ' ') + format.help + "\n";
    }
    return help;
}

const ModelLoader::Format* ModelLoader::textFormatOf(const std::string& bytes)
{
    for (const Format& format : kFormats) {
        if (format.inBytes != nullptr && format.inBytes(bytes))
            return &format;
    }
    return nullptr;
}

const ModelLoader::Format* ModelLoader::xmlFormatOf(const XMLElement& root)
{
    for (const Format& format : kFormats) {
        if (format.inRoot != nullptr && format.inRoot(root))
            return &format;
    }
    return nullptr;
}

void ModelLoader::announceBigFile(std::FILE* file) const
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return;
    const long size = std::ftell(file);
    std::rewind(file);
    if (size >= kAnnouncedSize)
        Progress::announce("wired-host: reading " + path_ + " (" + std::to_string(size >> 20) + " MiB)...");
}

std::string ModelLoader::where() const
{
    // An entry's name comes from the archive and may be megabytes long.
    return entry_.empty() ? path_ : path_ + " (" + shortened(entry_) + ")";
}

std::string ModelLoader::at(int line) const
{
    return line > 0 ? where() + ":" + std::to_string(line) + ": " : where() + ": ";
}

bool ModelLoader::load(std::string& error)
{
    // The limits keep what a file costs near its size; a model that is
    // simply too big for this machine (or a 32-bit process) ends here, not
    // as a crash or a message without the file's name.
    try {
        return loadFile(error);
    } catch (const std::bad_alloc&) {
        collector_.reset();
        error = path_ + ": not enough memory to read this model";
        return false;
    }
}

bool ModelLoader::loadFile(std::string& error)
{
    // A folder, a pipe or a device is refused before it is opened: a pipe
    // would wait for a writer, /dev/zero would fill the memory.
    error = hostkit::files::notAFile(path_, "the model file");
    if (!error.empty())
        return false;
    std::unique_ptr<std::FILE, FileCloser> file(hostkit::files::openFile(path_, "rb"));
    if (!file) {
        error = path_ + ": cannot open the model file: " + hostkit::files::lastFailure();
        return false;
    }
    announceBigFile(file.get());
    // As far as the format's sign needs: a text format's first character
    // may stand after any number of blank lines.
    std::string head;
    char block[4096];
    std::size_t got = 0, blank = 0;
    do {
        got = std::fread(block, 1, sizeof block, file.get());
        head.append(block, got);
    } while (got > 0 && FormatDetector::needsMore(head, blank));
    // A plain UTF-8 XML file goes to tinyxml2 as it is, so the whole text
    // is in memory once only. A declaration longer than the head may name
    // another encoding after it: that file is read whole and decoded.
    if (FormatDetector::containerOf(head) == ModelFormat::Unknown && FormatDetector::isXml(head) &&
        XmlDecoder::declarationEnd(head) < head.size() && encoding::isUtf8(XmlDecoder::encodingOf(head))) {
        noteDeclaration(head);
        return finishCollected(loadXmlFile(file.get(), error), error);
    }
    std::string bytes = readRest(file.get(), std::move(head));
    file.reset();
    return loadBytes(bytes, error);
}

bool ModelLoader::loadBytes(std::string& bytes, std::string& error)
{
    ContainerUnpacker containers(bytes.size());
    ModelFormat container = FormatDetector::containerOf(bytes);
    while (ContainerUnpacker::isContainer(container)) {
        if (!containers.unpack(bytes, container, error)) {
            error = path_ + ": " + error;
            return false;
        }
        entry_ = containers.entry();
        container = FormatDetector::containerOf(bytes);
    }
    if (!containers.passedOver().empty())
        model_.addNote("only " + shortened(entry_) + " is read; the archive holds other models too: " + containers.passedOver());
    if (FormatDetector::isUtf32(bytes)) {
        error = at(0) + "the file is saved as UTF-32, which wired-host does not read: save it as UTF-8 or UTF-16";
        return false;
    }
    textToUtf8(bytes);
    const Format* format = textFormatOf(bytes);
    if (format == nullptr) {
        error = at(0) + FormatDetector::describeBytes(bytes);
        return false;
    }
    return finishCollected((this->*format->readText)(bytes, *format, error), error);
}

// A text format saved as UTF-16 (Notepad's "Unicode"): PlantUML and JSON
// are read in UTF-8, without the byte-order mark. XML is left as it is, to
// be converted as its own declaration says.
void ModelLoader::textToUtf8(std::string& bytes)
{
    std::string utf8;
    if (XmlDecoder::utf16ToUtf8(bytes, utf8)) {
        if (!FormatDetector::isXml(utf8))
            bytes.swap(utf8);
        return;
    }
    // Without a mark, as some editors save "Unicode" too.
    if (XmlDecoder::plainUtf16ToUtf8(bytes, utf8))
        bytes.swap(utf8);
}

// tinyxml2's own limit on nesting is named as one; other errors are its.
std::string ModelLoader::xmlError(const XMLDocument& document) const
{
    if (document.ErrorID() == tinyxml2::XML_ELEMENT_DEPTH_EXCEEDED)
        return at(document.ErrorLineNum()) + "elements nested deeper than " +
               std::to_string(kMaxXmlDepth) + " (the limit of the XML reader)";
    return at(document.ErrorLineNum()) + "malformed XML (" + document.ErrorName() + ")";
}

// The checks before parsing: the first element with too many attributes
// or the first bad character reference, where the checks stopped.
std::string ModelLoader::checkError(const XmlTagLimits& limit, const XmlCharacterReferences& references,
                                    int line) const
{
    if (limit.passed())
        return at(line) + limit.problem();
    return at(line) + "a character reference (&#...;) that XML does not allow: " + references.problem();
}

bool ModelLoader::loadXmlFile(std::FILE* file, std::string& error)
{
    // The checks before parsing read the file in a pass of their own, so
    // the text is still in memory once only.
    XmlCharacterReferences references;
    XmlTagLimits limit(&references);
    std::rewind(file);
    char buffer[64 * 1024];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (!limit.feed(buffer, got)) {
            // The line, for the message: the file once more up to there.
            std::rewind(file);
            int line = 1;
            const unsigned long long offset = limit.passed() ? limit.offset() : references.offset();
            for (unsigned long long left = offset; left > 0; left -= got) {
                got = std::fread(buffer, 1, left < sizeof buffer ? static_cast<std::size_t>(left) : sizeof buffer, file);
                if (got == 0)
                    break;
                line += static_cast<int>(std::count(buffer, buffer + got, '\n'));
            }
            error = checkError(limit, references, line);
            return false;
        }
    }
    XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    if (document.LoadFile(file) != tinyxml2::XML_SUCCESS) {
        error = xmlError(document);
        // An instruction after a comment of the prolog: read once more as
        // text, where it is blanked.
        if (document.ErrorID() == tinyxml2::XML_ERROR_PARSING_DECLARATION) {
            std::rewind(file);
            std::string text = readRest(file, std::string());
            document.Clear();
            if (XmlDecoder::blankLateInstructions(text))
                return parseXmlText(text, error);
        }
        return false;
    }
    return readDocument(document, error);
}

// Read as it is written, not as it says: said, since a name the exporter
// meant otherwise would show here.
void ModelLoader::noteDeclaration(const std::string& head)
{
    if (XmlDecoder::declaresWideButIsNot(head))
        model_.addNote("the file says it is in " + shortened(XmlDecoder::declaredEncoding(head)) +
                       ", but is written in single bytes; it is read as UTF-8");
}

bool ModelLoader::loadXmlText(std::string& text, const Format&, std::string& error)
{
    noteDeclaration(text);
    if (!XmlDecoder::toUtf8(text, error)) {
        error = at(0) + error;
        return false;
    }
    XmlDecoder::blankLateInstructions(text);
    return parseXmlText(text, error);
}

bool ModelLoader::parseXmlText(std::string& text, std::string& error)
{
    XmlCharacterReferences references;
    XmlTagLimits limit(&references);
    if (!limit.feed(text.data(), text.size())) {
        const unsigned long long offset = limit.passed() ? limit.offset() : references.offset();
        const auto stop = text.begin() + static_cast<std::ptrdiff_t>(offset);
        error = checkError(limit, references, 1 + static_cast<int>(std::count(text.begin(), stop, '\n')));
        return false;
    }
    XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    const tinyxml2::XMLError status = document.Parse(text.data(), text.size());
    std::string().swap(text);
    if (status != tinyxml2::XML_SUCCESS) {
        error = xmlError(document);
        return false;
    }
    return readDocument(document, error);
}

bool ModelLoader::readDocument(XMLDocument& document, std::string& error)
{
    const XMLElement* root = document.RootElement();
    if (root == nullptr) {
        error = at(0) + "no root element";
        return false;
    }
    // tinyxml2 takes any number of top-level elements; XML has one, and
    // the classes of the second would be left out without a word.
    if (const XMLElement* second = root->NextSiblingElement()) {
        error = at(second->GetLineNum()) + "a second root element, " + shortened(second->Name()) +
                ": an XML document has one (a damaged file, or two joined)";
        return false;
    }
    // Nor does it expand an entity of the document type: a name that uses
    // one keeps the reference as written.
    for (const tinyxml2::XMLNode* node = document.FirstChild(); node != root; node = node->NextSibling()) {
        const std::string entity = node->ToUnknown() != nullptr ? declaredEntity(node->Value()) : std::string();
        if (!entity.empty()) {
            model_.addNote("line " + std::to_string(node->GetLineNum()) + ": the document type declares entities, " +
                           "which wired-host does not expand: a name that uses one keeps the reference as written (&" +
                           shortened(entity) + ";)");
            break;
        }
    }
    const Format* format = xmlFormatOf(*root);
    if (format == nullptr) {
        error = at(root->GetLineNum()) + "the root element is " + root->Name() +
                ": not a model wired-host knows (expected Model, XMI, a UML model or a Dia diagram)";
        return false;
    }
    model_.setFormat(format->name);
    return (this->*format->readRoot)(*root, *format, error);
}

bool ModelLoader::readOwnModel(const XMLElement& root, const Format&, std::string& error)
{
    const std::string file = where();
    OwnModelReader reader(model_, file);
    if (!reader.read(root, error))
        return false;
    if (!withinClassLimit(model_.classes().size(), error)) {
        model_.setClasses({});
        return false;
    }
    std::vector<ModelClass> classes = model_.classes();
    ClassCollector::flagDuplicates(classes);
    model_.setClasses(std::move(classes));
    model_.convertTextToHost();
    return true;
}

bool ModelLoader::readDia(const XMLElement& root, const Format&, std::string&)
{
    collector_ = std::make_unique<ClassCollector>();
    DiaReader(*collector_).read(root);
    return true;
}

bool ModelLoader::readXmi(const XMLElement& root, const Format& format, std::string& error)
{
    std::string version;
    FormatDetector::xmiOf(root, version);
    collector_ = std::make_unique<ClassCollector>();
    std::unique_ptr<XmiReader> reader;
    if (format.format == ModelFormat::Xmi2)
        reader = std::make_unique<Xmi2Reader>(*collector_);
    else if (format.format == ModelFormat::Xmi1)
        reader = std::make_unique<Xmi1Reader>(*collector_);
    else
        reader = std::make_unique<Xmi10Reader>(*collector_);
    reader->read(root);
    if (collector_->umlElements() == 0) {
        error = at(0) + "an XMI " + (version.empty() ? "" : version + " ") + "file without UML: it holds " +
                FormatDetector::describeDocument(root);
        return false;
    }
    collector_->resolveReferences();
    // Eclipse UML2 writes a date as the version (20131001): XMI 2 it is.
    const bool two = format.format == ModelFormat::Xmi2;
    const std::string shown = version.empty() || version.size() > 4 ? (two ? "2" : "1") : version;
    model_.setFormat("XMI " + shown + (two ? ", UML 2" : ", UML 1.x"));
    return true;
}

// Text formats are UTF-8 (a byte-order mark is passed over).
bool ModelLoader::loadJson(std::string& text, const Format& format, std::string& error)
{
    JsonDocument::Value root;
    if (!JsonDocument::parse(text, root, error)) {
        // A limit passed is said as it is; the reader's own errors come
        // with their line.
        error = at(0) + (error.compare(0, 5, "line ") == 0 ? "malformed JSON (" + error + ")" : error);
        return false;
    }
    std::string().swap(text);
    if (!StarUmlReader::isProject(root)) {
        error = at(0) + "a JSON file that is not a StarUML project (no \"_type\": \"Project\" at the top)";
        return false;
    }
    model_.setFormat(format.name);
    collector_ = std::make_unique<ClassCollector>();
    StarUmlReader(*collector_).read(root);
    return true;
}

bool ModelLoader::loadPlantUml(std::string& text, const Format& format, std::string& error)
{
    // PlantUML files are UTF-8; a stray byte becomes U+FFFD, as in Dia and
    // StarUML files, instead of costing the whole model.
    if (!encoding::isValidUtf8(text))
        text = encoding::repairedUtf8(text);
    model_.setFormat(format.name);
    collector_ = std::make_unique<ClassCollector>();
    int line = 0;
    PlantUmlReader reader(*collector_);
    if (!reader.read(text, line, error)) {
        error = at(line) + error;
        return false;
    }
    const std::string includes = reader.includesNotFollowed();
    if (!includes.empty())
        model_.addNote(includes);
    return true;
}

bool ModelLoader::withinClassLimit(std::size_t classes, std::string& error) const
{
    if (classes <= Model::kMaxClasses)
        return true;
    error = at(0) + std::to_string(classes) + " classes, more than " + std::to_string(Model::kMaxClasses) + " " +
            Model::kWhyMaxClasses;
    return false;
}

bool ModelLoader::finishCollected(bool loaded, std::string& error)
{
    if (loaded && collector_) {
        std::vector<ModelClass> classes;
        loaded = collector_->finish(classes, error);
        if (!loaded)
            error = at(0) + error;
        else if (!withinClassLimit(classes.size(), error)) {
            classes.clear();
            loaded = false;
        }
        model_.setClasses(std::move(classes));
        model_.convertTextToHost();
    }
    collector_.reset();
    return loaded;
}

} // namespace wiredhost

#include "ModelLoader.h"

#include <memory>

#include "../Encoding.h"
#include "../Model.h"
#include "ClassCollector.h"
#include "DiaReader.h"
#include "JsonValue.h"
#include "PlantUmlReader.h"
#include "StarUmlReader.h"
#include "TarArchive.h"
#include "Inflater.h"
#include "OwnModelReader.h"
#include "Progress.h"
#include "Xmi10Reader.h"
#include "Xmi1Reader.h"
#include "Xmi2Reader.h"
#include "XmlDecoder.h"
#include "ZipArchive.h"

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

// The model file's suffixes zip files hold, best first.
const char* const kZipEntries[] = {".xmi", ".uml", ".mdj", ".xml"};

// Models this big take seconds to read: say so on a terminal.
const long kAnnouncedSize = 32L << 20;

} // namespace

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
    return entry_.empty() ? path_ : path_ + " (" + entry_ + ")";
}

std::string ModelLoader::at(int line) const
{
    return line > 0 ? where() + ":" + std::to_string(line) + ": " : where() + ": ";
}

bool ModelLoader::load(std::string& error)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path_.c_str(), "rb"));
    if (!file) {
        error = path_ + ": cannot open the model file";
        return false;
    }
    announceBigFile(file.get());
    std::string head(4096, '\0');
    head.resize(std::fread(&head[0], 1, head.size(), file.get()));
    const ModelFormat format = FormatDetector::ofBytes(head);
    // A plain UTF-8 XML file goes to tinyxml2 as it is, so the whole text
    // is in memory once only.
    if (format == ModelFormat::Xml && encoding::isUtf8(XmlDecoder::encodingOf(head)))
        return finishCollected(loadXmlFile(file.get(), error));
    std::string bytes = readRest(file.get(), std::move(head));
    file.reset();
    return loadBytes(bytes, 0, error);
}

bool ModelLoader::loadBytes(std::string& bytes, int depth, std::string& error)
{
    const ModelFormat format = FormatDetector::ofBytes(bytes.substr(0, 4096));
    const bool container = format == ModelFormat::Gzip || format == ModelFormat::Zip || format == ModelFormat::Tar;
    if (container && depth < 3)
        return unpack(bytes, format, error) && loadBytes(bytes, depth + 1, error);
    switch (format) {
    case ModelFormat::Xml:
        return finishCollected(loadXmlText(bytes, error));
    case ModelFormat::Json:
        return finishCollected(loadJson(bytes, error));
    case ModelFormat::PlantUml:
        return finishCollected(loadPlantUml(bytes, error));
    default:
        error = at(0) + FormatDetector::describeBytes(bytes.substr(0, 4096));
        return false;
    }
}

bool ModelLoader::unpack(std::string& bytes, ModelFormat format, std::string& error)
{
    if (format == ModelFormat::Zip)
        return unpackZip(bytes, error);
    if (format == ModelFormat::Tar)
        return unpackTar(bytes, error);
    std::string unpacked;
    if (!Inflater::gunzip(bytes, unpacked, error)) {
        error = at(0) + "gzip: " + error;
        return false;
    }
    bytes.swap(unpacked);
    return true;
}

// ArgoUML's .zargo and Poseidon's .zuml: the model is the .xmi entry.
bool ModelLoader::unpackZip(std::string& bytes, std::string& error)
{
    ZipArchive archive;
    if (!archive.open(bytes, error)) {
        error = at(0) + error;
        return false;
    }
    for (const char* suffix : kZipEntries) {
        if (const ZipArchive::Entry* entry = archive.findBySuffix(suffix)) {
            std::string content;
            entry_ = entry->name;
            if (!archive.extract(*entry, content, error)) {
                error = path_ + ": " + error;
                return false;
            }
            bytes.swap(content);
            return true;
        }
    }
    std::string names;
    for (const ZipArchive::Entry& entry : archive.entries())
        names += (names.empty() ? "" : ", ") + entry.name;
    error = at(0) + "a zip file without a model (.xmi) in it; it holds: " + (names.empty() ? "nothing" : names);
    return false;
}

// Umbrello's .xmi.tgz: the model is the .xmi entry of a tar in gzip.
bool ModelLoader::unpackTar(std::string& bytes, std::string& error)
{
    std::string content;
    std::string names;
    for (const char* suffix : kZipEntries) {
        if (TarArchive::find(bytes, suffix, entry_, content, names)) {
            bytes.swap(content);
            return true;
        }
        names.clear();
    }
    TarArchive::find(bytes, "\n", entry_, content, names);
    error = at(0) + "a tar archive without a model (.xmi) in it; it holds: " + (names.empty() ? "nothing" : names);
    return false;
}

bool ModelLoader::loadXmlFile(std::FILE* file, std::string& error)
{
    XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    if (document.LoadFile(file) != tinyxml2::XML_SUCCESS) {
        error = at(document.ErrorLineNum()) + "malformed XML (" + document.ErrorName() + ")";
        return false;
    }
    return readDocument(document, error);
}

bool ModelLoader::loadXmlText(std::string& text, std::string& error)
{
    if (!XmlDecoder::toUtf8(text, error)) {
        error = at(0) + error;
        return false;
    }
    XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    const tinyxml2::XMLError status = document.Parse(text.data(), text.size());
    std::string().swap(text);
    if (status != tinyxml2::XML_SUCCESS) {
        error = at(document.ErrorLineNum()) + "malformed XML (" + document.ErrorName() + ")";
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
    std::string version;
    const ModelFormat format = FormatDetector::ofDocument(*root, version);
    model_.setFormat(FormatDetector::name(format));
    if (format == ModelFormat::OwnModel) {
        const std::string file = where();
        OwnModelReader reader(model_, file);
        if (!reader.read(*root, error))
            return false;
        model_.convertTextToHost();
        return true;
    }
    if (format == ModelFormat::Xmi2 || format == ModelFormat::Xmi1 || format == ModelFormat::Xmi10)
        return readXmi(*root, format, version, error);
    if (format == ModelFormat::Dia) {
        collector_ = std::make_unique<ClassCollector>();
        DiaReader(*collector_).read(*root);
        return true;
    }
    error = at(root->GetLineNum()) + "the root element is " + root->Name() +
            ": not a model wired-host knows (expected Model, XMI, a UML model or a Dia diagram)";
    return false;
}

bool ModelLoader::readXmi(const XMLElement& root, ModelFormat format, const std::string& version,
                          std::string& error)
{
    collector_ = std::make_unique<ClassCollector>();
    std::unique_ptr<XmiReader> reader;
    if (format == ModelFormat::Xmi2)
        reader = std::make_unique<Xmi2Reader>(*collector_);
    else if (format == ModelFormat::Xmi1)
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
    const std::string shown = version.empty() || version.size() > 4 ? (format == ModelFormat::Xmi2 ? "2" : "1") : version;
    model_.setFormat("XMI " + shown + (format == ModelFormat::Xmi2 ? ", UML 2" : ", UML 1.x"));
    return true;
}

// Text formats are UTF-8 (a byte-order mark is passed over).
bool ModelLoader::loadJson(std::string& text, std::string& error)
{
    JsonValue root;
    if (!JsonValue::parse(text, root, error)) {
        error = at(0) + "malformed JSON (" + error + ")";
        return false;
    }
    std::string().swap(text);
    if (!StarUmlReader::isProject(root)) {
        error = at(0) + "a JSON file that is not a StarUML project (no \"_type\": \"Project\" at the top)";
        return false;
    }
    model_.setFormat(FormatDetector::name(ModelFormat::Json));
    collector_ = std::make_unique<ClassCollector>();
    StarUmlReader(*collector_).read(root);
    return true;
}

bool ModelLoader::loadPlantUml(const std::string& text, std::string& error)
{
    if (!encoding::isValidUtf8(text)) {
        error = at(0) + "a PlantUML file that is not UTF-8";
        return false;
    }
    model_.setFormat(FormatDetector::name(ModelFormat::PlantUml));
    collector_ = std::make_unique<ClassCollector>();
    PlantUmlReader(*collector_).read(text);
    return true;
}

bool ModelLoader::finishCollected(bool loaded)
{
    if (loaded && collector_) {
        model_.setClasses(collector_->finish());
        model_.convertTextToHost();
    }
    collector_.reset();
    return loaded;
}

} // namespace wiredhost

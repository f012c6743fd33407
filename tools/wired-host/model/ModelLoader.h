#ifndef WIREDHOST_MODEL_MODELLOADER_H
#define WIREDHOST_MODEL_MODELLOADER_H

#include <cstdio>
#include <memory>
#include <string>

#include <tinyxml2.h>

#include "ClassCollector.h"
#include "FormatDetector.h"

namespace wiredhost {

class Model;
class XmlTagLimits;
class XmlCharacterReferences;

// Reads a model file of any known format into a Model: unpacks its
// containers (ContainerUnpacker), converts the text to UTF-8 for the
// readers and their names to the host's code page for the plug-in, and
// picks the reader by content. Every format is a row of kFormats
// (ModelLoader.cpp): its name, its sign and its reader; adding a format is
// a reader and a row.
class ModelLoader {
public:
    ModelLoader(Model& model, const std::string& path) : model_(model), path_(path) {}

    // False with a "FILE[:LINE]: what" message.
    bool load(std::string& error);

    // The whole file's bytes, already read: containers unpacked, then read
    // by its format (load() after reading; the fuzz targets directly).
    bool loadBytes(std::string& bytes, std::string& error);

    // A line for each format, "  NAME  what writes it (files)", for the
    // help of run.
    static std::string formatsHelp();

private:
    bool loadFile(std::string& error);
    struct Format {
        ModelFormat format;
        const char* name; // as the report names it; XMI adds its version
        const char* help; // what writes it, its files; null: not a format of its own
        // The sign: in the bytes for a text format, in the root element
        // for an XML one.
        bool (*inBytes)(const std::string& bytes);
        bool (*inRoot)(const tinyxml2::XMLElement& root);
        // The reader, of the text or of the XML document.
        bool (ModelLoader::*readText)(std::string& text, const Format& format, std::string& error);
        bool (ModelLoader::*readRoot)(const tinyxml2::XMLElement& root, const Format& format, std::string& error);
    };
    static const Format kFormats[];

    static const Format* textFormatOf(const std::string& bytes);
    static const Format* xmlFormatOf(const tinyxml2::XMLElement& root);

    void announceBigFile(std::FILE* file) const;
    static void textToUtf8(std::string& bytes);
    bool loadXmlFile(std::FILE* file, std::string& error);
    void noteDeclaration(const std::string& head);
    bool loadXmlText(std::string& text, const Format& format, std::string& error);
    bool parseXmlText(std::string& text, std::string& error);
    bool loadJson(std::string& text, const Format& format, std::string& error);
    bool loadPlantUml(std::string& text, const Format& format, std::string& error);
    bool readDocument(tinyxml2::XMLDocument& document, std::string& error);
    std::string xmlError(const tinyxml2::XMLDocument& document) const;
    std::string checkError(const XmlTagLimits& limit, const XmlCharacterReferences& references, int line) const;
    bool readOwnModel(const tinyxml2::XMLElement& root, const Format& format, std::string& error);
    bool readXmi(const tinyxml2::XMLElement& root, const Format& format, std::string& error);
    bool readDia(const tinyxml2::XMLElement& root, const Format& format, std::string& error);
    // The classes a reader collected, once its document is gone.
    bool finishCollected(bool loaded, std::string& error);
    bool withinClassLimit(std::size_t classes, std::string& error) const;
    std::string where() const;
    std::string at(int line) const;

    Model& model_;
    const std::string& path_;
    // The entry of a zip file that was read, for messages.
    std::string entry_;
    // What an XMI reader found, kept past its document.
    std::unique_ptr<ClassCollector> collector_;
};

} // namespace wiredhost

#endif

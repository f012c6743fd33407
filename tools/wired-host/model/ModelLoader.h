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

// Reads a model file of any known format into a Model: unpacks its
// containers (ContainerUnpacker), converts the text to UTF-8 for the
// readers and their names to the host's code page for the plug-in, and
// picks the reader by content.
class ModelLoader {
public:
    ModelLoader(Model& model, const std::string& path) : model_(model), path_(path) {}

    // False with a "FILE[:LINE]: what" message.
    bool load(std::string& error);

    // The whole file's bytes, already read: containers unpacked, then read
    // by its format (load() after reading; the fuzz targets directly).
    bool loadBytes(std::string& bytes, std::string& error);

private:
    bool loadFile(std::string& error);
    void announceBigFile(std::FILE* file) const;
    bool loadXmlFile(std::FILE* file, std::string& error);
    bool loadXmlText(std::string& text, std::string& error);
    bool loadJson(std::string& text, std::string& error);
    bool loadPlantUml(const std::string& text, std::string& error);
    bool readDocument(tinyxml2::XMLDocument& document, std::string& error);
    std::string xmlError(const tinyxml2::XMLDocument& document) const;
    std::string attributeError(int line) const;
    bool readXmi(const tinyxml2::XMLElement& root, ModelFormat format, const std::string& version,
                 std::string& error);
    // The classes a reader collected, once its document is gone.
    bool finishCollected(bool loaded, std::string& error);
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

#include "Model.h"

#include <cstring>

#include <tinyxml2.h>

#include "Files.h"

namespace wiredhost {

namespace {

using tinyxml2::XMLElement;

// "FILE:LINE: ", or "FILE: " when tinyxml2 has no line to tell.
std::string at(const std::string& path, int line)
{
    return line > 0 ? path + ":" + std::to_string(line) + ": " : path + ": ";
}

bool named(const XMLElement& element, const char* name)
{
    return std::strcmp(element.Name(), name) == 0;
}

// Reads the element's name attribute; an absent or empty one is an error.
bool nameOf(const XMLElement& element, const std::string& path, std::string& name, std::string& error)
{
    const char* value = element.Attribute("name");
    if (value == nullptr || value[0] == '\0') {
        error = at(path, element.GetLineNum()) + element.Name() + " has no name";
        return false;
    }
    name = value;
    return true;
}

class Reader {
public:
    Reader(Model& model, const std::string& path) : model_(model), path_(path) {}

    bool readModel(const XMLElement& root, std::string& error)
    {
        for (const XMLElement* e = root.FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
            std::string name;
            if (named(*e, "Table")) {
                if (!nameOf(*e, path_, name, error))
                    return false;
                model_.addTable(name);
            } else if (!readMember(*e, "", error)) {
                return false;
            }
        }
        return true;
    }

private:
    // A Package or a Class inside the package path given.
    bool readMember(const XMLElement& element, const std::string& package, std::string& error)
    {
        std::string name;
        if (named(element, "Class")) {
            if (!nameOf(element, path_, name, error))
                return false;
            model_.addClass(name, package);
            const XMLElement* inner = element.FirstChildElement();
            if (inner != nullptr) {
                error = at(path_, inner->GetLineNum()) + inner->Name() + " inside a Class: classes hold nothing";
                return false;
            }
            return true;
        }
        if (named(element, "Package")) {
            if (!nameOf(element, path_, name, error))
                return false;
            const std::string path = package.empty() ? name : package + "." + name;
            for (const XMLElement* e = element.FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
                if (!readMember(*e, path, error))
                    return false;
            }
            return true;
        }
        error = at(path_, element.GetLineNum()) + "unexpected element " + element.Name();
        error += named(element, "Table") ? " (tables belong directly under Model)" : " (expected Package or Class)";
        return false;
    }

    Model& model_;
    const std::string& path_;
};

} // namespace

bool Model::load(const std::string& path, std::string& error)
{
    // Tell a missing file apart from a malformed one before tinyxml2 does.
    if (!hostkit::files::isFile(path)) {
        error = path + ": cannot open the model file";
        return false;
    }
    tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    if (document.LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS) {
        error = at(path, document.ErrorLineNum()) + "malformed XML (" + document.ErrorName() + ")";
        return false;
    }
    const XMLElement* root = document.FirstChildElement();
    if (root == nullptr) {
        error = path + ": no Model element";
        return false;
    }
    if (!named(*root, "Model")) {
        error = at(path, root->GetLineNum()) + "the root element is " + root->Name() + ", expected Model";
        return false;
    }
    Reader reader(*this, path);
    return reader.readModel(*root, error);
}

void Model::addTable(const std::string& name)
{
    tables_.insert(name);
}

void Model::addClass(const std::string& name, const std::string& package)
{
    classes_.push_back({name, package});
}

bool Model::hasTable(const std::string& name) const
{
    return tables_.count(name) != 0;
}

bool Model::hasClass(const std::string& name) const
{
    for (const ModelClass& c : classes_) {
        if (c.name == name)
            return true;
    }
    return false;
}

} // namespace wiredhost

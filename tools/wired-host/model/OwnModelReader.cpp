#include "OwnModelReader.h"

#include <cstring>

#include "ClassCollector.h"
#include "Model.h"

namespace wiredhost {

using tinyxml2::XMLElement;

namespace {

bool named(const XMLElement& element, const char* name)
{
    return std::strcmp(element.Name(), name) == 0;
}

} // namespace

std::string OwnModelReader::at(int line) const
{
    return line > 0 ? path_ + ":" + std::to_string(line) + ": " : path_ + ": ";
}

// Each class keeps its package path, and each package makes its path from
// its parent's: the bytes they come to are counted against the limit the
// other formats' readers keep, so that a long name repeated cannot take
// gigabytes.
bool OwnModelReader::countPath(const XMLElement& element, std::size_t bytes, std::string& error)
{
    pathBytes_ += bytes;
    if (pathBytes_ <= ClassCollector::kMaxPathBytes)
        return true;
    error = at(element.GetLineNum()) + ClassCollector::pathLimitPassed();
    return false;
}

// Reads the element's name attribute; an absent or empty one is an error.
bool OwnModelReader::nameOf(const XMLElement& element, std::string& name, std::string& error) const
{
    const char* value = element.Attribute("name");
    if (value == nullptr || value[0] == '\0') {
        error = at(element.GetLineNum()) + element.Name() + " has no name";
        return false;
    }
    name = value;
    return true;
}

bool OwnModelReader::read(const XMLElement& root, std::string& error)
{
    for (const XMLElement* e = root.FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        std::string name;
        if (named(*e, "Table")) {
            if (!nameOf(*e, name, error))
                return false;
            model_.addTable(name);
        } else if (!readMember(*e, "", error)) {
            return false;
        }
    }
    return true;
}

// A Package or a Class inside the package path given.
bool OwnModelReader::readMember(const XMLElement& element, const std::string& package, std::string& error)
{
    std::string name;
    if (named(element, "Class")) {
        if (!nameOf(element, name, error))
            return false;
        if (!countPath(element, package.size(), error))
            return false;
        model_.addClass(name, package);
        const XMLElement* inner = element.FirstChildElement();
        if (inner != nullptr) {
            error = at(inner->GetLineNum()) + inner->Name() + " inside a Class: classes hold nothing";
            return false;
        }
        return true;
    }
    if (named(element, "Package")) {
        if (!nameOf(element, name, error))
            return false;
        if (!countPath(element, package.size() + 1 + name.size(), error))
            return false;
        const std::string path = package.empty() ? name : package + "." + name;
        for (const XMLElement* e = element.FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
            if (!readMember(*e, path, error))
                return false;
        }
        return true;
    }
    error = at(element.GetLineNum()) + "unexpected element " + element.Name();
    error += named(element, "Table") ? " (tables belong directly under Model)" : " (expected Package or Class)";
    return false;
}

} // namespace wiredhost

#include "DiaReader.h"

#include <cstring>
#include <map>
#include <set>
#include <vector>

namespace wiredhost {

using tinyxml2::XMLElement;

namespace {

struct DiaObject {
    const XMLElement* element;
    std::string type;
    std::string id;
    std::string parent;
};

// Dia writes strings as #text#.
std::string diaString(const XMLElement* string)
{
    const char* text = string != nullptr ? string->GetText() : nullptr;
    std::string value = text != nullptr ? text : "";
    if (value.size() >= 2 && value.front() == '#' && value.back() == '#')
        return value.substr(1, value.size() - 2);
    return value;
}

// The object's own attribute of that name (not one inside a composite).
const XMLElement* attribute(const XMLElement& object, const char* name)
{
    for (const XMLElement* e = object.FirstChildElement("dia:attribute"); e != nullptr;
         e = e->NextSiblingElement("dia:attribute")) {
        const char* n = e->Attribute("name");
        if (n != nullptr && std::strcmp(n, name) == 0)
            return e;
    }
    return nullptr;
}

std::string stringAttribute(const XMLElement& object, const char* name)
{
    const XMLElement* a = attribute(object, name);
    return a != nullptr ? diaString(a->FirstChildElement("dia:string")) : std::string();
}

// A large package has a name; a small one shows its name as its text.
std::string packageName(const DiaObject& object)
{
    if (object.type == "UML - LargePackage")
        return stringAttribute(*object.element, "name");
    const XMLElement* text = attribute(*object.element, "text");
    const XMLElement* composite = text != nullptr ? text->FirstChildElement("dia:composite") : nullptr;
    return composite != nullptr ? stringAttribute(*composite, "string") : std::string();
}

// Objects in layers and groups, in document order.
void collect(const XMLElement& parent, std::vector<DiaObject>& objects)
{
    for (const XMLElement* e = parent.FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        const char* name = e->Name();
        if (std::strcmp(name, "dia:object") == 0) {
            const XMLElement* child = e->FirstChildElement("dia:childnode");
            const char* parentId = child != nullptr ? child->Attribute("parent") : nullptr;
            objects.push_back({e, e->Attribute("type") ? e->Attribute("type") : "",
                               e->Attribute("id") ? e->Attribute("id") : "", parentId ? parentId : ""});
        }
        else if (std::strcmp(name, "dia:layer") == 0 || std::strcmp(name, "dia:group") == 0)
            collect(*e, objects);
    }
}

bool isPackage(const std::string& type)
{
    return type == "UML - LargePackage" || type == "UML - SmallPackage";
}

// The stereotype without its guillemets or << >> (Dia shows «entity»), in
// one pass: a stereotype may be a megabyte of them.
std::string stripped(const std::string& stereotype)
{
    std::string name;
    name.reserve(stereotype.size());
    for (std::size_t at = 0; at < stereotype.size();) {
        bool mark = false;
        for (const char* m : {"\xC2\xAB", "\xC2\xBB", "<<", ">>"})
            mark = mark || stereotype.compare(at, 2, m) == 0;
        if (mark) {
            at += 2;
            continue;
        }
        name += stereotype[at++];
    }
    return name;
}

class PackageResolver {
public:
    PackageResolver(ClassCollector& collector, const std::vector<DiaObject>& objects) : collector_(collector)
    {
        for (const DiaObject& object : objects) {
            if (isPackage(object.type))
                packages_[object.id] = &object;
        }
    }

    // The collector's package for a parent link; packages are added as
    // they are first needed, outermost first. A parent link back into the
    // chain being followed is a cycle (A in B in A): it is cut there, the
    // package it comes from being outermost.
    int packageOf(const std::string& parentId)
    {
        std::vector<const DiaObject*> chain;
        std::set<std::string> onChain;
        int outer = ClassCollector::kNoPackage;
        for (const std::string* id = &parentId;;) {
            const auto known = added_.find(*id);
            if (known != added_.end()) {
                outer = known->second;
                break;
            }
            const auto found = packages_.find(*id);
            if (found == packages_.end() || !onChain.insert(*id).second)
                break;
            chain.push_back(found->second);
            id = &found->second->parent;
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            outer = collector_.addPackage(outer, packageName(**it), nullptr);
            added_[(*it)->id] = outer;
        }
        return outer;
    }

private:
    ClassCollector& collector_;
    std::map<std::string, const DiaObject*> packages_;
    std::map<std::string, int> added_;
};

} // namespace

void DiaReader::read(const XMLElement& root)
{
    std::vector<DiaObject> objects;
    collect(root, objects);
    PackageResolver packages(collector_, objects);
    collector_.excludeStereotypedClasses(true);
    for (const DiaObject& object : objects) {
        if (object.type.compare(0, 6, "UML - ") == 0)
            collector_.countUmlElement();
        if (object.type != "UML - Class")
            continue;
        const int index =
            collector_.addClass(packages.packageOf(object.parent), stringAttribute(*object.element, "name"), nullptr);
        const std::string stereotype = stripped(stringAttribute(*object.element, "stereotype"));
        if (!stereotype.empty())
            collector_.stereotypeByName(true, index, stereotype);
    }
}

} // namespace wiredhost

#include "StarUmlReader.h"

namespace wiredhost {

namespace {

std::string stringOf(const StarUmlReader::Value& object, const char* name)
{
    return JsonDocument::string(object, name);
}

} // namespace

bool StarUmlReader::isProject(const Value& root)
{
    return root.is_object() && stringOf(root, "_type") == "Project";
}

void StarUmlReader::read(const Value& root)
{
    collector_.excludeStereotypedClasses(true);
    walk(root, ClassCollector::kNoPackage);
}

// Recursion is bounded by JsonDocument's depth limit.
void StarUmlReader::walk(const Value& value, int package)
{
    if (value.is_array()) {
        for (const Value& item : value)
            walk(item, package);
        return;
    }
    if (!value.is_object())
        return;
    const std::string type = stringOf(value, "_type");
    if (type.compare(0, 3, "UML") == 0)
        collector_.countUmlElement();
    if (type == "UMLClass") {
        classObject(value, package);
        return;
    }
    if (type == "UMLStereotype")
        collector_.defineStereotype(stringOf(value, "_id"), stringOf(value, "name"));
    int inner = package;
    if (type == "UMLPackage" || type == "UMLProfile")
        inner = collector_.addPackage(package, stringOf(value, "name"), nullptr);
    for (const auto& member : value.items()) {
        // Diagrams' views point at elements; they are none themselves.
        if (member.key() != "ownedViews")
            walk(member.value(), inner);
    }
}

void StarUmlReader::classObject(const Value& object, int package)
{
    const int index = collector_.addClass(package, stringOf(object, "name"), nullptr);
    // A stereotype is a name or a reference to a stereotype element.
    const auto stereotype = object.find("stereotype");
    if (stereotype != object.end() && stereotype->is_string())
        collector_.stereotypeByName(true, index, stereotype->get_ref<const std::string&>());
    else if (stereotype != object.end() && stereotype->is_object())
        collector_.stereotypeByRef(true, index, stringOf(*stereotype, "$ref"));
    const auto owned = object.find("ownedElements");
    if (owned != object.end())
        walk(*owned, package);
}

} // namespace wiredhost

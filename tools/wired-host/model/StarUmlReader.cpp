#include "StarUmlReader.h"

namespace wiredhost {

bool StarUmlReader::isProject(const JsonValue& root)
{
    return root.kind == JsonValue::Object && root.string("_type") == "Project";
}

void StarUmlReader::read(const JsonValue& root)
{
    collector_.excludeStereotypedClasses(true);
    walk(root, ClassCollector::kNoPackage);
}

void StarUmlReader::walk(const JsonValue& value, int package)
{
    if (value.kind == JsonValue::Array) {
        for (const JsonValue& item : value.items)
            walk(item, package);
        return;
    }
    if (value.kind != JsonValue::Object)
        return;
    const std::string type = value.string("_type");
    if (type.compare(0, 3, "UML") == 0)
        collector_.countUmlElement();
    if (type == "UMLClass") {
        classObject(value, package);
        return;
    }
    if (type == "UMLStereotype")
        collector_.defineStereotype(value.string("_id"), value.string("name"));
    int inner = package;
    if (type == "UMLPackage" || type == "UMLProfile")
        inner = collector_.addPackage(package, value.string("name"), nullptr);
    for (const auto& member : value.members) {
        // Diagrams' views point at elements; they are none themselves.
        if (member.first != "ownedViews")
            walk(member.second, inner);
    }
}

void StarUmlReader::classObject(const JsonValue& object, int package)
{
    const int index = collector_.addClass(package, object.string("name"), nullptr);
    // A stereotype is a name or a reference to a stereotype element.
    const JsonValue* stereotype = object.member("stereotype");
    if (stereotype != nullptr && stereotype->kind == JsonValue::String)
        collector_.stereotypeByName(true, index, stereotype->text);
    else if (stereotype != nullptr && stereotype->kind == JsonValue::Object)
        collector_.stereotypeByRef(true, index, stereotype->string("$ref"));
    if (const JsonValue* owned = object.member("ownedElements"))
        walk(*owned, package);
}

} // namespace wiredhost

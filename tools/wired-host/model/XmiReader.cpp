#include "XmiReader.h"

#include <cctype>
#include <cstring>
#include <string_view>

namespace wiredhost {

using tinyxml2::XMLAttribute;
using tinyxml2::XMLElement;

namespace {

// Each id of a space-separated list of references (idrefs), in order.
template <typename Visit>
void forEachId(const char* list, Visit visit)
{
    const char* p = list;
    while (*p != '\0') {
        while (*p == ' ')
            ++p;
        const char* start = p;
        while (*p != '\0' && *p != ' ')
            ++p;
        if (p > start)
            visit(std::string_view(start, static_cast<std::size_t>(p - start)));
    }
}

bool equals(const char* a, const char* b)
{
    return std::strcmp(a, b) == 0;
}

// Whether text starts with head, compared in line: these run for every
// attribute and element of a model, on names of a few letters.
bool startsWith(const char* text, const char* head)
{
    for (; *head != '\0'; ++text, ++head) {
        if (*text != *head)
            return false;
    }
    return true;
}

// Whether a short name holds word anywhere.
bool holds(const char* text, std::string_view word)
{
    return std::string_view(text).find(word) != std::string_view::npos;
}

// Enterprise Architect's words for what an element is: a class, or a
// boundary, note, requirement... written as a class.
bool isClassWord(const char* word)
{
    const char* colon = std::strchr(word, ':');
    const char* local = colon != nullptr ? colon + 1 : word;
    return equals(local, "Class") || equals(local, "AssociationClass");
}

const XMLElement* child(const XMLElement& element, const char* name)
{
    return element.FirstChildElement(name);
}

} // namespace

void XmiReader::read(const XMLElement& root)
{
    walk(root, Context());
}

const char* XmiReader::lastSegment(const char* tag)
{
    const char* last = tag;
    for (const char* p = tag; *p != '\0'; ++p) {
        if (*p == ':' || *p == '.')
            last = p + 1;
    }
    return last;
}

bool XmiReader::startsUpper(const char* text)
{
    return std::isupper(static_cast<unsigned char>(text[0])) != 0;
}

XmlNamespaces::Kind XmiReader::prefixKind(const char* qualified, const char*& local) const
{
    const char* colon = std::strchr(qualified, ':');
    if (colon == nullptr) {
        local = qualified;
        return namespaces_.kindOf("", 0);
    }
    local = colon + 1;
    return namespaces_.kindOf(qualified, static_cast<std::size_t>(colon - qualified));
}

const char* XmiReader::typedMetaclass(const char* type) const
{
    const char* local = nullptr;
    const bool prefixed = std::strchr(type, ':') != nullptr;
    const XmlNamespaces::Kind kind = prefixKind(type, local);
    return !prefixed || kind == XmlNamespaces::Uml ? local : "";
}

void XmiReader::walk(const XMLElement& element, const Context& context)
{
    const std::size_t mark = namespaces_.mark();
    Attributes attributes;
    scan(element, attributes);
    visit(element, attributes, context);
    namespaces_.leave(mark);
}

void XmiReader::walkChildren(const XMLElement& element, const Context& context)
{
    for (const XMLElement* e = element.FirstChildElement(); e != nullptr; e = e->NextSiblingElement())
        walk(*e, context);
}

// The plain attributes the walk reads, and where each goes.
const XmiReader::PlainAttribute XmiReader::kPlainAttributes[] = {
    {"name", &Attributes::name},       {"href", &Attributes::href},   {"stereotype", &Attributes::stereotype},
    {"extendedElement", &Attributes::extendedElement}, {"tag", &Attributes::tag}, {"value", &Attributes::value},
    {"package", &Attributes::package},
};

void XmiReader::scan(const XMLElement& element, Attributes& attributes)
{
    for (const XMLAttribute* a = element.FirstAttribute(); a != nullptr; a = a->Next()) {
        const char* name = a->Name();
        if (!scanPlain(name, *a, attributes) && !scanNamespace(name, *a))
            scanXmi(name, *a, attributes);
    }
}

bool XmiReader::scanPlain(const char* name, const XMLAttribute& attribute, Attributes& attributes)
{
    for (const PlainAttribute& plain : kPlainAttributes) {
        if (name[0] == plain.name[0] && equals(name, plain.name)) {
            attributes.*plain.field = attribute.Value();
            return true;
        }
    }
    return false;
}

// xmlns="…" and xmlns:p="…" hold until the element ends.
bool XmiReader::scanNamespace(const char* name, const XMLAttribute& attribute)
{
    if (!startsWith(name, "xmlns"))
        return false;
    if (name[5] == '\0')
        namespaces_.declare("", 0, attribute.Value());
    else if (name[5] == ':')
        namespaces_.declare(name + 6, std::strlen(name + 6), attribute.Value());
    return true;
}

// xmi.id (XMI 1.x) or xmi:id, xmi:type... under whatever prefix the XMI
// namespace has. EMF saves a model as plain XML with xsi:type where XMI
// has xmi:type: that is the type when no xmi:type says otherwise.
void XmiReader::scanXmi(const char* name, const XMLAttribute& attribute, Attributes& attributes)
{
    if (startsWith(name, "xmi.")) {
        scanXmiAttribute(name + 4, attribute.Value(), attributes);
    } else if (const char* colon = std::strchr(name, ':')) {
        const std::size_t length = static_cast<std::size_t>(colon - name);
        if (namespaces_.kindOf(name, length) == XmlNamespaces::Xmi) {
            scanXmiAttribute(colon + 1, attribute.Value(), attributes);
        } else if (attributes.type == nullptr && equals(colon + 1, "type")) {
            const std::string prefix(name, length);
            const std::string uri = namespaces_.uriOf(prefix);
            if (uri == "http://www.w3.org/2001/XMLSchema-instance" || (uri.empty() && prefix == "xsi"))
                attributes.type = attribute.Value();
        }
    }
}

void XmiReader::scanXmiAttribute(const char* local, const char* value, Attributes& attributes)
{
    if (equals(local, "id"))
        attributes.id = value;
    else if (equals(local, "idref"))
        attributes.idref = value;
    else if (equals(local, "type"))
        attributes.type = value;
}

void XmiReader::visit(const XMLElement& element, const Attributes& attributes, const Context& context)
{
    const char* tag = element.Name();
    if (isExtension(tag)) {
        readExtension(element);
        return;
    }
    // A reference holds nothing of this file: the element is elsewhere.
    if (attributes.idref != nullptr || attributes.href != nullptr)
        return;
    const char* metaclass = metaclassOf(element, attributes);
    if (metaclass[0] == '\0') {
        property(element, context);
        return;
    }
    collector_.countUmlElement();
    if (equals(metaclass, "Class") || equals(metaclass, "AssociationClass")) {
        classElement(element, attributes, context);
    } else if (equals(metaclass, "Package") || equals(metaclass, "Profile")) {
        packageElement(element, attributes, context);
    } else if (equals(metaclass, "Stereotype")) {
        stereotypeElement(element, attributes, context);
    } else if (equals(metaclass, "TaggedValue")) {
        taggedValue(element, attributes, context);
    } else if (!equals(metaclass, "Diagram") && !holds(metaclass, "Template")) {
        // Anything else (a model, an attribute, an association...) may hold
        // classes but owns none of the stereotypes below it.
        Context inner;
        inner.package = context.package;
        walkChildren(element, inner);
    }
}

void XmiReader::property(const XMLElement& element, const Context& context)
{
    const char* local = lastSegment(element.Name());
    if (equals(local, "stereotype")) {
        stereotypeRefs(element, context);
    } else if (equals(local, "extendedElement")) {
        extendedElements(element, context);
    } else if (equals(local, "name") || holds(local, "emplate")) {
        // A name is read with its element; template parameters are no classes.
    } else {
        walkChildren(element, context);
    }
}

std::string XmiReader::nameOf(const XMLElement& element, const Attributes& attributes) const
{
    if (attributes.name != nullptr)
        return attributes.name;
    // XMI 1.0 (and 1.1, optionally) writes the name as a child element.
    for (const XMLElement* e = element.FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        if (equals(lastSegment(e->Name()), "name")) {
            const char* text = e->GetText();
            return text != nullptr ? text : "";
        }
    }
    return std::string();
}

void XmiReader::classElement(const XMLElement& element, const Attributes& attributes, const Context& context)
{
    if (isStub(element))
        return;
    int package = context.package;
    // <UML:Class package="shop" …> outside any package element.
    if (packageAttribute_ && package == ClassCollector::kNoPackage && attributes.package != nullptr &&
        attributes.package[0] != '\0')
        package = collector_.addPackage(ClassCollector::kNoPackage, attributes.package, nullptr);
    const int index = collector_.addClass(package, nameOf(element, attributes), attributes.id);
    Context inner;
    inner.package = context.package;
    inner.owner = Context::OwnerClass;
    inner.index = index;
    if (attributes.stereotype != nullptr)
        addStereotypeIds(attributes.stereotype, inner);
    walkChildren(element, inner);
}

void XmiReader::packageElement(const XMLElement& element, const Attributes& attributes, const Context& context)
{
    if (isStub(element))
        return;
    Context inner;
    inner.package = collector_.addPackage(context.package, nameOf(element, attributes), attributes.id);
    inner.owner = Context::OwnerPackage;
    inner.index = inner.package;
    if (attributes.stereotype != nullptr)
        addStereotypeIds(attributes.stereotype, inner);
    walkChildren(element, inner);
}

void XmiReader::stereotypeElement(const XMLElement& element, const Attributes& attributes, const Context& context)
{
    const std::string name = nameOf(element, attributes);
    if (attributes.id != nullptr)
        collector_.defineStereotype(attributes.id, name);
    // UML 1.3 lists the elements a stereotype extends in the stereotype.
    if (attributes.extendedElement != nullptr) {
        forEachId(attributes.extendedElement, [&](std::string_view id) { collector_.extendElement(name, id); });
    }
    Context inner;
    inner.package = context.package;
    inner.owner = Context::OwnerStereotype;
    inner.stereotypeName = name;
    walkChildren(element, inner);
}

void XmiReader::taggedValue(const XMLElement& element, const Attributes& attributes, const Context& context)
{
    if (context.owner != Context::OwnerClass)
        return;
    std::string tag = attributes.tag != nullptr ? attributes.tag : "";
    std::string value = attributes.value != nullptr ? attributes.value : "";
    // XMI 1.0 writes tag and value as child elements.
    for (const XMLElement* e = element.FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        const char* local = lastSegment(e->Name());
        const char* text = e->GetText();
        if (equals(local, "tag") && text != nullptr)
            tag = text;
        else if (equals(local, "value") && text != nullptr)
            value = text;
    }
    // Enterprise Architect's UML 1.3 export says what a class really is in
    // the tagged value ea_stype: a boundary or a note is no class.
    if (tag == "ea_stype" && !isClassWord(value.c_str()))
        collector_.vetoClass(context.index);
    else if (tag == "stereotype" && !value.empty())
        collector_.stereotypeByName(true, context.index, value);
}

void XmiReader::stereotypeRefs(const XMLElement& element, const Context& context)
{
    if (context.owner != Context::OwnerClass && context.owner != Context::OwnerPackage)
        return;
    const bool isClass = context.owner == Context::OwnerClass;
    for (const XMLElement* e = element.FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        const std::size_t mark = namespaces_.mark();
        Attributes attributes;
        scan(*e, attributes);
        if (attributes.idref != nullptr) {
            collector_.stereotypeByRef(isClass, context.index, attributes.idref);
        } else if (attributes.href != nullptr) {
            const char* hash = std::strrchr(attributes.href, '#');
            collector_.stereotypeByRef(isClass, context.index, hash != nullptr ? hash + 1 : attributes.href);
        } else {
            const std::string name = nameOf(*e, attributes);
            collector_.stereotypeByName(isClass, context.index, name);
            if (attributes.id != nullptr)
                collector_.defineStereotype(attributes.id, name);
        }
        namespaces_.leave(mark);
    }
}

void XmiReader::extendedElements(const XMLElement& element, const Context& context)
{
    if (context.owner != Context::OwnerStereotype)
        return;
    for (const XMLElement* e = element.FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        const char* idref = e->Attribute("xmi.idref");
        if (idref == nullptr)
            idref = e->Attribute("xmi:idref");
        if (idref != nullptr)
            collector_.extendElement(context.stereotypeName, idref);
    }
}

void XmiReader::addStereotypeIds(const char* ids, const Context& owner)
{
    const bool isClass = owner.owner == Context::OwnerClass;
    forEachId(ids, [&](std::string_view id) { collector_.stereotypeByRef(isClass, owner.index, std::string(id)); });
}

// Never read for classes. Enterprise Architect lists every element again
// in its extension, with what it really is: <element xmi:idref="…"
// xmi:type="uml:Boundary"> or <properties sType="Note"/>; an element it
// calls anything but a class is no class, whatever its UML type says.
void XmiReader::readExtension(const XMLElement& extension)
{
    for (const XMLElement* list = child(extension, "elements"); list != nullptr;
         list = list->NextSiblingElement("elements")) {
        for (const XMLElement* e = child(*list, "element"); e != nullptr; e = e->NextSiblingElement("element")) {
            const char* idref = e->Attribute("xmi:idref");
            if (idref == nullptr)
                continue;
            const char* type = e->Attribute("xmi:type");
            const XMLElement* properties = child(*e, "properties");
            const char* sType = properties != nullptr ? properties->Attribute("sType") : nullptr;
            if ((type != nullptr && !isClassWord(type)) || (sType != nullptr && !isClassWord(sType)))
                collector_.vetoId(idref);
        }
    }
}

} // namespace wiredhost

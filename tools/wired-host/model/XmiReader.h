#ifndef WIREDHOST_MODEL_XMIREADER_H
#define WIREDHOST_MODEL_XMIREADER_H

#include <string>
#include <string_view>

#include <tinyxml2.h>

#include "ClassCollector.h"
#include "XmlNamespaces.h"

namespace wiredhost {

// The walk over an XMI document that all generations share. Each
// generation says which UML metaclass an element stands for
// (metaclassOf) and which elements are the file's headers and tools'
// extensions, which are never read for classes. The walk finds packages,
// classes (Class, AssociationClass), stereotypes and what an exporter's
// extension says an element really is, and hands them to the collector.
class XmiReader {
public:
    explicit XmiReader(ClassCollector& collector) : collector_(collector) {}
    virtual ~XmiReader() = default;
    XmiReader(const XmiReader&) = delete;
    XmiReader& operator=(const XmiReader&) = delete;

    void read(const tinyxml2::XMLElement& root);

protected:
    // The attributes the walk looks at, found in one pass; null when absent.
    struct Attributes {
        const char* name = nullptr;
        const char* id = nullptr;
        const char* idref = nullptr;
        const char* href = nullptr;
        const char* type = nullptr;
        const char* stereotype = nullptr;
        const char* extendedElement = nullptr;
        const char* tag = nullptr;
        const char* value = nullptr;
        const char* package = nullptr;
    };

    struct PlainAttribute {
        const char* name;
        const char* Attributes::*field;
    };
    static const PlainAttribute kPlainAttributes[];

    // Where the walk is: the innermost package, and the class, package or
    // stereotype whose own properties are being read.
    struct Context {
        int package = ClassCollector::kNoPackage;
        enum Owner { None, OwnerClass, OwnerPackage, OwnerStereotype } owner = None;
        int index = -1;
        std::string_view stereotypeName;
    };

    // "Class", "Package"... (a part of the tag or of xmi:type) or "" for
    // property elements and for elements of other metamodels.
    virtual const char* metaclassOf(const tinyxml2::XMLElement& element, const Attributes& attributes) const = 0;
    // Headers, documentation and tools' extensions.
    virtual bool isExtension(const char* tag) const = 0;
    // An element that stands for one defined elsewhere, although it carries
    // no reference attribute.
    virtual bool isStub(const tinyxml2::XMLElement&) const { return false; }

    // The part of a tag after its namespace prefix, and the prefix's kind.
    XmlNamespaces::Kind prefixKind(const char* qualified, const char*& local) const;
    // The metaclass an xmi:type names: "" unless UML's; a type without a
    // prefix is taken as UML's.
    const char* typedMetaclass(const char* type) const;
    // The part after the last ':' or '.'.
    static const char* lastSegment(const char* tag);
    static bool startsUpper(const char* text);

    ClassCollector& collector_;
    XmlNamespaces namespaces_;
    // Umbrello's older files name a class's package in an attribute.
    bool packageAttribute_ = false;

private:
    void walk(const tinyxml2::XMLElement& element, const Context& context);
    void walkChildren(const tinyxml2::XMLElement& element, const Context& context);
    void scan(const tinyxml2::XMLElement& element, Attributes& attributes);
    bool scanPlain(const char* name, const tinyxml2::XMLAttribute& attribute, Attributes& attributes);
    bool scanNamespace(const char* name, const tinyxml2::XMLAttribute& attribute);
    void scanXmi(const char* name, const tinyxml2::XMLAttribute& attribute, Attributes& attributes);
    void scanXmiAttribute(const char* local, const char* value, Attributes& attributes);
    void visit(const tinyxml2::XMLElement& element, const Attributes& attributes, const Context& context);
    void property(const tinyxml2::XMLElement& element, const Context& context);

    void classElement(const tinyxml2::XMLElement& element, const Attributes& attributes, const Context& context);
    void packageElement(const tinyxml2::XMLElement& element, const Attributes& attributes, const Context& context);
    void stereotypeElement(const tinyxml2::XMLElement& element, const Attributes& attributes,
                           const Context& context);
    void taggedValue(const tinyxml2::XMLElement& element, const Attributes& attributes, const Context& context);
    void stereotypeRefs(const tinyxml2::XMLElement& element, const Context& context);
    void extendedElements(const tinyxml2::XMLElement& element, const Context& context);
    void addStereotypeIds(const char* ids, const Context& owner);
    void readExtension(const tinyxml2::XMLElement& extension);

    std::string nameOf(const tinyxml2::XMLElement& element, const Attributes& attributes) const;
};

} // namespace wiredhost

#endif

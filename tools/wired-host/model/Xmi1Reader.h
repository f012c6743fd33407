#ifndef WIREDHOST_MODEL_XMI1READER_H
#define WIREDHOST_MODEL_XMI1READER_H

#include "XmiReader.h"

namespace wiredhost {

// XMI 1.1 and 1.2 with UML 1.3/1.4: <UML:Class> elements, usually inside
// <UML:Namespace.ownedElement> (Umbrello, ArgoUML, Poseidon, MagicDraw,
// Visual Paradigm, Enterprise Architect), or directly inside the model as
// in Umbrello's older files (which may name a class's package in its
// package attribute instead). Dotted tags (UML:ModelElement.stereotype) are
// properties. A class stereotyped «enumeration» or «interface» is none.
class Xmi1Reader : public XmiReader {
public:
    explicit Xmi1Reader(ClassCollector& collector);

protected:
    const char* metaclassOf(const tinyxml2::XMLElement& element, const Attributes& attributes) const override;
    bool isExtension(const char* tag) const override;
};

} // namespace wiredhost

#endif

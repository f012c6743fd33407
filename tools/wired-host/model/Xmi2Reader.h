#ifndef WIREDHOST_MODEL_XMI2READER_H
#define WIREDHOST_MODEL_XMI2READER_H

#include "XmiReader.h"

namespace wiredhost {

// XMI 2.x with UML 2: Eclipse UML2 (Papyrus, Modelio, BOUML), Enterprise
// Architect, MagicDraw... An element's metaclass is its xmi:type
// (<packagedElement xmi:type="uml:Class">) or, without one, its tag in the
// UML namespace (<uml:Model>); with or without the xmi:XMI wrapper.
class Xmi2Reader : public XmiReader {
public:
    using XmiReader::XmiReader;

protected:
    const char* metaclassOf(const tinyxml2::XMLElement& element, const Attributes& attributes) const override;
    bool isExtension(const char* tag) const override;
    // MagicDraw writes an element of a used project as a stub whose
    // extension holds a referenceExtension.
    bool isStub(const tinyxml2::XMLElement& element) const override;
};

} // namespace wiredhost

#endif

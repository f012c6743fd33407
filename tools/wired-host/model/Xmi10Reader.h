#ifndef WIREDHOST_MODEL_XMI10READER_H
#define WIREDHOST_MODEL_XMI10READER_H

#include "Xmi1Reader.h"

namespace wiredhost {

// XMI 1.0: the metamodel's full names as tags (Model_Management.Package,
// Foundation.Core.Class) and names as child elements
// (<Foundation.Core.ModelElement.name>). Otherwise as XMI 1.1.
class Xmi10Reader : public Xmi1Reader {
public:
    using Xmi1Reader::Xmi1Reader;

    // True for a tag of UML 1.x's own packages.
    static bool isUmlTag(const char* tag);

protected:
    const char* metaclassOf(const tinyxml2::XMLElement& element, const Attributes& attributes) const override;
};

} // namespace wiredhost

#endif

#ifndef WIREDHOST_MODEL_STARUMLREADER_H
#define WIREDHOST_MODEL_STARUMLREADER_H

#include "ClassCollector.h"
#include "JsonDocument.h"

namespace wiredhost {

// A StarUML project (.mdj, JSON): classes are objects of "_type"
// "UMLClass" among the ownedElements; packages are "UMLPackage", models
// ("UMLModel") are not part of the path; diagrams and their views are not
// read. A class stereotyped «interface» or «enumeration» is none.
class StarUmlReader {
public:
    using Value = JsonDocument::Value;

    explicit StarUmlReader(ClassCollector& collector) : collector_(collector) {}

    // True for a StarUML project: an object whose "_type" is "Project".
    static bool isProject(const Value& root);

    void read(const Value& root);

private:
    void walk(const Value& value, int package);
    void classObject(const Value& object, int package);

    ClassCollector& collector_;
};

} // namespace wiredhost

#endif

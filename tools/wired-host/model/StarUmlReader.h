#ifndef WIREDHOST_MODEL_STARUMLREADER_H
#define WIREDHOST_MODEL_STARUMLREADER_H

#include "ClassCollector.h"
#include "JsonValue.h"

namespace wiredhost {

// A StarUML project (.mdj, JSON): classes are objects of "_type"
// "UMLClass" among the ownedElements; packages are "UMLPackage", models
// ("UMLModel") are not part of the path; diagrams and their views are not
// read. A class stereotyped «interface» or «enumeration» is none.
class StarUmlReader {
public:
    explicit StarUmlReader(ClassCollector& collector) : collector_(collector) {}

    // True for a StarUML project: an object whose "_type" is "Project".
    static bool isProject(const JsonValue& root);

    void read(const JsonValue& root);

private:
    void walk(const JsonValue& value, int package);
    void classObject(const JsonValue& object, int package);

    ClassCollector& collector_;
};

} // namespace wiredhost

#endif

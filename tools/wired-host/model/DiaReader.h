#ifndef WIREDHOST_MODEL_DIAREADER_H
#define WIREDHOST_MODEL_DIAREADER_H

#include <string>

#include <tinyxml2.h>

#include "ClassCollector.h"

namespace wiredhost {

// A Dia diagram (.dia, plain or gzip): classes are "UML - Class" objects;
// a class is in a package ("UML - LargePackage", "UML - SmallPackage")
// only through an explicit parent link (<dia:childnode parent="O1"/>),
// never because it is drawn inside one. A class stereotyped «interface» or
// «enumeration» is none.
class DiaReader {
public:
    explicit DiaReader(ClassCollector& collector) : collector_(collector) {}

    void read(const tinyxml2::XMLElement& root);

private:
    ClassCollector& collector_;
};

} // namespace wiredhost

#endif

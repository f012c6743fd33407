#ifndef WIREDHOST_MODEL_OWNMODELREADER_H
#define WIREDHOST_MODEL_OWNMODELREADER_H

#include <cstddef>
#include <string>

#include <tinyxml2.h>

namespace wiredhost {

class Model;

// wired-host's own small model file:
//   <Model>
//     <Table name="Order_Item"/>
//     <Package name="com"><Package name="shop"><Class name="OrderItem"/></Package></Package>
//   </Model>
class OwnModelReader {
public:
    OwnModelReader(Model& model, const std::string& path) : model_(model), path_(path) {}

    // False with a "FILE:LINE: what" message.
    bool read(const tinyxml2::XMLElement& root, std::string& error);

private:
    bool readMember(const tinyxml2::XMLElement& element, const std::string& package, std::string& error);
    bool nameOf(const tinyxml2::XMLElement& element, std::string& name, std::string& error) const;
    std::string at(int line) const;
    bool countPath(const tinyxml2::XMLElement& element, std::size_t bytes, std::string& error);

    Model& model_;
    const std::string& path_;
    std::size_t pathBytes_ = 0;
};

} // namespace wiredhost

#endif

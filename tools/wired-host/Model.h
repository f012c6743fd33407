#ifndef WIREDHOST_MODEL_H
#define WIREDHOST_MODEL_H

#include <set>
#include <string>
#include <vector>

namespace wiredhost {

// A class of the model with its dotted package path.
struct ModelClass {
    std::string name;
    std::string package;
};

// The model a host would hold, read from a small XML file:
//   <Model>
//     <Table name="Order_Item"/>
//     <Package name="com"><Package name="shop"><Class name="OrderItem"/></Package></Package>
//   </Model>
class Model {
public:
    // False with a "FILE:LINE: what" message in error when the file is
    // missing or not a model.
    bool load(const std::string& path, std::string& error);

    void addTable(const std::string& name);
    void addClass(const std::string& name, const std::string& package);

    bool hasTable(const std::string& name) const;
    bool hasClass(const std::string& name) const;

    const std::vector<ModelClass>& classes() const { return classes_; }

private:
    std::set<std::string> tables_;
    std::vector<ModelClass> classes_;
};

} // namespace wiredhost

#endif

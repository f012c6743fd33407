#ifndef WIREDHOST_MODELNODE_H
#define WIREDHOST_MODELNODE_H

#include <string>
#include <string_view>
#include <vector>

#include "kavri/INode.h"

namespace wiredhost {

class Model;

// A node handed to the plug-in: the model (type 5) whose traversal walks a
// class's packages and then the class (kind 24). It remembers what the
// plug-in asked, so the host can tell what became of the class.
class ModelNode final : public kavri::INode {
public:
    static const int kModelType = 5;
    static const int kClassKind = 24;
    static const int kPackageKind = 2;
    static const int kModelKind = 1;

    // The name and the package are views of the class's name and path,
    // which outlive its nodes: a package node's path is the front of it, so
    // a path of many levels costs one string, not a copy per level.
    ModelNode(int kind, std::string_view name, std::string_view package, const Model* model);

    // Nodes that traverse visits, in order; not owned.
    std::vector<ModelNode*> visits;

    bool packageAsked = false;
    bool nameAsked = false;
    bool tableAsked = false;
    std::string tableName;
    int tableAnswer = 0;

    std::string getName() override;
    int traverse(kavri::NodeVisitor visitor) override;
    int getKind() override;
    std::string getPackage() override;
    int getType() override;
    // > 0 when the model has a table of exactly that name (or there is no
    // model), < 0 otherwise.
    int setTable(const char* tableName) override;

private:
    int kind_;
    std::string_view name_;
    std::string_view package_;
    const Model* model_;
};

} // namespace wiredhost

#endif

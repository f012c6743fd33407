#include "ModelNode.h"

#include "model/Model.h"

namespace wiredhost {

ModelNode::ModelNode(int kind, std::string_view name, std::string_view package, const Model* model)
    : kind_(kind), name_(name), package_(package), model_(model)
{
}

std::string ModelNode::getName()
{
    nameAsked = true;
    return std::string(name_);
}

int ModelNode::traverse(kavri::NodeVisitor visitor)
{
    int visited = 0;
    for (ModelNode* node : visits) {
        visitor(node);
        ++visited;
    }
    return visited;
}

int ModelNode::getKind()
{
    return kind_;
}

std::string ModelNode::getPackage()
{
    packageAsked = true;
    return std::string(package_);
}

int ModelNode::getType()
{
    return kind_ == kModelKind ? kModelType : 0;
}

int ModelNode::setTable(const char* name)
{
    tableAsked = true;
    tableName = name;
    // Without a model every table is taken: that is the naming preview.
    tableAnswer = model_ == nullptr || model_->hasTable(tableName) ? 1 : -1;
    return tableAnswer;
}

} // namespace wiredhost

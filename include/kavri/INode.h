#ifndef KAVRI_INODE_H
#define KAVRI_INODE_H

#include <string>

#include "NodeVisitor.h"

namespace kavri {

// A node of the host's model, implemented by the host. The slot order is
// part of the binary contract: never reorder, insert or remove operations.
// There is deliberately no destructor: the plug-in never deletes a node.
struct INode {
    virtual std::string getName() = 0;
    // Calls the visitor for the nodes the host walks; the result is the host's.
    virtual int traverse(NodeVisitor visitor) = 0;
    // 24 marks a class node.
    virtual int getKind() = 0;
    // Dotted package path, such as "com.shop.model".
    virtual std::string getPackage() = 0;
    // 5 is the only type the converter accepts.
    virtual int getType() = 0;
    // > 0 table set, < 0 no such table, 0 nothing done.
    virtual int setTable(const char* tableName) = 0;
};

} // namespace kavri

#endif

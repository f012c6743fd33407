#ifndef KAVRI_NODEVISITOR_H
#define KAVRI_NODEVISITOR_H

#include <functional>

namespace kavri {

struct INode;

// Called by the host for each node its traversal visits; answers 0.
// Crosses the plug-in boundary by value, so host and plug-in must share
// one C++ runtime.
using NodeVisitor = std::function<int(INode*)>;

} // namespace kavri

#endif

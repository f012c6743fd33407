#ifndef WIREDCLSTAB_E2E_MODEL_H
#define WIREDCLSTAB_E2E_MODEL_H

#include <initializer_list>

#include "FakeNode.h"

namespace e2e {

// A model node that convert accepts (type 5, not a class node itself); its
// traversal visits the given nodes in order.
class Model : public kavri_test::FakeNode {
public:
    Model(std::initializer_list<kavri_test::FakeNode*> nodes)
    {
        name = "model";
        kind = 0;
        type = 5;
        children.assign(nodes.begin(), nodes.end());
    }
};

} // namespace e2e

#endif

#ifndef WIREDCLSTAB_TESTS_FAKENODE_H
#define WIREDCLSTAB_TESTS_FAKENODE_H

#include <functional>
#include <string>
#include <vector>

#include "kavri/INode.h"

namespace kavri_test {

// A model node that records the operations called on it, in order. Its
// traversal calls the visitor with each child in turn and answers
// traverseAnswer. A hook may throw to test exception propagation.
class FakeNode : public kavri::INode {
public:
    std::string name;
    std::string package;
    int kind = 24;
    int type = 5;
    int setTableAnswer = 1;
    int traverseAnswer = 0;
    std::vector<kavri::INode*> children;
    std::function<void(const char* operation)> beforeCall;

    std::vector<std::string> calls;
    std::vector<std::string> tablesSet;
    std::vector<int> visitorResults;

    FakeNode() = default;
    FakeNode(std::string n, std::string p = "", int k = 24) : name(std::move(n)), package(std::move(p)), kind(k) {}

    std::string getName() override
    {
        record("getName");
        return name;
    }

    int traverse(kavri::NodeVisitor visitor) override
    {
        record("traverse");
        for (kavri::INode* child : children)
            visitorResults.push_back(visitor(child));
        return traverseAnswer;
    }

    int getKind() override
    {
        record("getKind");
        return kind;
    }

    std::string getPackage() override
    {
        record("getPackage");
        return package;
    }

    int getType() override
    {
        record("getType");
        return type;
    }

    int setTable(const char* tableName) override
    {
        record("setTable");
        tablesSet.push_back(tableName);
        return setTableAnswer;
    }

    int count(const std::string& operation) const
    {
        int n = 0;
        for (const auto& c : calls)
            n += c == operation;
        return n;
    }

private:
    void record(const char* operation)
    {
        calls.push_back(operation);
        if (beforeCall)
            beforeCall(operation);
    }
};

} // namespace kavri_test

#endif

#ifndef WIREDCLSTAB_HARDENING_QUIETDOUBLES_H
#define WIREDCLSTAB_HARDENING_QUIETDOUBLES_H

#include <string>

#include "kavri/IHost.h"
#include "kavri/INode.h"

namespace hardening {

// Host and nodes for long runs: they count instead of recording, so that the
// test doubles themselves do not grow while the plug-in's memory is measured.
class QuietHost : public kavri::IHost {
public:
    long logs = 0;
    long links = 0;
    std::string lastDetail;

    std::string getLanguage() override { return "English"; }
    void log(const char*, const char* detail, const char*, int) override
    {
        ++logs;
        lastDetail.assign(detail); // fits the capacity after the first call
    }
    int registerLink(const char*, const char*) override
    {
        ++links;
        return 1;
    }
};

// A class node that checks every table name it is given.
class QuietClassNode : public kavri::INode {
public:
    QuietClassNode(std::string name, std::string package, std::string expected)
        : name_(std::move(name)), package_(std::move(package)), expected_(std::move(expected)) {}

    long tablesSet = 0;
    long wrongTables = 0;

    std::string getName() override { return name_; }
    int traverse(kavri::NodeVisitor) override { return 0; }
    int getKind() override { return 24; }
    std::string getPackage() override { return package_; }
    int getType() override { return 0; }
    int setTable(const char* table) override
    {
        ++tablesSet;
        wrongTables += expected_ != table;
        return 1;
    }

private:
    std::string name_, package_, expected_;
};

// A model whose traversal visits one other node, then one class node.
class QuietModel : public kavri::INode {
public:
    explicit QuietModel(kavri::INode* classNode) : classNode_(classNode) {}

    std::string getName() override { return "model"; }
    int traverse(kavri::NodeVisitor visitor) override
    {
        visitor(this);
        visitor(classNode_);
        return 7;
    }
    int getKind() override { return 1; }
    std::string getPackage() override { return ""; }
    int getType() override { return 5; }
    int setTable(const char*) override { return 0; }

private:
    kavri::INode* classNode_;
};

} // namespace hardening

#endif

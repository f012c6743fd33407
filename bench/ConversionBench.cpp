// A whole reset + convert cycle through the built library, against the
// floor of the host-side calls that such a cycle cannot do without.
#include <string>

#include <benchmark/benchmark.h>

#include "PluginCopy.h"

namespace {

class BenchHost : public kavri::IHost {
public:
    std::string getLanguage() override { return "English"; }
    void log(const char*, const char*, const char*, int) override {}
    int registerLink(const char*, const char*) override { return 1; }
};

class ClassNode : public kavri::INode {
public:
    std::string getName() override { return "TbPurchaseOrderLine"; }
    int traverse(kavri::NodeVisitor) override { return 0; }
    int getKind() override { return 24; }
    std::string getPackage() override { return "com.shop.model"; }
    int getType() override { return 0; }
    int setTable(const char* table) override { return table[0] != '\0'; }
};

// The model: its traversal visits itself, then the class node.
class Model : public kavri::INode {
public:
    kavri::INode* classNode;
    std::string getName() override { return "model"; }
    int traverse(kavri::NodeVisitor visitor) override
    {
        visitor(this);
        visitor(classNode);
        return 1;
    }
    int getKind() override { return 1; }
    std::string getPackage() override { return ""; }
    int getType() override { return 5; }
    int setTable(const char*) override { return 0; }
};

void BM_ResetConvert(benchmark::State& state)
{
    static kavri_test::PluginCopy plugin(
        "<Wired><Package code=\"billing\"/><Package code=\"model\"/><Leader code=\"Shop\"/><Leader code=\"Tb\"/></Wired>");
    BenchHost host;
    kavri::IConvert* converter = plugin.registConvert(host);
    ClassNode classNode;
    Model model;
    model.classNode = &classNode;
    for (auto _ : state) {
        converter->reset();
        benchmark::DoNotOptimize(converter->convert(&model));
    }
}
BENCHMARK(BM_ResetConvert);

// The same node and host calls, made directly: type, traversal with a visitor
// that does nothing, the kind of each node the traversal visits (the model
// and the class), package, name, setTable and the log.
void BM_HostCallsOfACycle(benchmark::State& state)
{
    BenchHost host;
    ClassNode classNode;
    Model model;
    model.classNode = &classNode;
    kavri::INode* node = &model;
    kavri::INode* cls = &classNode;
    kavri::IHost* service = &host;
    // As opaque to the compiler as the host's objects are to the plug-in:
    // no call may be resolved at compile time.
    benchmark::DoNotOptimize(node);
    benchmark::DoNotOptimize(cls);
    benchmark::DoNotOptimize(service);
    for (auto _ : state) {
        int answer = node->getType();
        answer += node->traverse(kavri::NodeVisitor([](kavri::INode*) { return 0; }));
        answer += node->getKind();
        answer += cls->getKind();
        std::string package = cls->getPackage();
        std::string name = cls->getName();
        answer += cls->setTable(name.c_str());
        service->log("Table is set.", name.c_str(), "wiredClsTab\\KavriWired", 92);
        benchmark::DoNotOptimize(answer);
        benchmark::DoNotOptimize(package);
    }
}
BENCHMARK(BM_HostCallsOfACycle);

} // namespace

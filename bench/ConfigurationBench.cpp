// Creating a converter from configurations of 1,000 and 100,000 entries,
// against the floor of tinyxml2 loading and walking the same file.
#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <tinyxml2.h>

#include "PluginCopy.h"

namespace {

// The converters made here are never freed, by design, so every creation
// also takes fresh memory from the system, and the kernel's first touch of
// it would count against the plug-in while the floor reuses the same warm
// blocks run after run. Like a host whose heap has been in use, the process
// starts with 1 GiB touched and kept: freed memory stays in the process and
// both sides work on warm memory. docs/performance.md gives the cold figure.
const bool warmHeap = [] {
    if (std::getenv("WIREDCLSTAB_BENCH_COLD_HEAP") != nullptr)
        return false;
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 2047 * 1024 * 1024);
    std::vector<void*> blocks(1024);
    for (void*& block : blocks) {
        block = std::malloc(1 << 20);
        std::memset(block, 1, 1 << 20);
    }
    for (void* block : blocks)
        std::free(block);
    return true;
}();

class BenchHost : public kavri::IHost {
public:
    std::string getLanguage() override { return "English"; }
    void log(const char*, const char*, const char*, int) override {}
    int registerLink(const char*, const char*) override { return 1; }
};

// Two in five entries are packages, two leaders and one a link.
std::string configOf(int entries)
{
    std::string xml = "<?xml version=\"1.0\"?>\n<Wired>\n";
    for (int i = 0; i < entries; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 5) {
        case 0:
        case 1:
            xml += "  <Package code=\"com.shop.module" + n + "\"/>\n";
            break;
        case 2:
        case 3:
            xml += "  <Leader code=\"Prefix" + n + "\"/>\n";
            break;
        default:
            xml += "  <Link class=\"ShopClass" + n + "\" table=\"SHOP_TABLE_" + n + "\"/>\n";
        }
    }
    return xml + "</Wired>\n";
}

// One plug-in copy per size, with its config.xml beside it.
const kavri_test::PluginCopy& pluginWith(int entries)
{
    static std::map<int, std::unique_ptr<kavri_test::PluginCopy>> plugins;
    auto& plugin = plugins[entries];
    if (!plugin)
        plugin = std::make_unique<kavri_test::PluginCopy>(configOf(entries));
    return *plugin;
}

void BM_LoadAndWalk(benchmark::State& state)
{
    const std::string path = pluginWith(state.range(0)).configPath();
    for (auto _ : state) {
        tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
        document.LoadFile(path.c_str());
        std::size_t seen = 0;
        for (const tinyxml2::XMLElement* e = document.FirstChildElement()->FirstChildElement(); e;
             e = e->NextSiblingElement()) {
            seen += e->Name()[0];
            for (const tinyxml2::XMLAttribute* a = e->FirstAttribute(); a; a = a->Next())
                seen += a->Name()[0] + a->Value()[0];
        }
        benchmark::DoNotOptimize(seen);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
// A fixed number of runs, so that the converters kept by the runs of all
// repetitions fit in the warm heap (about 60 MB and 200 MB).
BENCHMARK(BM_LoadAndWalk)->Arg(1000)->Iterations(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadAndWalk)->Arg(100000)->Iterations(10)->Unit(benchmark::kMicrosecond);

// Converters are never freed, by design; the run's memory grows with them.
void BM_RegistConvert(benchmark::State& state)
{
    const kavri_test::PluginCopy& plugin = pluginWith(state.range(0));
    BenchHost host;
    for (auto _ : state)
        benchmark::DoNotOptimize(plugin.registConvert(host));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RegistConvert)->Arg(1000)->Iterations(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RegistConvert)->Arg(100000)->Iterations(10)->Unit(benchmark::kMicrosecond);

} // namespace

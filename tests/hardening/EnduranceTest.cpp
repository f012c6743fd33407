#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "KavriWired.h"
#include "PluginCopy.h"
#include "ProcessUsage.h"
#include "QuietDoubles.h"

using hostkit::PluginInstance;
using kavri_test::PluginCopy;
using hardening::ProcessUsage;
using hardening::QuietClassNode;
using hardening::QuietHost;
using hardening::QuietModel;

namespace {

// 40 package codes, 40 leader codes and 20 links; every fourth code is too
// long for a short string, so the converter's own heap blocks are of both kinds.
std::string hundredEntryConfig()
{
    std::string xml = "<?xml version=\"1.0\"?>\n<Wired>\n";
    for (int i = 0; i < 40; ++i) {
        const std::string tail = i % 4 == 0 ? "_with_a_longer_suffix_" + std::to_string(i) : std::to_string(i);
        xml += "  <Package code=\"pkg" + tail + "\"/>\n";
        xml += "  <Leader code=\"L" + tail + "\"/>\n";
        if (i % 2 == 0)
            xml += "  <Link class=\"Class" + std::to_string(i) + "\" table=\"TABLE_" + std::to_string(i) + "\"/>\n";
    }
    return xml + "</Wired>\n";
}

// The heap blocks a converter owns: the object, its two list buffers and
// every code too long for a short string. bytes is what was asked for,
// cost what the allocator hands out for it.
struct ConverterFootprint {
    std::size_t bytes = 0;
    std::size_t cost = 0;
    std::size_t blocks = 0;
    std::size_t packageCodes = 0;
    std::size_t leaderCodes = 0;
};

std::size_t allocatorCost(std::size_t bytes)
{
#if defined(__SANITIZE_ADDRESS__) || defined(_WIN32)
    return bytes; // the sanitizer, and a Windows heap walk, count the bytes asked for
#else
    // glibc on 64 bits: an 8-byte header, rounded up to 16, 32 at least.
    const std::size_t chunk = (bytes + 8 + 15) & ~std::size_t(15);
    return chunk < 32 ? 32 : chunk;
#endif
}

// The plug-in's classes are private to it, so the sanitizer's type check of
// this cast could not see their type information: it is left out here.
__attribute__((no_sanitize_undefined)) ConverterFootprint footprintOf(kavri::IConvert* converter)
{
    const auto* wired = static_cast<const kavri::KavriWired*>(converter);
    ConverterFootprint footprint;
    footprint.packageCodes = wired->packageCodes.size();
    footprint.leaderCodes = wired->leaderCodes.size();
    auto add = [&](std::size_t bytes) {
        footprint.bytes += bytes;
        footprint.cost += allocatorCost(bytes);
        ++footprint.blocks;
    };
    add(sizeof(kavri::KavriWired));
    for (const auto* codes : {&wired->packageCodes, &wired->leaderCodes}) {
        if (codes->endsCapacity() > 0)
            add(codes->endsCapacity());
        if (codes->textCapacity() > 0)
            add(codes->textCapacity());
    }
    return footprint;
}

TEST(Endurance, AMillionResetAndConvertCyclesOnOneConverterLeaveNothingBehind)
{
    PluginCopy plugin("<Wired><Package code=\"model\"/><Leader code=\"TB\"/></Wired>");
    QuietHost host;
    kavri::IConvert* converter = plugin.create(host).converter;
    QuietClassNode classNode("TBPurchaseOrderLineItem", "com.shop.model", "Purchase_Order_Line_Item");
    QuietModel model(&classNode);
    for (int i = 0; i < 100; ++i) {
        converter->reset();
        converter->convert(&model);
    }

    const ProcessUsage before = ProcessUsage::now();
    const long cycles = 1000000;
    long wrongResults = 0;
    for (long i = 0; i < cycles; ++i) {
        wrongResults += converter->reset() != 0;
        wrongResults += converter->convert(&model) != 7;
    }
    const ProcessUsage after = ProcessUsage::now();

    EXPECT_EQ(0, wrongResults);
    EXPECT_EQ(cycles + 100, classNode.tablesSet);
    EXPECT_EQ(0, classNode.wrongTables);
    EXPECT_EQ(cycles + 100, host.logs);
    EXPECT_EQ(before.heapBytes, after.heapBytes);
    EXPECT_EQ(before.openFiles, after.openFiles);
    EXPECT_EQ(before.threads, after.threads);
}

TEST(Endurance, TenThousandConvertersGrowMemoryByTheConvertersAlone)
{
    PluginCopy plugin(hundredEntryConfig());
    QuietHost host;
    for (int i = 0; i < 10; ++i)
        plugin.create(host).converter;
    // Kept in a list made beforehand, so that only the plug-in allocates
    // while measuring.
    const int count = 10000;
    std::vector<kavri::IConvert*> made(count);

    const ProcessUsage before = ProcessUsage::now();
    for (int i = 0; i < count; ++i)
        made[i] = plugin.registConvert(host);
    const ProcessUsage after = ProcessUsage::now();
    for (kavri::IConvert* converter : made)
        PluginInstance::keep(converter);

    EXPECT_EQ(20L * (count + 10), host.links);
    const ConverterFootprint own = footprintOf(made.back());
    EXPECT_EQ(40u, own.packageCodes);
    EXPECT_EQ(40u, own.leaderCodes);

    const double perConverter = double(after.heapBytes - before.heapBytes) / count;
    // A few bytes of slack for the allocator's own bookkeeping, spread over
    // all converters; a leak of even one block per converter is more.
    const double allowed = own.cost + 8.0;
    std::printf("heap per converter: %.1f bytes (its own %zu blocks: %zu bytes asked, %zu bytes allocated)\n",
                perConverter, own.blocks, own.bytes, own.cost);
    RecordProperty("bytesPerConverter", std::to_string(perConverter));
    EXPECT_GE(perConverter, double(own.bytes));
    EXPECT_LE(perConverter, allowed);
    EXPECT_EQ(before.openFiles, after.openFiles);
    EXPECT_EQ(before.threads, after.threads);
}

} // namespace

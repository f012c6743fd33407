// Table-name derivation: typical class names against the floor of copying
// them, and "aBaB..." names whose every second byte is a seam, beside the
// in-place insertion that would make them quadratic.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "KavriNaming.h"
#include "platform/Platform.h"

namespace {

// 8 to 40 bytes, with and without leaders and seams.
const std::vector<std::string>& typicalNames()
{
    static const std::vector<std::string> names = {
        "Customer", "OrderItem", "URLParser", "orderItemID", "newSKUPrice", "ShopOrderItem",
        "TbPurchaseOrder", "CustomerAddressLine", "InvoiceLineDetail", "payment_transaction",
        "PaymentTransactionRecord", "ShopCustomerLoyaltyAccount", "TbWarehouseInventoryAdjustment",
        "ShopCustomerLoyaltyAccountBalanceHistory"};
    return names;
}

const kavri::KavriCodes kLeaders = {"Shop", "Tb"};
const kavri::KavriCodes kNoCodes;

void BM_CopyNameTypical(benchmark::State& state)
{
    for (auto _ : state) {
        for (const std::string& name : typicalNames()) {
            std::string copy(name);
            benchmark::DoNotOptimize(copy);
        }
    }
    state.SetItemsProcessed(state.iterations() * typicalNames().size());
}
BENCHMARK(BM_CopyNameTypical);

void BM_TableNameTypical(benchmark::State& state)
{
    const kavri::KavriNaming naming(kNoCodes, kLeaders, kavri::platform::isLeadByte);
    for (auto _ : state) {
        for (const std::string& name : typicalNames()) {
            kavri::KavriNaming::TableName table;
            naming.derive(name, table);
            benchmark::DoNotOptimize(table.c_str());
        }
    }
    state.SetItemsProcessed(state.iterations() * typicalNames().size());
}
BENCHMARK(BM_TableNameTypical);

std::string alternating(std::size_t size)
{
    std::string text(size, 'a');
    for (std::size_t i = 1; i < size; i += 2)
        text[i] = 'B';
    return text;
}

void BM_CopyAlternating(benchmark::State& state)
{
    const std::string name = alternating(state.range(0));
    for (auto _ : state) {
        std::string copy(name);
        benchmark::DoNotOptimize(copy);
    }
    state.SetBytesProcessed(state.iterations() * name.size());
}
BENCHMARK(BM_CopyAlternating)->Arg(1 << 10)->Arg(1 << 16)->Arg(1 << 20);

void BM_TableNameAlternating(benchmark::State& state)
{
    const std::string name = alternating(state.range(0));
    const kavri::KavriNaming naming(kNoCodes, kNoCodes, kavri::platform::isLeadByte);
    for (auto _ : state) {
        kavri::KavriNaming::TableName table;
        naming.derive(name, table);
        benchmark::DoNotOptimize(table.c_str());
    }
    state.SetBytesProcessed(state.iterations() * name.size());
}
BENCHMARK(BM_TableNameAlternating)->Arg(1 << 10)->Arg(1 << 16)->Arg(1 << 20);

// For comparison only: an underscore inserted into the text in place at each
// seam moves the rest of the text every time, so the time grows with the
// square of the length (about 1.5 s for one run at 1 MiB).
void BM_InPlaceInsertion(benchmark::State& state)
{
    const std::string name = alternating(state.range(0));
    for (auto _ : state) {
        std::string table = name;
        for (std::size_t i = 1; i < table.size();) {
            if (table[i] >= 'A' && table[i] <= 'Z' && table[i - 1] >= 'a' && table[i - 1] <= 'z') {
                table.insert(i, 1, '_');
                i += 3;
            } else {
                ++i;
            }
        }
        benchmark::DoNotOptimize(table);
    }
    state.SetBytesProcessed(state.iterations() * name.size());
}
BENCHMARK(BM_InPlaceInsertion)->Arg(1 << 10)->Arg(1 << 16)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);

} // namespace

#include "KavriWired.h"

#include <functional>

#include "KavriNaming.h"
#include "kavri/LogRecords.h"
#include "platform/Platform.h"

namespace kavri {

namespace {

const int kClassKind = 24;
const int kModelType = 5;

} // namespace

KavriWired::KavriWired(IHost* service)
{
    host = service;
    handledCount = 0;
    loadConfig();
}

int KavriWired::reserved1(std::int32_t) { return 0; }
int KavriWired::reserved3(std::int32_t) { return 0; }
int KavriWired::reserved5() { return 0; }
int KavriWired::reserved6() { return 0; }
int KavriWired::reserved7(std::int32_t, std::int32_t) { return 0; }
int KavriWired::reserved8() { return 0; }
int KavriWired::reserved9() { return 0; }
int KavriWired::reserved10() { return 0; }

int KavriWired::reset()
{
    handledCount = 0;
    return 0;
}

int KavriWired::convert(INode* node)
{
    if (handledCount != 0)
        return 0;
    if (node->getType() != kModelType)
        return 0;
    // Only the converter is bound; the closure fits inside the wrapper, so
    // neither it nor the host's copy needs the heap.
    NodeVisitor visitor = [this](INode* visited) { return onNode(visited); };
    return node->traverse(visitor);
}

int KavriWired::onNode(INode* node)
{
    if (handledCount != 0)
        return 0;
    if (node->getKind() != kClassKind)
        return 0;
    const KavriNaming naming(packageCodes, leaderCodes, platform::isLeadByte);
    // The first class node spends the converter even when the filter skips it.
    if (naming.filtersPackages() && naming.packageMatch(node->getPackage()) == KavriNaming::kNone) {
        ++handledCount;
        return 0;
    }
    // A typical name is derived on the stack: no heap between the host's
    // answer and its setTable.
    KavriNaming::TableName tableName;
    naming.derive(node->getName(), tableName);
    ++handledCount;
    const int answer = node->setTable(tableName.c_str());
    if (answer > 0)
        host->log("Table is set.", tableName.c_str(), logline::kWiredSource, logline::kTableSet);
    else if (answer < 0)
        host->log("Table is not found.", tableName.c_str(), logline::kWiredSource, logline::kTableNotFound);
    return 0;
}

} // namespace kavri

#include "KavriWired.h"

#include <functional>
#include <type_traits>

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
    // Only the converter is bound. A closure of one pointer that copies as
    // bytes and cannot throw on a move is kept inside the wrapper by both
    // libstdc++ and Microsoft's library, so the visitor takes nothing from
    // the heap. It is made right where the host's by-value parameter lives:
    // no second wrapper to copy into it and destroy after.
    const auto onThis = [this](INode* visited) { return onNode(visited); };
    static_assert(sizeof(onThis) == sizeof(void*) && std::is_trivially_copyable<decltype(onThis)>::value &&
                      std::is_nothrow_move_constructible<decltype(onThis)>::value,
                  "the visitor's closure must fit inside std::function");
    return node->traverse(NodeVisitor(onThis));
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

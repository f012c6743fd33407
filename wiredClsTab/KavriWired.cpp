#include "KavriWired.h"

#include <functional>

namespace kavri {

namespace {

const char kSourceFile[] = "wiredClsTab\\KavriWired";
const int kClassKind = 24;
const int kModelType = 5;

bool isLower(char c)
{
    return c >= 'a' && c <= 'z';
}

bool isUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}

bool endsWith(const std::string& text, const std::string& tail)
{
    return tail.size() <= text.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool startsWith(const std::string& text, const std::string& head)
{
    return head.size() <= text.size() && text.compare(0, head.size(), head) == 0;
}

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
    NodeVisitor visitor = std::bind(&KavriWired::onNode, this, std::placeholders::_1);
    return node->traverse(visitor);
}

int KavriWired::onNode(INode* node)
{
    if (handledCount != 0)
        return 0;
    if (node->getKind() != kClassKind)
        return 0;
    // The first class node spends the converter even when the filter skips it.
    if (!packageCodes.empty() && !packageMatches(node->getPackage(), packageCodes)) {
        ++handledCount;
        return 0;
    }
    const std::string tableName = tableNameFor(node->getName(), leaderCodes);
    ++handledCount;
    const int answer = node->setTable(tableName.c_str());
    if (answer > 0)
        host->log("Table is set.", tableName.c_str(), kSourceFile, 92);
    else if (answer < 0)
        host->log("Table is not found.", tableName.c_str(), kSourceFile, 93);
    return 0;
}

bool KavriWired::packageMatches(const std::string& packagePath, const std::vector<std::string>& codes)
{
    for (const std::string& code : codes) {
        if (!endsWith(packagePath, code))
            continue;
        const std::size_t rest = packagePath.size() - code.size();
        if (rest == 0 || packagePath[rest - 1] == '.')
            return true;
    }
    return false;
}

std::string KavriWired::tableNameFor(const std::string& name, const std::vector<std::string>& leaders)
{
    std::size_t start = 0;
    for (const std::string& leader : leaders) {
        if (startsWith(name, leader)) {
            start = leader.size();
            break;
        }
    }
    // One pass that copies and inserts, so a huge name costs linear time.
    std::string table;
    table.reserve(name.size() - start + (name.size() - start) / 2);
    for (std::size_t i = start; i < name.size(); ++i) {
        if (i > start && isUpper(name[i]) && isLower(name[i - 1]))
            table += '_';
        table += name[i];
    }
    return table;
}

} // namespace kavri

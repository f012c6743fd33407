// Arbitrary class name, package path, package codes and leader codes, given
// one per line: the name, the path, then "P<code>" and "L<code>" lines. The
// derivation is checked against a plain reference of its rules, both as the
// static helpers and through a conversion with a recording node and host.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "KavriNaming.h"
#include "KavriWired.h"
#include "platform/Platform.h"
#include "FakeNode.h"
#include "RecordingHost.h"

using kavri_test::FakeNode;
using kavri_test::LogRecord;
using kavri_test::RecordingHost;
using Codes = std::vector<std::string>;

namespace {

struct Input {
    std::string name, package;
    Codes packageCodes, leaderCodes;
};

Input split(const uint8_t* data, size_t size)
{
    Input input;
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            lines.emplace_back();
        else
            lines.back() += static_cast<char>(data[i]);
    }
    input.name = lines[0];
    if (lines.size() > 1)
        input.package = lines[1];
    for (size_t i = 2; i < lines.size(); ++i) {
        // The configuration never stores an empty code.
        if (lines[i].size() < 2)
            continue;
        if (lines[i][0] == 'P')
            input.packageCodes.push_back(lines[i].substr(1));
        else if (lines[i][0] == 'L')
            input.leaderCodes.push_back(lines[i].substr(1));
    }
    return input;
}

// The rules written out as directly as they read.
bool referenceMatches(const std::string& path, const Codes& codes)
{
    for (const std::string& code : codes) {
        const size_t n = code.size(), length = path.size();
        if (n > length || path.substr(length - n) != code)
            continue;
        if (n == length || path[length - n - 1] == '.')
            return true;
    }
    return false;
}

bool lower(char c) { return c >= 'a' && c <= 'z'; }
bool upper(char c) { return c >= 'A' && c <= 'Z'; }

std::string referenceTableName(std::string name, const Codes& leaders)
{
    for (const std::string& leader : leaders) {
        if (leader.size() <= name.size() && name.compare(0, leader.size(), leader) == 0) {
            name.erase(0, leader.size());
            break;
        }
    }
    // Insertion in place, moving on three past each inserted underscore.
    size_t i = 1;
    while (i < name.size()) {
        if (upper(name[i]) && lower(name[i - 1])) {
            name.insert(i, 1, '_');
            i += 3;
        } else {
            ++i;
        }
    }
    return name;
}

void checkConversion(const Input& input, const std::string& table, bool passes)
{
    RecordingHost host;
    kavri::KavriWired converter(&host); // no module path: a log record, empty lists
    host.logs.clear();
    converter.packageCodes = kavri::KavriCodes(input.packageCodes);
    converter.leaderCodes = kavri::KavriCodes(input.leaderCodes);

    FakeNode model("model", "", 1);
    FakeNode other(input.name, input.package, 23);
    FakeNode classNode(input.name, input.package);
    FakeNode second("Second", input.package);
    classNode.setTableAnswer = static_cast<int>(input.name.size() % 3) - 1;
    model.children = {&other, &classNode, &second};
    model.traverseAnswer = 7;

    FUZZ_CHECK(converter.convert(&model) == 7);
    FUZZ_CHECK(other.calls == std::vector<std::string>{"getKind"});
    FUZZ_CHECK(second.calls.empty());
    FUZZ_CHECK(converter.handledCount == 1);
    std::vector<std::string> calls{"getKind"};
    if (!input.packageCodes.empty())
        calls.push_back("getPackage");
    std::vector<LogRecord> logs;
    if (passes) {
        calls.push_back("getName");
        calls.push_back("setTable");
        FUZZ_CHECK(classNode.tablesSet.size() == 1);
        // What the host sees is the text up to its first NUL.
        FUZZ_CHECK(classNode.tablesSet[0] == std::string(table.c_str()));
        if (classNode.setTableAnswer > 0)
            logs.push_back({"Table is set.", table.c_str(), "wiredClsTab\\KavriWired", 92});
        else if (classNode.setTableAnswer < 0)
            logs.push_back({"Table is not found.", table.c_str(), "wiredClsTab\\KavriWired", 93});
    }
    FUZZ_CHECK(classNode.calls == calls);
    FUZZ_CHECK(host.logs == logs);
    // Spent until reset.
    FUZZ_CHECK(converter.convert(&model) == 0);
    FUZZ_CHECK(model.count("traverse") == 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Input input = split(data, size);
    const bool passes = input.packageCodes.empty() || referenceMatches(input.package, input.packageCodes);
    const kavri::KavriCodes packageCodes(input.packageCodes), leaderCodes(input.leaderCodes);
    const kavri::KavriNaming naming(packageCodes, leaderCodes, kavri::platform::isLeadByte);
    FUZZ_CHECK(naming.passes(input.package) == passes);
    const std::string table = referenceTableName(input.name, input.leaderCodes);
    FUZZ_CHECK(naming.tableNameFor(input.name) == table);
    // The explanation is the derivation's own: the same result, and its
    // underscores are where the table name has an inserted one.
    const kavri::KavriNaming::Explanation why = naming.explain(input.package, input.name);
    FUZZ_CHECK(why.skipped() == !passes);
    if (passes) {
        FUZZ_CHECK(why.tableName == table);
        FUZZ_CHECK(why.withoutLeader.size() + why.underscores.size() == table.size());
        for (const size_t at : why.underscores)
            FUZZ_CHECK(at < table.size() && table[at] == '_');
    }
    checkConversion(input, table, passes);
    return 0;
}

#include "KavriWired.h"

#include <cstring>
#include <functional>

#include "kavri/LogRecords.h"
#include "platform/Platform.h"

namespace kavri {

namespace {

const int kClassKind = 24;
const int kModelType = 5;
// Names up to this long are built in a buffer on the stack.
const std::size_t kShortName = 64;

// A lower-case letter followed by an upper-case one. Written without
// branches so the scan over long names stays cheap.
bool isSeam(char before, char c)
{
    return (static_cast<unsigned char>(before - 'a') < 26) & (static_cast<unsigned char>(c - 'A') < 26);
}

// Does a double-byte character of the host's code page start at text[i]?
// Only bytes from 0x80 up can begin one, so ASCII never asks the platform.
bool startsDoubleByte(const char* text, std::size_t i, std::size_t length)
{
    return static_cast<unsigned char>(text[i]) >= 0x80 && i + 1 < length && platform::isLeadByte(text[i]);
}

// Any byte from 0x80 up? Written to run over the whole name without a
// branch, which keeps it a small part of the work.
bool anyHighByte(const char* text, std::size_t length)
{
    unsigned char bits = 0;
    for (std::size_t i = 0; i < length; ++i)
        bits |= static_cast<unsigned char>(text[i]);
    return (bits & 0x80) != 0;
}

// Copies text to out with '_' before every seam, or only counts the seams
// when out is null. A double-byte character is taken whole and is no letter:
// its second byte may look like a lower-case one, but "條Code" has no seam.
// The first byte never gets an underscore.
std::size_t seams(const char* text, std::size_t length, char* out)
{
    std::size_t found = 0;
    if (length == 0)
        return 0;
    if (!anyHighByte(text, length)) {
        // ASCII alone, the common case: each pair of bytes is tested as it
        // stands, without a branch.
        if (out == nullptr) {
            for (std::size_t i = 1; i < length; ++i)
                found += isSeam(text[i - 1], text[i]);
            return found;
        }
        *out++ = text[0];
        for (std::size_t i = 1; i < length; ++i) {
            // The underscore is always written and kept only at a seam.
            const bool seam = isSeam(text[i - 1], text[i]);
            found += seam;
            *out = '_';
            out += seam;
            *out++ = text[i];
        }
        return found;
    }
    char before = '\0';
    for (std::size_t i = 0; i < length; ++i) {
        if (startsDoubleByte(text, i, length)) {
            if (out != nullptr) {
                *out++ = text[i];
                *out++ = text[i + 1];
            }
            ++i;
            before = '\0';
            continue;
        }
        const bool seam = isSeam(before, text[i]);
        found += seam;
        if (out != nullptr) {
            // The underscore is always written and kept only at a seam.
            *out = '_';
            out += seam;
            *out++ = text[i];
        }
        before = text[i];
    }
    return found;
}

bool endsWith(const std::string& text, const std::string& tail)
{
    return tail.size() <= text.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The first byte alone settles most leaders, without a call to memcmp.
bool startsWith(const std::string& text, const std::string& head)
{
    return head.size() <= text.size() && (head.empty() || text[0] == head[0]) &&
           std::memcmp(text.data(), head.data(), head.size()) == 0;
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
    // The first class node spends the converter even when the filter skips it.
    if (!packageCodes.empty() && !packageMatches(node->getPackage(), packageCodes)) {
        ++handledCount;
        return 0;
    }
    const std::string tableName = tableNameFor(node->getName(), leaderCodes);
    ++handledCount;
    const int answer = node->setTable(tableName.c_str());
    if (answer > 0)
        host->log("Table is set.", tableName.c_str(), logline::kWiredSource, logline::kTableSet);
    else if (answer < 0)
        host->log("Table is not found.", tableName.c_str(), logline::kWiredSource, logline::kTableNotFound);
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
    const char* text = name.data() + start;
    const std::size_t length = name.size() - start;
    // A typical name is built on the stack and copied out once. A long one is
    // counted first, then built in place at its final size. Either way one
    // linear pass, however many seams the name has.
    if (length <= kShortName) {
        char buffer[kShortName + kShortName / 2];
        return std::string(buffer, length + seams(text, length, buffer));
    }
    std::string table(length + seams(text, length, nullptr), '\0');
    seams(text, length, &table[0]);
    return table;
}

} // namespace kavri

#include "JsonDocument.h"

#include <cstdlib>

#include "Encoding.h"

namespace wiredhost {

namespace {

struct TooDeep {};

// The code unit of a \uXXXX escape starting at at, or -1.
long escapedUnit(const std::string& text, std::size_t at)
{
    if (text.compare(at, 2, "\\u") != 0 || at + 6 > text.size())
        return -1;
    long unit = 0;
    for (std::size_t i = at + 2; i < at + 6; ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return -1;
        unit = unit * 16 + digit;
    }
    return unit;
}

bool isHigh(long unit)
{
    return unit >= 0xD800 && unit < 0xDC00;
}

bool isLow(long unit)
{
    return unit >= 0xDC00 && unit < 0xE000;
}

bool holdsLoneSurrogateEscapes(const std::string& text)
{
    for (std::size_t at = text.find("\\u"); at != std::string::npos; at = text.find("\\u", at + 2)) {
        const long unit = escapedUnit(text, at);
        if (isHigh(unit) && isLow(escapedUnit(text, at + 6)))
            at += 6;
        else if (isHigh(unit) || isLow(unit))
            return true;
    }
    return false;
}

// "[json.exception.parse_error.101] parse error at line 2, column 3:
// syntax error ..." as "line 2: syntax error ...".
std::string shortMessage(const nlohmann::json::exception& failure, const std::string& text, std::size_t byte)
{
    std::string what = failure.what();
    const std::size_t column = what.find(", column ");
    const std::size_t colon = what.find(": ", column == std::string::npos ? 0 : column);
    if (colon != std::string::npos)
        what = what.substr(colon + 2);
    std::size_t line = 1;
    for (std::size_t i = 0; i + 1 < byte && i < text.size(); ++i)
        line += text[i] == '\n';
    return "line " + std::to_string(line) + ": " + what;
}

} // namespace

bool JsonDocument::needsRepair(const std::string& text)
{
    return !encoding::isValidUtf8(text) || holdsLoneSurrogateEscapes(text);
}

std::string JsonDocument::repaired(const std::string& text)
{
    const bool wellFormed = encoding::isValidUtf8(text);
    const std::string utf8 = wellFormed ? text : encoding::repairedUtf8(text);
    // Escapes mean something only inside strings; a backslash there always
    // starts one, so escaped backslashes are passed over whole.
    std::string out;
    out.reserve(utf8.size());
    bool inString = false;
    for (std::size_t at = 0; at < utf8.size();) {
        const char c = utf8[at];
        if (!inString || c != '\\') {
            if (c == '"')
                inString = !inString;
            out += c;
            ++at;
            continue;
        }
        const long unit = escapedUnit(utf8, at);
        if (isHigh(unit) && isLow(escapedUnit(utf8, at + 6))) {
            out.append(utf8, at, 12);
            at += 12;
        } else if (isHigh(unit) || isLow(unit)) {
            out += "\\ufffd";
            at += 6;
        } else {
            out.append(utf8, at, 2);
            at += 2;
        }
    }
    return out;
}

bool JsonDocument::parse(const std::string& text, Value& document, std::string& error)
{
    std::string fixed;
    if (needsRepair(text))
        fixed = repaired(text);
    const std::string& strict = fixed.empty() ? text : fixed;
    // depth counts the objects and arrays around the one that starts.
    const auto bounded = [](int depth, Value::parse_event_t, Value&) {
        if (depth >= kMaxDepth)
            throw TooDeep();
        return true;
    };
    try {
        document = Value::parse(strict, bounded);
        return true;
    } catch (const Value::parse_error& failure) {
        error = shortMessage(failure, strict, failure.byte);
    } catch (const TooDeep&) {
        error = "nested deeper than " + std::to_string(kMaxDepth) + " objects and arrays";
    }
    document = Value();
    return false;
}

std::string JsonDocument::string(const Value& object, const char* name)
{
    if (!object.is_object())
        return std::string();
    const auto found = object.find(name);
    return found != object.end() && found->is_string() ? found->get_ref<const std::string&>() : std::string();
}

} // namespace wiredhost

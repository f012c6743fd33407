#include "JsonDocument.h"

#include <cstdlib>
#include <vector>

#include "Encoding.h"

namespace wiredhost {

namespace {

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
// syntax error ..." as "line 2: syntax error ...", cut short where it
// quotes a long token (a number of a hundred thousand digits).
std::string shortMessage(const std::string& failure, const std::string& text, std::size_t byte)
{
    std::string what = failure;
    const std::size_t kind = what.find("] ");
    if (kind != std::string::npos && what[0] == '[')
        what.erase(0, kind + 2);
    const std::size_t column = what.find(", column ");
    const std::size_t colon = column == std::string::npos ? std::string::npos : what.find(": ", column);
    if (colon != std::string::npos)
        what.erase(0, colon + 2);
    const std::size_t longest = 120;
    if (what.size() > longest)
        what = what.substr(0, longest) + "...";
    std::size_t line = 1;
    for (std::size_t i = 0; i + 1 < byte && i < text.size(); ++i)
        line += text[i] == '\n';
    return "line " + std::to_string(line) + ": " + what;
}

// nlohmann-json's own reader, bounded in depth and in the members of an
// object, which it keeps in file order by looking through all before each
// new one (an object of 200,000 members took a minute). Its reader with a
// callback (the other way to bound depth) looks through an object's or
// array's members each time one of them ends, which makes an array of a
// hundred thousand objects take seconds and of a million hours. Its
// errors, an unreadable number's included, are kept rather than thrown.
class BoundedReader : public nlohmann::detail::json_sax_dom_parser<JsonDocument::Value> {
public:
    using Base = nlohmann::detail::json_sax_dom_parser<JsonDocument::Value>;
    BoundedReader(JsonDocument::Value& document, std::size_t maxValues, unsigned long long maxComparisons)
        : Base(document, false), maxValues_(maxValues), maxComparisons_(maxComparisons)
    {
    }

    bool start_object(std::size_t elements)
    {
        members_.push_back(0);
        return deeper() && Base::start_object(elements);
    }
    bool null() { return counted() && Base::null(); }
    bool boolean(bool value) { return counted() && Base::boolean(value); }
    bool number_integer(JsonDocument::Value::number_integer_t value) { return counted() && Base::number_integer(value); }
    bool number_unsigned(JsonDocument::Value::number_unsigned_t value) { return counted() && Base::number_unsigned(value); }
    bool number_float(JsonDocument::Value::number_float_t value, const std::string& text)
    {
        return counted() && Base::number_float(value, text);
    }
    bool string(std::string& value) { return counted() && Base::string(value); }
    bool end_object()
    {
        members_.pop_back();
        --depth_;
        return Base::end_object();
    }
    // Checked before the member is added: adding it is what looks through
    // all the members before it.
    // The pairs add up over the document, a long name counting as several
    // (names of one length are compared byte by byte).
    bool key(std::string& name)
    {
        tooWide_ = ++members_.back() > JsonDocument::kMaxMembers;
        comparisons_ += static_cast<unsigned long long>(members_.back() - 1) * (1 + name.size() / 16);
        tooManyPairs_ = comparisons_ > maxComparisons_;
        return !tooWide_ && !tooManyPairs_ && Base::key(name);
    }
    bool start_array(std::size_t elements) { return deeper() && Base::start_array(elements); }
    bool end_array() { --depth_; return Base::end_array(); }
    bool parse_error(std::size_t byte, const std::string&, const nlohmann::detail::exception& failure)
    {
        failure_ = failure.what();
        byte_ = byte;
        return false;
    }

    bool tooDeep() const { return tooDeep_; }
    bool tooMany() const { return values_ > maxValues_; }
    bool tooWide() const { return tooWide_; }
    bool tooManyPairs() const { return tooManyPairs_; }
    const std::string& failure() const { return failure_; }
    std::size_t byte() const { return byte_; }

private:
    bool deeper()
    {
        tooDeep_ = ++depth_ > JsonDocument::kMaxDepth;
        return !tooDeep_ && counted();
    }
    bool counted() { return ++values_ <= maxValues_; }

    int depth_ = 0;
    bool tooDeep_ = false;
    std::size_t maxValues_;
    std::size_t values_ = 0;
    // The members of each object being read, innermost last.
    std::vector<std::size_t> members_;
    bool tooWide_ = false;
    unsigned long long maxComparisons_, comparisons_ = 0;
    bool tooManyPairs_ = false;
    std::string failure_;
    std::size_t byte_ = 0;
};

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

bool JsonDocument::parse(const std::string& text, Value& document, std::string& error, std::size_t maxValues,
                         unsigned long long maxComparisons)
{
    std::string fixed;
    if (needsRepair(text))
        fixed = repaired(text);
    const std::string& strict = fixed.empty() ? text : fixed;
    BoundedReader reader(document, maxValues, maxComparisons);
    if (Value::sax_parse(strict, &reader))
        return true;
    if (reader.tooDeep())
        error = "nested deeper than " + std::to_string(kMaxDepth) + " objects and arrays";
    else if (reader.tooMany())
        error = "more than " + std::to_string(maxValues) +
                " values (wired-host's limit: each costs the JSON reader memory, however short)";
    else if (reader.tooWide())
        error = "an object with more than " + std::to_string(kMaxMembers) +
                " members (the limit of the JSON reader, which checks each member's name against all before it)";
    else if (reader.tooManyPairs())
        error = "objects with so many members that the JSON reader would compare more than " +
                std::to_string(maxComparisons) + " pairs of their names (it checks each member's name against all "
                "before it in its object, a long name as several; wired-host's limit)";
    else
        error = shortMessage(reader.failure(), strict, reader.byte());
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

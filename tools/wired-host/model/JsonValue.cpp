#include "JsonValue.h"

#include <cstring>

namespace wiredhost {

namespace {

// Nesting deeper than this is refused rather than risking the stack.
const int kMaxDepth = 500;

class Parser {
public:
    explicit Parser(const std::string& text) : text_(text) {}

    bool document(JsonValue& value, std::string& error)
    {
        if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0)
            at_ = 3;
        if (!parseValue(value, 0)) {
            error = "line " + std::to_string(line()) + ": " + error_;
            return false;
        }
        skipSpace();
        if (at_ != text_.size()) {
            error = "line " + std::to_string(line()) + ": text after the JSON value";
            return false;
        }
        return true;
    }

private:
    int line() const
    {
        int lines = 1;
        for (std::size_t i = 0; i < at_ && i < text_.size(); ++i)
            lines += text_[i] == '\n';
        return lines;
    }

    bool fail(const char* what)
    {
        error_ = what;
        return false;
    }

    void skipSpace()
    {
        while (at_ < text_.size() && std::strchr(" \t\r\n", text_[at_]) != nullptr && text_[at_] != '\0')
            ++at_;
    }

    bool parseValue(JsonValue& value, int depth)
    {
        if (depth > kMaxDepth)
            return fail("nested too deep");
        skipSpace();
        if (at_ >= text_.size())
            return fail("unexpected end");
        const char c = text_[at_];
        if (c == '{')
            return parseObject(value, depth);
        if (c == '[')
            return parseArray(value, depth);
        if (c == '"') {
            value.kind = JsonValue::String;
            return parseString(value.text);
        }
        return parseLiteral(value);
    }

    bool parseObject(JsonValue& value, int depth)
    {
        value.kind = JsonValue::Object;
        ++at_;
        skipSpace();
        if (at_ < text_.size() && text_[at_] == '}') {
            ++at_;
            return true;
        }
        for (;;) {
            skipSpace();
            std::string name;
            if (at_ >= text_.size() || text_[at_] != '"' || !parseString(name))
                return fail("expected a member name");
            skipSpace();
            if (at_ >= text_.size() || text_[at_] != ':')
                return fail("expected ':'");
            ++at_;
            value.members.emplace_back(std::move(name), JsonValue());
            if (!parseValue(value.members.back().second, depth + 1))
                return false;
            skipSpace();
            if (at_ < text_.size() && text_[at_] == ',') {
                ++at_;
                continue;
            }
            if (at_ < text_.size() && text_[at_] == '}') {
                ++at_;
                return true;
            }
            return fail("expected ',' or '}'");
        }
    }

    bool parseArray(JsonValue& value, int depth)
    {
        value.kind = JsonValue::Array;
        ++at_;
        skipSpace();
        if (at_ < text_.size() && text_[at_] == ']') {
            ++at_;
            return true;
        }
        for (;;) {
            value.items.emplace_back();
            if (!parseValue(value.items.back(), depth + 1))
                return false;
            skipSpace();
            if (at_ < text_.size() && text_[at_] == ',') {
                ++at_;
                continue;
            }
            if (at_ < text_.size() && text_[at_] == ']') {
                ++at_;
                return true;
            }
            return fail("expected ',' or ']'");
        }
    }

    static void appendUtf8(std::string& out, unsigned long code)
    {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    bool hex4(unsigned long& code)
    {
        if (at_ + 4 > text_.size())
            return false;
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[at_++];
            code <<= 4;
            if (c >= '0' && c <= '9')
                code |= static_cast<unsigned long>(c - '0');
            else if (c >= 'a' && c <= 'f')
                code |= static_cast<unsigned long>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                code |= static_cast<unsigned long>(c - 'A' + 10);
            else
                return false;
        }
        return true;
    }

    bool parseEscape(std::string& out)
    {
        const char c = text_[at_++];
        const char* from = "\"\\/bfnrt";
        const char* to = "\"\\/\b\f\n\r\t";
        if (const char* p = std::strchr(from, c); p != nullptr && c != '\0') {
            out += to[p - from];
            return true;
        }
        unsigned long code = 0;
        if (c != 'u' || !hex4(code))
            return fail("bad escape in a string");
        // A surrogate pair makes one character; a surrogate alone is none,
        // and what follows it stays what it is ("\ud800\u0041" is U+FFFD A).
        if (code >= 0xD800 && code < 0xDC00) {
            const std::size_t next = at_;
            unsigned long low = 0;
            at_ += 2;
            if (text_.compare(next, 2, "\\u") == 0 && hex4(low) && low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            } else {
                at_ = next;
                code = 0xFFFD;
            }
        } else if (code >= 0xDC00 && code < 0xE000) {
            code = 0xFFFD;
        }
        appendUtf8(out, code);
        return true;
    }

    bool parseString(std::string& out)
    {
        ++at_;
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == '"')
                return true;
            if (c == '\\') {
                if (at_ >= text_.size() || !parseEscape(out))
                    return fail("bad escape in a string");
                continue;
            }
            out += c;
        }
        return fail("a string without its end");
    }

    bool parseLiteral(JsonValue& value)
    {
        const std::size_t start = at_;
        while (at_ < text_.size() && std::strchr(",]} \t\r\n", text_[at_]) == nullptr)
            ++at_;
        value.text = text_.substr(start, at_ - start);
        if (value.text == "true" || value.text == "false")
            value.kind = JsonValue::Bool;
        else if (value.text == "null")
            value.kind = JsonValue::Null;
        else if (!value.text.empty() && std::strchr("-0123456789", value.text[0]) != nullptr)
            value.kind = JsonValue::Number;
        else
            return fail("unexpected text");
        return true;
    }

    const std::string& text_;
    std::size_t at_ = 0;
    const char* error_ = "";
};

} // namespace

const JsonValue* JsonValue::member(const char* name) const
{
    for (const auto& m : members) {
        if (m.first == name)
            return &m.second;
    }
    return nullptr;
}

std::string JsonValue::string(const char* name) const
{
    const JsonValue* value = member(name);
    return value != nullptr && value->kind == String ? value->text : std::string();
}

bool JsonValue::parse(const std::string& text, JsonValue& value, std::string& error)
{
    Parser parser(text);
    return parser.document(value, error);
}

} // namespace wiredhost

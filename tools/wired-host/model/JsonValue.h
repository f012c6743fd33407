#ifndef WIREDHOST_MODEL_JSONVALUE_H
#define WIREDHOST_MODEL_JSONVALUE_H

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace wiredhost {

// A JSON document as far as model files need it: objects keep their
// members in order, strings are UTF-8, numbers are kept as their text.
class JsonValue {
public:
    enum Kind { Null, Bool, Number, String, Array, Object };

    Kind kind = Null;
    std::string text; // a string's value, a number's or a literal's text
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    // The member of that name, null when absent or not an object.
    const JsonValue* member(const char* name) const;
    // A member's string, "" when absent or not a string.
    std::string string(const char* name) const;

    // False with "LINE: what" in error.
    static bool parse(const std::string& text, JsonValue& value, std::string& error);
};

} // namespace wiredhost

#endif

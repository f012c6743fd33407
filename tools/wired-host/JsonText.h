#ifndef WIREDHOST_JSONTEXT_H
#define WIREDHOST_JSONTEXT_H

#include <string>
#include <string_view>

namespace wiredhost {

// A JSON string of UTF-8 text: quotes, backslashes and control characters
// escaped. The text must be well-formed UTF-8 (encoding::repairedUtf8).
std::string jsonString(std::string_view utf8);
// The same, appended to out.
void appendJsonString(std::string& out, std::string_view utf8);

} // namespace wiredhost

#endif

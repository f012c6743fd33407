#ifndef WIREDHOST_JSONTEXT_H
#define WIREDHOST_JSONTEXT_H

#include <string>

namespace wiredhost {

// A JSON string of UTF-8 text: quotes, backslashes and control characters
// escaped. The text must be well-formed UTF-8 (encoding::repairedUtf8).
std::string jsonString(const std::string& utf8);

} // namespace wiredhost

#endif

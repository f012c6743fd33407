#ifndef WIREDHOST_MODEL_TEXT_H
#define WIREDHOST_MODEL_TEXT_H

#include <string>

// The small text helpers the readers and the tool share. Case is ASCII
// case: names in files and SQL keywords, not a language's letters.
namespace wiredhost {

std::string lowered(std::string text);

// Without the blanks (space, tab, CR by default) around it.
std::string trimmed(const std::string& text, const char* blanks = " \t\r");

bool equalsIgnoringCase(const std::string& a, const std::string& b);
bool endsWithIgnoringCase(const std::string& text, const std::string& suffix);

} // namespace wiredhost

#endif

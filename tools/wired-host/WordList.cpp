#include "WordList.h"

#include <algorithm>
#include <cstring>

namespace wiredhost {

bool WordList::contains(const std::string& upperWord) const
{
    const char* const* end = words + size;
    const char* const* found = std::lower_bound(
        words, end, upperWord, [](const char* word, const std::string& wanted) { return wanted.compare(word) > 0; });
    return found != end && upperWord == *found;
}

const WordList* WordList::find(const std::string& name)
{
    for (std::size_t i = 0; i < kCount; ++i) {
        if (name == kAll[i].name)
            return &kAll[i];
    }
    return nullptr;
}

} // namespace wiredhost

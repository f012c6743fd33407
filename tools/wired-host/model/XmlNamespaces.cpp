#include "XmlNamespaces.h"

#include <cctype>
#include <cstring>
#include <utility>

#include "Text.h"

namespace wiredhost {

namespace {

// The part of text from `from`, length bytes long, is word in any case.
bool partIs(const std::string& text, std::size_t from, std::size_t length, const char* word)
{
    return equalsIgnoringCase(std::string_view(text).substr(from, length), word);
}

bool isVersion(const std::string& text, std::size_t from, std::size_t length)
{
    if (length == 0)
        return false;
    for (std::size_t i = from; i < from + length; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])) && text[i] != '.')
            return false;
    }
    return true;
}

// The URI's last segments, split at '/', '.', ':' and '#': UML followed by
// at most a version ("…/UML", "…/UML/20131001", "…namespace.UML",
// "omg.org/UML1.3", "…/UML/2.1"). A profile's URI ("…/UML/20131001/
// StandardProfile") ends with another word and is not UML.
bool endsWithWord(const std::string& uri, const char* word)
{
    std::size_t end = uri.size();
    while (end > 0 && (uri[end - 1] == '/' || uri[end - 1] == '#'))
        --end;
    const std::size_t wordLength = std::strlen(word);
    std::size_t start = uri.find_last_of("/:#", end == 0 ? 0 : end - 1);
    start = start == std::string::npos ? 0 : start + 1;
    // "UML", "UML1.3" or "namespace.UML" as the last segment.
    if (end - start >= wordLength && partIs(uri, start, wordLength, word) &&
        (end - start == wordLength || isVersion(uri, start + wordLength, end - start - wordLength)))
        return true;
    if (end - start == 0 || end - start < wordLength)
        return false;
    if (partIs(uri, end - wordLength, wordLength, word) && uri[end - wordLength - 1] == '.')
        return true;
    // A version as the last segment, UML before it.
    if (!isVersion(uri, start, end - start) || start < 2)
        return false;
    const std::size_t previousEnd = start - 1;
    std::size_t previousStart = uri.find_last_of("/:#", previousEnd - 1);
    previousStart = previousStart == std::string::npos ? 0 : previousStart + 1;
    return partIs(uri, previousStart, previousEnd - previousStart, word);
}

} // namespace

XmlNamespaces::Kind XmlNamespaces::kindOfUri(const std::string& uri)
{
    if (endsWithWord(uri, "UML"))
        return Uml;
    if (endsWithWord(uri, "XMI") || uri.find("/XMI/") != std::string::npos || uri.find("omg.org/XMI") != std::string::npos)
        return Xmi;
    return Other;
}

void XmlNamespaces::declare(const char* prefix, std::size_t length, const char* uri)
{
    const auto known = innermost_.emplace(std::string(prefix, length), scope_.size());
    const std::size_t shadowed = known.second ? kNone : known.first->second;
    known.first->second = scope_.size();
    scope_.push_back({known.first->first, uri, kindOfUri(uri), shadowed});
    lastLength_ = kNone;
}

void XmlNamespaces::leave(std::size_t mark)
{
    if (mark == scope_.size())
        return;
    for (std::size_t at = scope_.size(); at > mark; --at) {
        const Declaration& declaration = scope_[at - 1];
        if (declaration.shadowed == kNone)
            innermost_.erase(declaration.prefix);
        else
            innermost_[declaration.prefix] = declaration.shadowed;
    }
    scope_.resize(mark);
    lastLength_ = kNone;
}

XmlNamespaces::Kind XmlNamespaces::kindOf(const char* prefix, std::size_t length) const
{
    if (lastLength_ == kNone) {
        for (Cached& cached : cache_)
            cached.length = kNone;
        lastLength_ = 0;
    }
    // Prefixes are a few letters: compared in line, not by a call each.
    for (const Cached& cached : cache_) {
        if (cached.length != length)
            continue;
        std::size_t i = 0;
        while (i < length && cached.prefix[i] == prefix[i])
            ++i;
        if (i == length)
            return cached.kind;
    }
    // The oldest entry makes room.
    for (std::size_t i = kCached - 1; i > 0; --i)
        std::swap(cache_[i], cache_[i - 1]);
    cache_[0].prefix.assign(prefix, length);
    cache_[0].length = length;
    cache_[0].kind = lookUp(prefix, length);
    return cache_[0].kind;
}

XmlNamespaces::Kind XmlNamespaces::lookUp(const char* prefix, std::size_t length) const
{
    const std::string name(prefix, length);
    const auto found = innermost_.find(name);
    if (found != innermost_.end())
        return scope_[found->second].kind;
    if (equalsIgnoringCase(name, "uml"))
        return Uml;
    if (equalsIgnoringCase(name, "xmi"))
        return Xmi;
    return Other;
}

std::string XmlNamespaces::uriOf(const std::string& prefix) const
{
    const auto found = innermost_.find(prefix);
    return found != innermost_.end() ? scope_[found->second].uri : std::string();
}

} // namespace wiredhost

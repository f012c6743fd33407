#include "PlantUmlReader.h"

#include <cctype>
#include <cstring>
#include <string_view>

#include "Text.h"

namespace wiredhost {

namespace {

// A view without the blanks around it.
std::string_view trimmedView(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool startsWithWord(std::string_view text, const char* word)
{
    const std::string_view w = word;
    return text.compare(0, w.size(), w) == 0 &&
           (text.size() == w.size() || std::isspace(static_cast<unsigned char>(text[w.size()])));
}

std::string afterWord(const std::string& text, const char* word)
{
    return trimmed(text.substr(std::string(word).size()));
}

bool startsQuoted(std::string_view text)
{
    const std::string_view trimmed = trimmedView(text);
    return !trimmed.empty() && trimmed[0] == '"';
}

// A name: "quoted text" or a run up to white space, '{', '<' or '#'; rest
// is left after it.
std::string takeName(std::string_view& rest)
{
    rest = trimmedView(rest);
    if (!rest.empty() && rest[0] == '"') {
        const std::size_t end = rest.find('"', 1);
        const std::string name(rest.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        return name;
    }
    std::size_t end = 0;
    while (end < rest.size() && !std::isspace(static_cast<unsigned char>(rest[end])) && rest[end] != '{' &&
           rest[end] != '<' && rest[end] != '#')
        ++end;
    const std::string name(rest.substr(0, end));
    rest = rest.substr(end);
    return name;
}

std::string stereotypeOf(std::string_view rest)
{
    const std::size_t open = rest.find("<<");
    if (open == std::string_view::npos)
        return std::string();
    const std::size_t close = rest.find(">>", open + 2);
    const std::size_t length = close == std::string_view::npos ? std::string_view::npos : close - open - 2;
    return std::string(trimmedView(rest.substr(open + 2, length)));
}

} // namespace

bool PlantUmlReader::read(const std::string& text, int& line, std::string& error)
{
    collector_.excludeStereotypedClasses(true);
    // A byte-order mark before the first line is no part of it.
    std::size_t start = startsWithByteOrderMark(text) ? 3 : 0;
    bool inDiagram = false;
    int diagramStart = 0;
    while (start <= text.size()) {
        // Lines end in LF, CR LF or (old Mac files) a lone CR.
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        ++lineNumber_;
        const std::string l = trimmed(text.substr(start, end - start));
        if (l.compare(0, 9, "@startuml") == 0) {
            inDiagram = true;
            diagramStart = lineNumber_;
            // Each diagram starts outside any package a diagram before
            // left open.
            scopes_.clear();
            collector_.countUmlElement();
        } else if (l.compare(0, 7, "@enduml") == 0) {
            inDiagram = false;
            if (!blockEnds_.empty() || inComment_) {
                line = blockStart_;
                error = std::string("the ") + blockName_ + " that starts here has no end before @enduml at line " +
                        std::to_string(lineNumber_) + " (the classes after it would be lost)";
                return false;
            }
        } else if (inDiagram) {
            this->line(l);
            if (!withinLimits(error)) {
                line = lineNumber_;
                return false;
            }
        }
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    if (inDiagram) {
        line = diagramStart;
        error = "the diagram that starts here has no @enduml (the file may be cut short)";
        return false;
    }
    return true;
}

std::string PlantUmlReader::includesNotFollowed() const
{
    if (includes_ == 0)
        return std::string();
    return "line " + std::to_string(firstIncludeLine_) + ": " + shortened(firstInclude_) +
           (includes_ > 1 ? " and " + std::to_string(includes_ - 1) + " more" : std::string()) +
           ": wired-host reads only this file, so classes from included files are not listed";
}

// A line costs its length, but a file of short ones (class c1, c2...; one
// class in a.a.a...) can hold millions of classes or packages: reading
// stops as soon as they pass the limits, not after the whole file.
bool PlantUmlReader::withinLimits(std::string& error) const
{
    if (collector_.classCount() > Model::kMaxClasses)
        error = "more than " + std::to_string(Model::kMaxClasses) + " classes by this line " + Model::kWhyMaxClasses;
    else if (collector_.packageCount() > ClassCollector::kMaxPackages)
        error = "more than " + std::to_string(ClassCollector::kMaxPackages) +
                " packages by this line (wired-host's limit: a real model has hundreds, and each costs memory)";
    else
        return true;
    return false;
}

// "package a { package b { class C } }": the packages a line opens and
// closes again are opened one by one, a view moving into the line, and
// closed together after what they hold. Neither a copy of the rest of the
// line nor a call per level: a line of 30,000 packages costs its length.
void PlantUmlReader::line(const std::string& text)
{
    std::string_view rest = text;
    std::size_t opened = 0;
    while (!inComment_ && blockEnds_.empty() && (scopes_.empty() || !scopes_.back().isClassBody) &&
           openPackageOnOneLine(rest))
        ++opened;
    statement(rest.size() == text.size() ? text : std::string(rest));
    for (; opened > 0; --opened)
        closeScope();
}

// Opens the package at the start of rest when the line closes it again,
// leaving rest at what it holds.
bool PlantUmlReader::openPackageOnOneLine(std::string_view& rest)
{
    const char* word = startsWithWord(rest, "package")     ? "package"
                       : startsWithWord(rest, "namespace") ? "namespace"
                                                           : nullptr;
    if (word == nullptr)
        return false;
    std::string_view after = rest.substr(std::strlen(word));
    const std::string name = takeName(after);
    const std::size_t open = after.find('{');
    if (open == std::string_view::npos)
        return false;
    const std::size_t close = after.rfind('}');
    if (close == std::string_view::npos || close < open)
        return false;
    scopes_.push_back({packageIn(currentPackage(), name), false});
    rest = trimmedView(after.substr(open + 1, close - open - 1));
    return true;
}

void PlantUmlReader::statement(const std::string& text)
{
    // Inside a class body a member may be called note or legend.
    if (comment(text) || text.empty() || ((scopes_.empty() || !scopes_.back().isClassBody) && textBlock(text)))
        return;
    if (text[0] == '}') {
        closeScope();
        return;
    }
    // !include, !include_many, !include_once, !includeurl, !includesub,
    // and !import, which includes from a zip of diagrams.
    if (text.compare(0, 8, "!include") == 0 || startsWithWord(text, "!import")) {
        if (includes_++ == 0) {
            firstInclude_ = text;
            firstIncludeLine_ = lineNumber_;
        }
        return;
    }
    if (!scopes_.empty() && scopes_.back().isClassBody)
        return;
    if (startsWithWord(text, "set")) {
        setting(afterWord(text, "set"));
        return;
    }
    if (startsWithWord(text, "package") || startsWithWord(text, "namespace")) {
        openPackage(afterWord(text, startsWithWord(text, "package") ? "package" : "namespace"));
        return;
    }
    if (startsWithWord(text, "abstract")) {
        const std::string rest = afterWord(text, "abstract");
        declareClass(startsWithWord(rest, "class") ? afterWord(rest, "class") : rest);
        return;
    }
    if (startsWithWord(text, "class")) {
        declareClass(afterWord(text, "class"));
        return;
    }
    if (text.back() == '{' && text.size() > 1)
        openBlock(text);
}

// Other blocks with braces must be closed. Those of class-like elements
// (interface, enum…) and of settings hold members, not classes; the others
// (together, rectangle, frame, node…) group or draw what they hold, which
// stays in the package around them.
void PlantUmlReader::openBlock(const std::string& text)
{
    static const char* const kMemberBlocks[] = {"interface", "enum",     "annotation", "entity", "protocol",
                                                "struct",    "exception", "metaclass", "stereotype", "object",
                                                "map",       "json",     "record",     "circle", "diamond",
                                                "skinparam", "sprite"};
    bool members = false;
    for (const char* word : kMemberBlocks)
        members = members || startsWithWord(text, word);
    scopes_.push_back({currentPackage(), members});
}

// Notes, legends and styles of more than one line: their text is no
// declaration, whatever it holds (a brace, the word class), up to the line
// that ends them.
// The lines from here to one starting with an end are passed over.
void PlantUmlReader::passOver(std::vector<std::string> ends, const char* name)
{
    blockEnds_ = std::move(ends);
    blockStart_ = lineNumber_;
    blockName_ = name;
}

bool PlantUmlReader::textBlock(const std::string& text)
{
    if (!blockEnds_.empty()) {
        for (const std::string& end : blockEnds_) {
            if (text.compare(0, end.size(), end) == 0)
                blockEnds_.clear();
        }
        return true;
    }
    // A note on one line has its text after ':' or in quotes.
    if ((startsWithWord(text, "note") || startsWithWord(text, "hnote") || startsWithWord(text, "rnote")) &&
        text.find(':') == std::string::npos && text.find('"') == std::string::npos) {
        passOver({"end note", "endnote", "end hnote", "endhnote", "end rnote", "endrnote"}, "note");
        return true;
    }
    if (startsWithWord(text, "legend")) {
        passOver({"end legend", "endlegend"}, "legend");
        return true;
    }
    if (text.compare(0, 7, "<style>") == 0) {
        if (text.find("</style>") == std::string::npos)
            passOver({"</style>"}, "style");
        return true;
    }
    return false;
}

// Line comments (') and block comments (/' … '/); true when the line is one.
bool PlantUmlReader::comment(const std::string& text)
{
    if (inComment_) {
        inComment_ = text.find("'/") == std::string::npos;
        return true;
    }
    if (text.compare(0, 2, "/'") == 0) {
        inComment_ = text.find("'/", 2) == std::string::npos;
        // Said at @enduml when it is still open; a note it is in comes first.
        if (inComment_ && blockEnds_.empty()) {
            blockStart_ = lineNumber_;
            blockName_ = "block comment";
        }
        return true;
    }
    return !text.empty() && text[0] == '\'';
}

void PlantUmlReader::closeScope()
{
    if (!scopes_.empty())
        scopes_.pop_back();
}

// "set namespaceSeparator ::" splits names at :: instead of dots;
// "none" keeps names whole.
void PlantUmlReader::setting(const std::string& rest)
{
    const char* const keyword = startsWithWord(rest, "namespaceSeparator") ? "namespaceSeparator"
                                : startsWithWord(rest, "separator")       ? "separator"
                                                                          : nullptr;
    if (keyword == nullptr)
        return;
    const std::string value = afterWord(rest, keyword);
    const std::string separator = value.substr(0, value.find_first_of(" \t"));
    if (!separator.empty())
        separator_ = separator == "none" ? std::string() : separator;
}

// A package whose brace closes on a later line (those closed on their own
// line are opened by openPackageOnOneLine).
void PlantUmlReader::openPackage(const std::string& rest)
{
    std::string_view view = rest;
    const std::string name = takeName(view);
    if (view.find('{') != std::string_view::npos)
        scopes_.push_back({packageIn(currentPackage(), name), false});
}

void PlantUmlReader::declareClass(const std::string& text)
{
    std::string_view rest = text;
    const bool quoted = startsQuoted(rest);
    std::string name = takeName(rest);
    // class "Order Line" as OL, or class OL as "Order Line": the quoted
    // name is the one the diagram shows, and the class's name; the other is
    // what the rest of the file calls it (class OL { ... } adds to it).
    std::string alias;
    bool nameQuoted = quoted;
    if (startsWithWord(trimmedView(rest), "as")) {
        rest = trimmedView(rest).substr(2);
        const bool aliasQuoted = startsQuoted(rest);
        alias = takeName(rest);
        if (aliasQuoted && !quoted) {
            name.swap(alias);
            nameQuoted = true;
        }
    }
    // Generic parameters (class List<T>) are not part of the name; a
    // quoted name is shown as written, "Odd<Name>" too.
    const std::size_t generic = nameQuoted ? std::string::npos : name.find('<');
    if (generic != std::string::npos)
        name.erase(generic);
    int package = currentPackage();
    const std::size_t last = separator_.empty() ? std::string::npos : name.rfind(separator_);
    if (last != std::string::npos && last > 0) {
        package = packageIn(package, name.substr(0, last));
        name = name.substr(last + separator_.size());
    }
    // A class is new when neither its name nor its alias was declared
    // before (class "Order" as Order has the two alike).
    const std::string scope = std::to_string(package) + '\n';
    const bool newName = declared_.insert(scope + name).second;
    const bool newAlias = alias.empty() || alias == name || declared_.insert(scope + alias).second;
    if (newName && newAlias) {
        const int index = collector_.addClass(package, name, nullptr);
        const std::string stereotype = stereotypeOf(rest);
        if (!stereotype.empty())
            collector_.stereotypeByName(true, index, stereotype);
    }
    if (!trimmedView(rest).empty() && trimmedView(rest).back() == '{')
        scopes_.push_back({ClassCollector::kNoPackage, true});
}

// The package the next declaration belongs to (inside a class body
// nothing is declared).
int PlantUmlReader::currentPackage() const
{
    return scopes_.empty() ? ClassCollector::kNoPackage : scopes_.back().package;
}

// The package a name of parts (a.b.c, with the namespace separator)
// names inside outer, added level by level where it is new.
int PlantUmlReader::packageIn(int outer, const std::string& dotted)
{
    int package = outer;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = separator_.empty() ? std::string::npos : dotted.find(separator_, start);
        const std::string part = dotted.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        const auto found = packages_.emplace(std::to_string(package) + '\n' + part, 0);
        if (found.second)
            found.first->second = collector_.addPackage(package, part, nullptr);
        package = found.first->second;
        // Past the limit the rest of the name is not worth its memory: the
        // line ends the reading (withinLimits).
        if (dot == std::string::npos || collector_.packageCount() > ClassCollector::kMaxPackages)
            return package;
        start = dot + separator_.size();
    }
}

} // namespace wiredhost

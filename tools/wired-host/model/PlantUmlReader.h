#ifndef WIREDHOST_MODEL_PLANTUMLREADER_H
#define WIREDHOST_MODEL_PLANTUMLREADER_H

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "ClassCollector.h"
#include "NameHash.h"

namespace wiredhost {

// A PlantUML class diagram (text between @startuml and @enduml): the
// classes it declares (class, abstract class, abstract), in packages and
// namespaces (package a.b { … }) and by dotted names (class a.b.C), split
// at another separator after "set namespaceSeparator ::", at none after
// "set namespaceSeparator none". Interfaces, enums, annotations, entities
// and classes stereotyped «interface» or «enumeration» are none; a class
// a relation merely mentions is not declared and not read; declaring a
// class again adds to the same class. Blocks that only group or draw
// (together, rectangle, frame…) keep the package they are in; the text of
// notes, legends and styles is passed over. A diagram that has no
// @enduml is refused: the file was cut short, and reading what is left
// would show a part of the model as if it were all of it.
class PlantUmlReader {
public:
    explicit PlantUmlReader(ClassCollector& collector) : collector_(collector) {}

    // False when a diagram has no @enduml, or a note, legend, style or
    // block comment in it has no end (PlantUML refuses such a diagram; read
    // on, the classes after it would be lost without a word): error says
    // so, line is where it starts.
    bool read(const std::string& text, int& line, std::string& error);

    // The preprocessor's includes are not followed (a model file must not
    // make wired-host read other files, or fetch a URL): what the classes
    // they would add miss, for a note; empty when the file has none.
    std::string includesNotFollowed() const;

private:
    struct Scope {
        int package;
        bool isClassBody;
    };

    void line(const std::string& text);
    bool openPackageOnOneLine(std::string_view& rest);
    bool withinLimits(std::string& error) const;
    void statement(const std::string& text);
    bool comment(const std::string& text);
    bool textBlock(const std::string& text);
    void passOver(std::vector<std::string> ends, const char* name);
    void openBlock(const std::string& text);
    void closeScope();
    void setting(const std::string& rest);
    void openPackage(const std::string& rest);
    void declareClass(const std::string& text);
    int currentPackage() const;
    int packageIn(int outer, const std::string& dotted);

    ClassCollector& collector_;
    std::vector<Scope> scopes_;
    // Each package by its outer package's index and its own name, so that
    // one path is one collector package without keeping any whole path.
    std::unordered_map<std::string, int, NameHash> packages_;
    // Classes declared, by package index and name.
    std::unordered_set<std::string, NameHash> declared_;
    // What splits names into packages ("set namespaceSeparator"); empty
    // for none.
    std::string separator_ = ".";
    bool inComment_ = false;
    // How the text block being passed over ends ("end note"...), or empty.
    std::vector<std::string> blockEnds_;
    // The line being read, and where the open text block or block comment
    // started.
    int lineNumber_ = 0, blockStart_ = 0;
    const char* blockName_ = "";
    // The first include line and how many there were.
    std::string firstInclude_;
    int firstIncludeLine_ = 0, includes_ = 0;
};

} // namespace wiredhost

#endif

#ifndef WIREDHOST_MODEL_CLASSCOLLECTOR_H
#define WIREDHOST_MODEL_CLASSCOLLECTOR_H

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "Model.h"
#include "NameHash.h"

namespace wiredhost {

// What a reader finds while it walks a file, kept until the whole file has
// been seen: a stereotype or an exporter's note about an element may come
// after the element. finish() then applies the rules that need all of it:
// «folder» packages leave the path, classes stereotyped «enumeration» or
// «interface» and classes an exporter marks as something else are no
// classes, and duplicates are flagged.
class ClassCollector {
public:
    static const int kNoPackage = -1;

    // Returns the new package's index, for its classes and subpackages.
    // The id is kept as a pointer into the document until
    // resolveReferences().
    int addPackage(int parent, std::string name, const char* id);
    // Returns the new class's index.
    int addClass(int package, std::string name, const char* id);

    // A stereotype an element names, by the stereotype's id or by its name.
    void stereotypeByRef(bool isClass, int index, const std::string& id);
    void stereotypeByName(bool isClass, int index, std::string_view name);
    // A stereotype's definition, and an element it lists as extended.
    void defineStereotype(const std::string& id, const std::string& name);
    void extendElement(std::string_view stereotypeName, std::string_view elementId);

    // The exporter says the element with this id, or this class, is no class.
    void vetoId(const std::string& id);
    void vetoClass(int index);

    // UML 1.x: a Class stereotyped «enumeration» or «interface» is none.
    void excludeStereotypedClasses(bool on) { excludeStereotyped_ = on; }

    std::size_t packageCount() const { return packages_.size(); }
    std::size_t classCount() const { return classes_.size(); }
    // A real model has hundreds of packages; a reader that makes them from
    // names rather than from a document whose size is bounded otherwise
    // (PlantUML's a.b.c...) stops here.
    static constexpr std::size_t kMaxPackages = 1000000;
    // Stereotype references an element makes (stereotype="id id ...") or a
    // stereotype makes to the elements it extends, all together: a list of
    // millions of ids in one attribute would otherwise cost gigabytes and
    // seconds. Past it the rest are passed over and finish() refuses.
    static constexpr std::size_t kMaxReferences = 2000000;

    // UML elements seen; 0 means the file holds no UML.
    void countUmlElement() { ++umlElements_; }
    std::size_t umlElements() const { return umlElements_; }

    // Applies what was said about elements by their ids, while the
    // document the ids point into is still there.
    void resolveReferences();

    // What the package paths of all classes may come to together: a
    // deep package holding many classes, or many nested packages each
    // holding one, would otherwise cost the square of the file's size.
    static constexpr std::size_t kMaxPathBytes = std::size_t(64) << 20;
    // What a refusal at that limit says.
    static std::string pathLimitPassed()
    {
        return "the package paths of the classes come to more than " + std::to_string(kMaxPathBytes >> 20) +
               " MiB together (wired-host's limit)";
    }

    // The classes in document order, duplicates flagged; after
    // resolveReferences(), when the document may be gone. False with a
    // message when their package paths pass kMaxPathBytes.
    bool finish(std::vector<ModelClass>& classes, std::string& error);

    // Flags classes of the same package and name as duplicates, the
    // packages known by their path (as wired-host's own model file gives
    // them) or by the numbers of their paths.
    static void flagDuplicates(std::vector<ModelClass>& classes);
    static void flagDuplicates(std::vector<ModelClass>& classes, const std::vector<int>& paths);

private:
    // The stereotypes the rules of finish() look at. Only these are kept
    // of what an element is stereotyped with by name or by an extension:
    // a stereotype with a long name listing many elements would otherwise
    // cost its name once per element.
    enum Mark : unsigned { Enumeration = 1, Interface = 2, Folder = 4 };
    static unsigned markOf(std::string_view stereotypeName);

    struct Element {
        std::string name;
        const char* id;
        int package;
        unsigned marks = 0;
        // Stereotypes named by id, which may be defined later in the file.
        std::vector<std::string> stereotypeIds;
        bool vetoed = false;
    };

    void resolve(Element& element);

    bool hasStereotype(const Element& element, unsigned wanted) const;
    bool isClass(const Element& element) const;
    bool addsToPath(const Element& package) const;

    std::vector<Element> packages_;
    std::vector<Element> classes_;
    std::unordered_map<std::string, std::string, NameHash> stereotypeNames_;
    // The marks of the stereotypes that list an element, by its id.
    std::unordered_map<std::string, unsigned, NameHash> extended_;
    std::unordered_set<std::string, NameHash> vetoed_;
    bool excludeStereotyped_ = false;
    std::size_t references_ = 0;
    std::size_t umlElements_ = 0;
};

} // namespace wiredhost

#endif

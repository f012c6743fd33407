#include "ClassCollector.h"

#include <cctype>
#include <string_view>

namespace wiredhost {

namespace {

bool sameIgnoringCase(const std::string& a, const char* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return i == a.size() && b[i] == '\0';
}

} // namespace

int ClassCollector::addPackage(int parent, std::string name, const char* id)
{
    packages_.push_back({std::move(name), id, parent, {}});
    return static_cast<int>(packages_.size()) - 1;
}

int ClassCollector::addClass(int package, std::string name, const char* id)
{
    classes_.push_back({std::move(name), id, package, {}});
    return static_cast<int>(classes_.size()) - 1;
}

void ClassCollector::stereotypeByRef(bool isClass, int index, const std::string& id)
{
    (isClass ? classes_ : packages_)[index].stereotypes.push_back({false, id});
}

void ClassCollector::stereotypeByName(bool isClass, int index, const std::string& name)
{
    (isClass ? classes_ : packages_)[index].stereotypes.push_back({true, name});
}

void ClassCollector::defineStereotype(const std::string& id, const std::string& name)
{
    if (!id.empty())
        stereotypeNames_[id] = name;
}

void ClassCollector::extendElement(const std::string& stereotypeName, const std::string& elementId)
{
    extended_[elementId].push_back(stereotypeName);
}

void ClassCollector::vetoId(const std::string& id)
{
    vetoed_.insert(id);
}

void ClassCollector::vetoClass(int index)
{
    classes_[index].vetoed = true;
}

bool ClassCollector::hasStereotype(const Element& element, const char* wanted) const
{
    for (const StereotypeRef& ref : element.stereotypes) {
        if (ref.byName) {
            if (sameIgnoringCase(ref.value, wanted))
                return true;
            continue;
        }
        // An id that names no stereotype of this file is taken as the name:
        // Umbrello writes stereotype="folder".
        const auto found = stereotypeNames_.find(ref.value);
        if (sameIgnoringCase(found != stereotypeNames_.end() ? found->second : ref.value, wanted))
            return true;
    }
    return false;
}

// Stereotypes that name the element among those they extend become its
// own; an element the exporter vetoed is marked.
void ClassCollector::resolve(Element& element)
{
    if (element.id == nullptr)
        return;
    if (!extended_.empty()) {
        const auto found = extended_.find(element.id);
        if (found != extended_.end()) {
            for (const std::string& name : found->second)
                element.stereotypes.push_back({true, name});
        }
    }
    if (!vetoed_.empty() && vetoed_.count(element.id) != 0)
        element.vetoed = true;
    element.id = nullptr;
}

void ClassCollector::resolveReferences()
{
    for (Element& element : packages_)
        resolve(element);
    for (Element& element : classes_)
        resolve(element);
}

bool ClassCollector::isClass(const Element& element) const
{
    if (element.vetoed)
        return false;
    if (!excludeStereotyped_)
        return true;
    // Enterprise Architect's UML 1.3 export names a root of all classes,
    // which is no class of the model.
    if (element.name == "EARootClass")
        return false;
    return !hasStereotype(element, "enumeration") && !hasStereotype(element, "interface");
}

// Each package's path: the names of the packages from the outermost in;
// a «folder» package (Umbrello's) and an unnamed one add nothing.
std::vector<std::string> ClassCollector::packagePaths() const
{
    std::vector<std::string> paths(packages_.size());
    for (std::size_t i = 0; i < packages_.size(); ++i) {
        const Element& package = packages_[i];
        const std::string parent = package.package == kNoPackage ? std::string() : paths[package.package];
        if (package.name.empty() || hasStereotype(package, "folder"))
            paths[i] = parent;
        else
            paths[i] = parent.empty() ? package.name : parent + "." + package.name;
    }
    return paths;
}

std::vector<ModelClass> ClassCollector::finish()
{
    const std::vector<std::string> paths = packagePaths();
    // Packages of the same path are one package for duplicates.
    std::unordered_map<std::string, int> pathIds;
    std::vector<int> pathOf(packages_.size());
    for (std::size_t i = 0; i < paths.size(); ++i)
        pathOf[i] = pathIds.emplace(paths[i], static_cast<int>(pathIds.size())).first->second;

    std::vector<ModelClass> classes;
    std::vector<int> classPaths;
    classes.reserve(classes_.size());
    classPaths.reserve(classes_.size());
    for (Element& element : classes_) {
        if (!isClass(element))
            continue;
        ModelClass modelClass;
        modelClass.name = std::move(element.name);
        if (element.package != kNoPackage)
            modelClass.package = paths[element.package];
        classes.push_back(std::move(modelClass));
        classPaths.push_back(element.package == kNoPackage ? -1 : pathOf[element.package]);
    }
    classes_.clear();
    flagDuplicates(classes, classPaths);
    return classes;
}

// The names stay where they are (the vector is not grown), so the keys
// can point at them.
void ClassCollector::flagDuplicates(std::vector<ModelClass>& classes, const std::vector<int>& paths)
{
    struct Key {
        int path;
        std::string_view name;
        bool operator==(const Key& other) const { return path == other.path && name == other.name; }
    };
    struct Hash {
        std::size_t operator()(const Key& key) const
        {
            return std::hash<std::string_view>()(key.name) * 31 + static_cast<std::size_t>(key.path);
        }
    };
    std::unordered_map<Key, std::size_t, Hash> first;
    first.reserve(classes.size());
    for (std::size_t i = 0; i < classes.size(); ++i) {
        if (classes[i].name.empty())
            continue;
        const auto inserted = first.emplace(Key{paths[i], classes[i].name}, i);
        if (!inserted.second) {
            classes[i].duplicate = true;
            classes[inserted.first->second].duplicate = true;
        }
    }
}

} // namespace wiredhost

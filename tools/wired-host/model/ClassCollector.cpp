#include "ClassCollector.h"

#include <functional>
#include <string_view>

#include "FirstEqual.h"
#include "Text.h"
#include "NameHash.h"

namespace wiredhost {

int ClassCollector::addPackage(int parent, std::string name, const char* id)
{
    packages_.push_back({std::move(name), id, parent, 0, {}});
    return static_cast<int>(packages_.size()) - 1;
}

int ClassCollector::addClass(int package, std::string name, const char* id)
{
    classes_.push_back({std::move(name), id, package, 0, {}});
    return static_cast<int>(classes_.size()) - 1;
}

unsigned ClassCollector::markOf(std::string_view stereotypeName)
{
    if (equalsIgnoringCase(stereotypeName, "enumeration"))
        return Enumeration;
    if (equalsIgnoringCase(stereotypeName, "interface"))
        return Interface;
    if (equalsIgnoringCase(stereotypeName, "folder"))
        return Folder;
    return 0;
}

void ClassCollector::stereotypeByRef(bool isClass, int index, const std::string& id)
{
    if (++references_ <= kMaxReferences)
        (isClass ? classes_ : packages_)[index].stereotypeIds.push_back(id);
}

void ClassCollector::stereotypeByName(bool isClass, int index, std::string_view name)
{
    (isClass ? classes_ : packages_)[index].marks |= markOf(name);
}

void ClassCollector::defineStereotype(const std::string& id, const std::string& name)
{
    if (!id.empty())
        stereotypeNames_[id] = name;
}

void ClassCollector::extendElement(std::string_view stereotypeName, std::string_view elementId)
{
    // Past the limit the rest of a list is passed over at no cost.
    if (references_ > kMaxReferences)
        return;
    const unsigned mark = markOf(stereotypeName);
    if (mark != 0 && ++references_ <= kMaxReferences)
        extended_[std::string(elementId)] |= mark;
}

void ClassCollector::vetoId(const std::string& id)
{
    vetoed_.insert(id);
}

void ClassCollector::vetoClass(int index)
{
    classes_[index].vetoed = true;
}

bool ClassCollector::hasStereotype(const Element& element, unsigned wanted) const
{
    if ((element.marks & wanted) != 0)
        return true;
    for (const std::string& id : element.stereotypeIds) {
        // An id that names no stereotype of this file is taken as the name:
        // Umbrello writes stereotype="folder".
        const auto found = stereotypeNames_.find(id);
        if ((markOf(found != stereotypeNames_.end() ? found->second : id) & wanted) != 0)
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
        if (found != extended_.end())
            element.marks |= found->second;
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
    return !hasStereotype(element, Enumeration | Interface);
}

// A «folder» package (Umbrello's) and an unnamed one add nothing to the
// paths of what they hold.
bool ClassCollector::addsToPath(const Element& package) const
{
    return !package.name.empty() && !hasStereotype(package, Folder);
}

namespace {

// The dotted paths of the packages that hold classes, each built once from
// the nearest outer package whose path is known. Only those paths are kept:
// a chain of a hundred thousand packages costs one path, not one per level.
class PackagePaths {
public:
    // outer[i]: the nearest package, i itself or one around it, that adds
    // its name to the path; ClassCollector::kNoPackage when none does.
    PackagePaths(std::vector<int> outer, const std::vector<std::string*>& names, const std::vector<int>& parents)
        : outer_(std::move(outer)), names_(names), parents_(parents), known_(outer_.size(), -1)
    {
        texts_.push_back(&ids_.emplace(std::string(), 0).first->first);
    }

    // The id of the package's path: packages of the same path are one
    // package for duplicates.
    int idOf(int package)
    {
        const int named = outer_[package];
        if (named == ClassCollector::kNoPackage)
            return 0;
        if (known_[named] >= 0)
            return known_[named];
        std::vector<int> chain;
        int at = named;
        while (at != ClassCollector::kNoPackage && known_[at] < 0) {
            chain.push_back(at);
            at = parents_[at] == ClassCollector::kNoPackage ? ClassCollector::kNoPackage : outer_[parents_[at]];
        }
        std::string path = at == ClassCollector::kNoPackage ? std::string() : *texts_[known_[at]];
        for (auto it = chain.rbegin(); it != chain.rend(); ++it)
            path += (path.empty() ? "" : ".") + *names_[*it];
        const auto inserted = ids_.emplace(std::move(path), static_cast<int>(texts_.size()));
        if (inserted.second)
            texts_.push_back(&inserted.first->first);
        known_[named] = inserted.first->second;
        return known_[named];
    }

    const std::string& text(int id) const { return *texts_[id]; }

private:
    std::vector<int> outer_;
    const std::vector<std::string*>& names_;
    const std::vector<int>& parents_;
    std::vector<int> known_;
    std::unordered_map<std::string, int, NameHash> ids_;
    std::vector<const std::string*> texts_;
};

} // namespace

bool ClassCollector::finish(std::vector<ModelClass>& classes, std::string& error)
{
    if (references_ > kMaxReferences) {
        error = "more than " + std::to_string(kMaxReferences) +
                " references to stereotypes (wired-host's limit: a real model has a few per element, and each costs "
                "memory and a lookup)";
        return false;
    }
    // Parents come before their packages, so one pass finds for each
    // package the nearest one that names a level of its path.
    std::vector<int> outer(packages_.size());
    std::vector<std::string*> names(packages_.size());
    std::vector<int> parents(packages_.size());
    for (std::size_t i = 0; i < packages_.size(); ++i) {
        const int parent = packages_[i].package;
        parents[i] = parent;
        names[i] = &packages_[i].name;
        outer[i] = addsToPath(packages_[i]) ? static_cast<int>(i) : parent == kNoPackage ? kNoPackage : outer[parent];
    }
    PackagePaths paths(std::move(outer), names, parents);

    classes.clear();
    std::vector<int> classPaths;
    classes.reserve(classes_.size());
    classPaths.reserve(classes_.size());
    std::size_t pathBytes = 0;
    for (std::size_t i = 0; i < classes_.size(); ++i) {
        Element& element = classes_[i];
        if (!isClass(element))
            continue;
        ModelClass modelClass;
        modelClass.name = std::move(element.name);
        int path = -1;
        if (element.package != kNoPackage) {
            path = paths.idOf(element.package);
            modelClass.package = paths.text(path);
            pathBytes += modelClass.package.size();
            if (pathBytes > kMaxPathBytes) {
                error = pathLimitPassed() + ", passed at class " + std::to_string(i + 1) + " of " +
                        std::to_string(classes_.size());
                classes.clear();
                return false;
            }
        }
        classes.push_back(std::move(modelClass));
        classPaths.push_back(path);
    }
    classes_.clear();
    flagDuplicates(classes, classPaths);
    return true;
}

void ClassCollector::flagDuplicates(std::vector<ModelClass>& classes)
{
    std::unordered_map<std::string_view, int, NameHash> numbers;
    std::vector<int> paths;
    paths.reserve(classes.size());
    for (const ModelClass& c : classes)
        paths.push_back(numbers.emplace(c.package, static_cast<int>(numbers.size())).first->second);
    flagDuplicates(classes, paths);
}

void ClassCollector::flagDuplicates(std::vector<ModelClass>& classes, const std::vector<int>& paths)
{
    const std::vector<std::size_t> first = firstEqual(
        classes.size(),
        [&](std::size_t i) { return nameHash(classes[i].name) * 31 + static_cast<std::size_t>(paths[i]); },
        [&](std::size_t a, std::size_t b) { return paths[a] == paths[b] && classes[a].name == classes[b].name; });
    for (std::size_t i = 0; i < classes.size(); ++i) {
        // A class without a name is no duplicate of another.
        if (first[i] != i && !classes[i].name.empty()) {
            classes[i].duplicate = true;
            classes[first[i]].duplicate = true;
        }
    }
}

} // namespace wiredhost

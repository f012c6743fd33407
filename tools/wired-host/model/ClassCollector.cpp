#include "ClassCollector.h"

#include <cctype>

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
    packages_.push_back({std::move(name), id != nullptr ? id : "", parent, {}});
    return static_cast<int>(packages_.size()) - 1;
}

int ClassCollector::addClass(int package, std::string name, const char* id)
{
    classes_.push_back({std::move(name), id != nullptr ? id : "", package, {}});
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
    if (element.id.empty() || extended_.empty())
        return false;
    const auto found = extended_.find(element.id);
    if (found == extended_.end())
        return false;
    for (const std::string& name : found->second) {
        if (sameIgnoringCase(name, wanted))
            return true;
    }
    return false;
}

bool ClassCollector::isClass(const Element& element) const
{
    if (element.vetoed || (!vetoed_.empty() && !element.id.empty() && vetoed_.count(element.id) != 0))
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
    std::vector<ModelClass> classes;
    classes.reserve(classes_.size());
    std::unordered_map<std::string, std::size_t> first;
    for (Element& element : classes_) {
        if (!isClass(element))
            continue;
        ModelClass modelClass;
        modelClass.name = std::move(element.name);
        if (element.package != kNoPackage)
            modelClass.package = paths[element.package];
        if (!modelClass.name.empty()) {
            const auto inserted = first.emplace(modelClass.package + '\n' + modelClass.name, classes.size());
            if (!inserted.second) {
                modelClass.duplicate = true;
                classes[inserted.first->second].duplicate = true;
            }
        }
        classes.push_back(std::move(modelClass));
    }
    classes_.clear();
    return classes;
}

} // namespace wiredhost

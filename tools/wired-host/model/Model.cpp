#include "Model.h"

#include <cctype>

#include "Encoding.h"
#include "model/ModelLoader.h"
#include "model/TablesFile.h"
#include "Text.h"

namespace wiredhost {

bool Model::load(const std::string& path, std::string& error)
{
    ModelLoader loader(*this, path);
    if (!loader.load(error))
        return false;
    // wired-host's own model names its tables, even when it names none.
    if (format_ == "wired-host model")
        namesTables_ = true;
    return true;
}

bool Model::loadTables(const std::string& path, std::string& error)
{
    TablesFile file;
    if (!file.read(path, error))
        return false;
    tablesRead_ = file.tables().size();
    for (const TablesFile::Table& table : file.tables()) {
        if (table.anyCase)
            addTableAnyCase(table.name);
        else
            addTable(table.name);
    }
    namesTables_ = true;
    return true;
}

void Model::addTable(const std::string& name)
{
    tables_.insert(name);
    namesTables_ = true;
}

void Model::addTableAnyCase(const std::string& name)
{
    anyCaseTables_.insert(lowered(name));
    namesTables_ = true;
}

void Model::addClass(const std::string& name, const std::string& package)
{
    classes_.push_back({name, package, false});
    classNames_.clear();
}

void Model::setClasses(std::vector<ModelClass> classes)
{
    classes_ = std::move(classes);
    classNames_.clear();
}

void Model::convertTextToHost()
{
    if (encoding::hostCodePage() == "UTF-8")
        return;
    for (ModelClass& c : classes_) {
        std::string name, package;
        const bool exactName = encoding::utf8ToHostExactly(c.name, name);
        if (!encoding::utf8ToHostExactly(c.package, package) || !exactName) {
            if (++outsideHostCodePage_ <= 3)
                firstOutsideHostCodePage_.push_back(c.package.empty() ? c.name : c.package + "." + c.name);
            c.ownNames = OwnNames{c.name, c.package};
        }
        c.name = std::move(name);
        c.package = std::move(package);
    }
    std::set<std::string> tables;
    for (const std::string& table : tables_)
        tables.insert(encoding::utf8ToHost(table));
    tables_.swap(tables);
    classNames_.clear();
}

bool Model::hasTable(const std::string& name) const
{
    if (!namesTables_)
        return true;
    return tables_.count(name) != 0 || (!anyCaseTables_.empty() && anyCaseTables_.count(lowered(name)) != 0);
}

bool Model::hasClass(const std::string& name) const
{
    if (classNames_.empty()) {
        for (const ModelClass& c : classes_)
            classNames_.insert(c.name);
    }
    return classNames_.count(name) != 0;
}

} // namespace wiredhost

#ifndef WIREDHOST_MODEL_H
#define WIREDHOST_MODEL_H

#include <optional>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>
#include "NameHash.h"

namespace wiredhost {

// A class's names as the model gives them (UTF-8).
struct OwnNames {
    std::string name;
    std::string package;
};

// A class of the model with its dotted package path. A class without a
// name is listed but not converted; a duplicate has the same package and
// name as another class of the model (all of them are flagged).
struct ModelClass {
    std::string name;
    std::string package;
    bool duplicate = false;
    // Kept when the host's code page lacks characters of the names, so
    // that name and package hold '?' for them: the report and a saved
    // mapping name the class, not what reached the plug-in.
    std::optional<OwnNames> ownNames{};

    bool unnamed() const { return name.empty(); }
};

// The model a host would hold: wired-host's own small XML file, or the
// classes of a UML model a modelling tool exported (see docs/models.md),
// read by model/ModelLoader. Texts are in the host's code page.
class Model {
public:
    // Ten times the benchmark model, more than any modelling tool holds:
    // each class costs a conversion by the plug-in and a row of the report,
    // and a small container of repeated classes could hold millions.
    static constexpr std::size_t kMaxClasses = 1000000;
    // Why, as a refusal says it.
    static constexpr const char* kWhyMaxClasses =
        "(wired-host's limit: each is a conversion by the plug-in and a row of the report)";

    // False with a "FILE[:LINE]: what" message in error when the file is
    // missing or not a model.
    bool load(const std::string& path, std::string& error);

    // Adds the tables of a --tables file (one name a line, or SQL).
    bool loadTables(const std::string& path, std::string& error);
    // What a user should know about how the file was read ("only m.xmi is
    // read..."), for warnings.
    const std::vector<std::string>& notes() const { return notes_; }
    void addNote(std::string note) { notes_.push_back(std::move(note)); }
    // How many table names the last loadTables found in its file.
    std::size_t tablesRead() const { return tablesRead_; }

    void addTable(const std::string& name);
    // A table whose name matches in any case (an unquoted SQL name).
    void addTableAnyCase(const std::string& name);
    void addClass(const std::string& name, const std::string& package);
    void setClasses(std::vector<ModelClass> classes);

    // Texts read as UTF-8 to the host's code page. A name the code page
    // cannot hold reaches the plug-in with '?' (or a look-alike) in place of
    // what it lacks, as it would from a real host in that code page; such
    // classes are counted, the first few kept.
    void convertTextToHost();
    std::size_t classesOutsideHostCodePage() const { return outsideHostCodePage_; }
    // Up to three of them, as "package.Class" in UTF-8.
    const std::vector<std::string>& firstOutsideHostCodePage() const { return firstOutsideHostCodePage_; }

    // Without tables of its own (an exported model without --tables) every
    // table name is taken, as a preview of the names.
    bool hasTable(const std::string& name) const;
    bool hasClass(const std::string& name) const;
    bool namesTables() const { return namesTables_; }

    const std::vector<ModelClass>& classes() const { return classes_; }

    // "wired-host model", "XMI 2.1 (UML 2)"...
    const std::string& format() const { return format_; }
    void setFormat(std::string format) { format_ = std::move(format); }

private:
    std::set<std::string> tables_;
    std::set<std::string> anyCaseTables_;
    bool namesTables_ = false;
    std::size_t tablesRead_ = 0;
    std::vector<std::string> notes_;
    std::vector<ModelClass> classes_;
    mutable std::unordered_set<std::string, NameHash> classNames_;
    std::string format_;
    std::size_t outsideHostCodePage_ = 0;
    std::vector<std::string> firstOutsideHostCodePage_;
};

} // namespace wiredhost

#endif

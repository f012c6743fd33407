#ifndef WIREDHOST_CONFIGCHECKER_H
#define WIREDHOST_CONFIGCHECKER_H

#include <ostream>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>
#include "model/NameHash.h"

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
}

namespace kavri {
struct KavriEntry;
}

namespace wiredhost {

// What one element of a config.xml does, with the reasons.
struct Finding {
    int line = 0;
    std::string element;
    bool effective = false;
    std::string what; // the effect, or why there is none
    std::vector<std::string> notes;
    // Takes effect, but not as the writer meant: a value in another encoding
    // than the host's, or an entity the plug-in keeps as written.
    bool misread = false;
};

// Reads a config.xml as the plug-in does and tells, entry by entry, what
// takes effect. The rules are the plug-in's own (KavriEntry for the
// entries, KavriProblem for the file as a whole and its warning); the
// reasons and hints are layered on top.
class ConfigChecker {
public:
    std::string path;
    // The code page of the host the file is for, as "UTF-8" or
    // "windows-936": its names are compared byte for byte with the file's.
    std::string hostCodePage;
    // Set when the plug-in would refuse the whole file.
    bool rejected = false;
    int rejectedLine = 0;
    std::string rejection;
    std::string warningCaption; // the warning box the plug-in would show
    // Set, with the file and line, when the file passes a limit of the XML
    // reader: it is then not checked at all.
    std::string unchecked;
    std::vector<std::string> rootNotes;
    std::vector<Finding> findings;
    std::vector<std::string> packageCodes;
    std::vector<std::string> leaderCodes;
    std::vector<std::pair<std::string, std::string>> links;

    void check(const std::string& configPath);
    void write(std::ostream& out) const;
    // The same as one JSON document, UTF-8.
    void writeJson(std::ostream& out) const;
    // A text of the file, or of the report, in UTF-8: read in the code page
    // of the host checked for (--codepage), not this system's.
    std::string utf8Of(const std::string& hostText) const;
    // 0 every entry takes effect, 1 some do not, 2 the file is refused.
    int exitCode() const;

private:
    void load();
    void rejectRoot(const tinyxml2::XMLDocument& document, const std::string& caption);
    void readEntry(const tinyxml2::XMLElement& element);
    void readCode(const tinyxml2::XMLElement& element, const kavri::KavriEntry& entry, Finding& finding);
    void readLink(const tinyxml2::XMLElement& element, const kavri::KavriEntry& entry, Finding& finding);
    void readNested(const tinyxml2::XMLElement& parent);
    void reject(int line, const std::string& reason, const std::string& caption);
    // What the raw bytes say of the file's encoding and entities.
    void readText(const std::string& bytes);
    // Notes on a value the host would not see as written.
    void checkValue(Finding& finding, const char* what, const std::string& value);

    std::string fileEncoding_;  // declared, or "UTF-8" when only detected
    std::string utf16_;         // non-empty for a UTF-16 file: why it fails
    std::unordered_set<std::string, NameHash> declaredEntities_;

    // First line of each stored code or linked class, to name duplicates.
    std::unordered_map<std::string, int, NameHash> seenPackages_, seenLeaders_, seenLinks_;
};

} // namespace wiredhost

#endif

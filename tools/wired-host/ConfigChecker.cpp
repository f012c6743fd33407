#include "ConfigChecker.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <unordered_set>

#include <tinyxml2.h>

#include "model/Encoding.h"
#include "Files.h"
#include "JsonText.h"
#include "KavriEntry.h"
#include "KavriProblem.h"
#include "model/Text.h"
#include "model/XmlDecoder.h"
#include "model/XmlTagLimits.h"
#include "model/NameHash.h"

namespace wiredhost {

namespace {

using kavri::KavriEntry;
using kavri::KavriProblem;
using tinyxml2::XMLAttribute;
using tinyxml2::XMLElement;

const char* const kEntryNames[] = {"Package", "Leader", "Link"};

std::size_t editDistance(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The known entry a misspelt name most likely meant, or null.
const char* nearMiss(const std::string& name)
{
    const char* best = nullptr;
    std::size_t bestDistance = 3;
    for (const char* known : kEntryNames) {
        const std::size_t distance = editDistance(lowered(name), lowered(known));
        if (distance < bestDistance) {
            best = known;
            bestDistance = distance;
        }
    }
    return best;
}

// A text of the file as the report shows it: a control character (an
// escape sequence, a line end written as &#10;) escaped, so that it can
// neither take the terminal over nor break a line of the report. The text
// is in the host's code page.
std::string shownValue(const std::string& hostText)
{
    std::string out;
    encoding::appendPrintableBytes(out, hostText);
    return out;
}

std::string quoted(const std::string& text)
{
    return "\"" + shownValue(text) + "\"";
}

bool named(const char* name, const char* expected)
{
    return std::strcmp(name, expected) == 0;
}

const XMLAttribute* attributeNamed(const XMLElement& element, const char* name)
{
    for (const XMLAttribute* a = element.FirstAttribute(); a != nullptr; a = a->Next()) {
        if (named(a->Name(), name))
            return a;
    }
    return nullptr;
}

// A differently-cased spelling of name among the element's attributes.
const char* caseVariant(const XMLElement& element, const char* name)
{
    for (const XMLAttribute* a = element.FirstAttribute(); a != nullptr; a = a->Next()) {
        if (!named(a->Name(), name) && lowered(a->Name()) == name)
            return a->Name();
    }
    return nullptr;
}

// tinyxml2's error text without the name, code and line said elsewhere.
std::string errorDetail(const tinyxml2::XMLDocument& document)
{
    const std::string text = document.ErrorStr();
    const std::size_t line = text.find("Line number=");
    const std::size_t colon = line == std::string::npos ? line : text.find(": ", line);
    return colon == std::string::npos ? text : text.substr(colon + 2);
}

// The names of the entities a DOCTYPE declares. A name ends at white space
// or at the next markup, so that no part of the file is read twice.
std::unordered_set<std::string, NameHash> declaredEntities(const std::string& bytes)
{
    std::unordered_set<std::string, NameHash> names;
    for (std::size_t at = bytes.find("<!ENTITY"); at != std::string::npos; at = bytes.find("<!ENTITY", at + 1)) {
        std::size_t begin = bytes.find_first_not_of(" \t\r\n", at + 8);
        if (begin != std::string::npos && bytes[begin] == '%')
            continue; // a parameter entity never reaches a value
        const std::size_t end = bytes.find_first_of(" \t\r\n<>\"'", begin);
        if (begin != std::string::npos && end != std::string::npos && end > begin)
            names.insert(bytes.substr(begin, end - begin));
    }
    return names;
}

std::string readBytes(const std::string& path)
{
    std::string bytes, error;
    hostkit::files::readFile(path, "the config file", bytes, error);
    return bytes;
}

} // namespace

void ConfigChecker::check(const std::string& configPath)
{
    path = configPath;
    if (hostCodePage.empty())
        hostCodePage = encoding::hostCodePage();
    const std::string bytes = readBytes(path);
    // The plug-in's parser would take as long over such a file as the
    // model reader would; it is not parsed here either.
    if (!XmlTagLimits::within(bytes, path, unchecked)) {
        unchecked += ": not checked (the plug-in would take minutes over this file)";
        return;
    }
    readText(bytes);
    load();
}

void ConfigChecker::readText(const std::string& bytes)
{
    // UTF-32's byte-order marks start as UTF-16's little-endian one does.
    const bool utf32Little = bytes.compare(0, 4, std::string("\xFF\xFE\0\0", 4)) == 0;
    if (utf32Little || bytes.compare(0, 4, std::string("\0\0\xFE\xFF", 4)) == 0) {
        utf16_ = std::string("the file is UTF-32 (") + (utf32Little ? "little" : "big") +
                 "-endian), which the plug-in cannot read: save it as ANSI, in the host's code page (" +
                 hostCodePage + ")";
        return;
    }
    const std::string utf16 = XmlDecoder::utf16Of(bytes);
    if (!utf16.empty()) {
        utf16_ = std::string("the file is UTF-16 (") + (utf16 == "UTF-16LE" ? "little" : "big") +
                 "-endian; Notepad's \"Unicode\"), which the plug-in cannot read: save it as ANSI, in the " +
                 "host's code page (" + hostCodePage + ")";
        return;
    }
    fileEncoding_ = XmlDecoder::declaredEncoding(bytes);
    const bool utf8Mark = startsWithByteOrderMark(bytes);
    if (fileEncoding_.empty() && (utf8Mark || (!encoding::isAscii(bytes) && encoding::isValidUtf8(bytes))))
        fileEncoding_ = "UTF-8";
    if (bytes.find("<!DOCTYPE") != std::string::npos)
        declaredEntities_ = declaredEntities(bytes);
}

void ConfigChecker::checkValue(Finding& finding, const char* what, const std::string& value)
{
    const bool sameEncoding = fileEncoding_.empty() || encoding::sameEncoding(fileEncoding_, hostCodePage);
    if (!encoding::isAscii(value) && !sameEncoding) {
        finding.misread = true;
        finding.notes.push_back(std::string("warning: the ") + what + " " + quoted(value) + " is " + fileEncoding_ +
                                " here, but a host in code page " + hostCodePage +
                                " compares names in its own code page, byte for byte: it matches none; save " +
                                "config.xml in that code page");
    } else if (!encoding::isAscii(value) && encoding::sameEncoding(hostCodePage, "UTF-8") &&
               !encoding::isValidUtf8(value)) {
        // Bytes of another code page, undeclared: no UTF-8 host gives a
        // name with them.
        finding.misread = true;
        finding.notes.push_back(std::string("warning: the ") + what + " " + quoted(value) +
                                " is not UTF-8, the host's code page: no name a UTF-8 host gives has these bytes, "
                                "so it matches none; save config.xml as UTF-8");
    }
    // Each reference in the value looked up, not each entity looked for:
    // a file may declare thousands.
    std::unordered_set<std::string, NameHash> told;
    for (std::size_t amp = value.find('&'); amp != std::string::npos; amp = value.find('&', amp + 1)) {
        const std::size_t semicolon = value.find_first_of("&;", amp + 1);
        if (semicolon == std::string::npos || value[semicolon] != ';')
            continue;
        const std::string entity = value.substr(amp + 1, semicolon - amp - 1);
        if (declaredEntities_.count(entity) != 0 && told.insert(entity).second) {
            finding.misread = true;
            finding.notes.push_back(std::string("warning: the ") + what + " holds &" + entity +
                                    "; as written: the plug-in does not expand entities declared in a DOCTYPE");
        }
    }
}

void ConfigChecker::reject(int line, const std::string& reason, const std::string& caption)
{
    rejected = true;
    rejectedLine = line;
    rejection = reason;
    warningCaption = caption;
}

void ConfigChecker::load()
{
    if (!hostkit::files::exists(path)) {
        reject(0, "no such file", KavriProblem(KavriProblem::FileMissing).caption(false));
        return;
    }
    // Same settings as the plug-in: entities decoded, whitespace kept. What
    // is not a regular file (a folder, a pipe) is never opened: the plug-in
    // cannot read it either, and a pipe would wait for a writer.
    tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    tinyxml2::XMLError error = tinyxml2::XML_ERROR_FILE_NOT_FOUND;
    if (hostkit::files::isFile(path)) {
        std::FILE* file = hostkit::files::openFile(path, "rb");
        // tinyxml2 opens by name with fopen, which cannot name every path on
        // Windows; an open that fails gives its answer as the plug-in gets it.
        error = file != nullptr ? document.LoadFile(file) : tinyxml2::XML_ERROR_FILE_NOT_FOUND;
        if (file != nullptr)
            std::fclose(file);
    }
    const KavriProblem problem = KavriProblem::ofDocument(error, document);
    const std::string caption = problem.caption(false);
    switch (problem.kind) {
    case KavriProblem::None:
        break;
    case KavriProblem::NotReadable:
        reject(0, std::string(tinyxml2::XMLDocument::ErrorIDToName(error)) + " (error " + std::to_string(error) +
                      "): the file cannot be opened for reading",
               caption);
        return;
    case KavriProblem::NotConfiguration:
        rejectRoot(document, caption);
        return;
    default: {
        const std::string parser = std::string(tinyxml2::XMLDocument::ErrorIDToName(error)) + " (error " +
                                   std::to_string(error) + "): " + errorDetail(document);
        if (utf16_.empty())
            reject(document.ErrorLineNum(), parser, caption);
        else
            reject(1, utf16_ + "; the parser stops with " + parser, caption);
        return;
    }
    }

    const XMLElement* root = KavriProblem::configRoot(document);
    for (const XMLAttribute* a = root->FirstAttribute(); a != nullptr; a = a->Next())
        rootNotes.push_back("attribute " + quoted(a->Name()) + " of Wired is ignored");
    for (const XMLElement* e = root->FirstChildElement(); e != nullptr; e = e->NextSiblingElement())
        readEntry(*e);
}

// Why the plug-in does not take the document for its configuration.
void ConfigChecker::rejectRoot(const tinyxml2::XMLDocument& document, const std::string& caption)
{
    const XMLElement* first = document.FirstChildElement();
    if (first == nullptr) {
        reject(0, "the document holds no element", caption);
        return;
    }
    std::string reason = std::string("the first element is ") + first->Name() + ", not Wired";
    for (const XMLElement* e = first->NextSiblingElement(); e != nullptr; e = e->NextSiblingElement()) {
        if (named(e->Name(), "Wired")) {
            reason += "; the Wired at line " + std::to_string(e->GetLineNum()) +
                      " is not seen, since only the first element counts";
            break;
        }
    }
    reject(first->GetLineNum(), reason, caption);
}

void ConfigChecker::readEntry(const XMLElement& element)
{
    // The plug-in's own reading of the element decides whether it counts.
    const KavriEntry entry = KavriEntry::read(element);
    Finding finding;
    finding.line = element.GetLineNum();
    finding.element = element.Name();
    switch (entry.kind) {
    case KavriEntry::Package:
    case KavriEntry::Leader:
        readCode(element, entry, finding);
        break;
    case KavriEntry::Link:
        readLink(element, entry, finding);
        break;
    case KavriEntry::Unknown: {
        finding.what = "unknown entry, passed over";
        const char* meant = nearMiss(element.Name());
        if (meant != nullptr && lowered(element.Name()) == lowered(meant))
            finding.what += std::string("; did you mean ") + meant + "? (names are case-sensitive)";
        else if (meant != nullptr)
            finding.what += std::string("; did you mean ") + meant + "?";
        else
            finding.what += " (the entries are Package, Leader and Link)";
        break;
    }
    }
    findings.push_back(std::move(finding));
    readNested(element);
}

void ConfigChecker::readCode(const XMLElement& element, const KavriEntry& entry, Finding& finding)
{
    const bool isPackage = entry.kind == KavriEntry::Package;
    const XMLAttribute* first = element.FirstAttribute();
    const char* code = entry.code;
    if (code == nullptr) {
        if (first == nullptr) {
            finding.what = "no attribute; code must be its first attribute";
        } else if (attributeNamed(element, "code") != nullptr) {
            finding.what = std::string("code is not the first attribute (") + first->Name() +
                           " is); only the first attribute is read";
        } else if (lowered(first->Name()) == "code") {
            finding.what = std::string("the first attribute is ") + first->Name() +
                           "; attribute names are case-sensitive, it must be code";
        } else {
            finding.what = std::string("the first attribute is ") + first->Name() + ", not code";
        }
        return;
    }
    if (!entry.storesCode()) {
        finding.what = "empty code, nothing stored";
        return;
    }
    for (const XMLAttribute* a = first->Next(); a != nullptr; a = a->Next())
        finding.notes.push_back("attribute " + quoted(a->Name()) + " is ignored: only the first attribute is read");
    auto& seen = isPackage ? seenPackages_ : seenLeaders_;
    const auto earlier = seen.find(code);
    if (earlier != seen.end()) {
        finding.what = std::string(isPackage ? "package" : "leader") + " code " + quoted(code) +
                       " is already given at line " + std::to_string(earlier->second) +
                       "; stored again but adds nothing";
        return;
    }
    seen.emplace(code, finding.line);
    finding.effective = true;
    checkValue(finding, "code", code);
    if (isPackage) {
        packageCodes.push_back(code);
        finding.what = "package code " + quoted(code);
    } else {
        leaderCodes.push_back(code);
        finding.what = "leader code " + quoted(code);
    }
}

void ConfigChecker::readLink(const XMLElement& element, const KavriEntry& entry, Finding& finding)
{
    const char* className = entry.className;
    const char* tableName = entry.tableName;
    if (!entry.registersLink()) {
        finding.what = className == nullptr && tableName == nullptr ? "Link without class and table"
                       : className == nullptr                      ? "Link without class"
                                                                   : "Link without table";
        finding.what += ", passed over";
        for (const char* name : {"class", "table"}) {
            const char* variant = caseVariant(element, name);
            if (variant != nullptr)
                finding.notes.push_back(std::string(variant) + " is not " + name + ": names are case-sensitive");
        }
        return;
    }
    for (const XMLAttribute* a = element.FirstAttribute(); a != nullptr; a = a->Next()) {
        if (!named(a->Name(), "class") && !named(a->Name(), "table"))
            finding.notes.push_back("attribute " + quoted(a->Name()) + " is ignored");
    }
    if (className[0] == '\0')
        finding.notes.push_back("the class is empty: the host is asked to link an empty class name");
    if (tableName[0] == '\0')
        finding.notes.push_back("the table is empty: the host is asked to link an empty table name");
    const auto earlier = seenLinks_.find(className);
    if (earlier != seenLinks_.end())
        finding.notes.push_back("class " + quoted(className) + " is also linked at line " +
                                std::to_string(earlier->second) + "; the host is asked again and decides");
    else
        seenLinks_.emplace(className, finding.line);
    finding.effective = true;
    checkValue(finding, "class", className);
    checkValue(finding, "table", tableName);
    finding.what = "link " + shownValue(className) + " -> " + shownValue(tableName) +
                   ", registered with the host at creation";
    links.emplace_back(className, tableName);
}

void ConfigChecker::readNested(const XMLElement& parent)
{
    for (const XMLElement* e = parent.FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        Finding finding;
        finding.line = e->GetLineNum();
        finding.element = e->Name();
        finding.what = std::string("nested inside ") + parent.Name() + " at line " +
                       std::to_string(parent.GetLineNum()) + "; only direct children of Wired are read";
        findings.push_back(std::move(finding));
        readNested(*e);
    }
}

int ConfigChecker::exitCode() const
{
    if (rejected || !unchecked.empty())
        return 2;
    const bool allEffective =
        std::all_of(findings.begin(), findings.end(), [](const Finding& f) { return f.effective && !f.misread; });
    return allEffective ? 0 : 1;
}

void ConfigChecker::write(std::ostream& out) const
{
    // The report is in the host's code page, as the file's texts are: the
    // one checked for, which utf8Of reads it back from.
    std::string path;
    if (encoding::isAscii(this->path) || hostCodePage.empty() || !encoding::fromUtf8(this->path, hostCodePage, path))
        path = encoding::utf8ToHost(this->path);
    if (rejected) {
        out << path << (rejectedLine > 0 ? ":" + std::to_string(rejectedLine) : std::string()) << ": refused: "
            << rejection << '\n';
        out << "The plug-in shows the warning " << quoted(warningCaption)
            << " and works with no package codes, no leader codes and no links.\n";
        return;
    }
    for (const std::string& note : rootNotes)
        out << path << ": note: " << note << '\n';
    std::size_t effective = 0;
    for (const Finding& f : findings) {
        effective += f.effective;
        out << path << ":" << f.line << ": " << f.element << (f.effective ? " takes effect: " : " has no effect: ")
            << f.what << '\n';
        // A warning says so itself; other notes are marked as notes.
        for (const std::string& note : f.notes)
            out << path << ":" << f.line << (note.compare(0, 9, "warning: ") == 0 ? ": " : ": note: ") << note
                << '\n';
    }
    const auto list = [&](const char* title, const std::vector<std::string>& items) {
        out << title << ":";
        if (items.empty())
            out << " none";
        for (std::size_t i = 0; i < items.size(); ++i)
            out << (i ? ", " : " ") << shownValue(items[i]);
        out << '\n';
    };
    out << '\n';
    list("Package codes", packageCodes);
    if (packageCodes.empty())
        out << "  (no package codes: every class is named)\n";
    list("Leader codes", leaderCodes);
    std::vector<std::string> linkTexts;
    for (const auto& link : links)
        linkTexts.push_back(shownValue(link.first) + " -> " + shownValue(link.second));
    list("Links", linkTexts);
    out << effective << " of " << findings.size() << " entries take effect.\n";
}

std::string ConfigChecker::utf8Of(const std::string& hostText) const
{
    if (encoding::isAscii(hostText))
        return hostText;
    std::string utf8;
    if (hostCodePage.empty() || !encoding::toUtf8(hostText, hostCodePage, utf8))
        utf8 = encoding::hostToUtf8(hostText);
    return encoding::repairedUtf8(utf8);
}

void ConfigChecker::writeJson(std::ostream& out) const
{
    // Every text from the file is in the host's code page, whatever its bytes.
    const auto text = [this](const std::string& hostText) { return jsonString(utf8Of(hostText)); };
    const auto list = [&text](const std::vector<std::string>& items) {
        std::string json = "[";
        for (std::size_t i = 0; i < items.size(); ++i)
            json += (i ? ", " : "") + text(items[i]);
        return json + "]";
    };
    out << "{\n  \"config\": " << jsonString(encoding::repairedUtf8(path)) << ",\n  \"hostCodePage\": " << text(hostCodePage)
        << ",\n  \"accepted\": " << (rejected ? "false" : "true") << ",\n  \"refusal\": ";
    if (rejected)
        out << "{\"line\": " << rejectedLine << ", \"reason\": " << text(rejection)
            << ", \"warning\": " << text(warningCaption) << "}";
    else
        out << "null";
    out << ",\n  \"notes\": " << list(rootNotes) << ",\n  \"entries\": [";
    std::size_t effective = 0;
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const Finding& f = findings[i];
        effective += f.effective;
        out << (i ? ",\n    " : "\n    ") << "{\"line\": " << f.line << ", \"element\": " << text(f.element)
            << ", \"effective\": " << (f.effective ? "true" : "false") << ", \"what\": " << text(f.what)
            << ", \"notes\": " << list(f.notes) << ", \"misread\": " << (f.misread ? "true" : "false") << "}";
    }
    out << (findings.empty() ? "]" : "\n  ]") << ",\n  \"effective\": " << effective
        << ",\n  \"packageCodes\": " << list(packageCodes) << ",\n  \"leaderCodes\": " << list(leaderCodes)
        << ",\n  \"links\": [";
    for (std::size_t i = 0; i < links.size(); ++i)
        out << (i ? ", " : "") << "{\"class\": " << text(links[i].first) << ", \"table\": " << text(links[i].second)
            << "}";
    out << "],\n  \"exitCode\": " << exitCode() << "\n}\n";
}

} // namespace wiredhost

#include "ContainerUnpacker.h"

#include <vector>

#include "Inflater.h"
#include "TarArchive.h"
#include "Text.h"
#include "ZipArchive.h"

namespace wiredhost {

namespace {

// The entries that may hold the model, in the order they are looked for:
// an XMI first (a .zargo also holds the diagram's .pgml and a .todo), then
// the other formats run reads, plain or compressed (a .dia is often gzip
// inside), and last any .xml, which may be anything. What an entry is, is
// told by its content.
const char* const kModelEntries[] = {".xmi",    ".uml",    ".mdj",    ".dia",     ".puml", ".plantuml", ".pu",
                                     ".xmi.gz", ".uml.gz", ".mdj.gz", ".puml.gz", ".xml"};
const char kModelEntryNames[] = "(.xmi, .uml, .mdj, .dia, .puml, .xml)";

// Entry names for a message, the first few of them: "a, b and 3 more".
std::string listedNames(const std::vector<std::string>& names, std::size_t shown)
{
    std::string list;
    for (std::size_t i = 0; i < names.size() && i < shown; ++i)
        list += (list.empty() ? "" : ", ") + names[i];
    if (names.size() > shown)
        list += " and " + std::to_string(names.size() - shown) + " more";
    return list;
}

bool namedLikeAModel(const std::string& name)
{
    if (isMacMetadata(name))
        return false;
    for (const char* suffix : kModelEntries) {
        if (endsWithIgnoringCase(name, suffix))
            return true;
    }
    return false;
}

// Why an entry named like a model was passed over: a model file saved
// empty by a tool that failed, or (in a tar) a link or a sparse file.
const char* passedOverBecause(const ZipArchive::Entry& entry)
{
    return entry.size == 0 ? " (empty)" : "";
}

const char* passedOverBecause(const TarArchive::Entry& entry)
{
    return !entry.isFile() ? " (not a plain file)" : entry.size == 0 ? " (empty)" : "";
}

// An archive's entry names for a message; a long list is cut.
template <typename Entries>
std::string listed(const Entries& entries)
{
    std::vector<std::string> names;
    for (const auto& entry : entries)
        names.push_back(shortened(entry.name) + (namedLikeAModel(entry.name) ? passedOverBecause(entry) : ""));
    return names.empty() ? "nothing" : listedNames(names, 10);
}

// The entries besides the one read that hold a model too (an .xml may be
// anything, and an empty entry holds nothing: neither is counted), listed.
template <typename Entries>
std::string otherModels(const Entries& entries, const std::string& read)
{
    std::vector<std::string> others;
    for (const auto& entry : entries) {
        if (entry.name != read && entry.size != 0 && namedLikeAModel(entry.name) &&
            !endsWithIgnoringCase(entry.name, ".xml"))
            others.push_back(shortened(entry.name));
    }
    return listedNames(others, 3);
}

const char* containerName(ModelFormat format)
{
    return format == ModelFormat::Zip ? "zip" : format == ModelFormat::Tar ? "tar" : "gzip";
}

std::string mebibytes(std::size_t bytes)
{
    return std::to_string(bytes >> 20) + " MiB";
}

} // namespace

ContainerUnpacker::ContainerUnpacker(std::size_t fileSize, std::size_t absolute) : fileSize_(fileSize)
{
    // In 64 bits: kRatio times a large file would wrap a 32-bit size_t.
    unsigned long long limit = static_cast<unsigned long long>(fileSize) * kRatio;
    if (limit < kFloor)
        limit = kFloor;
    limit_ = static_cast<std::size_t>(limit < absolute ? limit : absolute);
}

bool ContainerUnpacker::isContainer(ModelFormat format)
{
    return format == ModelFormat::Gzip || format == ModelFormat::Zip || format == ModelFormat::Tar;
}

std::string ContainerUnpacker::limitText() const
{
    return "wired-host unpacks a file of " + std::to_string(fileSize_) + " bytes to at most " +
           std::to_string(limit_) + " bytes (" + std::to_string(kRatio) + " times its size, at least " +
           mebibytes(kFloor) + ", at most " + mebibytes(kAbsolute) + ")";
}

bool ContainerUnpacker::unpack(std::string& bytes, ModelFormat format, std::string& error)
{
    const std::string name = containerName(format);
    if (nesting_ == kMaxNesting) {
        error = "containers nested deeper than " + std::to_string(kMaxNesting) + " (" + name + " in " + chain_ +
                "), more than wired-host unpacks";
        return false;
    }
    ++nesting_;
    chain_ = chain_.empty() ? name : name + " in " + chain_;
    if (format == ModelFormat::Zip)
        return unzip(bytes, error);
    if (format == ModelFormat::Tar)
        return untar(bytes, error);
    return gunzip(bytes, error);
}

bool ContainerUnpacker::gunzip(std::string& bytes, std::string& error)
{
    std::string unpacked;
    if (!Inflater::gunzip(bytes, limit_, unpacked, error)) {
        error = "gzip: " + error + (error.compare(0, 7, "unpacks") == 0 ? "; " + limitText() : "");
        return false;
    }
    bytes.swap(unpacked);
    return true;
}

// ArgoUML's .zargo and Poseidon's .zuml: the model is the .xmi entry.
bool ContainerUnpacker::unzip(std::string& bytes, std::string& error)
{
    ZipArchive archive;
    if (!archive.parse(bytes, error))
        return false;
    for (const char* suffix : kModelEntries) {
        if (const ZipArchive::Entry* entry = archive.findBySuffix(suffix)) {
            std::string content;
            entry_ = entry->name;
            if (!archive.extract(*entry, limit_, content, error)) {
                if (error.find(": unpacks to more than") != std::string::npos)
                    error += "; " + limitText();
                return false;
            }
            bytes.swap(content);
            passedOver_ = otherModels(archive.entries(), entry_);
            return true;
        }
    }
    error = std::string("a zip file without a model ") + kModelEntryNames + " in it; it holds: " +
            listed(archive.entries());
    return false;
}

// Umbrello's .xmi.tgz: the model is the .xmi entry of a tar in gzip.
bool ContainerUnpacker::untar(std::string& bytes, std::string& error)
{
    TarArchive archive;
    archive.parse(bytes);
    for (const char* suffix : kModelEntries) {
        if (const TarArchive::Entry* entry = archive.findBySuffix(suffix)) {
            entry_ = entry->name;
            bytes = archive.extract(*entry);
            passedOver_ = otherModels(archive.entries(), entry_);
            return true;
        }
    }
    if (!archive.damage().empty()) {
        error = std::string("a tar archive without a model ") + kModelEntryNames +
                " before a damaged entry: " + archive.damage();
        return false;
    }
    error = std::string("a tar archive without a model ") + kModelEntryNames + " in it; it holds: " +
            listed(archive.entries());
    return false;
}

} // namespace wiredhost

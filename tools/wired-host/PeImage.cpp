#include "PeImage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace wiredhost {

namespace {

// Bounds on what a file may make the reader do. Real programs stay far
// below them: a large host imports a few thousand functions from a few
// dozen DLLs, libstdc++ exports about ten thousand names.
const std::size_t kMaxDlls = 4096;
const std::size_t kMaxFunctions = 200000;
const std::size_t kMaxExports = 200000;
// A DLL's name is a file name; a function's may be a C++ name mangled
// from long template arguments.
const uint64_t kMaxName = 4096;
const uint64_t kMaxFunctionName = 64 * 1024;
const uint64_t kMaxNameBytes = 64u << 20;

const unsigned kImportDirectory = 1;
const unsigned kExportDirectory = 0;
const unsigned kDelayImportDirectory = 13;
const unsigned kClrDirectory = 14;

bool sameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x != y && !(x >= 'A' && x <= 'Z' && x + 32 == y) && !(y >= 'A' && y <= 'Z' && y + 32 == x))
            return false;
    }
    return true;
}

} // namespace

bool PeImage::read(const std::string& bytes, std::string& error)
{
    *this = PeImage();
    bytes_ = &bytes;
    const bool done = readHeaders(error);
    // The image keeps what it read, not the bytes it read it from.
    bytes_ = nullptr;
    return done;
}

uint64_t PeImage::number(uint64_t offset, unsigned width) const
{
    uint64_t value = 0;
    for (unsigned i = width; i-- > 0;)
        value = (value << 8) | static_cast<unsigned char>((*bytes_)[static_cast<std::size_t>(offset + i)]);
    return value;
}

bool PeImage::readHeaders(std::string& error)
{
    const uint64_t size = bytes_->size();
    if (size < 2 || bytes_->compare(0, 2, "MZ") != 0) {
        error = "not a Windows program: no MZ header";
        return false;
    }
    // A DOS program's header is 64 bytes; its last field, which points to
    // a newer header, may hold anything.
    if (size < 0x40) {
        error = "the MS-DOS header is cut off (" + std::to_string(size) + " of its 64 bytes)";
        return false;
    }
    kind_ = ImageKind::Dos;
    const uint64_t header = number(0x3C, 4);
    // Linkers of Windows programs put the stub's relocations at 0x40, the
    // sign of a newer header: a file that ends before the header it points
    // to is a Windows program cut short, not an MS-DOS one.
    if (header >= size && number(0x18, 2) == 0x40) {
        error = "cut off: its MS-DOS header points to a newer header at offset " + std::to_string(header) +
                ", past the end of the file (" + std::to_string(size) + " bytes)";
        return false;
    }
    if (header >= size)
        return true;
    const std::string signature = bytes_->substr(static_cast<std::size_t>(header), 4);
    // The file ends inside "PE\0\0": a Windows program cut short, not an
    // MS-DOS one.
    if (signature.size() < 4 && std::string("PE\0\0", 4).compare(0, signature.size(), signature) == 0) {
        error = "cut off in its PE signature (the file has " + std::to_string(size) + " bytes)";
        return false;
    }
    if (signature.size() < 2)
        return true;
    if (signature.compare(0, 2, "NE") == 0) {
        kind_ = ImageKind::Windows16;
        return true;
    }
    if (signature.compare(0, 2, "LE") == 0 || signature.compare(0, 2, "LX") == 0) {
        kind_ = ImageKind::Linear;
        return true;
    }
    if (signature != std::string("PE\0\0", 4))
        return true;

    kind_ = ImageKind::Pe;
    if (size - header < 24) {
        error = "the PE file header is cut off";
        return false;
    }
    const uint64_t fileHeader = header + 4;
    machine_ = static_cast<uint16_t>(number(fileHeader, 2));
    const unsigned sectionCount = static_cast<unsigned>(number(fileHeader + 2, 2));
    const uint64_t optionalSize = number(fileHeader + 16, 2);
    dll_ = (number(fileHeader + 18, 2) & 0x2000) != 0;
    const uint64_t optional = fileHeader + 20;
    if (optionalSize < 2) {
        error = "no optional header: an object file, not a program";
        return false;
    }
    if (size - optional < optionalSize) {
        error = "the optional header is cut off";
        return false;
    }
    const uint64_t magic = number(optional, 2);
    if (magic != 0x10B && magic != 0x20B) {
        char text[64];
        std::snprintf(text, sizeof text, "unknown optional header (magic 0x%X)", static_cast<unsigned>(magic));
        error = text;
        return false;
    }
    pe32Plus_ = magic == 0x20B;
    if ((machine_ == kMachineI386 && pe32Plus_) || (machine_ == kMachineAmd64 && !pe32Plus_)) {
        error = std::string(pe32Plus_ ? "a PE32+" : "a PE32") + " header for machine " + machineName(machine_);
        return false;
    }
    // The fixed part of the optional header, up to its data directories.
    const uint64_t fixed = pe32Plus_ ? 112 : 96;
    if (optionalSize < fixed) {
        error = "the optional header is too short";
        return false;
    }
    entryPoint_ = number(optional + 16, 4);
    imageBase_ = pe32Plus_ ? number(optional + 24, 8) : number(optional + 28, 4);
    headersSize_ = number(optional + 60, 4);
    const uint64_t directoryCount = std::min<uint64_t>(number(optional + fixed - 4, 4), 16);
    if ((optionalSize - fixed) / 8 < directoryCount) {
        error = "the data directories run past the optional header";
        return false;
    }
    for (uint64_t i = 0; i < directoryCount; ++i)
        directories_.emplace_back(number(optional + fixed + 8 * i, 4), number(optional + fixed + 8 * i + 4, 4));
    if (!readSections(optional + optionalSize, sectionCount, error))
        return false;

    // The loader takes the import tables by their address alone, whatever
    // size the directory gives them.
    const auto directory = [this](unsigned index) {
        const bool sized = index != kImportDirectory && index != kDelayImportDirectory;
        return index < directories_.size() && (directories_[index].second != 0 || !sized) ? directories_[index].first
                                                                                           : 0;
    };
    clr_ = directory(kClrDirectory) != 0;
    if (directory(kImportDirectory) != 0 && !readImports(directory(kImportDirectory), error))
        return false;
    if (directory(kDelayImportDirectory) != 0 && !readDelayImports(directory(kDelayImportDirectory), error))
        return false;
    return directory(kExportDirectory) == 0 || readExports(directory(kExportDirectory), error);
}

bool PeImage::readSections(uint64_t at, unsigned count, std::string& error)
{
    const uint64_t size = bytes_->size();
    if (at > size || (size - at) / 40 < count) {
        error = "the section table is cut off";
        return false;
    }
    for (unsigned i = 0; i < count; ++i) {
        const uint64_t entry = at + 40 * uint64_t(i);
        const uint64_t rva = number(entry + 12, 4);
        const uint64_t rawSize = number(entry + 16, 4);
        const uint64_t offset = number(entry + 20, 4);
        // Only what the file holds can be read; the rest of a section is
        // zeros the loader supplies, and no table or name lies there.
        const uint64_t held = offset < size ? std::min(rawSize, size - offset) : 0;
        PeSection section;
        // The loader maps what the section table says the file holds: a
        // file that holds less is cut short, and cannot be loaded.
        if (held < rawSize) {
            std::string name(bytes_->data() + entry, 8);
            name.erase(std::min(name.find('\0'), name.size()));
            error = "cut off: section " + std::to_string(i + 1) + " (" + name + ") runs " +
                    std::to_string(rawSize - held) + " bytes past the end of the file";
            return false;
        }
        section.name.assign(bytes_->data() + entry, 8);
        section.name.erase(std::min(section.name.find('\0'), section.name.size()));
        for (char& c : section.name) {
            if (c < 0x20 || c > 0x7E)
                c = '?';
        }
        section.rva = rva;
        section.virtualSize = number(entry + 8, 4);
        section.offset = offset;
        section.held = held;
        section.characteristics = static_cast<uint32_t>(number(entry + 36, 4));
        sections_.push_back(section);
    }
    byAddress_.resize(sections_.size());
    for (std::size_t i = 0; i < byAddress_.size(); ++i)
        byAddress_[i] = i;
    std::stable_sort(byAddress_.begin(), byAddress_.end(),
                     [this](std::size_t a, std::size_t b) { return sections_[a].rva < sections_[b].rva; });
    return true;
}

bool PeImage::offsetOf(uint64_t rva, uint64_t need, uint64_t& offset) const
{
    uint64_t available = 0;
    if (!spanAt(rva, offset, available))
        return false;
    return available >= need;
}

bool PeImage::spanAt(uint64_t rva, uint64_t& offset, uint64_t& available) const
{
    // The loader maps a section's virtual size (its raw size when that is
    // 0) and fills what lies past its file data with zeros: bytes of the
    // file past the virtual size are not in the image, whatever the raw
    // size says.
    const auto lookUp = [&](std::size_t i) {
        const PeSection& section = sections_[i];
        const uint64_t mapped = section.virtualSize != 0 ? std::min(section.virtualSize, section.held) : section.held;
        if (rva < section.rva || rva - section.rva >= mapped)
            return false;
        lastSection_ = i;
        offset = section.offset + (rva - section.rva);
        available = mapped - (rva - section.rva);
        return true;
    };
    // Lookups mostly stay in the section of the one before; otherwise the
    // section that starts last at or before rva, as the loader lays them
    // out, found by halving so that a table of 65,535 sections costs no
    // more per lookup than one of five.
    if (!sections_.empty() && lookUp(lastSection_))
        return true;
    const auto after = std::upper_bound(byAddress_.begin(), byAddress_.end(), rva,
                                        [this](uint64_t r, std::size_t i) { return r < sections_[i].rva; });
    if (after != byAddress_.begin() && lookUp(*(after - 1)))
        return true;
    // The headers are mapped at RVA 0 as they are in the file.
    const uint64_t headers = std::min<uint64_t>(headersSize_, bytes_->size());
    if (rva < headers) {
        offset = rva;
        available = headers - rva;
        return true;
    }
    return false;
}

bool PeImage::nameAt(uint64_t rva, std::string& name, uint64_t longest)
{
    uint64_t offset = 0, available = 0;
    if (!spanAt(rva, offset, available)) {
        nameProblem_ = "lies outside the file";
        return false;
    }
    const uint64_t limit = std::min(available, longest);
    const char* start = bytes_->data() + offset;
    const void* end = std::memchr(start, '\0', static_cast<std::size_t>(limit));
    if (end == nullptr) {
        nameProblem_ = available <= longest ? "runs to the end of its section without ending"
                                            : "is longer than " + std::to_string(longest) + " bytes";
        return false;
    }
    const std::size_t length = static_cast<const char*>(end) - start;
    if (nameBytes_ + length > kMaxNameBytes) {
        nameProblem_ = "takes the image's names past " + std::to_string(kMaxNameBytes >> 20) + " MiB";
        return false;
    }
    nameBytes_ += length;
    name.assign(start, length);
    for (char& c : name) {
        if (c < 0x20 || c > 0x7E)
            c = '?';
    }
    return true;
}

bool PeImage::rvaOf(uint64_t value, bool addresses, uint64_t& rva) const
{
    if (!addresses) {
        rva = value;
        return true;
    }
    if (value < imageBase_)
        return false;
    rva = value - imageBase_;
    return true;
}

bool PeImage::readImports(uint64_t rva, std::string& error)
{
    for (uint64_t i = 0;; ++i) {
        uint64_t at = 0;
        if (!offsetOf(rva + 20 * i, 20, at)) {
            error = "the import table runs outside the file";
            return false;
        }
        const uint64_t lookup = number(at, 4), bound = number(at + 4, 4);
        const uint64_t name = number(at + 12, 4), addresses = number(at + 16, 4);
        // The loader stops at the first entry without a name or an address table.
        if (name == 0 || addresses == 0)
            return true;
        if (imports_.size() == kMaxDlls) {
            error = "more than " + std::to_string(kMaxDlls) + " imported DLLs";
            return false;
        }
        PeImport import;
        if (!nameAt(name, import.dll, kMaxName)) {
            error = "the name of imported DLL " + std::to_string(i + 1) + " " + nameProblem_;
            return false;
        }
        // Without a lookup table, a bound image's address table holds
        // addresses, not names: the functions are not known.
        const bool named = lookup != 0 || bound == 0;
        if (named && !readThunks(lookup != 0 ? lookup : addresses, false, import, error))
            return false;
        imports_.push_back(import);
    }
}

bool PeImage::readDelayImports(uint64_t rva, std::string& error)
{
    for (uint64_t i = 0;; ++i) {
        uint64_t at = 0;
        if (!offsetOf(rva + 32 * i, 32, at)) {
            error = "the delay-load import table runs outside the file";
            return false;
        }
        const uint64_t attributes = number(at, 4), name = number(at + 4, 4), names = number(at + 16, 4);
        if (name == 0)
            return true;
        if (imports_.size() == kMaxDlls) {
            error = "more than " + std::to_string(kMaxDlls) + " imported DLLs";
            return false;
        }
        // Bit 0 clear: an old linker's descriptor, holding virtual addresses.
        const bool addresses = (attributes & 1) == 0;
        PeImport import;
        import.delayed = true;
        uint64_t nameRva = 0, namesRva = 0;
        nameProblem_ = "lies outside the file"; // unless nameAt says otherwise
        if (!rvaOf(name, addresses, nameRva) || !nameAt(nameRva, import.dll, kMaxName)) {
            error = "the name of delay-loaded DLL " + std::to_string(i + 1) + " " + nameProblem_;
            return false;
        }
        if (names != 0) {
            if (!rvaOf(names, addresses, namesRva)) {
                error = "the functions of delay-loaded " + import.dll + " lie outside the file";
                return false;
            }
            if (!readThunks(namesRva, addresses, import, error))
                return false;
        }
        imports_.push_back(import);
    }
}

bool PeImage::readThunks(uint64_t rva, bool addresses, PeImport& import, std::string& error)
{
    const unsigned width = pe32Plus_ ? 8 : 4;
    const uint64_t byOrdinal = uint64_t(1) << (width * 8 - 1);
    for (uint64_t i = 0;; ++i) {
        uint64_t at = 0;
        if (!offsetOf(rva + width * i, width, at)) {
            error = "the functions imported from " + import.dll + " run outside the file";
            return false;
        }
        const uint64_t entry = number(at, width);
        if (entry == 0)
            return true;
        if (functionCount_ == kMaxFunctions) {
            error = "more than " + std::to_string(kMaxFunctions) + " imported functions";
            return false;
        }
        ++functionCount_;
        if ((entry & byOrdinal) != 0)
            continue;
        // A hint of two bytes, then the name.
        uint64_t hint = 0;
        std::string function;
        nameProblem_ = "lies outside the file"; // unless nameAt says otherwise
        if (!rvaOf(entry, addresses, hint) || !nameAt(hint + 2, function, kMaxFunctionName)) {
            error = "the name of a function imported from " + import.dll + " " + nameProblem_;
            return false;
        }
        import.functions.push_back(function);
    }
}

bool PeImage::readExports(uint64_t rva, std::string& error)
{
    uint64_t at = 0;
    if (!offsetOf(rva, 40, at)) {
        error = "the export directory lies outside the file";
        return false;
    }
    const uint64_t count = number(at + 24, 4), names = number(at + 32, 4);
    if (count > kMaxExports) {
        error = "more than " + std::to_string(kMaxExports) + " exported names";
        return false;
    }
    uint64_t table = 0;
    if (count != 0 && !offsetOf(names, 4 * count, table)) {
        error = "the export name table runs outside the file";
        return false;
    }
    for (uint64_t i = 0; i < count; ++i) {
        std::string name;
        if (!nameAt(number(table + 4 * i, 4), name, kMaxFunctionName)) {
            error = "exported name " + std::to_string(i + 1) + " " + nameProblem_;
            return false;
        }
        exports_.push_back(name);
    }
    return true;
}

const PeImport* PeImage::findImport(const std::string& dll) const
{
    for (const PeImport& import : imports_) {
        if (sameName(import.dll, dll))
            return &import;
    }
    return nullptr;
}

std::string PeImage::machineName(uint16_t machine)
{
    switch (machine) {
    case kMachineI386:
        return "i386";
    case kMachineAmd64:
        return "x86-64";
    case 0xAA64:
        return "ARM64";
    case 0xA641:
        return "ARM64EC";
    case 0x1C4:
        return "ARM";
    case 0x200:
        return "IA-64";
    default:
        break;
    }
    char text[32];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(machine));
    return text;
}

} // namespace wiredhost

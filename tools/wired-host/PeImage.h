#ifndef WIREDHOST_PEIMAGE_H
#define WIREDHOST_PEIMAGE_H

#include <cstdint>
#include <string>
#include <vector>

namespace wiredhost {

// What the headers of an executable file say it is.
enum class ImageKind {
    Dos,       // an MZ header and nothing after it: a DOS program
    Windows16, // NE: a 16-bit Windows program
    Linear,    // LE or LX: OS/2 or a Windows 3.x/9x driver
    Pe,        // PE32 or PE32+: a Windows program or DLL of today
};

struct PeImport {
    std::string dll;
    // Loaded on the first call, not at start-up (the delay-load directory).
    bool delayed = false;
    // The functions imported by name; those imported by ordinal have none.
    std::vector<std::string> functions;
};

// A section of an image: where it is loaded and where its bytes lie in the
// file.
struct PeSection {
    // The header's eight bytes: ".text", or "/4" for a long name kept in
    // the symbol table's strings.
    std::string name;
    uint64_t rva = 0, virtualSize = 0;
    // Where the section's file data starts, and how much of it the file
    // holds (the rest of the section is zeros the loader supplies).
    uint64_t offset = 0, held = 0;
    uint32_t characteristics = 0;
};

// A Windows program or DLL read from its bytes, on any platform: its
// headers, its imports, ordinary and delay-loaded, and the names it
// exports. The file is untrusted: every offset, size and count taken from
// it is checked against the file before it is followed, in 64-bit
// arithmetic that cannot wrap, and every list and name is bounded, so a
// hostile file can neither lead the reader astray nor keep it busy.
class PeImage {
public:
    static const uint16_t kMachineI386 = 0x14C;
    static const uint16_t kMachineAmd64 = 0x8664;

    // False with the reason in error when the bytes are no executable (no
    // MZ header) or a PE image whose headers or tables point outside the
    // file. A DOS, NE or LE/LX program is read (kind() tells), but has
    // nothing else to read.
    bool read(const std::string& bytes, std::string& error);

    ImageKind kind() const { return kind_; }
    uint16_t machine() const { return machine_; }
    // PE32+ (64-bit) rather than PE32.
    bool pe32Plus() const { return pe32Plus_; }
    bool isDll() const { return dll_; }
    // A .NET assembly: the CLR header's data directory is set.
    bool hasClrHeader() const { return clr_; }
    const std::vector<PeImport>& imports() const { return imports_; }
    const std::vector<std::string>& exports() const { return exports_; }
    const std::vector<PeSection>& sections() const { return sections_; }
    uint64_t entryPoint() const { return entryPoint_; }
    uint64_t imageBase() const { return imageBase_; }

    // The import of dll, its name compared in any case; null when the
    // image does not import it (neither at start-up nor delayed).
    const PeImport* findImport(const std::string& dll) const;

    // "i386", "x86-64", "ARM64"..., or the number for another machine.
    static std::string machineName(uint16_t machine);

private:
    bool readHeaders(std::string& error);
    bool readSections(uint64_t at, unsigned count, std::string& error);
    bool readImports(uint64_t rva, std::string& error);
    bool readDelayImports(uint64_t rva, std::string& error);
    bool readExports(uint64_t rva, std::string& error);
    bool readThunks(uint64_t rva, bool addresses, PeImport& import, std::string& error);

    // The file offset of rva with need bytes of file data behind it, all in
    // one section (or in the headers); false when there is not.
    bool offsetOf(uint64_t rva, uint64_t need, uint64_t& offset) const;
    // The file offset of rva and how many bytes of its section follow.
    bool spanAt(uint64_t rva, uint64_t& offset, uint64_t& available) const;
    // A NUL-terminated name at rva of at most `longest` bytes, kept in
    // printable ASCII ('?' for other bytes); false, with nameProblem_
    // saying why, when it does not end within its section or is too long.
    bool nameAt(uint64_t rva, std::string& name, uint64_t longest);
    uint64_t number(uint64_t offset, unsigned width) const;
    // A delay-load descriptor's address as an RVA: the oldest ones hold
    // virtual addresses. False when the address is below the image base.
    bool rvaOf(uint64_t value, bool addresses, uint64_t& rva) const;

    const std::string* bytes_ = nullptr;
    ImageKind kind_ = ImageKind::Dos;
    uint16_t machine_ = 0;
    bool pe32Plus_ = false;
    bool dll_ = false;
    bool clr_ = false;
    uint64_t imageBase_ = 0;
    uint64_t entryPoint_ = 0;
    uint64_t headersSize_ = 0;
    std::vector<PeSection> sections_;
    // The sections' indices in the order of their addresses.
    std::vector<std::size_t> byAddress_;
    // RVA and size of each data directory the header has (at most 16).
    std::vector<std::pair<uint64_t, uint64_t>> directories_;
    std::vector<PeImport> imports_;
    std::vector<std::string> exports_;
    std::size_t functionCount_ = 0;
    uint64_t nameBytes_ = 0;
    std::string nameProblem_;
    mutable std::size_t lastSection_ = 0;
};

} // namespace wiredhost

#endif

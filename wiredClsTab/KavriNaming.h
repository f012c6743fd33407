#ifndef WIREDCLSTAB_KAVRINAMING_H
#define WIREDCLSTAB_KAVRINAMING_H

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "KavriCodes.h"

namespace kavri {

// The rule that names a class's table: the package filter, the leader code
// removed from the front of the class name and the underscores put at the
// camel-case seams. This is the only place that knows it; the converter
// names its tables through it and wired-host explains them through it.
//
// It only looks at the code lists it is given, which must outlive it, so
// making one costs nothing. Names are byte strings in the host's code page,
// compared byte by byte; the caller says which bytes begin a double-byte
// character, since only the operating system knows the code page.
class KavriNaming {
public:
    // Is c the first byte of a double-byte character?
    using LeadByteTest = bool (*)(char c);

    // No code matched.
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    // Names up to this long are derived without touching the heap.
    static constexpr std::size_t kShortName = 64;

    // A derived table name. From up to kShortName bytes of class name (and
    // any other that fits) it is kept inside the object, so naming a class
    // on the stack needs no heap.
    class TableName {
    public:
        TableName() { inside_[0] = '\0'; }
        TableName(const TableName&) = delete;
        TableName& operator=(const TableName&) = delete;

        const char* c_str() const { return text_; }
        std::size_t size() const { return size_; }
        std::string str() const { return std::string(text_, size_); }

    private:
        friend class KavriNaming;
        // Room for size bytes and a NUL; the text is then that room.
        char* reserve(std::size_t size);
        void setSize(std::size_t size);

        // A seam takes at least two bytes, so the underscores add at most half.
        char inside_[kShortName + kShortName / 2 + 1];
        std::unique_ptr<char[]> heap_;
        char* text_ = inside_;
        std::size_t size_ = 0;
    };

    // How one class got its table name, step by step.
    struct Explanation {
        // The package path was tested: package codes are configured.
        bool packageTested = false;
        // The first package code the path ends with, or kNone.
        std::size_t packageCode = kNone;
        // The leader code removed from the front of the name, or kNone.
        std::size_t leaderCode = kNone;
        // The name once the leader is removed.
        std::string withoutLeader;
        // Where each inserted '_' stands in the table name, in order.
        std::vector<std::size_t> underscores;
        std::string tableName;

        // Turned away by the package filter: no table name at all.
        bool skipped() const { return packageTested && packageCode == kNone; }
    };

    KavriNaming(const KavriCodes& packageCodes, const KavriCodes& leaderCodes, LeadByteTest isLeadByte);

    // With no package codes every class passes without its path being asked.
    bool filtersPackages() const { return !packageCodes_.empty(); }
    // The first package code that packagePath ends with, whole or after a
    // '.'; kNone when none does.
    std::size_t packageMatch(const std::string& packagePath) const;
    // Does the class pass the package filter?
    bool passes(const std::string& packagePath) const;
    // The first leader code that the name starts with; kNone when none does.
    std::size_t leaderMatch(const std::string& name) const;

    // The name without its leader, with '_' at every lower-to-upper-case seam.
    void derive(const std::string& name, TableName& table) const;
    std::string tableNameFor(const std::string& name) const;

    // Every step for a class of this package and name. When the package
    // filter turns it away, nothing further is derived.
    Explanation explain(const std::string& packagePath, const std::string& name) const;

private:
    // Copies text to out with '_' before every seam, or only counts the
    // seams when out is null.
    std::size_t seams(const char* text, std::size_t length, char* out) const;
    bool startsDoubleByte(const char* text, std::size_t i, std::size_t length) const;

    const KavriCodes& packageCodes_;
    const KavriCodes& leaderCodes_;
    LeadByteTest isLeadByte_;
};

} // namespace kavri

#endif

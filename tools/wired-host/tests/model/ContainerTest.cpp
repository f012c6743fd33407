// The container layer on damaged and hostile data: every size and offset a
// file gives is checked before use, unpacking stops at its limits, and all
// flavours, 32-bit ones included, come to the same verdict.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include "Deflated.h"
#include "ScratchFile.h"
#include "model/ContainerUnpacker.h"
#include "model/Model.h"
#include "model/Inflater.h"
#include "model/TarArchive.h"
#include "model/ZipArchive.h"

namespace wiredhost {
namespace {

void put16(std::string& out, std::uint32_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

void put32(std::string& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

struct ZipLayout {
    std::uint32_t compressedSize;  // as the directory states it
    std::uint32_t localHeader;     // offset the directory gives
    std::uint32_t directoryOffset; // offset the end record gives
};

// One deflated entry m.xmi, with the directory's fields as given;
// 0xFFFFFFFF in a field of layout means "the true value".
std::string zipFile(const std::string& content, ZipLayout layout)
{
    const std::string name = "m.xmi";
    const std::string data = deflated(content, -15);
    std::string zip;
    put32(zip, 0x04034b50);
    put16(zip, 20); put16(zip, 0); put16(zip, 8); put32(zip, 0); put32(zip, static_cast<std::uint32_t>(Inflater::crc32Of(content)));
    put32(zip, static_cast<std::uint32_t>(data.size())); put32(zip, static_cast<std::uint32_t>(content.size()));
    put16(zip, static_cast<std::uint32_t>(name.size())); put16(zip, 0);
    zip += name + data;
    const std::uint32_t directory = static_cast<std::uint32_t>(zip.size());
    put32(zip, 0x02014b50);
    put16(zip, 20); put16(zip, 20); put16(zip, 0); put16(zip, 8); put32(zip, 0); put32(zip, static_cast<std::uint32_t>(Inflater::crc32Of(content)));
    put32(zip, layout.compressedSize != 0xFFFFFFFF ? layout.compressedSize : static_cast<std::uint32_t>(data.size()));
    put32(zip, static_cast<std::uint32_t>(content.size()));
    put16(zip, static_cast<std::uint32_t>(name.size())); put16(zip, 0); put16(zip, 0); put16(zip, 0); put16(zip, 0);
    put32(zip, 0);
    put32(zip, layout.localHeader != 0xFFFFFFFF ? layout.localHeader : 0);
    zip += name;
    const std::uint32_t length = static_cast<std::uint32_t>(zip.size()) - directory;
    put32(zip, 0x06054b50);
    put16(zip, 0); put16(zip, 0); put16(zip, 1); put16(zip, 1);
    put32(zip, length);
    put32(zip, layout.directoryOffset != 0xFFFFFFFF ? layout.directoryOffset : directory);
    put16(zip, 0);
    return zip;
}

void put64(std::string& out, std::uint64_t value)
{
    put32(out, static_cast<std::uint32_t>(value));
    put32(out, static_cast<std::uint32_t>(value >> 32));
}

// The same entry as a streaming zipper writes it: the directory's sizes and
// offset and the end record's count and offset all in zip64 records. The
// zip64 end record is left out when asked, and its directory offset can
// be given.
std::string zip64File(const std::string& content, bool withEndRecord, std::uint64_t directoryOffset = ~0ull)
{
    const std::string name = "m.xmi";
    const std::string data = deflated(content, -15);
    std::string zip;
    put32(zip, 0x04034b50);
    put16(zip, 45); put16(zip, 0); put16(zip, 8); put32(zip, 0); put32(zip, static_cast<std::uint32_t>(Inflater::crc32Of(content)));
    put32(zip, 0xFFFFFFFF); put32(zip, 0xFFFFFFFF);
    put16(zip, static_cast<std::uint32_t>(name.size())); put16(zip, 20);
    zip += name;
    put16(zip, 1); put16(zip, 16); put64(zip, content.size()); put64(zip, data.size());
    zip += data;
    const std::uint64_t directory = zip.size();
    put32(zip, 0x02014b50);
    put16(zip, 45); put16(zip, 45); put16(zip, 0); put16(zip, 8); put32(zip, 0); put32(zip, static_cast<std::uint32_t>(Inflater::crc32Of(content)));
    put32(zip, 0xFFFFFFFF); put32(zip, 0xFFFFFFFF);
    put16(zip, static_cast<std::uint32_t>(name.size())); put16(zip, 4 + 24); put16(zip, 0); put16(zip, 0);
    put16(zip, 0); put32(zip, 0); put32(zip, 0xFFFFFFFF);
    zip += name;
    put16(zip, 1); put16(zip, 24); put64(zip, content.size()); put64(zip, data.size()); put64(zip, 0);
    const std::uint64_t length = zip.size() - directory;
    if (withEndRecord) {
        const std::uint64_t record = zip.size();
        put32(zip, 0x06064b50); put64(zip, 44); put16(zip, 45); put16(zip, 45); put32(zip, 0); put32(zip, 0);
        put64(zip, 1); put64(zip, 1); put64(zip, length); put64(zip, directoryOffset != ~0ull ? directoryOffset : directory);
        put32(zip, 0x07064b50); put32(zip, 0); put64(zip, record); put32(zip, 1);
    }
    put32(zip, 0x06054b50);
    put16(zip, 0); put16(zip, 0); put16(zip, 0xFFFF); put16(zip, 0xFFFF);
    put32(zip, 0xFFFFFFFF); put32(zip, 0xFFFFFFFF);
    put16(zip, 0);
    return zip;
}

// A ustar header for name with the raw 12-byte size field and a checksum
// that matches, then content.
std::string tarEntry(const std::string& name, const std::string& sizeField, const std::string& content, char type = '0')
{
    std::string header(512, '\0');
    header.replace(0, name.size(), name);
    header.replace(124, sizeField.size(), sizeField);
    header[156] = type;
    header.replace(257, 5, "ustar");
    unsigned sum = 8 * ' ';
    for (std::size_t i = 0; i < header.size(); ++i)
        sum += i >= 148 && i < 156 ? 0 : static_cast<unsigned char>(header[i]);
    char checksum[8];
    std::snprintf(checksum, sizeof checksum, "%06o", sum);
    header.replace(148, 7, checksum, 7);
    std::string padded = content;
    padded.resize((content.size() + 511) / 512 * 512, '\0');
    return header + padded;
}

std::string octal(std::size_t size)
{
    char field[12];
    std::snprintf(field, sizeof field, "%011o", static_cast<unsigned>(size));
    return std::string(field, 11) + '\0';
}

TEST(Inflater, StopsAtItsLimitAndSaysHowFarItGot)
{
    const std::string zeros(1 << 20, '\0');
    const std::string bomb = gzipped(zeros);
    std::string out;
    std::string error;
    EXPECT_FALSE(Inflater::gunzip(bomb, 100000, out, error));
    EXPECT_NE(error.find("unpacks to more than 100000 bytes"), std::string::npos) << error;
    EXPECT_NE(error.find("of its " + std::to_string(bomb.size()) + " compressed bytes"), std::string::npos) << error;
    EXPECT_LE(out.size(), 100000u);

    ASSERT_TRUE(Inflater::gunzip(bomb, zeros.size(), out, error)) << error;
    EXPECT_EQ(out, zeros);
}

TEST(Inflater, ReadsEveryMemberAndRefusesACutStream)
{
    std::string out;
    std::string error;
    ASSERT_TRUE(Inflater::gunzip(gzipped("<a>") + gzipped("</a>"), 1000, out, error)) << error;
    EXPECT_EQ(out, "<a></a>");

    const std::string whole = gzipped(std::string(5000, 'x'));
    EXPECT_FALSE(Inflater::gunzip(whole.substr(0, whole.size() / 2), 1 << 20, out, error));
    EXPECT_FALSE(error.empty());
    // A size in the trailer far beyond the data reserves nothing absurd.
    std::string lying = gzipped("<a/>");
    lying.replace(lying.size() - 4, 4, "\xF0\xFF\xFF\xFF", 4);
    EXPECT_FALSE(Inflater::gunzip(lying, 1 << 20, out, error)); // the length check fails
    EXPECT_LT(out.capacity(), std::size_t(1) << 20);
}

TEST(ZipArchive, SizesAndOffsetsFromTheFileAreCheckedWithoutWrapping)
{
    const std::string model = "<XMI/>";
    struct Case {
        const char* what;
        ZipLayout layout;
        bool opens;
        const char* error;
    } cases[] = {
        {"true sizes", {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}, true, ""},
        {"compressed size near 4 GiB", {0xFFFFFFF0, 0xFFFFFFFF, 0xFFFFFFFF}, true, "is cut short"},
        {"compressed size one past the data", {0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFF}, true, "is cut short"},
        {"local header near 4 GiB", {0xFFFFFFFF, 0xFFFFFFF0, 0xFFFFFFFF}, true, "is damaged"},
        {"directory near 4 GiB", {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFF0}, false, "damaged directory"},
        {"directory past the end", {0xFFFFFFFF, 0xFFFFFFFF, 4000}, false, "damaged directory"},
    };
    for (const Case& c : cases) {
        const std::string zip = zipFile(model, c.layout);
        ZipArchive archive;
        std::string error;
        ASSERT_EQ(archive.parse(zip, error), c.opens) << c.what << ": " << error;
        if (!c.opens) {
            EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
            continue;
        }
        const ZipArchive::Entry* entry = archive.findBySuffix(".XMI");
        ASSERT_NE(entry, nullptr) << c.what;
        std::string content;
        const bool extracted = archive.extract(*entry, 1 << 20, content, error);
        EXPECT_EQ(extracted, *c.error == '\0') << c.what << ": " << error;
        if (extracted) {
            EXPECT_EQ(content, model) << c.what;
        } else {
            EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
        }
    }
}

// A damaged entry is refused, not read as the model with its names
// changed where the damage is: stored, and deflated, the byte that
// differs standing where the data still inflates.
TEST(ZipArchive, AnEntryThatDoesNotMatchItsCrcIsRefused)
{
    const std::string model = "<XMI><Model name='Vehicle'/></XMI>";
    for (const bool stored : {true, false}) {
        std::string zip = zipFile(model, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF});
        if (stored) {
            // The same archive with the content stored instead of deflated.
            const std::string data = deflated(model, -15);
            const std::size_t at = zip.find(data);
            zip.replace(at, data.size(), model);
            for (std::size_t header : {std::size_t(0), zip.find("PK\x01\x02")}) {
                const std::size_t method = header + (header == 0 ? 8 : 10);
                zip[method] = '\0';
                const std::size_t sizes = header + (header == 0 ? 18 : 20);
                std::string size;
                put32(size, static_cast<std::uint32_t>(model.size()));
                zip.replace(sizes, 4, size);
            }
            // Directory offset and size moved with the content.
            const std::size_t end = zip.find("PK\x05\x06");
            std::string offset;
            put32(offset, static_cast<std::uint32_t>(zip.find("PK\x01\x02")));
            zip.replace(end + 16, 4, offset);
        }
        ZipArchive archive;
        std::string error, content;
        ASSERT_TRUE(archive.parse(zip, error)) << stored << ": " << error;
        ASSERT_TRUE(archive.extract(archive.entries()[0], 1 << 20, content, error)) << stored << ": " << error;
        EXPECT_EQ(content, model);
        if (stored) {
            zip[zip.find("Vehicle") + 6] = 'x';
        } else {
            // Damage the CRC instead: any byte of deflate data may make it
            // fail to inflate, which says so in other words.
            zip[zip.find("PK\x01\x02") + 16] ^= 0x55;
        }
        ASSERT_TRUE(archive.parse(zip, error)) << stored << ": " << error;
        EXPECT_FALSE(archive.extract(archive.entries()[0], 1 << 20, content, error)) << stored;
        EXPECT_EQ(error, "zip entry m.xmi is damaged: its content does not match its CRC-32") << stored;
    }
}

TEST(ZipArchive, Zip64RecordsAreReadAndCheckedLikeTheirShortForms)
{
    const std::string model = "<XMI><Model name='zip64'/></XMI>";
    ZipArchive archive;
    std::string error;
    const std::string zip = zip64File(model, true);
    ASSERT_TRUE(archive.parse(zip, error)) << error;
    ASSERT_EQ(archive.entries().size(), 1u);
    std::string content;
    ASSERT_TRUE(archive.extract(archive.entries()[0], 1 << 20, content, error)) << error;
    EXPECT_EQ(content, model);

    EXPECT_FALSE(archive.parse(zip64File(model, false), error));
    EXPECT_NE(error.find("zip64 end record"), std::string::npos) << error;
    for (std::uint64_t offset : {std::uint64_t{0xFFFFFFFFFFFFFFF0ull}, std::uint64_t{0x100000000ull}}) {
        EXPECT_FALSE(archive.parse(zip64File(model, true, offset), error)) << offset;
        EXPECT_NE(error.find("damaged directory"), std::string::npos) << error;
    }
}

TEST(ZipArchive, AnEncryptedEntryIsNamedNotInflated)
{
    std::string zip = zipFile("<XMI/>", {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF});
    zip[zip.find("PK\x01\x02") + 8] |= 1;
    ZipArchive archive;
    std::string error;
    ASSERT_TRUE(archive.parse(zip, error)) << error;
    std::string content;
    EXPECT_FALSE(archive.extract(archive.entries()[0], 1 << 20, content, error));
    EXPECT_NE(error.find("m.xmi is encrypted"), std::string::npos) << error;
}

TEST(TarArchive, SizeFieldsAreReadStrictlyAndAlwaysAdvance)
{
    const std::string model = "<XMI/>";
    struct Case {
        const char* what;
        std::string size;
        bool found;
        const char* damage;
    } cases[] = {
        {"octal with NUL", octal(model.size()), true, ""},
        {"octal with spaces", "     00006 \0", true, ""},
        {"base-256", std::string("\x80\0\0\0\0\0\0\0\0\0\0\x06", 12), true, ""},
        {"negative", "-1000\0", false, "damaged size field"},
        {"negative base-256", std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFC\x18", 12), false, "damaged size field"},
        {"octal near 4 GiB", "37777777000\0", false, "says it holds 4294966784 bytes"},
        {"octal near 8 GiB", "77777777777\0", false, "says it holds 8589934591 bytes"},
        {"digits then letters", "0006x\0", false, "damaged size field"},
        {"empty", std::string(12, '\0'), false, "damaged size field"},
    };
    for (const Case& c : cases) {
        // The damaged entry comes first: the model after it is not reached.
        const std::string tar = tarEntry("notes.txt", c.size, c.found ? "<XMI/>" : "") + tarEntry("m.xmi", octal(model.size()), model);
        TarArchive archive;
        archive.parse(tar);
        EXPECT_EQ(archive.damage().find(c.damage) != std::string::npos, true) << c.what << ": " << archive.damage();
        const TarArchive::Entry* entry = archive.findBySuffix(".xmi");
        EXPECT_EQ(entry != nullptr, c.found) << c.what;
        if (entry != nullptr) {
            EXPECT_EQ(archive.extract(*entry), model) << c.what;
        }
    }
}

// A name longer than the header holds comes in an entry before it: GNU
// tar's ././@LongLink or a pax header's path record. Each pax record
// gives its own length, which may lie.
TEST(TarArchive, LongNamesComeFromTheEntryBefore)
{
    const std::string model = "<XMI/>";
    const std::string longName = std::string(150, 'd') + "/model.xmi";
    const std::string pathBody = " path=" + longName + "\n";
    const std::string pathRecord = std::to_string(pathBody.size() + 3) + pathBody; // a length of three digits
    const struct {
        const char* what;
        std::string before;
        const char* name; // of the model, "" when none is found
    } cases[] = {
        {"GNU long name", tarEntry("././@LongLink", octal(longName.size() + 1), longName + '\0', 'L'), longName.c_str()},
        {"pax path", tarEntry("PaxHeaders/m", octal(pathRecord.size() + 13), "13 mtime=1.0\n" + pathRecord, 'x'),
         longName.c_str()},
        {"pax record longer than the header", tarEntry("PaxHeaders/m", octal(20), "99999999 path=a.xmi\n", 'x'), ""},
        {"pax record of length zero", tarEntry("PaxHeaders/m", octal(14), "0 path=a.xmi\n", 'x'), ""},
    };
    for (const auto& c : cases) {
        TarArchive archive;
        const std::string tar = c.before + tarEntry(std::string(100, 'd'), octal(model.size()), model);
        archive.parse(tar);
        const TarArchive::Entry* entry = archive.findBySuffix(".xmi");
        EXPECT_EQ(entry != nullptr ? entry->name : "", c.name) << c.what;
        ASSERT_EQ(archive.entries().size(), 1u) << c.what << ": the header entry is no entry of its own";
        EXPECT_EQ(archive.extract(archive.entries()[0]), model) << c.what;
    }
}

// A header whose checksum does not match is damaged, whatever it says;
// old tars summed the bytes as signed, which is taken too.
TEST(TarArchive, AHeaderThatDoesNotMatchItsChecksumIsDamage)
{
    const std::string good = tarEntry("m.xmi", octal(6), "<XMI/>");
    std::string damaged = good;
    damaged[0] = 'n';
    std::string signedSum = tarEntry("m\xE9.xmi", octal(6), "<XMI/>");
    unsigned sum = 8 * ' ';
    for (std::size_t i = 0; i < 512; ++i)
        sum += i >= 148 && i < 156 ? 0 : static_cast<unsigned>(static_cast<signed char>(signedSum[i]));
    char checksum[8];
    std::snprintf(checksum, sizeof checksum, "%06o", sum);
    signedSum.replace(148, 7, checksum, 7);
    const struct {
        const char* what;
        std::string tar;
        std::size_t entries;
    } cases[] = {{"matching", good, 1}, {"one byte changed", damaged, 0}, {"summed as signed bytes", signedSum, 1}};
    for (const auto& c : cases) {
        TarArchive archive;
        archive.parse(c.tar);
        EXPECT_EQ(archive.entries().size(), c.entries) << c.what;
        EXPECT_EQ(archive.damage().empty(), c.entries == 1) << c.what << ": " << archive.damage();
        if (c.entries == 0) {
            EXPECT_EQ(archive.damage(), "tar entry n.xmi has a damaged header (its checksum does not match)");
        }
    }
}

TEST(TarArchive, AContiguousFileIsAFile)
{
    const std::string tar = tarEntry("m.xmi", octal(6), "<XMI/>", '7');
    TarArchive archive;
    archive.parse(tar);
    const TarArchive::Entry* entry = archive.findBySuffix(".xmi");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(archive.extract(*entry), "<XMI/>");
}

TEST(TarArchive, TheLastEntryMayLackItsPadding)
{
    std::string tar = tarEntry("m.xmi", octal(6), "<XMI/>");
    tar.resize(512 + 6);
    TarArchive archive;
    archive.parse(tar);
    ASSERT_EQ(archive.entries().size(), 1u);
    EXPECT_EQ(archive.extract(archive.entries()[0]), "<XMI/>");
    EXPECT_EQ(archive.damage(), "");
}

TEST(ContainerUnpacker, NestingAndSizeLimitsAreNamedInTheMessage)
{
    std::string error;
    // Three levels are read; a fourth is refused.
    std::string bytes = gzipped(gzipped(gzipped("<XMI/>")));
    ContainerUnpacker three(bytes.size());
    for (int level = 0; level < 3; ++level)
        ASSERT_TRUE(three.unpack(bytes, ModelFormat::Gzip, error)) << error;
    EXPECT_EQ(bytes, "<XMI/>");
    EXPECT_FALSE(three.unpack(bytes, ModelFormat::Gzip, error));
    EXPECT_NE(error.find("nested deeper than 3 (gzip in gzip in gzip in gzip)"), std::string::npos) << error;

    // Relative: a small file may always unpack to the floor, not past it.
    bytes = gzipped(std::string(ContainerUnpacker::kFloor + 1, ' '));
    ContainerUnpacker relative(bytes.size());
    EXPECT_EQ(relative.limit(), ContainerUnpacker::kFloor);
    EXPECT_FALSE(relative.unpack(bytes, ModelFormat::Gzip, error));
    EXPECT_NE(error.find("unpacks a file of " + std::to_string(bytes.size()) + " bytes to at most 1048576 bytes"),
              std::string::npos) << error;

    // Absolute, and through a zip entry.
    EXPECT_EQ(ContainerUnpacker(std::size_t(100) << 20).limit(), ContainerUnpacker::kAbsolute);
    bytes = zipFile(std::string(5000, ' '), {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF});
    ContainerUnpacker absolute(bytes.size(), 4000);
    EXPECT_FALSE(absolute.unpack(bytes, ModelFormat::Zip, error));
    EXPECT_NE(error.find("zip entry m.xmi: unpacks to more than 4000 bytes"), std::string::npos) << error;
    EXPECT_EQ(absolute.entry(), "m.xmi");
}

TEST(ContainerUnpacker, AnArchiveGivesTheModelOfAnyFormatItHolds)
{
    // An XMI wins over what else may hold XML, any .xml comes last;
    // otherwise the first entry of a format run reads, whatever case its
    // name is in.
    // The other models beside it are named (an .xml may be anything).
    const struct {
        std::vector<std::string> names;
        const char* model;
        const char* passedOver;
    } cases[] = {
        {{"notes.txt", "b.xml", "Shop.PUML"}, "Shop.PUML", ""},
        {{"diagram.pgml", "m.xmi", "b.mdj", "c.puml.gz"}, "m.xmi", "b.mdj, c.puml.gz"},
        {{"notes.txt", "shop.puml"}, "shop.puml", ""},
        {{"readme", "shop.dia"}, "shop.dia", ""},
        {{"a.uml", "b.uml", "c.uml", "d.uml", "e.uml"}, "a.uml", "b.uml, c.uml, d.uml and 1 more"},
        {{"shop.mdj.gz"}, "shop.mdj.gz", ""},
        // macOS's metadata beside each file, in a tar before the file and
        // in a Finder zip under __MACOSX/, is never the model.
        {{"shop/._model.xmi", "shop/model.xmi", "__MACOSX/shop/._model.xmi"}, "shop/model.xmi", ""},
        {{"._model.xmi", "model.xmi"}, "model.xmi", ""},
    };
    for (const auto& c : cases) {
        // An empty entry of the best kind first is passed over.
        std::string tar = tarEntry("empty.xmi", octal(0), "");
        for (const std::string& name : c.names)
            tar += tarEntry(name, octal(name.size()), name);
        std::string error;
        ContainerUnpacker unpacker(tar.size());
        ASSERT_TRUE(unpacker.unpack(tar, ModelFormat::Tar, error)) << c.model << ": " << error;
        EXPECT_EQ(unpacker.entry(), c.model);
        EXPECT_EQ(tar, c.model);
        EXPECT_EQ(unpacker.passedOver(), c.passedOver) << c.model;
    }
}

TEST(ContainerUnpacker, ArchivesWithoutAModelListWhatTheyHold)
{
    std::string tar;
    for (int i = 0; i < 12; ++i)
        tar += tarEntry("f" + std::to_string(i) + ".txt", octal(1), "x");
    std::string error;
    ContainerUnpacker unpacker(tar.size());
    EXPECT_FALSE(unpacker.unpack(tar, ModelFormat::Tar, error));
    EXPECT_NE(error.find("it holds: f0.txt, f1.txt"), std::string::npos) << error;
    EXPECT_NE(error.find("f9.txt and 2 more"), std::string::npos) << error;
    // Entries named like a model and passed over say why.
    const std::string passedOver = tarEntry("saved.xmi", octal(0), "") + tarEntry("link.xmi", octal(0), "", '2') +
                                   tarEntry("sparse.uml", octal(6), "<XMI/>", 'S') + tarEntry("dir/", octal(0), "", '5');
    ContainerUnpacker passedOverUnpacker(passedOver.size());
    std::string passedOverBytes = passedOver;
    EXPECT_FALSE(passedOverUnpacker.unpack(passedOverBytes, ModelFormat::Tar, error));
    EXPECT_NE(error.find("it holds: saved.xmi (empty), link.xmi (not a plain file), sparse.uml (not a plain file), dir/"),
              std::string::npos)
        << error;
    std::string emptyZip = zipFile("", {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF});
    ContainerUnpacker zipUnpacker(emptyZip.size());
    EXPECT_FALSE(zipUnpacker.unpack(emptyZip, ModelFormat::Zip, error));
    EXPECT_NE(error.find("it holds: m.xmi (empty)"), std::string::npos) << error;
    // A name of a megabyte (a GNU long name may be any length) is cut in
    // the middle, its start and its suffix kept.
    const std::string longName = std::string(1 << 20, 'n') + "\xC3\xA4.txt";
    std::string longTar = tarEntry("././@LongLink", octal(longName.size() + 1), longName + '\0', 'L') +
                                tarEntry("x", octal(1), "x");
    ContainerUnpacker longUnpacker(longTar.size());
    EXPECT_FALSE(longUnpacker.unpack(longTar, ModelFormat::Tar, error));
    EXPECT_EQ(error, "a tar archive without a model (.xmi, .uml, .mdj, .dia, .puml, .xml) in it; it holds: " +
                         std::string(128, 'n') + "..." + std::string(122, 'n') + "\xC3\xA4.txt");
    // Nor when that entry is read as the model, and is none.
    const std::string xmiName = std::string(1 << 20, 'n') + ".xmi";
    const std::string path = scratchFile("long-entry.tar", tarEntry("././@LongLink", octal(xmiName.size() + 1),
                                                                    xmiName + '\0', 'L') +
                                                               tarEntry("x", octal(4), "text"));
    Model model;
    EXPECT_FALSE(model.load(path, error));
    EXPECT_LT(error.size(), 1000u) << error.substr(0, 1000);
    EXPECT_NE(error.find("nnn...nnn"), std::string::npos) << error.substr(0, 1000);
    EXPECT_NE(error.find("nnn.xmi): text starting"), std::string::npos) << error.substr(0, 1000);
}

} // namespace
} // namespace wiredhost

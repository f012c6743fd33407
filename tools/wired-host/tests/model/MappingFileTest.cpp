#include <algorithm>
#ifndef _WIN32
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "Files.h"

#include "MappingFile.h"
#include "model/Model.h"
#include "ScratchFile.h"

namespace wiredhost {
namespace {

std::vector<MappingRow> rows(std::vector<MappingRow> list)
{
    std::sort(list.begin(), list.end());
    return list;
}

// Whatever a name holds, the saved line reads back as the same four fields.
TEST(MappingFileTest, NamesWithTabsLineEndsAndBackslashesReadBackAsWritten)
{
    const std::vector<MappingRow> saved = rows({
        {"p", std::string("N\0L", 3), "", "nul-in-name"},
        {"com.shop", "Order\tItem", "Order\t_Item", "set"},
        {"a\nb\r", "\\t", "", "skipped"},
        {"", "x\\", "x\\\\n", "table-not-found"},
        {"\xE5\x9E\x8B", "\xE7\xB1\xBB", "\xE8\xA1\xA8", "nothing-done"},
        {"", "", "", "unnamed"},
    });
    const std::string text = MappingFile::text(saved);
    EXPECT_EQ(saved.size() + 1, static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
    EXPECT_EQ(std::string::npos, text.find('\0')) << "a text file, not a binary one";
    std::vector<MappingRow> read;
    std::string error;
    ASSERT_TRUE(MappingFile::parse(text, "m.tsv", read, error)) << error;
    EXPECT_EQ(saved, read);
    EXPECT_EQ(text, MappingFile::text(read));
}

// Saved over only when it holds a saved mapping, with or without an
// editor's byte-order mark: the byte after the header decides.
TEST(MappingFileTest, OnlyASavedMappingIsWrittenOver)
{
    const std::string header = "package\tclass\ttable\toutcome";
    const std::pair<std::string, bool> cases[] = {
        {header + "\n", true},
        {"\xEF\xBB\xBF" + header + "\r\n", true},
        {"\xEF\xBB\xBF" + header, true},
        {"\xEF\xBB\xBF", true},
        {"", true},
        {header + "\tnotes\n", false},
        {"\xEF\xBB\xBF" + header + "\tnotes\n", false},
        {"<Model/>", false},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(MappingFile::mayOverwrite(scratchFile("overwrite.tsv", c.first), error), c.second)
            << testing::PrintToString(c.first) << " " << error;
    }
}

// A save goes to a new file that then takes the old one's place: nothing
// is left beside it, and a link to the mapping stays a link.
TEST(MappingFileTest, ASaveReplacesTheMappingInOneStep)
{
    const std::string path = scratchFile("replaced.tsv", "package\tclass\ttable\toutcome\np\tOld\tOld\tset\n");
    std::string error;
    ASSERT_TRUE(MappingFile::save(path, rows({{"p", "New", "New", "set"}}), error)) << error;
    std::string bytes;
    ASSERT_TRUE(hostkit::files::readFile(path, bytes, 1 << 20));
    EXPECT_EQ(bytes, "package\tclass\ttable\toutcome\np\tNew\tNew\tset\n");
    EXPECT_FALSE(hostkit::files::exists(path + ".part"));
#ifndef _WIN32
    const std::string link = std::string(WIREDHOST_TEST_SCRATCH) + "/link.tsv";
    hostkit::files::removeFile(link);
    ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
    ASSERT_TRUE(MappingFile::save(link, rows({{"p", "Newer", "Newer", "set"}}), error)) << error;
    std::error_code ignored;
    EXPECT_TRUE(std::filesystem::is_symlink(link, ignored));
    ASSERT_TRUE(hostkit::files::readFile(path, bytes, 1 << 20));
    EXPECT_NE(bytes.find("Newer"), std::string::npos);
#endif
    // Where no file can go, it is said before the run.
    const std::string folder = std::string(WIREDHOST_TEST_SCRATCH);
    EXPECT_FALSE(MappingFile::mayOverwrite(folder, error));
    EXPECT_NE(error.find("a folder, not a file"), std::string::npos) << error;
    EXPECT_FALSE(MappingFile::mayOverwrite(folder + "/no-such-folder/m.tsv", error));
    EXPECT_NE(error.find("no folder"), std::string::npos) << error;
#ifndef _WIN32
    // A pipe or a device stays what it is: moved over, /dev/null would
    // have become a file.
    const std::string pipe = folder + "/mapping.fifo";
    hostkit::files::removeFile(pipe);
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(MappingFile::mayOverwrite(pipe, error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    EXPECT_FALSE(MappingFile::save(pipe, rows({{"p", "New", "New", "set"}}), error));
    EXPECT_FALSE(hostkit::files::isFile(pipe)) << "the pipe was replaced by a file";
    EXPECT_FALSE(hostkit::files::exists(pipe + ".part"));
    hostkit::files::removeFile(pipe);
#endif
}

// Deep model repositories have paths longer than MAX_PATH: a mapping
// there is read and written whole (on Windows through the
// \\?\ form of the path, the file calls' own limit being MAX_PATH).
TEST(MappingFileTest, APathLongerThanMaxPathIsReadAndWritten)
{
    const std::string top = std::string(WIREDHOST_TEST_SCRATCH) + "/long";
    hostkit::files::removeAll(top);
    std::string folder = top;
    ASSERT_TRUE(hostkit::files::makeFolder(folder));
    for (char part = 'a'; part < 'f'; ++part) {
        folder += "/" + std::string(60, part);
        ASSERT_TRUE(hostkit::files::makeFolder(folder)) << folder;
    }
    ASSERT_GT(hostkit::files::absolute(folder).size(), 300u);
    const std::string mapping = folder + "/mapping.tsv";
    std::string error;
    ASSERT_TRUE(MappingFile::mayOverwrite(mapping, error)) << error;
    // Saved over a mapping there: written beside it, then moved over it.
    ASSERT_TRUE(MappingFile::save(mapping, rows({{"p", "A", "A", "set"}}), error)) << error;
    ASSERT_TRUE(MappingFile::save(mapping, rows({{"p", "B", "B", "set"}}), error)) << error;
    std::vector<MappingRow> read;
    ASSERT_TRUE(MappingFile::read(mapping, read, error)) << error;
    EXPECT_EQ(read, rows({{"p", "B", "B", "set"}}));
    hostkit::files::removeAll(top);
    EXPECT_FALSE(hostkit::files::exists(top));
#ifdef _WIN32
    const std::wstring deep = L"C:\\" + std::wstring(300, L'x');
    const std::pair<std::string, std::wstring> forms[] = {
        {"C:/short/model.xmi", L"C:/short/model.xmi"},
        {hostkit::files::utf8Path(deep), L"\\\\?\\" + deep},
        {"C:/" + std::string(300, 'x'), L"\\\\?\\" + deep},
        {"//server/share/" + std::string(300, 'x'), L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L'x')},
        {"\\\\?\\C:\\" + std::string(300, 'x'), L"\\\\?\\" + deep},
    };
    for (const auto& form : forms)
        EXPECT_EQ(hostkit::files::systemPath(form.first), form.second) << form.first;
#endif
}

// No run saves more rows than a model may have classes.
TEST(MappingFileTest, MoreRowsThanAModelHasClassesAreRefused)
{
    std::string text = "package\tclass\ttable\toutcome\n";
    for (std::size_t i = 0; i <= Model::kMaxClasses; ++i)
        text += "p\tC\tC\tset\n";
    std::vector<MappingRow> read;
    std::string error;
    EXPECT_FALSE(MappingFile::parse(text, "m.tsv", read, error));
    EXPECT_EQ(error, "m.tsv:1000002: more than 1000000 classes, more than any model wired-host reads: not a saved "
                     "mapping");
}

TEST(MappingFileTest, ComparesClassByClass)
{
    const std::vector<MappingRow> saved = rows({
        {"p", "Same", "Same", "set"},
        {"p", "Renamed", "Old", "set"},
        {"p", "Gone", "Gone", "set"},
        {"p", "Twice", "A", "set"},
        {"p", "Twice", "B", "set"},
        {"p", "Lost", "Lost", "set"},
    });
    const std::vector<MappingRow> now = rows({
        {"p", "Same", "Same", "set"},
        {"p", "Renamed", "New", "set"},
        {"p", "Twice", "B", "set"},
        {"p", "Lost", "Lost", "table-not-found"},
        {"q", "Gone", "Gone", "set"},
    });
    const std::vector<MappingChange> changes = MappingFile::compare(saved, now);
    std::vector<std::string> seen;
    for (const MappingChange& change : changes) {
        const MappingRow& row = change.kind == MappingChange::Added ? *change.after : *change.before;
        seen.push_back(std::to_string(change.kind) + " " + row.package + "." + row.className + " " +
                       (change.before ? change.before->table : "") + ">" + (change.after ? change.after->table : "") +
                       " " + (change.after ? change.after->outcome : ""));
    }
    // One of two duplicates went; a class moved to another package is one
    // removed and one added.
    const std::vector<std::string> expected = {
        "1 p.Gone Gone> ", "2 p.Lost Lost>Lost table-not-found", "2 p.Renamed Old>New set", "1 p.Twice A> ",
        "0 q.Gone >Gone set"};
    EXPECT_EQ(expected, seen);
    EXPECT_TRUE(MappingFile::compare(now, now).empty());
}

TEST(MappingFileTest, AClassOfManyDuplicatesIsComparedInLinearTime)
{
    // 200,000 rows of one class on each side, half of them alike: compared
    // pair by pair, this would take minutes.
    std::vector<MappingRow> saved, now;
    for (int i = 0; i < 200000; ++i) {
        saved.push_back({"p", "Twin", "T" + std::to_string(i), "set"});
        now.push_back({"p", "Twin", "T" + std::to_string(i + 100000), "set"});
    }
    std::sort(saved.begin(), saved.end());
    std::sort(now.begin(), now.end());
    const std::vector<MappingChange> changes = MappingFile::compare(saved, now);
    ASSERT_EQ(changes.size(), 100000u);
    EXPECT_EQ(changes.front().kind, MappingChange::Changed);
    EXPECT_EQ(changes.front().before->table, "T0");
    EXPECT_EQ(changes.front().after->table, "T200000");
}

} // namespace
} // namespace wiredhost

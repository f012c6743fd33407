// Model files made to hurt: each is read or refused with a message naming
// the file, in time and memory that grow with its size, not its square.
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/Model.h"
#include "model/ClassCollector.h"
#include "model/XmlTagLimits.h"
#include "ScratchFile.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#endif

namespace wiredhost {
namespace {

std::vector<std::string> hostileFiles()
{
    const std::string folder = WIREDHOST_TEST_HOSTILE;
    std::vector<std::string> files;
#ifdef _WIN32
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "/*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                files.push_back(folder + "/" + found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
#else
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.')
                files.push_back(folder + "/" + entry->d_name);
        }
        closedir(dir);
    }
#endif
    return files;
}

// Inputs that once crashed, hung or ran out of memory (kept in
// tests/hostile/ as found): each now loads or is refused with the file's
// name at the start of the message.
TEST(HostileModels, KeptInputsAreReadOrRefusedWithTheirName)
{
    const std::vector<std::string> files = hostileFiles();
    ASSERT_GE(files.size(), 3u);
    for (const std::string& path : files) {
        Model model;
        std::string error;
        if (!model.load(path, error)) {
            EXPECT_EQ(error.compare(0, path.size(), path), 0) << path << ": " << error;
        }
    }
}

TEST(HostileModels, DeepPackagePathsCostTheirLength)
{
    std::string dotted;
    for (int i = 0; i < 100000; ++i)
        dotted += "a.";
    std::string nested;
    for (int i = 0; i < 30000; ++i)
        nested += "package a {\n";
    nested += "class C\n";
    for (int i = 0; i < 30000; ++i)
        nested += "}\n";
    struct Case {
        const char* file;
        std::string content;
        std::size_t levels;
    } cases[] = {
        {"dotted.puml", "@startuml\nclass " + dotted + "C\n@enduml\n", 100000},
        {"nested.puml", "@startuml\n" + nested + "@enduml\n", 30000},
    };
    for (const Case& c : cases) {
        Model model;
        std::string error;
        ASSERT_TRUE(model.load(scratchFile(c.file, c.content), error)) << error;
        ASSERT_EQ(model.classes().size(), 1u) << c.file;
        EXPECT_EQ(model.classes()[0].package.size(), c.levels * 2 - 1) << c.file;
    }
}

// Many classes each deep in long package paths: what the paths come to
// together is bounded, and the message says where it was passed.
TEST(HostileModels, PackagePathsTogetherHaveALimit)
{
    const std::string name(1 << 20, 'p');
    std::string puml = "@startuml\npackage " + name + " {\n";
    for (int i = 0; i < 70; ++i)
        puml += "class C" + std::to_string(i) + "\n";
    puml += "}\n@enduml\n";
    const std::string path = scratchFile("long-paths.puml", puml);
    Model model;
    std::string error;
    EXPECT_FALSE(model.load(path, error));
    EXPECT_EQ(error, path + ": the package paths of the classes come to more than 64 MiB together "
                            "(wired-host's limit), passed at class 65 of 70");
    EXPECT_TRUE(model.classes().empty());

    // wired-host's own format keeps the same limit.
    std::string own = "<Model><Package name=\"" + name + "\">";
    for (int i = 0; i < 70; ++i)
        own += "<Class name=\"C" + std::to_string(i) + "\"/>";
    own += "</Package></Model>";
    const std::string ownPath = scratchFile("long-paths.xml", own);
    Model ownModel;
    EXPECT_FALSE(ownModel.load(ownPath, error));
    EXPECT_EQ(error, ownPath + ":1: the package paths of the classes come to more than 64 MiB together "
                               "(wired-host's limit)");
}

// Refused before parsing, read from the file or from memory (UTF-16 is
// converted first): the message gives the element's line either way.
TEST(HostileModels, ElementsWithTooManyAttributesAreRefusedWithTheirLine)
{
    std::string attributes;
    for (std::size_t i = 0; i <= XmlTagLimits::kMaxAttributes; ++i)
        attributes += " a" + std::to_string(i) + "='x'";
    const std::string xmi = "<?xml version='1.0'?>\n<XMI xmi.version='1.2'>\n<XMI.content>\n<UML:Class" + attributes +
                            "/></XMI.content></XMI>\n";
    std::string utf16 = "\xFF\xFE";
    for (char c : xmi)
        utf16 += std::string(1, c) + '\0';
    for (const auto& file : {std::make_pair("many-attributes.xmi", xmi), std::make_pair("many-attributes16.xmi", utf16)}) {
        const std::string path = scratchFile(file.first, file.second);
        Model model;
        std::string error;
        EXPECT_FALSE(model.load(path, error));
        EXPECT_EQ(error, path + ":4: an element with more than 256 attributes (the limit of the XML reader, "
                                "whose cost grows with their square)");
    }
}

// A few hundred kilobytes of gzip can hold millions of classes; each would
// cost a conversion and a row. Refused once read, before any of that.
TEST(HostileModels, ClassesOfAModelAreBounded)
{
    std::string xmi = "<XMI xmi.version='1.2'><XMI.content>";
    for (std::size_t i = 0; i <= Model::kMaxClasses; ++i)
        xmi += "<UML:Class/>";
    const std::string path = scratchFile("many-classes.xmi", xmi + "</XMI.content></XMI>");
    Model model;
    std::string error;
    EXPECT_FALSE(model.load(path, error));
    EXPECT_EQ(error, path + ": 1000001 classes, more than 1000000 (wired-host's limit: each is a conversion by the "
                            "plug-in and a row of the report)");
    EXPECT_TRUE(model.classes().empty());
}

// PlantUML makes classes and packages from short lines and names: a file
// of millions is refused at the line that passes the limit, not read to
// its end first.
TEST(HostileModels, PlantUmlStopsAtTheLineThatPassesALimit)
{
    std::string classes = "@startuml\n";
    for (std::size_t i = 0; i <= Model::kMaxClasses + 10; ++i)
        classes += "class c" + std::to_string(i) + "\n";
    std::string dotted = "@startuml\nclass A\nclass ";
    for (std::size_t i = 0; i <= ClassCollector::kMaxPackages * 3; ++i)
        dotted += "a.";
    const std::pair<const char*, std::string> cases[] = {
        {"many-classes.puml", classes + "@enduml\n"},
        {"many-packages.puml", dotted + "C\n@enduml\n"},
    };
    const std::string errors[] = {
        ":1000002: more than 1000000 classes by this line (wired-host's limit: each is a conversion by the plug-in "
        "and a row of the report)",
        ":3: more than 1000000 packages by this line (wired-host's limit: a real model has hundreds, and each costs "
        "memory)",
    };
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string path = scratchFile(cases[i].first, cases[i].second);
        Model model;
        std::string error;
        EXPECT_FALSE(model.load(path, error));
        EXPECT_EQ(error, path + errors[i]);
        EXPECT_TRUE(model.classes().empty());
    }
}

// A stereotype list of millions of ids in one attribute cost gigabytes
// (each kept as a string) or seconds (each looked up): refused past the
// limit, the rest of the list passed over.
TEST(HostileModels, StereotypeReferencesAreBounded)
{
    std::string ids;
    ids.reserve(3 * (ClassCollector::kMaxReferences + 1));
    for (std::size_t i = 0; i <= ClassCollector::kMaxReferences; ++i)
        ids += i == 0 ? "s" : " s";
    const std::pair<const char*, std::string> cases[] = {
        {"stereotype-ids.xmi", "<XMI xmi.version='1.2'><XMI.content><UML:Class name='A' stereotype='" + ids +
                                   "'/></XMI.content></XMI>"},
        {"extended-ids.xmi", "<XMI xmi.version='1.2'><XMI.content><UML:Class name='A' xmi.id='s'/>"
                             "<UML:Stereotype name='enumeration' extendedElement='" + ids + "'/></XMI.content></XMI>"},
    };
    for (const auto& c : cases) {
        const std::string path = scratchFile(c.first, c.second);
        Model model;
        std::string error;
        EXPECT_FALSE(model.load(path, error)) << c.first;
        EXPECT_EQ(error, path + ": more than 2000000 references to stereotypes (wired-host's limit: a real model has "
                                "a few per element, and each costs memory and a lookup)");
    }
}

TEST(HostileModels, DiaParentCyclesAreCut)
{
    auto object = [](const char* type, const char* id, const char* name, const char* parent) {
        return std::string("<dia:object type=\"") + type + "\" id=\"" + id +
               "\"><dia:attribute name=\"name\"><dia:string>#" + name + "#</dia:string></dia:attribute>" +
               (parent ? std::string("<dia:childnode parent=\"") + parent + "\"/>" : std::string()) + "</dia:object>";
    };
    const std::string dia = "<?xml version=\"1.0\"?><dia:diagram xmlns:dia=\"http://www.lysator.liu.se/~alla/dia/\">"
                            "<dia:layer name=\"L\">" +
                            object("UML - LargePackage", "A", "a", "B") + object("UML - LargePackage", "B", "b", "A") +
                            object("UML - Class", "C1", "InA", "A") + object("UML - Class", "C2", "InB", "B") +
                            "</dia:layer></dia:diagram>";
    Model model;
    std::string error;
    ASSERT_TRUE(model.load(scratchFile("cycle.dia", dia), error)) << error;
    ASSERT_EQ(model.classes().size(), 2u);
    EXPECT_EQ(model.classes()[0].package, "b.a");
    EXPECT_EQ(model.classes()[1].package, "b");
}

} // namespace
} // namespace wiredhost

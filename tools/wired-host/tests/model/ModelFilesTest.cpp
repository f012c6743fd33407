// The classes read from model files of each XMI generation and exporter
// dialect, compressed or not, and the messages for files that are no model.
#include <cctype>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/Encoding.h"
#include "Files.h"
#include "model/Model.h"
#include "model/XmlDecoder.h"
#include "ScratchFile.h"

namespace wiredhost {
namespace {

struct Expected {
    std::string package;
    std::string name; // UTF-8; "" for an unnamed class
    bool duplicate = false;
};

struct FileCase {
    std::string file;
    std::string format;
    std::vector<Expected> classes;
};

std::ostream& operator<<(std::ostream& out, const FileCase& c)
{
    return out << c.file;
}

// A literal with its NUL bytes.
template <std::size_t N>
std::string bytes(const char (&literal)[N])
{
    return std::string(literal, N - 1);
}

std::string modelPath(const std::string& name)
{
    return std::string(WIREDHOST_TEST_MODELS) + "/" + name;
}

std::string readFile(const std::string& path)
{
    std::string content;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return content;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, got);
    std::fclose(file);
    return content;
}

void expectClasses(const Model& model, const std::vector<Expected>& expected, const std::string& what)
{
    ASSERT_EQ(model.classes().size(), expected.size()) << what;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const ModelClass& actual = model.classes()[i];
        // Names reach the plug-in in the host's code page.
        EXPECT_EQ(actual.name, encoding::utf8ToHost(expected[i].name)) << what << " class " << i;
        EXPECT_EQ(actual.package, encoding::utf8ToHost(expected[i].package)) << what << " class " << i;
        EXPECT_EQ(actual.duplicate, expected[i].duplicate) << what << " class " << i;
    }
}

// The one note a load left, holding part; none when part is "".
void expectNote(const Model& model, const char* part, const std::string& what)
{
    if (*part == '\0') {
        EXPECT_TRUE(model.notes().empty()) << what;
        return;
    }
    ASSERT_EQ(model.notes().size(), 1u) << what;
    EXPECT_NE(model.notes()[0].find(part), std::string::npos) << what << ": " << model.notes()[0];
}

// models/classes.tsv, which the end-to-end tests read too: the classes of
// each model file there, in order, and the format it is reported as.
std::vector<FileCase> exportedModels()
{
    std::string table, error;
    if (!hostkit::files::readFile(modelPath("classes.tsv"), "the table of classes", table, error))
        ADD_FAILURE() << error;
    std::vector<FileCase> files;
    std::size_t start = 0;
    while (start < table.size()) {
        std::size_t end = table.find('\n', start);
        end = end == std::string::npos ? table.size() : end;
        const std::string line = table.substr(start, end - start);
        start = end + 1;
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> columns;
        for (std::size_t from = 0;;) {
            const std::size_t tab = line.find('\t', from);
            columns.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
            if (tab == std::string::npos)
                break;
            from = tab + 1;
        }
        if (columns.size() != 5) {
            ADD_FAILURE() << "classes.tsv: not five columns: " << line;
            continue;
        }
        if (files.empty() || files.back().file != columns[0])
            files.push_back({columns[0], columns[1], {}});
        files.back().classes.push_back({columns[2], columns[3], columns[4] == "duplicate"});
    }
    return files;
}

class ModelFiles : public ::testing::TestWithParam<FileCase> {};

TEST_P(ModelFiles, ReadsTheClassesUsersMean)
{
    const FileCase& c = GetParam();
    Model model;
    std::string error;
    ASSERT_TRUE(model.load(modelPath(c.file), error)) << error;
    EXPECT_EQ(model.format(), c.format);
    EXPECT_FALSE(model.namesTables()) << "an exported model names no tables";
    expectClasses(model, c.classes, c.file);
}

INSTANTIATE_TEST_SUITE_P(Exporters, ModelFiles, ::testing::ValuesIn(exportedModels()),
                         [](const ::testing::TestParamInfo<FileCase>& info) {
                             std::string name;
                             for (const char c : info.param.file)
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

TEST(ModelText, Utf16FilesAreConvertedLikeAnyOther)
{
    const std::string utf8 = readFile(modelPath("ea21.xmi"));
    std::string text;
    ASSERT_TRUE(encoding::toUtf8(utf8, "windows-1252", text));
    const std::string declared = "encoding=\"windows-1252\"";
    text.replace(text.find(declared), declared.size(), "encoding=\"UTF-16\"");
    std::string utf16;
    ASSERT_TRUE(encoding::fromUtf8(text, "UTF-16LE", utf16));
    Model model;
    std::string error;
    ASSERT_TRUE(model.load(scratchFile("utf16.xmi", "\xFF\xFE" + utf16), error)) << error;
    expectClasses(model, {{"Domain", "CaféOrder"}, {"Domain", "Straße"}, {"Domain", "ORDERS"}}, "UTF-16");

    // PlantUML and StarUML saved as UTF-16 with its byte-order mark
    // (Notepad's "Unicode"), big-endian too.
    const struct {
        const char* file;
        const char* encoding;
        const char* mark;
        std::string text;
    } texts[] = {
        {"utf16.puml", "UTF-16LE", "\xFF\xFE", "@startuml\nclass Café\n@enduml\n"},
        {"utf16be.puml", "UTF-16BE", "\xFE\xFF", "\n@startuml\nclass Café\n@enduml\n"},
        {"utf16.mdj", "UTF-16LE", "\xFF\xFE", R"({"_type": "Project", "ownedElements": [{"_type": "UMLClass", "name": "Café"}]})"},
        // Without the mark, as some editors save it.
        {"utf16-nomark.puml", "UTF-16BE", "", "@startuml\nclass Café\n@enduml\n"},
        {"utf16-nomark.mdj", "UTF-16LE", "", R"({"_type": "Project", "ownedElements": [{"_type": "UMLClass", "name": "Café"}]})"},
    };
    for (const auto& t : texts) {
        ASSERT_TRUE(encoding::fromUtf8(t.text, t.encoding, utf16)) << t.file;
        ASSERT_TRUE(model.load(scratchFile(t.file, t.mark + utf16), error)) << t.file << ": " << error;
        expectClasses(model, {{"", "Café"}}, t.file);
    }
}

TEST(ModelText, ALeadByteCutOffBeforeAQuoteCostsOnlyItsName)
{
    // A double-byte character's first byte, then the closing quote: the
    // quote stays a quote, and the class after it is read.
    for (const char* encoding : {"Shift_JIS", "GBK"}) {
        const std::string xml = std::string("<?xml version=\"1.0\" encoding=\"") + encoding +
                                "\"?>\n<XMI xmi.version=\"1.2\"><XMI.content><UML:Model name=\"m\">"
                                "<UML:Namespace.ownedElement><UML:Class name=\"A\x82\"/><UML:Class name=\"Kept\"/>"
                                "</UML:Namespace.ownedElement></UML:Model></XMI.content></XMI>\n";
        Model model;
        std::string error;
        ASSERT_TRUE(model.load(scratchFile("cut.xmi", xml), error)) << encoding << ": " << error;
        ASSERT_EQ(model.classes().size(), 2u) << encoding;
        EXPECT_EQ(model.classes()[0].name.substr(0, 1), "A") << encoding;
        EXPECT_EQ(model.classes()[1].name, "Kept") << encoding;
    }
}

TEST(ModelText, WrapperAndTopLevelUmlElements)
{
    // With the wrapper, UML elements may stand directly in it; a namespace
    // URI of any version or tool counts by its form.
    const std::string xmi =
        "<xmi:XMI xmlns:xmi='http://www.omg.org/&#115;pec/XMI/2.1' xmlns:u='http://www.omg.org/&#115;pec/UML/20110701'>"
        "<u:Package xmi:id='p' name='p'><packagedElement xmi:type='u:Class' xmi:id='a' name='A'/></u:Package>"
        "<u:Class xmi:id='b' name='B'/><u:Interface xmi:id='c' name='C'/></xmi:XMI>";
    Model model;
    std::string error;
    ASSERT_TRUE(model.load(scratchFile("toplevel.xmi", xmi), error)) << error;
    expectClasses(model, {{"p", "A"}, {"", "B"}}, "top-level elements");
}

TEST(ModelText, XmiTwoUnderARootWithoutPrefix)
{
    // <XMI xmlns="…XMI…"> without a version: the XMI 2 types still count.
    const std::string xmi = "<XMI xmlns='http://schema.omg.org/&#115;pec/XMI/2.1' xmlns:xmi='http://schema.omg.org/&#115;pec/XMI/2.1' "
                            "xmlns:uml='http://schema.omg.org/&#115;pec/UML/2.1'><uml:Model name='m'>"
                            "<packagedElement xmi:type='uml:Package' name='p'>"
                            "<packagedElement xmi:type='uml:Class' name='A'/>"
                            "<packagedElement xmi:type='uml:Enumeration' name='E'/></packagedElement></uml:Model></XMI>";
    Model model;
    std::string error;
    ASSERT_TRUE(model.load(scratchFile("bare-root.xmi", xmi), error)) << error;
    expectClasses(model, {{"p", "A"}}, "XMI root without prefix");
}

// EMF's plain-XML save writes xsi:type; an xmi:type beside it wins.
TEST(ModelText, SchemaInstanceTypesWhereXmiHasNone)
{
    const std::string uml = "<uml:Model xmlns:xmi='http://www.omg.org/&#115;pec/XMI/20131001' "
                            "xmlns:s='http://www.w3.org/2001/XMLSchema-instance' "
                            "xmlns:uml='http://www.eclipse.org/uml2/5.0.0/UML' name='m'>"
                            "<packagedElement s:type='uml:Package' name='p'>"
                            "<packagedElement s:type='uml:Class' name='A'/>"
                            "<packagedElement s:type='uml:Class' xmi:type='uml:Enumeration' name='E'/>"
                            "<packagedElement xmi:type='uml:Enumeration' s:type='uml:Class' name='F'/>"
                            "<packagedElement xsi:type='uml:Class' name='Undeclared'/>"
                            "<packagedElement other:type='uml:Class' name='Other'/></packagedElement></uml:Model>";
    Model model;
    std::string error;
    ASSERT_TRUE(model.load(scratchFile("emf.xml", uml), error)) << error;
    expectClasses(model, {{"p", "A"}, {"p", "Undeclared"}}, "xsi:type");
}

// A format's sign is looked for as far as it stands: behind a long
// licence comment or many blank lines; an instruction may follow the
// comment (which the XML parser alone refuses).
TEST(ModelText, SignsAfterTheFirstKilobytesAreFound)
{
    const std::string blank(5000, '\n');
    std::string licence;
    while (licence.size() < 5000)
        licence += "' Licensed under the terms written here, line after line of them.\n";
    const std::string xmi = "<XMI xmi.version='1.2'><XMI.content><UML:Model name='m'><UML:Namespace.ownedElement>"
                            "<UML:Class name='Caf\xE9'/></UML:Namespace.ownedElement></UML:Model></XMI.content></XMI>";
    const struct {
        const char* file;
        std::string content;
        const char* format;
        std::vector<Expected> classes;
    } cases[] = {
        {"licence.puml", licence + "@startuml\nclass Order\n@enduml\n", "PlantUML", {{"", "Order"}}},
        {"blank.xmi", blank + "<?xml version='1.0' encoding='windows-1252'?>\n" + xmi, "XMI 1.2, UML 1.x",
         {{"", "Café"}}},
        {"blank-utf8.xmi", blank + "<?xml version='1.0'?>\n" + xmi.substr(0, xmi.find("Caf")) + "Order'/>" +
                               xmi.substr(xmi.find("</UML:Namespace")),
         "XMI 1.2, UML 1.x", {{"", "Order"}}},
        {"blank.mdj", blank + R"({"_type": "Project", "ownedElements": [{"_type": "UMLClass", "name": "Order"}]})",
         "StarUML project", {{"", "Order"}}},
        {"instruction.xmi", "<?xml version='1.0'?>\n<!--\n" + licence + "-->\n<?xml-stylesheet href='a.xsl'?>\n" +
                                xmi.substr(0, xmi.find("Caf")) + "Order'/>" + xmi.substr(xmi.find("</UML:Namespace")),
         "XMI 1.2, UML 1.x", {{"", "Order"}}},
        {"mark-over-declaration.xmi", "\xEF\xBB\xBF<?xml version='1.0' encoding='windows-1252'?>\n" +
                                           xmi.substr(0, xmi.find("Caf")) + "Caf\xC3\xA9'/>" +
                                           xmi.substr(xmi.find("</UML:Namespace")),
         "XMI 1.2, UML 1.x", {{"", "Café"}}},
        {"long-declaration.xmi", "<?xml version='1.0'" + std::string(6000, ' ') + "encoding='windows-1252'?>\n" + xmi,
         "XMI 1.2, UML 1.x", {{"", "Café"}}},
        // Longer than the start read to find the format: decoded all the same.
        {"very-long-declaration.xmi",
         "<?xml version='1.0'" + std::string(100000, ' ') + "encoding='windows-1252'?>\n" + xmi, "XMI 1.2, UML 1.x",
         {{"", "Café"}}},
        {"blank-utf16.xmi", [&] {
             // UTF-16LE without a mark, after blank lines: each byte with a NUL after it.
             std::string utf16;
             for (const char c : blank + "<?xml version='1.0'?>" + xmi.substr(0, xmi.find("Caf")) + "Order'/>" +
                                     xmi.substr(xmi.find("</UML:Namespace")))
                 utf16 += std::string(1, c) + '\0';
             return utf16;
         }(),
         "XMI 1.2, UML 1.x", {{"", "Order"}}},
        {"instruction-1252.xmi", "<?xml version='1.0' encoding='windows-1252'?>\n<!--\n" + licence +
                                     "-->\n<!DOCTYPE XMI>\n<?pi one?><?pi two?>\n" + xmi,
         "XMI 1.2, UML 1.x", {{"", "Café"}}},
    };
    for (const auto& c : cases) {
        Model model;
        std::string error;
        ASSERT_TRUE(model.load(scratchFile(c.file, c.content), error)) << c.file << ": " << error;
        EXPECT_EQ(model.format(), c.format) << c.file;
        expectClasses(model, c.classes, c.file);
    }
}

// Instructions are no part of the model, wherever they stand; an
// instruction's sign inside a value, a comment or CDATA is only text.
TEST(ModelText, InstructionsInsideTheRootArePassedOver)
{
    const std::string body =
        "<XMI xmi.version='1.2'><?tool one?><XMI.content><UML:Model name='m'><UML:Namespace.ownedElement>\n"
        "<UML:Class name='A&gt;&lt;?x?&gt;' note='1 > 0 <?y?>'/><!-- <?z?> --><?tool two\nlines?>\n"
        "<UML:Class name=\"B\"><![CDATA[ <?w?> ]]></UML:Class></UML:Namespace.ownedElement></UML:Model>"
        "</XMI.content></XMI>";
    const struct {
        const char* file;
        std::string content; // read straight from the file, or as text after conversion
    } cases[] = {
        {"inside.xmi", "<?xml version='1.0'?><?pi first?>\n" + body},
        {"inside-1252.xmi", "<?xml version='1.0' encoding='windows-1252'?>\n" + body},
    };
    for (const auto& c : cases) {
        Model model;
        std::string error;
        ASSERT_TRUE(model.load(scratchFile(c.file, c.content), error)) << c.file << ": " << error;
        expectClasses(model, {{"", "A><?x?>"}, {"", "B"}}, c.file);
    }
    std::string text = "<?xml version='1.0'?><?a?><r x='<?b?>'><?c?></r>";
    EXPECT_TRUE(XmlDecoder::blankLateInstructions(text));
    EXPECT_EQ(text, "<?xml version='1.0'?><?a?><r x='<?b?>'>     </r>");
    std::string cut = "<r><!-- <?c?>";
    EXPECT_FALSE(XmlDecoder::blankLateInstructions(cut));
}

// PlantUML splits names into packages at its namespace separator: a dot,
// another after "set namespaceSeparator", none after "... none".
TEST(ModelText, PlantUmlNamespaceSeparators)
{
    const struct {
        const char* file;
        const char* settings;
        std::vector<Expected> classes;
    } cases[] = {
        {"dots.puml", "", {{"net::shop", "Cart"}, {"a.b", "C"}, {"", "x::y::Z"}, {"p.q", "R"}}},
        {"colons.puml", "set namespaceSeparator ::\n", {{"net.shop", "Cart"}, {"", "a.b.C"}, {"x.y", "Z"}, {"p.q", "R"}}},
        {"none.puml", "set namespaceSeparator none\n", {{"net::shop", "Cart"}, {"", "a.b.C"}, {"", "x::y::Z"}, {"p.q", "R"}}},
    };
    // "p.q" is one package where nothing splits it, and the same path
    // where it is split at dots; the table shows either as p.q.
    for (const auto& c : cases) {
        Model model;
        std::string error;
        const std::string text = std::string("@startuml\n") + c.settings +
                                 "namespace net::shop {\nclass Cart\n}\nclass a.b.C\nclass x::y::Z\n"
                                 "package p.q {\nclass R\n}\n@enduml\n";
        ASSERT_TRUE(model.load(scratchFile(c.file, text), error)) << c.file << ": " << error;
        expectClasses(model, c.classes, c.file);
    }
}

// Blocks that group or draw keep their classes in the package around
// them; the text of notes, legends and styles declares nothing, braces and
// the word class included; a package may open and close on one line.
TEST(ModelText, PlantUmlBlocksAndTexts)
{
    const struct {
        const char* file;
        std::string body;
        std::vector<Expected> classes;
        const char* note = "";
    } cases[] = {
        {"together.puml", "together {\n  class Order\n}\nclass Invoice\n", {{"", "Order"}, {"", "Invoice"}}},
        {"tight.puml", "package shop {\ntogether{\nclass Cart\n}\ninterface Till{\n}\nclass Order\n}\n",
         {{"shop", "Cart"}, {"shop", "Order"}}},
        {"frame.puml", "package shop {\nrectangle Front {\nclass Cart\n}\nclass Till\n}\n",
         {{"shop", "Cart"}, {"shop", "Till"}}},
        {"note.puml", "class Order\nnote right of Order\n  JSON sample: {\n  class Fake\nend note\nclass Invoice\n",
         {{"", "Order"}, {"", "Invoice"}}},
        {"notes.puml", "note as N1\n{\nendnote\nnote left of A : one line {\nclass Invoice\n", {{"", "Invoice"}}},
        {"legend.puml", "legend right\n  class Fake {\nendlegend\nclass Order\n", {{"", "Order"}}},
        {"style.puml", "<style>\nclassDiagram {\n  class {\n    BackgroundColor red\n  }\n}\n</style>\nclass Order\n",
         {{"", "Order"}}},
        {"members.puml", "interface Shape {\n  abstract void draw()\n}\nclass Circle\n", {{"", "Circle"}}},
        {"oneline.puml", "package empty { }\npackage shop { class Cart }\nclass Order\n",
         {{"shop", "Cart"}, {"", "Order"}}},
        {"bom.puml", "", {{"", "Order"}}},
        {"mac.puml", "", {{"shop", "Cart"}, {"", "Order"}}},
        {"latin1.puml", "class Caf\xE9\nclass Order\n", {{"", "Caf\xEF\xBF\xBD"}, {"", "Order"}}},
        // Members may be called note or legend; they open no text block.
        {"member-words.puml", "enum Section {\n  header\n  legend\n}\nclass Memo {\n  note\n}\nclass A\n",
         {{"", "Memo"}, {"", "A"}}},
        // The shown name is the class's, either way round; the alias adds
        // to the same class.
        {"alias.puml",
         "class \"Order Line\" as OL <<entity>> {\n}\nclass OL {\n  id\n}\nclass Customer as \"The Customer\"\n"
         "class Customer\nclass A as B\nclass B\npackage p {\n  class \"Q R\" as Q\n}\nclass Q\n",
         {{"", "Order Line"}, {"", "The Customer"}, {"", "A"}, {"p", "Q R"}, {"", "Q"}}},
        {"alias-alike.puml", "class \"Order\" as Order\nclass A as A\nclass Order\n", {{"", "Order"}, {"", "A"}}},
        {"alias-stereotype.puml", "class \"Red\" as R <<enumeration>>\nclass R\nclass Blue\n", {{"", "Blue"}}},
        {"generics.puml", "class List<T> {\n}\nclass Map<K, V>\nclass \"Odd<Name>\" as ON\nclass B as \"Box<T>\"\n",
         {{"", "List"}, {"", "Map"}, {"", "Odd<Name>"}, {"", "Box<T>"}}},
        // A package left open ends with its diagram.
        {"two-diagrams.puml", "package a {\nclass A\n@enduml\n@startuml\nclass B\n", {{"a", "A"}, {"", "B"}}},
        // Another file is never read, not even one beside the model.
        {"include.puml",
         "!include together.puml\nclass A {\n!includesub x.puml!P\n}\n!include_once <C4/C4>\n!import lib.zip\n",
         {{"", "A"}}, "line 2: !include together.puml and 3 more: wired-host reads only this file"},
    };
    for (const auto& c : cases) {
        Model model;
        std::string error;
        // With a byte-order mark; with the lone CRs of old Mac files, a
        // comment line before the start.
        const std::string file = c.file;
        const std::string text = file == "bom.puml"   ? "\xEF\xBB\xBF@startuml\nclass Order\n@enduml\n"
                                 : file == "mac.puml" ? "' old\r@startuml\rpackage shop {\rclass Cart\r}\rclass Order\r@enduml\r"
                                                      : "@startuml\n" + c.body + "@enduml\n";
        ASSERT_TRUE(model.load(scratchFile(c.file, text), error)) << c.file << ": " << error;
        EXPECT_EQ(model.format(), "PlantUML") << c.file;
        expectClasses(model, c.classes, c.file);
        expectNote(model, c.note, c.file);
    }
}

// Encodings a system may know by name and still not convert (Wine's
// GB18030 and ISO-2022-JP): read right, or refused as such, never taken
// for an empty or malformed document.
TEST(ModelText, AnEncodingTheSystemCannotConvertIsSaidSo)
{
    const std::pair<const char*, std::string> cases[] = {
        {"GB18030", "\xD7\xA2\xCE\xC4"},
        {"ISO-2022-JP", "\x1B$BCmJ8\x1B(B"},
    };
    for (const auto& c : cases) {
        const std::string path =
            scratchFile("encoded.xmi", std::string("<?xml version='1.0' encoding='") + c.first +
                                           "'?>\n<XMI xmi.version='1.2'><XMI.content><UML:Class name='" + c.second +
                                           "'/></XMI.content></XMI>\n");
        Model model;
        std::string error;
        if (model.load(path, error)) {
            ASSERT_EQ(model.classes().size(), 1u) << c.first;
            EXPECT_EQ(model.classes()[0].name, encoding::utf8ToHost("\xE6\xB3\xA8\xE6\x96\x87")) << c.first;
        } else {
            EXPECT_EQ(error, path + ": the file is in encoding \"" + c.first + "\", which this system cannot convert");
        }
    }
}

// tinyxml2 expands none of a document type's entities: the names keep the
// reference, and the user is told why.
TEST(ModelText, EntitiesOfTheDocumentTypeAreNamedInANote)
{
    const std::string body = "<XMI xmi.version='1.2' xmlns:UML='org.omg.xmi.namespace.UML'><XMI.content>"
                             "<UML:Class name='&pre;Order'/></XMI.content></XMI>";
    struct Case {
        const char* doctype;
        const char* note; // empty: none
    } cases[] = {
        {"<!DOCTYPE XMI [ <!ENTITY pre \"Shop\"> ]>\n", "line 1: the document type declares entities, "},
        {"<!DOCTYPE XMI [\n<!ENTITY % p 'x'>\n<!ENTITY\tpre 'Shop'> ]>\n", "(&pre;)"},
        {"<!DOCTYPE XMI [ <!ENTITY % only 'x'> ]>\n", ""},
        {"<!DOCTYPE XMI SYSTEM 'uml.dtd'>\n", ""},
    };
    for (const Case& c : cases) {
        Model model;
        std::string error;
        ASSERT_TRUE(model.load(scratchFile("entities.xmi", c.doctype + body), error)) << c.doctype << error;
        ASSERT_EQ(model.classes().size(), 1u) << c.doctype;
        EXPECT_EQ(model.classes()[0].name, "&pre;Order") << c.doctype;
        expectNote(model, c.note, c.doctype);
    }
}

// .NET exporters build the text in a (UTF-16) string, declare that, and
// save UTF-8: read as written, and said. Real UTF-16 is not so flagged.
TEST(ModelText, AWideEncodingDeclaredOverSingleBytesIsReadAsUtf8)
{
    const std::string body = "<XMI xmi.version='1.2'><XMI.content><UML:Class name='Caf\xC3\xA9'/></XMI.content></XMI>";
    std::string utf16 = "\xFF\xFE";
    for (const char c : "<?xml version='1.0' encoding='utf-16'?><XMI xmi.version='1.2'><XMI.content>"
                        "<UML:Class name='Cafe'/></XMI.content></XMI>")
        utf16 += c != '\0' ? std::string(1, c) + '\0' : std::string();
    struct Case {
        const char* file;
        std::string content;
        const char* name;
        const char* note; // empty: none
    } cases[] = {
        {"utf16.xmi", "<?xml version=\"1.0\" encoding=\"utf-16\"?>\n" + body, "Caf\xC3\xA9",
         "the file says it is in utf-16, but is written in single bytes; it is read as UTF-8"},
        {"ucs2.xmi", "\n\n<?xml version='1.0' encoding='UCS-2'?>" + body, "Caf\xC3\xA9", "in UCS-2, but"},
        {"unicode.xmi", "<?xml version='1.0' encoding='Unicode'?>" + body, "Caf\xC3\xA9", "in Unicode, but"},
        {"umbrello.xmi", "<?xml version='1.0' encoding='UnicodeUTF8'?>" + body, "Caf\xC3\xA9", ""},
        {"real-utf16.xmi", utf16, "Cafe", ""},
    };
    for (const Case& c : cases) {
        Model model;
        std::string error;
        ASSERT_TRUE(model.load(scratchFile(c.file, c.content), error)) << c.file << ": " << error;
        expectClasses(model, {{"", c.name}}, c.file);
        expectNote(model, c.note, c.file);
    }
}

TEST(ModelText, AModelWithoutClassesLoads)
{
    const std::string uml = "<uml:Model xmlns:uml='http://www.eclipse.org/uml2/5.0.0/UML' name='m'>"
                            "<packagedElement xmi:type='uml:Package' name='empty'/></uml:Model>";
    Model model;
    std::string error;
    ASSERT_TRUE(model.load(scratchFile("empty.uml", uml), error)) << error;
    EXPECT_TRUE(model.classes().empty());
}

struct BadCase {
    const char* name;
    std::string content;
    const char* message;
};

TEST(ModelErrors, FilesThatAreNoModelSayWhatWasFound)
{
    const std::string zipWithoutModel = readFile(modelPath("argouml.zargo"));
    std::string renamed = zipWithoutModel;
    // The same archive with its .xmi entry renamed in both headers.
    for (std::size_t at = renamed.find("argouml.xmi"); at != std::string::npos; at = renamed.find("argouml.xmi", at))
        renamed.replace(at, 11, "argouml.txt");
    const BadCase cases[] = {
        {"ecore.xmi", readFile(modelPath("ecore.xmi")),
         "an XMI 2.0 file without UML: it holds ecore:EPackage (namespace http://www.eclipse.org/emf/2002/Ecore)"},
        {"empty.xmi", "", "the file is empty"},
        {"blank.xmi", "  \n\n", "the file holds only white space"},
        {"binary.xmi", bytes("\x01\x02\x03\x00\x05"), "binary data, no model format wired-host knows"},
        {"text.xmi", "hello world\nsecond", "text starting \"hello world\", no model format wired-host knows"},
        {"model.tar.xz", bytes("\xFD" "7zXZ\0\0\4\xE6\xD6\xB4\x46"), "packed with xz, which wired-host does not unpack"},
        {"model.tar.bz2", bytes("BZh91AY&SY\x12\x34"), "packed with bzip2, which wired-host does not unpack"},
        {"BZh.puml", "BZh is a text\n", "text starting \"BZh is a text\""},
        {"utf32.puml", bytes("\xFF\xFE\0\0@\0\0\0s\0\0\0"), "saved as UTF-32, which wired-host does not read"},
        {"utf32be.xmi", bytes("\0\0\0<\0\0\0?\0\0\0x"), "saved as UTF-32"},
        {"shop.vpp", bytes("SQLite format 3\0\x10\0\x01\x01"), "an SQLite database (as Visual Paradigm's .vpp"},
        {"shop.eap", bytes("\0\1\0\0Standard Jet DB\0\1\0\0"), "a Microsoft Access database (as Enterprise Architect"},
        {"cut.puml", "' a diagram\n@startuml\nclass Order\nclass Invo",
         ":2: the diagram that starts here has no @enduml (the file may be cut short)"},
        {"open-note.puml", "@startuml\nclass A\nnote as N\n  text\nclass B\n@enduml\n",
         ":3: the note that starts here has no end before @enduml at line 6 (the classes after it would be lost)"},
        {"comment-in-open-note.puml", "@startuml\nnote as N\n/' x '/\nclass A\n@enduml\n",
         ":2: the note that starts here has no end before @enduml at line 5 (the classes after it would be lost)"},
        {"open-comment.puml", "@startuml\n/' old\nclass A\n@enduml\n",
         ":2: the block comment that starts here has no end before @enduml at line 4 (the classes after it would be "
         "lost)"},
        {"wired.xml", "<?xml version='1.0'?>\n<Wired/>", ":2: the root element is Wired: not a model wired-host knows"},
        {"cut.xmi", "<?xml version='1.0'?>\n<XMI xmi.version='1.2'>\n<XMI.content>\n</XMI>",
         ":3: malformed XML (XML_ERROR_MISMATCHED_ELEMENT)"},
        // Both read as text (UTF-16) and straight from the file.
        {"two-roots.xmi", "<XMI xmi.version='1.2'/>\n<!-- joined -->\n<XMI xmi.version='1.2'/>",
         ":3: a second root element, XMI: an XML document has one"},
        {"two-roots-utf16.xmi", bytes("\xFF\xFE<\0A\0/\0>\0<\0B\0/\0>\0"), ":1: a second root element, B"},
        {"encoding.xmi", "<?xml version='1.0' encoding='x-no-such-encoding'?>\n<XMI/>",
         "the file is in encoding \"x-no-such-encoding\", which wired-host cannot convert"},
        {"long-encoding.xmi", "<?xml version='1.0' encoding='" + std::string(10000, 'x') + "'?>\n<XMI/>",
         "xxx...\", which wired-host cannot convert"},
        {"renamed.zargo", renamed, "a zip file without a model (.xmi, .uml, .mdj, .dia, .puml, .xml) in it; it holds: argouml.argo, "},
        {"broken.xmi.gz", bytes("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03" "garbage-not-deflate"), "gzip: "},
        {"xmi1.xmi", "<XMI xmi.version='1.2'><XMI.content><CWM:Table name='T'/></XMI.content></XMI>",
         "an XMI 1.2 file without UML: it holds CWM:Table"},
        {"other.json", "{\"name\": \"x\"}", "a JSON file that is not a StarUML project"},
        {"bad.mdj", "{\"_type\": \"Project\",\n \"ownedElements\": [}", "malformed JSON (line 2: "},
    };
    for (const BadCase& c : cases) {
        Model model;
        std::string error;
        const std::string path = scratchFile(c.name, c.content);
        EXPECT_FALSE(model.load(path, error)) << c.name;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.name << ": " << error;
        EXPECT_EQ(error.compare(0, path.size(), path), 0) << c.name << ": the message starts with the file";
    }
    Model model;
    std::string error;
    EXPECT_FALSE(model.load(modelPath("no-such-file.xmi"), error));
    EXPECT_NE(error.find("cannot open the model file"), std::string::npos) << error;
}

TEST(OwnModel, NamesItsTablesAndKeepsItsRules)
{
    // Packages are known by their path here, so a.b.c is one package
    // however it was written, and the same class in it twice a duplicate.
    const std::string xml = "<Model><Table name='Order_Item'/><Package name='a'><Package name='b.c'>"
                            "<Class name='OrderItem'/><Class name='Twin'/></Package></Package>"
                            "<Package name='a.b.c'><Class name='Twin'/></Package>"
                            "<Package name='a'><Class name='Twin'/></Package></Model>";
    Model model;
    std::string error;
    ASSERT_TRUE(model.load(scratchFile("own.xml", xml), error)) << error;
    EXPECT_EQ(model.format(), "wired-host model");
    expectClasses(model, {{"a.b.c", "OrderItem"}, {"a.b.c", "Twin", true}, {"a.b.c", "Twin", true}, {"a", "Twin"}},
                  "own model");
    EXPECT_TRUE(model.hasTable("Order_Item"));
    EXPECT_FALSE(model.hasTable("Order_item"));
    EXPECT_TRUE(model.hasClass("OrderItem"));

    Model bare;
    ASSERT_TRUE(bare.load(scratchFile("bare.xml", "<Model><Class name='A'/></Model>"), error)) << error;
    EXPECT_FALSE(bare.hasTable("A")) << "an own model without tables knows none";
}

} // namespace
} // namespace wiredhost

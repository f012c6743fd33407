// The counts before parsing: only attributes of tags count, not text,
// quoted values, comments, CDATA or declarations that look like them,
// however the text is cut into pieces; and only nodes the parser makes,
// not end tags or white space.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "model/XmlTagLimits.h"

namespace wiredhost {
namespace {

std::string attributes(std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += " a" + std::to_string(i) + "=\"v\"";
    return text;
}

// Single-quoted, with blanks around the = and empty values.
std::string spacedAttributes(std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += "\n a" + std::to_string(i) + " = ''";
    return text;
}

TEST(XmlTagLimits, CountsTheAttributesOfEachTag)
{
    const std::size_t most = XmlTagLimits::kMaxAttributes;
    const std::string many = "=" + std::string(most, '=');
    struct Case {
        const char* what;
        std::string text;
        bool passes;
        const char* tag; // where the tag that passes starts
    } cases[] = {
        {"at the limit", "<r" + attributes(most) + "/>", false, ""},
        {"one past it", "<?xml version='1.0'?>\n<r>\n<e" + attributes(most + 1) + "/></r>", true, "<e"},
        {"past it on a later line of the tag", "<r>\n\n<e\n" + attributes(most + 1) + "/></r>", true, "<e"},
        {"single-quoted and spaced, at the limit", "<r" + spacedAttributes(most) + "/>", false, ""},
        {"single-quoted and spaced, past it", "<r><e" + spacedAttributes(most + 1) + "/></r>", true, "<e"},
        {"spread over many tags", "<r" + attributes(most) + "><e" + attributes(most) + "/></r>", false, ""},
        {"in a quoted value", "<r a='" + many + "' b=\"" + many + "\"/>", false, ""},
        {"a > in a quoted value", "<r a='>'" + attributes(most - 1) + "/>", false, ""},
        {"in text", "<r>" + many + "</r>", false, ""},
        {"in a comment", "<r><!-- <e " + many + "> -- -> --></r>", false, ""},
        {"in CDATA", "<r><![CDATA[<e " + many + "> ]] ]>]]></r>", false, ""},
        {"in an instruction", "<?pi " + many + " ? > ?><r/>", false, ""},
        {"in a DOCTYPE subset", "<!DOCTYPE r [<!ATTLIST r a CDATA '>" + many + "'> ]><r/>", false, ""},
        {"after a comment", "<!-- x -->\n<r" + attributes(most + 1) + "/>", true, "<r"},
        {"after CDATA", "<r><![CDATA[x]]>\n<e" + attributes(most + 1) + "/></r>", true, "<e"},
        // The parser ends every <! that is no comment or CDATA at its first
        // >, a subset's brackets and quotes or a head that starts like
        // either notwithstanding: what follows is counted.
        {"after a DOCTYPE subset's first >", "<!DOCTYPE r [>\n<r" + attributes(most + 1) + "/> ]>", true, "<r"},
        {"after a DOCTYPE's quote and >", "<!DOCTYPE r \">\n<r" + attributes(most + 1) + "/><!-- \" -->", true, "<r"},
        {"after <![- and >", "<![->\n<r" + attributes(most + 1) + "/><!-- -->", true, "<r"},
        {"after <!-[ and >", "<!-[CDATA[>\n<r" + attributes(most + 1) + "/>]]>", true, "<r"},
    };
    for (const Case& c : cases) {
        // Whole, and one byte at a time: the pieces a file is read in may
        // end anywhere.
        for (std::size_t piece : {c.text.size(), std::size_t(1)}) {
            XmlTagLimits limit;
            for (std::size_t at = 0; at < c.text.size() && !limit.passed(); at += piece)
                limit.feed(c.text.data() + at, std::min(piece, c.text.size() - at));
            EXPECT_EQ(limit.passed(), c.passes) << c.what << " in pieces of " << piece;
            if (c.passes) {
                EXPECT_EQ(limit.offset(), c.text.find(c.tag)) << c.what << " in pieces of " << piece;
            }
        }
    }
}

// Each start tag and empty-element tag, text that is not white space,
// comment, instruction and declaration is a node; end tags and white space
// between tags are not.
TEST(XmlTagLimits, CountsTheNodesOfTheDocument)
{
    const std::size_t most = XmlTagLimits::kMaxNodes;
    const char* const nodes[] = {"<a/>", "<!---->", "<?p?>", "<b></b>", "x", "<![CDATA[]]>"};
    // The last is an element, so that a text after it is a node of its own.
    static_assert((XmlTagLimits::kMaxNodes - 1) % 6 == 3, "the text ends with <b></b>");
    std::string text = "<?xml version='1.0'?><!DOCTYPE r><r>";
    text.reserve(5 * most + 100);
    for (std::size_t i = 3; i < most; ++i) {
        text += nodes[i % 6];
        if (i % 100 == 0)
            text += " \n\t";
    }
    for (const std::string& last : {std::string("<c/>"), std::string("text ")}) {
        std::string over = text + last + "</r>";
        XmlTagLimits limit;
        EXPECT_TRUE(limit.feed(text.data(), text.size()));
        XmlTagLimits passed;
        EXPECT_FALSE(passed.feed(over.data(), over.size())) << last;
        EXPECT_TRUE(passed.tooManyNodes()) << last;
        EXPECT_EQ(passed.offset(), text.size() + (last[0] == '<' ? 0 : last.size())) << last;
    }
}

// fit copies of element pass no limit; one more passes the one problem
// names, found where that element starts, also when the text comes in two
// pieces with that element's tag cut after its name.
void expectTheElementAfterFitPasses(const std::string& element, std::size_t fit, const char* problem,
                                    bool countsAsNodes)
{
    std::string text = "<r>";
    text.reserve(element.size() * (fit + 1) + 10);
    for (std::size_t i = 0; i < fit; ++i)
        text += element;
    XmlTagLimits limit;
    EXPECT_TRUE(limit.feed(text.data(), text.size()));
    const std::size_t last = text.size();
    text += element + "</r>";
    XmlTagLimits over;
    const std::size_t cut = last + 3;
    EXPECT_TRUE(over.feed(text.data(), cut));
    EXPECT_FALSE(over.feed(text.data() + cut, text.size() - cut));
    EXPECT_EQ(over.tooManyNodes(), countsAsNodes);
    EXPECT_EQ(over.offset(), last);
    EXPECT_NE(over.problem().find(problem), std::string::npos) << over.problem();
}

// Each element's attributes cost the parser their pairs: many elements
// of many attributes pass the limit that each alone keeps.
TEST(XmlTagLimits, CountsThePairsOfAttributesOfAllElements)
{
    const std::size_t most = XmlTagLimits::kMaxAttributes;
    const std::size_t fit = static_cast<std::size_t>(XmlTagLimits::kMaxComparisons / (most * (most - 1) / 2));
    expectTheElementAfterFitPasses("<e" + attributes(most) + "/>\n", fit, "pairs", false);
}

// Names that share a long start cost the parser a byte comparison each:
// elements of 256 attributes of 160-byte names took 17 s in the 32-bit
// Windows builds, where those of short names take 3. Such names count as
// pairs in proportion to their length.
TEST(XmlTagLimits, LongNamesCountAsMorePairs)
{
    const std::size_t most = XmlTagLimits::kMaxAttributes;
    std::string element = "<e";
    for (std::size_t i = 0; i < most; ++i)
        element += " " + std::string(155, 'p') + std::to_string(100 + i) + "=''";
    // 160 bytes of a name with its blank and '=': 1 + 160 / 16 each.
    const std::size_t fit = static_cast<std::size_t>(XmlTagLimits::kMaxComparisons / (most * (most - 1) / 2 * 11));
    expectTheElementAfterFitPasses(element + "/>\n", fit, "a pair of long names as several", false);
}

// Attributes cost memory as nodes do: elements of a few attributes each,
// within both other limits, pass this one together.
TEST(XmlTagLimits, CountsTheAttributesOfAllElements)
{
    expectTheElementAfterFitPasses("<e a='' b='' c='' d=''/>", XmlTagLimits::kMaxAllAttributes / 4,
                                   "10000000 XML attributes", true);
}

} // namespace
} // namespace wiredhost

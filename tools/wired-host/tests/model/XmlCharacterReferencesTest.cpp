// Character references before parsing: each is &# and digits, or &#x and
// hexadecimal digits, then ';', of a character from U+0001 to U+10FFFF
// that is no surrogate; named references and a lone & are left to the
// parser, and so is what it does not decode (comments, CDATA, instructions,
// declarations). Checked as the loader does, through the scan of the tags.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "model/XmlCharacterReferences.h"
#include "model/XmlTagLimits.h"

namespace wiredhost {
namespace {

TEST(XmlCharacterReferences, FindsTheFirstThatXmlDoesNotAllow)
{
    struct Case {
        const char* what;
        std::string text;
        const char* problem; // "" when every reference is good
        const char* at;      // where the bad one starts
    } cases[] = {
        {"good ones", "<a n='&#233;&#xE9;&#xe9;&#0000065;&#x10FFFF;&amp;&lt;&&'>&#1;</a>", "", ""},
        {"U+0000", "<a n='A&#0;B'/>", "U+0000", "&#0;"},
        {"U+0000 in hexadecimal, long", "<a>A&#x00000000;</a>", "U+0000", "&#x0"},
        {"what 32 bits wrap to U+0000", "<a n='&#x100000000;'/>", "beyond U+10FFFF", "&#x1"},
        {"beyond U+10FFFF", "<a n='&#1114112;'/>", "beyond U+10FFFF", "&#1"},
        {"a very long number", "<a n='&#" + std::string(100, '9') + ";'/>", "beyond U+10FFFF", "&#9"},
        {"no ';'", "<a n='x&#65 y'/>", "not a number ended by ';'", "&#65"},
        {"no digits", "<a n='&#;'/>", "not a number ended by ';'", "&#;"},
        {"an upper-case X", "<a n='&&#X41;'/>", "not a number ended by ';'", "&#X"},
        {"a surrogate", "<a n='A&#xD800;B'/>", "a surrogate (U+D800 to U+DFFF), which is no character", "&#xD8"},
        {"the last surrogate", "<a>&#57343;</a>", "a surrogate (U+D800 to U+DFFF), which is no character", "&#5"},
        {"around the surrogates", "<a n='&#xD7FF;&#xE000;'/>", "", ""},
        {"cut by the end of a value", "<a n='&#65' m='0;'/>", "not a number ended by ';'", "&#65"},
        {"cut by a tag", "<a>&#x4<b/>1;</a>", "not a number ended by ';'", "&#x4"},
        {"in comments, CDATA, instructions and declarations",
         "<!DOCTYPE a [<!ENTITY e '&#0;'>]><a><!-- &#169 &#0; --><![CDATA[if (s == \"&#0;\")]]><?p &#0;?>&#65;</a>",
         "", ""},
        {"after a comment", "<a><!-- &#0; --><b n='&#0;'/></a>", "U+0000", "&#0;'"},
        {"in a quoted > of a tag", "<a n='>&#0;'/>", "U+0000", "&#0;"},
        {"a million &#", "<a n='" + [] {
             std::string many;
             for (int i = 0; i < 1000000; ++i)
                 many += "&#";
             return many;
         }() + "'/>",
         "not a number ended by ';'", "&#"},
    };
    for (const Case& c : cases) {
        // Whole, and one byte at a time: the pieces a file is read in may
        // end anywhere.
        for (std::size_t piece : {c.text.size(), std::size_t(1)}) {
            XmlCharacterReferences references;
            XmlTagLimits scan(&references);
            for (std::size_t at = 0; at < c.text.size() && !references.found(); at += piece)
                scan.feed(c.text.data() + at, std::min(piece, c.text.size() - at));
            EXPECT_FALSE(scan.passed()) << c.what;
            EXPECT_EQ(references.problem(), c.problem) << c.what << " in pieces of " << piece;
            if (references.found()) {
                EXPECT_EQ(references.offset(), c.text.find(c.at)) << c.what << " in pieces of " << piece;
            }
        }
    }
}

} // namespace
} // namespace wiredhost

#include <gtest/gtest.h>

#include "Explainer.h"

namespace wiredhost {
namespace {

// What the plug-in answers is set beside its rule; any difference is a
// plug-in of another version, or a fault, and must be caught.
TEST(ExplainerTest, TellsWhetherThePluginAnsweredAsItsRuleSays)
{
    const Explainer explainer({"model"}, {"Tb"}, {{"TbOrder", "ORDERS", 1}, {"Other", "X", 1}});
    struct Case {
        ClassEntry answered;
        bool agrees;
    };
    const Case cases[] = {
        {{"TbOrderItem", "com.shop.model", "Order_Item", Outcome::Set}, true},
        {{"TbOrderItem", "com.shop.model", "Order_Item", Outcome::TableNotFound}, true},
        {{"TbOrderItem", "com.shop.model", "Order_Item", Outcome::NothingDone}, true},
        {{"TbOrderItem", "com.shop.web", "", Outcome::Skipped}, true},
        {{"", "com.shop.model", "", Outcome::Unnamed}, true},
        // Another table, a class skipped that the rule names, one named that
        // the rule skips, one the plug-in never asked about.
        {{"TbOrderItem", "com.shop.model", "TbOrder_Item", Outcome::Set}, false},
        {{"TbOrderItem", "com.shop.model", "", Outcome::Skipped}, false},
        {{"TbOrderItem", "com.shop.web", "Order_Item", Outcome::Set}, false},
        {{"TbOrderItem", "com.shop.model", "", Outcome::NothingDone}, false},
    };
    for (const Case& c : cases) {
        const ClassExplanation explained = explainer.explain(c.answered);
        EXPECT_EQ(c.agrees, explained.agrees) << c.answered.package << " " << c.answered.tableName;
        if (!c.agrees) {
            const std::string why = Explainer::disagreement(explained);
            EXPECT_NE(std::string::npos, why.find("com.shop.")) << why;
            EXPECT_NE(std::string::npos, why.find("another version")) << why;
        }
    }
}

TEST(ExplainerTest, ShowsTheLinksOfTheClass)
{
    const Explainer explainer({}, {}, {{"Order", "ORDERS", 1}, {"Other", "X", 1}, {"Order", "ORDER2", -1}});
    const ClassExplanation explained = explainer.explain({"Order", "", "Order", Outcome::Set});
    ASSERT_EQ(2u, explained.links.size());
    EXPECT_EQ("ORDER2", explained.links[1].tableName);
    const std::string text = explanationText(explained);
    EXPECT_NE(std::string::npos, text.find("\"Order\" -> \"ORDER2\", registered at creation: failed")) << text;
    EXPECT_NE(std::string::npos, text.find("no package codes, every class passes")) << text;
}

// A class whose letters the host's code page lacks is headed by its own
// name, as the report lists it; the steps are those of the '?' the
// plug-in got.
TEST(ExplainerTest, HeadsAClassTheCodePageLacksLettersOfByItsOwnName)
{
    const Explainer explainer({}, {}, {});
    ClassEntry answered{"??Item", "shop", "??Item", Outcome::Set};
    answered.ownNames = OwnNames{"\xE6\xB3\xA8\xE6\x96\x87Item", "shop"};
    const std::string text = explanationText(explainer.explain(answered));
    EXPECT_EQ(0u, text.find("shop.\xE6\xB3\xA8\xE6\x96\x87Item\n")) << text;
    EXPECT_NE(std::string::npos, text.find("  table     \"??Item\"\n")) << text;
}

// A config of many codes lists the first ones and the match; the others
// are counted in one line, so that each class costs no more than a few.
TEST(ExplainerTest, ManyPackageCodesAreListedUpToTheMatch)
{
    std::vector<std::string> codes;
    for (int i = 0; i < 10000; ++i)
        codes.push_back("p" + std::to_string(i));
    const Explainer explainer(codes, {}, {});
    const ClassExplanation matched = explainer.explain({"Order", "a.p5000", "Order", Outcome::Set});
    const std::string text = explanationText(matched);
    EXPECT_NE(std::string::npos, text.find("32. \"p31\" no match\n")) << text;
    EXPECT_NE(std::string::npos, text.find("... codes 33 to 5000: no match\n")) << text;
    EXPECT_NE(std::string::npos, text.find("5001. \"p5000\" matches\n")) << text;
    EXPECT_NE(std::string::npos, text.find("... codes 5002 to 10000: not tested\n")) << text;
    EXPECT_LT(text.size(), 3000u);
    const std::string json = explanationJson(matched);
    EXPECT_NE(std::string::npos, json.find("\"packageCodeCount\": 10000")) << json;
    EXPECT_NE(std::string::npos, json.find("{\"index\": 5000, \"code\": \"p5000\", \"result\": \"matches\"}")) << json;
    EXPECT_LT(json.size(), 3000u);

    const std::string skipped = explanationText(explainer.explain({"Order", "a.q", "", Outcome::Skipped}));
    EXPECT_NE(std::string::npos, skipped.find("... codes 33 to 10000: no match\n")) << skipped;
}

} // namespace
} // namespace wiredhost

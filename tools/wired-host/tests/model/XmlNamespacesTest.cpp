// Namespace URIs of UML and XMI as tools and versions write them.
#include <gtest/gtest.h>

#include "model/XmlNamespaces.h"

namespace wiredhost {
namespace {

// Only a URI's last segments count, so the published URIs appear here
// without the folder their documents live in on the OMG's site.
TEST(XmlNamespaces, UriFormsOfEveryToolAndVersion)
{
    const struct {
        const char* uri;
        XmlNamespaces::Kind kind;
    } cases[] = {
        {"http://www.eclipse.org/uml2/5.0.0/UML", XmlNamespaces::Uml},
        {"http://www.eclipse.org/uml2/2.1.0/UML", XmlNamespaces::Uml},
        {"http://schema.omg.org/UML/2.1", XmlNamespaces::Uml},
        {"http://www.omg.org/UML/20131001", XmlNamespaces::Uml},
        {"http://www.omg.org/UML/20110701/", XmlNamespaces::Uml},
        {"org.omg.xmi.namespace.UML", XmlNamespaces::Uml},
        {"omg.org/UML1.3", XmlNamespaces::Uml},
        {"href://org.omg/UML/1.3", XmlNamespaces::Uml},
        {"http://schema.omg.org/UML/1.4", XmlNamespaces::Uml},
        {"http://www.omg.org/UML/20131001/StandardProfile", XmlNamespaces::Other},
        {"http://www.eclipse.org/uml2/schemas/Standard/1", XmlNamespaces::Other},
        {"http://www.eclipse.org/emf/2002/Ecore", XmlNamespaces::Other},
        {"http://www.omg.org/XMI", XmlNamespaces::Xmi},
        {"http://schema.omg.org/XMI/2.1", XmlNamespaces::Xmi},
        {"http://www.omg.org/XMI/20131001", XmlNamespaces::Xmi},
        {"", XmlNamespaces::Other},
    };
    for (const auto& c : cases)
        EXPECT_EQ(XmlNamespaces::kindOfUri(c.uri), c.kind) << c.uri;
}

TEST(XmlNamespaces, ScopesAndUndeclaredPrefixes)
{
    XmlNamespaces names;
    EXPECT_EQ(names.kindOf("UML", 3), XmlNamespaces::Uml) << "old exporters declare no prefix";
    EXPECT_EQ(names.kindOf("xmi", 3), XmlNamespaces::Xmi);
    EXPECT_EQ(names.kindOf("foo", 3), XmlNamespaces::Other);
    const std::size_t mark = names.mark();
    names.declare("foo", 3, "http://www.omg.org/UML/20131001");
    names.declare("UML", 3, "http://www.eclipse.org/emf/2002/Ecore");
    EXPECT_EQ(names.kindOf("foo", 3), XmlNamespaces::Uml);
    EXPECT_EQ(names.kindOf("UML", 3), XmlNamespaces::Other) << "a declaration wins over the prefix's name";
    const std::size_t inner = names.mark();
    names.declare("foo", 3, "http://www.omg.org/XMI");
    EXPECT_EQ(names.kindOf("foo", 3), XmlNamespaces::Xmi) << "an inner declaration hides the outer";
    EXPECT_EQ(names.uriOf("foo"), "http://www.omg.org/XMI");
    names.leave(inner);
    EXPECT_EQ(names.kindOf("foo", 3), XmlNamespaces::Uml) << "and leaves it as it was";
    EXPECT_EQ(names.uriOf("foo"), "http://www.omg.org/UML/20131001");
    names.leave(mark);
    EXPECT_EQ(names.kindOf("foo", 3), XmlNamespaces::Other);
    EXPECT_EQ(names.uriOf("foo"), "");
}

// A file may declare the most prefixes an element holds on each of the
// deepest elements, and then use prefixes none of them is: each look-up
// costs the same however many are declared (as a walk through them, this
// took minutes).
TEST(XmlNamespaces, ManyDeclarationsCostNothingPerLookUp)
{
    XmlNamespaces names;
    const std::size_t mark = names.mark();
    for (int i = 0; i < 25000; ++i) {
        const std::string prefix = "p" + std::to_string(i);
        names.declare(prefix.c_str(), prefix.size(), "urn:x");
    }
    const char* const used[] = {"q0", "q1", "q2"}; // more than the last two asked, which are kept
    std::size_t others = 0;
    for (int i = 0; i < 300000; ++i)
        others += names.kindOf(used[i % 3], 2) == XmlNamespaces::Other;
    EXPECT_EQ(others, 300000u);
    EXPECT_EQ(names.kindOf("p24999", 6), XmlNamespaces::Other);
    names.leave(mark);
    EXPECT_EQ(names.uriOf("p0"), "");
}

} // namespace
} // namespace wiredhost

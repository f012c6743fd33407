#ifndef WIREDCLSTAB_TESTS_NAMINGCASES_H
#define WIREDCLSTAB_TESTS_NAMINGCASES_H

#include <ostream>
#include <string>
#include <vector>

namespace kavri_test {

using Codes = std::vector<std::string>;

// Table names the converter must derive, with the leader codes in effect.
struct NameCase {
    Codes leaders;
    std::string name, table;
};

// Package paths the filter must let through or hold back.
struct PackageCase {
    Codes packages;
    std::string path;
    bool passes;
};

inline std::ostream& operator<<(std::ostream& os, const Codes& codes)
{
    os << "{";
    for (const std::string& code : codes)
        os << " " << code;
    return os << " }";
}

inline std::ostream& operator<<(std::ostream& os, const NameCase& c)
{
    return os << "leaders " << c.leaders << " name \"" << c.name << "\"";
}

inline std::ostream& operator<<(std::ostream& os, const PackageCase& c)
{
    return os << "packages " << c.packages << " path \"" << c.path << "\"";
}

inline const std::vector<NameCase>& nameCases()
{
    static const std::vector<NameCase> cases = {
        {{}, "OrderItem", "Order_Item"},
        {{}, "aBcD", "a_Bc_D"},
        {{}, "URLParser", "URLParser"},
        {{}, "orderItemID", "order_Item_ID"},
        {{}, "newSKUPrice", "new_SKUPrice"},
        {{}, "Order2Item", "Order2Item"},
        {{}, "order_Item", "order_Item"},
        {{}, "", ""},
        {{}, "x", "x"},
        {{}, "abAB", "ab_AB"},
        {{}, "aAaAaA", "a_Aa_Aa_A"},
        {{"C"}, "COrderLine", "Order_Line"},
        {{"C"}, "CCOrder", "COrder"},
        {{"T", "TB"}, "TBOrder", "BOrder"},
        {{"TB", "T"}, "TBOrder", "Order"},
        {{"t_"}, "t_orderItem", "order_Item"},
        {{"Tb"}, "TBOrder", "TBOrder"},
        {{"C"}, "C", ""},
        {{"C"}, "", ""},
        {{"Order"}, "Ord", "Ord"},
        // The leader is cut before the seams are looked for: no seam across it.
        {{"x"}, "xOrder", "Order"},
        // Bytes from 0x80 up are never letters; a GBK trail byte in a..z is.
        {{}, "\xB5\xC4Item", "\xB5\xC4Item"},
        {{}, "\xB5" "aItem", "\xB5" "a_Item"},
    };
    return cases;
}

inline const std::vector<PackageCase>& packageCases()
{
    static const std::vector<PackageCase> cases = {
        {{"model"}, "com.shop.model", true},
        {{"model"}, "model", true},
        {{"shop.model"}, "com.shop.model", true},
        {{"hop.model", "model"}, "com.shop.model", true},
        {{"QA", "PM"}, "x.PM", true},
        {{"model"}, ".model", true},
        {{"model"}, "com.shopmodel", false},
        {{".model"}, "com.shop.model", false},
        {{"shop"}, "com.shop.model", false},
        {{"Model"}, "com.shop.model", false},
        {{"model"}, "odel", false},
        {{"model"}, "", false},
        {{"PM"}, "x.QA", false},
    };
    return cases;
}

} // namespace kavri_test

#endif

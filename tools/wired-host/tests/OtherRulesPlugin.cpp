// A converter of another make, for the tests of wired-host's explanations:
// it names every class's table by its name in capitals, where the plug-in
// puts an underscore at each seam. wired-host must notice that the loaded
// plug-in does not follow the rule it explains.
#include <cctype>
#include <cstdint>
#include <string>

#include "kavri/IConvert.h"

namespace {

const int kClassKind = 24;

class OtherRules final : public kavri::IConvert {
public:
    int reserved1(std::int32_t) override { return 0; }
    int convert(kavri::INode* node) override
    {
        bool named = false;
        node->traverse([&named](kavri::INode* visited) {
            if (named || visited->getKind() != kClassKind)
                return 0;
            std::string table = visited->getName();
            for (char& c : table)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            visited->setTable(table.c_str());
            named = true;
            return 1;
        });
        return named ? 1 : 0;
    }
    int reserved3(std::int32_t) override { return 0; }
    int reset() override { return 0; }
    int reserved5() override { return 0; }
    int reserved6() override { return 0; }
    int reserved7(std::int32_t, std::int32_t) override { return 0; }
    int reserved8() override { return 0; }
    int reserved9() override { return 0; }
    int reserved10() override { return 0; }
};

} // namespace

extern "C" __attribute__((visibility("default"))) kavri::IConvert* registConvert(kavri::IHost*)
{
    static OtherRules converter;
    return &converter;
}

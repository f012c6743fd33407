#include "MappingFinding.h"

namespace wiredhost {

const char* MappingFinding::kindName(FindingKind kind)
{
    switch (kind) {
    case FindingKind::ReservedWord:
        return "reserved-word";
    case FindingKind::TooLong:
        return "too-long";
    case FindingKind::Collision:
        return "collision";
    case FindingKind::NeedsQuoting:
        return "needs-quoting";
    case FindingKind::LeaderSplitsWord:
        return "leader-splits-word";
    case FindingKind::LinkClash:
        break;
    }
    return "link-clash";
}

const std::vector<FindingKind>& MappingFinding::kinds()
{
    static const std::vector<FindingKind> all = {FindingKind::ReservedWord, FindingKind::TooLong,
                                                 FindingKind::Collision,    FindingKind::NeedsQuoting,
                                                 FindingKind::LeaderSplitsWord, FindingKind::LinkClash};
    return all;
}

} // namespace wiredhost

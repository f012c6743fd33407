#include "MappingFinding.h"

#include "DatabaseTarget.h"

namespace wiredhost {

std::string MappingFinding::message() const
{
    const std::string title = target != nullptr ? target->title : "";
    switch (words->shape) {
    case FindingWords::Whole:
        break;
    case FindingWords::Reserved:
        return words->text + " is a reserved word on " + title + ": the table works only quoted";
    case FindingWords::Quoting:
        return words->text + " on " + title;
    case FindingWords::SameWritten:
        return "the same table as " + words->text + " on " + title;
    case FindingWords::SameFolded:
        return "the same table as " + words->text + " on " + title + ": unquoted names are " + target->caseText();
    case FindingWords::SameCut:
        return "the same table as " + words->text + " on " + title + ": " + title + " cuts names to " +
               std::to_string(target->maxLength) + " bytes, leaving " + words->kept;
    }
    return words->text;
}

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

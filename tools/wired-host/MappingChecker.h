#ifndef WIREDHOST_MAPPINGCHECKER_H
#define WIREDHOST_MAPPINGCHECKER_H

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "DatabaseTarget.h"
#include "KavriNaming.h"
#include "MappingFinding.h"
#include "RunRecord.h"

namespace wiredhost {

// Checks the tables a run gave its classes, and the links registered, for
// the chosen databases. Every class that was given a table name takes part
// (set or not found); skipped and unnamed classes have none.
class MappingChecker {
public:
    // The texts are UTF-8, as the run's records hold them; the leader codes
    // are the config's, in its order.
    MappingChecker(std::vector<const DatabaseTarget*> targets, std::vector<std::string> leaderCodes);
    // The rule refers to the checker's own code lists.
    MappingChecker(const MappingChecker&) = delete;
    MappingChecker& operator=(const MappingChecker&) = delete;

    // The findings, by class (in the run's order), then by link, each
    // subject's by kind and then by target.
    std::vector<MappingFinding> check(const std::vector<ClassEntry>& classes,
                                      const std::vector<LinkEntry>& links) const;

private:
    struct Subject;
    using Subjects = std::vector<Subject>;

    void checkNames(const Subjects& subjects, std::vector<MappingFinding>& out) const;
    void findCollisions(const Subjects& subjects, std::vector<MappingFinding>& out) const;
    void findLinkClashes(const Subjects& subjects, std::vector<MappingFinding>& out) const;
    void findLeaderSplits(const std::vector<ClassEntry>& classes, std::vector<MappingFinding>& out) const;

    std::vector<const DatabaseTarget*> targets_;
    kavri::KavriCodes leaders_;
    kavri::KavriCodes noPackages_;
    // The plug-in's own rule, for which leader code it removes.
    kavri::KavriNaming naming_;
    // Each reserved word of the targets, with a bit for each target whose
    // list holds it: one look-up per name, however many targets.
    std::unordered_map<std::string, unsigned long> reservedIn_;
    std::size_t longestWord_ = 0;
};

} // namespace wiredhost

#endif

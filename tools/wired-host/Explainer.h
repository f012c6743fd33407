#ifndef WIREDHOST_EXPLAINER_H
#define WIREDHOST_EXPLAINER_H

#include <string>
#include <utility>
#include <vector>

#include "KavriNaming.h"
#include "RunRecord.h"

namespace wiredhost {

// Why one class got its table name, step by step, beside what the loaded
// plug-in answered for it. Texts are in the host's code page, as the
// plug-in saw them; the reporter shows them.
struct ClassExplanation {
    std::string className, package;
    // Not handed to the plug-in: nothing to explain.
    bool unnamed = false;
    // The codes of the config.xml in effect, in order.
    std::vector<std::string> packageCodes, leaderCodes;
    kavri::KavriNaming::Explanation steps;
    // Links of the config.xml for this class, and how the host answered them.
    std::vector<LinkEntry> links;
    // What the plug-in answered, and whether its rule says the same.
    ClassEntry answered;
    bool agrees = true;
    // Findings per database target, when the run checks targets.
    std::vector<std::string> findings;
};

// Explains table names by the plug-in's own rule (KavriNaming) over the
// codes of the config.xml the plug-in reads, in this process's code page,
// and compares the result with what the plug-in answered: a difference
// means a plug-in of another version than this tool, or a fault.
class Explainer {
public:
    Explainer(std::vector<std::string> packageCodes, std::vector<std::string> leaderCodes,
              std::vector<LinkEntry> links);

    ClassExplanation explain(const ClassEntry& answered) const;

    // "the plug-in answered X, its rule gives Y", for a class that disagrees.
    static std::string disagreement(const ClassExplanation& explained);

private:
    kavri::KavriCodes packageCodes_, leaderCodes_;
    std::vector<LinkEntry> links_;
};

// The explanation as UTF-8 text: the class, then a line for each step.
std::string explanationText(const ClassExplanation& explained);
// The explanation as one JSON object, UTF-8.
std::string explanationJson(const ClassExplanation& explained);

} // namespace wiredhost

#endif

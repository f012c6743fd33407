#ifndef WIREDHOST_RUNRECORD_H
#define WIREDHOST_RUNRECORD_H

#include <optional>
#include <string>
#include <string_view>

#include "model/Model.h"

// The records of a run of the plug-in, as the host collects them: what it
// logged, the links it registered at creation and what became of each
// class. The reporter shows them, the checks and the saved mappings read
// them.
namespace wiredhost {

// A log record as the plug-in hands it over: texts in the host's code page
// that live only for the call.
struct LogRecord {
    std::string_view message, detail, file;
    int line = 0;
};

struct LinkEntry {
    std::string className, tableName;
    int answer = 0;

    // The host's answer in words.
    const char* outcome() const { return answer > 0 ? "set" : answer < 0 ? "failed" : "nothing done"; }
};

// Unnamed: a class without a name, listed but never handed to the plug-in;
// likewise NulInName: the plug-in hands its table back as a C string, which
// a NUL would cut short.
enum class Outcome { Set, TableNotFound, Skipped, NothingDone, Unnamed, NulInName };

// The outcome in words, as the report and a saved mapping give it.
inline const char* outcomeText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Set:
        return "set";
    case Outcome::TableNotFound:
        return "table not found";
    case Outcome::Skipped:
        return "skipped by the package filter";
    case Outcome::Unnamed:
        return "unnamed: not converted";
    case Outcome::NulInName:
        return "name holds a NUL: not converted";
    case Outcome::NothingDone:
        break;
    }
    return "nothing done";
}

struct ClassEntry {
    std::string className, package, tableName;
    Outcome outcome = Outcome::NothingDone;
    // Another class of the model has the same package and name.
    bool duplicate = false;
    // The model's own names where className and package hold '?' for
    // characters the host's code page lacks.
    std::optional<OwnNames> ownNames{};
};

} // namespace wiredhost

#endif

#ifndef WIREDCLSTAB_TESTS_RECORDINGHOST_H
#define WIREDCLSTAB_TESTS_RECORDINGHOST_H

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "kavri/IHost.h"

namespace kavri_test {

struct LogRecord {
    std::string message, detail, file;
    int line;
    bool operator==(const LogRecord& o) const
    {
        return message == o.message && detail == o.detail && file == o.file && line == o.line;
    }
};

inline std::ostream& operator<<(std::ostream& os, const LogRecord& r)
{
    return os << "{\"" << r.message << "\", \"" << r.detail << "\", \"" << r.file << "\", " << r.line << "}";
}

struct LinkCall {
    std::string className, tableName;
    bool operator==(const LinkCall& o) const { return className == o.className && tableName == o.tableName; }
};

inline std::ostream& operator<<(std::ostream& os, const LinkCall& l)
{
    return os << "{\"" << l.className << "\", \"" << l.tableName << "\"}";
}

// An IHost that records every call and answers as configured. A hook may
// throw to test that exceptions reach the host's own call site.
class RecordingHost : public kavri::IHost {
public:
    std::string language = "English";
    int linkAnswer = 1;
    std::function<void(const char* operation)> beforeCall;

    int languageCalls = 0;
    std::vector<LogRecord> logs;
    std::vector<LinkCall> links;

    std::string getLanguage() override
    {
        hook("getLanguage");
        ++languageCalls;
        return language;
    }

    void log(const char* message, const char* detail, const char* file, int line) override
    {
        hook("log");
        logs.push_back({message, detail, file, line});
    }

    int registerLink(const char* className, const char* tableName) override
    {
        hook("registerLink");
        links.push_back({className, tableName});
        return linkAnswer;
    }

private:
    void hook(const char* operation)
    {
        if (beforeCall)
            beforeCall(operation);
    }
};

} // namespace kavri_test

#endif

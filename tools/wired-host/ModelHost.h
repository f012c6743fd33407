#ifndef WIREDHOST_MODELHOST_H
#define WIREDHOST_MODELHOST_H

#include <functional>
#include <string>
#include <vector>

#include "RunRecord.h"
#include "kavri/IHost.h"

namespace wiredhost {

class Model;

// The host's services as the plug-in sees them, answered from a model.
// Log records go to onLog as they arrive (the reporter keeps them); link
// requests are kept.
class ModelHost : public kavri::IHost {
public:
    ModelHost(const Model* model, std::string language);

    std::function<void(const LogRecord&)> onLog;
    std::vector<LinkEntry> links;

    std::string getLanguage() override;
    void log(const char* message, const char* detail, const char* file, int line) override;
    // > 0 when the model has both the class and the table, < 0 otherwise;
    // without a model nothing is done (0).
    int registerLink(const char* className, const char* tableName) override;

private:
    const Model* model_;
    std::string language_;
};

} // namespace wiredhost

#endif

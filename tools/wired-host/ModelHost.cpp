#include "ModelHost.h"

#include "model/Model.h"

namespace wiredhost {

ModelHost::ModelHost(const Model* model, std::string language) : model_(model), language_(std::move(language)) {}

std::string ModelHost::getLanguage()
{
    return language_;
}

void ModelHost::log(const char* message, const char* detail, const char* file, int line)
{
    const auto view = [](const char* text) { return std::string_view(text != nullptr ? text : ""); };
    if (onLog)
        onLog(LogRecord{view(message), view(detail), view(file), line});
}

int ModelHost::registerLink(const char* className, const char* tableName)
{
    int answer = 0;
    if (model_ != nullptr)
        answer = model_->hasClass(className) && model_->hasTable(tableName) ? 1 : -1;
    links.push_back({className, tableName, answer});
    return answer;
}

} // namespace wiredhost

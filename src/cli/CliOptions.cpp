#include "CliOptions.h"

#include "CommandOptions.h"
#include "app/AppTexts.h"

std::optional<CommonOptions> takeCommonOptions(std::vector<std::string>& args, std::string& error)
{
    CommandOptions common({{"log", OptionKind::Once, "a file name"}});
    if (!common.take(args)) {
        error = common.error();
        return std::nullopt;
    }
    CommonOptions options;
    options.logPath = common.value("log").value_or(app_texts::DebugLogName);
    if (options.logPath.empty()) {
        error = "--log needs a file name";
        return std::nullopt;
    }
    return options;
}

#include "CliOptions.h"

#include "app/AppTexts.h"

std::optional<CommonOptions> takeCommonOptions(std::vector<std::string>& args, std::string& error)
{
    CommonOptions options;
    options.logPath = app_texts::DebugLogName;
    std::vector<std::string> rest;
    for (std::size_t at = 0; at < args.size(); ++at) {
        const std::string& arg = args[at];
        if (arg == "--log") {
            if (at + 1 >= args.size() || args[at + 1].empty()) {
                error = "--log needs a file name";
                return std::nullopt;
            }
            options.logPath = args[++at];
        } else if (arg.starts_with("--log=")) {
            options.logPath = arg.substr(6);
            if (options.logPath.empty()) {
                error = "--log needs a file name";
                return std::nullopt;
            }
        } else {
            rest.push_back(arg);
        }
    }
    args = std::move(rest);
    return options;
}

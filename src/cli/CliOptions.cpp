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

std::optional<std::string> CliArguments::value(const std::string& name) const
{
    const auto found = values.find(name);
    return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
}

std::optional<CliArguments> parseCliArguments(const std::vector<std::string>& args, const std::vector<CliOption>& options,
                                              std::string& error)
{
    CliArguments parsed;
    for (std::size_t at = 1; at < args.size(); ++at) {
        const std::string& arg = args[at];
        if (!arg.starts_with("--")) {
            parsed.words.push_back(arg);
            continue;
        }
        const auto equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const CliOption* option = nullptr;
        for (const CliOption& candidate : options)
            if (candidate.name == name)
                option = &candidate;
        if (option == nullptr) {
            error = "unknown option \"" + name + "\"";
            return std::nullopt;
        }
        if (parsed.has(name)) {
            error = name + " given twice";
            return std::nullopt;
        }
        if (!option->takesValue) {
            if (equals != std::string::npos) {
                error = name + " takes no value";
                return std::nullopt;
            }
            parsed.switches.insert(name);
        } else if (equals != std::string::npos) {
            parsed.values[name] = arg.substr(equals + 1);
        } else if (at + 1 < args.size()) {
            parsed.values[name] = args[++at];
        } else {
            error = name + " needs a value";
            return std::nullopt;
        }
    }
    return parsed;
}

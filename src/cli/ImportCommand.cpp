#include "ImportCommand.h"

#include "ConsolePrompts.h"
#include "CommandSettings.h"
#include "app/CQmxApp.h"
#include "library/Import.h"

#include <cstdlib>
#include <iostream>
#include <optional>

#include <unistd.h>

namespace {
struct ImportArguments {
    std::string path;
    std::string libraryAddress;
};

std::optional<ImportArguments> parseArguments(const std::vector<std::string>& args)
{
    ImportArguments parsed;
    bool haveLibrary = false;
    for (std::size_t at = 1; at < args.size(); ++at) {
        const std::string& arg = args[at];
        if (arg == "--library" && at + 1 < args.size()) {
            parsed.libraryAddress = args[++at];
            haveLibrary = true;
        } else if (arg.starts_with("--library=")) {
            parsed.libraryAddress = arg.substr(10);
            haveLibrary = true;
        } else if (parsed.path.empty() && !arg.starts_with("--")) {
            parsed.path = arg;
        } else {
            return std::nullopt;
        }
    }
    if (parsed.path.empty() || !haveLibrary)
        return std::nullopt;
    return parsed;
}

} // namespace

int importCommand(const std::vector<std::string>& args)
{
    const auto parsed = parseArguments(args);
    if (!parsed) {
        std::cerr << "usage: vaultlinectl import FILE --library ADDR\n";
        return 2;
    }

    if (!readCommandSettings(true))
        return 1;

    ConsolePrompts prompts(std::cout, std::cerr);
    InstalledPrompts installed(&prompts);
    // How far a long import has come, on standard error when a person watches it there.
    ImportOptions options;
    bool progressShown = false;
    if (isatty(STDERR_FILENO) == 1) {
        options.progress = [&progressShown](const ImportProgress& progress) {
            std::cerr << "\r" << importProgressText(progress) << std::flush;
            progressShown = true;
        };
        options.progressDone = [&progressShown] {
            if (progressShown)
                std::cerr << "\n" << std::flush;
            progressShown = false;
        };
    }
    const ImportResult result = importSavedFile(parsed->path, parsed->libraryAddress, options);
    return result.everyLineStored() ? 0 : 1;
}

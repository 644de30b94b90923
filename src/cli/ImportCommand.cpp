#include "ImportCommand.h"

#include "CommandOptions.h"
#include "ConsolePrompts.h"
#include "CommandSettings.h"
#include "app/CQmxApp.h"
#include "library/Import.h"

#include <cstdlib>
#include <iostream>

#include <unistd.h>

int importCommand(const std::vector<std::string>& args)
{
    CommandOptions parsed({{"library"}});
    const bool read = parsed.parse({args.begin() + 1, args.end()});
    if (!read || parsed.positionals().size() != 1 || parsed.positionals().front().empty() || !parsed.has("library")) {
        if (!read)
            std::cerr << "vaultlinectl import: " << parsed.error() << "\n";
        std::cerr << "usage: vaultlinectl import FILE --library ADDR\n";
        return 2;
    }
    const std::string path = parsed.positionals().front();
    const std::string libraryAddress = *parsed.value("library");

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
    const ImportResult result = importSavedFile(path, libraryAddress, options);
    return result.everyLineStored() ? 0 : 1;
}

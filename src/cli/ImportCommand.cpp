#include "ImportCommand.h"

#include "ConsolePrompts.h"
#include "QtSettingsStore.h"
#include "app/CQmxApp.h"
#include "library/Import.h"

#include <cstdlib>
#include <iostream>
#include <optional>

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

// The restored prompts on every path out, so the application object never points at ours.
class InstalledPrompts {
public:
    explicit InstalledPrompts(UserPrompts* prompts) { theApp().setPrompts(prompts); }
    ~InstalledPrompts() { theApp().setPrompts(nullptr); }
    InstalledPrompts(const InstalledPrompts&) = delete;
    InstalledPrompts& operator=(const InstalledPrompts&) = delete;
};
} // namespace

int importCommand(const std::vector<std::string>& args)
{
    const auto parsed = parseArguments(args);
    if (!parsed) {
        std::cerr << "usage: vaultlinectl import FILE --library ADDR\n";
        return 2;
    }

    QtSettingsStore store;
    theApp().setSettingsStore(&store);
    theApp().settings = readAppSettings(store);
    theApp().setSettingsStore(nullptr);
    if (const char* password = std::getenv("VAULTLINE_DB_PASSWORD"); password != nullptr)
        theApp().password = password;
    const AppSettings& settings = theApp().settings;
    if (settings.databaseName.empty() || settings.mountHistoryTableName.empty()
        || settings.libraryPerformanceTableName.empty()) {
        std::cerr << "vaultlinectl: no database or table names in " << store.fileName().toStdString()
                  << ": set them in Database > Setup... or run prepare-embedded-db\n";
        return 1;
    }

    ConsolePrompts prompts(std::cout, std::cerr);
    InstalledPrompts installed(&prompts);
    const ImportResult result = importSavedFile(parsed->path, parsed->libraryAddress);
    return result.everyLineStored() ? 0 : 1;
}

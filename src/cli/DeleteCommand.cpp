#include "DeleteCommand.h"

#include "CommandOptions.h"
#include "ConsolePrompts.h"
#include "CommandSettings.h"
#include "app/CQmxApp.h"
#include "db/DataRemoval.h"

#include <cstdlib>
#include <iostream>
#include <optional>

namespace {
struct DeleteRequest {
    RemovalMode mode = RemovalMode::None;
    RemovalSelection selection;
    bool confirmed = false;
};

std::optional<DeleteRequest> parseRequest(const std::vector<std::string>& args, std::string& error)
{
    CommandOptions parsed({{"library"}, {"drive"}, {"volser"}, {"yes", OptionKind::Switch}});
    if (!parsed.parse({args.begin() + 1, args.end()})) {
        error = parsed.error();
        return std::nullopt;
    }
    if (!parsed.positionals().empty()) {
        error = "unexpected \"" + parsed.positionals().front() + "\"";
        return std::nullopt;
    }
    const auto library = parsed.value("library");
    if (!library || library->empty()) {
        error = "--library names the library";
        return std::nullopt;
    }
    if (parsed.has("drive") == parsed.has("volser")) {
        error = "give one of --drive and --volser";
        return std::nullopt;
    }
    DeleteRequest request;
    request.confirmed = parsed.has("yes");
    request.selection.entrySelected = true;
    request.selection.address = *library;
    if (const auto drive = parsed.value("drive")) {
        request.mode = RemovalMode::ByDrive;
        const auto colon = drive->find(':');
        if (colon != std::string::npos) {
            request.selection.frame = drive->substr(0, colon);
            request.selection.drive = drive->substr(colon + 1);
        }
    } else {
        request.mode = RemovalMode::ByVolser;
        request.selection.volser = *parsed.value("volser");
    }
    // An empty --volser is a slip (a shell variable not set), never a cartridge.
    if (!selectionIsDeletable(request.mode, request.selection)
        || (request.mode == RemovalMode::ByVolser && request.selection.volser.empty())) {
        error = request.mode == RemovalMode::ByDrive ? "--drive is FRAME:DRIVE, two numbers" : "--volser is empty";
        return std::nullopt;
    }
    return request;
}

// The question on the terminal; only an answer of y or yes goes on.
bool confirmedOnTerminal(const std::string& question)
{
    std::cerr << question << "\n(y/n) " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer))
        return false;
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes";
}

} // namespace

int deleteCommand(const std::vector<std::string>& args)
{
    std::string error;
    const auto request = parseRequest(args, error);
    if (!request) {
        std::cerr << "vaultlinectl delete: " << error
                  << "\nusage: vaultlinectl delete --library ADDR (--drive FRAME:DRIVE | --volser VOLSER) [--yes]\n";
        return 2;
    }

    if (!readCommandSettings())
        return 1;
    const AppSettings& settings = theApp().settings;

    ConsolePrompts prompts(std::cout, std::cerr);
    InstalledPrompts installed(&prompts);
    if (!request->confirmed) {
        // The question says how many rows go, counted as the dialog counts them.
        const RemovalCount count = countMountHistoryEntries(request->mode, request->selection);
        if (count.status == RemovalCount::Status::Failed)
            std::cerr << data_removal_texts::NotDeleted << "\n";
        if (count.status != RemovalCount::Status::Counted)
            return 1;
        if (!confirmedOnTerminal(countedRemovalQuestion(request->mode, request->selection, count.rows,
                                                        settings.mountHistoryTableName))) {
            std::cerr << "vaultlinectl delete: nothing deleted\n";
            return 2;
        }
    }
    const RemovalResult result = deleteMountHistoryEntries(request->mode, request->selection);
    switch (result.status) {
    case RemovalResult::Status::Deleted:
    case RemovalResult::Status::NothingMatched:
        std::cout << result.rows << " entries deleted from " << settings.mountHistoryTableName << "\n";
        return 0;
    case RemovalResult::Status::Failed:
        std::cerr << data_removal_texts::NotDeleted << "\n";
        return 1;
    case RemovalResult::Status::NotConnected:
        break;
    }
    return 1;
}

#include "LibraryFiles.h"

#include <fstream>
#include <system_error>

namespace libsim {

const std::vector<std::string>& libraryFileNames()
{
    static const std::vector<std::string> names = {file_names::MountHistory, file_names::LibraryPerformance,
                                                   file_names::Configuration, file_names::DriveStatus,
                                                   file_names::DriveStatistics};
    return names;
}

std::optional<std::string> renderLibraryFile(std::string_view name, const LibrarySimulation& simulation,
                                             const ConfigurationSwitches& switches)
{
    if (name == file_names::MountHistory) {
        return renderMountHistoryFile(simulation);
    }
    if (name == file_names::LibraryPerformance) {
        return renderLibraryPerformanceFile(simulation);
    }
    if (name == file_names::Configuration) {
        return renderConfigurationFile(simulation.model(), switches);
    }
    if (name == file_names::DriveStatus) {
        return renderDriveStatusFile(simulation.model());
    }
    if (name == file_names::DriveStatistics) {
        return renderDriveStatisticsFile(simulation);
    }
    return std::nullopt;
}

bool writeLibraryFiles(const std::filesystem::path& folder, const LibrarySimulation& simulation,
                       const ConfigurationSwitches& switches, std::string& error)
{
    std::error_code code;
    std::filesystem::create_directories(folder, code);
    if (code) {
        error = "cannot create " + folder.string() + ": " + code.message();
        return false;
    }
    std::vector<std::pair<std::string, std::string>> files;
    for (const std::string& name : libraryFileNames()) {
        files.emplace_back(name, *renderLibraryFile(name, simulation, switches));
    }
    files.emplace_back(file_names::SavedMountHistory, renderSavedMountHistory(simulation));
    files.emplace_back(file_names::SavedLibraryStatistics, renderSavedLibraryStatistics(simulation));
    for (const auto& [name, content] : files) {
        const std::filesystem::path path = folder / name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        if (!out) {
            error = "cannot write " + path.string();
            return false;
        }
    }
    return true;
}

} // namespace libsim

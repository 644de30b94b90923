#include "FieldText.h"
#include "LibraryFiles.h"

namespace libsim {

namespace {

// Frame 1 of this model keeps no performance statistics.
constexpr const char* PlainFrameModel = "K10";

} // namespace

std::string renderConfigurationFile(const LibraryModel& model, const ConfigurationSwitches& switches)
{
    std::string file = "Library Configuration\n";
    file += "LIBRARY:NAME:" + model.name + ":\n";
    file += "LIBRARY:SERIAL:" + model.serial + ":\n";
    file += "LIBRARY:FRAMES:" + std::to_string(model.frames.size()) + ":\n";
    for (const Frame& frame : model.frames) {
        const std::string frameModel = frame.number == 1 && !switches.performanceModel ? PlainFrameModel : frame.model;
        file += "FRAME:" + std::to_string(frame.number) + ":7790:" + frameModel + ":" + frame.serial + ":\n";
    }
    file += "LIBRARY:DRIVES:" + std::to_string(model.drives.size()) + ":\n";
    file += "LIBRARY:CARTRIDGES:" + std::to_string(model.cartridges.size()) + ":\n";
    for (std::size_t l = 0; l < model.logicalLibraries.size(); ++l) {
        const LogicalLibrary& logical = model.logicalLibraries[l];
        file += "LOGICALLIBRARY:" + std::to_string(l + 1) + ":" + logical.name + ":DRIVES:"
                + std::to_string(logical.drives.size()) + ":CARTRIDGES:" + std::to_string(logical.cartridges.size())
                + ":ENCRYPTION:" + (logical.encrypting ? "1" : "0") + ":\n";
    }
    // The state digit, then whether the feature is licensed.
    file += switches.ovisEnabled ? "OVIS:1:1:\n" : "OVIS:0:1:\n";
    return file;
}

std::string renderDriveStatusFile(const LibraryModel& model)
{
    std::string file = "Drive Status\n";
    file += "LIBRARY:" + model.name + ":" + model.serial + ":\n";
    for (const Drive& drive : model.drives) {
        file += "TAPEDRIVE:" + padNumber(drive.frame, 2) + ":" + padNumber(drive.row, 2) + ":"
                + padNumber(drive.position, 2) + ":" + drive.attachment + ":" + drive.emulation + ":"
                + drive.encryptionCapability + ":" + drive.encryptionMethod + ":" + drive.scratchEncryptionPolicy + ":"
                + drive.serial + ":\n";
    }
    file += "END:\n";
    return file;
}

std::string renderDriveStatisticsFile(const LibrarySimulation& simulation)
{
    const LibraryModel& model = simulation.model();
    // No line but a drive line may hold "5005" past its first character: readers take such
    // lines for drives.
    std::string file = "Drive Statistics," + model.name + "\n";
    file += "Drives," + std::to_string(model.drives.size()) + "\n";
    file += "WWNN,Serial,Frame,Drive,Type,Mounts,Write MB,Read MB,Write Retries,Read Retries,"
            "TapeAlerts,Cleanings,Power On Hours\n";
    const LibraryMinute hoursRun = (simulation.now() - model.historyStart) / MinutesPerHour;
    for (std::size_t i = 0; i < model.drives.size(); ++i) {
        const Drive& drive = model.drives[i];
        const DriveTotals& totals = simulation.driveTotals()[i];
        const std::int64_t cleanings = drive.priorCleanings + (totals.mounts - drive.priorMounts) / 300;
        file += "_" + drive.wwnn + "," + drive.serial + "," + padNumber(drive.frame, 2) + ","
                + padNumber(drive.position, 2) + "," + drive.emulation + "," + padNumber(totals.mounts, 6) + ","
                + padNumber(totals.writeMegabytes, 11) + "," + padNumber(totals.readMegabytes, 11) + ","
                + padNumber(totals.writeRetries, 6) + "," + padNumber(totals.readRetries, 6) + ","
                + padNumber(totals.tapeAlerts, 4) + "," + padNumber(cleanings, 4) + ","
                + padNumber(drive.priorPowerOnHours + hoursRun, 6) + "\n";
    }
    return file;
}

} // namespace libsim

#include "FieldText.h"
#include "LibraryFiles.h"

#include <array>
#include <cstdio>

namespace libsim {

namespace {

constexpr std::array<const char*, MountHistoryFields> MountHistoryTitles = {"Mount Time",
                                                                            "Volser",
                                                                            "Frame",
                                                                            "Drive",
                                                                            "Logical Library",
                                                                            "Element Address",
                                                                            "Reserved",
                                                                            "Reserved",
                                                                            "Host Write MB",
                                                                            "Host Read MB",
                                                                            "Drive Residency (sec)",
                                                                            "TapeAlert",
                                                                            "Life Mounts",
                                                                            "Life Write Retries",
                                                                            "Life Write Perms",
                                                                            "Life Read Retries",
                                                                            "Life Read Perms",
                                                                            "Drive Rating",
                                                                            "Media Rating",
                                                                            "Ports Rating",
                                                                            "Port 0 Rating",
                                                                            "Port 1 Rating",
                                                                            "Reserved",
                                                                            "Write Perf Util",
                                                                            "Write ERPs Impact",
                                                                            "Write Burst Util",
                                                                            "Write Buffer Util",
                                                                            "Read Perf Util",
                                                                            "Read ERPs Impact",
                                                                            "Read Burst Util",
                                                                            "Read Buffer Util",
                                                                            "Capacity Total Util",
                                                                            "Capacity Writes Util",
                                                                            "Capacity Control Util",
                                                                            "Crypto Status",
                                                                            "Crypto Rekey"};

constexpr std::size_t LogicalLibraryWidth = 16;

} // namespace

std::string mountTimeStamp(LibraryMinute minute)
{
    const CivilTime civil = toCivil(minute);
    char text[40];
    std::snprintf(text, sizeof text, "%04d__%02d__%02d__%02d.%02d", civil.year, civil.month, civil.day, civil.hour,
                  civil.minute);
    return text;
}

std::string mountHistoryLine(const MountRecord& record, const LibraryModel& model)
{
    const Drive& drive = model.drives[static_cast<std::size_t>(record.drive)];
    const Cartridge& cartridge = model.cartridges[static_cast<std::size_t>(record.cartridge)];
    const std::string& logical = model.logicalLibraries[static_cast<std::size_t>(cartridge.logicalLibrary)].name;

    std::string line = mountTimeStamp(record.mountedAt);
    const auto field = [&line](const std::string& text) {
        line += ',';
        line += text;
    };
    field(cartridge.volser);
    field(padNumber(drive.frame, 2));
    field(padNumber(drive.position, 2));
    field(padName(logical, LogicalLibraryWidth));
    field(padNumber(drive.elementAddress, 5));
    field("0"); // reserved
    field("0"); // reserved
    field(padNumber(record.hostWriteMegabytes, 8));
    field(padNumber(record.hostReadMegabytes, 8));
    field(padNumber(record.residencySeconds, 5));
    field(padNumber(record.tapeAlert, 2));
    field(padNumber(record.lifeMounts, 5));
    field(padNumber(record.lifeWriteRetries, 5));
    field(padNumber(record.lifeWritePerms, 3));
    field(padNumber(record.lifeReadRetries, 5));
    field(padNumber(record.lifeReadPerms, 3));
    field(padNumber(record.driveRating, 3));
    field(padNumber(record.mediaRating, 3));
    field(padNumber(record.portsRating, 3));
    field(padNumber(record.port0Rating, 3));
    field(padNumber(record.port1Rating, 3));
    field("_"); // reserved, written as a lone padding character: no value
    field(padNumber(record.writePerformanceUtil, 3));
    field(padNumber(record.writeErpsImpact, 3));
    field(padNumber(record.writeBurstUtil, 3));
    field(padNumber(record.writeBufferUtil, 3));
    field(padNumber(record.readPerformanceUtil, 3));
    field(padNumber(record.readErpsImpact, 3));
    field(padNumber(record.readBurstUtil, 3));
    field(padNumber(record.readBufferUtil, 3));
    field(padNumber(record.capacityTotalUtil, 3));
    field(padNumber(record.capacityWritesUtil, 3));
    field(padNumber(record.capacityControlUtil, 3));
    field(std::to_string(record.cryptoStatus));
    field(std::to_string(record.cryptoRekey));
    return line;
}

std::string mountHistoryHeader(const LibraryModel& model)
{
    std::string titles;
    for (const char* title : MountHistoryTitles) {
        titles += titles.empty() ? "" : ",";
        titles += title;
    }
    std::string header;
    header +=
        withFieldCount("Mount History,Library," + model.name + ",Serial," + model.serial, MountHistoryFields) + "\n";
    header += withFieldCount("Frames," + std::to_string(model.frames.size()) + ",Drives,"
                                 + std::to_string(model.drives.size()) + ",Cartridges,"
                                 + std::to_string(model.cartridges.size()),
                             MountHistoryFields)
              + "\n";
    header += withFieldCount("Record,Mount,Layout,3", MountHistoryFields) + "\n";
    header += withFieldCount("Time Stamp,Year__Month__Day__Hour.Minute", MountHistoryFields) + "\n";
    header += titles + "\n";
    return header;
}

std::string renderMountHistoryFile(const LibrarySimulation& simulation)
{
    const std::string header = mountHistoryHeader(simulation.model());
    // Walk back from the newest record while whole lines still fit.
    std::vector<std::string> newestFirst;
    std::size_t used = header.size();
    const std::vector<MountRecord>& mounts = simulation.mounts();
    for (auto record = mounts.rbegin(); record != mounts.rend(); ++record) {
        std::string line = mountHistoryLine(*record, simulation.model()) + "\n";
        if (used + line.size() > MountHistoryFileSize) {
            break;
        }
        used += line.size();
        newestFirst.push_back(std::move(line));
    }
    std::string file = header;
    file.reserve(MountHistoryFileSize);
    for (auto line = newestFirst.rbegin(); line != newestFirst.rend(); ++line) {
        file += *line;
    }
    file.resize(MountHistoryFileSize, '\0');
    return file;
}

std::string renderSavedMountHistory(const LibrarySimulation& simulation)
{
    std::string file = mountHistoryHeader(simulation.model());
    for (const MountRecord& record : simulation.mounts()) {
        file += mountHistoryLine(record, simulation.model());
        file += '\n';
    }
    return file;
}

} // namespace libsim

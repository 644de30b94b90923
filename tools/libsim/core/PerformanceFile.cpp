#include "FieldText.h"
#include "LibraryFiles.h"

#include <cstdio>

namespace libsim {

std::string performanceTimeStamp(LibraryMinute minute)
{
    const CivilTime civil = toCivil(minute);
    char text[40];
    std::snprintf(text, sizeof text, "%04d_%02d_%02d_%02d:%02d", civil.year, civil.month, civil.day, civil.hour,
                  civil.minute);
    return text;
}

std::string performanceLine(const PerformanceInterval& interval, const LibraryModel& model)
{
    std::string line = performanceTimeStamp(interval.endsAt);
    line += ',' + padName(model.logicalLibraries[static_cast<std::size_t>(interval.logicalLibrary)].name, 16);
    line += ',' + padNumber(interval.residencyMax, 6);
    line += ',' + padNumber(interval.residencyAverage, 6);
    line += ',' + padNumber(interval.mountsTotal, 4);
    line += ',' + padNumber(interval.mountsMax, 3);
    line += ',' + padNumber(interval.mountsAverage, 3);
    line += ',' + padNumber(interval.ejectsTotal, 3);
    line += ',' + padNumber(interval.ejectsMax, 3);
    line += ',' + padNumber(interval.ejectsAverage, 3);
    line += ',' + padNumber(interval.insertsTotal, 3);
    return line;
}

std::string performanceHeader(const LibraryModel& model)
{
    std::string header;
    header += withFieldCount("Library Statistics,Library," + model.name + ",Serial," + model.serial, PerformanceFields)
              + "\n";
    header += withFieldCount("Interval,60 minutes", PerformanceFields) + "\n";
    header +=
        withFieldCount("Logical Libraries," + std::to_string(model.logicalLibraries.size()), PerformanceFields) + "\n";
    header += withFieldCount("Time Stamp,End of interval", PerformanceFields) + "\n";
    header += "Units,name,sec,sec,count,sec,sec,count,sec,sec,count\n";
    header += "Date and Time,Logical Library,Max Residency (sec),Avg Residency (sec),"
              "Total Mounts (count),Max Mounts (sec),Avg Mounts (sec),Total Ejects (count),"
              "Max Ejects (sec),Avg Ejects (sec),Total Inserts (count)\n";
    return header;
}

std::string renderLibraryPerformanceFile(const LibrarySimulation& simulation)
{
    std::string file = performanceHeader(simulation.model());
    for (const PerformanceInterval& interval : simulation.intervals()) {
        file += performanceLine(interval, simulation.model());
        file += '\n';
    }
    return file;
}

std::string renderSavedLibraryStatistics(const LibrarySimulation& simulation)
{
    // The operator's saved copy is the file as the library serves it.
    return renderLibraryPerformanceFile(simulation);
}

} // namespace libsim

#pragma once

// The demonstration library's mount history, stored the quick way for the overview's ground-truth
// test and its benchmark: the simulated records written as rows of the mount history table, a
// thousand to a statement, in one transaction. The columns are those the import fills from the
// same records.

#include "LibrarySimulation.h"
#include "db/OdbcHandles.h"
#include "db/qmxDB.h"
#include "fleet/FleetHealth.h"

#include <cstdio>
#include <map>
#include <string>

inline std::string demonstrationDate(libsim::LibraryMinute minute)
{
    const libsim::CivilTime civil = libsim::toCivil(minute);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", civil.year, civil.month, civil.day);
    return text;
}

// False when the database refused a statement (its diagnostics are logged).
inline bool storeDemonstrationRows(const libsim::LibrarySimulation& simulation, const std::string& dsn,
                                   const std::string& user, const std::string& table, const std::string& address)
{
    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(dsn, user, "", handles, Diagnostics::ShowUser))
        return false;
    SQLSetConnectAttr(handles.connection, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
    const auto& model = simulation.model();
    const auto& mounts = simulation.mounts();
    for (std::size_t first = 0; first < mounts.size(); first += 1000) {
        std::string sql = "INSERT INTO " + table
                          + " (ipAddress, Date, Time, Volser, Frame, Drive, Life_Mounts_Media, "
                            "Life_Write_Retries_Media, Life_Write_Perms_Media, Life_Read_Retries_Media, "
                            "Life_Read_Perms_Media, Mount_TapeAlert_Media, Mount_Rating_Drive, Mount_Rating_Media) "
                            "VALUES ";
        for (std::size_t at = first; at < mounts.size() && at < first + 1000; ++at) {
            const libsim::MountRecord& record = mounts[at];
            const libsim::CivilTime civil = libsim::toCivil(record.mountedAt);
            const auto& drive = model.drives[static_cast<std::size_t>(record.drive)];
            char row[320];
            std::snprintf(row, sizeof row,
                          "%s('%s', '%04d-%02d-%02d', '%02d:%02d:00', '%s', %d, %d, %d, %d, %d, %d, %d, %d, %d, %d)",
                          at == first ? "" : ", ", address.c_str(), civil.year, civil.month, civil.day, civil.hour,
                          civil.minute, model.cartridges[static_cast<std::size_t>(record.cartridge)].volser.c_str(),
                          drive.frame, drive.position, record.lifeMounts, record.lifeWriteRetries,
                          record.lifeWritePerms, record.lifeReadRetries, record.lifeReadPerms, record.tapeAlert,
                          record.driveRating, record.mediaRating);
            sql += row;
        }
        const SQLRETURN result = SQLExecDirect(handles.statement, sqlText(sql), SQL_NTS);
        closeCursor(handles.statement);
        if (result != SQL_SUCCESS && result != SQL_SUCCESS_WITH_INFO) {
            db.reportDiagnostics(SQL_HANDLE_STMT, handles.statement, Diagnostics::LogOnly);
            return false;
        }
    }
    SQLEndTran(SQL_HANDLE_DBC, handles.connection, SQL_COMMIT);
    db.disconnectDB(handles);
    return true;
}

// The overview's verdicts against the units the simulator wears out.
struct GroundTruthFigures {
    int wearingDrives = 0;
    int wearingDrivesSuspect = 0;
    int wearingCartridges = 0;
    int wearingCartridgesFlagged = 0; // suspect or watch
    int healthyUnits = 0;
    int healthySuspects = 0;
    int healthyWatch = 0;
};

inline GroundTruthFigures compareWithGroundTruth(const FleetResult& result, const libsim::LibraryModel& model)
{
    std::map<std::string, FleetVerdict> verdicts;
    for (const FleetDrive& drive : result.drives)
        verdicts[drive.unit()] = drive.verdict;
    for (const FleetCartridge& cartridge : result.cartridges)
        verdicts[cartridge.volser] = cartridge.verdict;
    GroundTruthFigures figures;
    const auto judge = [&](const std::string& unit, bool wearing, int& planted, int& found, bool watchCounts) {
        const auto at = verdicts.find(unit);
        const FleetVerdict verdict = at == verdicts.end() ? FleetVerdict::Ok : at->second;
        if (wearing) {
            ++planted;
            if (verdict == FleetVerdict::Suspect || (watchCounts && verdict == FleetVerdict::Watch))
                ++found;
            return;
        }
        ++figures.healthyUnits;
        if (verdict == FleetVerdict::Suspect)
            ++figures.healthySuspects;
        if (verdict == FleetVerdict::Watch)
            ++figures.healthyWatch;
    };
    for (const auto& drive : model.drives)
        judge(std::to_string(drive.frame) + ":" + std::to_string(drive.position), drive.health.degrading,
              figures.wearingDrives, figures.wearingDrivesSuspect, false);
    for (const auto& cartridge : model.cartridges)
        judge(cartridge.volser, cartridge.health.degrading, figures.wearingCartridges, figures.wearingCartridgesFlagged,
              true);
    return figures;
}

#pragma once

#include "FaultSwitches.h"
#include "LibraryOptions.h"

#include <string>
#include <vector>

namespace libsim {

// Everything the vaultline-libsim program is told on its command line.
struct SimulatorCommandLine {
    LibraryOptions library;
    bool endGiven = false;   // without --end the history ends at the local time of the start
    int port = 0;            // 0: any free port
    double speed = 0;        // library seconds per real second; above 0 the library is live
    std::string writeFolder; // write the files there and exit instead of serving them
    FaultState faults;
    int refuseSeconds = 0; // refuse connections for this long after the start
    int maxStallSeconds = 300;
    // Stop when standard input reaches its end: the program that started the simulator holds
    // the other end of a pipe, so the simulator ends with it however it ends.
    bool stopAtEndOfInput = false;
    bool help = false;
};

// Reads the arguments after the program name ("--name value" or "--name=value"). On failure
// returns false and says why.
bool parseSimulatorCommandLine(const std::vector<std::string>& arguments, SimulatorCommandLine& command,
                               std::string& error);

std::string simulatorUsage();

} // namespace libsim

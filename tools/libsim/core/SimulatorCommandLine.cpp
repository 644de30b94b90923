#include "SimulatorCommandLine.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace libsim {

namespace {

bool readInteger(const std::string& text, int& value)
{
    const auto count = parseCount(text);
    if (!count || *count > std::numeric_limits<int>::max()) {
        return false;
    }
    value = static_cast<int>(*count);
    return true;
}

bool readSpeed(const std::string& text, double& value)
{
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && value >= 0 && value <= 1e7;
}

} // namespace

std::string simulatorUsage()
{
    return "usage: vaultline-libsim [options]\n"
           "Serves a simulated tape library's log files at http://127.0.0.1:PORT/FS/<file>.\n"
           "\n"
           "Library:\n"
           "  --seed N                 random seed (1)\n"
           "  --frames N               frames (4)\n"
           "  --drives N               tape drives (12)\n"
           "  --cartridges N           cartridges (400)\n"
           "  --logical-libraries N    logical libraries (3)\n"
           "  --days N                 days of history (14)\n"
           "  --mounts-per-day N       mounts per day (300)\n"
           "  --end \"YYYY-MM-DD HH:MM\" end of the history (now)\n"
           "  --name TEXT              library name (VAULTSIM)\n"
           "  --start \"YYYY-MM-DD HH:MM\" fixed start of the history; units degrade over the\n"
           "                           --days after it, so a later run repeats the earlier records\n"
           "  --demo                   the demonstration library: 5 frames, 32 drives, 1600\n"
           "                           cartridges, 4 logical libraries, 365 days, 1000 mounts a day\n"
           "                           (options given with it change single values)\n"
           "Serving:\n"
           "  --port N                 port on 127.0.0.1; 0 picks a free one (0)\n"
           "  --live                   the library keeps mounting as time passes\n"
           "  --speed X                library seconds per real second; implies --live (1)\n"
           "  --write-files DIR        write the files and the saved copies into DIR and exit\n"
           "  --stop-at-eof            stop when standard input reaches its end\n"
           "Faults (all can be changed at run time with POST /control/<switch>):\n"
           "  --refuse-for SECONDS     refuse connections for this long after the start\n"
           "  --http-status FILE=CODE  answer CODE (404, 500, ...) for FILE; repeatable\n"
           "  --stall-after N          send N bytes of a file, then hold the connection\n"
           "  --stall-file NAME        only stall this file\n"
           "  --max-stall SECONDS      longest hold before the connection is dropped (300)\n"
           "  --close-after N          send N bytes of a file, then close the connection\n"
           "  --fault SWITCH?K=V&...   any fault switch of /control, e.g. 'drip?rate=2&file=LIBLG_00_MR.bin'\n"
           "  --close-file NAME        only close this file early\n"
           "  --ovis-disabled          the configuration file says OVIS is not enabled\n"
           "  --no-performance-model   frame 1 is a model without performance statistics\n"
           "  --help                   this text\n";
}

bool parseSimulatorCommandLine(const std::vector<std::string>& arguments, SimulatorCommandLine& command,
                               std::string& error)
{
    std::string stallFile;
    std::string closeFile;
    std::string stallBytes;
    std::string closeBytes;
    bool live = false;
    bool speedGiven = false;
    // The demonstration library is the base that every other library option changes,
    // wherever --demo stands.
    for (const std::string& argument : arguments) {
        if (argument == "--demo") {
            command.library = LibraryOptions::demonstration();
        }
    }

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::string value;
        bool hasValue = false;
        if (const auto equals = name.find('='); name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            hasValue = true;
        }
        const auto takeValue = [&]() {
            if (!hasValue) {
                if (i + 1 >= arguments.size()) {
                    error = name + " needs a value";
                    return false;
                }
                value = arguments[++i];
            }
            return true;
        };
        const auto integerOption = [&](int& target) {
            if (!takeValue()) {
                return false;
            }
            if (!readInteger(value, target)) {
                error = name + " needs a whole number, not \"" + value + "\"";
                return false;
            }
            return true;
        };
        const auto flagOption = [&](bool& target) {
            if (hasValue) {
                error = name + " takes no value";
                return false;
            }
            target = true;
            return true;
        };

        bool ok = true;
        if (name == "--help" || name == "-h") {
            command.help = true;
        } else if (name == "--seed") {
            ok = takeValue();
            if (ok) {
                const auto seed = parseCount(value);
                ok = seed.has_value();
                command.library.seed = seed ? static_cast<std::uint64_t>(*seed) : 0;
                if (!ok) {
                    error = "--seed needs a whole number, not \"" + value + "\"";
                }
            }
        } else if (name == "--frames") {
            ok = integerOption(command.library.frames);
        } else if (name == "--drives") {
            ok = integerOption(command.library.drives);
        } else if (name == "--cartridges") {
            ok = integerOption(command.library.cartridges);
        } else if (name == "--logical-libraries") {
            ok = integerOption(command.library.logicalLibraries);
        } else if (name == "--days") {
            ok = integerOption(command.library.days);
        } else if (name == "--mounts-per-day") {
            ok = integerOption(command.library.mountsPerDay);
        } else if (name == "--name") {
            ok = takeValue();
            command.library.name = value;
        } else if (name == "--demo") {
            bool applied = false; // applied before the loop; only its form is checked here
            ok = flagOption(applied);
        } else if (name == "--start") {
            ok = takeValue();
            if (ok) {
                command.library.start = parseLibraryTime(value);
                ok = command.library.start.has_value();
                if (!ok) {
                    error = "--start needs \"YYYY-MM-DD HH:MM\", not \"" + value + "\"";
                }
            }
        } else if (name == "--stop-at-eof") {
            ok = flagOption(command.stopAtEndOfInput);
        } else if (name == "--end") {
            ok = takeValue();
            if (ok) {
                const auto end = parseLibraryTime(value);
                ok = end.has_value();
                if (ok) {
                    command.library.end = *end;
                    command.endGiven = true;
                } else {
                    error = "--end needs \"YYYY-MM-DD HH:MM\", not \"" + value + "\"";
                }
            }
        } else if (name == "--port") {
            ok = integerOption(command.port);
            if (ok && command.port > 65535) {
                error = "--port must be between 0 and 65535";
                ok = false;
            }
        } else if (name == "--live") {
            ok = flagOption(live);
        } else if (name == "--speed") {
            ok = takeValue();
            if (ok && !readSpeed(value, command.speed)) {
                error = "--speed needs a number from 0 to 10000000, not \"" + value + "\"";
                ok = false;
            }
            speedGiven = true;
        } else if (name == "--write-files") {
            ok = takeValue();
            command.writeFolder = value;
            if (ok && value.empty()) {
                error = "--write-files needs a folder";
                ok = false;
            }
        } else if (name == "--refuse-for") {
            ok = integerOption(command.refuseSeconds);
        } else if (name == "--http-status") {
            ok = takeValue();
            const auto equals = value.find('=');
            if (ok && equals == std::string::npos) {
                error = "--http-status needs FILE=CODE";
                ok = false;
            } else if (ok) {
                error = applyControl(command.faults, "status",
                                     {{"file", value.substr(0, equals)}, {"code", value.substr(equals + 1)}});
                ok = error.empty();
            }
        } else if (name == "--stall-after") {
            ok = takeValue();
            stallBytes = value;
        } else if (name == "--stall-file") {
            ok = takeValue();
            stallFile = value;
        } else if (name == "--max-stall") {
            ok = integerOption(command.maxStallSeconds);
        } else if (name == "--close-after") {
            ok = takeValue();
            closeBytes = value;
        } else if (name == "--close-file") {
            ok = takeValue();
            closeFile = value;
        } else if (name == "--fault") {
            // Any switch of POST /control/<name>, written as the request would be:
            // NAME?KEY=VALUE&KEY=VALUE.
            ok = takeValue();
            if (ok) {
                const auto question = value.find('?');
                ControlParameters parameters;
                std::size_t start = question == std::string::npos ? value.size() : question + 1;
                while (start < value.size()) {
                    std::size_t end = value.find('&', start);
                    if (end == std::string::npos) {
                        end = value.size();
                    }
                    const std::string pair = value.substr(start, end - start);
                    const auto equals = pair.find('=');
                    parameters[pair.substr(0, equals)] = equals == std::string::npos ? "" : pair.substr(equals + 1);
                    start = end + 1;
                }
                error = applyControl(command.faults, value.substr(0, question), parameters);
                ok = error.empty();
            }
        } else if (name == "--ovis-disabled") {
            ok = flagOption(command.faults.ovisDisabled);
        } else if (name == "--no-performance-model") {
            ok = flagOption(command.faults.noPerformanceModel);
        } else {
            error = "unknown option " + name;
            ok = false;
        }
        if (!ok) {
            return false;
        }
    }

    const auto byteSwitch = [&](const char* control, const std::string& bytes, const std::string& file,
                                const char* option) {
        if (bytes.empty()) {
            if (!file.empty()) {
                error = std::string(option) + " needs its byte count option too";
                return false;
            }
            return true;
        }
        ControlParameters parameters{{"bytes", bytes}};
        if (!file.empty()) {
            parameters["file"] = file;
        }
        error = applyControl(command.faults, control, parameters);
        return error.empty();
    };
    if (!byteSwitch("stall", stallBytes, stallFile, "--stall-file")
        || !byteSwitch("close", closeBytes, closeFile, "--close-file")) {
        return false;
    }
    if (live && !speedGiven) {
        command.speed = 1;
    }
    if (command.help) {
        return true;
    }
    // Without --end the history ends when the program starts, which the caller checks again
    // once it has read the clock.
    LibraryOptions checked = command.library;
    if (!command.endGiven && checked.start) {
        checked.end = std::max(checked.end, *checked.start);
    }
    error = checked.validate();
    return error.empty();
}

} // namespace libsim

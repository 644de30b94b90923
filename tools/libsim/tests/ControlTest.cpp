// Fault switches as the control path and the command line set them.
#include "FaultSwitches.h"
#include "SimulatorCommandLine.h"

#include <gtest/gtest.h>

using namespace libsim;

TEST(FaultControl, SwitchesSetAndClearPerFile)
{
    FaultState state;
    EXPECT_EQ(applyControl(state, "http404", {{"file", "LIBLG_01_CS.bin"}}), "");
    EXPECT_EQ(applyControl(state, "status", {{"file", "LIBLG_01_LP.bin"}, {"code", "500"}}), "");
    EXPECT_EQ(state.statusFor("LIBLG_01_CS.bin"), 404);
    EXPECT_EQ(state.statusFor("LIBLG_01_LP.bin"), 500);
    EXPECT_EQ(state.statusFor("LIBLG_01_MR.bin"), 0);
    EXPECT_EQ(applyControl(state, "status", {{"file", "LIBLG_01_CS.bin"}, {"code", "200"}}), "");
    EXPECT_EQ(state.statusFor("LIBLG_01_CS.bin"), 0);

    EXPECT_EQ(applyControl(state, "stall", {{"bytes", "100"}, {"file", "LIBLG_01_DS.bin"}}), "");
    EXPECT_EQ(state.stallFor("LIBLG_01_DS.bin"), std::optional<std::size_t>(100));
    EXPECT_FALSE(state.stallFor("LIBLG_01_CS.bin"));
    EXPECT_EQ(applyControl(state, "close", {{"bytes", "0"}}), "");
    EXPECT_EQ(state.closeFor("LIBLG_01_CS.bin"), std::optional<std::size_t>(0)); // every file
    EXPECT_EQ(applyControl(state, "close", {{"bytes", "off"}}), "");
    EXPECT_FALSE(state.closeFor("LIBLG_01_CS.bin"));

    EXPECT_EQ(applyControl(state, "ovis", {{"enabled", "0"}}), "");
    EXPECT_EQ(applyControl(state, "performance", {{"available", "0"}}), "");
    EXPECT_FALSE(state.configuration().ovisEnabled);
    EXPECT_FALSE(state.configuration().performanceModel);
    EXPECT_NE(describeFaults(state), "normal\n");

    EXPECT_EQ(applyControl(state, "reset", {}), "");
    EXPECT_EQ(describeFaults(state), "normal\n");
    EXPECT_TRUE(state.configuration().ovisEnabled);
}

TEST(FaultControl, MistakesAreRefusedAndChangeNothing)
{
    FaultSwitches switches;
    const std::uint64_t version = switches.version();
    EXPECT_NE(switches.apply("http404", {{"file", "LIBLG_99.bin"}}), "");
    EXPECT_NE(switches.apply("http404", {}), "");
    EXPECT_NE(switches.apply("status", {{"file", "LIBLG_01_CS.bin"}, {"code", "99"}}), "");
    EXPECT_NE(switches.apply("stall", {{"bytes", "-5"}}), "");
    EXPECT_NE(switches.apply("close", {{"bytes", "12"}, {"file", "nope"}}), "");
    EXPECT_NE(switches.apply("ovis", {{"enabled", "yes"}}), "");
    EXPECT_NE(switches.apply("explode", {}), "");
    EXPECT_EQ(switches.version(), version);
    EXPECT_EQ(describeFaults(switches.snapshot()), "normal\n");
    EXPECT_EQ(switches.apply("stall", {{"bytes", "5"}}), "");
    EXPECT_GT(switches.version(), version);
}

TEST(SimulatorCommandLine, ReadsLibraryServingAndFaultOptions)
{
    SimulatorCommandLine command;
    std::string error;
    ASSERT_TRUE(parseSimulatorCommandLine(
        {"--seed", "99", "--frames=6", "--drives", "20", "--cartridges", "900", "--logical-libraries", "4",
         "--days", "3", "--mounts-per-day", "1000", "--end", "2023-12-31 23:30", "--port", "0", "--speed", "60",
         "--http-status", "LIBLG_01_LP.bin=500", "--stall-after", "64", "--stall-file", "LIBLG_01_CS.bin",
         "--close-after=10", "--ovis-disabled", "--no-performance-model", "--refuse-for", "2"},
        command, error))
        << error;
    EXPECT_EQ(command.library.seed, 99u);
    EXPECT_EQ(command.library.frames, 6);
    EXPECT_EQ(command.library.drives, 20);
    EXPECT_EQ(command.library.mountsPerDay, 1000);
    EXPECT_TRUE(command.endGiven);
    EXPECT_EQ(formatLibraryTime(command.library.end), "2023-12-31 23:30");
    EXPECT_DOUBLE_EQ(command.speed, 60);
    EXPECT_EQ(command.faults.statusFor("LIBLG_01_LP.bin"), 500);
    EXPECT_EQ(command.faults.stallFor("LIBLG_01_CS.bin"), std::optional<std::size_t>(64));
    EXPECT_FALSE(command.faults.stallFor("LIBLG_01_LP.bin"));
    EXPECT_EQ(command.faults.closeFor("LIBLG_01_LP.bin"), std::optional<std::size_t>(10));
    EXPECT_TRUE(command.faults.ovisDisabled);
    EXPECT_TRUE(command.faults.noPerformanceModel);
    EXPECT_EQ(command.refuseSeconds, 2);

    SimulatorCommandLine live;
    ASSERT_TRUE(parseSimulatorCommandLine({"--live"}, live, error)) << error;
    EXPECT_DOUBLE_EQ(live.speed, 1);
    EXPECT_FALSE(live.endGiven);
}

TEST(SimulatorCommandLine, RejectsBadValues)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--frames", "x"},          {"--drives"},           {"--port", "70000"},
        {"--end", "2024-02-30"},    {"--speed", "-1"},      {"--http-status", "LIBLG_01_CS.bin"},
        {"--stall-file", "LIBLG_01_CS.bin"}, {"--live=1"},  {"--bogus"},
        {"--drives", "200"},        {"--write-files", ""},  {"--name", "A_B"}};
    for (const auto& arguments : bad) {
        SimulatorCommandLine command;
        std::string error;
        EXPECT_FALSE(parseSimulatorCommandLine(arguments, command, error)) << arguments.front();
        EXPECT_FALSE(error.empty()) << arguments.front();
    }
}

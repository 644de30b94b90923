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
    ASSERT_TRUE(parseSimulatorCommandLine({"--seed",
                                           "99",
                                           "--frames=6",
                                           "--drives",
                                           "20",
                                           "--cartridges",
                                           "900",
                                           "--logical-libraries",
                                           "4",
                                           "--days",
                                           "3",
                                           "--mounts-per-day",
                                           "1000",
                                           "--end",
                                           "2023-12-31 23:30",
                                           "--port",
                                           "0",
                                           "--speed",
                                           "60",
                                           "--http-status",
                                           "LIBLG_01_LP.bin=500",
                                           "--stall-after",
                                           "64",
                                           "--stall-file",
                                           "LIBLG_01_CS.bin",
                                           "--close-after=10",
                                           "--ovis-disabled",
                                           "--no-performance-model",
                                           "--refuse-for",
                                           "2"},
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

TEST(FaultControl, TransferFaultsApplyToTheirFileAndMistakesAreRefused)
{
    // The switches that spoil a transfer, set on the command line as on the control path.
    SimulatorCommandLine command;
    std::string error;
    ASSERT_TRUE(parseSimulatorCommandLine({"--fault", "drip?rate=2&file=LIBLG_00_MR.bin", "--fault", "endless?on=1",
                                           "--fault", "length?short=2&file=LIBLG_01_LP.bin", "--fault",
                                           "abort?bytes=300", "--fault", "html?on=1&file=LIBLG_01_MR.bin"},
                                          command, error))
        << error;
    const FaultState& faults = command.faults;
    EXPECT_EQ(faults.dripFor("LIBLG_00_MR.bin"), std::optional<std::size_t>(2));
    EXPECT_FALSE(faults.dripFor("LIBLG_01_CS.bin"));
    EXPECT_TRUE(faults.endlessFor("LIBLG_01_DS.bin"));
    EXPECT_EQ(faults.lengthErrorFor("LIBLG_01_LP.bin"), std::optional<std::int64_t>(-2));
    EXPECT_FALSE(faults.lengthErrorFor("LIBLG_01_CS.bin"));
    EXPECT_EQ(faults.abortFor("LIBLG_01_CS.bin"), std::optional<std::size_t>(300));
    EXPECT_TRUE(faults.webPageFor("LIBLG_01_MR.bin"));
    EXPECT_FALSE(faults.webPageFor("LIBLG_01_CS.bin"));

    FaultState state = faults;
    EXPECT_EQ(applyControl(state, "length", {{"long", "7"}}), "");
    EXPECT_EQ(state.lengthErrorFor("LIBLG_01_CS.bin"), std::optional<std::int64_t>(7));
    EXPECT_EQ(applyControl(state, "drip", {{"rate", "off"}}), "");
    EXPECT_EQ(applyControl(state, "endless", {{"on", "0"}}), "");
    EXPECT_FALSE(state.dripFor("LIBLG_00_MR.bin"));
    EXPECT_FALSE(state.endlessFor("LIBLG_01_DS.bin"));

    for (const auto& [name, parameters] :
         std::vector<std::pair<std::string, ControlParameters>>{{"drip", {{"rate", "0"}}},
                                                                {"length", {{"short", "2"}, {"long", "2"}}},
                                                                {"length", {{"short", "0"}}},
                                                                {"endless", {{"on", "yes"}}},
                                                                {"html", {{"on", "1"}, {"file", "index.html"}}},
                                                                {"abort", {{"bytes", "x"}}}}) {
        FaultState unchanged = state;
        EXPECT_NE(applyControl(unchanged, name, parameters), "") << name;
        EXPECT_EQ(describeFaults(unchanged), describeFaults(state)) << name;
    }
    SimulatorCommandLine bad;
    EXPECT_FALSE(parseSimulatorCommandLine({"--fault", "drip?rate=fast"}, bad, error));
    EXPECT_NE(error.find("rate"), std::string::npos);
}

TEST(SimulatorCommandLine, RejectsBadValues)
{
    const std::vector<std::vector<std::string>> bad = {{"--frames", "x"},
                                                       {"--drives"},
                                                       {"--port", "70000"},
                                                       {"--end", "2024-02-30"},
                                                       {"--speed", "-1"},
                                                       {"--http-status", "LIBLG_01_CS.bin"},
                                                       {"--stall-file", "LIBLG_01_CS.bin"},
                                                       {"--live=1"},
                                                       {"--bogus"},
                                                       {"--drives", "200"},
                                                       {"--write-files", ""},
                                                       {"--name", "A_B"}};
    for (const auto& arguments : bad) {
        SimulatorCommandLine command;
        std::string error;
        EXPECT_FALSE(parseSimulatorCommandLine(arguments, command, error)) << arguments.front();
        EXPECT_FALSE(error.empty()) << arguments.front();
    }
}

// The one parser of vaultlinectl's command lines, and the common options it takes first.

#include "CliOptions.h"
#include "CommandOptions.h"
#include "app/AppTexts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Words = std::vector<std::string>;

TEST(CommandOptions, ValuesSwitchesAndPositionalsInEitherForm)
{
    CommandOptions options({{"from"}, {"to"}, {"library", OptionKind::Repeated}, {"yes", OptionKind::Switch}});
    ASSERT_TRUE(options.parse(
        {"kind", "--from", "2026-01-01", "--library=10.0.0.1", "--yes", "--library", "--yes", "-", "--to=a=b", "last"}))
        << options.error();
    EXPECT_EQ(options.value("from"), "2026-01-01");
    // The word after a value option is its value, even one that looks like an option.
    EXPECT_EQ(options.values("library"), (Words{"10.0.0.1", "--yes"}));
    EXPECT_EQ(options.value("library"), "--yes");
    EXPECT_EQ(options.value("to"), "a=b");
    EXPECT_TRUE(options.has("yes"));
    EXPECT_EQ(options.positionals(), (Words{"kind", "-", "last"}));

    CommandOptions empty({{"volser"}, {"drive"}, {"yes", OptionKind::Switch}});
    ASSERT_TRUE(empty.parse({"--volser=", "--yes", "--yes"})) << empty.error();
    EXPECT_TRUE(empty.has("volser"));
    EXPECT_EQ(empty.value("volser"), "");
    EXPECT_FALSE(empty.has("drive"));
    EXPECT_EQ(empty.value("drive"), std::nullopt);
    EXPECT_TRUE(empty.values("drive").empty());
}

TEST(CommandOptions, RefusalsNameTheOption)
{
    const std::vector<std::pair<Words, std::string>> refused{
        {{"kind", "--bogus"}, "unknown option --bogus"},
        {{"--bogus=1", "--from", "x"}, "unknown option --bogus"},
        {{"-x"}, "unknown option -x"},
        {{"-from", "x"}, "unknown option -from"},
        {{"--"}, "unknown option --"},
        {{"--to", "x", "--from"}, "option --from needs a value"},
        {{"--period"}, "--period needs a number of milliseconds"},
        {{"--from", "a", "--from=b"}, "--from given twice"},
        {{"--from=", "--from", "a"}, "--from given twice"},
        {{"--yes=1"}, "--yes takes no value"},
    };
    for (const auto& [words, error] : refused) {
        CommandOptions options({{"from"},
                                {"to"},
                                {"library", OptionKind::Repeated},
                                {"yes", OptionKind::Switch},
                                {"period", OptionKind::Once, "a number of milliseconds"}});
        EXPECT_FALSE(options.parse(words)) << words.front();
        EXPECT_EQ(options.error(), error) << words.front();
    }
}

TEST(CommandOptions, TakeLeavesEveryOtherWordInOrder)
{
    CommandOptions common({{"log", OptionKind::Once, "a file name"}});
    Words words{"import", "--log", "a.txt", "f.csv", "--library", "x", "--bogus", "--logfile=z", "-h"};
    ASSERT_TRUE(common.take(words)) << common.error();
    EXPECT_EQ(words, (Words{"import", "f.csv", "--library", "x", "--bogus", "--logfile=z", "-h"}));
    EXPECT_EQ(common.value("log"), "a.txt");

    Words last{"import", "f.csv", "--log"};
    CommandOptions missing({{"log", OptionKind::Once, "a file name"}});
    EXPECT_FALSE(missing.take(last));
    EXPECT_EQ(missing.error(), "--log needs a file name");

    // The common options as every command takes them: a default, and never an empty name.
    Words none{"report", "mount-rates"};
    std::string error;
    const auto defaults = takeCommonOptions(none, error);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->logPath, app_texts::DebugLogName);
    for (auto [wrong, why] : {std::pair{Words{"--log=", "report"}, "--log needs a file name"},
                              std::pair{Words{"report", "--log", ""}, "--log needs a file name"},
                              std::pair{Words{"--log=a", "report", "--log", "b"}, "--log given twice"}}) {
        EXPECT_FALSE(takeCommonOptions(wrong, error)) << wrong[1];
        EXPECT_EQ(error, why);
    }
}

TEST(CommandOptions, HelpIsAskedForByItsOwnWordsOnly)
{
    EXPECT_TRUE(CommandOptions::asksForHelp({"--library", "10.0.0.1", "-h"}));
    EXPECT_TRUE(CommandOptions::asksForHelp({"--help", "--bogus"}));
    EXPECT_FALSE(CommandOptions::asksForHelp({"--helpful", "-hh", "help", "--help=1"}));
}

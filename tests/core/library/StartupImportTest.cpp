#include "ScopedApp.h"
#include "library/ImportTexts.h"
#include "library/StartupImport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {
ImportResult ended(ImportOutcome outcome, int failed = 0)
{
    ImportResult result;
    result.outcome = outcome;
    result.failed = failed;
    return result;
}
} // namespace

TEST(StartupImport, ArgumentsMakeAnImportOnlyWhenComplete)
{
    const auto parsed = startupImportFromArguments({"vaultline", "lvr_debug", "--import", "a b.csv", "--library",
                                                    "127.0.0.1:18080", "--import", "lp.csv", "--imported-mark", "m"});
    ASSERT_TRUE(parsed.import);
    EXPECT_TRUE(parsed.problem.empty());
    EXPECT_EQ(parsed.import->files, (std::vector<std::string>{"a b.csv", "lp.csv"}));
    EXPECT_EQ(parsed.import->libraryAddress, "127.0.0.1:18080");
    EXPECT_EQ(parsed.import->markPath, "m");

    // No import asked for: nothing to say either.
    const auto none = startupImportFromArguments({"vaultline", "lvr_debug"});
    EXPECT_FALSE(none.import);
    EXPECT_TRUE(none.problem.empty());

    // Asked for but not complete: nothing is imported, and the user is told how to ask.
    const std::vector<std::vector<std::string>> incomplete{
        {"vaultline", "--import", "a.csv"},
        {"vaultline", "--library", "lib"},
        {"vaultline", "--import", "a.csv", "--library"},
        {"vaultline", "--import", "", "--library", "lib"},
        {"vaultline", "--import", "a.csv", "--library", "one", "--library", "two"},
        {"vaultline", "--import", "a.csv", "--library", "lib", "--imported-mark", "m", "--imported-mark", "n"},
    };
    for (const auto& arguments : incomplete) {
        const auto refused = startupImportFromArguments(arguments);
        EXPECT_FALSE(refused.import) << arguments.size();
        EXPECT_EQ(refused.problem, import_texts::StartupUsage) << arguments.size();
    }
}

TEST(StartupImport, MarkOnlyOnceEveryLineOfEveryFileIsStored)
{
    ScopedApp scoped;
    TemporaryFolder folder;
    const std::string mark = folder.file("imported");
    const StartupImport request{{"mounts.csv", "performance.csv"}, "lib", mark};

    ImportSequence whole(request);
    EXPECT_EQ(whole.next(), "mounts.csv");
    whole.fileDone(ended(ImportOutcome::Completed), {{"first", MessageIcon::Information}});
    EXPECT_FALSE(std::filesystem::exists(mark)) << "one file of two";
    EXPECT_EQ(whole.next(), "performance.csv");
    whole.fileDone(ended(ImportOutcome::Completed), {{"second", MessageIcon::Information}});
    EXPECT_FALSE(whole.next());
    EXPECT_TRUE(whole.everyLineStored());
    EXPECT_TRUE(std::filesystem::exists(mark));
    ASSERT_EQ(whole.messages().size(), 2u);
    EXPECT_EQ(whole.messages()[1].text, "second");
    std::filesystem::remove(mark);

    // A cancelled, refused or unconnected file ends the sequence there, without the mark.
    for (const ImportOutcome outcome :
         {ImportOutcome::Stopped, ImportOutcome::NotConnected, ImportOutcome::FileNotOpened}) {
        ImportSequence cut(request);
        cut.fileDone(ended(outcome), {});
        EXPECT_FALSE(cut.next());
        EXPECT_FALSE(cut.everyLineStored());
    }
    ImportSequence lastCancelled(request);
    lastCancelled.fileDone(ended(ImportOutcome::Completed), {});
    lastCancelled.fileDone(ended(ImportOutcome::Stopped), {});
    EXPECT_FALSE(lastCancelled.next());
    EXPECT_FALSE(std::filesystem::exists(mark));

    // Failed lines let the next file go, but the year is not whole: no mark.
    ImportSequence failedLines(request);
    failedLines.fileDone(ended(ImportOutcome::Completed, 3), {});
    EXPECT_EQ(failedLines.next(), "performance.csv");
    failedLines.fileDone(ended(ImportOutcome::Completed), {});
    EXPECT_FALSE(failedLines.everyLineStored());
    EXPECT_FALSE(std::filesystem::exists(mark));

    // A mark that cannot be written is logged; the next run imports again.
    ImportSequence unwritable({{"mounts.csv"}, "lib", folder.file("no/such/folder/imported")});
    unwritable.fileDone(ended(ImportOutcome::Completed), {});
    EXPECT_NE(scoped.logText().find("Import mark " + folder.file("no/such/folder/imported") + " not written: "),
              std::string::npos)
        << scoped.logText();
}

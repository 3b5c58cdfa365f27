#include "command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CommandLine, LettersCountInEitherCaseWhereverTheyStand) {
    EXPECT_TRUE(ParseCommandLine("/a").delayedStart);
    EXPECT_TRUE(ParseCommandLine("/A").delayedStart);
    EXPECT_TRUE(ParseCommandLine("-u").closeRunning);
    EXPECT_TRUE(ParseCommandLine("/U").closeRunning);
    const StartOptions word = ParseCommandLine("C:\\Tools\\setup.txt");
    EXPECT_FALSE(word.delayedStart);
    EXPECT_TRUE(word.closeRunning) << "the u of \"setup\" counts";
    const StartOptions both = ParseCommandLine("Quantum");
    EXPECT_TRUE(both.delayedStart);
    EXPECT_TRUE(both.closeRunning);
}

TEST(CommandLine, NothingElseHasAMeaning) {
    for (const char* text : {"", "/x /y /z", "12345", "--help"}) {
        const StartOptions options = ParseCommandLine(text);
        EXPECT_FALSE(options.delayedStart) << text;
        EXPECT_FALSE(options.closeRunning) << text;
    }
    EXPECT_FALSE(ParseCommandLine(nullptr).delayedStart);
}

TEST(ProgramFolder, IsThePathUpToTheLastBackslash) {
    char folder[260];
    ASSERT_EQ(1, FolderOfPath(folder, sizeof(folder), "C:\\Apps\\Vexlume\\Vexlume.exe"));
    EXPECT_STREQ("C:\\Apps\\Vexlume", folder);
    ASSERT_EQ(1, FolderOfPath(folder, sizeof(folder), "C:\\Vexlume.exe"));
    EXPECT_STREQ("C:", folder);
    EXPECT_EQ(0, FolderOfPath(folder, sizeof(folder), "Vexlume.exe"));
    EXPECT_STREQ("", folder);
}

TEST(ProgramFolder, ATooLongFolderIsRefusedNotTruncated) {
    const std::string path = std::string(300, 'x') + "\\Vexlume.exe";
    char folder[260] = "previous";
    EXPECT_EQ(0, FolderOfPath(folder, sizeof(folder), path.c_str()));
    EXPECT_STREQ("", folder);
    const std::string fits = std::string(259, 'y') + "\\a.exe";
    ASSERT_EQ(1, FolderOfPath(folder, sizeof(folder), fits.c_str()));
    EXPECT_EQ(259u, std::string(folder).size());
}

} // namespace

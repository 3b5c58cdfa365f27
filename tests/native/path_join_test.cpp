#include "path_join.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(JoinPath, JoinsWithABackslashOrTakesTheBareName) {
    char out[kPathCapacity];
    EXPECT_EQ(1, JoinPath(out, sizeof(out), "C:\\Users\\a", "Drelmont"));
    EXPECT_STREQ("C:\\Users\\a\\Drelmont", out);
    EXPECT_EQ(1, JoinPath(out, sizeof(out), "", "settings.dat"));
    EXPECT_STREQ("settings.dat", out);
}

TEST(JoinPath, MayWriteOverItsOwnFolder) {
    char path[kPathCapacity] = "C:\\Data";
    EXPECT_EQ(1, JoinPath(path, sizeof(path), path, "Vexlume"));
    EXPECT_STREQ("C:\\Data\\Vexlume", path);
}

TEST(JoinPath, RefusesAPathThatWouldNotFit) {
    const std::string folder(250, 'f');
    char out[kPathCapacity];
    // 250 + 1 + 8 = 259 characters and the terminator: exactly fits.
    EXPECT_EQ(1, JoinPath(out, sizeof(out), folder.c_str(), "12345678"));
    EXPECT_EQ(259u, std::string(out).size());
    // One more character would need 261 bytes.
    EXPECT_EQ(0, JoinPath(out, sizeof(out), folder.c_str(), "123456789"));
    EXPECT_STREQ("", out);
    char tiny[4] = "abc";
    EXPECT_EQ(0, JoinPath(tiny, sizeof(tiny), "", "abcd"));
    EXPECT_STREQ("", tiny);
    EXPECT_EQ(0, JoinPath(tiny, 0, "", ""));
}

TEST(FileInFolder, FallsBackToTheBareNameWhenTheFolderIsUnusable) {
    char out[kPathCapacity];
    EXPECT_EQ(1, FileInFolder(out, sizeof(out), "C:\\AppData\\Drelmont\\Vexlume", "settings.dat"));
    EXPECT_STREQ("C:\\AppData\\Drelmont\\Vexlume\\settings.dat", out);
    EXPECT_EQ(0, FileInFolder(out, sizeof(out), "", "settings.dat"));
    EXPECT_STREQ("settings.dat", out);
    const std::string deep(255, 'd');
    EXPECT_EQ(0, FileInFolder(out, sizeof(out), deep.c_str(), "settings.dat"));
    EXPECT_STREQ("settings.dat", out);
}

} // namespace

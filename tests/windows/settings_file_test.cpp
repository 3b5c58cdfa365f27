// The settings file on a real file system: where it lives, what a load accepts, what a save
// writes, and that a load never touches the file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "appdata_folder.h"
#include "options_file.h"
#include "scoped_handles.h"
#include "settings_file.h"
#include "settings_logic.h"
#include "test_support.h"

namespace {

std::string Folder(const char* third = nullptr) {
    char path[kPathCapacity];
    EXPECT_EQ(1, ComposeAppDataFolder(path, third));
    return path;
}

bool IsFolder(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void WriteBytes(const std::string& path, const void* bytes, size_t size) {
    UniqueFile file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.Get(), bytes, static_cast<DWORD>(size), &written, nullptr));
}

std::string WholeFile(const std::string& path) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr));
    std::string bytes(8 << 20, '\0');
    DWORD read = 0;
    if (!file ||
        !ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        return "(unreadable)";
    }
    bytes.resize(read);
    return bytes;
}

SettingsRecord Defaults() {
    SettingsRecord record;
    SetDefaultSettings(&record);
    return record;
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        path = Folder() + "\\settings.dat";
        DeleteFileA(path.c_str());
    }
    void TearDown() override { DeleteFileA(path.c_str()); }
    SettingsRecord Load(int* accepted) {
        SettingsRecord record;
        std::memset(&record, 0x5A, sizeof(record));
        *accepted = LoadSettings(&record);
        return record;
    }
    std::string path;
};

TEST(AppDataFolder, IsMadeLevelByLevelUnderTheUsersApplicationData) {
    const std::string folder = Folder();
    EXPECT_EQ("\\Drelmont\\Vexlume", folder.substr(folder.size() - 17));
    EXPECT_TRUE(IsFolder(folder));
    const std::string plugins = Folder("Plug-Ins");
    EXPECT_EQ(folder + "\\Plug-Ins", plugins);
    EXPECT_TRUE(IsFolder(plugins));
}

TEST(AppDataFolder, AnOverlongPathIsAFailureNotAnOverflow) {
    char path[kPathCapacity + 16];
    std::memset(path, 'x', sizeof(path));
    const std::string level(kPathCapacity - 5, 'L');
    EXPECT_EQ(0, ComposeAppDataFolder(path, level.c_str()));
    EXPECT_STREQ("", path);
    EXPECT_EQ('x', path[kPathCapacity]) << "nothing written past the buffer";
}

TEST_F(SettingsFile, MissingFileGivesDefaultsAndCreatesNothing) {
    int accepted = -1;
    const SettingsRecord record = Load(&accepted);
    EXPECT_EQ(0, accepted);
    const SettingsRecord defaults = Defaults();
    EXPECT_EQ(0, std::memcmp(&defaults, &record, sizeof(record)));
    EXPECT_EQ(path, SettingsFilePath());
    EXPECT_EQ("(missing)", FileContent(path));
}

TEST_F(SettingsFile, FilesOfWrongSizeOrVersionGiveDefaultsAndStayUntouched) {
    SettingsRecord stored = Defaults();
    stored.engine.lensWidth = 300;
    std::string good(reinterpret_cast<const char*>(&stored), sizeof(stored));
    SettingsRecord old = stored;
    old.version = 0x3FF;
    const std::string files[] = {good.substr(0, 123), good + "x",
                                 std::string(reinterpret_cast<const char*>(&old), sizeof(old))};
    for (const std::string& bytes : files) {
        SCOPED_TRACE(bytes.size());
        WriteBytes(path, bytes.data(), bytes.size());
        int accepted = -1;
        const SettingsRecord record = Load(&accepted);
        EXPECT_EQ(0, accepted);
        EXPECT_EQ(256u, record.engine.lensWidth);
        EXPECT_EQ(bytes, FileContent(path)) << "a load never writes";
    }
}

TEST_F(SettingsFile, SavedRecordIsExactly124BytesAndLoadsBackWhole) {
    int accepted = -1;
    SettingsRecord record = Load(&accepted);
    record.engine.lensWidth = 40;
    record.engine.frameWait = 0;
    record.hotKeys[0] = 0x0665;
    record.engine.captureRequest = 1;
    std::memset(record.magic, 0, sizeof(record.magic));
    record.version = 0;
    StampSettingsHeader(&record);
    ASSERT_EQ(1, SaveSettings(record));

    const std::string bytes = FileContent(path);
    ASSERT_EQ(124u, bytes.size());
    EXPECT_EQ("VXQX", bytes.substr(0, 4));
    EXPECT_EQ(std::string("\x00\x04\x00\x00", 4), bytes.substr(4, 4));
    const SettingsRecord reloaded = Load(&accepted);
    EXPECT_EQ(1, accepted);
    EXPECT_EQ(0, std::memcmp(&record, &reloaded, sizeof(record)));
}

// A save that cannot finish leaves the previous file whole and reports the failure.
TEST_F(SettingsFile, AFailedSaveLeavesThePreviousFileWhole) {
    SettingsRecord stored = Defaults();
    stored.engine.lensWidth = 300;
    const std::string newPath = Folder() + "\\settings.new";
    const struct {
        const char* obstacle;
        bool newIsFolder; // the new file cannot be made
        bool holdOldOpen; // the old file cannot be replaced
    } cases[] = {{"settings.new is a folder", true, false},
                 {"settings.dat is held open", false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.obstacle);
        WriteBytes(path, &stored, sizeof(stored));
        int accepted = -1;
        SettingsRecord record = Load(&accepted);
        ASSERT_EQ(1, accepted);
        record.engine.lensWidth = 512;
        if (c.newIsFolder) {
            ASSERT_TRUE(CreateDirectoryA(newPath.c_str(), nullptr));
        }
        UniqueFile holder(c.holdOldOpen ? CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                      nullptr, OPEN_EXISTING, 0, nullptr)
                                        : INVALID_HANDLE_VALUE);
        EXPECT_EQ(0, SaveSettings(record));
        holder.Reset();
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&stored), sizeof(stored)),
                  FileContent(path));
        if (c.newIsFolder) {
            RemoveDirectoryA(newPath.c_str());
        } else {
            EXPECT_EQ("(missing)", FileContent(newPath)) << "nothing left beside the file";
        }
    }
}

TEST_F(SettingsFile, UnusableValuesAreMendedInMemoryOnly) {
    SettingsRecord stored = Defaults();
    stored.engine.lensWidth = 8;
    stored.engine.frameWait = 0;
    WriteBytes(path, &stored, sizeof(stored));
    const std::string before = FileContent(path);
    int accepted = -1;
    const SettingsRecord record = Load(&accepted);
    EXPECT_EQ(1, accepted);
    EXPECT_EQ(256u, record.engine.lensWidth);
    EXPECT_EQ(0u, record.engine.frameWait);
    EXPECT_EQ(before, FileContent(path));
}

// "Drelmont" made a file, so that the folder cannot be had, and a work folder made current.
class SettingsWithoutFolder : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string vexlume = Folder();
        drelmont = vexlume.substr(0, vexlume.size() - 8);
        ASSERT_TRUE(MoveFileA(drelmont.c_str(), (drelmont + ".aside").c_str()));
        WriteBytes(drelmont, "x", 1);
        char work[MAX_PATH];
        GetTempPathA(MAX_PATH, work);
        workFolder = std::string(work) + "vexlume-bare";
        CreateDirectoryA(workFolder.c_str(), nullptr);
        GetCurrentDirectoryA(MAX_PATH, previous);
        SetCurrentDirectoryA(workFolder.c_str());
    }
    void TearDown() override {
        DeleteFileA("settings.dat");
        SetCurrentDirectoryA(previous);
        RemoveDirectoryA(workFolder.c_str());
        DeleteFileA(drelmont.c_str());
        ASSERT_TRUE(MoveFileA((drelmont + ".aside").c_str(), drelmont.c_str()));
    }
    std::string drelmont;
    std::string workFolder;
    char previous[MAX_PATH] = {};
};

TEST_F(SettingsWithoutFolder, TheBareNameInTheCurrentDirectoryIsUsed) {
    SettingsRecord stored = Defaults();
    stored.engine.lensHeight = 96;
    WriteBytes("settings.dat", &stored, sizeof(stored));

    SettingsRecord record;
    EXPECT_EQ(1, LoadSettings(&record));
    EXPECT_EQ(96u, record.engine.lensHeight);
    EXPECT_STREQ("settings.dat", SettingsFilePath());
}

// The current directory may hold another program's settings.dat or settings.new: a save through
// the bare names replaces only files that have nothing to lose.
TEST_F(SettingsWithoutFolder, ASaveReplacesOnlyEmptyOrSettingsFiles) {
    SettingsRecord ours = Defaults();
    ours.version = 0x3FF;
    const std::string settings(reinterpret_cast<const char*>(&ours), sizeof(ours));
    const std::string empty;
    const std::string text = "[options]\r\nkeep=me\r\n";
    const std::string foreign124(124, 'f');
    struct Case {
        const char* what;
        const std::string* dat;   // settings.dat before the save; null: none
        const std::string* fresh; // settings.new before the save; null: none
        bool saved;
    };
    for (const Case& c :
         {Case{"no files", nullptr, nullptr, true}, Case{"an empty file", &empty, nullptr, true},
          Case{"a settings file", &settings, &settings, true},
          Case{"a text file", &text, nullptr, false},
          Case{"124 foreign bytes", &foreign124, nullptr, false},
          Case{"a foreign settings.new", nullptr, &text, false}}) {
        SCOPED_TRACE(c.what);
        for (const auto& file :
             {std::make_pair("settings.dat", c.dat), std::make_pair("settings.new", c.fresh)}) {
            DeleteFileA(file.first);
            if (file.second != nullptr) {
                WriteBytes(file.first, file.second->data(), file.second->size());
            }
        }
        SettingsRecord record;
        LoadSettings(&record);
        record.engine.lensWidth = 300;
        StampSettingsHeader(&record);
        EXPECT_EQ(c.saved ? 1 : 0, SaveSettings(record));
        const std::string saved(reinterpret_cast<const char*>(&record), sizeof(record));
        EXPECT_EQ(c.saved ? saved : c.dat ? *c.dat : "(missing)", FileContent("settings.dat"));
        if (!c.saved && c.fresh != nullptr) {
            EXPECT_EQ(*c.fresh, FileContent("settings.new")) << "left as it was";
        }
    }
    DeleteFileA("settings.new");
}

// Every kind of options file a person, a crash or another program may leave: the program runs on
// what it can read, and the file stays as it was until an option is saved, which then keeps
// every byte it could read and refuses to replace what it could not.
TEST(OptionsFile, BadFilesGiveDefaultsAndLoseNothingWhenAnOptionIsSaved) {
    const std::string path = Folder() + "\\options.ini";
    std::string random(1 << 20, '\0');
    uint32_t seed = 12345;
    for (char& c : random) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 23);
    }
    struct Case {
        const char* name;
        std::string content; // written as the file, unless `folder`
        bool folder, readOnly, heldOpen;
        uint32_t loadedView;
        int saved;
    };
    const Case cases[] = {
        {"missing", "", false, false, false, kViewLens, 1},
        {"empty", "", false, false, false, kViewLens, 1},
        {"unknown keys and comments", "# mine\nzoom.colour=9\nview=docked\n", false, false, false,
         kViewDocked, 1},
        {"1 MB of random bytes", random, false, false, false, kViewLens, 1},
        {"too long to be ours", std::string(kMaxOptionsFileBytes + 1, 'x'), false, false, false,
         kViewLens, 0},
        {"a folder", "", true, false, false, kViewLens, 0},
        {"read-only", "view=docked\n", false, true, false, kViewDocked, 0},
        {"held open by another program", "view=docked\n", false, false, true, kViewLens, 0},
    };
    for (const Case& c : cases) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        RemoveDirectoryA(path.c_str());
        if (c.folder) {
            ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
        } else if (std::strcmp(c.name, "missing") != 0) {
            WriteBytes(path, c.content.data(), c.content.size());
        }
        if (c.readOnly) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        }
        UniqueFile holder(c.heldOpen ? CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr,
                                                   OPEN_EXISTING, 0, nullptr)
                                     : INVALID_HANDLE_VALUE);
        ProgramOptions options = LoadOptions();
        EXPECT_EQ(c.loadedView, options.engine.view) << c.name;
        options.engine.dockEdge = kDockRight;
        EXPECT_EQ(c.saved, SaveOption(options, kOptionDockEdge)) << c.name;
        holder.Reset();
        if (c.folder) {
            EXPECT_TRUE(IsFolder(path)) << c.name;
            continue;
        }
        const std::string after = WholeFile(path);
        if (c.saved == 0) {
            EXPECT_TRUE(after == c.content) << c.name << ": the file changed";
            continue;
        }
        EXPECT_EQ(0u, after.compare(0, c.content.size(), c.content)) << c.name << ": bytes lost";
        EXPECT_EQ(kDockRight, LoadOptions().engine.dockEdge) << c.name;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
                  GetFileAttributesA((Folder() + "\\options.new").c_str()));
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

} // namespace

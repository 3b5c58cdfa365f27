// The real error log beside the test program: the engine's own failure reports reach it with
// their codes decoded, a log that cannot be written loses reports without holding anyone up,
// and the log never grows past its bound.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "appdata_folder.h"
#include "qxsender.h"
#include "scoped_handles.h"
#include "scripted_direct3d.h"
#include "test_support.h"

extern "C" HANDLE WINAPI qxCreateMagnifier(EngineParameters*, EngineCallback);
extern "C" int WINAPI qxCloseMagnifier(HANDLE);

namespace {

std::string LogPath() {
    char folder[kPathCapacity];
    EXPECT_EQ(1, ComposeAppDataFolder(folder, nullptr));
    return std::string(folder) + "\\" QX_SENDER_LOG_NAME;
}

std::vector<std::string> LogLines(const std::string& path) {
    const std::string content = FileContent(path);
    std::vector<std::string> lines;
    size_t start = 0;
    size_t end;
    while ((end = content.find("\r\n", start)) != std::string::npos) {
        lines.push_back(content.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string Hex(HRESULT code) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(code));
    return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Whether this process could write the file as the log does.
bool WritableAnyway(const std::string& path) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.Valid();
}

// The real library, bound as the engine binds it.
struct SenderLibrary {
    UniqueModule module{LoadLibraryA((ProgramFolder() + "\\" QX_SENDER_LIBRARY).c_str())};
    QxInitSenderFn init = BindProc<QxInitSenderFn>(module.Get(), "qxInitSender");
    QxDestroySenderFn destroy = BindProc<QxDestroySenderFn>(module.Get(), "qxDestroySender");
    QxRecordErrorFn record = BindProc<QxRecordErrorFn>(module.Get(), "qxRecordError");
    QxGetDXVersionFn dxVersion = BindProc<QxGetDXVersionFn>(module.Get(), "qxGetDXVersion");
    bool Bound() const { return init && destroy && record && dxVersion; }
};

SenderInfo Block(uint32_t limit) {
    SenderInfo info = {};
    info.size = sizeof(info);
    info.title = "test - ERROR";
    info.supportAddress = "support@example.org";
    info.limit = limit;
    info.errorLabel = "ERROR:";
    info.sourceLabel = "Source:";
    return info;
}

class ErrorLog : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    void Clear() {
        SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(log.c_str());
    }
    std::string log = LogPath();
};

TEST_F(ErrorLog, TheEnginesFailureReportsArriveWithTheirCodesDecoded) {
    PublishedOwner owner;
    Direct3DScript script;
    script.deviceAnswers.assign(2, D3DERR_INVALIDCALL);
    ScriptedDirect3D scripted(&script);
    SettingsRecord record = DefaultRecord();
    HANDLE thread = qxCreateMagnifier(&record.engine, TestCallback);
    ASSERT_NE(nullptr, thread);
    EXPECT_TRUE(WaitForEnd(thread)) << "the run ends by itself";
    qxCloseMagnifier(thread);

    const std::vector<std::string> lines = LogLines(log);
    ASSERT_EQ(2u, lines.size()) << FileContent(log);
    const std::string title = " qxmagnifier[2001-0912] - ERROR | ERROR: ";
    EXPECT_EQ(title + "CreateDevice failed | code " +
                  std::to_string(static_cast<int>(D3DERR_INVALIDCALL)) + " (" +
                  Hex(D3DERR_INVALIDCALL) + ") D3DERR_INVALIDCALL | Source: 3Dmagnifier",
              lines[0].substr(23));
    EXPECT_NE(std::string::npos,
              lines[1].find(title + "Failed InitDirect3D | code 399 (0x0000018F)"));
    EXPECT_TRUE(EndsWith(lines[1], " | Source: magnifier"));
    for (const std::string& line : lines) {
        unsigned year, month, day, hour, minute, second, ms;
        EXPECT_EQ(7, std::sscanf(line.c_str(), "%4u-%2u-%2u %2u:%2u:%2u.%3u", &year, &month, &day,
                                 &hour, &minute, &second, &ms))
            << "a time first: " << line;
    }
}

TEST_F(ErrorLog, SystemCodesComeWithTheSystemsDescription) {
    SenderLibrary sender;
    ASSERT_TRUE(sender.Bound());
    SenderInfo info = Block(0);
    ASSERT_EQ(1, sender.init(&info));
    EXPECT_EQ(1, sender.record("Open", ERROR_ACCESS_DENIED, "settings"));
    EXPECT_EQ(1, sender.record("Open", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), "settings"));
    sender.destroy();
    const std::vector<std::string> lines = LogLines(log);
    ASSERT_EQ(2u, lines.size());
    for (const char* code : {"code 5 (0x00000005) ", "code -2147024894 (0x80070002) "}) {
        SCOPED_TRACE(code);
        const size_t at = lines[code[5] == '5' ? 0 : 1].find(code);
        ASSERT_NE(std::string::npos, at);
        EXPECT_NE('|', lines[code[5] == '5' ? 0 : 1][at + strlen(code)]) << "a description";
    }
    EXPECT_EQ(9, sender.dxVersion()) << "Direct3D 9 is there";
}

// Each way a log can refuse writing: the report is lost, the caller is not held up, and the
// next report after the obstacle is gone is written.
TEST_F(ErrorLog, ALogThatCannotBeWrittenLosesTheReportAndHoldsUpNobody) {
    struct Obstacle {
        const char* what;
        void (*put)(const std::string& log, UniqueFile* holder);
    };
    const Obstacle obstacles[] = {
        {"read-only",
         [](const std::string& log, UniqueFile*) {
             SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_READONLY);
         }},
        {"opened by another program that shares nothing",
         [](const std::string& log, UniqueFile* holder) {
             holder->Reset(CreateFileA(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
         }},
        {"locked in part",
         [](const std::string& log, UniqueFile* holder) {
             holder->Reset(CreateFileA(log.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
             LockFile(holder->Get(), 0, 0, 1 << 20, 0);
         }},
    };
    SenderLibrary sender;
    ASSERT_TRUE(sender.Bound());
    SenderInfo info = Block(0);
    for (const Obstacle& obstacle : obstacles) {
        SCOPED_TRACE(obstacle.what);
        Clear();
        ASSERT_EQ(1, sender.init(&info));
        sender.record("before", 1, "test");
        sender.destroy();
        const std::string before = FileContent(log);
        ASSERT_EQ(1u, LogLines(log).size());

        UniqueFile holder;
        obstacle.put(log, &holder);
        if (WritableAnyway(log)) {
            // Wine run by the superuser: the read-only flag does not keep anyone out.
            SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_NORMAL);
            continue;
        }
        const double start = NowMs();
        ASSERT_EQ(1, sender.init(&info));
        EXPECT_EQ(1, sender.record("lost", 2, "test"));
        EXPECT_EQ(1, sender.destroy());
        EXPECT_LT(NowMs() - start, kPatienceMs) << "bounded, whatever the disk does";
        holder.Reset();
        SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(before, FileContent(log)) << "nothing written, nothing damaged";

        ASSERT_EQ(1, sender.init(&info));
        sender.record("after", 3, "test");
        sender.destroy();
        const std::vector<std::string> lines = LogLines(log);
        ASSERT_EQ(2u, lines.size());
        EXPECT_NE(std::string::npos, lines[1].find("ERROR: after |"));
    }
}

TEST_F(ErrorLog, NeverGrowsPastTheBlocksLimit) {
    SenderLibrary sender;
    ASSERT_TRUE(sender.Bound());
    SenderInfo info = Block(10);
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(1, sender.init(&info));
        for (int i = 0; i < 9; ++i) {
            EXPECT_EQ(
                1, sender.record(("report " + std::to_string(round * 9 + i)).c_str(), i, "test"));
        }
        sender.destroy();
        const std::vector<std::string> lines = LogLines(log);
        ASSERT_LE(lines.size(), 10u);
        for (size_t i = 0; i < lines.size(); ++i) {
            const int number = round * 9 + 9 - static_cast<int>(lines.size() - i);
            EXPECT_NE(std::string::npos,
                      lines[i].find("ERROR: report " + std::to_string(number) + " |"))
                << "the newest, in order: " << lines[i];
        }
    }
}

// A burst faster than the disk: the newest report is written last, and every report missing
// between two written ones is counted by the lines in its place.
TEST_F(ErrorLog, ABurstKeepsTheNewestReportsAndCountsTheDroppedOnes) {
    SenderLibrary sender;
    ASSERT_TRUE(sender.Bound());
    SenderInfo info = Block(0);
    ASSERT_EQ(1, sender.init(&info));
    for (int i = 0; i < 3000; ++i) {
        sender.record(("report " + std::to_string(i)).c_str(), i, "test");
    }
    sender.destroy();
    const std::vector<std::string> lines = LogLines(log);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(std::string::npos, lines.back().find("ERROR: report 2999 |"));
    int previous = -1; // the last report read
    int dropped = 0;   // counted since it
    for (const std::string& line : lines) {
        int number = 0;
        const size_t report = line.find("ERROR: report ");
        if (report != std::string::npos) {
            number = std::atoi(line.c_str() + report + 14);
            ASSERT_TRUE(previous < 0 || number == previous + 1 + dropped) << line;
            previous = number;
            dropped = 0;
        } else {
            ASSERT_EQ(1, std::sscanf(line.c_str() + line.rfind("| ") + 2, "%d", &number)) << line;
            EXPECT_NE(std::string::npos, line.find(" dropped")) << line;
            dropped += number;
        }
    }
}

TEST_F(ErrorLog, AHugeLogIsCutDownToItsBound) {
    {
        UniqueFile file(CreateFileA(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        LARGE_INTEGER size;
        size.QuadPart = 5LL << 30;
        if (!SetFilePointerEx(file.Get(), size, nullptr, FILE_BEGIN) || !SetEndOfFile(file.Get())) {
            GTEST_SKIP() << "no room for a 5 GB file here";
        }
    }
    SenderLibrary sender;
    ASSERT_TRUE(sender.Bound());
    SenderInfo info = Block(10);
    ASSERT_EQ(1, sender.init(&info));
    sender.record("after the flood", 1, "test");
    sender.destroy();
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ASSERT_TRUE(GetFileAttributesExA(log.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(0u, data.nFileSizeHigh);
    EXPECT_LE(data.nFileSizeLow, 10u * 1024u);
    const std::vector<std::string> lines = LogLines(log);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(std::string::npos, lines.back().find("ERROR: after the flood |"));
}

} // namespace

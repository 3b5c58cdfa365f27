// The tray program's start gives back a pointer that a lens left hidden: the pointer hider is
// asked to show the pointer exactly when its marker is there, and a missing or incomplete library
// changes nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pointer_recovery.h"
#include "scoped_handles.h"
#include "test_support.h"

namespace {

using Calls = std::vector<std::string>;

TEST(PointerRecovery, ThePointerHiderIsAskedToShowThePointerOnlyWhenTheMarkerIsThere) {
    char temp[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(MAX_PATH, temp));
    const std::string marker = std::string(temp) + "vx-recovery-test.marker";
    const std::string fakes = ProgramFolder() + "\\fakes\\";
    struct Case {
        bool marked;
        std::string library;
        Calls expected;
    };
    const Case cases[] = {
        {true, fakes + "full\\qxhidecursor.dll", {"qxShowCursor 1"}},
        {false, fakes + "full\\qxhidecursor.dll", {}},
        {true, fakes + "no_show\\qxhidecursor.dll", {}},
        {true, fakes + "absent\\qxhidecursor.dll", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.library + (c.marked ? " with the marker" : " without the marker"));
        DeleteFileA(marker.c_str());
        if (c.marked) {
            UniqueFile file(CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(file.Valid());
        }
        ClearRecordedCalls();
        RecoverHiddenPointerWith(marker.c_str(), c.library.c_str());
        EXPECT_EQ(c.expected, RecordedCalls());
        EXPECT_EQ(nullptr, GetModuleHandleA("qxhidecursor.dll")) << "freed again";
    }
    DeleteFileA(marker.c_str());
}

} // namespace

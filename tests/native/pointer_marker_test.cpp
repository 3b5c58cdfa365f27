// The pointer hider's marker: read back exactly as written, and a marker that was cut short or
// is not one is told apart.
#include <gtest/gtest.h>

#include "pointer_marker.h"

namespace {

TEST(PointerMarker, ReadsBackWhatItWrote) {
    const MarkerOwner owners[] = {{1, 0}, {4242, 133485408000000000ull}, {UINT32_MAX, UINT64_MAX}};
    for (const MarkerOwner& owner : owners) {
        MarkerOwner read;
        ASSERT_TRUE(ParsePointerMarker(FormatPointerMarker(owner), &read)) << owner.processId;
        EXPECT_EQ(owner.processId, read.processId);
        EXPECT_EQ(owner.startTime, read.startTime);
    }
}

TEST(PointerMarker, RefusesWhatIsNotAWholeMarker) {
    const std::string whole = FormatPointerMarker({4242, 133485408000000000ull});
    const std::string texts[] = {
        "",
        whole.substr(0, whole.size() - 1),
        whole.substr(0, whole.size() / 2),
        "pointer hidden by process x started 1\r\n",
        "pointer hidden by process 1 started 99999999999999999999999\r\n",
        "something else entirely",
        whole + "more",
    };
    for (const std::string& text : texts) {
        MarkerOwner read{7, 7};
        EXPECT_FALSE(ParsePointerMarker(text, &read)) << text;
        EXPECT_EQ(7u, read.processId) << "left as it was";
    }
}

} // namespace

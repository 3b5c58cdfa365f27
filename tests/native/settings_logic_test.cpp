#include "settings_logic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

SettingsRecord Defaults() {
    SettingsRecord record;
    SetDefaultSettings(&record);
    return record;
}

std::vector<unsigned char> Bytes(const SettingsRecord& record) {
    const auto* p = reinterpret_cast<const unsigned char*>(&record);
    return std::vector<unsigned char>(p, p + sizeof(record));
}

// A stored record that passes the signature and version checks.
SettingsRecord StoredRecord() {
    SettingsRecord record = Defaults();
    record.engine.internalCursor = 3;
    record.engine.followFocus = 1;
    record.engine.displayMode = 2;
    record.engine.frameWait = 35;
    record.engine.lensWidth = 400;
    record.engine.lensHeight = 200;
    record.engine.transparency = 17;
    record.engine.zoom = 3.5f;
    record.showOnStart = 1;
    record.sound = 0;
    record.hotKeys[0] = 0x0665;
    record.hotKeys[10] = 0x016A;
    record.engine.reserved2 = 0xDEADBEEF;
    return record;
}

SettingsRecord Load(const std::vector<unsigned char>& bytes, int* accepted = nullptr) {
    SettingsRecord record;
    std::memset(&record, 0xCC, sizeof(record));
    const int result = AcceptSettingsBytes(bytes.data(), bytes.size(), &record);
    if (accepted != nullptr) {
        *accepted = result;
    }
    return record;
}

void ExpectSameBytes(const SettingsRecord& a, const SettingsRecord& b) {
    EXPECT_EQ(0, std::memcmp(&a, &b, sizeof(a)));
}

TEST(SettingsDefaults, AreTheFirstRunValues) {
    const SettingsRecord r = Defaults();
    EXPECT_EQ(0, std::memcmp(r.magic, "VXQX", 4));
    EXPECT_EQ(0x400u, r.version);
    EXPECT_EQ(256u, r.engine.lensWidth);
    EXPECT_EQ(128u, r.engine.lensHeight);
    EXPECT_EQ(2.0f, r.engine.zoom);
    EXPECT_EQ(20u, r.engine.frameWait);
    EXPECT_EQ(1u, r.engine.displayMode);
    EXPECT_EQ(1u, r.sound);
    EXPECT_EQ(0u, r.engine.internalCursor);
    EXPECT_EQ(0u, r.engine.followFocus);
    EXPECT_EQ(0u, r.engine.transparency);
    EXPECT_EQ(0u, r.engine.lockPosition);
    EXPECT_EQ(0u, r.showOnStart);
    for (uint32_t slot : r.hotKeys) {
        EXPECT_EQ(0u, slot);
    }
    LensSizes sizes;
    SettingsRecord derived = r;
    DeriveSourceSize(&derived, &sizes);
    EXPECT_EQ(128u, derived.engine.sourceWidth);
    EXPECT_EQ(64u, derived.engine.sourceHeight);
}

TEST(SettingsLoad, FileOfWrongSizeSignatureOrVersionGivesDefaults) {
    std::vector<unsigned char> good = Bytes(StoredRecord());
    std::vector<unsigned char> shorter(good.begin(), good.end() - 1);
    std::vector<unsigned char> longer = good;
    longer.push_back(0);
    std::vector<unsigned char> badMagic = good;
    badMagic[3] = 'Y';
    SettingsRecord oldVersion = StoredRecord();
    oldVersion.version = 0x3FF;

    for (const auto& bytes : {shorter, longer, badMagic, Bytes(oldVersion)}) {
        int accepted = -1;
        const SettingsRecord loaded = Load(bytes, &accepted);
        EXPECT_EQ(0, accepted);
        ExpectSameBytes(Defaults(), loaded);
    }
    SettingsRecord record;
    EXPECT_EQ(0, AcceptSettingsBytes(nullptr, 0, &record));
    ExpectSameBytes(Defaults(), record);
}

TEST(SettingsLoad, AcceptedFileIsTakenWhole) {
    SettingsRecord stored = StoredRecord();
    stored.engine.lensWidth = 40;     // small but usable
    stored.engine.frameWait = 0;      // no pause at all
    stored.engine.captureRequest = 1; // live fields saved as they were
    stored.engine.lockPosition = 1;
    stored.engine.sourceWidth = 12345; // derived again after a load
    stored.engine.displayMode = 0;     // taken as "Show all"
    stored.engine.transparency = 999;  // the engine ignores it
    int accepted = -1;
    const SettingsRecord loaded = Load(Bytes(stored), &accepted);
    EXPECT_EQ(1, accepted);
    ExpectSameBytes(stored, loaded);

    SettingsRecord wide = StoredRecord();
    wide.engine.lensWidth = 4000; // wider than the screen: clamped by the engine binding
    wide.engine.frameWait = 4294967295u;
    ExpectSameBytes(wide, Load(Bytes(wide)));
}

TEST(SettingsLoad, ValuesThatWouldBreakTheProgramAreMendedFieldByField) {
    struct Case {
        const char* what;
        void (*spoil)(SettingsRecord&);
        void (*expect)(SettingsRecord&);
    };
    const Case cases[] = {
        {"lens width 0", [](SettingsRecord& r) { r.engine.lensWidth = 0; },
         [](SettingsRecord& r) { r.engine.lensWidth = 256; }},
        {"lens width 31", [](SettingsRecord& r) { r.engine.lensWidth = 31; },
         [](SettingsRecord& r) { r.engine.lensWidth = 256; }},
        {"lens height above the largest texture",
         [](SettingsRecord& r) { r.engine.lensHeight = 16385; },
         [](SettingsRecord& r) { r.engine.lensHeight = 128; }},
        {"lens height 0xFFFFFFFF", [](SettingsRecord& r) { r.engine.lensHeight = 0xFFFFFFFF; },
         [](SettingsRecord& r) { r.engine.lensHeight = 128; }},
        {"odd lens width", [](SettingsRecord& r) { r.engine.lensWidth = 33; },
         [](SettingsRecord& r) { r.engine.lensWidth = 34; }},
        {"odd lens height at the top", [](SettingsRecord& r) { r.engine.lensHeight = 16383; },
         [](SettingsRecord& r) { r.engine.lensHeight = 16384; }},
        {"zoom NaN",
         [](SettingsRecord& r) { r.engine.zoom = std::numeric_limits<float>::quiet_NaN(); },
         [](SettingsRecord& r) { r.engine.zoom = 2.0f; }},
        {"zoom infinite",
         [](SettingsRecord& r) { r.engine.zoom = std::numeric_limits<float>::infinity(); },
         [](SettingsRecord& r) { r.engine.zoom = 2.0f; }},
        {"zoom 0", [](SettingsRecord& r) { r.engine.zoom = 0.0f; },
         [](SettingsRecord& r) { r.engine.zoom = 2.0f; }},
        {"zoom 10.5", [](SettingsRecord& r) { r.engine.zoom = 10.5f; },
         [](SettingsRecord& r) { r.engine.zoom = 2.0f; }},
        {"display mode 3", [](SettingsRecord& r) { r.engine.displayMode = 3; },
         [](SettingsRecord& r) { r.engine.displayMode = 1; }},
        {"internal cursor 6", [](SettingsRecord& r) { r.engine.internalCursor = 6; },
         [](SettingsRecord& r) { r.engine.internalCursor = 0; }},
        {"hot key with high bits", [](SettingsRecord& r) { r.hotKeys[4] = 0x00010646; },
         [](SettingsRecord& r) { r.hotKeys[4] = 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsRecord stored = StoredRecord();
        c.spoil(stored);
        SettingsRecord expected = StoredRecord();
        c.expect(expected);
        int accepted = -1;
        const SettingsRecord loaded = Load(Bytes(stored), &accepted);
        EXPECT_EQ(1, accepted);
        ExpectSameBytes(expected, loaded);
    }
    SettingsRecord edges = StoredRecord();
    edges.engine.lensWidth = 32;
    edges.engine.lensHeight = 16384;
    edges.engine.zoom = 1.0f;
    edges.engine.internalCursor = 5;
    edges.hotKeys[3] = 0xFFFF;
    ExpectSameBytes(edges, Load(Bytes(edges)));
    edges.engine.zoom = 10.0f;
    ExpectSameBytes(edges, Load(Bytes(edges)));
}

// Random files with a valid header: every accepted result is one the program can live with.
TEST(SettingsLoad, RandomFilesNeverGiveUnusableValues) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> size(120, 128);
    for (int round = 0; round < 20000; ++round) {
        std::vector<unsigned char> bytes(round % 8 == 0 ? size(random) : kSettingsRecordSize);
        for (auto& b : bytes) {
            b = static_cast<unsigned char>(byte(random));
        }
        if (round % 4 != 3 && bytes.size() >= 8) {
            std::memcpy(bytes.data(), "VXQX\x00\x04\x00\x00", 8);
        }
        SettingsRecord r;
        AcceptSettingsBytes(bytes.data(), bytes.size(), &r);
        ASSERT_GE(r.engine.lensWidth, 32u);
        ASSERT_LE(r.engine.lensWidth, 16384u);
        ASSERT_EQ(0u, r.engine.lensWidth % 2);
        ASSERT_GE(r.engine.lensHeight, 32u);
        ASSERT_LE(r.engine.lensHeight, 16384u);
        ASSERT_EQ(0u, r.engine.lensHeight % 2);
        ASSERT_TRUE(std::isfinite(r.engine.zoom));
        ASSERT_GE(r.engine.zoom, 1.0f);
        ASSERT_LE(r.engine.zoom, 10.0f);
        ASSERT_LE(r.engine.displayMode, 2u);
        ASSERT_LE(r.engine.internalCursor, 5u);
        for (uint32_t slot : r.hotKeys) {
            ASSERT_EQ(0u, slot >> 16);
        }
        LensSizes sizes;
        DeriveSourceSize(&r, &sizes);
        ASSERT_GE(r.engine.sourceWidth, 2u);
        ASSERT_LE(r.engine.sourceWidth, r.engine.lensWidth);
        ASSERT_GE(r.engine.sourceHeight, 2u);
        ASSERT_LE(r.engine.sourceHeight, r.engine.lensHeight);
    }
}

TEST(EvenRound, RoundsOddValuesAwayFromZero) {
    EXPECT_EQ(84, EvenRound(83));
    EXPECT_EQ(40, EvenRound(40));
    EXPECT_EQ(0, EvenRound(0));
    EXPECT_EQ(2, EvenRound(1));
    EXPECT_EQ(-4, EvenRound(-3));
    EXPECT_EQ(-2, EvenRound(-1));
    EXPECT_EQ(-2, EvenRound(-2));
    EXPECT_EQ(std::numeric_limits<int>::max() - 1, EvenRound(std::numeric_limits<int>::max()));
    EXPECT_EQ(std::numeric_limits<int>::min(), EvenRound(std::numeric_limits<int>::min()));
}

TEST(TruncToInt, TruncatesTowardZeroAndSaturates) {
    EXPECT_EQ(83, TruncToInt(83.99));
    EXPECT_EQ(-1, TruncToInt(-1.5));
    EXPECT_EQ(std::numeric_limits<int>::max(), TruncToInt(1e300));
    EXPECT_EQ(std::numeric_limits<int>::min(), TruncToInt(-1e300));
    EXPECT_EQ(0, TruncToInt(std::nan("")));
}

TEST(DeriveSourceSize, FollowsLensZoomAndZoomScale) {
    SettingsRecord r = Defaults();
    r.engine.lensWidth = 250;
    r.engine.lensHeight = 120;
    r.engine.zoom = 3.0f;
    LensSizes sizes;
    DeriveSourceSize(&r, &sizes);
    EXPECT_EQ(84u, sizes.viewWidth);
    EXPECT_EQ(40u, sizes.viewHeight);
    EXPECT_EQ(84u, r.engine.sourceWidth);
    EXPECT_EQ(40u, r.engine.sourceHeight);

    r = Defaults();
    sizes.zoomScale = 0.9f; // 0.89999998 in single precision
    DeriveSourceSize(&r, &sizes);
    EXPECT_EQ(128u, sizes.viewWidth);
    EXPECT_EQ(64u, sizes.viewHeight);
    EXPECT_EQ(116u, r.engine.sourceWidth);
    EXPECT_EQ(58u, r.engine.sourceHeight);
}

} // namespace

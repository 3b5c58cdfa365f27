// The error log's lines and its bound: one report is one line whatever its texts hold, and the
// log never keeps more than its bound, dropping its older half when full.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log_rules.h"

namespace {

const LogLabels kEngineLabels = {"qxmagnifier[2001-0912] - ERROR", "ERROR:", "Source:"};
const LogTime kTime = {2024, 5, 1, 9, 8, 7, 6};

std::vector<std::string> SplitLines(const std::string& content) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(content.substr(start));
            break;
        }
        lines.push_back(content.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

TEST(ErrorLogLine, OneReportIsOneBoundedLine) {
    struct Case {
        const char* what;
        LogLabels labels;
        LogReport report;
        std::string expected; // empty: only the shape is checked
    };
    const std::string huge(5000, 'x');
    const Case cases[] = {
        {"a fixed number",
         kEngineLabels,
         {kTime, "Failed InitDirect3D", 399, "", "magnifier"},
         "2024-05-01 09:08:07.006 qxmagnifier[2001-0912] - ERROR | ERROR: Failed InitDirect3D | "
         "code 399 (0x0000018F) | Source: magnifier\r\n"},
        {"a failed result with its name",
         kEngineLabels,
         {kTime, "CreateDevice failed", -2005530520, "D3DERR_DEVICELOST", "3Dmagnifier"},
         "2024-05-01 09:08:07.006 qxmagnifier[2001-0912] - ERROR | ERROR: CreateDevice failed | "
         "code -2005530520 (0x88760868) D3DERR_DEVICELOST | Source: 3Dmagnifier\r\n"},
        {"line ends and tabs inside the texts",
         kEngineLabels,
         {kTime, "line 1\r\nline 2\tend", 5, "Access is denied.\r\n", "effect\ncompiler"},
         "2024-05-01 09:08:07.006 qxmagnifier[2001-0912] - ERROR | ERROR: line 1  line 2 end | "
         "code 5 (0x00000005) Access is denied.   | Source: effect compiler\r\n"},
        {"no labels",
         LogLabels{},
         {kTime, "text", 0, "", ""},
         "2024-05-01 09:08:07.006  | text | code 0 (0x00000000) |\r\n"},
        {"a text longer than a line", kEngineLabels, {kTime, huge, -1, "", "magnifier"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string line = FormatLogLine(c.labels, c.report);
        if (!c.expected.empty()) {
            EXPECT_EQ(c.expected, line);
        }
        ASSERT_LE(line.size(), kMaxLogLineBytes);
        EXPECT_EQ(line.size() - 2, line.find('\r')) << "one line end, at the end";
        EXPECT_EQ(line.size() - 1, line.find('\n'));
    }
    const std::string cut = FormatLogLine(kEngineLabels, {kTime, huge, -1, "", "magnifier"});
    EXPECT_EQ(kMaxLogLineBytes, cut.size());
    EXPECT_EQ("...\r\n", cut.substr(cut.size() - 5));
}

// A queue fed faster than it is taken keeps the newest reports; the oldest are counted into one
// line written in their place.
TEST(ErrorLogQueue, AFullQueueDropsItsOldestAndCountsThem) {
    ReportQueue queue;
    for (unsigned i = 0; i < 5; ++i) {
        const LogTime time = {2024, 5, 1, 9, 8, i, 6};
        PushReport(&queue, {time, "report " + std::to_string(i), 0, "", ""}, 3);
    }
    ASSERT_EQ(3u, queue.reports.size());
    EXPECT_EQ("report 2", queue.reports.front().text);
    EXPECT_EQ(2u, queue.dropped);
    EXPECT_EQ(
        "2024-05-01 09:08:01.006 qxmagnifier[2001-0912] - ERROR | 2 earlier reports dropped\r\n",
        FormatDroppedLine(kEngineLabels, queue.lastDropped, queue.dropped));
}

TEST(ErrorLogBound, TheBlocksLimitIsTheNumberOfLinesKept) {
    const struct {
        uint32_t limit;
        size_t lines;
    } cases[] = {{0, kDefaultLogLines}, {1, 2}, {2, 2}, {1500, 1500}, {4000000000u, 100000}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.lines, BoundFromLimit(c.limit).maxLines) << c.limit;
    }
}

// Adds reports one by one (or in batches) as the log file does, and checks after every step
// that the log holds the newest reports in order, within its bound.
void ExpectBoundHolds(size_t maxLines, size_t batch, size_t reports) {
    SCOPED_TRACE(testing::Message() << maxLines << " lines, batches of " << batch);
    const LogBound bound{maxLines};
    std::string log;
    size_t next = 0;
    size_t rotations = 0;
    while (next < reports) {
        std::vector<std::string> lines;
        for (size_t i = 0; i < batch; ++i, ++next) {
            lines.push_back("report " + std::to_string(next) + "\r\n");
        }
        if (FitsInLog(CountLogLines(log), log.size(), lines, bound)) {
            for (const std::string& line : lines) {
                log += line;
            }
        } else {
            const size_t before = CountLogLines(log);
            log = RotatedLog(log, false, lines, bound);
            ++rotations;
            EXPECT_LE(CountLogLines(log) - std::min(lines.size(), maxLines), maxLines / 2);
            EXPECT_GT(before + lines.size(), maxLines) << "rotated only when full";
        }
        const std::vector<std::string> kept = SplitLines(log);
        ASSERT_LE(kept.size(), maxLines);
        ASSERT_LE(log.size(), bound.MaxBytes());
        ASSERT_FALSE(kept.empty());
        for (size_t i = 0; i < kept.size(); ++i) {
            ASSERT_EQ("report " + std::to_string(next - kept.size() + i), kept[i]);
        }
    }
    EXPECT_GT(rotations, 0u);
}

TEST(ErrorLogBound, NeverGrowsPastItsBoundAndKeepsTheNewest) {
    const struct {
        size_t maxLines;
        size_t batch;
    } cases[] = {{2, 1}, {2, 3}, {3, 1}, {10, 1}, {11, 1}, {11, 3}, {11, 64}, {1500, 64}};
    for (const auto& c : cases) {
        ExpectBoundHolds(c.maxLines, c.batch, c.maxLines * 3 + 7);
    }
}

TEST(ErrorLogBound, RotationOfWhatOthersLeftInTheFile) {
    const LogBound bound{4};
    const std::vector<std::string> added = {"new\r\n"};
    const struct {
        const char* what;
        std::string content;
        bool fromTail;
        std::string expected;
    } cases[] = {
        {"a tail begins inside a line", "t of a line\r\nb\r\nc\r\n", true, "b\r\nc\r\nnew\r\n"},
        {"a tail without any line end", std::string(100, 'z'), true, "new\r\n"},
        {"a last line cut short is ended", "a\r\nb\r\nc\r\nd", false, "c\r\nd\r\nnew\r\n"},
        {"old lines too long for the bytes left", std::string(4090, 'q') + "\r\nshort\r\n", false,
         "short\r\nnew\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, RotatedLog(c.content, c.fromTail, added, bound)) << c.what;
    }
}

} // namespace

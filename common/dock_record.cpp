#include "dock_record.h"

#include <cstdio>

namespace {

const char kHeading[] = "Vexlume docked view";

// A decimal number with an optional minus sign, within the 32-bit range of its kind.
bool ParseWhole(std::string_view text, bool allowNegative, int64_t* value) {
    bool negative = false;
    if (allowNegative && !text.empty() && text[0] == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 10) {
        return false;
    }
    int64_t n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        n = n * 10 + (c - '0');
    }
    *value = negative ? -n : n;
    return allowNegative ? *value >= INT32_MIN && *value <= INT32_MAX : *value <= UINT32_MAX;
}

bool ParseArea(std::string_view text, AreaRect* area) {
    int32_t* sides[4] = {&area->left, &area->top, &area->right, &area->bottom};
    for (int i = 0; i < 4; ++i) {
        const size_t space = text.find(' ');
        if ((space == std::string_view::npos) != (i == 3)) {
            return false;
        }
        int64_t value = 0;
        if (!ParseWhole(text.substr(0, space), true, &value)) {
            return false;
        }
        *sides[i] = static_cast<int32_t>(value);
        text.remove_prefix(i == 3 ? text.size() : space + 1);
    }
    return true;
}

std::string AreaText(const AreaRect& a) {
    char text[64];
    std::snprintf(text, sizeof(text), "%ld %ld %ld %ld", static_cast<long>(a.left),
                  static_cast<long>(a.top), static_cast<long>(a.right),
                  static_cast<long>(a.bottom));
    return text;
}

// The next line of `text` without its line end; false at the end.
bool NextLine(std::string_view* text, std::string_view* line) {
    if (text->empty()) {
        return false;
    }
    const size_t end = text->find('\n');
    *line = text->substr(0, end);
    text->remove_prefix(end == std::string_view::npos ? text->size() : end + 1);
    if (!line->empty() && line->back() == '\r') {
        line->remove_suffix(1);
    }
    return true;
}

} // namespace

bool operator==(const AreaRect& a, const AreaRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

AreaRect AreaBesideStrip(const AreaRect& area, const AreaRect& strip, uint32_t edge) {
    AreaRect beside = area;
    switch (edge) {
    case kDockBottom:
        beside.bottom = strip.top < area.bottom ? strip.top : area.bottom;
        break;
    case kDockLeft:
        beside.left = strip.right > area.left ? strip.right : area.left;
        break;
    case kDockRight:
        beside.right = strip.left < area.right ? strip.left : area.right;
        break;
    default:
        beside.top = strip.bottom > area.top ? strip.bottom : area.top;
        break;
    }
    return beside;
}

std::string DockRecordText(const DockRecord& record) {
    return std::string(kHeading) + "\r\nwindow=" + std::to_string(record.window) +
           "\r\nedge=" + std::to_string(record.edge) + "\r\nstrip=" + AreaText(record.strip) +
           "\r\nwork_area=" + AreaText(record.workArea) + "\r\n";
}

bool ParseDockRecord(std::string_view text, DockRecord* record) {
    if (text.size() > kMaxDockMarkerBytes) {
        return false;
    }
    std::string_view line;
    if (!NextLine(&text, &line) || line != kHeading) {
        return false;
    }
    DockRecord read = {};
    unsigned seen = 0;
    while (NextLine(&text, &line)) {
        const size_t equals = line.find('=');
        const std::string_view key = line.substr(0, equals);
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view() : line.substr(equals + 1);
        int64_t number = 0;
        unsigned member;
        if (key == "window" && ParseWhole(value, false, &number)) {
            read.window = static_cast<uint32_t>(number);
            member = 1;
        } else if (key == "edge" && ParseWhole(value, false, &number) && number < kDockEdgeCount) {
            read.edge = static_cast<uint32_t>(number);
            member = 2;
        } else if (key == "strip" && ParseArea(value, &read.strip)) {
            member = 4;
        } else if (key == "work_area" && ParseArea(value, &read.workArea)) {
            member = 8;
        } else {
            return false;
        }
        if (seen & member) {
            return false;
        }
        seen |= member;
    }
    if (seen != 15) {
        return false;
    }
    *record = read;
    return true;
}

bool WorkAreaToRestore(const DockRecord& record, const AreaRect& current, AreaRect* restore) {
    const AreaRect docked = AreaBesideStrip(record.workArea, record.strip, record.edge);
    if (docked == record.workArea || !(current == docked)) {
        return false;
    }
    *restore = record.workArea;
    return true;
}

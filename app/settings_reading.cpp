#include "settings_reading.h"

#include "resources/resource_ids.h"

namespace {

constexpr ReadingItem Control(int id, const char* name = nullptr) {
    return {DialogPart::kControl, id, name};
}
constexpr ReadingItem Label(const char* text) {
    return {DialogPart::kLabel, 0, text};
}
constexpr ReadingItem Group(const char* text) {
    return {DialogPart::kGroup, 0, text};
}

constexpr ReadingItem HotKey(int slot) {
    return Control(VX_SETUP_HOTKEY_FIRST + slot);
}

// A control without a name of its own here is named by the label just before it.
constexpr ReadingItem kReadingOrder[] = {
    Group("Hot keys"),
    Label("On/Off"),
    HotKey(0),
    Label("Lock/UnLock"),
    HotKey(10),
    Label("Zoom+"),
    HotKey(1),
    Label("Zoom-"),
    HotKey(2),
    Label("Size+"),
    HotKey(3),
    Label("Size-"),
    HotKey(4),
    Label("Brightness+"),
    HotKey(6),
    Label("Brightness-"),
    HotKey(7),
    Label("Transparent+"),
    HotKey(8),
    Label("Transparent-"),
    HotKey(9),
    Label("Capture"),
    HotKey(5),
    Group("Magnifier display mode"),
    Control(VX_SETUP_SHOW_ALL),
    Control(VX_SETUP_SHOW_ONE_WINDOW),
    Control(VX_SETUP_INTERNAL_CURSOR),
    Control(VX_SETUP_CURSOR_LIST, "Internal cursor"),
    Control(VX_SETUP_HELP),
    Control(VX_SETUP_DONATE),
    Group("General settings"),
    Control(VX_SETUP_SHOW_ON_START),
    Control(VX_SETUP_START_WITH_WINDOWS),
    Control(VX_SETUP_SOUND),
    Control(VX_SETUP_FOLLOW_FOCUS),
    Group("Update frame"),
    Label("Wait"),
    Control(VX_SETUP_WAIT, "Wait, milliseconds"),
    Label("milliseconds"),
    Group("Magnifier size"),
    Control(VX_SETUP_SIZE_LIST, "Magnifier size"),
    Label("W:"),
    Control(VX_SETUP_WIDTH, "Width"),
    Label("H:"),
    Control(VX_SETUP_HEIGHT, "Height"),
    Label("Zoom:"),
    Control(VX_SETUP_ZOOM, "Zoom"),
    Control(VX_SETUP_ZOOM_LABEL),
    Group("Transparent"),
    Control(VX_SETUP_TRANSPARENCY, "Transparent"),
    Control(VX_SETUP_TRANSPARENCY_LABEL),
    Control(VX_SETUP_OK),
    Control(VX_SETUP_CANCEL),
};

constexpr int kReadingCount = sizeof(kReadingOrder) / sizeof(kReadingOrder[0]);

} // namespace

const ReadingItem* SettingsReadingOrder(int* count) {
    *count = kReadingCount;
    return kReadingOrder;
}

const char* SettingsControlName(int id) {
    const char* label = nullptr;
    for (const ReadingItem& item : kReadingOrder) {
        if (item.part == DialogPart::kControl && item.id == id) {
            return item.text != nullptr ? item.text : label;
        }
        label = item.part == DialogPart::kLabel ? item.text : nullptr;
    }
    return nullptr;
}

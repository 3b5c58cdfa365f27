#include "settings_dialog.h"

#include <commctrl.h>

#include "autostart.h"
#include "commands.h"
#include "dialog_reading.h"
#include "engine_binding.h"
#include "hotkeys.h"
#include "program_state.h"
#include "resources/resource_ids.h"
#include "scoped_handles.h"
#include "settings_file.h"
#include "settings_form.h"
#include "web_links.h"

namespace {

// The open dialog, so that a second "Settings..." brings it forward; null while it is closed.
HWND settingsDialog = nullptr;
// What the open dialog holds for the names of its controls.
AccessibleNames settingsNames;

const char* const kCursorNames[] = {"Arrow", "Hand", "Crosshair", "Dot", "None"};

// Slots 0 to 7, all empty on a first run.
constexpr int kFirstRunSlots = 8;

ScreenSize CurrentScreen() {
    return {static_cast<uint32_t>(GetSystemMetrics(SM_CXSCREEN)),
            static_cast<uint32_t>(GetSystemMetrics(SM_CYSCREEN))};
}

LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}

bool Checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void Check(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

uint32_t NumberIn(HWND dialog, int id) {
    char text[32] = {};
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return TypedNumber(text);
}

void ShowNumber(HWND dialog, int id, uint32_t value) {
    char text[16];
    wsprintfA(text, "%4u", value); // unsigned: a stored wait beyond 2^31 reads back whole
    SetDlgItemTextA(dialog, id, text);
}

void ShowZoomLabel(HWND dialog) {
    char text[16];
    ZoomLabel(settings.engine.zoom, text, sizeof(text));
    SetDlgItemTextA(dialog, VX_SETUP_ZOOM_LABEL, text);
}

void ShowTransparencyLabel(HWND dialog) {
    char text[16];
    TransparencyLabel(LoadShared(settings.engine.transparency), text, sizeof(text));
    SetDlgItemTextA(dialog, VX_SETUP_TRANSPARENCY_LABEL, text);
}

// The arrows beside a number box; the size arrows step by 2 from the first click on.
void CreateArrows(HWND dialog, int id, int buddy, int lower, int upper, int position,
                  bool stepByTwo) {
    HWND arrows = CreateUpDownControl(WS_CHILD | WS_VISIBLE | WS_BORDER | UDS_WRAP |
                                          UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_NOTHOUSANDS,
                                      0, 12, 50, 50, dialog, id, programInstance,
                                      GetDlgItem(dialog, buddy), upper, lower, position);
    if (arrows != nullptr && stepByTwo) {
        UDACCEL step = {0, 2};
        SendMessageA(arrows, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&step));
    }
}

// A system size for the DPI of the dialog's monitor where the system tells it (Windows 10 version
// 1607 on), else for the system's DPI.
int SizeForDialog(HWND dialog, int metric) {
    typedef UINT(WINAPI * DpiForWindowFn)(HWND);
    typedef int(WINAPI * MetricForDpiFn)(int, UINT);
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    const auto dpiFor = BindProc<DpiForWindowFn>(user32, "GetDpiForWindow");
    const auto metricFor = BindProc<MetricForDpiFn>(user32, "GetSystemMetricsForDpi");
    return dpiFor != nullptr && metricFor != nullptr ? metricFor(metric, dpiFor(dialog))
                                                     : GetSystemMetrics(metric);
}

// The gear at the sizes of the display: 32 and 16 pixels unscaled, larger on a scaled display.
void SetDialogIcons(HWND dialog) {
    HANDLE big = LoadImageA(programInstance, "S", IMAGE_ICON, SizeForDialog(dialog, SM_CXICON),
                            SizeForDialog(dialog, SM_CYICON), LR_SHARED);
    HANDLE small = LoadImageA(programInstance, "S", IMAGE_ICON, SizeForDialog(dialog, SM_CXSMICON),
                              SizeForDialog(dialog, SM_CYSMICON), LR_SHARED);
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void FillSizeList(HWND dialog, ScreenSize screen) {
    for (int index = 0; index < kPresetCount; ++index) {
        char text[64];
        PresetText(index, screen, text, sizeof(text));
        SendItem(dialog, VX_SETUP_SIZE_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    const int match = MatchPreset(lensSizes.baseLensWidth, lensSizes.baseLensHeight, screen);
    SendItem(dialog, VX_SETUP_SIZE_LIST, CB_SETCURSEL, static_cast<WPARAM>(match));
}

void ShowDisplayMode(HWND dialog) {
    const uint32_t mode = settings.engine.displayMode;
    Check(dialog, VX_SETUP_SHOW_ALL, mode == 0 || mode == kDisplayModeShowAll);
    Check(dialog, VX_SETUP_SHOW_ONE_WINDOW, mode == kDisplayModeOneWindow);
}

void ShowInternalCursor(HWND dialog) {
    for (const char* name : kCursorNames) {
        SendItem(dialog, VX_SETUP_CURSOR_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    const uint32_t cursor = settings.engine.internalCursor;
    SendItem(dialog, VX_SETUP_CURSOR_LIST, CB_SETCURSEL, cursor != 0 ? cursor - 1 : 0);
    Check(dialog, VX_SETUP_INTERNAL_CURSOR, cursor != 0);
    EnableWindow(GetDlgItem(dialog, VX_SETUP_CURSOR_LIST), cursor != 0);
}

// The dialog is the first-run setup only while no record of the user's is on disk and no key
// has been taken into memory either. A saved record is the user's choice even when it holds no
// keys at all; it is never taken for a first run and filled with the defaults.
bool FirstRun() {
    if (SettingsStored()) {
        return false;
    }
    for (int slot = 0; slot < kFirstRunSlots; ++slot) {
        if (settings.hotKeys[slot] != 0) {
            return false;
        }
    }
    return true;
}

void InitialiseSettingsDialog(HWND dialog) {
    settingsDialog = dialog;
    SetDialogIcons(dialog);
    SetFocus(GetDlgItem(dialog, VX_SETUP_OK));

    const ScreenSize screen = CurrentScreen();
    const EngineParameters& e = settings.engine;
    CreateArrows(dialog, VX_SETUP_WAIT_ARROWS, VX_SETUP_WAIT, 1, 200, static_cast<int>(e.frameWait),
                 false);
    CreateArrows(dialog, VX_SETUP_SIZE_ARROWS, VX_SETUP_WIDTH, kMinLensSide,
                 static_cast<int>(screen.width), static_cast<int>(lensSizes.baseLensWidth), true);
    CreateArrows(dialog, VX_SETUP_SIZE_ARROWS, VX_SETUP_HEIGHT, kMinLensSide,
                 static_cast<int>(screen.height), static_cast<int>(lensSizes.baseLensHeight), true);

    SendItem(dialog, VX_SETUP_ZOOM, TBM_SETRANGE, TRUE, MAKELPARAM(kZoomSliderMin, kZoomSliderMax));
    SendItem(dialog, VX_SETUP_ZOOM, TBM_SETPOS, TRUE, ZoomSliderPosition(e.zoom));
    ShowZoomLabel(dialog);
    SendItem(dialog, VX_SETUP_TRANSPARENCY, TBM_SETRANGE, TRUE, MAKELPARAM(0, kTransparencyMax));
    SendItem(dialog, VX_SETUP_TRANSPARENCY, TBM_SETPOS, TRUE, LoadShared(e.transparency));
    ShowTransparencyLabel(dialog);

    ShowInternalCursor(dialog);
    FillSizeList(dialog, screen);
    ShowDisplayMode(dialog);
    Check(dialog, VX_SETUP_SHOW_ON_START, settings.showOnStart != 0);
    Check(dialog, VX_SETUP_SOUND, settings.sound != 0);
    Check(dialog, VX_SETUP_FOLLOW_FOCUS, e.followFocus != 0);

    settings.startWithWindows = static_cast<uint32_t>(RunEntryPresent());
    Check(dialog, VX_SETUP_START_WITH_WINDOWS, settings.startWithWindows != 0);

    ShowNumber(dialog, VX_SETUP_WAIT, e.frameWait);
    ShowNumber(dialog, VX_SETUP_WIDTH, lensSizes.baseLensWidth);
    ShowNumber(dialog, VX_SETUP_HEIGHT, lensSizes.baseLensHeight);

    if (FirstRun()) {
        EnableWindow(GetDlgItem(dialog, VX_SETUP_CANCEL), FALSE);
    }
    for (int slot = 0; slot < kHotKeySlotCount; ++slot) {
        ShowHotKeySlot(dialog, slot);
    }
}

// A slider moved: the zoom or the transparency goes into the record at once.
void OnSlider(HWND dialog, WPARAM wParam, HWND slider) {
    const int id = GetDlgCtrlID(slider);
    if (id != VX_SETUP_ZOOM && id != VX_SETUP_TRANSPARENCY) {
        return;
    }
    const int request = LOWORD(wParam);
    const int position = request == SB_THUMBPOSITION || request == SB_THUMBTRACK
                             ? HIWORD(wParam)
                             : static_cast<int>(SendMessageA(slider, TBM_GETPOS, 0, 0));
    if (id == VX_SETUP_ZOOM) {
        settings.engine.zoom = ZoomAtSliderPosition(position);
        ShowZoomLabel(dialog);
    } else {
        StoreShared(settings.engine.transparency, TransparencyAtSliderPosition(position));
        ShowTransparencyLabel(dialog);
    }
}

int ShownPreset(HWND dialog) {
    return static_cast<int>(SendItem(dialog, VX_SETUP_SIZE_LIST, CB_GETCURSEL));
}

void ShowPreset(HWND dialog, int index) {
    if (index != ShownPreset(dialog)) {
        SendItem(dialog, VX_SETUP_SIZE_LIST, CB_SETCURSEL, static_cast<WPARAM>(index));
    }
}

// A size box changed: the list follows it.
void OnSizeEdited(HWND dialog, SizeField changed) {
    const int shown = ShownPreset(dialog);
    ShowPreset(dialog, PresetAfterEdit(shown, changed, NumberIn(dialog, VX_SETUP_WIDTH),
                                       NumberIn(dialog, VX_SETUP_HEIGHT), CurrentScreen()));
}

// An entry of the size list was chosen: a preset fills both boxes; "Custom" gives way to the
// preset the boxes already hold.
void OnPresetChosen(HWND dialog) {
    const ScreenSize screen = CurrentScreen();
    const int index = ShownPreset(dialog);
    uint32_t width = 0;
    uint32_t height = 0;
    if (PresetSize(index, screen, &width, &height)) {
        SetDlgItemInt(dialog, VX_SETUP_WIDTH, width, FALSE);
        SetDlgItemInt(dialog, VX_SETUP_HEIGHT, height, FALSE);
    } else if (index == kPresetCustom) {
        ShowPreset(dialog, MatchPreset(NumberIn(dialog, VX_SETUP_WIDTH),
                                       NumberIn(dialog, VX_SETUP_HEIGHT), screen));
    }
}

void ChooseDisplayMode(HWND dialog, bool showAll) {
    Check(dialog, VX_SETUP_SHOW_ALL, showAll);
    Check(dialog, VX_SETUP_SHOW_ONE_WINDOW, !showAll);
}

// The record as the dialog shows it, with the hot keys already taken and the sliders' values.
SettingsRecord RecordFromDialog(HWND dialog) {
    const ScreenSize screen = CurrentScreen();
    SettingsRecord record = settings;
    StampSettingsHeader(&record);
    EngineParameters& e = record.engine;
    e.frameWait = NumberIn(dialog, VX_SETUP_WAIT);
    e.lensWidth = LensSideFromTyped(NumberIn(dialog, VX_SETUP_WIDTH), screen.width);
    e.lensHeight = LensSideFromTyped(NumberIn(dialog, VX_SETUP_HEIGHT), screen.height);
    if (Checked(dialog, VX_SETUP_SHOW_ALL)) {
        e.displayMode = kDisplayModeShowAll;
    } else if (Checked(dialog, VX_SETUP_SHOW_ONE_WINDOW)) {
        e.displayMode = kDisplayModeOneWindow;
    }
    record.showOnStart = Checked(dialog, VX_SETUP_SHOW_ON_START) ? 1 : 0;
    record.sound = Checked(dialog, VX_SETUP_SOUND) ? 1 : 0;
    const LRESULT cursor = SendItem(dialog, VX_SETUP_CURSOR_LIST, CB_GETCURSEL);
    e.internalCursor = Checked(dialog, VX_SETUP_INTERNAL_CURSOR)
                           ? static_cast<uint32_t>(cursor < 0 ? 1 : cursor + 1)
                           : 0;
    e.followFocus = Checked(dialog, VX_SETUP_FOLLOW_FOCUS) ? 1 : 0;
    record.startWithWindows = Checked(dialog, VX_SETUP_START_WITH_WINDOWS) ? 1 : 0;
    return record;
}

// OK: the hot keys first, then the record and the Run entry, but only once the file holds the
// new record; a file that cannot be written leaves the record and the Run entry as they were.
void TakeSettings(HWND dialog) {
    if (LensIsOn()) {
        SwitchLensOff();
    }
    for (int slot = 0; slot < kHotKeySlotCount; ++slot) {
        TakeHotKeySlot(GetDlgItem(dialog, VX_SETUP_HOTKEY_FIRST + slot), mainWindow, slot);
    }
    const SettingsRecord record = RecordFromDialog(dialog);
    if (SaveSettings(record)) {
        settings = record;
        const int wanted = settings.startWithWindows != 0 ? 1 : 0;
        if (RunEntryPresent() != wanted) {
            SetRunEntry(wanted);
        }
    }
    lensSizes.baseLensWidth = settings.engine.lensWidth;
    lensSizes.baseLensHeight = settings.engine.lensHeight;
    lensSizes.sizeScale = 1.0f;
    lensSizes.zoomScale = 1.0f;
    DeriveSourceSize(&settings, &lensSizes);
    EndDialog(dialog, 1);
}

// The close box (and Alt+F4) closes the dialog like Cancel, except on a first run, where it does
// nothing. The low four bits of the command are the system's own.
INT_PTR OnSystemCommand(HWND dialog, WPARAM wParam) {
    if ((wParam & 0xFFF0) != SC_CLOSE) {
        return FALSE;
    }
    if (!FirstRun()) {
        EndDialog(dialog, 1);
    }
    return TRUE;
}

// Every command goes through the program's one dispatcher; Esc arrives there as command 2, Exit.
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitialiseSettingsDialog(dialog);
        settingsNames = ArrangeSettingsForReading(dialog);
        return FALSE; // the focus is on OK
    case WM_DESTROY:
        ForgetSettingsNames(dialog, &settingsNames);
        return FALSE;
    case WM_COMMAND:
        HandleCommand(dialog, wParam);
        return TRUE;
    case WM_HSCROLL:
        OnSlider(dialog, wParam, reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_SYSCOMMAND:
        return OnSystemCommand(dialog, wParam);
    default:
        return FALSE;
    }
}

} // namespace

void OpenSettings() {
    if (settingsDialog != nullptr) {
        SetForegroundWindow(settingsDialog);
        return;
    }
    const bool wasOn = LensIsOn();
    if (wasOn) {
        SwitchLensOff();
    }
    DialogBoxParamA(programInstance, "SETUP", nullptr, SettingsDialogProc, 0);
    settingsDialog = nullptr;
    if (wasOn) {
        SwitchLensOff();
        SwitchLensOn(mainWindow);
    }
}

void HandleSettingsCommand(HWND window, WPARAM wParam) {
    HWND dialog = settingsDialog;
    if (dialog == nullptr || window != dialog) {
        return;
    }
    const int notification = HIWORD(wParam);
    switch (LOWORD(wParam)) {
    case VX_SETUP_SHOW_ALL:
        ChooseDisplayMode(dialog, true);
        break;
    case VX_SETUP_SHOW_ONE_WINDOW:
        ChooseDisplayMode(dialog, false);
        break;
    case VX_SETUP_INTERNAL_CURSOR:
        EnableWindow(GetDlgItem(dialog, VX_SETUP_CURSOR_LIST),
                     Checked(dialog, VX_SETUP_INTERNAL_CURSOR));
        break;
    case VX_SETUP_SIZE_LIST:
        if (notification == CBN_SELENDOK) {
            OnPresetChosen(dialog);
        }
        break;
    case VX_SETUP_WIDTH:
    case VX_SETUP_HEIGHT:
        if (notification == EN_UPDATE) {
            OnSizeEdited(dialog,
                         LOWORD(wParam) == VX_SETUP_WIDTH ? SizeField::Width : SizeField::Height);
        }
        break;
    case VX_SETUP_DONATE:
        OpenWebPage(WebPage::Donate);
        break;
    case VX_SETUP_HELP:
        OpenWebPage(WebPage::Help);
        break;
    case VX_SETUP_OK:
        TakeSettings(dialog);
        break;
    case VX_SETUP_CANCEL:
        EndDialog(dialog, 1);
        break;
    default:
        break;
    }
}

void ShowHotKeysInOpenSettings() {
    if (settingsDialog == nullptr) {
        return;
    }
    for (int slot = 0; slot < kHotKeySlotCount; ++slot) {
        ShowHotKeySlot(settingsDialog, slot);
    }
}

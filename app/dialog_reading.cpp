#include "dialog_reading.h"

#include <initguid.h>

#include <commctrl.h>
#include <oleacc.h>

#include "program_seams.h"
#include "scoped_handles.h"
#include "settings_reading.h"

namespace {

HWND FindPart(HWND dialog, const ReadingItem& item) {
    switch (item.part) {
    case DialogPart::kControl:
        return GetDlgItem(dialog, item.id);
    case DialogPart::kLabel:
        return FindWindowExA(dialog, nullptr, "Static", item.text);
    case DialogPart::kGroup:
        return FindWindowExA(dialog, nullptr, "Button", item.text);
    }
    return nullptr;
}

// The name of a control: its own from the table, or its up-down buddy's.
const char* NameOf(HWND control) {
    char kind[32] = {};
    GetClassNameA(control, kind, sizeof(kind));
    if (lstrcmpiA(kind, UPDOWN_CLASSA) == 0) {
        control = reinterpret_cast<HWND>(SendMessageA(control, UDM_GETBUDDY, 0, 0));
    }
    return control != nullptr ? SettingsControlName(GetDlgCtrlID(control)) : nullptr;
}

ComPtr<IAccPropServices> AnnotationService() {
    ComPtr<IAccPropServices> service;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(service.Put())))) {
        service.Reset();
    }
    return service;
}

} // namespace

AccessibleNames ArrangeSettingsForReading(HWND dialog) {
    int count = 0;
    const ReadingItem* items = SettingsReadingOrder(&count);
    HWND previous = HWND_TOP;
    for (int i = 0; i < count; ++i) {
        if (HWND part = FindPart(dialog, items[i])) {
            SetWindowPos(part, previous, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
            previous = part;
        }
    }

    AccessibleNames names;
    names.com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    const ComPtr<IAccPropServices> service = AnnotationService();
    for (HWND child = GetWindow(dialog, GW_CHILD); service && child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const char* name = NameOf(child);
        WCHAR wide[64];
        if (name != nullptr && MultiByteToWideChar(CP_ACP, 0, name, -1, wide, 64) > 0) {
            Seams().setHwndPropStr(service.Get(), child, static_cast<DWORD>(OBJID_CLIENT),
                                   CHILDID_SELF, PROPID_ACC_NAME, wide);
        }
    }
    return names;
}

void ForgetSettingsNames(HWND dialog, AccessibleNames* names) {
    const ComPtr<IAccPropServices> service = AnnotationService();
    MSAAPROPID name = PROPID_ACC_NAME;
    for (HWND child = GetWindow(dialog, GW_CHILD); service && child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (NameOf(child) != nullptr) {
            service->ClearHwndProps(child, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name,
                                    1);
        }
    }
    if (names->com) {
        CoUninitialize();
        names->com = false;
    }
}

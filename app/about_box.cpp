#include "about_box.h"

#include <windows.h>

#include "resources/resource_ids.h"
#include "web_links.h"

namespace {

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case VX_ABOUT_OK:
        case IDCANCEL:
            EndDialog(dialog, 1);
            break;
        case VX_ABOUT_DONATE:
            OpenWebPage(WebPage::Donate);
            break;
        case VX_ABOUT_HELP:
            OpenWebPage(WebPage::Help);
            break;
        default:
            break;
        }
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void ShowAboutBox() {
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(VX_ABOUT_BOX), nullptr,
                    AboutBoxProc, 0);
}

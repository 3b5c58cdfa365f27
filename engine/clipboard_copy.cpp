#include "clipboard_copy.h"

#include "error_reporter.h"
#include "settings_record.h"

namespace {

// Hands the bitmap to the clipboard; true when the clipboard took it over.
bool PutOnClipboard(HWND owner, HBITMAP bitmap) {
    if (!OpenClipboard(owner)) {
        return false;
    }
    const bool taken = EmptyClipboard() && SetClipboardData(CF_BITMAP, bitmap) != nullptr;
    CloseClipboard();
    return taken;
}

} // namespace

ClipboardCopy::ClipboardCopy()
    : owner_(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleA(nullptr), nullptr)) {}

ClipboardCopy::~ClipboardCopy() {
    if (owner_ != nullptr) {
        DestroyWindow(owner_);
    }
}

void ClipboardCopy::Serve(HDC source, UINT lensWidth, UINT lensHeight, uint32_t& captureRequest) {
    UniqueMemoryDc memory(source != nullptr ? CreateCompatibleDC(source) : nullptr);
    if (!memory) {
        StoreShared(captureRequest, 0);
        ReportError("FAILED - Back to Clipboard", static_cast<int>(GetLastError()), "magnifier");
        return;
    }
    {
        // A device-dependent bitmap in the screen's format, the form every program can take;
        // one made to match the source's context would be a section of its memory layout.
        WindowDc screen(nullptr, GetDC(nullptr));
        pending_.Reset(CreateCompatibleBitmap(screen.Get(), static_cast<int>(lensWidth),
                                              static_cast<int>(lensHeight)));
    }
    {
        SelectedObject selected(memory.Get(), pending_.Get());
        BitBlt(memory.Get(), 0, 0, static_cast<int>(lensWidth), static_cast<int>(lensHeight),
               source, 0, 0, SRCCOPY);
    }
    if (LoadShared(captureRequest) == 1 && pending_ &&
        PutOnClipboard(owner_, static_cast<HBITMAP>(pending_.Get()))) {
        pending_.Release();
    }
    StoreShared(captureRequest, 0);
}

#include "web_links.h"

#include <windows.h>

#include <shellapi.h>

void OpenWebPage(WebPage page) {
    ShellExecuteA(nullptr, nullptr, WebPageAddress(page, GetSystemDefaultLangID()), nullptr,
                  nullptr, SW_SHOWNORMAL);
}

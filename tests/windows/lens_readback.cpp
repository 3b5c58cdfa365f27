#include "lens_readback.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "test_support.h"

bool ReadClipboardElsewhere(ClipboardImage* image) {
    const std::string file = ProgramFolder() + "\\clipboard_probe.out";
    DeleteFileA(file.c_str());
    std::string command = "\"" + ProgramFolder() + "\\clipboard_probe.exe\" \"" + file + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    DWORD code = 1;
    if (!WaitForEnd(process.hProcess)) {
        TerminateProcess(process.hProcess, 1);
    }
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    FILE* in = code == 0 ? std::fopen(file.c_str(), "rb") : nullptr;
    if (in == nullptr) {
        return false;
    }
    int32_t size[2] = {};
    bool read = std::fread(size, sizeof(size), 1, in) == 1 && size[0] > 0 && size[1] > 0;
    if (read) {
        image->width = size[0];
        image->height = size[1];
        image->pixels.resize(static_cast<size_t>(size[0]) * size[1]);
        read =
            std::fread(image->pixels.data(), 4, image->pixels.size(), in) == image->pixels.size();
    }
    std::fclose(in);
    DeleteFileA(file.c_str());
    return read;
}

void EmptyTheClipboard() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

HWND FindLensWindow() {
    return FindWindowA("VX Overlay Window", nullptr);
}

bool WaitForLensAt(const RECT& expected) {
    return WaitUntil([&] {
        RECT actual;
        HWND lens = FindLensWindow();
        return lens != nullptr && GetWindowRect(lens, &actual) && EqualRect(&actual, &expected);
    });
}

bool WaitForCaptureServed(const SettingsRecord& record) {
    return WaitUntil([&] { return LoadShared(record.engine.captureRequest) == 0; });
}

bool WaitForFrames(SettingsRecord* record, int count) {
    for (int frame = 0; frame < count; ++frame) {
        StoreShared(record->engine.captureRequest, 2);
        if (!WaitForCaptureServed(*record)) {
            return false;
        }
    }
    return true;
}

RECT LensAround(int x, int y) {
    return RECT{x + 1 - 128, y + 1 - 64, x + 1 + 128, y + 1 + 64};
}

std::vector<uint32_t> OneWindowLensOf(const std::vector<uint32_t>& picture, const RECT& window,
                                      POINT at) {
    const int pictureWidth = window.right - window.left;
    std::vector<uint32_t> lens(256 * 128, 0u);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 256; ++x) {
            const POINT screen = {at.x + 1 - 64 + x / 2, at.y + 1 - 32 + y / 2};
            if (PtInRect(&window, screen)) {
                lens[static_cast<size_t>(y) * 256 + x] =
                    0xFF000000u |
                    picture[static_cast<size_t>(screen.y - window.top) * pictureWidth + screen.x -
                            window.left];
            }
        }
    }
    return lens;
}

int CopyMismatches(const ClipboardImage& copy, const std::vector<uint32_t>& expected) {
    if (copy.width != 256 || copy.height != 128 || expected.size() != copy.pixels.size()) {
        ADD_FAILURE() << "a copy of " << copy.width << " x " << copy.height;
        return -1;
    }
    int mismatches = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
        const uint32_t colour = expected[i] & 0x00FFFFFFu;
        if (copy.pixels[i] != colour && ++mismatches < 5) {
            ADD_FAILURE() << "copy pixel (" << i % 256 << ", " << i / 256 << ") is " << std::hex
                          << copy.pixels[i] << ", not " << colour;
        }
    }
    return mismatches;
}

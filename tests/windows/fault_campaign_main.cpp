// Drives the engine and the real tray program into faults and prints one table row per case:
//
//     fault_campaign [long]
//
// The engine's Direct3D and DirectDraw seams failing at every step of its set-up and its frame,
// lenses larger than the largest texture, Direct3D unavailable (in this process and for the tray
// program), a plug-in folder full of junk and settings files of every kind. "long" writes
// settings files of every size from 0 to 200 bytes, with more random contents; the default is a
// sample that fits CI's time. Exit code 1 when any row is wrong.
#include <cstdio>
#include <cstring>
#include <string>

#include "fault_campaign.h"
#include "scoped_handles.h"

namespace {

// FNV-1a over the file's bytes.
unsigned long long FileDigest(const std::string& path) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) {
        return 0;
    }
    unsigned long long digest = 14695981039346656037ull;
    unsigned char block[65536];
    DWORD read = 0;
    while (ReadFile(file.Get(), block, sizeof(block), &read, nullptr) && read > 0) {
        for (DWORD i = 0; i < read; ++i) {
            digest = (digest ^ block[i]) * 1099511628211ull;
        }
    }
    return digest;
}

void AddFolder(const std::string& folder, const std::string& prefix, FolderSnapshot* snapshot) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            (*snapshot)[prefix + name + "\\"] = 0;
            AddFolder(folder + "\\" + name, prefix + name + "\\", snapshot);
        } else {
            (*snapshot)[prefix + name] = FileDigest(folder + "\\" + name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

} // namespace

void CampaignTable::Section(const char* kind) {
    kind_ = kind;
    std::printf("\n%s\n| %-37s | %-64s | %-14s | %-44s | %-9s | %s\n", kind, "case",
                "what was done", "notification", "state after", "files", "result");
    std::fflush(stdout);
}

void CampaignTable::Add(const CampaignRow& row) {
    ++rows_;
    wrong_ += row.fault.empty() ? 0 : 1;
    std::printf("| %-37s | %-64s | %-14s | %-44s | %-9s | %s\n", kind_.c_str(), row.done.c_str(),
                row.notifications.c_str(), row.state.c_str(),
                row.filesUnchanged ? "unchanged" : "CHANGED",
                row.fault.empty() ? "ok" : ("WRONG: " + row.fault).c_str());
    std::fflush(stdout);
}

void Expect(CampaignRow* row, bool holds, const std::string& problem) {
    if (!holds) {
        row->fault += (row->fault.empty() ? "" : "; ") + problem;
    }
}

FolderSnapshot SnapshotFolder(const std::string& folder) {
    FolderSnapshot snapshot;
    AddFolder(folder, "", &snapshot);
    return snapshot;
}

bool UnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

NoDirect3DFor::NoDirect3DFor(const std::string& exe)
    : key_("Software\\Wine\\AppDefaults\\" + exe + "\\Direct3D") {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "renderer", 0, REG_SZ, reinterpret_cast<const BYTE*>("no3d"), 5);
        RegCloseKey(key);
    }
}

NoDirect3DFor::~NoDirect3DFor() {
    RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str());
}

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--engine-without-direct3d") {
        return RunEngineWithoutDirect3D();
    }
    if (!mode.empty() && mode != "long") {
        std::printf("usage: fault_campaign [long]\n");
        return 2;
    }
    CampaignTable table;
    RunEngineSeamCases(&table);
    RunLensSizeCases(&table);
    RunNoDirect3DEngineCase(&table);
    RunProgramCases(&table, mode == "long");
    std::printf("\nfault campaign: %d cases, %d wrong\n", table.Rows(), table.Wrong());
    return table.Wrong() == 0 ? 0 : 1;
}

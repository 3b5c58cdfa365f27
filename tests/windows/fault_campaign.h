// The fault campaign: the engine and the real tray program driven into faults, one row of a table
// per case. Every case must end with the lens working or cleanly off with the right
// notification, the program alive, and no file changed that the user did not change.
#pragma once

#include <windows.h>

#include <map>
#include <string>

// One case as the table prints it.
struct CampaignRow {
    std::string done;          // what was done
    std::string notifications; // the codes received, in order ("4 1"), or what the program showed
    std::string state;         // the state after
    bool filesUnchanged = true;
    std::string fault; // empty when the row is right, else what was wrong
};

// Prints each row as it is added, under the heading of its kind of fault, and counts the wrong
// ones.
class CampaignTable {
public:
    void Section(const char* kind);
    void Add(const CampaignRow& row);
    int Rows() const { return rows_; }
    int Wrong() const { return wrong_; }

private:
    std::string kind_;
    int rows_ = 0;
    int wrong_ = 0;
};

// Appends `problem` to the row's fault when `holds` is false.
void Expect(CampaignRow* row, bool holds, const std::string& problem);

// Every file under a folder (sub-folders included) with a digest of its content; folders appear
// as names ending in a backslash.
using FolderSnapshot = std::map<std::string, unsigned long long>;
FolderSnapshot SnapshotFolder(const std::string& folder);

// Whether this runs under Wine, where Direct3D can be made unavailable for one program.
bool UnderWine();

// Wine's Direct3D without 3D for the programs named `exe` that start while it lives
// (HKCU\Software\Wine\AppDefaults\<exe>\Direct3D "renderer" = "no3d"); Windows ignores the key.
class NoDirect3DFor {
public:
    explicit NoDirect3DFor(const std::string& exe);
    ~NoDirect3DFor();
    NoDirect3DFor(const NoDirect3DFor&) = delete;
    NoDirect3DFor& operator=(const NoDirect3DFor&) = delete;

private:
    std::string key_;
};

// The sections of the campaign.
void RunEngineSeamCases(CampaignTable* table);
void RunLensSizeCases(CampaignTable* table);
void RunNoDirect3DEngineCase(CampaignTable* table);
void RunProgramCases(CampaignTable* table, bool longRun);

// The engine started in this process with Direct3D unavailable: the child's part of
// RunNoDirect3DEngineCase. The exit code is the one code received, 9 for none or more than one or
// an unclean end.
int RunEngineWithoutDirect3D();

// The engine in this process: its Direct3D and DirectDraw seams failing at every step of the
// set-up and of the frame, lenses larger than the device's largest texture, and Direct3D
// unavailable altogether (in a child process of this program, since Wine reads its renderer
// setting when a process first loads Direct3D).
#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "engine_state.h"
#include "fake_directdraw.h"
#include "fault_campaign.h"
#include "process_census.h"
#include "scoped_handles.h"
#include "scripted_direct3d.h"
#include "test_support.h"

extern "C" HANDLE WINAPI qxCreateMagnifier(EngineParameters*, EngineCallback);
extern "C" int WINAPI qxCloseMagnifier(HANDLE);

namespace {

const char kLensWindowClass[] = "VX Overlay Window";

// What one start of the engine did, from qxCreateMagnifier to the return of qxCloseMagnifier.
struct EngineRun {
    std::string codes;  // in the order they arrived
    std::string sorted; // the same, sorted: compared with the expectation
    std::string shown;  // what the lens showed while the run lasted
    bool threadEnded = false;
    bool windowLeft = false;
};

std::string Codes(bool sorted) {
    std::vector<int> codes;
    for (const Notification& notification : Notifications()) {
        codes.push_back(notification.code);
    }
    if (sorted) {
        std::sort(codes.begin(), codes.end());
    }
    std::string text;
    for (int code : codes) {
        text += (text.empty() ? "" : " ") + std::to_string(code);
    }
    return text;
}

bool HasCode(int code) {
    for (const Notification& notification : Notifications()) {
        if (notification.code == code) {
            return true;
        }
    }
    return false;
}

bool RunEnded() {
    return HasCode(kNotifyEnded) || HasCode(kNotifySurfaceLost) || HasCode(kNotifyPresentFailed);
}

DWORD WINAPI CloseEngine(LPVOID thread) {
    qxCloseMagnifier(static_cast<HANDLE>(thread));
    return 0;
}

// Starts the engine, calls `during` once the lens is up, lets it run a few frames (counted by
// `frames` when given) with one move of the pointer between them, and closes it
// as the main program does, on a thread of its own so that a close that never returns is seen
// instead of waited for.
EngineRun RunEngine(SettingsRecord* record, const std::function<void()>& during,
                    const std::function<int()>& frames, const std::function<std::string()>& shown) {
    EngineRun run;
    ClearNotifications();
    ClearRecordedCalls();
    // Not MovePointer: under Wine each helper process it starts leaves this process a file
    // handle, which the census would count; where the pointer stands matters little here.
    SetCursorPos(600, 500);
    HANDLE thread = qxCreateMagnifier(&record->engine, TestCallback);
    if (thread == nullptr) {
        run.shown = "no thread";
        return run;
    }
    HANDLE watched = nullptr;
    DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &watched, SYNCHRONIZE, FALSE,
                    0);
    UniqueHandle engineThread(watched);
    WaitUntil([] { return !Notifications().empty(); });
    auto runFrames = [&frames] {
        if (frames) {
            const int start = frames();
            WaitUntil([&] { return RunEnded() || frames() >= start + 4; }, frames);
        }
    };
    if (HasCode(kNotifyLensUp)) {
        during();
        runFrames();
        SetCursorPos(700, 560);
        runFrames();
    }
    run.shown = shown();
    UniqueHandle closer(CreateThread(nullptr, 0, CloseEngine, thread, 0, nullptr));
    run.threadEnded =
        WaitForEnd(closer.Get()) && WaitForSingleObject(engineThread.Get(), 0) == WAIT_OBJECT_0;
    // A run that came up ends with one more code; one that never came up has sent its last.
    if (HasCode(kNotifyLensUp)) {
        WaitUntil(RunEnded);
    }
    Sleep(50);
    run.codes = Codes(false);
    run.sorted = Codes(true);
    run.windowLeft = FindWindowA(kLensWindowClass, nullptr) != nullptr;
    return run;
}

// What the census grew by between two counts, in words; empty when nothing grew.
std::string Growth(const ProcessCensus& before, const ProcessCensus& after) {
    std::string growth;
    auto add = [&growth](const std::string& what, int delta) {
        if (delta != 0) {
            growth += (growth.empty() ? "" : ", ") + std::string(delta > 0 ? "+" : "") +
                      std::to_string(delta) + " " + what;
        }
    };
    std::map<std::string, int> types = after.handlesByType;
    for (const auto& entry : before.handlesByType) {
        types[entry.first] -= entry.second;
    }
    for (const auto& entry : types) {
        add(entry.first + " handles", entry.second);
    }
    add("windows", after.windows - before.windows);
    add("threads", after.threads - before.threads);
    return growth;
}

ProcessCensus Census() {
    ProcessCensus census;
    TakeSettledCensus(GetCurrentProcess(), GetCurrentProcessId(), &census);
    return census;
}

// One seam failing: how it is set up before the start and, for faults of the frame, once the
// lens is up; the codes expected, sorted.
struct SeamCase {
    std::string done;
    std::function<void(Direct3DScript&, FakeDirectDraw&)> before;
    std::function<void(Direct3DScript&, FakeDirectDraw&)> during;
    const char* expected;
};

void Nothing(Direct3DScript&, FakeDirectDraw&) {}

std::function<void(Direct3DScript&, FakeDirectDraw&)> Step(FakeStep step) {
    return [step](Direct3DScript&, FakeDirectDraw& fake) {
        fake.QueueStepResult(step, DDERR_GENERIC);
    };
}

std::function<void(Direct3DScript&, FakeDirectDraw&)> Method(FakeRole role, FakeMethod method,
                                                             HRESULT result) {
    return [role, method, result](Direct3DScript&, FakeDirectDraw& fake) {
        fake.QueueResult(role, method, result);
    };
}

std::vector<SeamCase> SeamCases(int resources) {
    using D3D = Direct3DScript;
    using DD = FakeDirectDraw;
    std::vector<SeamCase> cases = {
        {"Direct3DCreate9 fails once (tried again after 1 s)",
         [](D3D& s, DD&) { s.objectFailures = 1; }, Nothing, "1 4"},
        {"Direct3DCreate9 fails twice", [](D3D& s, DD&) { s.objectFailures = 2; }, Nothing, "0"},
        {"CreateDevice fails with hardware vertex processing",
         [](D3D& s, DD&) { s.deviceAnswers = {E_FAIL}; }, Nothing, "1 4"},
        {"CreateDevice fails both ways",
         [](D3D& s, DD&) {
             s.deviceAnswers = {D3DERR_INVALIDCALL, D3DERR_INVALIDCALL};
         },
         Nothing, "0"},
        {"CreateDevice finds the display busy once",
         [](D3D& s, DD&) { s.deviceAnswers = {D3DERR_DEVICELOST}; }, Nothing, "1 4"},
        {"CreateVertexDeclaration fails", [](D3D& s, DD&) { s.declarationFailure = E_FAIL; },
         Nothing, "0"},
        {"device below pixel shader 2.0",
         [](D3D& s, DD&) { s.pixelShaderVersion = D3DPS_VERSION(1, 4); }, Nothing, "1 4"},
    };
    for (int n = 1; n <= resources; ++n) {
        cases.push_back({"texture or surface " + std::to_string(n) + " of " +
                             std::to_string(resources) + " cannot be made",
                         [n](D3D& s, DD&) { s.failingResource = n; }, Nothing, "0"});
    }
    const std::vector<SeamCase> frameAndDirectDraw = {
        {"frame: read-back finds the device lost, reset works", Nothing,
         [](D3D& s, DD&) {
             s.cooperativeAnswers = {D3DERR_DEVICENOTRESET};
             s.readBackAnswers = {D3DERR_DEVICELOST};
         },
         "1 4"},
        {"frame: device lost, its reset fails once", Nothing,
         [](D3D& s, DD&) {
             s.cooperativeAnswers = {D3DERR_DEVICENOTRESET};
             s.resetAnswers = {E_FAIL};
             s.readBackAnswers = {D3DERR_DEVICELOST};
         },
         "1 4"},
        {"frame: device broken, no new Direct3D object", Nothing,
         [](D3D& s, DD&) {
             s.objectFailures = 2;
             s.cooperativeAnswers = {D3DERR_DRIVERINTERNALERROR};
             s.readBackAnswers = {D3DERR_DEVICELOST};
         },
         "2 4"},
        {"DirectDrawCreate fails once", Step(FakeStep::Create), Nothing, "1 4"},
        {"QueryInterface IDirectDraw2 fails once", Step(FakeStep::QueryInterface), Nothing, "1 4"},
        {"SetCooperativeLevel fails once", Step(FakeStep::SetCooperativeLevel), Nothing, "1 4"},
        {"GetCaps fails once", Step(FakeStep::GetCaps), Nothing, "1 4"},
        {"CreateSurface lpDDSBackTransparent fails once", Step(FakeStep::CreateOffscreen), Nothing,
         "1 4"},
        {"CreateSurface lpDDSPrimary fails once", Step(FakeStep::CreatePrimary), Nothing, "1 4"},
        {"CreateSurface lpDDSOverlay fails once", Step(FakeStep::CreateOverlay), Nothing, "1 4"},
        {"GetAttachedSurface back buffer fails once", Step(FakeStep::GetAttachedSurface), Nothing,
         "1 4"},
        {"UpdateOverlay (show) fails once",
         Method(FakeRole::Overlay, FakeMethod::UpdateOverlay, DDERR_GENERIC), Nothing, "1 4"},
        {"frame: Flip fails once", Nothing,
         Method(FakeRole::Overlay, FakeMethod::Flip, DDERR_GENERIC), "3 4"},
        {"frame: Flip finds the surface lost once", Nothing,
         Method(FakeRole::Overlay, FakeMethod::Flip, DDERR_SURFACELOST), "1 4"},
        {"frame: Flip finds the overlay busy once", Nothing,
         Method(FakeRole::Overlay, FakeMethod::Flip, DDERR_SURFACEBUSY), "2 4"},
        {"frame: surface lost, primary Restore fails once", Nothing,
         [](D3D&, DD& fake) {
             fake.QueueResult(FakeRole::Primary, FakeMethod::Restore, DDERR_GENERIC);
             fake.QueueResult(FakeRole::Overlay, FakeMethod::Flip, DDERR_SURFACELOST);
         },
         "2 4"},
        {"frame: SetOverlayPosition fails once", Nothing,
         Method(FakeRole::Overlay, FakeMethod::SetOverlayPosition, DDERR_GENERIC), "3 4"},
        {"frame: SetOverlayPosition invalid position once", Nothing,
         Method(FakeRole::Overlay, FakeMethod::SetOverlayPosition, DDERR_INVALIDPOSITION), "1 4"},
        {"frame: SetOverlayPosition overlay not visible once", Nothing,
         Method(FakeRole::Overlay, FakeMethod::SetOverlayPosition, DDERR_OVERLAYNOTVISIBLE), "1 4"},
        {"frame: back buffer Lock fails once", Nothing,
         Method(FakeRole::BackBuffer, FakeMethod::Lock, DDERR_GENERIC), "1 4"},
        {"frame: back buffer Unlock fails once", Nothing,
         Method(FakeRole::BackBuffer, FakeMethod::Unlock, DDERR_GENERIC), "1 4"},
    };
    cases.insert(cases.end(), frameAndDirectDraw.begin(), frameAndDirectDraw.end());
    return cases;
}

std::string ShownThroughFake(FakeDirectDraw& fake) {
    FakeSurface* overlay = fake.Surface(FakeRole::Overlay);
    HWND window = FindWindowA(kLensWindowClass, nullptr);
    if (window != nullptr && IsWindowVisible(window)) {
        return "lens window";
    }
    if (overlay != nullptr && overlay->References() > 0 && overlay->Flips() > 0) {
        return "overlay, " + std::to_string(overlay->Flips()) + " flips";
    }
    return "nothing shown";
}

// Checks what every run must leave: its thread ended, no lens window.
void ExpectCleanEnd(CampaignRow* row, const EngineRun& run) {
    row->state = run.shown + (run.threadEnded ? "; thread ended" : "; THREAD RUNS");
    Expect(row, run.threadEnded, "the engine's thread did not end");
    Expect(row, !run.windowLeft, "a lens window was left");
}

// Runs a case and counts what the process holds before and after. What the system makes for good
// the first times a path runs (objects Wine makes lazily) is no leak: a case after which the
// process holds more runs again, up to twice more, and only growth that comes every time is
// wrong.
CampaignRow WithCensus(const std::function<CampaignRow()>& once) {
    constexpr int kReruns = 2;
    ProcessCensus before = Census();
    CampaignRow row = once();
    const std::string growth = Growth(before, Census());
    std::string repeated = growth;
    for (int rerun = 0; rerun < kReruns && !repeated.empty(); ++rerun) {
        before = Census();
        const CampaignRow again = once();
        repeated = Growth(before, Census());
        Expect(&row, again.fault.empty(), "run again: " + again.fault);
    }
    if (!growth.empty()) {
        row.state += "; " + growth + (repeated.empty() ? " at first" : " every time");
    }
    Expect(&row, repeated.empty(), "the process holds more after every run: " + repeated);
    return row;
}

// One run through both seams that works, so that whatever the first run of a process makes for
// good does not count as a leak of the first case; returns the textures and surfaces it made.
int WarmUp(SettingsRecord* record, const FrameCounter& frames) {
    Direct3DScript script;
    ScriptedDirect3D scripted(&script);
    FakeDirectDraw fake;
    fake.AcceptOverlayFormat(FakeRgbFormat(32, 0xFF0000, 0xFF00, 0xFF));
    RunEngine(
        record, [] {}, std::cref(frames), [] { return std::string(); });
    return script.resourceCalls;
}

} // namespace

void RunEngineSeamCases(CampaignTable* table) {
    table->Section("Direct3D and DirectDraw seams failing");
    PublishedOwner owner;
    SettingsRecord record = DefaultRecord();
    record.engine.frameWait = 5;
    const FrameCounter frames(&record);
    const int resources = WarmUp(&record, frames);
    for (const SeamCase& c : SeamCases(resources)) {
        table->Add(WithCensus([&] {
            CampaignRow row;
            EngineRun run;
            {
                Direct3DScript script;
                ScriptedDirect3D scripted(&script);
                FakeDirectDraw fake;
                fake.AcceptOverlayFormat(FakeRgbFormat(32, 0xFF0000, 0xFF00, 0xFF));
                c.before(script, fake);
                run = RunEngine(
                    &record, [&] { c.during(script, fake); }, std::cref(frames),
                    [&] { return ShownThroughFake(fake); });
                Expect(&row, fake.OutstandingReferences() == 0, "DirectDraw objects still held");
                Expect(&row, fake.Problems().empty(), "DirectDraw misused");
            }
            row.done = c.done;
            row.notifications = run.codes;
            Expect(&row, run.sorted == c.expected, std::string("expected codes ") + c.expected);
            ExpectCleanEnd(&row, run);
            return row;
        }));
    }
}

void RunLensSizeCases(CampaignTable* table) {
    table->Section("lens size beyond the limits");
    PublishedOwner owner;
    D3DCAPS9 caps = {};
    {
        ComPtr<IDirect3D9> d3d;
        *d3d.Put() = Direct3DCreate9(D3D_SDK_VERSION);
        if (!d3d || FAILED(d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps))) {
            CampaignRow row;
            row.done = "read the device's capabilities";
            Expect(&row, false, "no Direct3D device to ask");
            table->Add(row);
            return;
        }
    }
    const uint32_t wide = caps.MaxTextureWidth + 2;
    const uint32_t tall = caps.MaxTextureHeight + 2;
    const std::string largest = ", largest texture " + std::to_string(caps.MaxTextureWidth) +
                                " x " + std::to_string(caps.MaxTextureHeight);
    // Lenses the main program never hands over but the engine's export takes: larger than any
    // texture, and smaller than any lens the settings allow, down to a source of no pixels.
    const uint32_t sizes[][2] = {{wide, 128},  {128, tall}, {caps.MaxTextureWidth, 128},
                                 {wide, tall}, {2, 2},      {1, 1},
                                 {33, 17}};
    SettingsRecord record = DefaultRecord();
    const FrameCounter frames(&record);
    for (const auto& size : sizes) {
        record.engine.lensWidth = size[0];
        record.engine.lensHeight = size[1];
        record.engine.sourceWidth = size[0] / 2;
        record.engine.sourceHeight = size[1] / 2;
        table->Add(WithCensus([&] {
            const EngineRun run = RunEngine(
                &record, [] {}, std::cref(frames),
                [] {
                    HWND window = FindWindowA(kLensWindowClass, nullptr);
                    return std::string(window != nullptr && IsWindowVisible(window)
                                           ? "lens window"
                                           : "nothing shown");
                });
            CampaignRow row;
            row.done = "lens " + std::to_string(size[0]) + " x " + std::to_string(size[1]) +
                       ", source " + std::to_string(size[0] / 2) + " x " +
                       std::to_string(size[1] / 2) +
                       (size[0] > 1000 || size[1] > 1000 ? largest : "");
            row.notifications = run.codes;
            Expect(&row, run.sorted == "0" || run.sorted == "1 4",
                   "neither cleanly off with code 0 nor working");
            ExpectCleanEnd(&row, run);
            return row;
        }));
    }
}

int RunEngineWithoutDirect3D() {
    PublishedOwner owner;
    SettingsRecord record = DefaultRecord();
    const EngineRun run = RunEngine(
        &record, [] {}, nullptr, [] { return std::string(); });
    const std::vector<Notification> codes = Notifications();
    return run.threadEnded && !run.windowLeft && codes.size() == 1 ? codes.front().code : 9;
}

void RunNoDirect3DEngineCase(CampaignTable* table) {
    table->Section("Direct3D unavailable");
    if (!UnderWine()) {
        table->Add({"engine without Direct3D: skipped, only Wine can take it away here", "", "",
                    true, ""});
        return;
    }
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* slash = std::strrchr(path, '\\');
    const NoDirect3DFor noDirect3D(slash != nullptr ? slash + 1 : path);
    std::string commandLine = std::string("\"") + path + "\" --engine-without-direct3d";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child = {};
    CampaignRow row;
    row.done = "engine started in a process with Wine's renderer \"no3d\"";
    if (!CreateProcessA(path, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &child)) {
        Expect(&row, false, "the child process did not start");
        table->Add(row);
        return;
    }
    UniqueHandle process(child.hProcess);
    UniqueHandle thread(child.hThread);
    const bool ended = WaitForEnd(process.Get());
    DWORD code = 9;
    if (!ended) {
        TerminateProcess(process.Get(), 1);
    } else {
        GetExitCodeProcess(process.Get(), &code);
    }
    row.notifications = ended && code <= kNotifyLensUp ? std::to_string(code) : "not one code";
    row.state = ended ? "nothing shown; thread ended" : "HANGS";
    Expect(&row, ended && code == kNotifySetupFailed, "expected code 0 alone and a clean end");
    table->Add(row);
}

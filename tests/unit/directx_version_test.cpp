#include "fakes/ScriptedDirectX.h"
#include "probes/DirectXVersion.h"

#include <gtest/gtest.h>

#include <functional>
#include <iomanip>

namespace {

using Lines = std::vector<std::string>;

struct Outcome {
    std::uint32_t version;
    std::uint32_t platform;
};

Outcome Probe(ScriptedDirectX& directX) {
    // Both out-values are written on every path.
    Outcome outcome = {0xDEADBEEF, 0xDEADBEEF};
    DetectDirectXVersion(&outcome.version, &outcome.platform, directX);
    return outcome;
}

struct Exit {
    const char* situation;
    std::function<void(ScriptedDirectX&)> script;
    std::uint32_t version;
    Lines lines;
};

// The machines that take the DirectDraw road, and the platform code each must report.
struct Machine {
    const char* name;
    OsVersion os;
    std::uint32_t platform;
};
const Machine DirectDrawMachines[] = {
    {"Windows 98", {1, 4}, 1},
    {"Windows 2000", {2, 5}, 2},
    {"Windows 10", {2, 10}, 2},
    {"Win32s", {0, 3}, 1},
};

// Exits past a created DirectDraw object: the platform code is already decided.
const Exit DirectDrawExits[] = {
    {"no DirectDraw 2 interface",
     [](ScriptedDirectX& d) { d.queryDirectDraw2 = -1; },
     0x100,
     {"Couldn't QI DDraw2\r\n"}},
    {"no DINPUT.DLL",
     [](ScriptedDirectX& d) { d.missingDlls.insert("DINPUT.DLL"); },
     0x200,
     {"Couldn't LoadLibrary DInput\r\n"}},
    {"no DirectInputCreateA",
     [](ScriptedDirectX& d) { d.missingEntries.insert("DirectInputCreateA"); },
     0x200,
     {"Couldn't GetProcAddress DInputCreate\r\n"}},
    {"cooperative level refused",
     [](ScriptedDirectX& d) { d.cooperativeLevel = -2; },
     0,
     {"Couldn't Set coop level\r\n"}},
    {"primary surface not created",
     [](ScriptedDirectX& d) { d.createSurface = -3; },
     0,
     {"Couldn't CreateSurface\r\n"}},
    {"no third surface interface", [](ScriptedDirectX& d) { d.querySurface3 = -4; }, 0x300, {}},
    {"no fourth surface interface", [](ScriptedDirectX& d) { d.querySurface4 = -5; }, 0x500, {}},
    {"no DirectMusic object",
     [](ScriptedDirectX& d) { d.createDirectMusic = -6; },
     0x600,
     {"Couldn't create CLSID_DirectMusic\r\n"}},
    {"no DirectDrawCreateEx",
     [](ScriptedDirectX& d) { d.missingEntries.insert("DirectDrawCreateEx"); },
     0x601,
     {}},
    {"DirectDrawCreateEx fails", [](ScriptedDirectX& d) { d.createDirectDraw7 = -7; }, 0x601, {}},
    {"DirectDraw 7 object created", [](ScriptedDirectX&) {}, 0x700, {}},
    // Success codes other than S_OK count as success: the sign decides.
    {"every answer a positive success code",
     [](ScriptedDirectX& d) {
         d.createDirectDraw = d.queryDirectDraw2 = d.cooperativeLevel = d.createSurface =
             d.querySurface3 = d.querySurface4 = d.createDirectMusic = d.createDirectDraw7 = 1;
     },
     0x700,
     {}},
};

TEST(DirectXVersion, EveryExitPastDirectDrawOnEveryPlatform) {
    for (const Machine& machine : DirectDrawMachines) {
        for (const Exit& exit : DirectDrawExits) {
            SCOPED_TRACE(std::string(machine.name) + ", " + exit.situation);
            ScriptedDirectX directX;
            directX.os = machine.os;
            exit.script(directX);
            const Outcome outcome = Probe(directX);
            EXPECT_EQ(outcome.version, exit.version) << std::hex << outcome.version;
            EXPECT_EQ(outcome.platform, machine.platform);
            EXPECT_EQ(directX.debugLines, exit.lines);
            EXPECT_EQ(directX.Audit(), Lines{});
        }
    }
}

// Exits before any DirectDraw object exists, and the Windows NT 4 road.
TEST(DirectXVersion, ExitsBeforeDirectDrawAndOnWindowsNt4) {
    const struct {
        const char* situation;
        std::function<void(ScriptedDirectX&)> script;
        Outcome outcome;
        Lines lines;
    } exits[] = {
        {"version query fails",
         [](ScriptedDirectX& d) { d.versionQuerySucceeds = false; },
         {0, 0},
         {}},
        {"NT 3.51",
         [](ScriptedDirectX& d) {
             d.os = {2, 3};
         },
         {0, 2},
         {}},
        {"NT 4 without DINPUT.DLL",
         [](ScriptedDirectX& d) {
             d.os = {2, 4};
             d.missingDlls.insert("DINPUT.DLL");
         },
         {0x200, 2},
         {"Couldn't LoadLibrary DInput\r\n"}},
        {"NT 4, DINPUT.DLL without DirectInputCreateA",
         [](ScriptedDirectX& d) {
             d.os = {2, 4};
             d.missingEntries.insert("DirectInputCreateA");
         },
         {0x200, 2},
         {"Couldn't GetProcAddress DInputCreate\r\n"}},
        {"NT 4 with DirectInput",
         [](ScriptedDirectX& d) {
             d.os = {2, 4};
         },
         {0x300, 2},
         {}},
        {"no DDRAW.DLL", [](ScriptedDirectX& d) { d.missingDlls.insert("DDRAW.DLL"); }, {0, 0}, {}},
        {"no DDRAW.DLL on NT 5",
         [](ScriptedDirectX& d) {
             d.os = {2, 5};
             d.missingDlls.insert("DDRAW.DLL");
         },
         {0, 0},
         {}},
        {"no DirectDrawCreate",
         [](ScriptedDirectX& d) { d.missingEntries.insert("DirectDrawCreate"); },
         {0, 0},
         {"Couldn't LoadLibrary DDraw\r\n"}},
        {"DirectDraw object not created",
         [](ScriptedDirectX& d) { d.createDirectDraw = -1; },
         {0, 0},
         {"Couldn't create DDraw\r\n"}},
    };
    for (const auto& exit : exits) {
        SCOPED_TRACE(exit.situation);
        ScriptedDirectX directX;
        exit.script(directX);
        const Outcome outcome = Probe(directX);
        EXPECT_EQ(outcome.version, exit.outcome.version) << std::hex << outcome.version;
        EXPECT_EQ(outcome.platform, exit.outcome.platform);
        EXPECT_EQ(directX.debugLines, exit.lines);
        EXPECT_EQ(directX.Audit(), Lines{});
    }
}

TEST(DirectXVersion, WindowsNt4IsNeverProbedThroughDirectDraw) {
    ScriptedDirectX directX;
    directX.os = {2, 4};
    Probe(directX);
    const Lines expected = {"version", "load DINPUT.DLL", "entry DINPUT.DLL DirectInputCreateA",
                            "free DINPUT.DLL"};
    EXPECT_EQ(directX.calls, expected);
}

TEST(DirectXVersion, OlderNtAndAFailedVersionQueryTouchNothing) {
    ScriptedDirectX nt351;
    nt351.os = {2, 3};
    Probe(nt351);
    EXPECT_EQ(nt351.calls, Lines{"version"});

    ScriptedDirectX unknown;
    unknown.versionQuerySucceeds = false;
    Probe(unknown);
    EXPECT_EQ(unknown.calls, Lines{"version"});
}

// The whole road to DirectX 7: each interface is released newest first, DirectMusic is asked
// inside its own COM initialisation after the surfaces are gone, and DDRAW.DLL stays loaded
// until the DirectDraw 7 object has been released.
TEST(DirectXVersion, TheRoadToDirectX7InOrder) {
    ScriptedDirectX directX;
    const Outcome outcome = Probe(directX);
    EXPECT_EQ(outcome.version, 0x700u);
    const Lines expected = {"version",
                            "load DDRAW.DLL",
                            "entry DDRAW.DLL DirectDrawCreate",
                            "create ddraw",
                            "qi ddraw ddraw2",
                            "release ddraw2",
                            "load DINPUT.DLL",
                            "entry DINPUT.DLL DirectInputCreateA",
                            "free DINPUT.DLL",
                            "coop ddraw",
                            "surface ddraw",
                            "qi surface surface3",
                            "qi surface surface4",
                            "release surface4",
                            "release surface3",
                            "release surface",
                            "release ddraw",
                            "co init",
                            "create dmusic",
                            "release dmusic",
                            "co uninit",
                            "entry DDRAW.DLL DirectDrawCreateEx",
                            "create ddraw7",
                            "release ddraw7",
                            "free DDRAW.DLL"};
    EXPECT_EQ(directX.calls, expected);
}

TEST(DirectXVersion, WithoutDirectMusicTheDirectDraw7TestIsNotMade) {
    ScriptedDirectX directX;
    directX.createDirectMusic = -1;
    EXPECT_EQ(Probe(directX).version, 0x600u);
    EXPECT_FALSE(directX.Called("entry DDRAW.DLL DirectDrawCreateEx"));
    EXPECT_FALSE(directX.Called("create ddraw7"));
    EXPECT_EQ(directX.comDepth, 0);
    EXPECT_EQ(directX.Audit(), Lines{});
}

} // namespace

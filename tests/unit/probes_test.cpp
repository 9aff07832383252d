// What the program learns of the machine and does with it, from scripted answers, one row per
// machine: whether it may run, the DirectX and EAX levels, and where the diagnostic tool is.
#include "Doubles.h"
#include "app/base/ErrorReport.h"
#include "settings/StartupSettings.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

const char* const KestIIRunningBox =
    "You must exit Kest II OMNIVA\nbefore running this program. (i)";
const char* const KestIRunningBox = "You must exit Kest I OMNIVA\nbefore running this program. (i)";

TEST(Probes, TheGuardRunsOneCopyWithNoGameRunningAndNoWindowsNt3) {
    const struct {
        // mutexes held, and those that cannot be created (ours) or opened (a game's, elevated)
        std::set<std::string> held, failing;
        OsVersion os;
        bool osKnown;
        const char* outcome;
        const char* shown;
        std::int32_t directX;
    } machines[] = {
        {{}, {}, {2, 5}, true, "runs", "", 0x700},
        {{}, {}, {2, 4}, true, "runs", "", 0x300},
        {{}, {}, {1, 4}, true, "runs", "", 0x700},
        {{}, {}, {2, 3}, true, "error", "", 0},
        {{}, {}, {2, 3}, false, "runs", "", 0}, // no version to judge by
        {{"KestCnf"}, {}, {2, 5}, true, "refused", "the running copy in front", 0},
        {{}, {"KestCnf"}, {2, 5}, true, "refused", "", 0},
        {{"KestII SEMPERA"}, {}, {2, 5}, true, "refused", KestIIRunningBox, 0},
        {{"KestI SEMPERA"}, {"KestI SEMPERA"}, {2, 5}, true, "refused", KestIRunningBox, 0},
        {{"KestI SEMPERA", "KestII SEMPERA"}, {}, {2, 3}, true, "refused", KestIIRunningBox, 0},
        {{"KestI", "KestII", "Kest SEMPERA"}, {}, {2, 5}, true, "runs", "", 0x700},
    };
    const std::regex ntThreeBox(
        "Error\\(InstanceGuard\\.cpp \\d+\x8D\x73\\)\nWindows NT3\\.51 is not supported\\.\n");
    for (const auto& machine : machines) {
        ScriptedMachine scripted;
        scripted.present = machine.held;
        scripted.failing = machine.failing;
        scripted.os = machine.os;
        scripted.osKnown = machine.osKnown;
        DirectXVersion = 0;
        ErrorCode = 0;
        std::string outcome = "error";
        try {
            outcome = CheckInstance(scripted, scripted, scripted) ? "runs" : "refused";
        } catch (runtime_error&) {
            EXPECT_TRUE(std::regex_match(ErrorStringBuffer, ntThreeBox)) << ErrorStringBuffer;
            EXPECT_EQ(ErrorCode, -2);
        }
        SCOPED_TRACE(std::to_string(machine.os.platformId) + "." +
                     std::to_string(machine.os.majorVersion) + " " + machine.shown);
        EXPECT_EQ(outcome, machine.outcome);
        EXPECT_EQ(scripted.shown, machine.shown);
        EXPECT_EQ(DirectXVersion, machine.directX);
    }
}

TEST(Probes, EachAnswerOfTheDirectXRuntimeGivesItsLevel) {
    const struct {
        OsVersion os;
        const char* failing; // a library, an entry point or a step of the probe
        std::uint32_t version, platform;
        const char* debug;
    } machines[] = {
        {{2, 3}, "", 0, 2, ""},
        {{1, 4}, "DDRAW.DLL", 0, 0, ""},
        {{2, 4}, "DINPUT.DLL", 0x200, 2, "Couldn't LoadLibrary DInput\r\n"},
        {{2, 4}, "DirectInputCreateA", 0x200, 2, "Couldn't GetProcAddress DInputCreate\r\n"},
        {{2, 4}, "create", 0x300, 2, ""}, // NT 4 never asks DirectDraw
        {{2, 5}, "DirectDrawCreate", 0, 0, "Couldn't LoadLibrary DDraw\r\n"},
        {{1, 4}, "create", 0, 0, "Couldn't create DDraw\r\n"},
        {{2, 5}, "DirectDraw2", 0x100, 2, "Couldn't QI DDraw2\r\n"},
        {{1, 4}, "DINPUT.DLL", 0x200, 1, "Couldn't LoadLibrary DInput\r\n"},
        {{2, 6}, "DirectInputCreateA", 0x200, 2, "Couldn't GetProcAddress DInputCreate\r\n"},
        {{1, 4}, "coop", 0, 1, "Couldn't Set coop level\r\n"},
        {{2, 5}, "surface", 0, 2, "Couldn't CreateSurface\r\n"},
        {{1, 4}, "Surface3", 0x300, 1, ""},
        {{2, 5}, "Surface4", 0x500, 2, ""},
        {{2, 5}, "music", 0x600, 2, "Couldn't create CLSID_DirectMusic\r\n"},
        {{2, 5}, "DirectDrawCreateEx", 0x601, 2, ""},
        {{1, 4}, "create7", 0x601, 1, ""},
        {{2, 10}, "", 0x700, 2, ""},
        {{2, 5}, "the version", 0, 0, ""},
        {{0, 3}, "", 0x700, 1, ""}, // Win32s counts with the 9x family
    };
    for (const auto& machine : machines) {
        ScriptedMachine scripted;
        scripted.failing = {machine.failing};
        // S_FALSE and its kind are successes to this probe.
        scripted.positive = {"create", "DirectDraw2", "coop", "surface", "Surface4", "create7"};
        scripted.os = machine.os;
        scripted.osKnown = machine.failing != std::string("the version");
        std::uint32_t version = 99, platform = 99;
        DetectDirectXVersion(&version, &platform, scripted, scripted);
        SCOPED_TRACE(std::to_string(machine.os.platformId) + "." +
                     std::to_string(machine.os.majorVersion) + " without " + machine.failing);
        EXPECT_EQ(version, machine.version);
        EXPECT_EQ(platform, machine.platform);
        EXPECT_EQ(scripted.debug, machine.debug);
        EXPECT_TRUE(scripted.live.empty() && scripted.libraries.empty() && scripted.com == 0);
        EXPECT_EQ(scripted.misuse, 0) << "released twice, or after DDRAW.DLL was freed";
    }
}

TEST(Probes, EachAnswerOfTheSoundDeviceGivesItsEaxLevel) {
    const struct {
        const char* device;
        std::set<std::string> failing;
        std::set<std::string> positive; // steps answering S_FALSE, which is not S_OK here
        std::uint32_t listener, reverb, bufferReverb; // support: 1 get, 2 set
        std::int32_t level;
    } devices[] = {
        {"EAX 2.0", {}, {}, 3, 3, 3, 2},
        {"no DirectSound", {"sound"}, {}, 3, 3, 3, 0},
        {"DirectSound answering S_FALSE", {}, {"sound"}, 3, 3, 3, 0},
        {"a runtime before DirectX 7", {"buffer"}, {}, 3, 3, 3, 2},
        {"no test buffer", {"buffer", "older-buffer"}, {}, 3, 3, 3, 0},
        {"a buffer answering S_FALSE", {}, {"buffer"}, 3, 3, 3, 0},
        {"an old buffer answering S_FALSE", {"buffer"}, {"older-buffer"}, 3, 3, 3, 0},
        {"a listener that can only be read", {}, {}, 1, 3, 3, 1},
        {"a listener that can only be set", {}, {}, 2, 3, 3, 1},
        {"no 3D buffer", {"3D"}, {}, 3, 3, 3, 1},
        {"no property set on the buffer", {"set-on-buffer"}, {}, 0, 3, 3, 0},
        {"reverb that can only be set", {}, {}, 0, 2, 3, 0},
        {"buffer reverb that can only be read", {}, {}, 0, 3, 1, 0},
        {"support answering S_FALSE", {}, {"support"}, 3, 3, 3, 0},
    };
    for (const auto& device : devices) {
        ScriptedMachine scripted;
        scripted.failing = device.failing;
        scripted.positive = device.positive;
        scripted.support = {{EaxPropertySet::ListenerProperties, device.listener},
                            {EaxPropertySet::ReverbProperties, device.reverb},
                            {EaxPropertySet::BufferReverbProperties, device.bufferReverb}};
        EaxLevel = 0;
        DetectEaxLevel(nullptr, scripted);
        EXPECT_EQ(EaxLevel, device.level) << device.device;
        EXPECT_TRUE(scripted.live.empty()) << device.device << ": objects left unreleased";
    }
}

TEST(Probes, TheDiagnosticToolIsFoundOnEachWindowsFamilyOrThePlayerIsToldWhy) {
    const std::string system = "C:\\WINDOWS\\SYSTEM32\\DXDIAG.EXE";
    const std::string link = "Program Files\\DIRECTX\\SETUP\\DXDIAG.LNK";
    const std::string tooLong(300, 'x');
    const std::string dx = "D:\\dx.exe";
    const char* notPresent = "DXDIAG.EXE not present.";
    const char* cannotStart = "DXDIAG.EXE can't be started.\n[%s]";
    const struct {
        OsVersion os;        // platform 0: the version cannot be read
        const char* appPath; // the registry's default value, if any
        const char* windows;
        std::set<std::string> files;
        std::string opened;
        const char* message;
        std::intptr_t shellAnswer;
    } machines[] = {
        {{2, 5}, "D:\\dx.exe", "C:\\WINDOWS", {system, dx}, system, "", 42},
        {{2, 6}, nullptr, "C:\\WINDOWS", {"C:\\" + link}, system, cannotStart, 42},
        {{2, 4}, "D:\\dx.exe", "C:\\WINDOWS", {system, dx}, dx, "", 42},
        {{0, 0}, "D:\\dx.exe", "C:\\WINDOWS", {system, dx}, dx, "", 42},
        {{1, 4}, "D:\\gone.exe", "C:\\WINDOWS", {"C:\\" + link}, "D:\\gone.exe", cannotStart, 42},
        {{1, 4}, nullptr, "C:\\WINDOWS", {"C:\\" + link}, "C:\\" + link, "", 42},
        {{1, 4}, nullptr, "E:\\OS\\WIN", {"E:\\" + link}, "E:\\" + link, "", 42},
        {{1, 4}, nullptr, "WINDOWS", {"WINDOWS" + link}, "WINDOWS" + link, "", 42},
        {{1, 4}, nullptr, "C:\\WINDOWS", {system}, "", notPresent, 42},
        {{2, 4}, tooLong.c_str(), "C:\\WINDOWS", {}, "", notPresent, 42},
        {{2, 5}, nullptr, "C:\\WINDOWS", {system}, system, cannotStart, 32}, // the shell's edge
        {{2, 5}, nullptr, "C:\\WINDOWS", {system}, system, "", 33},
    };
    for (const auto& machine : machines) {
        ScriptedMachine scripted;
        scripted.os = machine.os;
        scripted.osKnown = machine.os.platformId != 0;
        scripted.windows = machine.windows;
        scripted.present = machine.files;
        scripted.shellAnswer = machine.shellAnswer;
        MemoryRegistry registry;
        auto& key = registry.keys[MemoryRegistry::Path(HkeyLocalMachine, DxDiagAppPathKey)];
        if (machine.appPath)
            key[""] = {RegTypeSz, std::string(machine.appPath) + '\0'};
        LaunchDiagnosticTool(scripted, registry, scripted);
        SCOPED_TRACE(std::to_string(machine.os.platformId) + "." +
                     std::to_string(machine.os.majorVersion) + " in " + machine.windows);
        EXPECT_EQ(scripted.opened, machine.opened);
        EXPECT_EQ(scripted.shown, machine.message);
        EXPECT_TRUE(registry.open.empty());
    }
}

} // namespace

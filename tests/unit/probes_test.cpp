// What the program learns of the machine and does with it, from scripted answers, one line per
// machine: whether it may run, the DirectX and EAX levels, and where the diagnostic tool is.
#include "Doubles.h"
#include "app/ErrorReport.h"
#include "settings/StartupSettings.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

TEST(Probes, TheGuardRunsOneCopyWithNoGameRunningAndNoWindowsNt3) {
    const char* kestII = "You must exit Kest II OMNIVA\nbefore running this program. (i)";
    const char* kestI = "You must exit Kest I OMNIVA\nbefore running this program. (i)";
    struct Case {
        // mutexes held, and those that cannot be created (ours) or opened (a game's, elevated)
        std::set<std::string> held, failing;
        std::uint32_t platformId, major;
        bool osKnown;
        const char *outcome, *message;
        std::int32_t directX;
    };
    // clang-format off
    const Case cases[] = {
        {{}, {}, 2, 5, true, "runs", "", 0x700},  {{}, {}, 2, 4, true, "runs", "", 0x300},
        {{}, {}, 1, 4, true, "runs", "", 0x700},  {{}, {}, 2, 3, true, "error", "", 0},
        {{}, {}, 2, 3, false, "runs", "", 0}, // no version to judge by
        {{"KestCnf"}, {}, 2, 5, true, "refused", "the running copy in front", 0},
        {{}, {"KestCnf"}, 2, 5, true, "refused", "", 0},
        {{"KestII SEMPERA"}, {}, 2, 5, true, "refused", kestII, 0},
        {{"KestI SEMPERA"}, {"KestI SEMPERA"}, 2, 5, true, "refused", kestI, 0}, // elevated
        {{"KestI SEMPERA", "KestII SEMPERA"}, {}, 2, 3, true, "refused", kestII, 0},
        {{"KestI", "KestII", "Kest SEMPERA"}, {}, 2, 5, true, "runs", "", 0x700}};
    // clang-format on
    for (const Case& c : cases) {
        ScriptedMachine machine(c.failing);
        machine.present = c.held;
        machine.os = {c.platformId, c.major}, machine.osKnown = c.osKnown;
        DirectXVersion = ErrorCode = 0;
        std::string outcome = "error";
        try {
            outcome = CheckInstance(machine, machine) ? "runs" : "refused";
        } catch (runtime_error&) {
            const std::regex shown("Error\\(InstanceGuard\\.cpp \\d+\x8D\x73\\)\nWindows NT3\\.51 "
                                   "is not supported\\.\n");
            EXPECT_TRUE(std::regex_match(ErrorStringBuffer, shown)) << ErrorStringBuffer;
            EXPECT_EQ(ErrorCode, -2);
        }
        const std::string on = "on " + std::to_string(c.platformId) + "." + std::to_string(c.major);
        EXPECT_EQ(outcome, c.outcome) << on << " " << c.message;
        EXPECT_EQ(machine.shown, c.message) << on;
        EXPECT_EQ(DirectXVersion, c.directX) << on << " " << c.message;
    }
}

TEST(Probes, EachAnswerOfTheDirectXRuntimeGivesItsLevel) {
    struct Case {
        std::uint32_t platformId, major;
        std::set<std::string> failing;
        std::uint32_t version, platform;
        const char* debug;
    };
    // clang-format off
    const Case cases[] = {
        {2, 3, {}, 0, 2, ""},                    {1, 4, {"DDRAW.DLL"}, 0, 0, ""},
        {2, 4, {"DINPUT.DLL"}, 0x200, 2, "Couldn't LoadLibrary DInput\r\n"},
        {2, 4, {"DirectInputCreateA"}, 0x200, 2, "Couldn't GetProcAddress DInputCreate\r\n"},
        {2, 4, {"create"}, 0x300, 2, ""}, // NT 4 never asks DirectDraw
        {2, 5, {"DirectDrawCreate"}, 0, 0, "Couldn't LoadLibrary DDraw\r\n"},
        {1, 4, {"create"}, 0, 0, "Couldn't create DDraw\r\n"},
        {2, 5, {"DirectDraw2"}, 0x100, 2, "Couldn't QI DDraw2\r\n"},
        {1, 4, {"DINPUT.DLL"}, 0x200, 1, "Couldn't LoadLibrary DInput\r\n"},
        {2, 6, {"DirectInputCreateA"}, 0x200, 2, "Couldn't GetProcAddress DInputCreate\r\n"},
        {1, 4, {"coop"}, 0, 1, "Couldn't Set coop level\r\n"},
        {2, 5, {"surface"}, 0, 2, "Couldn't CreateSurface\r\n"},
        {1, 4, {"Surface3"}, 0x300, 1, ""},             {2, 5, {"Surface4"}, 0x500, 2, ""},
        {2, 5, {"music"}, 0x600, 2, "Couldn't create CLSID_DirectMusic\r\n"},
        {2, 5, {"DirectDrawCreateEx"}, 0x601, 2, ""},   {1, 4, {"create7"}, 0x601, 1, ""},
        {2, 10, {}, 0x700, 2, ""},               {2, 5, {"*unknown"}, 0, 0, ""},
        {0, 3, {}, 0x700, 1, ""}}; // Win32s counts with the 9x family
    // clang-format on
    for (const Case& c : cases) {
        // S_FALSE and its kind are successes to this probe.
        ScriptedMachine machine(
            c.failing, {"create", "DirectDraw2", "coop", "surface", "Surface4", "create7"});
        machine.os = {c.platformId, c.major}, machine.osKnown = !c.failing.count("*unknown");
        std::uint32_t version = 99, platform = 99;
        DetectDirectXVersion(&version, &platform, machine);
        SCOPED_TRACE(std::to_string(c.platformId) + "." + std::to_string(c.major) + " without " +
                     (c.failing.empty() ? "" : *c.failing.begin()));
        EXPECT_EQ(version, c.version);
        EXPECT_EQ(platform, c.platform);
        EXPECT_EQ(machine.debug, c.debug);
        EXPECT_TRUE(machine.live.empty() && machine.libraries.empty() && machine.com == 0);
        EXPECT_EQ(machine.misuse, 0) << "released twice, or after DDRAW.DLL was freed";
    }
}

TEST(Probes, EachAnswerOfTheSoundDeviceGivesItsEaxLevel) {
    struct Case {
        std::set<std::string> failing, positive; // positive: steps answering S_FALSE
        std::uint32_t masks[3];                  // listener, reverb and buffer reverb support
        std::int32_t level;
        // layouts: C the current buffer description, F the first one; asked: L listener
        // (EAX 2.0), M reverb and N buffer reverb (EAX 1.0)
        const char *layouts, *asked;
    };
    // clang-format off
    const Case cases[] = {
        {{}, {}, {3, 3, 3}, 2, "C", "L"}, {{"sound"}, {}, {3, 3, 3}, 0, "", ""},
        {{}, {"sound"}, {3, 3, 3}, 0, "", ""}, {{"buffer"}, {}, {3, 3, 3}, 2, "CF", "L"},
        {{"buffer", "older-buffer"}, {}, {3, 3, 3}, 0, "CF", ""},
        {{}, {"buffer"}, {3, 3, 3}, 0, "C", ""},
        {{"buffer"}, {"older-buffer"}, {3, 3, 3}, 0, "CF", ""}, {{}, {}, {1, 3, 3}, 1, "C", "LMN"},
        {{}, {}, {2, 3, 3}, 1, "C", "LMN"}, {{"3D"}, {}, {3, 3, 3}, 1, "C", "MN"},
        {{"set-on-buffer"}, {}, {0, 3, 3}, 0, "C", "L"}, {{}, {}, {0, 2, 3}, 0, "C", "LM"},
        {{}, {}, {0, 3, 1}, 0, "C", "LMN"}, {{}, {"support"}, {3, 3, 3}, 0, "C", "LM"}};
    // clang-format on
    for (const Case& c : cases) {
        ScriptedMachine machine(c.failing, c.positive);
        std::copy(c.masks, c.masks + 3, machine.masks);
        EaxLevel = 0;
        DetectEaxLevel(nullptr, machine);
        EXPECT_EQ(EaxLevel, c.level) << c.layouts << " " << c.asked << " " << c.masks[0];
        EXPECT_EQ(machine.layouts + " " + machine.asked, c.layouts + std::string(" ") + c.asked);
        EXPECT_TRUE(machine.live.empty()) << "objects left unreleased";
    }
}

TEST(Probes, TheDiagnosticToolIsFoundOnEachWindowsFamilyOrThePlayerIsToldWhy) {
    const std::string system = "C:\\WINDOWS\\SYSTEM32\\DXDIAG.EXE", tooLong(300, 'x');
    const std::string link = "Program Files\\DIRECTX\\SETUP\\DXDIAG.LNK", dx = "D:\\dx.exe";
    const char* notPresent = "DXDIAG.EXE not present.";
    const char* cannotStart = "DXDIAG.EXE can't be started.\n[%s]";
    struct Case {
        std::uint32_t platformId, major;
        const char *appPath, *windows; // appPath: the registry's default value, if any
        std::set<std::string> files;
        std::string opened;
        const char* message;
        std::intptr_t shellAnswer = 42;
    };
    const Case cases[] = {
        {2, 5, "D:\\dx.exe", "C:\\WINDOWS", {system, dx}, system, ""},
        {2, 6, nullptr, "C:\\WINDOWS", {"C:\\" + link}, system, cannotStart},
        {2, 4, "D:\\dx.exe", "C:\\WINDOWS", {system, dx}, dx, ""},
        {0, 0, "D:\\dx.exe", "C:\\WINDOWS", {system, dx}, dx, ""}, // the version unknown
        {1, 4, "D:\\gone.exe", "C:\\WINDOWS", {"C:\\" + link}, "D:\\gone.exe", cannotStart},
        {1, 4, nullptr, "C:\\WINDOWS", {"C:\\" + link}, "C:\\" + link, ""},
        {1, 4, nullptr, "E:\\OS\\WIN", {"E:\\" + link}, "E:\\" + link, ""},
        {1, 4, nullptr, "WINDOWS", {"WINDOWS" + link}, "WINDOWS" + link, ""},
        {1, 4, nullptr, "C:\\WINDOWS", {system}, "", notPresent},
        {2, 4, tooLong.c_str(), "C:\\WINDOWS", {}, "", notPresent},
        {2, 5, nullptr, "C:\\WINDOWS", {system}, system, cannotStart, 32}, // the shell's edge
        {2, 5, nullptr, "C:\\WINDOWS", {system}, system, "", 33}};
    for (const Case& c : cases) {
        ScriptedMachine machine;
        machine.os = {c.platformId, c.major}, machine.osKnown = c.platformId != 0;
        machine.windows = c.windows, machine.present = c.files;
        machine.shellAnswer = c.shellAnswer;
        MemoryRegistry registry;
        auto& key = registry.keys[MemoryRegistry::Path(HkeyLocalMachine, DxDiagAppPathKey)];
        if (c.appPath)
            key[""] = {RegTypeSz, std::string(c.appPath) + '\0'};
        LaunchDiagnosticTool(machine, registry);
        EXPECT_EQ(machine.opened, c.opened) << c.platformId << "." << c.major;
        EXPECT_EQ(machine.shown, c.message) << c.platformId << "." << c.major;
        EXPECT_TRUE(registry.open.empty());
    }
}

} // namespace

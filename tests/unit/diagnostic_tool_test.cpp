#include "fakes/MemoryRegistry.h"
#include "fakes/ScriptedLauncher.h"
#include "probes/DiagnosticTool.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

const std::string Shortcut = "C:\\Program Files\\DIRECTX\\SETUP\\DXDIAG.LNK";
const std::string NotPresent = "message DXDIAG.EXE not present. 0";
const std::string CannotStart = "system error DXDIAG.EXE can't be started.\n[%s] 0";

constexpr std::intptr_t FileNotFound = 2; // SE_ERR_FNF

class Launcher : public ::testing::Test {
  public:
    void StoreAppPath(const std::string& value, std::uint32_t type = RegTypeSz) {
        std::vector<std::uint8_t> bytes(value.begin(), value.end());
        bytes.push_back(0);
        StoreAppPathBytes(bytes, type);
    }
    void StoreAppPathBytes(const std::vector<std::uint8_t>& bytes, std::uint32_t type) {
        registry.keys[MemoryRegistry::KeyName(HkeyLocalMachine, DxDiagAppPathKey)][""] = {type,
                                                                                          bytes};
    }
    void Launch() {
        // The key lives only for the lookup: closed before anything is opened.
        launcher.onShellOpen = [this] { EXPECT_EQ(registry.OpenHandles(), 0u); };
        LaunchDiagnosticTool(launcher, registry);
        EXPECT_EQ(registry.OpenHandles(), 0u);
    }
    bool RegistryAsked() const {
        for (const std::string& call : registry.calls)
            if (call == std::string("open ") + DxDiagAppPathKey)
                return true;
        return false;
    }

    ScriptedLauncher launcher;
    MemoryRegistry registry;
};

TEST_F(Launcher, Nt5AndLaterOpenTheSystemDirectoryCopyUntested) {
    for (const OsVersion os : {OsVersion{2, 5}, OsVersion{2, 6}, OsVersion{2, 10}}) {
        ScriptedLauncher fresh;
        launcher = fresh;
        launcher.os = os;
        launcher.systemDirectory = "C:\\WINNT\\system32";
        StoreAppPath("D:\\DX\\DXDIAG.EXE");
        Launch();
        EXPECT_EQ(launcher.opened, Lines{"C:\\WINNT\\system32\\DXDIAG.EXE"});
        EXPECT_TRUE(launcher.boxes.empty());
        EXPECT_EQ(launcher.calls,
                  (Lines{"version", "system dir 260", "open C:\\WINNT\\system32\\DXDIAG.EXE"}));
        EXPECT_TRUE(registry.calls.empty()) << registry.calls.front();
    }
}

TEST_F(Launcher, Nt5WithoutTheToolSaysItCannotBeStarted) {
    launcher.os = {2, 5};
    launcher.shellResult = FileNotFound;
    Launch();
    EXPECT_EQ(launcher.boxes, Lines{CannotStart});
}

// Windows NT 4 goes the way of the 9x family, and so does a system whose version is unknown.
TEST_F(Launcher, OtherSystemsTakeTheAppPathsValueUntested) {
    const struct {
        const char* name;
        bool known;
        OsVersion os;
    } systems[] = {
        {"Windows 95", true, {1, 4}},   {"Windows NT 4", true, {2, 4}},
        {"Windows NT 3", true, {2, 3}}, {"Win32s", true, {0, 3}},
        {"unknown", false, {2, 10}},
    };
    for (const auto& system : systems) {
        SCOPED_TRACE(system.name);
        ScriptedLauncher fresh;
        launcher = fresh;
        MemoryRegistry empty;
        registry = empty;
        launcher.versionKnown = system.known;
        launcher.os = system.os;
        StoreAppPath("D:\\DX\\DXDIAG.EXE");
        Launch();
        EXPECT_TRUE(RegistryAsked());
        EXPECT_EQ(launcher.calls, (Lines{"version", "open D:\\DX\\DXDIAG.EXE"}));
        EXPECT_TRUE(launcher.boxes.empty());
    }
}

TEST_F(Launcher, AValueNamingAMissingFileIsNotFollowedByTheShortcut) {
    StoreAppPath("D:\\GONE\\DXDIAG.EXE");
    launcher.existingFiles.insert(Shortcut);
    launcher.shellResult = FileNotFound;
    Launch();
    EXPECT_EQ(launcher.opened, Lines{"D:\\GONE\\DXDIAG.EXE"});
    EXPECT_EQ(launcher.boxes, Lines{CannotStart});
    for (const std::string& call : launcher.calls)
        EXPECT_EQ(call.find("windows dir"), std::string::npos);
}

TEST_F(Launcher, TheValuesTypeIsNotLookedAt) {
    const std::string path = "E:\\DXDIAG.EXE";
    StoreAppPathBytes({path.begin(), path.end()}, RegTypeBinary);
    Launch();
    EXPECT_EQ(launcher.opened, Lines{path});
}

TEST_F(Launcher, AnUnterminatedValueFillingTheBufferStaysInside) {
    StoreAppPathBytes(std::vector<std::uint8_t>(260, 'A'), RegTypeSz);
    Launch();
    ASSERT_EQ(launcher.opened.size(), 1u);
    EXPECT_EQ(launcher.opened[0], std::string(259, 'A'));
}

TEST_F(Launcher, WithoutAUsableValueTheShortcutOnTheWindowsDriveIsTried) {
    const struct {
        const char* situation;
        std::function<void(Launcher&)> prepare;
    } situations[] = {
        {"no key", [](Launcher&) {}},
        {"no default value",
         [](Launcher& t) {
             t.registry.keys[MemoryRegistry::KeyName(HkeyLocalMachine, DxDiagAppPathKey)];
         }},
        {"a value too long for the buffer",
         [](Launcher& t) { t.StoreAppPath(std::string(300, 'A')); }},
    };
    for (const auto& situation : situations) {
        SCOPED_TRACE(situation.situation);
        ScriptedLauncher fresh;
        launcher = fresh;
        MemoryRegistry empty;
        registry = empty;
        situation.prepare(*this);
        launcher.existingFiles.insert(Shortcut);
        Launch();
        EXPECT_TRUE(RegistryAsked());
        EXPECT_EQ(launcher.calls,
                  (Lines{"version", "windows dir 260", "exists " + Shortcut, "open " + Shortcut}));
        EXPECT_TRUE(launcher.boxes.empty());
    }
}

TEST_F(Launcher, AMissingShortcutIsNotPresent) {
    Launch();
    EXPECT_EQ(launcher.boxes, Lines{NotPresent});
    EXPECT_TRUE(launcher.opened.empty());
}

TEST_F(Launcher, AShortcutTheShellCannotOpen) {
    launcher.existingFiles.insert(Shortcut);
    launcher.shellResult = 32; // the highest failure
    Launch();
    EXPECT_EQ(launcher.opened, Lines{Shortcut});
    EXPECT_EQ(launcher.boxes, Lines{CannotStart});
}

TEST_F(Launcher, TheShortcutKeepsOnlyTheDriveRootOfTheWindowsDirectory) {
    const struct {
        const char* windows;
        const char* shortcut;
    } cases[] = {
        {"C:\\WINDOWS", "C:\\Program Files\\DIRECTX\\SETUP\\DXDIAG.LNK"},
        {"D:\\OS\\WIN98", "D:\\Program Files\\DIRECTX\\SETUP\\DXDIAG.LNK"},
        {"E:\\", "E:\\Program Files\\DIRECTX\\SETUP\\DXDIAG.LNK"},
        {"\\\\server\\share\\windows", "\\Program Files\\DIRECTX\\SETUP\\DXDIAG.LNK"},
        {"C:", "C:Program Files\\DIRECTX\\SETUP\\DXDIAG.LNK"},
        {"", "Program Files\\DIRECTX\\SETUP\\DXDIAG.LNK"},
    };
    for (const auto& c : cases) {
        ScriptedLauncher fresh;
        launcher = fresh;
        launcher.windowsDirectory = c.windows;
        Launch();
        EXPECT_EQ(launcher.calls[2], std::string("exists ") + c.shortcut) << c.windows;
        EXPECT_EQ(launcher.boxes, Lines{NotPresent});
    }
}

TEST_F(Launcher, ALongSystemDirectoryIsCutToTheBuffer) {
    launcher.os = {2, 5};
    launcher.systemDirectory = "C:\\" + std::string(252, 'S');
    Launch();
    ASSERT_EQ(launcher.opened.size(), 1u);
    EXPECT_EQ(launcher.opened[0], launcher.systemDirectory + "\\DXD");
}

} // namespace

// The DirectX level found at start-up decides the default of dynamic voice management, which a
// first save writes. Wine's runtime is at the DirectX 7 level; on Windows NT 4 only DirectInput
// is asked, which makes DirectX 3 at most.
#include "harness/KestProcess.h"
#include "harness/Registry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

constexpr UINT WM_SAVESETTINGS = WM_USER + 1;

class Probes : public ::testing::Test {
  protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override { DeleteSettingsKey(); }

    ScratchFolder folder;
};

TEST_F(Probes, AFirstSaveWritesDynamicVoiceManagementByTheDirectXLevel) {
    const struct {
        const char* windows; // Wine's own version when null
        std::uint32_t locDefer;
    } cases[] = {{nullptr, 1}, {"win2k", 1}, {"win98", 1}, {"nt40", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.windows ? c.windows : "Wine's own version");
        DeleteSettingsKey();
        std::unique_ptr<WineVersionOverride> version;
        if (c.windows)
            version = std::make_unique<WineVersionOverride>(c.windows);
        KestProcess program(folder.ProgramPath());
        HWND main = program.WaitForWindow("KestCnf");
        ASSERT_NE(main, nullptr) << program.DebugText();
        EXPECT_EQ(SendMessageA(main, WM_SAVESETTINGS, 0, 0), 0);
        PostMessageA(main, WM_CLOSE, 0, 0);
        ASSERT_TRUE(program.WaitForExit());
        EXPECT_EQ(program.ExitCode(), 0u);
        const auto saved = ReadValue("DirectSoundBuffer locdefer");
        ASSERT_TRUE(saved.has_value());
        EXPECT_EQ(saved->AsDword(), c.locDefer);
        // Every road taken here finds what it looks for: the probes write no line.
        EXPECT_EQ(program.DebugText().find("Couldn't"), std::string::npos) << program.DebugText();
    }
}

} // namespace

// Registry data the program never writes itself, met by the real program: values of the wrong
// type and of awkward lengths, many at once, read at start-up, shown on the page and replaced by
// eleven REG_DWORDs on OK; and a settings key the program may not open.
#include "harness/KestProcess.h"
#include "harness/Registry.h"
#include "harness/Sheet.h"

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

struct OddType {
    DWORD type;
    const char* name;
};
const OddType OddTypes[] = {{REG_SZ, "REG_SZ"},
                            {REG_EXPAND_SZ, "REG_EXPAND_SZ"},
                            {REG_QWORD, "REG_QWORD"},
                            {REG_BINARY, "REG_BINARY"}};
const DWORD OddSizes[] = {0, 1, 3, 5, 8};

// The eleven values, the page control that shows each flag (0 for the two lists), and the
// default the program starts from on Wine (DirectX 7).
struct Setting {
    const char* name;
    int control;
    std::uint32_t fallback;
};
const Setting Settings[] = {
    {"Music instrument", 0, 0},
    {"Frame design", 0, 0},
    {"Connect Kest2 direct", 1017, 0},
    {"Joystick", 1008, 1},
    {"AVI movie", 1004, 1},
    {"DirectSoundBuffer locdefer", 1005, 1},
    {"Reverb sound effect", 1009, 1},
    {"DirectSoundBuffer software", 1007, 0},
    {"DirectSound none", 1006, 0},
    {"Bloody effect", 1016, 1},
    {"Mirel's clock", 1015, 0},
};

class OddRegistry : public ::testing::Test {
  protected:
    void SetUp() override {
        DeleteSettingsKey();
        // Four sets, so that a stored music choice of up to 5 stands.
        for (int i = 0; i < 4; ++i) {
            const std::string folderName = "MIDI\\Set" + std::to_string(i);
            folder.MakeFolder(folderName);
            folder.WriteFile(folderName + "\\program.txt",
                             "instrument \"Set " + std::to_string(i) + "\"\r\n");
        }
    }
    void TearDown() override {
        AllowSettingsKey();
        DeleteSettingsKey();
    }

    // Opening the key for anything but its security now fails with ERROR_ACCESS_DENIED.
    static bool DenySettingsKey() { return SetKeyDacl("D:(D;;GA;;;WD)"); }
    static bool AllowSettingsKey() { return SetKeyDacl("D:(A;;GA;;;WD)"); }
    static bool SetKeyDacl(const char* sddl) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1,
                                                                  &descriptor, nullptr))
            return false;
        HKEY key;
        // The owner may always change the access list, even of a key it denied itself.
        LONG result =
            RegOpenKeyExA(HKEY_CURRENT_USER, TestSettingsKey, 0, WRITE_DAC | READ_CONTROL, &key);
        if (result == ERROR_SUCCESS) {
            result = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
            RegCloseKey(key);
        }
        LocalFree(descriptor);
        return result == ERROR_SUCCESS;
    }

    // Starts the program, checks that the page shows `shown` for every value, presses OK and
    // expects a normal end.
    void RunAndOk(const std::vector<std::uint32_t>& shown) {
        KestProcess program(folder.ProgramPath());
        Sheet sheet(program);
        ASSERT_TRUE(sheet.Ready()) << program.DebugText();
        for (std::size_t i = 0; i < std::size(Settings); ++i) {
            const Setting& setting = Settings[i];
            if (setting.control) {
                EXPECT_EQ(sheet.Checked(setting.control), (shown[i] & 1) != 0) << setting.name;
            }
        }
        EXPECT_EQ(sheet.ComboSelection(1010),
                  static_cast<int>(std::min<std::uint32_t>(shown[0], 5)));
        EXPECT_EQ(sheet.ComboSelection(1014),
                  static_cast<int>(std::min<std::uint32_t>(shown[1], 1)));
        sheet.Press(PSBTN_OK);
        ASSERT_TRUE(program.WaitForExit()) << "a box left open?";
        EXPECT_EQ(program.ExitCode(), 0u);
        EXPECT_EQ(program.DebugText().find("failed"), std::string::npos) << program.DebugText();
    }

    ScratchFolder folder;
};

// Twenty kinds of odd data (four types, five lengths) over two starts of eleven values each, so
// every kind is met at least once and by different values.
TEST_F(OddRegistry, OddTypesAndLengthsLoadByTheirBytesAndOkWritesElevenDwords) {
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE("start " + std::to_string(start + 1));
        DeleteSettingsKey();
        std::vector<std::uint32_t> expected;
        for (std::size_t i = 0; i < std::size(Settings); ++i) {
            const std::size_t kind = (start * std::size(Settings) + i) % 20;
            const OddType& type = OddTypes[kind / 5];
            const DWORD size = OddSizes[kind % 5];
            // The first byte turns bit 0 away from the default, so a flag read from short data
            // shows; no byte is beyond ASCII, so the strings pass the code page unchanged.
            const std::uint8_t first = (Settings[i].fallback & 1) ? 0x02 : 0x03;
            const std::uint8_t data[8] = {first, 0x01, 0x02, 0x40, 0x55, 0x66, 0x77, 0x11};
            StoreValue(Settings[i].name, type.type, data, size);
            const auto stored = ReadValue(Settings[i].name);
            ASSERT_TRUE(stored.has_value());
            ASSERT_EQ(stored->type, type.type);
            ASSERT_EQ(stored->data.size(), size) << Settings[i].name << " " << type.name;

            // Up to four bytes read as a little-endian number; more leave the default.
            std::uint32_t number = Settings[i].fallback;
            if (size <= 4) {
                number = 0;
                for (DWORD b = size; b-- > 0;)
                    number = number << 8 | data[b];
                if (Settings[i].control)
                    number &= 1;
            }
            if (i == 0)
                number = std::min<std::uint32_t>(number, 5); // four sets
            expected.push_back(number);
        }

        ASSERT_NO_FATAL_FAILURE(RunAndOk(expected));
        EXPECT_EQ(ValueNames().size(), std::size(Settings));
        for (std::size_t i = 0; i < std::size(Settings); ++i) {
            const auto saved = ReadValue(Settings[i].name);
            ASSERT_TRUE(saved.has_value()) << Settings[i].name;
            EXPECT_EQ(saved->type, static_cast<DWORD>(REG_DWORD)) << Settings[i].name;
            EXPECT_EQ(saved->data.size(), 4u) << Settings[i].name;
            EXPECT_EQ(saved->AsDword(), expected[i]) << Settings[i].name;
        }
    }
}

// The player's values are there, but the key denies this user everything: the program starts
// without a word, shows the defaults, and OK writes nothing over the values kept.
TEST_F(OddRegistry, AKeyThatCannotBeOpenedLeavesTheDefaultsAndIsNeverWritten) {
    std::vector<std::uint32_t> defaults;
    for (const Setting& setting : Settings) {
        StoreDword(setting.name, setting.control ? (setting.fallback ^ 1) : 1);
        defaults.push_back(setting.fallback);
    }
    ASSERT_TRUE(DenySettingsKey());
    HKEY probe;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, TestSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &probe, nullptr),
              ERROR_ACCESS_DENIED)
        << "Wine no longer checks a key's access list";

    ASSERT_NO_FATAL_FAILURE(RunAndOk(defaults));

    ASSERT_TRUE(AllowSettingsKey());
    EXPECT_EQ(ValueNames().size(), std::size(Settings));
    for (const Setting& setting : Settings) {
        const auto kept = ReadValue(setting.name);
        ASSERT_TRUE(kept.has_value()) << setting.name;
        EXPECT_EQ(kept->AsDword(), setting.control ? (setting.fallback ^ 1) : 1u) << setting.name;
    }
}

} // namespace

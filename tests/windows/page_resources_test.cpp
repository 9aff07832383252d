// The page's resources as the module holds them: dialog template 102 field by field, and the
// icons the window class and the sheet header name.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Reads an extended dialog template in order.
class TemplateReader {
  public:
    explicit TemplateReader(const std::uint8_t* data) : data_(data) {}

    template <typename T> T Read() {
        T value;
        std::memcpy(&value, data_ + offset_, sizeof value);
        offset_ += sizeof value;
        return value;
    }
    // A name or an ordinal; an ordinal reads as "#n".
    std::string ReadText() {
        std::string text;
        if (Peek() == 0xFFFF) {
            Read<WORD>();
            return "#" + std::to_string(Read<WORD>());
        }
        while (WORD c = Read<WORD>())
            text += static_cast<char>(c);
        return text;
    }
    void AlignTo4() { offset_ = (offset_ + 3) & ~static_cast<std::size_t>(3); }
    void Skip(std::size_t bytes) { offset_ += bytes; }

  private:
    WORD Peek() const {
        WORD value;
        std::memcpy(&value, data_ + offset_, sizeof value);
        return value;
    }
    const std::uint8_t* data_;
    std::size_t offset_ = 0;
};

struct Control {
    DWORD id;
    const char* className;
    const char* text;
    DWORD style;
    short x, y, cx, cy;
};

const Control ExpectedControls[18] = {
    {1000, "Button", "Standard Setup (&D)", 0x50010000, 113, 8, 95, 14},
    {1001, "Button", "DirectX Diagnostic Tool (&X)", 0x50010000, 113, 28, 95, 14},
    {1004, "Button", "Enable all AVI movies (&M)", 0x50010003, 9, 70, 96, 10},
    {1013, "Static", "Frame Style", 0x50020000, 141, 56, 39, 8},
    {1012, "Button", "Frame Style", 0x40000007, 133, 56, 72, 34},
    {1014, "ComboBox", "", 0x50210002, 142, 69, 57, 48},
    {1008, "Button", "Enable joystick (&J)", 0x50010003, 9, 84, 74, 10},
    {1016, "Button", "Blood FX (&B)", 0x50010003, 9, 98, 55, 10},
    {1015, "Button", "Time Display (&T)", 0x50010003, 74, 98, 67, 10},
    {1017, "Button", "Start Kest II after clearing Kest I without seeing end credits (&C)",
     0x50010003, 9, 112, 205, 10},
    {1003, "Static", "Sound", 0x50020000, 10, 129, 21, 8},
    {1002, "Button", "Sound", 0x40000007, 6, 129, 199, 83},
    {65535, "Static", "BGM", 0x50020000, 13, 146, 25, 8},
    {1010, "ComboBox", "", 0x50210002, 36, 144, 59, 93},
    {1005, "Button", "Use Dynamic Voice Management (via DirectX7) (&V)", 0x50010003, 12, 161, 175,
     10},
    {1007, "Button", "Sound effects are buffered through software (&S)", 0x50010003, 12, 176, 173,
     10},
    {1006, "Button", "DirectSound is not used (&N)", 0x50010003, 12, 190, 103, 10},
    {1009, "Button", "EAX 1.0/2.0 (&E)", 0x50010003, 120, 190, 66, 10},
};

// The predefined classes may be stored by name or by their atom.
bool SameClass(const std::string& stored, const char* expected) {
    static const std::pair<const char*, const char*> atoms[] = {
        {"#128", "Button"}, {"#130", "Static"}, {"#133", "ComboBox"}};
    for (const auto& [atom, name] : atoms)
        if (stored == atom)
            return _stricmp(name, expected) == 0;
    return _stricmp(stored.c_str(), expected) == 0;
}

const std::uint8_t* Resource(const char* name, const char* type) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name, type);
    return found ? static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)))
                 : nullptr;
}

TEST(PageResources, DialogTemplateHeaderIsTheExtendedStartingOptionsPage) {
    const std::uint8_t* data = Resource(MAKEINTRESOURCEA(102), RT_DIALOG);
    ASSERT_NE(data, nullptr);
    TemplateReader t(data);
    EXPECT_EQ(t.Read<WORD>(), 1);      // version
    EXPECT_EQ(t.Read<WORD>(), 0xFFFF); // extended
    EXPECT_EQ(t.Read<DWORD>(), 0u);    // help id
    EXPECT_EQ(t.Read<DWORD>(), 0x00040000u);
    EXPECT_EQ(t.Read<DWORD>(), 0x90C820C0u);
    EXPECT_EQ(t.Read<WORD>(), 18);
    EXPECT_EQ(t.Read<short>(), 0);
    EXPECT_EQ(t.Read<short>(), 0);
    EXPECT_EQ(t.Read<short>(), 215);
    EXPECT_EQ(t.Read<short>(), 221);
    EXPECT_EQ(t.ReadText(), ""); // no menu
    EXPECT_EQ(t.ReadText(), ""); // default class
    EXPECT_EQ(t.ReadText(), "Starting Options");
    EXPECT_EQ(t.Read<WORD>(), 8); // points
    EXPECT_EQ(t.Read<WORD>(), 0); // weight
    EXPECT_EQ(t.Read<BYTE>(), 0); // italic
    EXPECT_EQ(t.Read<BYTE>(), 0); // character set
    EXPECT_EQ(t.ReadText(), "Tahoma");

    for (const Control& expected : ExpectedControls) {
        SCOPED_TRACE(expected.id);
        t.AlignTo4();
        EXPECT_EQ(t.Read<DWORD>(), 0u); // help id
        EXPECT_EQ(t.Read<DWORD>(), 0u); // extended style
        EXPECT_EQ(t.Read<DWORD>(), expected.style);
        EXPECT_EQ(t.Read<short>(), expected.x);
        EXPECT_EQ(t.Read<short>(), expected.y);
        EXPECT_EQ(t.Read<short>(), expected.cx);
        EXPECT_EQ(t.Read<short>(), expected.cy);
        EXPECT_EQ(t.Read<DWORD>(), expected.id);
        const std::string className = t.ReadText();
        EXPECT_TRUE(SameClass(className, expected.className)) << className;
        EXPECT_EQ(t.ReadText(), expected.text);
        t.Skip(t.Read<WORD>()); // creation data
    }
}

TEST(PageResources, TheIconIsThereByNumberAndByTheNameTheSheetAsksFor) {
    const char* const names[] = {MAKEINTRESOURCEA(101), "SMALL"};
    for (const char* name : names) {
        HICON large =
            static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_ICON, 32, 32, 0));
        HICON small =
            static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_ICON, 16, 16, 0));
        EXPECT_NE(large, nullptr);
        EXPECT_NE(small, nullptr);
        DestroyIcon(large);
        DestroyIcon(small);
    }
}

} // namespace

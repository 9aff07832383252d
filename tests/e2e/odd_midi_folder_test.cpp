// A "MIDI" folder that has grown wild, met by the real program: ten thousand subfolders with
// every kind of entry that is not a proper set among them. The program must start, offer at most
// four of the sets that name themselves, and end normally.
#include "harness/KestProcess.h"
#include "harness/Registry.h"
#include "harness/Sheet.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <string>

namespace {

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// Wine's own export that names a file as the host sees it; null elsewhere.
using UnixFileName = char*(CDECL*)(const wchar_t* windowsName);
UnixFileName HostNamer() {
    FARPROC found = GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    UnixFileName namer;
    static_assert(sizeof namer == sizeof found, "both are code addresses");
    std::memcpy(&namer, &found, sizeof namer);
    return namer;
}

// The host's name for a file or folder of this test, quoted for the shell; empty when not
// under Wine.
std::string HostPath(const std::string& windowsPath) {
    const UnixFileName namer = HostNamer();
    char* name = namer ? namer(Wide(windowsPath).c_str()) : nullptr;
    if (!name)
        return "";
    std::string path = std::string("'") + name + "'";
    HeapFree(GetProcessHeap(), 0, name);
    return path;
}

// Runs a shell command of the host, which Wine starts like any program. Wine gives no handle to
// wait on for a host program, so the command leaves its exit status in `statusFile`, which is
// polled. False when not under Wine, or when the command fails.
bool RunOnHost(const std::string& command, const std::string& statusFile) {
    DeleteFileA(statusFile.c_str());
    const std::string status = HostPath(statusFile);
    if (status.empty())
        return false;
    std::string line = "/bin/sh -c \"(" + command + "); echo $? >" + status + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int i = 0; i < 1200; ++i) {
        HANDLE file =
            CreateFileA(statusFile.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            char text[16] = {};
            DWORD read = 0;
            ReadFile(file, text, sizeof text - 1, &read, nullptr);
            CloseHandle(file);
            if (read > 0 && text[read - 1] == '\n') {
                DeleteFileA(statusFile.c_str());
                return std::strcmp(text, "0\n") == 0;
            }
        }
        Sleep(50);
    }
    return false;
}

// A folder by its full path, names longer than MAX_PATH allows included.
void MakeLongFolder(const std::string& path) {
    CreateDirectoryW((L"\\\\?\\" + Wide(path)).c_str(), nullptr);
}

void WriteLongFile(const std::string& path, const std::string& contents) {
    HANDLE file = CreateFileW((L"\\\\?\\" + Wide(path)).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(file);
}

// Removes a tree whose names may be longer than MAX_PATH allows.
void RemoveLongTree(const std::wstring& path) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveLongTree(path + L"\\" + name);
            else
                DeleteFileW((path + L"\\" + name).c_str());
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

class OddMidiFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        DeleteSettingsKey();
        midi = folder.MakeFolder("MIDI");
    }
    void TearDown() override {
        const std::string host = HostPath(midi);
        // Faster than the scratch folder's own removal, and able to reach the long names.
        if (host.empty() || !RunOnHost("rm -rf " + host, StatusFile()))
            RemoveLongTree(L"\\\\?\\" + Wide(midi));
        DeleteSettingsKey();
    }

    // Ten thousand empty folders: made by the host when there is one, since Wine checks every
    // new name against the whole folder and so takes quadratic time.
    void MakeTenThousandFolders() {
        const std::string host = HostPath(midi);
        if (!host.empty() &&
            RunOnHost("cd " + host + " && seq -f bank%05g 0 9999 | xargs mkdir", StatusFile()))
            return;
        for (int i = 0; i < 10000; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "\\bank%05d", i);
            CreateDirectoryA((midi + name).c_str(), nullptr);
        }
    }

    std::string StatusFile() const { return folder.Path() + "\\host-status"; }

    void AddSet(const std::string& name, const std::string& description) {
        MakeLongFolder(midi + "\\" + name);
        WriteLongFile(midi + "\\" + name + "\\program.txt", description);
    }

    ScratchFolder folder;
    std::string midi;
};

TEST_F(OddMidiFolder, TenThousandFoldersAndEveryOddEntryStillOfferAtMostFourSets) {
    std::set<std::string> named;
    MakeTenThousandFolders();
    WIN32_FIND_DATAA last;
    HANDLE made = FindFirstFileA((midi + "\\bank09999").c_str(), &last);
    ASSERT_NE(made, INVALID_HANDLE_VALUE);
    FindClose(made);
    for (const char* name : {"bank00000", "bank04711", "bank09999"}) {
        folder.WriteFile(std::string("MIDI\\") + name + "\\program.txt",
                         std::string("instrument \"Set ") + name + "\"\r\n1 \"bank.dls\"\r\n");
        named.insert(std::string("Set ") + name);
    }

    // Names of 255 characters, whose description path cannot be built, and the longest name
    // whose path still fits.
    AddSet(std::string(255, 'x'), "instrument \"Too Long\"\r\n");
    AddSet(std::string(242, 'y'), "instrument \"Longest Fitting\"\r\n");
    named.insert("Longest Fitting");

    // Names starting with a dot.
    AddSet(".hidden", "instrument \"Hidden\"\r\n");
    AddSet("..dots", "instrument \"Dots\"\r\n");

    // A file where a folder is expected, and a folder where the description is expected.
    folder.WriteFile("MIDI\\loose", "instrument \"Loose\"\r\n");
    folder.MakeFolder("MIDI\\nested\\program.txt");

    // A description another program holds open without sharing it.
    AddSet("locked", "instrument \"Locked\"\r\n");
    HANDLE locked = CreateFileA((midi + "\\locked\\program.txt").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);

    // Binary garbage, the same on every run. Without a double quote no line can be finished, so
    // it names no set; a proper line behind the same garbage still does.
    std::mt19937 random(7);
    std::string garbage(64 * 1024, '\0');
    for (char& c : garbage) {
        do
            c = static_cast<char>(random());
        while (c == '"' || c == '\n' || c == '\0');
    }
    AddSet("garbage", garbage);
    AddSet("garbage-then-name", garbage + "\ninstrument \"After Garbage\"\n");
    named.insert("After Garbage");

    // A 64 MiB description, its first line proper: descriptions that large are not read.
    AddSet("huge", "instrument \"Huge\"\r\n");
    HANDLE huge = CreateFileA((midi + "\\huge\\program.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(huge, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = 64 << 20;
    EXPECT_TRUE(SetFilePointerEx(huge, end, nullptr, FILE_BEGIN) && SetEndOfFile(huge));
    CloseHandle(huge);

    AddSet("plain", "// ordinary\r\ninstrument \"Plain\"\r\n2 \"drums.dls\"\r\n");
    named.insert("Plain");

    StoreDword("Music instrument", 9);
    KestProcess program(folder.ProgramPath());
    Sheet sheet(program, 60000);
    ASSERT_TRUE(sheet.Ready()) << program.DebugText();
    CloseHandle(locked);

    // "NONE", "WAVE" and four of the sets that name themselves, each once; the stored choice
    // is fitted to the last of them.
    const std::vector<std::string> items = sheet.ComboItems(1010);
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0], "NONE");
    EXPECT_EQ(items[1], "WAVE");
    std::set<std::string> offered(items.begin() + 2, items.end());
    EXPECT_EQ(offered.size(), 4u);
    for (const std::string& item : offered)
        EXPECT_TRUE(named.count(item)) << item;
    EXPECT_EQ(sheet.ComboSelection(1010), 5);

    sheet.Press(PSBTN_OK);
    ASSERT_TRUE(program.WaitForExit()) << "a box left open?";
    EXPECT_EQ(program.ExitCode(), 0u);
    const std::string text = program.DebugText();
    EXPECT_EQ(text.find("failed"), std::string::npos) << text;
    EXPECT_NE(text.find("ShutDown\n"), std::string::npos) << text;
    const auto saved = ReadValue("Music instrument");
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->AsDword(), 5u);
}

} // namespace

// The probes against the DirectX that Wine provides, through pass-through seams that check
// the real interfaces are all given back. Wine's runtime answers at the DirectX 7 level. Its
// DirectSound cannot make the test buffer without a sound device (the test machines have none),
// and with one it still supports no EAX property set: the EAX level is 0 either way.
#include "probes/DirectXVersion.h"
#include "probes/EaxProbe.h"
#include "settings/StartupSettings.h"

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Which real interfaces and libraries are alive, and every misuse of them.
struct Liveness {
    std::set<ComObject> interfaces;
    std::map<LibraryHandle, std::string> libraries;
    std::vector<std::string> problems;
    std::vector<std::string> loaded;

    // Called after the call that filled `object`: arguments are evaluated in no set order.
    HResult Obtained(HResult result, const ComObject* object) {
        if (result >= 0 && *object && !interfaces.insert(*object).second)
            problems.push_back("an interface handed out twice");
        return result;
    }
    void Released(ComObject object) {
        if (!interfaces.erase(object))
            problems.push_back("released an interface not held");
    }
};

class WatchedDirectX : public DirectXApi {
  public:
    std::optional<OsVersion> pretended;
    Liveness live;

    bool QueryOsVersion(OsVersion* version) override {
        if (!pretended)
            return real.QueryOsVersion(version);
        *version = *pretended;
        return true;
    }
    LibraryHandle LoadDll(const char* name) override {
        const LibraryHandle library = real.LoadDll(name);
        live.loaded.push_back(name);
        if (library)
            live.libraries[library] = name;
        return library;
    }
    ProcEntry FindEntry(LibraryHandle library, const char* name) override {
        return real.FindEntry(library, name);
    }
    void FreeDll(LibraryHandle library) override {
        auto found = live.libraries.find(library);
        if (found == live.libraries.end())
            live.problems.push_back("freed a library not loaded");
        else if (found->second == "DDRAW.DLL" && !live.interfaces.empty())
            live.problems.push_back("DDRAW.DLL freed with interfaces alive");
        if (found != live.libraries.end())
            live.libraries.erase(found);
        real.FreeDll(library);
    }
    HResult CreateDirectDraw(ProcEntry entry, ComObject* directDraw) override {
        const HResult result = real.CreateDirectDraw(entry, directDraw);
        return live.Obtained(result, directDraw);
    }
    HResult QueryInterface(ComObject object, DirectDrawInterface iid, ComObject* result) override {
        const HResult status = real.QueryInterface(object, iid, result);
        return live.Obtained(status, result);
    }
    HResult SetNormalCooperativeLevel(ComObject directDraw) override {
        return real.SetNormalCooperativeLevel(directDraw);
    }
    HResult CreatePrimarySurface(ComObject directDraw, ComObject* surface) override {
        const HResult result = real.CreatePrimarySurface(directDraw, surface);
        return live.Obtained(result, surface);
    }
    void Release(ComObject object) override {
        live.Released(object);
        real.Release(object);
    }
    void InitializeCom() override { real.InitializeCom(); }
    void UninitializeCom() override { real.UninitializeCom(); }
    HResult CreateDirectMusic(ComObject* directMusic) override {
        const HResult result = real.CreateDirectMusic(directMusic);
        return live.Obtained(result, directMusic);
    }
    HResult CreateDirectDraw7(ProcEntry entry, ComObject* directDraw7) override {
        const HResult result = real.CreateDirectDraw7(entry, directDraw7);
        return live.Obtained(result, directDraw7);
    }
    void WriteDebugLine(const char* line) override {
        lines.push_back(line);
        real.WriteDebugLine(line);
    }

    std::vector<std::string> lines;

  private:
    DirectXApi& real = PlatformDirectX();
};

class WatchedSound : public SoundApi {
  public:
    Liveness live;
    std::vector<HResult> bufferResults;

    HResult CreateDirectSound(ComObject* directSound) override {
        const HResult result = real.CreateDirectSound(directSound);
        return live.Obtained(result, directSound);
    }
    HResult Initialize(ComObject directSound) override { return real.Initialize(directSound); }
    HResult SetCooperativeLevel(ComObject directSound, void* window, std::uint32_t level) override {
        return real.SetCooperativeLevel(directSound, window, level);
    }
    HResult CreateSoundBuffer(ComObject directSound, const SoundBufferRequest& request,
                              ComObject* buffer) override {
        bufferResults.push_back(real.CreateSoundBuffer(directSound, request, buffer));
        return live.Obtained(bufferResults.back(), buffer);
    }
    HResult QueryInterface(ComObject object, SoundInterface iid, ComObject* result) override {
        const HResult status = real.QueryInterface(object, iid, result);
        return live.Obtained(status, result);
    }
    HResult QuerySupport(ComObject propertySet, EaxPropertySet set, std::uint32_t propertyId,
                         std::uint32_t* support) override {
        return real.QuerySupport(propertySet, set, propertyId, support);
    }
    void Release(ComObject object) override {
        live.Released(object);
        real.Release(object);
    }

  private:
    SoundApi& real = PlatformSound();
};

class ProbesWin32 : public ::testing::Test {
  protected:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }

    void Detect(WatchedDirectX& directX, std::uint32_t* version, std::uint32_t* platform) {
        DetectDirectXVersion(version, platform, directX);
        EXPECT_EQ(directX.live.problems, std::vector<std::string>{});
        EXPECT_TRUE(directX.live.interfaces.empty());
        EXPECT_TRUE(directX.live.libraries.empty());
        EXPECT_TRUE(directX.lines.empty()) << directX.lines.front();
    }
};

TEST_F(ProbesWin32, WineIsDirectX7OnTheNtFamily) {
    WatchedDirectX directX;
    std::uint32_t version = 0, platform = 0;
    Detect(directX, &version, &platform);
    std::printf("Wine: DirectX version 0x%x, platform %u\n", version, platform);
    RecordProperty("directx_version", static_cast<int>(version));
    EXPECT_EQ(version, 0x700u);
    EXPECT_EQ(platform, 2u);
}

TEST_F(ProbesWin32, TheSameRuntimeSeenAsWindows98) {
    WatchedDirectX directX;
    directX.pretended = OsVersion{1, 4};
    std::uint32_t version = 0, platform = 0;
    Detect(directX, &version, &platform);
    EXPECT_EQ(version, 0x700u);
    EXPECT_EQ(platform, 1u);
}

TEST_F(ProbesWin32, SeenAsWindowsNt4OnlyDirectInputIsAsked) {
    WatchedDirectX directX;
    directX.pretended = OsVersion{2, 4};
    std::uint32_t version = 0, platform = 0;
    Detect(directX, &version, &platform);
    EXPECT_EQ(version, 0x300u);
    EXPECT_EQ(platform, 2u);
    EXPECT_EQ(directX.live.loaded, std::vector<std::string>{"DINPUT.DLL"});
}

TEST_F(ProbesWin32, WinesDirectSoundOffersNoEax) {
    HWND window = CreateWindowExA(0, "STATIC", "probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    WatchedSound sound;
    EaxLevel = -1;
    DetectEaxLevel(window, sound);
    DestroyWindow(window);
    std::printf("Wine: EAX level %d, CreateSoundBuffer answers:", EaxLevel);
    for (const HResult result : sound.bufferResults)
        std::printf(" 0x%08x", static_cast<unsigned>(result));
    std::printf("\n");
    RecordProperty("eax_level", EaxLevel);
    EXPECT_EQ(EaxLevel, 0);
    EXPECT_FALSE(sound.bufferResults.empty()) << "DirectSound was not created";
    EXPECT_EQ(sound.live.problems, std::vector<std::string>{});
    EXPECT_TRUE(sound.live.interfaces.empty());
    EaxLevel = 0;
}

} // namespace

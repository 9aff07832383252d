#include "probes/DirectXVersion.h"

namespace {

constexpr std::uint32_t PlatformUndetermined = 0;
constexpr std::uint32_t PlatformWindows9x = 1;
constexpr std::uint32_t PlatformWindowsNt = 2;

bool Failed(HResult result) {
    return result < 0;
}

// One run of the probe. Everything it obtains is released newest first, and always before
// DDRAW.DLL is freed: an interface outliving its library would call into unmapped code.
class DirectXProbe {
  public:
    explicit DirectXProbe(DirectXApi& directX) : api(directX) {}
    ~DirectXProbe() { ReleaseAll(); }
    DirectXProbe(const DirectXProbe&) = delete;
    DirectXProbe& operator=(const DirectXProbe&) = delete;

    void Run();

    std::uint32_t version = 0;
    std::uint32_t platform = PlatformUndetermined;

  private:
    void Undetermined() {
        version = 0;
        platform = PlatformUndetermined;
    }
    void Release(ComObject& object) {
        if (object)
            api.Release(object);
        object = 0;
    }
    void ReleaseInterfaces() {
        Release(surface4);
        Release(surface3);
        Release(surface);
        Release(directDraw);
    }
    void ReleaseAll() {
        ReleaseInterfaces();
        if (ddraw)
            api.FreeDll(ddraw);
        ddraw = 0;
    }
    bool HasDirectInput();
    void ProbeDirectDraw();
    void ProbeDirectMusicAndDirectDraw7();

    DirectXApi& api;
    LibraryHandle ddraw = 0;
    ComObject directDraw = 0;
    ComObject surface = 0;
    ComObject surface3 = 0;
    ComObject surface4 = 0;
};

// DirectX 3 brought DirectInput; only the presence of its entry point counts.
bool DirectXProbe::HasDirectInput() {
    const LibraryHandle dinput = api.LoadDll("DINPUT.DLL");
    if (!dinput) {
        api.WriteDebugLine("Couldn't LoadLibrary DInput\r\n");
        return false;
    }
    const ProcEntry create = api.FindEntry(dinput, "DirectInputCreateA");
    api.FreeDll(dinput);
    if (!create) {
        api.WriteDebugLine("Couldn't GetProcAddress DInputCreate\r\n");
        return false;
    }
    return true;
}

void DirectXProbe::Run() {
    OsVersion os = {};
    if (!api.QueryOsVersion(&os))
        return Undetermined();
    if (os.platformId == VerPlatformWin32Nt) {
        platform = PlatformWindowsNt;
        if (os.majorVersion < 4) {
            version = 0;
            return;
        }
        if (os.majorVersion == 4) {
            // DirectDraw on NT 4 is never trusted; DirectInput tells DirectX 2 from 3.
            version = 0x200;
            if (HasDirectInput())
                version = 0x300;
            return;
        }
    } else {
        platform = PlatformWindows9x;
    }
    ProbeDirectDraw();
}

void DirectXProbe::ProbeDirectDraw() {
    ddraw = api.LoadDll("DDRAW.DLL");
    if (!ddraw)
        return Undetermined();
    const ProcEntry create = api.FindEntry(ddraw, "DirectDrawCreate");
    if (!create) {
        Undetermined();
        ReleaseAll();
        api.WriteDebugLine("Couldn't LoadLibrary DDraw\r\n");
        return;
    }
    // Out-values are trusted only on success.
    ComObject obtained = 0;
    if (Failed(api.CreateDirectDraw(create, &obtained))) {
        Undetermined();
        ReleaseAll();
        api.WriteDebugLine("Couldn't create DDraw\r\n");
        return;
    }
    directDraw = obtained;

    version = 0x100;
    ComObject directDraw2 = 0;
    if (Failed(api.QueryInterface(directDraw, DirectDrawInterface::DirectDraw2, &directDraw2))) {
        ReleaseAll();
        api.WriteDebugLine("Couldn't QI DDraw2\r\n");
        return;
    }
    Release(directDraw2);

    version = 0x200;
    if (!HasDirectInput())
        return ReleaseAll();
    version = 0x300;

    if (Failed(api.SetNormalCooperativeLevel(directDraw))) {
        ReleaseAll();
        version = 0;
        api.WriteDebugLine("Couldn't Set coop level\r\n");
        return;
    }
    obtained = 0;
    if (Failed(api.CreatePrimarySurface(directDraw, &obtained))) {
        ReleaseAll();
        version = 0;
        api.WriteDebugLine("Couldn't CreateSurface\r\n");
        return;
    }
    surface = obtained;

    obtained = 0;
    if (Failed(api.QueryInterface(surface, DirectDrawInterface::Surface3, &obtained)))
        return ReleaseAll();
    surface3 = obtained;
    version = 0x500;

    obtained = 0;
    if (Failed(api.QueryInterface(surface, DirectDrawInterface::Surface4, &obtained)))
        return ReleaseAll();
    surface4 = obtained;
    version = 0x600;

    // DDRAW.DLL stays loaded for the DirectDraw 7 entry point.
    ReleaseInterfaces();
    ProbeDirectMusicAndDirectDraw7();
    ReleaseAll();
}

void DirectXProbe::ProbeDirectMusicAndDirectDraw7() {
    api.InitializeCom();
    ComObject directMusic = 0;
    if (Failed(api.CreateDirectMusic(&directMusic))) {
        api.WriteDebugLine("Couldn't create CLSID_DirectMusic\r\n");
        api.UninitializeCom();
        return;
    }
    version = 0x601;
    Release(directMusic);
    api.UninitializeCom();

    const ProcEntry createEx = api.FindEntry(ddraw, "DirectDrawCreateEx");
    if (!createEx)
        return;
    ComObject directDraw7 = 0;
    if (Failed(api.CreateDirectDraw7(createEx, &directDraw7)))
        return;
    version = 0x700;
    Release(directDraw7);
}

} // namespace

void DetectDirectXVersion(std::uint32_t* version, std::uint32_t* platform, DirectXApi& directX) {
    DirectXProbe probe(directX);
    probe.Run();
    *version = probe.version;
    *platform = probe.platform;
}

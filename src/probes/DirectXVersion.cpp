#include "probes/DirectXVersion.h"

namespace {

constexpr std::uint32_t PlatformUndetermined = 0;
constexpr std::uint32_t PlatformWindows9x = 1;
constexpr std::uint32_t PlatformWindowsNt = 2;

bool Failed(HResult result) {
    return result < 0;
}

struct FreeThrough {
    DirectXApi* api;
    void operator()(LibraryHandle library) const { api->FreeDll(library); }
};

// One run of the probe. Everything it obtains is released newest first, and always before
// DDRAW.DLL is freed: an interface outliving its library would call into unmapped code.
class DirectXProbe {
  public:
    explicit DirectXProbe(DirectXApi& directX) : api(directX) {}

    void Run(OsVersionApi& os);

    std::uint32_t version = 0;
    std::uint32_t platform = PlatformUndetermined;

  private:
    void Undetermined() {
        version = 0;
        platform = PlatformUndetermined;
    }
    void ReleaseInterfaces() {
        surface4.Reset();
        surface3.Reset();
        surface.Reset();
        directDraw.Reset();
    }
    void ReleaseAll() {
        ReleaseInterfaces();
        ddraw.Reset();
    }
    // One that the probe only needed to obtain.
    void ReleaseAtOnce(ComObject object) {
        if (object)
            api.Release(object);
    }
    bool HasDirectInput();
    void ProbeDirectDraw();
    void ProbeDirectMusicAndDirectDraw7();

    DirectXApi& api;
    // Destroyed in the reverse order: the library last.
    Scoped<LibraryHandle, FreeThrough> ddraw{FreeThrough{&api}};
    HeldObject<DirectXApi> directDraw{ReleaseThrough<DirectXApi>{&api}};
    HeldObject<DirectXApi> surface{ReleaseThrough<DirectXApi>{&api}};
    HeldObject<DirectXApi> surface3{ReleaseThrough<DirectXApi>{&api}};
    HeldObject<DirectXApi> surface4{ReleaseThrough<DirectXApi>{&api}};
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

void DirectXProbe::Run(OsVersionApi& os) {
    OsVersion system = {};
    if (!os.QueryOsVersion(&system))
        return Undetermined();
    if (system.platformId == VerPlatformWin32Nt) {
        platform = PlatformWindowsNt;
        if (system.majorVersion < 4) {
            version = 0;
            return;
        }
        if (system.majorVersion == 4) {
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
    ddraw.Reset(api.LoadDll("DDRAW.DLL"));
    if (!ddraw.Get())
        return Undetermined();
    const ProcEntry create = api.FindEntry(ddraw.Get(), "DirectDrawCreate");
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
    directDraw.Reset(obtained);

    version = 0x100;
    ComObject directDraw2 = 0;
    if (Failed(
            api.QueryInterface(directDraw.Get(), DirectDrawInterface::DirectDraw2, &directDraw2))) {
        ReleaseAll();
        api.WriteDebugLine("Couldn't QI DDraw2\r\n");
        return;
    }
    ReleaseAtOnce(directDraw2);

    version = 0x200;
    if (!HasDirectInput())
        return;
    version = 0x300;

    if (Failed(api.SetNormalCooperativeLevel(directDraw.Get()))) {
        ReleaseAll();
        version = 0;
        api.WriteDebugLine("Couldn't Set coop level\r\n");
        return;
    }
    obtained = 0;
    if (Failed(api.CreatePrimarySurface(directDraw.Get(), &obtained))) {
        ReleaseAll();
        version = 0;
        api.WriteDebugLine("Couldn't CreateSurface\r\n");
        return;
    }
    surface.Reset(obtained);

    obtained = 0;
    if (Failed(api.QueryInterface(surface.Get(), DirectDrawInterface::Surface3, &obtained)))
        return;
    surface3.Reset(obtained);
    version = 0x500;

    obtained = 0;
    if (Failed(api.QueryInterface(surface.Get(), DirectDrawInterface::Surface4, &obtained)))
        return;
    surface4.Reset(obtained);
    version = 0x600;

    // DDRAW.DLL stays loaded for the DirectDraw 7 entry point.
    ReleaseInterfaces();
    ProbeDirectMusicAndDirectDraw7();
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
    ReleaseAtOnce(directMusic);
    api.UninitializeCom();

    const ProcEntry createEx = api.FindEntry(ddraw.Get(), "DirectDrawCreateEx");
    if (!createEx)
        return;
    ComObject directDraw7 = 0;
    if (Failed(api.CreateDirectDraw7(createEx, &directDraw7)))
        return;
    version = 0x700;
    ReleaseAtOnce(directDraw7);
}

} // namespace

void DetectDirectXVersion(std::uint32_t* version, std::uint32_t* platform, DirectXApi& directX,
                          OsVersionApi& os) {
    DirectXProbe probe(directX);
    probe.Run(os);
    *version = probe.version;
    *platform = probe.platform;
}

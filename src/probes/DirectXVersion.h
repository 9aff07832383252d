// Finds the installed DirectX level by what each level added to the runtime.
#pragma once

#include "probes/ComTypes.h"
#include "probes/OsVersion.h"

#include <cstdint>

// Interfaces asked of DirectDraw objects; the Windows side maps them to their IIDs.
enum class DirectDrawInterface { DirectDraw2, Surface3, Surface4 };

// The platform operations of the probe, in the order it first uses them.
class DirectXApi {
  public:
    virtual ~DirectXApi() = default;
    virtual LibraryHandle LoadDll(const char* name) = 0;
    virtual ProcEntry FindEntry(LibraryHandle library, const char* name) = 0;
    virtual void FreeDll(LibraryHandle library) = 0;
    // Calls the DirectDrawCreate found at `entry` for the primary display driver.
    virtual HResult CreateDirectDraw(ProcEntry entry, ComObject* directDraw) = 0;
    virtual HResult QueryInterface(ComObject object, DirectDrawInterface iid,
                                   ComObject* result) = 0;
    // No window, DDSCL_NORMAL.
    virtual HResult SetNormalCooperativeLevel(ComObject directDraw) = 0;
    // A DDSURFACEDESC asking for DDSCAPS_PRIMARYSURFACE only.
    virtual HResult CreatePrimarySurface(ComObject directDraw, ComObject* surface) = 0;
    virtual void Release(ComObject object) = 0;
    virtual void InitializeCom() = 0;
    virtual void UninitializeCom() = 0;
    // CoCreateInstance of CLSID_DirectMusic for IID_IDirectMusic, in process.
    virtual HResult CreateDirectMusic(ComObject* directMusic) = 0;
    // Calls the DirectDrawCreateEx found at `entry`, asking for IID_IDirectDraw7.
    virtual HResult CreateDirectDraw7(ProcEntry entry, ComObject* directDraw7) = 0;
    virtual void WriteDebugLine(const char* line) = 0;
};

// The DirectX runtime itself; only the Windows build defines it.
DirectXApi& PlatformDirectX();

// 0x100 for DirectX 1 up to 0x700 for DirectX 7 (no 0x400); 0 when DirectDraw is unusable.
// `platform`: 0 undetermined, 1 the Windows 9x family, 2 the NT family. Both are always written.
void DetectDirectXVersion(std::uint32_t* version, std::uint32_t* platform,
                          DirectXApi& directX = PlatformDirectX(),
                          OsVersionApi& os = PlatformOsVersion());

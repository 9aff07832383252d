#include "probes/DirectXVersion.h"

#include <windows.h>
#include <objbase.h>
#include <ddraw.h>
#include <dmusicc.h>

#if defined(_M_IX86) || defined(__i386__)
static_assert(sizeof(DDSURFACEDESC) == 108, "DDSURFACEDESC layout");
#endif

namespace {

using DirectDrawCreateEntry = HRESULT(WINAPI*)(GUID*, IDirectDraw**, IUnknown*);
using DirectDrawCreateExEntry = HRESULT(WINAPI*)(GUID*, void**, REFIID, IUnknown*);

const IID& IidOf(DirectDrawInterface iid) {
    switch (iid) {
    case DirectDrawInterface::DirectDraw2:
        return IID_IDirectDraw2;
    case DirectDrawInterface::Surface3:
        return IID_IDirectDrawSurface3;
    case DirectDrawInterface::Surface4:
        break;
    }
    return IID_IDirectDrawSurface4;
}

class Win32DirectX final : public DirectXApi {
  public:
    LibraryHandle LoadDll(const char* name) override {
        return ToPlatformHandle(LoadLibraryA(name));
    }
    ProcEntry FindEntry(LibraryHandle library, const char* name) override {
        return ToPlatformHandle(GetProcAddress(ToNative<HMODULE>(library), name));
    }
    void FreeDll(LibraryHandle library) override { FreeLibrary(ToNative<HMODULE>(library)); }
    HResult CreateDirectDraw(ProcEntry entry, ComObject* directDraw) override {
        IDirectDraw* object = nullptr;
        const HRESULT result = ToNative<DirectDrawCreateEntry>(entry)(nullptr, &object, nullptr);
        *directDraw = ToPlatformHandle(object);
        return result;
    }
    HResult QueryInterface(ComObject object, DirectDrawInterface iid, ComObject* result) override {
        if (!object)
            return E_POINTER;
        void* obtained = nullptr;
        const HRESULT status = ToNative<IUnknown*>(object)->QueryInterface(IidOf(iid), &obtained);
        *result = ToPlatformHandle(obtained);
        return status;
    }
    HResult SetNormalCooperativeLevel(ComObject directDraw) override {
        if (!directDraw)
            return E_POINTER;
        return ToNative<IDirectDraw*>(directDraw)->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    }
    HResult CreatePrimarySurface(ComObject directDraw, ComObject* surface) override {
        if (!directDraw)
            return E_POINTER;
        DDSURFACEDESC description = {};
        description.dwSize = sizeof description;
        description.dwFlags = DDSD_CAPS;
        description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        IDirectDrawSurface* created = nullptr;
        const HRESULT result =
            ToNative<IDirectDraw*>(directDraw)->CreateSurface(&description, &created, nullptr);
        *surface = ToPlatformHandle(created);
        return result;
    }
    void Release(ComObject object) override { ToNative<IUnknown*>(object)->Release(); }
    void InitializeCom() override { CoInitialize(nullptr); }
    void UninitializeCom() override { CoUninitialize(); }
    HResult CreateDirectMusic(ComObject* directMusic) override {
        void* object = nullptr;
        const HRESULT result = CoCreateInstance(CLSID_DirectMusic, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_IDirectMusic, &object);
        *directMusic = ToPlatformHandle(object);
        return result;
    }
    HResult CreateDirectDraw7(ProcEntry entry, ComObject* directDraw7) override {
        void* object = nullptr;
        const HRESULT result =
            ToNative<DirectDrawCreateExEntry>(entry)(nullptr, &object, IID_IDirectDraw7, nullptr);
        *directDraw7 = ToPlatformHandle(object);
        return result;
    }
    void WriteDebugLine(const char* line) override { OutputDebugStringA(line); }
};

} // namespace

DirectXApi& PlatformDirectX() {
    static Win32DirectX directX;
    return directX;
}

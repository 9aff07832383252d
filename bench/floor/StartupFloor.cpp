// The floor that KestSetup.exe's start-up is measured against: the same platform calls its
// start-up makes (the named mutexes, the version query, the DirectX level probe's objects in the
// same order, DirectSound with its cooperative levels and test buffer), then an empty one-page
// property sheet with the same caption. "--bare" shows the sheet alone. None of the tool's own
// work (settings, instrument sets, bitmaps, painting, the page's controls) is done, so the time
// the tool takes beyond this program is what it adds.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <mmsystem.h>
#include <ddraw.h>
#include <dmusicc.h>
#include <dsound.h>

#include <cstring>
#include <initializer_list>

namespace {

const char* const Caption = "Kest I&II OMNIVA Setup";
constexpr int PageTemplate = 102;
constexpr int IconId = 101;

// One COM interface, released once.
template <class Interface> class Com {
  public:
    Com() = default;
    ~Com() { Reset(); }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;

    Interface* operator->() const { return object_; }
    Interface* Get() const { return object_; }
    void** Out() { return reinterpret_cast<void**>(&object_); }
    Interface** Typed() { return &object_; }
    void Reset() {
        if (object_)
            object_->Release();
        object_ = nullptr;
    }

  private:
    Interface* object_ = nullptr;
};

class Library {
  public:
    explicit Library(const char* name) : module_(LoadLibraryA(name)) {}
    ~Library() { Free(); }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    explicit operator bool() const { return module_ != nullptr; }
    template <class Function = void*> Function Entry(const char* name) const {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }
    void Free() {
        if (module_)
            FreeLibrary(module_);
        module_ = nullptr;
    }

  private:
    HMODULE module_;
};

class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (handle_)
            CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

  private:
    HANDLE handle_;
};

class ComApartment {
  public:
    ComApartment() { CoInitialize(nullptr); }
    ~ComApartment() { CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

// The guard's mutex calls, under a name of our own so that the floor and the tool never refuse
// each other.
HANDLE TakeMutexes() {
    HANDLE own = CreateMutexA(nullptr, TRUE, "KestFloor");
    for (const char* game : {"KestII SEMPERA", "KestI SEMPERA"})
        if (HANDLE opened = OpenMutexA(MUTEX_ALL_ACCESS, TRUE, game))
            CloseHandle(opened);
    return own;
}

OSVERSIONINFOA QueryVersion() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&version);
#pragma GCC diagnostic pop
    return version;
}

// Every object the DirectX level probe makes on a machine with DirectX 7, in its order.
void ProbeDirectX() {
    QueryVersion();
    Library directDraw("DDRAW.DLL");
    if (!directDraw)
        return;
    using Create = HRESULT(WINAPI*)(GUID*, IDirectDraw**, IUnknown*);
    using CreateEx = HRESULT(WINAPI*)(GUID*, void**, REFIID, IUnknown*);
    const auto create = directDraw.Entry<Create>("DirectDrawCreate");
    if (!create)
        return;
    {
        Com<IDirectDraw> object;
        if (FAILED(create(nullptr, object.Typed(), nullptr)))
            return;
        Com<IDirectDraw2> second;
        object->QueryInterface(IID_IDirectDraw2, second.Out());
        second.Reset();
        {
            Library input("DINPUT.DLL");
            if (input)
                input.Entry("DirectInputCreateA");
        }
        if (FAILED(object->SetCooperativeLevel(nullptr, DDSCL_NORMAL)))
            return;
        DDSURFACEDESC description = {};
        description.dwSize = sizeof description;
        description.dwFlags = DDSD_CAPS;
        description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        Com<IDirectDrawSurface> surface;
        if (FAILED(object->CreateSurface(&description, surface.Typed(), nullptr)))
            return;
        Com<IDirectDrawSurface3> third;
        Com<IDirectDrawSurface4> fourth;
        surface->QueryInterface(IID_IDirectDrawSurface3, third.Out());
        surface->QueryInterface(IID_IDirectDrawSurface4, fourth.Out());
    }
    {
        ComApartment apartment;
        Com<IDirectMusic> music;
        CoCreateInstance(CLSID_DirectMusic, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectMusic,
                         music.Out());
    }
    if (const auto createEx = directDraw.Entry<CreateEx>("DirectDrawCreateEx")) {
        Com<IUnknown> seventh;
        createEx(nullptr, seventh.Out(), IID_IDirectDraw7, nullptr);
    }
}

// DirectSound for a moment, with the test buffer and the reverb property questions.
void ProbeSound(HWND window) {
    static const GUID listener = {
        0x0306a6a8, 0xb224, 0x11d2, {0x99, 0xe5, 0x00, 0x00, 0xe8, 0xd8, 0xc7, 0x22}};
    static const GUID reverb = {
        0x4a4e6fc1, 0xc341, 0x11d1, {0xb7, 0x3a, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    static const GUID bufferReverb = {
        0x4a4e6fc0, 0xc341, 0x11d1, {0xb7, 0x3a, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

    Com<IDirectSound> sound;
    if (CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound,
                         sound.Out()) != S_OK)
        return;
    sound->Initialize(nullptr);
    sound->SetCooperativeLevel(window, DSSCL_EXCLUSIVE);
    {
        WAVEFORMATEX format = {WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
        DSBUFFERDESC description = {};
        description.dwSize = sizeof description;
        description.dwFlags = DSBCAPS_CTRL3D | DSBCAPS_STATIC;
        description.dwBufferBytes = 1024;
        description.lpwfxFormat = &format;
        Com<IDirectSoundBuffer> buffer;
        if (sound->CreateSoundBuffer(&description, buffer.Typed(), nullptr) == S_OK) {
            ULONG support = 0;
            Com<IDirectSound3DBuffer> buffer3D;
            Com<IKsPropertySet> properties;
            if (buffer->QueryInterface(IID_IDirectSound3DBuffer, buffer3D.Out()) == S_OK &&
                buffer3D->QueryInterface(IID_IKsPropertySet, properties.Out()) == S_OK)
                properties->QuerySupport(listener, 1, &support);
            properties.Reset();
            if (buffer->QueryInterface(IID_IKsPropertySet, properties.Out()) == S_OK) {
                properties->QuerySupport(reverb, 0, &support);
                properties->QuerySupport(bufferReverb, 0, &support);
            }
        }
    }
    sound->SetCooperativeLevel(window, DSSCL_NORMAL);
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// The hidden, disabled owner of the sheet, as the tool makes it.
HWND CreateOwner(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = OwnerProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IconId));
    windowClass.hIconSm =
        static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IconId), IMAGE_ICON, 16, 16, 0));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "KestFloor";
    if (!RegisterClassExA(&windowClass))
        return nullptr;
    const int x = (GetSystemMetrics(SM_CXFULLSCREEN) - 420) / 2;
    const int y = (GetSystemMetrics(SM_CYFULLSCREEN) - 300) / 2;
    return CreateWindowExA(WS_EX_APPWINDOW, "KestFloor", Caption, WS_POPUP | WS_DISABLED, x, y, 232,
                           52, nullptr, nullptr, instance, nullptr);
}

INT_PTR CALLBACK EmptyPageProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

void ShowSheet(HWND owner, HINSTANCE instance) {
    InitCommonControls();
    PROPSHEETPAGEA page = {};
    page.dwSize = PROPSHEETPAGEA_V1_SIZE;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = instance;
    page.pszTemplate = MAKEINTRESOURCEA(PageTemplate);
    page.pfnDlgProc = EmptyPageProc;
    HPROPSHEETPAGE handle = CreatePropertySheetPageA(&page);

    PROPSHEETHEADERA header = {};
    header.dwSize = PROPSHEETHEADERA_V1_SIZE;
    header.dwFlags = PSH_USEICONID;
    header.hwndParent = owner;
    header.hInstance = instance;
    header.pszIcon = "SMALL";
    header.pszCaption = Caption;
    header.nPages = 1;
    header.phpage = &handle;
    PropertySheetA(&header);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const bool bare = std::strstr(commandLine, "--bare") != nullptr;
    if (bare) {
        HWND owner = CreateOwner(instance);
        ShowSheet(owner, instance);
        DestroyWindow(owner);
        return 0;
    }
    ComApartment apartment;
    Handle mutex(TakeMutexes());
    QueryVersion();
    ProbeDirectX();
    HWND owner = CreateOwner(instance);
    ProbeSound(owner);
    ShowSheet(owner, instance);
    DestroyWindow(owner);
    return 0;
}

#include "probes/EaxProbe.h"

#include <windows.h>
#include <objbase.h>
#include <mmsystem.h>
#include <dsound.h>

#if defined(_M_IX86) || defined(__i386__)
static_assert(sizeof(DSBUFFERDESC) == 36 && sizeof(DSBUFFERDESC1) == 20, "DSBUFFERDESC layouts");
#endif

namespace {

// The published identifiers of the EAX reverb property sets.
constexpr GUID EaxListenerProperties = {
    0x0306a6a8, 0xb224, 0x11d2, {0x99, 0xe5, 0x00, 0x00, 0xe8, 0xd8, 0xc7, 0x22}};
constexpr GUID EaxReverbProperties = {
    0x4a4e6fc1, 0xc341, 0x11d1, {0xb7, 0x3a, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr GUID EaxBufferReverbProperties = {
    0x4a4e6fc0, 0xc341, 0x11d1, {0xb7, 0x3a, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

const GUID& GuidOf(EaxPropertySet set) {
    switch (set) {
    case EaxPropertySet::ListenerProperties:
        return EaxListenerProperties;
    case EaxPropertySet::ReverbProperties:
        return EaxReverbProperties;
    case EaxPropertySet::BufferReverbProperties:
        break;
    }
    return EaxBufferReverbProperties;
}

class Win32Sound final : public SoundApi {
  public:
    HResult CreateDirectSound(ComObject* directSound) override {
        void* object = nullptr;
        const HRESULT result = CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_IDirectSound, &object);
        *directSound = ToPlatformHandle(object);
        return result;
    }
    HResult Initialize(ComObject directSound) override {
        if (!directSound)
            return E_POINTER;
        return ToNative<IDirectSound*>(directSound)->Initialize(nullptr);
    }
    HResult SetCooperativeLevel(ComObject directSound, void* window, std::uint32_t level) override {
        if (!directSound)
            return E_POINTER;
        return ToNative<IDirectSound*>(directSound)
            ->SetCooperativeLevel(static_cast<HWND>(window), level);
    }
    HResult CreateSoundBuffer(ComObject directSound, const SoundBufferRequest& request,
                              ComObject* buffer) override {
        if (!directSound)
            return E_POINTER;
        WAVEFORMATEX format = {};
        format.wFormatTag = request.formatTag;
        format.nChannels = request.channels;
        format.nSamplesPerSec = request.samplesPerSecond;
        format.nAvgBytesPerSec = request.averageBytesPerSecond;
        format.nBlockAlign = request.blockAlign;
        format.wBitsPerSample = request.bitsPerSample;
        DSBUFFERDESC description = {};
        description.dwSize = request.layout == BufferDescriptionLayout::Current
                                 ? sizeof(DSBUFFERDESC)
                                 : sizeof(DSBUFFERDESC1);
        description.dwFlags = request.flags;
        description.dwBufferBytes = request.bufferBytes;
        description.lpwfxFormat = &format;
        IDirectSoundBuffer* created = nullptr;
        const HRESULT result = ToNative<IDirectSound*>(directSound)
                                   ->CreateSoundBuffer(&description, &created, nullptr);
        *buffer = ToPlatformHandle(created);
        return result;
    }
    HResult QueryInterface(ComObject object, SoundInterface iid, ComObject* result) override {
        if (!object)
            return E_POINTER;
        const IID& wanted =
            iid == SoundInterface::Sound3DBuffer ? IID_IDirectSound3DBuffer : IID_IKsPropertySet;
        void* obtained = nullptr;
        const HRESULT status = ToNative<IUnknown*>(object)->QueryInterface(wanted, &obtained);
        *result = ToPlatformHandle(obtained);
        return status;
    }
    HResult QuerySupport(ComObject propertySet, EaxPropertySet set, std::uint32_t propertyId,
                         std::uint32_t* support) override {
        if (!propertySet)
            return E_POINTER;
        ULONG mask = 0;
        const HRESULT result =
            ToNative<IKsPropertySet*>(propertySet)->QuerySupport(GuidOf(set), propertyId, &mask);
        *support = mask;
        return result;
    }
    void Release(ComObject object) override { ToNative<IUnknown*>(object)->Release(); }
};

} // namespace

SoundApi& PlatformSound() {
    static Win32Sound sound;
    return sound;
}

// Asks the sound device, through a short-lived DirectSound object, which EAX reverb
// property sets it supports.
#pragma once

#include "probes/ComTypes.h"

#include <cstdint>

enum class SoundInterface { Sound3DBuffer, KsPropertySet };

// The EAX property sets, by their published identifiers on the Windows side.
enum class EaxPropertySet {
    ListenerProperties,     // EAX 2.0 listener
    ReverbProperties,       // EAX 1.0 reverb
    BufferReverbProperties, // EAX 1.0 buffer reverb
};

constexpr std::uint32_t DsSclNormal = 1;
constexpr std::uint32_t DsSclExclusive = 3;
constexpr std::uint32_t DsbCapsCtrl3D = 0x10;
constexpr std::uint32_t DsbCapsStatic = 0x02;
constexpr std::uint32_t KsPropertySupportGet = 1;
constexpr std::uint32_t KsPropertySupportSet = 2;

// Which buffer description layout CreateSoundBuffer is given: the current one, which ends with
// the 3D algorithm GUID, or the first one, which ends before it (older runtimes).
enum class BufferDescriptionLayout { Current, First };

struct SoundBufferRequest {
    BufferDescriptionLayout layout;
    std::uint32_t flags;
    std::uint32_t bufferBytes;
    std::uint16_t formatTag;
    std::uint16_t channels;
    std::uint32_t samplesPerSecond;
    std::uint32_t averageBytesPerSecond;
    std::uint16_t blockAlign;
    std::uint16_t bitsPerSample;
};

class SoundApi {
  public:
    virtual ~SoundApi() = default;
    // CoCreateInstance of CLSID_DirectSound for IID_IDirectSound, in process.
    virtual HResult CreateDirectSound(ComObject* directSound) = 0;
    // IDirectSound::Initialize for the default device.
    virtual HResult Initialize(ComObject directSound) = 0;
    virtual HResult SetCooperativeLevel(ComObject directSound, void* window,
                                        std::uint32_t level) = 0;
    virtual HResult CreateSoundBuffer(ComObject directSound, const SoundBufferRequest& request,
                                      ComObject* buffer) = 0;
    virtual HResult QueryInterface(ComObject object, SoundInterface iid, ComObject* result) = 0;
    virtual HResult QuerySupport(ComObject propertySet, EaxPropertySet set,
                                 std::uint32_t propertyId, std::uint32_t* support) = 0;
    virtual void Release(ComObject object) = 0;
};

// DirectSound itself; only the Windows build defines it.
SoundApi& PlatformSound();

constexpr std::int32_t EaxNone = 0;
constexpr std::int32_t Eax10 = 1;
constexpr std::int32_t Eax20 = 2;

// Questions an initialised DirectSound object that has a cooperative level; the object stays
// with the caller, everything the probe obtains is released.
std::int32_t ProbeEaxSupport(ComObject directSound, SoundApi& sound = PlatformSound());

// Stores the level in EaxLevel; leaves it at 0 when DirectSound cannot be created.
void DetectEaxLevel(void* mainWindow, SoundApi& sound = PlatformSound());

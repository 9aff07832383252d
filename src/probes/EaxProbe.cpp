#include "probes/EaxProbe.h"

#include "settings/StartupSettings.h"

namespace {

constexpr std::uint32_t ListenerAllParameters = 1;
constexpr std::uint32_t ReverbAll = 0;
constexpr std::uint32_t BufferReverbAll = 0;

// Half a second of nothing: 16-bit stereo at 22.05 kHz, never played.
constexpr SoundBufferRequest TestBuffer = {BufferDescriptionLayout::Current,
                                           DsbCapsCtrl3D | DsbCapsStatic,
                                           1024,
                                           1,
                                           2,
                                           22050,
                                           88200,
                                           4,
                                           16};

// Get and set support are both needed to use a property; other bits mean nothing here.
bool Supported(SoundApi& sound, ComObject propertySet, EaxPropertySet set,
               std::uint32_t propertyId) {
    std::uint32_t support = 0;
    if (sound.QuerySupport(propertySet, set, propertyId, &support) != HrOk)
        return false;
    constexpr std::uint32_t both = KsPropertySupportGet | KsPropertySupportSet;
    return (support & both) == both;
}

using Held = HeldObject<SoundApi>;

// Only exactly S_OK counts, but any success code hands over the interface, which must then be
// released like any other.
bool Take(Held& held, HResult result, ComObject obtained) {
    if (result >= 0)
        held.Reset(obtained);
    return result == HrOk;
}

} // namespace

std::int32_t ProbeEaxSupport(ComObject directSound, SoundApi& sound) {
    // Declared in reverse order of release: the property set first, the buffer last.
    Held buffer(ReleaseThrough<SoundApi>{&sound});
    Held buffer3D(ReleaseThrough<SoundApi>{&sound});
    Held propertySet(ReleaseThrough<SoundApi>{&sound});

    SoundBufferRequest request = TestBuffer;
    ComObject obtained = 0;
    HResult result = sound.CreateSoundBuffer(directSound, request, &obtained);
    if (result < 0) {
        // Runtimes before DirectX 7 know only the shorter description.
        request.layout = BufferDescriptionLayout::First;
        obtained = 0;
        result = sound.CreateSoundBuffer(directSound, request, &obtained);
    }
    if (!Take(buffer, result, obtained))
        return EaxNone;

    obtained = 0;
    result = sound.QueryInterface(buffer.Get(), SoundInterface::Sound3DBuffer, &obtained);
    if (Take(buffer3D, result, obtained)) {
        obtained = 0;
        result = sound.QueryInterface(buffer3D.Get(), SoundInterface::KsPropertySet, &obtained);
        if (Take(propertySet, result, obtained) &&
            Supported(sound, propertySet.Get(), EaxPropertySet::ListenerProperties,
                      ListenerAllParameters))
            return Eax20;
    }

    // EAX 1.0 is asked of the sound buffer itself.
    propertySet.Reset();
    obtained = 0;
    result = sound.QueryInterface(buffer.Get(), SoundInterface::KsPropertySet, &obtained);
    if (!Take(propertySet, result, obtained))
        return EaxNone;
    if (Supported(sound, propertySet.Get(), EaxPropertySet::ReverbProperties, ReverbAll) &&
        Supported(sound, propertySet.Get(), EaxPropertySet::BufferReverbProperties,
                  BufferReverbAll))
        return Eax10;
    return EaxNone;
}

void DetectEaxLevel(void* mainWindow, SoundApi& sound) {
    Held directSound(ReleaseThrough<SoundApi>{&sound});
    ComObject obtained = 0;
    const HResult created = sound.CreateDirectSound(&obtained);
    if (!Take(directSound, created, obtained))
        return;
    sound.Initialize(directSound.Get());
    sound.SetCooperativeLevel(directSound.Get(), mainWindow, DsSclExclusive);
    EaxLevel = ProbeEaxSupport(directSound.Get(), sound);
    sound.SetCooperativeLevel(directSound.Get(), mainWindow, DsSclNormal);
}

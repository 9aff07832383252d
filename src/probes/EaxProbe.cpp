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

// Holds one interface and releases it once.
class Held {
  public:
    explicit Held(SoundApi& sound) : sound_(sound) {}
    ~Held() { Release(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

    void Release() {
        if (object)
            sound_.Release(object);
        object = 0;
    }
    // Only exactly S_OK counts, but any success code hands over the interface, which must
    // then be released like any other.
    bool Take(HResult result, ComObject obtained) {
        if (result >= 0)
            object = obtained;
        return result == HrOk;
    }

    ComObject object = 0;

  private:
    SoundApi& sound_;
};

} // namespace

std::int32_t ProbeEaxSupport(ComObject directSound, SoundApi& sound) {
    // Declared in reverse order of release: the property set first, the buffer last.
    Held buffer(sound);
    Held buffer3D(sound);
    Held propertySet(sound);

    SoundBufferRequest request = TestBuffer;
    ComObject obtained = 0;
    HResult result = sound.CreateSoundBuffer(directSound, request, &obtained);
    if (result < 0) {
        // Runtimes before DirectX 7 know only the shorter description.
        request.layout = BufferDescriptionLayout::First;
        obtained = 0;
        result = sound.CreateSoundBuffer(directSound, request, &obtained);
    }
    if (!buffer.Take(result, obtained))
        return EaxNone;

    obtained = 0;
    result = sound.QueryInterface(buffer.object, SoundInterface::Sound3DBuffer, &obtained);
    if (buffer3D.Take(result, obtained)) {
        obtained = 0;
        result = sound.QueryInterface(buffer3D.object, SoundInterface::KsPropertySet, &obtained);
        if (propertySet.Take(result, obtained) &&
            Supported(sound, propertySet.object, EaxPropertySet::ListenerProperties,
                      ListenerAllParameters))
            return Eax20;
    }

    // EAX 1.0 is asked of the sound buffer itself.
    propertySet.Release();
    obtained = 0;
    result = sound.QueryInterface(buffer.object, SoundInterface::KsPropertySet, &obtained);
    if (!propertySet.Take(result, obtained))
        return EaxNone;
    if (Supported(sound, propertySet.object, EaxPropertySet::ReverbProperties, ReverbAll) &&
        Supported(sound, propertySet.object, EaxPropertySet::BufferReverbProperties,
                  BufferReverbAll))
        return Eax10;
    return EaxNone;
}

void DetectEaxLevel(void* mainWindow, SoundApi& sound) {
    Held directSound(sound);
    ComObject obtained = 0;
    const HResult created = sound.CreateDirectSound(&obtained);
    if (!directSound.Take(created, obtained))
        return;
    sound.Initialize(directSound.object);
    sound.SetCooperativeLevel(directSound.object, mainWindow, DsSclExclusive);
    EaxLevel = ProbeEaxSupport(directSound.object, sound);
    sound.SetCooperativeLevel(directSound.object, mainWindow, DsSclNormal);
}

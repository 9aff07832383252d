// DirectSound answering from a script, recording every call in order ("create buffer 36",
// "qi buffer 3d", "support listener 1 on props3d", "release buffer") with a ledger of the
// interfaces it handed out. The default script is a device without EAX whose calls all succeed.
#pragma once

#include "fakes/ComLedger.h"
#include "probes/EaxProbe.h"

#include <map>
#include <string>
#include <vector>

class ScriptedSound : public SoundApi {
  public:
    struct Support {
        HResult result;
        std::uint32_t mask;
    };

    // The script.
    HResult createDirectSound = 0;
    std::vector<HResult> createBuffer = {0}; // one answer per attempt; the last one repeats
    HResult query3DBuffer = 0;
    HResult queryPropertySetOn3DBuffer = 0;
    HResult queryPropertySetOnBuffer = 0;
    std::map<EaxPropertySet, Support> support; // a set not listed is not supported (mask 0)

    // The record.
    std::vector<std::string> calls;
    std::vector<SoundBufferRequest> bufferRequests;
    std::vector<std::uint32_t> cooperativeLevels;
    void* cooperativeWindow = nullptr;
    ComLedger ledger;

    HResult CreateDirectSound(ComObject* directSound) override {
        calls.push_back("create dsound");
        return Hand(createDirectSound, "dsound", directSound);
    }
    HResult Initialize(ComObject directSound) override {
        calls.push_back("initialize " + ledger.NameOf(directSound));
        ledger.Use(directSound, "Initialize");
        return 0;
    }
    HResult SetCooperativeLevel(ComObject directSound, void* window, std::uint32_t level) override {
        calls.push_back("coop " + std::to_string(level));
        ledger.Use(directSound, "SetCooperativeLevel");
        cooperativeLevels.push_back(level);
        cooperativeWindow = window;
        return 0;
    }
    HResult CreateSoundBuffer(ComObject directSound, const SoundBufferRequest& request,
                              ComObject* buffer) override {
        const bool current = request.layout == BufferDescriptionLayout::Current;
        calls.push_back(current ? "create buffer 36" : "create buffer 20");
        ledger.Use(directSound, "CreateSoundBuffer");
        bufferRequests.push_back(request);
        const std::size_t attempt = bufferRequests.size() - 1;
        const HResult result =
            createBuffer[attempt < createBuffer.size() ? attempt : createBuffer.size() - 1];
        return Hand(result, "buffer", buffer);
    }
    HResult QueryInterface(ComObject object, SoundInterface iid, ComObject* result) override {
        const std::string owner = ledger.NameOf(object);
        ledger.Use(object, "QueryInterface");
        if (iid == SoundInterface::Sound3DBuffer) {
            calls.push_back("qi " + owner + " 3d");
            return Hand(query3DBuffer, "buffer3d", result);
        }
        calls.push_back("qi " + owner + " props");
        if (owner == "buffer3d")
            return Hand(queryPropertySetOn3DBuffer, "props3d", result);
        return Hand(queryPropertySetOnBuffer, "props", result);
    }
    HResult QuerySupport(ComObject propertySet, EaxPropertySet set, std::uint32_t propertyId,
                         std::uint32_t* mask) override {
        calls.push_back("support " + SetName(set) + " " + std::to_string(propertyId) + " on " +
                        ledger.NameOf(propertySet));
        ledger.Use(propertySet, "QuerySupport");
        auto found = support.find(set);
        const Support answer = found == support.end() ? Support{0, 0} : found->second;
        *mask = answer.mask;
        return answer.result;
    }
    void Release(ComObject object) override {
        calls.push_back("release " + ledger.Release(object));
    }

    static std::string SetName(EaxPropertySet set) {
        switch (set) {
        case EaxPropertySet::ListenerProperties:
            return "listener";
        case EaxPropertySet::ReverbProperties:
            return "reverb";
        case EaxPropertySet::BufferReverbProperties:
            return "buffer-reverb";
        }
        return "?";
    }
    bool Asked(const std::string& prefix) const {
        for (const std::string& c : calls)
            if (c.compare(0, prefix.size(), prefix) == 0)
                return true;
        return false;
    }

  private:
    // A failure leaves a value that must never be used; any success hands over an interface.
    HResult Hand(HResult result, const char* name, ComObject* out) {
        *out = result < 0 ? Poison : ledger.Obtain(name);
        return result;
    }
};

// A DirectX runtime answering from a script. It records every call in order ("load DDRAW.DLL",
// "qi ddraw surface3", "release surface", "debug Couldn't ...") and keeps a ledger of what it
// handed out, so tests can check that everything is released once and before DDRAW.DLL goes.
// The default script is a Windows 98 machine with DirectX 7.
#pragma once

#include "fakes/ComLedger.h"
#include "probes/DirectXVersion.h"

#include <set>
#include <string>
#include <vector>

class ScriptedDirectX : public DirectXApi {
  public:
    // The script.
    bool versionQuerySucceeds = true;
    OsVersion os = {1, 4};
    std::set<std::string> missingDlls;    // "DINPUT.DLL"
    std::set<std::string> missingEntries; // "DirectDrawCreateEx"
    HResult createDirectDraw = 0;
    HResult queryDirectDraw2 = 0;
    HResult cooperativeLevel = 0;
    HResult createSurface = 0;
    HResult querySurface3 = 0;
    HResult querySurface4 = 0;
    HResult createDirectMusic = 0;
    HResult createDirectDraw7 = 0;

    // The record.
    std::vector<std::string> calls;
    std::vector<std::string> debugLines;
    int comDepth = 0;
    ComLedger ledger;

    bool QueryOsVersion(OsVersion* version) override {
        calls.push_back("version");
        if (!versionQuerySucceeds)
            return false;
        *version = os;
        return true;
    }
    LibraryHandle LoadDll(const char* name) override {
        calls.push_back(std::string("load ") + name);
        return missingDlls.count(name) ? 0 : ledger.Load(name);
    }
    ProcEntry FindEntry(LibraryHandle library, const char* name) override {
        calls.push_back("entry " + ledger.LibraryName(library) + " " + name);
        if (!ledger.UseLibrary(library, "GetProcAddress") || missingEntries.count(name))
            return 0;
        return 0xE000 + library;
    }
    void FreeDll(LibraryHandle library) override {
        calls.push_back("free " + ledger.Free(library));
    }
    HResult CreateDirectDraw(ProcEntry entry, ComObject* directDraw) override {
        calls.push_back("create ddraw");
        CheckEntry(entry);
        return Hand(createDirectDraw, "ddraw", directDraw);
    }
    HResult QueryInterface(ComObject object, DirectDrawInterface iid, ComObject* result) override {
        const std::string owner = ledger.NameOf(object);
        ledger.Use(object, "QueryInterface");
        switch (iid) {
        case DirectDrawInterface::DirectDraw2:
            calls.push_back("qi " + owner + " ddraw2");
            return Hand(queryDirectDraw2, "ddraw2", result);
        case DirectDrawInterface::Surface3:
            calls.push_back("qi " + owner + " surface3");
            return Hand(querySurface3, "surface3", result);
        case DirectDrawInterface::Surface4:
            calls.push_back("qi " + owner + " surface4");
            return Hand(querySurface4, "surface4", result);
        }
        return -1;
    }
    HResult SetNormalCooperativeLevel(ComObject directDraw) override {
        calls.push_back("coop " + ledger.NameOf(directDraw));
        ledger.Use(directDraw, "SetCooperativeLevel");
        return cooperativeLevel;
    }
    HResult CreatePrimarySurface(ComObject directDraw, ComObject* surface) override {
        calls.push_back("surface " + ledger.NameOf(directDraw));
        ledger.Use(directDraw, "CreateSurface");
        return Hand(createSurface, "surface", surface);
    }
    void Release(ComObject object) override {
        calls.push_back("release " + ledger.Release(object));
    }
    void InitializeCom() override {
        calls.push_back("co init");
        ++comDepth;
    }
    void UninitializeCom() override {
        calls.push_back("co uninit");
        --comDepth;
    }
    HResult CreateDirectMusic(ComObject* directMusic) override {
        calls.push_back("create dmusic");
        if (comDepth <= 0)
            ledger.problems.push_back("DirectMusic created without COM");
        return Hand(createDirectMusic, "dmusic", directMusic);
    }
    HResult CreateDirectDraw7(ProcEntry entry, ComObject* directDraw7) override {
        calls.push_back("create ddraw7");
        CheckEntry(entry);
        return Hand(createDirectDraw7, "ddraw7", directDraw7);
    }
    void WriteDebugLine(const char* line) override {
        calls.push_back(std::string("debug ") + line);
        debugLines.push_back(line);
    }

    // Misuse of any kind, including an unbalanced COM initialisation.
    std::vector<std::string> Audit() const {
        std::vector<std::string> all = ledger.Audit();
        if (comDepth != 0)
            all.push_back("CoInitialize and CoUninitialize unbalanced");
        return all;
    }
    bool Called(const std::string& call) const {
        for (const std::string& c : calls)
            if (c == call)
                return true;
        return false;
    }

  private:
    HResult Hand(HResult result, const char* name, ComObject* out) {
        *out = result < 0 ? Poison : ledger.Obtain(name);
        return result;
    }
    void CheckEntry(ProcEntry entry) {
        if (entry < 0xE000 || !ledger.UseLibrary(entry - 0xE000, "an entry point"))
            ledger.problems.push_back("called an entry point never looked up");
    }
};

// Stand-ins for the platform behind the logic's seams. They keep state the way the real thing
// would, so that tests assert outcomes, and they count what is left open.
#pragma once

#include "app/InstanceGuard.h"
#include "midi/DirectorySearchApi.h"
#include "midi/FileApi.h"
#include "probes/DiagnosticTool.h"
#include "probes/DirectXVersion.h"
#include "probes/EaxProbe.h"
#include "settings/RegistryApi.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

constexpr HResult Failure = static_cast<HResult>(0x80004005); // E_FAIL
constexpr long ErrorFileNotFound = 2;
constexpr long ErrorMoreData = 234;

// Each value's type and data by key ("root\path") and name, answered as RegQueryValueExA does.
struct MemoryRegistry : RegistryApi {
    struct Value {
        std::uint32_t type;
        std::string data;
    };
    std::map<std::string, std::map<std::string, Value>> keys;
    std::map<RegistryHandle, std::string> open; // handle -> key
    std::map<std::string, long> refusals;       // key or value name -> the error its writing meets
    RegistryHandle next = 100;

    static std::string Path(RegistryHandle root, const char* path) {
        return std::to_string(root) + "\\" + path;
    }
    long Open(const std::string& path, RegistryHandle* key) {
        *key = next++;
        open[*key] = path;
        return RegSuccess;
    }
    long CreateKey(RegistryHandle root, const char* path, RegistryHandle* key,
                   std::uint32_t* disposition) override {
        const std::string at = Path(root, path);
        *disposition = keys.count(at) ? 2 : RegCreatedNewKey;
        if (refusals.count(at))
            return refusals[at];
        keys[at];
        return Open(at, key);
    }
    long OpenKey(RegistryHandle root, const char* path, RegistryHandle* key) override {
        const std::string at = Path(root, path);
        return keys.count(at) ? Open(at, key) : ErrorFileNotFound;
    }
    long FlushKey(RegistryHandle) override { return RegSuccess; }
    long CloseKey(RegistryHandle key) override { return open.erase(key) ? RegSuccess : 6; }
    long SetValue(RegistryHandle key, const char* name, std::uint32_t type, const void* data,
                  std::uint32_t size) override {
        if (refusals.count(name))
            return refusals[name];
        keys[open.at(key)][name] = {type, std::string(static_cast<const char*>(data), size)};
        return RegSuccess;
    }
    long QueryValue(RegistryHandle key, const char* name, std::uint32_t* type, void* data,
                    std::uint32_t* size) override {
        const auto& values = keys[open.at(key)];
        const auto found = values.find(name ? name : "");
        if (found == values.end())
            return ErrorFileNotFound;
        const Value& value = found->second;
        if (value.data.size() > *size)
            return ErrorMoreData;
        *type = value.type;
        *size = static_cast<std::uint32_t>(value.data.size());
        std::memcpy(data, value.data.data(), value.data.size());
        return RegSuccess;
    }
};

// The "MIDI" folder: its entries in search order (folders end in '/') and the files by name.
struct MemoryDisk : DirectorySearchApi, FileApi {
    std::vector<std::string> entries;
    std::vector<std::string> opened;
    std::map<std::string, std::string> files;
    bool folderExists = true;
    std::size_t next = 0;
    int openFiles = 0;
    int openSearches = 0;

    static std::string Description(const std::string& folder) {
        return std::string("MIDI") + PathSeparator + folder + PathSeparator + "program.txt";
    }
    void AddSet(const std::string& folder, const std::string& description) {
        entries.push_back(folder + "/");
        files[Description(folder)] = description;
    }
    SearchHandle FindFirst(const char* pattern, DirectoryEntry* entry) override {
        next = 0;
        const std::string sets = std::string("MIDI") + PathSeparator + "*.*";
        if (!folderExists || pattern != sets || !FindNext(1, entry))
            return InvalidSearchHandle;
        return ++openSearches;
    }
    bool FindNext(SearchHandle, DirectoryEntry* entry) override {
        if (next == entries.size())
            return false;
        const std::string& name = entries[next++];
        entry->isDirectory = !name.empty() && name.back() == '/';
        const std::string bare = name.substr(0, name.size() - entry->isDirectory);
        std::snprintf(entry->name, sizeof entry->name, "%s", bare.c_str());
        return true;
    }
    void FindClose(SearchHandle) override { --openSearches; }
    FileHandle OpenExisting(const char* name, std::uint32_t access) override {
        if (!files.count(name) || access != GenericRead)
            return InvalidFileHandle;
        opened.push_back(name);
        ++openFiles;
        return opened.size() - 1;
    }
    bool Read(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t* read) override {
        const std::string& text = files[opened[file]];
        *read = std::min<std::uint32_t>(count, text.size());
        std::memcpy(buffer, text.data(), *read);
        return true;
    }
    bool GetSize(FileHandle file, std::uint64_t* size) override {
        *size = files[opened[file]].size();
        return true;
    }
    void Close(FileHandle) override { --openFiles; }
};

// One machine's answers to every probe of start-up: its Windows version, the names of what it
// holds (mutexes, files) and of what fails on it (libraries, entry points and probe steps, or
// answers S_FALSE for the steps named `positive`), and what the program showed and opened there.
// Every object handed out counts as live until it is released.
struct ScriptedMachine : GuardApi, OsVersionApi, DirectXApi, SoundApi, LauncherApi {
    OsVersion os = {2, 5};
    bool osKnown = true;
    std::set<std::string> present, failing, positive;
    std::uint32_t lastError = 0;
    // The support the sound device reports for the EAX listener, reverb and buffer reverb sets.
    std::map<EaxPropertySet, std::uint32_t> support;
    std::string windows = "C:\\WINDOWS", debug, shown, opened;
    std::set<ComObject> live;
    std::map<LibraryHandle, std::string> libraries;
    ComObject buffer = 0;
    int com = 0, made = 0, misuse = 0;
    std::intptr_t shellAnswer = 42; // for a file that is present

    HResult Step(const std::string& name, ComObject* object = nullptr) {
        if (failing.count(name))
            return Failure;
        if (object)
            live.insert(*object = ++made);
        return positive.count(name) ? 1 : 0;
    }
    bool QueryOsVersion(OsVersion* version) override {
        *version = os;
        return osKnown;
    }
    void ShowMessage(const char* text, std::uint32_t flags) override {
        shown = text + std::string(flags == 0 ? "" : flags == 0x40 ? " (i)" : " (?)");
    }

    MutexHandle CreateOwnedMutex(const char* name) override {
        lastError = present.insert(name).second ? 0 : ErrorAlreadyExists;
        return failing.count(name) ? 0 : 7;
    }
    std::uint32_t LastError() override { return lastError; }
    // A game's mutex that fails was made by an elevated game: a standard user may not open it.
    MutexHandle OpenExistingMutex(const char* name) override {
        lastError = !present.count(name) ? 2 : failing.count(name) ? ErrorAccessDenied : 0;
        return lastError ? 0 : 7;
    }
    void CloseMutex(MutexHandle) override {}
    void ShowRunningCopy() override { shown = "the running copy in front"; }

    LibraryHandle LoadDll(const char* name) override {
        if (failing.count(name))
            return 0;
        libraries[++made] = name;
        return made;
    }
    ProcEntry FindEntry(LibraryHandle library, const char* name) override {
        return libraries.count(library) && !failing.count(name);
    }
    void FreeDll(LibraryHandle library) override {
        misuse += libraries[library] == "DDRAW.DLL" && !live.empty();
        libraries.erase(library);
    }
    HResult CreateDirectDraw(ProcEntry, ComObject* object) override {
        return Step("create", object);
    }
    HResult QueryInterface(ComObject, DirectDrawInterface iid, ComObject* object) override {
        const char* names[] = {"DirectDraw2", "Surface3", "Surface4"};
        return Step(names[static_cast<int>(iid)], object);
    }
    HResult SetNormalCooperativeLevel(ComObject) override { return Step("coop"); }
    HResult CreatePrimarySurface(ComObject, ComObject* object) override {
        return Step("surface", object);
    }
    void Release(ComObject object) override { misuse += !live.erase(object); }
    void InitializeCom() override { ++com; }
    void UninitializeCom() override { --com; }
    HResult CreateDirectMusic(ComObject* object) override { return Step("music", object); }
    HResult CreateDirectDraw7(ProcEntry, ComObject* object) override {
        return Step("create7", object);
    }
    void WriteDebugLine(const char* line) override { debug += line; }

    HResult CreateDirectSound(ComObject* object) override { return Step("sound", object); }
    HResult Initialize(ComObject) override { return 0; }
    HResult SetCooperativeLevel(ComObject, void*, std::uint32_t) override { return 0; }
    // A device that takes only the half-second static 3D test buffer the probe means to ask for.
    HResult CreateSoundBuffer(ComObject, const SoundBufferRequest& request,
                              ComObject* object) override {
        const bool first = request.layout == BufferDescriptionLayout::First;
        if (request.flags != 0x12 || request.samplesPerSecond != 22050)
            return Failure;
        const HResult result = Step(first ? "older-buffer" : "buffer", object);
        buffer = *object;
        return result;
    }
    HResult QueryInterface(ComObject object, SoundInterface iid, ComObject* result) override {
        if (iid == SoundInterface::Sound3DBuffer)
            return Step("3D", result);
        return Step(object == buffer ? "set-on-buffer" : "set-on-3D", result);
    }
    // The property ids the probe means to ask for: all listener parameters, all reverb ones.
    HResult QuerySupport(ComObject, EaxPropertySet set, std::uint32_t id,
                         std::uint32_t* mask) override {
        const std::uint32_t wanted = set == EaxPropertySet::ListenerProperties ? 1 : 0;
        *mask = id == wanted ? support[set] : 0;
        return Step("support");
    }

    void SystemDirectory(char* path, std::uint32_t size) override {
        std::snprintf(path, size, "%s", "C:\\WINDOWS\\SYSTEM32");
    }
    void WindowsDirectory(char* path, std::uint32_t size) override {
        std::snprintf(path, size, "%s", windows.c_str());
    }
    bool FileExists(const char* path) override { return present.count(path); }
    std::intptr_t ShellOpen(const char* path) override {
        opened = path;
        return present.count(path) ? shellAnswer : 2; // SE_ERR_FNF
    }
    void ShowSystemError(const char* text, std::uint32_t flags) override {
        ShowMessage(text, flags);
    }
};

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

// Each value's type and data by key ("root\path") and name, answered as RegQueryValueExA does.
struct MemoryRegistry : RegistryApi {
    std::map<std::string, std::map<std::string, std::pair<std::uint32_t, std::string>>> keys;
    std::map<RegistryHandle, std::string> open; // handle -> key
    std::map<std::string, long> refusals;       // key or value name -> the error its writing meets
    RegistryHandle next = 100;

    static std::string Path(RegistryHandle root, const char* path) {
        return std::to_string(root) + "\\" + path;
    }
    auto& Values(RegistryHandle key) { return keys.at(open.at(key)); }
    long Open(const std::string& p, RegistryHandle* k) { return open[*k = next++] = p, RegSuccess; }
    long CreateKey(RegistryHandle root, const char* path, RegistryHandle* key,
                   std::uint32_t* disposition) override {
        const std::string at = Path(root, path);
        *disposition = keys.count(at) ? 2 : RegCreatedNewKey;
        return refusals[at] ? refusals[at] : (keys[at], Open(at, key));
    }
    long OpenKey(RegistryHandle root, const char* path, RegistryHandle* key) override {
        return keys.count(Path(root, path)) ? Open(Path(root, path), key) : 2;
    }
    long FlushKey(RegistryHandle key) override { return open.count(key) ? RegSuccess : 6; }
    long CloseKey(RegistryHandle key) override { return open.erase(key) ? RegSuccess : 6; }
    long SetValue(RegistryHandle key, const char* name, std::uint32_t type, const void* data,
                  std::uint32_t size) override {
        if (!refusals[name])
            Values(key)[name] = {type, std::string(static_cast<const char*>(data), size)};
        return refusals[name];
    }
    long QueryValue(RegistryHandle key, const char* name, std::uint32_t* type, void* data,
                    std::uint32_t* size) override {
        const auto found = Values(key).find(name ? name : "");
        if (found == Values(key).end())
            return 2; // ERROR_FILE_NOT_FOUND
        const auto& [storedType, bytes] = found->second;
        if (bytes.size() > *size)
            return 234; // ERROR_MORE_DATA
        *type = storedType, *size = static_cast<std::uint32_t>(bytes.size());
        std::memcpy(data, bytes.data(), bytes.size());
        return RegSuccess;
    }
};

// The "MIDI" folder: its entries in search order (folders end in '/') and the files by name.
struct MemoryDisk : DirectorySearchApi, FileApi {
    std::vector<std::string> entries, opened;
    std::map<std::string, std::string> files;
    bool folderExists = true;
    std::size_t next = 0;
    int openFiles = 0, openSearches = 0;

    static std::string Description(const std::string& folder) {
        return std::string("MIDI") + PathSeparator + folder + PathSeparator + "program.txt";
    }
    void AddSet(const std::string& folder, const std::string& description) {
        entries.push_back(folder + "/");
        files[Description(folder)] = description;
    }
    SearchHandle FindFirst(const char* pattern, DirectoryEntry* entry) override {
        next = 0;
        const bool found = folderExists && pattern == std::string("MIDI") + PathSeparator + "*.*" &&
                           FindNext(1, entry);
        return found ? ++openSearches : InvalidSearchHandle;
    }
    bool FindNext(SearchHandle, DirectoryEntry* entry) override {
        if (next == entries.size())
            return false;
        const std::string& name = entries[next++];
        entry->isDirectory = !name.empty() && name.back() == '/';
        std::snprintf(entry->name, sizeof entry->name, "%.*s",
                      static_cast<int>(name.size() - entry->isDirectory), name.c_str());
        return true;
    }
    void FindClose(SearchHandle) override { --openSearches; }
    FileHandle OpenExisting(const char* name, std::uint32_t access) override {
        if (!files.count(name) || access != GenericRead)
            return InvalidFileHandle;
        opened.push_back(name);
        return ++openFiles, opened.size() - 1;
    }
    bool Read(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t* read) override {
        *read = std::min<std::uint32_t>(count, files[opened[file]].size());
        return std::memcpy(buffer, files[opened[file]].data(), *read), true;
    }
    bool GetSize(FileHandle f, std::uint64_t* size) override {
        return *size = files[opened[f]].size(), true;
    }
    void Close(FileHandle) override { --openFiles; }
};

// One machine's answers to every probe of start-up: its Windows version, the names of what it
// holds (mutexes, files) and of what fails on it (libraries, entry points and probe steps, or
// S_FALSE for the steps named `positive`), and what the program showed and opened there.
// Every object handed out counts as live until it is released.
struct ScriptedMachine : GuardApi, DirectXApi, SoundApi, LauncherApi {
    OsVersion os = {2, 5};
    bool osKnown = true;
    std::set<std::string> present, failing, positive;
    // EAX listener, reverb and buffer reverb support; the last mutex call's error
    std::uint32_t masks[3] = {3, 3, 3}, error = 0;
    std::string windows = "C:\\WINDOWS", debug, shown, opened, layouts, asked;
    std::set<ComObject> live;
    std::map<LibraryHandle, std::string> libraries;
    ComObject buffer = 0;
    int com = 0, made = 0, misuse = 0;
    std::intptr_t shellAnswer = 42; // for a file that is present

    explicit ScriptedMachine(std::set<std::string> failures = {},
                             std::set<std::string> positives = {})
        : failing(std::move(failures)), positive(std::move(positives)) {}
    HResult Step(const std::string& name, ComObject* object = nullptr) {
        if (failing.count(name))
            return Failure;
        if (object)
            live.insert(*object = ++made);
        return positive.count(name) ? 1 : 0;
    }
    bool QueryOsVersion(OsVersion* version) override { return *version = os, osKnown; }
    void ShowMessage(const char* text, std::uint32_t flags) override {
        shown = text + std::string(flags == 0 ? "" : flags == 0x40 ? " (i)" : " (?)");
    }

    MutexHandle CreateOwnedMutex(const char* name) override {
        error = present.insert(name).second ? 0 : ErrorAlreadyExists;
        return failing.count(name) ? 0 : 7;
    }
    std::uint32_t LastError() override { return error; }
    // A game's mutex that fails was made by an elevated game: a standard user may not open it.
    MutexHandle OpenExistingMutex(const char* name) override {
        error = !present.count(name) ? 2 : failing.count(name) ? ErrorAccessDenied : 0;
        return error ? 0 : 7;
    }
    void CloseMutex(MutexHandle) override {}
    void ShowRunningCopy() override { shown = "the running copy in front"; }

    LibraryHandle LoadDll(const char* name) override {
        return failing.count(name) ? 0 : (libraries[++made] = name, made);
    }
    ProcEntry FindEntry(LibraryHandle library, const char* name) override {
        return libraries.count(library) && !failing.count(name);
    }
    void FreeDll(LibraryHandle library) override {
        misuse += libraries[library] == "DDRAW.DLL" && !live.empty();
        libraries.erase(library);
    }
    HResult CreateDirectDraw(ProcEntry, ComObject* o) override { return Step("create", o); }
    HResult QueryInterface(ComObject, DirectDrawInterface iid, ComObject* o) override {
        return Step(std::vector<std::string>{"DirectDraw2", "Surface3", "Surface4"}[int(iid)], o);
    }
    HResult SetNormalCooperativeLevel(ComObject) override { return Step("coop"); }
    HResult CreatePrimarySurface(ComObject, ComObject* o) override { return Step("surface", o); }
    void Release(ComObject object) override { misuse += !live.erase(object); }
    void InitializeCom() override { ++com; }
    void UninitializeCom() override { --com; }
    HResult CreateDirectMusic(ComObject* o) override { return Step("music", o); }
    HResult CreateDirectDraw7(ProcEntry, ComObject* o) override { return Step("create7", o); }
    void WriteDebugLine(const char* line) override { debug += line; }

    HResult CreateDirectSound(ComObject* o) override { return Step("sound", o); }
    HResult Initialize(ComObject) override { return 0; }
    HResult SetCooperativeLevel(ComObject, void*, std::uint32_t) override { return 0; }
    HResult CreateSoundBuffer(ComObject, const SoundBufferRequest& request,
                              ComObject* out) override {
        const bool first = request.layout == BufferDescriptionLayout::First;
        layouts += first ? "F" : "C";
        const HResult result = Step(first ? "older-buffer" : "buffer", out);
        buffer = *out;
        // A device that takes only the test buffer the probe means to ask for.
        return request.flags == 0x12 && request.samplesPerSecond == 22050 ? result : Failure;
    }
    HResult QueryInterface(ComObject object, SoundInterface iid, ComObject* out) override {
        const bool on3D = iid == SoundInterface::Sound3DBuffer;
        return Step(on3D ? "3D" : object == buffer ? "set-on-buffer" : "set-on-3D", out);
    }
    HResult QuerySupport(ComObject, EaxPropertySet set, std::uint32_t id,
                         std::uint32_t* mask) override {
        const bool listener = set == EaxPropertySet::ListenerProperties;
        asked += std::string(1, "LMN"[int(set)]) + (id == (listener ? 1u : 0u) ? "" : "?");
        return *mask = masks[int(set)], Step("support");
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
    void ShowSystemError(const char* t, std::uint32_t f) override { ShowMessage(t, f); }
};

// A generated "MIDI" folder on disk, discovered through the platform's own search and files:
// the list must hold exactly the folders whose description names a set, each record built
// the way its description parses on its own, and the stored choice must fit the count.
#include "midi/Description.h"
#include "midi/InstrumentSets.h"
#include "settings/StartupSettings.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path workFolder;

void Check(bool condition) {
    if (!condition)
        std::abort();
}

struct Expected {
    std::string name;
    std::string slots[InstrumentSlotCount];
    bool hasSlot[InstrumentSlotCount] = {};
    std::size_t valueBytes = 0;
};

enum Kind { Set, LongSet, PlainFile, DotFolder, EmptyFolder, DescriptionIsFolder, KindCount };

void Write(const fs::path& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary).write(contents.data(), contents.size());
}

std::string EntryName(FuzzedDataProvider& in, Kind kind) {
    std::string name = in.ConsumeRandomLengthString(40);
    for (char& c : name)
        if (c == '/' || c == '\0')
            c = '_';
    if (name.empty())
        name = "x";
    if (kind == DotFolder)
        name.insert(0, ".");
    if (kind == LongSet)
        name.resize(in.ConsumeIntegralInRange<std::size_t>(238, 255), 'n');
    if (name.size() > 255)
        name.resize(255);
    return name;
}

void CheckInside(const char* field, const InstrumentSet& set) {
    if (!field)
        return;
    Check(field >= set.strings.get() && field < set.strings.get() + set.stringsSize);
    Check(field + std::strlen(field) < set.strings.get() + set.stringsSize);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Memory-backed when there is such a place: every run makes and removes folders.
    const char* temp = std::getenv("TMPDIR");
    std::string base = temp && *temp ? temp : "/tmp";
    if (!(temp && *temp) && access("/dev/shm", W_OK) == 0)
        base = "/dev/shm";
    std::string pattern = base + "/kest-fuzz-XXXXXX";
    if (!mkdtemp(&pattern[0]))
        std::abort();
    workFolder = pattern;
    fs::current_path(workFolder);
    std::atexit([] {
        std::error_code ignored;
        fs::current_path("/", ignored);
        fs::remove_all(workFolder, ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::uint32_t stored = in.ConsumeIntegral<std::uint32_t>();
    const bool folderExists = in.ConsumeIntegralInRange(0, 15) != 0;
    const int entries = in.ConsumeIntegralInRange(0, 10);

    std::map<std::string, Expected> expected;
    std::map<std::string, bool> made;
    if (folderExists)
        fs::create_directory("MIDI");
    for (int i = 0; folderExists && i < entries; ++i) {
        const Kind kind = static_cast<Kind>(in.ConsumeIntegralInRange(0, KindCount - 1));
        const std::string name = EntryName(in, kind);
        const std::string description = in.ConsumeRandomLengthString(2048);
        if (name == "." || name == ".." || made.count(name))
            continue;
        made[name] = true;
        const fs::path entry = fs::path("MIDI") / name;
        switch (kind) {
        case PlainFile:
            Write(entry, description);
            break;
        case EmptyFolder:
            fs::create_directory(entry);
            break;
        case DescriptionIsFolder:
            fs::create_directories(entry / "program.txt");
            break;
        case Set:
        case LongSet:
        case DotFolder: {
            fs::create_directory(entry);
            Write(entry / "program.txt", description);
            // "MIDI", two separators and "program.txt" leave 242 bytes of the 259 for the name.
            if (name[0] == '.' || name.size() > 242)
                break;
            std::vector<char> area(description.size() + 1);
            InstrumentSet parsed;
            const std::size_t used =
                ParseDescription(description.data(), description.size(), area.data(), parsed);
            if (!parsed.name)
                break;
            Expected& set = expected[name];
            set.name = parsed.name;
            for (int n = 0; n < InstrumentSlotCount; ++n)
                if (parsed.slots[n]) {
                    set.hasSlot[n] = true;
                    set.slots[n] = parsed.slots[n];
                }
            set.valueBytes = used;
            break;
        }
        case KindCount:
            break;
        }
    }

    StartupSettings.musicInstrument = stored;
    RebuildInstrumentSets();

    const int count = GetInstrumentSetCount();
    const int found = static_cast<int>(expected.size());
    Check(count == (found < MaxOfferedInstrumentSets ? found : MaxOfferedInstrumentSets));
    const std::uint32_t highest = static_cast<std::uint32_t>(count) + 1;
    Check(StartupSettings.musicInstrument == (stored >= highest ? highest : stored));
    Check(GetInstrumentSet(2 + count) == nullptr);

    const InstrumentSet* set = count ? GetInstrumentSet(2) : nullptr;
    std::map<std::string, bool> seen;
    for (; set && set->name; set = set->next.get()) {
        Check(set->directory != nullptr);
        const auto match = expected.find(set->directory);
        Check(match != expected.end() && !seen[set->directory]);
        seen[set->directory] = true;
        const Expected& want = match->second;
        Check(want.name == set->name);
        Check(set->stringsSize == want.valueBytes + std::strlen(set->directory) + 1);
        Check(set->directory == set->strings.get() + want.valueBytes);
        CheckInside(set->name, *set);
        for (int n = 0; n < InstrumentSlotCount; ++n) {
            Check((set->slots[n] != nullptr) == want.hasSlot[n]);
            if (set->slots[n])
                Check(want.slots[n] == set->slots[n]);
            CheckInside(set->slots[n], *set);
        }
    }
    if (count) {
        Check(set && !set->name && !set->next && !set->strings);
        Check(seen.size() == expected.size());
    }

    FreeInstrumentSets();
    std::error_code ignored;
    fs::remove_all("MIDI", ignored);
    return 0;
}

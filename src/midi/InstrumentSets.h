// The MIDI instrument sets found beside the program: subfolders of "MIDI" whose "program.txt"
// names the set. Built once at start-up, read by the settings page, freed on the way out.
#pragma once

#include "midi/DirectorySearchApi.h"
#include "midi/FileApi.h"

#include <cstddef>
#include <cstdint>
#include <memory>

constexpr int InstrumentSlotCount = 32; // slot 0 is never set
constexpr int MaxOfferedInstrumentSets = 4;
// Larger descriptions are not instrument sets; this also keeps 2 * size + 2 far from overflow.
constexpr std::uint32_t MaxDescriptionSize = 4u << 20;

struct InstrumentSet {
    std::unique_ptr<InstrumentSet> next;
    const char* name = nullptr;      // the "instrument" line's value; null until one is read
    const char* directory = nullptr; // the subfolder's own name
    const char* slots[InstrumentSlotCount] = {};
    // Every accepted value with its NUL, in line order, then the directory name: what `name`,
    // `directory` and the slots point into.
    std::unique_ptr<char[]> strings;
    std::size_t stringsSize = 0;

    InstrumentSet() = default;
    // Frees the records behind this one in a loop: a long list must not recurse per record.
    ~InstrumentSet();
    InstrumentSet(const InstrumentSet&) = delete;
    InstrumentSet& operator=(const InstrumentSet&) = delete;

    // Reads every set of "MIDI" into this empty record and records appended behind it, in the
    // search's order. The list always ends with one empty record. Returns the sets found,
    // uncapped.
    int Parse(DirectorySearchApi& search = PlatformDirectorySearch(),
              FileApi& files = PlatformFiles());

    // Back to empty: no name, no slots, no block. The successor is kept.
    void Clear();

  private:
    bool ReadDescription(const char* entryName, FileApi& files);
};

// Replaces the list and fits StartupSettings.musicInstrument to the sets offered.
void RebuildInstrumentSets(DirectorySearchApi& search = PlatformDirectorySearch(),
                           FileApi& files = PlatformFiles());
// Counts like musicInstrument: 2 is the first set. Null past the offered sets.
const InstrumentSet* GetInstrumentSet(int index);
// The sets offered, 0 to 4.
int GetInstrumentSetCount();
void FreeInstrumentSets();

// Any "MIDI" folder, its entries named and described by the input: every description is
// parsed inside its text and value area (the sanitizers watch), and discovery offers at most
// four sets, each a folder that names itself, leaves no file or search open, and fits the
// stored music choice to what it offers.
#include "Doubles.h"
#include "midi/InstrumentSets.h"
#include "settings/StartupSettings.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

namespace {

void Check(bool sound) {
    if (!sound)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    MemoryDisk disk;
    disk.folderExists = in.ConsumeBool();
    const auto stored = in.ConsumeIntegral<std::uint32_t>();
    while (in.remaining_bytes() > 0) {
        const std::string name = in.ConsumeRandomLengthString(300);
        const int kind = in.ConsumeIntegralInRange(0, 2); // a set, a bare folder, a file
        if (kind == 0)
            disk.AddSet(name, in.ConsumeRandomLengthString(4000));
        else
            disk.entries.push_back(kind == 1 ? name + "/" : name);
    }
    StartupSettings.musicInstrument = stored;
    RebuildInstrumentSets(disk, disk);
    const int count = GetInstrumentSetCount();
    Check(count >= 0 && count <= 4 && !GetInstrumentSet(1) && !GetInstrumentSet(2 + count));
    for (int i = 0; i < count; ++i) {
        const InstrumentSet* set = GetInstrumentSet(2 + i);
        Check(set && set->name && set->directory && set->directory[0] != '.' &&
              disk.files.count(MemoryDisk::Description(set->directory)));
    }
    Check(StartupSettings.musicInstrument == std::min<std::uint32_t>(stored, count + 1));
    Check(disk.openFiles == 0 && disk.openSearches == 0);
    return 0;
}

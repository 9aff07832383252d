#include "midi/InstrumentSets.h"

#include "app/base/Scoped.h"
#include "midi/Description.h"
#include "midi/File.h"
#include "settings/StartupSettings.h"

#include <cstdio>
#include <cstring>

namespace {

std::unique_ptr<InstrumentSet> InstrumentSetList;
int InstrumentSetCount;

const char DescriptionName[] = "program.txt";
const char SetsFolder[] = {'M', 'I', 'D', 'I', PathSeparator, '\0'};
const char SetsPattern[] = {'M', 'I', 'D', 'I', PathSeparator, '*', '.', '*', '\0'};

} // namespace

InstrumentSet::~InstrumentSet() {
    // Each record is unlinked before it is destroyed, so no destructor reaches further.
    std::unique_ptr<InstrumentSet> rest = std::move(next);
    while (rest)
        rest = std::move(rest->next);
}

void InstrumentSet::Clear() {
    name = nullptr;
    directory = nullptr;
    for (const char*& slot : slots)
        slot = nullptr;
    strings.reset();
    stringsSize = 0;
}

int InstrumentSet::Parse(DirectorySearchApi& search, FileApi& files) {
    DirectoryEntry entry = {};
    const SearchHandle handle = search.FindFirst(SetsPattern, &entry);
    if (handle == InvalidSearchHandle)
        return 0;
    const Scoped closer(handle, [&search](SearchHandle open) { search.FindClose(open); });

    int found = 0;
    InstrumentSet* current = this;
    do {
        entry.name[sizeof entry.name - 1] = '\0';
        if (!entry.isDirectory || entry.name[0] == '.')
            continue;
        if (current->ReadDescription(entry.name, files)) {
            current->next = std::make_unique<InstrumentSet>();
            current = current->next.get();
            ++found;
        }
    } while (search.FindNext(handle, &entry));
    return found;
}

bool InstrumentSet::ReadDescription(const char* entryName, FileApi& files) {
    char path[File::NameCapacity];
    const int pathLength = std::snprintf(path, sizeof path, "%s%s%c%s", SetsFolder, entryName,
                                         PathSeparator, DescriptionName);
    if (pathLength < 0 || static_cast<std::size_t>(pathLength) >= sizeof path)
        return false;

    File file(__FILE__, __LINE__, false, files);
    if (!file.Open(GenericRead, path, nullptr, nullptr))
        return false;
    const std::uint32_t size = file.GetSize();
    if (size == UnknownFileSize || size > MaxDescriptionSize)
        return false;

    // The text, its NUL, then the area the accepted values are gathered in.
    const std::size_t bufferSize = 2 * static_cast<std::size_t>(size) + 2;
    std::unique_ptr<char[]> buffer(new char[bufferSize]);
    char* const area = buffer.get() + size + 1;
    std::size_t used = 0;
    if (file.Read(buffer.get(), size)) {
        // A file that shrank since its size was asked delivers less; what it did not deliver
        // is not text.
        buffer[file.BytesRead()] = '\0';
        used = ParseDescription(buffer.get(), file.BytesRead(), area, *this);
    }
    if (!name) {
        Clear();
        return false;
    }

    const std::size_t directoryLength = std::strlen(entryName);
    stringsSize = used + directoryLength + 1;
    strings.reset(new char[stringsSize]);
    std::memcpy(strings.get(), area, used);
    auto move = [&](const char*& field) {
        if (field)
            field = strings.get() + (field - area);
    };
    move(name);
    for (const char*& slot : slots)
        move(slot);
    std::memcpy(strings.get() + used, entryName, directoryLength + 1);
    directory = strings.get() + used;
    return true;
}

void RebuildInstrumentSets(DirectorySearchApi& search, FileApi& files) {
    FreeInstrumentSets();
    InstrumentSetList = std::make_unique<InstrumentSet>();
    const int found = InstrumentSetList->Parse(search, files);
    InstrumentSetCount = found < MaxOfferedInstrumentSets ? found : MaxOfferedInstrumentSets;
    const std::uint32_t highestChoice = static_cast<std::uint32_t>(InstrumentSetCount) + 1;
    if (StartupSettings.musicInstrument >= highestChoice)
        StartupSettings.musicInstrument = highestChoice;
}

const InstrumentSet* GetInstrumentSet(int index) {
    const std::uint32_t position = static_cast<std::uint32_t>(index) - 2;
    if (!InstrumentSetList || position >= static_cast<std::uint32_t>(InstrumentSetCount))
        return nullptr;
    const InstrumentSet* set = InstrumentSetList.get();
    for (std::uint32_t i = 0; i < position; ++i)
        set = set->next.get();
    return set;
}

int GetInstrumentSetCount() {
    return InstrumentSetCount;
}

void FreeInstrumentSets() {
    InstrumentSetList.reset();
    InstrumentSetCount = 0;
}

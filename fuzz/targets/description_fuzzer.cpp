// Any bytes as a description: the parser must stay inside the text and its value area and
// leave only well-formed fields.
#include "midi/Description.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// A field points at a whole value inside the used part of the area.
void CheckField(const char* field, const char* area, std::size_t used) {
    if (!field)
        return;
    Check(field >= area && field < area + used);
    const std::size_t length = std::strlen(field);
    Check(length <= DescriptionValueLength);
    Check(field + length < area + used);
    Check(field == area || field[-1] == '\0');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Exactly the documented room, so AddressSanitizer sees any write past it.
    std::vector<char> area(size + 1);
    InstrumentSet record;
    const char* text = reinterpret_cast<const char*>(data);
    const std::size_t used = ParseDescription(text, size, area.data(), record);
    Check(used <= size);
    Check(record.slots[0] == nullptr);
    Check(record.directory == nullptr && !record.strings && !record.next);
    CheckField(record.name, area.data(), used);
    for (const char* slot : record.slots)
        CheckField(slot, area.data(), used);

    // Nothing after the first NUL counts.
    const void* nul = std::memchr(text, '\0', size);
    if (nul) {
        const std::size_t cut = static_cast<const char*>(nul) - text;
        std::vector<char> again(cut + 1);
        InstrumentSet shorter;
        Check(ParseDescription(text, cut, again.data(), shorter) == used);
        Check((shorter.name == nullptr) == (record.name == nullptr));
    }
    return 0;
}

// The grammar of an instrument set's "program.txt", free of any file access.
#pragma once

#include "midi/InstrumentSets.h"

#include <cstddef>

constexpr std::size_t DescriptionKeyLength = 23;
constexpr std::size_t DescriptionValueLength = 259;

// Parses `text` up to its first NUL or `length` bytes, whichever comes first, into the record's
// `name` and `slots`. Each accepted value is appended with its NUL to `area`, which must hold
// at least length + 1 bytes, and the field points at that copy. Returns the bytes of `area`
// used. Nothing else of the record is touched.
std::size_t ParseDescription(const char* text, std::size_t length, char* area,
                             InstrumentSet& record);

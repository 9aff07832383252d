#include "midi/Description.h"

#include <cstdint>
#include <cstring>

namespace {

bool IsInstrumentKey(const char* key, std::size_t length) {
    static const char instrument[] = "instrument";
    if (length != sizeof instrument - 1)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        char c = key[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != instrument[i])
            return false;
    }
    return true;
}

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads the key as a decimal number the way atoi does (white space, one sign, digits up to the
// first other character, none reads as 0). False when it leaves the signed 32-bit range, which
// a wrapping conversion would fold back onto a valid slot.
bool ReadKeyNumber(const char* key, std::size_t length, std::int64_t* number) {
    std::size_t i = 0;
    while (i < length && IsWhiteSpace(key[i]))
        ++i;
    bool negative = false;
    if (i < length && (key[i] == '+' || key[i] == '-'))
        negative = key[i++] == '-';
    std::int64_t magnitude = 0;
    for (; i < length && key[i] >= '0' && key[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (key[i] - '0');
        if (magnitude > std::int64_t{INT32_MAX} + 1)
            return false;
    }
    if (!negative && magnitude > INT32_MAX)
        return false;
    *number = negative ? -magnitude : magnitude;
    return true;
}

// Where a finished line's value goes, or null when the line is dropped.
const char** FieldFor(const char* key, std::size_t length, InstrumentSet& record) {
    if (IsInstrumentKey(key, length))
        return &record.name;
    std::int64_t number = 0;
    if (!ReadKeyNumber(key, length, &number) || number < 1 || number >= InstrumentSlotCount)
        return nullptr;
    return &record.slots[number];
}

} // namespace

std::size_t ParseDescription(const char* text, std::size_t length, char* area,
                             InstrumentSet& record) {
    // The buffers hold one character more than is kept, as the line is read; the cut to the
    // kept length happens when the line is finished.
    char key[DescriptionKeyLength + 1];
    char value[DescriptionValueLength + 1];
    enum class State { Key, Between, Value, Done, Dropped };

    std::size_t used = 0;
    std::size_t position = 0;
    while (true) {
        State state = State::Key;
        std::size_t keyLength = 0;
        std::size_t valueLength = 0;
        char previous = '\0'; // nothing before the start of a line

        for (; position < length && text[position] != '\0' && text[position] != '\n'; ++position) {
            const char c = text[position] == '\t' ? ' ' : text[position];
            if (c == '/' && previous == '/' && state != State::Done)
                state = State::Dropped;
            previous = c;
            switch (state) {
            case State::Key:
                if (c == ' ') {
                    if (keyLength > 0)
                        state = State::Between;
                } else if (keyLength < sizeof key) {
                    key[keyLength++] = c;
                }
                break;
            case State::Between:
                if (c == '"')
                    state = State::Value;
                break;
            case State::Value:
                if (c == '"')
                    state = State::Done;
                else if (valueLength < sizeof value)
                    value[valueLength++] = c;
                break;
            case State::Done:
            case State::Dropped:
                break;
            }
        }

        if (state == State::Done) {
            if (keyLength > DescriptionKeyLength)
                keyLength = DescriptionKeyLength;
            if (valueLength > DescriptionValueLength)
                valueLength = DescriptionValueLength;
            if (const char** field = FieldFor(key, keyLength, record)) {
                std::memcpy(area + used, value, valueLength);
                area[used + valueLength] = '\0';
                *field = area + used;
                used += valueLength + 1;
            }
        }

        if (position >= length || text[position] == '\0')
            return used;
        ++position; // past the line feed
    }
}

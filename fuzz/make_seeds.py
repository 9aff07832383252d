#!/usr/bin/env python3
"""Writes the committed seed corpus: descriptions, which also make folder layouts."""
import os

here = os.path.dirname(os.path.abspath(__file__))

descriptions = {
    "plain.txt": b'// a bank\ninstrument "Studio"\n1 "a.dls"\n31 "z.dls"\n',
    "crlf.txt": b'instrument\t"Tabbed Set"\r\n7th "seven"\r\n',
    "comments.txt": b'instrument "A" // fine\n1 "http://x"\n// 2 "b"\n3 "c"//d\n',
    "keys.txt": b'INSTRUMENT = "Upper"\n0 "z"\n32 "t"\n-1 "m"\nabc "a"\n4294967303 "w"\n+5 "p"\n',
    "glued.txt": b'instrument"Glued"\ninstrument ""\n1\n2 "open\n',
    "long.txt": b'instrument "' + b"v" * 300 + b'"\n' + b"0" * 22 + b'7xxxxxxx "k"\n',
    "nul.txt": b'instrument "Before"\x00\ninstrument "After"\n',
    "repeat.txt": b'1 "a"\n1 "bb"\ninstrument "One"\ninstrument "Two"\n',
}


def layout(stored, entries):
    """Input the fuzz target reads as a "MIDI" folder: entries of (name, kind, description), kind
    0 a set, 1 a bare folder, 2 a file. Strings come from the front, each ended by a backslash
    and another character; the kinds, the stored music choice and the folder's presence come
    from the back, last first."""
    front, kinds = b"", b""
    for name, kind, description in entries:
        front += name + b"\\;" + (description + b"\\;" if kind == 0 else b"")
        kinds = bytes([kind]) + kinds
    return front + kinds + stored.to_bytes(4, "little") + b"\x01"


# Folders that are no sets beside two that are: hidden, nameless, empty, a file, a path too long.
descriptions["junk-folders.bin"] = layout(7, [
    (b".hidden", 0, b'instrument "Hidden"'), (b"Nameless", 0, b'5 "five"'), (b"Empty", 1, b""),
    (b"loose.txt", 2, b""), (b"Alpha", 0, b'instrument "Alpha"'),
    (b"L" * 250, 0, b'instrument "Too long a path"'), (b"Blank", 0, b'instrument ""')])

os.makedirs(os.path.join(here, "corpus"), exist_ok=True)
for name, data in descriptions.items():
    with open(os.path.join(here, "corpus", name), "wb") as out:
        out.write(data)

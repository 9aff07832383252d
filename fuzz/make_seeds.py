#!/usr/bin/env python3
"""Writes the committed seed corpus: descriptions as they are, and folder layouts in the byte
order that FuzzedDataProvider reads (strings from the front, numbers from the back)."""
import os
import struct

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


def layout(entries, stored, folder=True):
    """entries: (kind, name, description, long_length or None); kinds in the fuzzer's order:
    set, long set, plain file, dot folder, empty folder, description that is a folder."""
    front = b""
    back = b""  # read from the end, so built in reverse
    numbers = [struct.pack("<I", stored)[::-1], bytes([1 if folder else 0]), bytes([len(entries)])]
    for kind, name, description, length in entries:
        front += name.replace(b"\\", b"\\\\") + b"\\x"
        front += description.replace(b"\\", b"\\\\") + b"\\x"
        numbers.append(bytes([kind]))
        if length is not None:
            numbers.append(bytes([length - 238]))
    for number in numbers:
        back = number + back
    return front + back


folders = {
    "six.bin": layout([(0, b"set%d" % i, b'instrument "Set %d"\n1 "b"\n' % i, None)
                       for i in range(6)], 7),
    "mixed.bin": layout([(0, b"Good", b'instrument "Good"\n', None),
                         (3, b"hidden", b'instrument "Hidden"\n', None),
                         (4, b"Empty", b"", None),
                         (2, b"plain", b'instrument "Plain"\n', None),
                         (5, b"Folder", b"", None),
                         (0, b"NoName", b'1 "a"\n', None)], 4),
    "long.bin": layout([(1, b"L", b'instrument "Fits"\n', 242),
                        (1, b"M", b'instrument "Too long"\n', 243)], 3),
    "none.bin": layout([], 2, folder=False),
}

for folder, files in (("description", descriptions), ("discovery", folders)):
    os.makedirs(os.path.join(here, "corpus", folder), exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(here, "corpus", folder, name), "wb") as out:
            out.write(data)
# Descriptions make useful folder layouts too.
for name, data in descriptions.items():
    with open(os.path.join(here, "corpus", "discovery", "text-" + name), "wb") as out:
        out.write(data)

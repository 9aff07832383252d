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


os.makedirs(os.path.join(here, "corpus"), exist_ok=True)
for name, data in descriptions.items():
    with open(os.path.join(here, "corpus", name), "wb") as out:
        out.write(data)

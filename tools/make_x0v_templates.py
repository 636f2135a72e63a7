#!/usr/bin/env python3
"""Write the initial XS/XF normal voice and drum kit (motif/data/x0v_voice.bin, x0v_drumkit.bin).

The instrument's own initial voice blocks are not public, so these are built from the block
layout the module reads: four leading parts, each after its own 32-bit big-endian length
(124, 168, 48 and 48 bytes), the element count at offset 404, the elements (a 32-bit length of
140, then 140 bytes each), and a closing part of 80 bytes (a length of 76 and its bytes).

Inside the first part: the name (20 Latin-1 characters at offset 4, padded with blanks as the
instrument pads its names) and the two categories at offsets 32-35 (00 00 10 00). Inside each
element: byte 0 (used) is 1, byte 1 (wave memory) is 0 (the instrument's own waveforms), and
bytes 136-137 hold the wave number i + 1, low byte first. Every other byte is 0.

With --check nothing is written and the exit status says whether the committed files match.
"""

import argparse
import pathlib
import struct
import sys

REPO = pathlib.Path(__file__).resolve().parent.parent
DATA_DIR = REPO / "motif" / "data"

LEADING_PARTS = (124, 168, 48, 48)
ELEMENT_SIZE = 140
CLOSING_PART = 80
NAME_OFFSET = 4
NAME_SIZE = 20
CATEGORIES = bytes([0x00, 0x00, 0x10, 0x00])
CATEGORY_OFFSET = 32

TEMPLATES = {
    "x0v_voice.bin": ("Full Concert Grand", 8),
    "x0v_drumkit.bin": ("Power Standard Kit 1", 73),
}


def part(contents):
    return struct.pack(">I", len(contents)) + bytes(contents)


def element(index):
    contents = bytearray(ELEMENT_SIZE)
    contents[0] = 1
    contents[1] = 0
    # The wave number sits in the last four bytes of the element, counted from its length field.
    struct.pack_into("<H", contents, ELEMENT_SIZE - 4, index + 1)
    return part(contents)


def template(name, elements):
    if len(name) > NAME_SIZE:
        raise ValueError(f"name {name!r} is longer than {NAME_SIZE} characters")
    first = bytearray(LEADING_PARTS[0])
    first[NAME_OFFSET - 4:NAME_OFFSET - 4 + NAME_SIZE] = name.ljust(NAME_SIZE).encode("latin-1")
    first[CATEGORY_OFFSET - 4:CATEGORY_OFFSET] = CATEGORIES
    block = part(first) + b"".join(part(bytes(size)) for size in LEADING_PARTS[1:])
    block += struct.pack(">I", elements)
    block += b"".join(element(i) for i in range(elements))
    block += part(bytes(CLOSING_PART - 4))
    return block


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="compare with the committed files")
    parser.add_argument("--dir", type=pathlib.Path, default=DATA_DIR, help="folder of the .bin files")
    args = parser.parse_args()

    differ = []
    for file_name, (name, elements) in TEMPLATES.items():
        path = args.dir / file_name
        block = template(name, elements)
        if args.check:
            if not path.exists() or path.read_bytes() != block:
                differ.append(file_name)
        else:
            path.write_bytes(block)
            print(f"{path}: {len(block)} bytes")
    if differ:
        print("differ from the generator: " + ", ".join(differ), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

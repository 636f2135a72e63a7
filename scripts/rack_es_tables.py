#!/usr/bin/env python3
"""Write motif/data/data_RackES.ini, the bank and preset name tables of the Motif Rack ES.

Everything comes from the same Cakewalk instrument file as the Motif ES preset names
(bmerlet/MidiLibrary, MidiLibrary/Resources/MotifRackES.ins, GPL-3.0): every bank select
number below must appear in the file's own "Patch[n]=" table, the sizes of the banks whose
names the instrument holds are the lengths of the file's lists for them, and the preset
sections are its names. Tables the file does not describe are not written at all.

With --check nothing is written and the exit status says whether the table file is up to date.
"""

import argparse
import pathlib
import sys

from es_preset_names import BANKS, DEFAULT_INS, REPO, bank_names, patch_list, read_ins, section_lines

DEFAULT_INI = REPO / "motif" / "data" / "data_RackES.ini"
HEADER = [";MOTIF RACK ES", ";Written by scripts/rack_es_tables.py from the Motif Rack ES instrument file."]

PRESETS = [(63, i, f"PRE{i + 1}") for i in range(6)]
GM = (0, 0, "GM")
USERS = [(63, 8, "USER1"), (63, 9, "USER2"), (63, 10, "USER3")]
USER_DRUMS = [(63, 40, "DR:USR")]
DRUMS = [(127, 0, "DR:GM"), (63, 32, "DR:PRE")] + USER_DRUMS
PLG_USERS = [(63, 24, "P1-USER"), (63, 25, "P2-USER")]
MULTIS = [(63, 65, "MULTI")]

# File order: bank lists, each followed by the banks of it that the instrument names itself.
LISTS = [
    ("VOICES", PRESETS + [GM] + USERS + DRUMS),
    ("VOICES_USER", USERS),
    ("DRUMS", DRUMS),
    ("DRUMS_USER", USER_DRUMS),
    ("PLG_USER", PLG_USERS),
    ("MULTIS", MULTIS),
]
NAMED_BY_INSTRUMENT = {"DRUMS_USER": USER_DRUMS, "PLG_USER": PLG_USERS, "MULTIS": MULTIS}


def bank_list(sections, name, banks):
    for msb, lsb, _ in banks:
        patch_list(sections, msb, lsb)
    items = [f"{i}={msb:02d},{lsb:02d},{bank}" for i, (msb, lsb, bank) in enumerate(banks)]
    return [f"[{name}]", f"Total={len(banks)}", "Size=2"] + items


def count_only(sections, msb, lsb, bank):
    _, items = patch_list(sections, msb, lsb)
    return [f"[{bank}]", f"Total={len(items)}"]


def table_text(sections):
    blocks = [HEADER]
    for name, banks in LISTS:
        blocks.append(bank_list(sections, name, banks))
        blocks += [count_only(sections, *bank) for bank in NAMED_BY_INSTRUMENT.get(name, [])]
    blocks += [section_lines(name, bank_names(sections, *bank)) for name, bank in BANKS.items()]
    return "".join(line + "\r\n" for block in blocks for line in block + [""])[:-2].encode("ascii")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--ins", type=pathlib.Path, default=DEFAULT_INS)
    parser.add_argument("--ini", type=pathlib.Path, default=DEFAULT_INI)
    parser.add_argument("--check", action="store_true", help="only report whether the file is up to date")
    args = parser.parse_args()

    try:
        sections = read_ins(args.ins)
    except (OSError, UnicodeDecodeError) as error:
        sys.exit(f"cannot read: {error}")
    result = table_text(sections)
    if args.check:
        current = args.ini.read_bytes() if args.ini.exists() else b""
        if result != current:
            sys.exit(f"{args.ini}: tables differ from {args.ins}")
        return
    args.ini.write_bytes(result)


if __name__ == "__main__":
    main()

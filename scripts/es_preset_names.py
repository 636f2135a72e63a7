#!/usr/bin/env python3
"""Write the preset name sections of motif/data/data_ES.ini from a Cakewalk instrument file.

The names come from the Motif Rack ES instrument definition of bmerlet/MidiLibrary
(MidiLibrary/Resources/MotifRackES.ins, GPL-3.0). The Rack ES carries the same preset voice
banks as the Motif ES, so its banks are picked by bank select number through the file's own
"Patch[n]=" table (n = MSB * 128 + LSB) rather than by section title.

Only the sections listed in BANKS are rewritten; every other line of the table file stays
byte for byte as it is. With --check nothing is written and the exit status says whether
the table file is up to date.
"""

import argparse
import pathlib
import re
import sys

REPO = pathlib.Path(__file__).resolve().parent.parent
DEFAULT_INS = REPO.parent / "shared" / "realdata" / "names" / "bmerlet_MotifRackES.ins"
DEFAULT_INI = REPO / "motif" / "data" / "data_ES.ini"
INSTRUMENT = "Motif-Rack ES"

# Table section -> (bank select MSB, LSB, number of programs the instrument holds there).
BANKS = {
    "GM": (0, 0, 128),
    **{f"PRE{i + 1}": (63, i, 128) for i in range(6)},
    "DR:PRE": (63, 32, 64),
    "DR:GM": (127, 0, 1),
}
CATEGORIES = "Ap Kb Or Gt Ba St Br Rp Ld Pd Sc Cp Dr Se Me Co".split()
# A category prefix, a colon and a voice name of at most ten characters, as the instrument shows it.
NAME = re.compile(r"^(%s):\S.{0,9}$" % "|".join(CATEGORIES))


def read_ins(path):
    """Sections of a Cakewalk .ins file as {title: [(key, value), ...]}."""
    sections, current = {}, None
    for line in path.read_bytes().decode("ascii").splitlines():
        header = re.fullmatch(r"\[(.+)\]\s*", line)
        if header:
            current = sections.setdefault(header.group(1), [])
        elif current is not None and "=" in line and not line.startswith(";"):
            key, value = line.split("=", 1)
            current.append((key.strip(), value))
    return sections


def patch_list(sections, msb, lsb):
    """Title and (program, name) items of the one list the instrument file gives for a bank."""
    patch_key = f"Patch[{msb * 128 + lsb}]"
    titles = [value for key, value in sections.get(INSTRUMENT, []) if key == patch_key]
    if len(titles) != 1 or titles[0] not in sections:
        sys.exit(f"{INSTRUMENT}: no single patch name list for bank {msb}/{lsb}")
    items = sections[titles[0]]
    if [key for key, _ in items] != [str(i) for i in range(len(items))]:
        sys.exit(f"[{titles[0]}]: programs are not numbered 0, 1, 2 ...")
    return titles[0], items


def bank_names(sections, msb, lsb, count):
    title, items = patch_list(sections, msb, lsb)
    # The file pads names to ten characters with spaces and the odd tab; the instrument does not.
    names = [value.rstrip() for _, value in items]
    if len(names) != count:
        sys.exit(f"[{title}]: expected programs 0-{count - 1}")
    bad = [name for name in names if not NAME.match(name)]
    if bad:
        sys.exit(f"[{title}]: names without a known category prefix: {bad}")
    return names


def section_lines(name, names):
    return [f"[{name}]", f"Total={len(names)}"] + [f"{i}={n}" for i, n in enumerate(names)]


def splice(lines, name, new_section):
    """Replace a section's header and items; blank and comment lines before the next header stay."""
    if f"[{name}]" not in lines:
        sys.exit(f"no [{name}] section to fill")
    start = lines.index(f"[{name}]")
    end = start + 1
    while end < len(lines) and not lines[end].startswith("["):
        end += 1
    while end > start + 1 and (not lines[end - 1] or lines[end - 1].startswith(";")):
        end -= 1
    return lines[:start] + new_section + lines[end:]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--ins", type=pathlib.Path, default=DEFAULT_INS)
    parser.add_argument("--ini", type=pathlib.Path, default=DEFAULT_INI)
    parser.add_argument("--check", action="store_true", help="only report whether the file is up to date")
    args = parser.parse_args()

    try:
        sections = read_ins(args.ins)
        original = args.ini.read_bytes()
    except (OSError, UnicodeDecodeError) as error:
        sys.exit(f"cannot read: {error}")
    if not original.endswith(b"\r\n"):
        sys.exit(f"{args.ini}: expected CRLF line ends")
    lines = original.decode("ascii").split("\r\n")[:-1]
    for name, (msb, lsb, count) in BANKS.items():
        lines = splice(lines, name, section_lines(name, bank_names(sections, msb, lsb, count)))
    result = ("\r\n".join(lines) + "\r\n").encode("ascii")

    if args.check:
        if result != original:
            sys.exit(f"{args.ini}: preset names differ from {args.ins}")
        return
    args.ini.write_bytes(result)


if __name__ == "__main__":
    main()

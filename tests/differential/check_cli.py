#!/usr/bin/env python3
"""Differential check of varnholt-cli against an independent model written in Python.

The model below knows the saved-game layout, the loader, the vocabularies, output
naming and the writer on its own terms; it shares no code with the C++ core. The
generator builds random saved games (and broken ones) from scratch, lays them out
in folders of the game's kinds, runs `varnholt-cli info --json`, `info` and
`apply`, and compares exit codes, printed text, JSON fields and every byte written.

Usage: check_cli.py --cli PATH [--count N] [--seed S] [--jobs J] [--keep DIR] [--case I]
Exit status: 0 when every case agrees, 1 on any difference, 2 on a usage error.
"""

import argparse
import concurrent.futures
import json
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import time

# ---------------------------------------------------------------------------
# Layout knowledge

ANCHOR = "descr_strat.txt".encode("utf-16-le")  # 30 bytes, no terminator
MOD_NAME = "iron_dominion_plus"

STANDARD_DIFFICULTIES = ["Easy", "Medium", "Hard", "Very Hard"]
MOD_DIFFICULTIES = ["General", "Praetor", "Consul", "Emperor"]

BASE_FACTIONS = [
    "Julii", "Brutii", "Scipii", "SPQR", "Macedonians", "Egyptians", "Seleucids",
    "Carthaginians", "Parthians", "People of Pontus", "Gauls", "Germans", "Britons",
    "Armenians", "Dacians", "Greeks", "Numidians", "Scythians", "Spanish", "Thracians",
]
EXPANSION_FACTIONS = [
    "Huns", "Goths", "Sarmatians", "Vandals", "Germanic Frankish Tribes", "Saxons",
    "Unknown", "Sassanid Empire", "Unknown", "Unknown", "Unknown", "Unknown", "Unknown",
    "Unknown", "Alemanni", "Eastern Roman Empire", "Western Roman Empire", "Unknown",
    "Unknown", "Unknown",
]
MOD_FACTIONS = [
    "Romans", None, None, None, "Macedonians", "Egyptians", "Seleucids", "Carthaginians",
    "Parthians", "People of Pontus", "Gauls", "Germans", "Britons", "Armenians",
    "Dacians", "Greeks", "Numidians", "Sarmatians", "Iberians", "Thracians",
]


def _size_class(number):
    if number == 20:
        return 0
    if number <= 40:
        return 1
    if number <= 85:
        return 2
    return 3


# (number, stored little-endian float bytes, size class); n / 40 is exact in binary32.
UNIT_SCALES = [(n, struct.pack("<f", n / 40.0), _size_class(n)) for n in range(20, 161, 5)]
UNIT_SCALE_NUMBERS = [row[0] for row in UNIT_SCALES]

UNIT_SCALE_WARNING = "Unit scale not recognised - will use default of 40 (Normal)."

# Sentences that may stand for a failed file operation (%1 is the path).
FILE_FAILURE_SENTENCES = [
    "An unknown error occurred while accessing %1.",
    "%1 was not found.",
    "%1 contains an invalid path.",
    "%1 could not be opened because there are too many open files.",
    "Access to %1 was denied.",
    "An invalid file handle was associated with %1.",
    "%1 could not be removed because it is the current directory.",
    "%1 could not be created because the directory is full.",
    "Seek failed on %1.",
    "A hardware I/O error was reported while accessing %1.",
    "A sharing violation occurred while accessing %1.",
    "A locking violation occurred while accessing %1.",
    "Disk full while accessing %1.",
    "An attempt was made to access %1 past its end.",
]


def past_end_text(path):
    return f"Error reading {path}: An attempt was made to access {path} past its end."


def one_stop(description):
    """The description closed by exactly one full stop, its own or the message's."""
    return description if description.endswith(".") else description + "."


def any_failure_texts(verb, path):
    """Every message a failed file operation on `path` may give."""
    return {
        f"Error {verb} {path}: {one_stop(s.replace('%1', path)[:254])}" for s in FILE_FAILURE_SENTENCES
    }


class Layout:
    """The four values positions depend on, plus the layout family flags."""

    def __init__(self, code, expansion, late, name_offset, name_shift, anchor_shift):
        self.code = code
        self.expansion = expansion
        self.late = late
        self.name_offset = name_offset
        self.name_shift = name_shift
        self.anchor_shift = anchor_shift

    def anchor_nominal(self):
        return 3399 if self.code == 1 else 3661

    def resolve(self, p):
        if p > self.anchor_nominal():
            return p + self.anchor_shift
        if p > 3024:
            return p + 3 * self.name_shift
        if p > self.name_offset:
            return p + self.name_shift
        return p

    def entry_size(self):
        return 43 if self.code == 1 else 53

    def pair_bases(self):
        """(campaign, battle) bases of the per-faction difficulty pair."""
        if self.expansion:
            return 3514, 3518
        if self.late:
            return 3526, 3530
        if self.code > 1:
            return 3392, 3396
        return 3130, 3134

    def block(self):
        """Nominal start of the faction/season/year block."""
        return 1063 if self.code == 1 else 1273


def detect_release(data, path, isdir):
    """(label, code, isExpansion, isLateBaseGame) or None. Needs 8 bytes."""
    fmt = data[0]
    marker = data[4] == 0x62 and data[6] == 0x69
    if fmt == 1:
        return ("1.0", 1, False, False)
    if fmt == 2:
        return ("1.1", 1, False, False)
    if fmt == 3:
        sub = data[2]
        if sub == 4:
            at = path.find("/saves/")
            if at >= 0 and isdir(path[:at] + "/bi"):
                return ("1.3", 3, False, False)
            return ("1.2", 2, False, False)
        if sub == 7:
            return ("1.4", 4, True, False) if marker else ("1.3", 3, False, True)
        return None
    if fmt == 0:
        return None
    return ("1.6", 6, True, False) if marker else ("1.5", 5, False, True)


def is_mod_name(units):
    if len(units) != len(MOD_NAME):
        return False
    for u, c in zip(units, MOD_NAME):
        if 0x41 <= u <= 0x5A:
            u += 0x20
        if u != ord(c):
            return False
    return True


def fresh_record():
    return {
        "releaseLabel": "",
        "releaseCode": 1,
        "isExpansion": False,
        "isLateBaseGame": False,
        "campaignName": "",
        "isModCampaign": False,
        "campaignNameOffset": 0,
        "campaignShift": 0,
        "anchorShift": 0,
        "factionCode": 0,
        "factionName": "",
        "difficultyNames": list(STANDARD_DIFFICULTIES),
        "campaignDifficulty": 1,
        "battleDifficulty": 1,
        "noBattleTimeLimit": True,
        "shortCampaign": False,
        "unitScaleClass": 1,
        "unitScale": 40,
        "year": 270,
        "isAD": False,
        "isWinter": False,
        "warnings": [],
    }


class LoadResult:
    def __init__(self, ok, record, messages, layout=None, year_stored=None, faction_stored=None):
        self.ok = ok
        self.record = record
        self.messages = messages  # [(severity, text)] in the order they arise
        self.layout = layout
        self.year_stored = year_stored
        self.faction_stored = faction_stored

    def texts(self):
        return [t for _, t in self.messages]


class _PastEnd(Exception):
    pass


def full_path(path, cwd):
    """The save's full path: a relative one is taken from the working folder."""
    return path if os.path.isabs(path) or cwd is None else cwd.rstrip("/") + "/" + path


def ref_load(path, data, isdir, cwd=None):
    """Load `data` (the file's bytes) read from `path` into a fresh record. Messages
    name `path` as given; the folder test looks at the full path."""
    rec = fresh_record()
    msgs = []

    def fail(text):
        msgs.append(("error", text))
        return LoadResult(False, rec, msgs)

    # A file cut off inside a step is told by that step; one that ends before its
    # campaign name holds no more than a header, and is of no known release.
    unknown = f"Error reading {path}: Unknown IRD version."
    no_name = f"Error reading {path}: Cannot find campaign details."
    no_anchor = f"Error reading {path}: Cannot find descr_strat.txt."
    n = len(data)
    if n < 8:
        return fail(unknown)
    release = detect_release(data, full_path(path, cwd), isdir)
    if release is None:
        return fail(unknown)
    label, code, expansion, late = release
    name_offset = 70 if expansion else 64
    if n <= name_offset:
        return fail(unknown)
    rec.update(releaseLabel=label, releaseCode=code, isExpansion=expansion, isLateBaseGame=late)

    rec["campaignNameOffset"] = name_offset
    if name_offset + 2 > n:
        return fail(no_name)
    if data[name_offset] == 0 and data[name_offset + 1] == 0:
        return fail(no_name)
    units = []
    at = name_offset
    while True:
        if at + 2 > n:
            return fail(no_name)
        u = data[at] | (data[at + 1] << 8)
        if u == 0:
            break
        units.append(u)
        at += 2
    name_bytes = data[name_offset:at]
    rec["campaignName"] = name_bytes.decode("utf-16-le", errors="replace")
    name_shift = name_offset + 2 * len(units) - 98
    rec["campaignShift"] = name_shift
    mod = is_mod_name(units)
    rec["isModCampaign"] = mod
    if mod:
        rec["difficultyNames"], factions = list(MOD_DIFFICULTIES), MOD_FACTIONS
    elif expansion:
        rec["difficultyNames"], factions = list(STANDARD_DIFFICULTIES), EXPANSION_FACTIONS
    else:
        rec["difficultyNames"], factions = list(STANDARD_DIFFICULTIES), BASE_FACTIONS

    anchor_at = data.find(ANCHOR)
    if anchor_at < 0:
        return fail(no_anchor)
    lay = Layout(code, expansion, late, name_offset, name_shift, 0)
    lay.anchor_shift = anchor_at - lay.anchor_nominal()
    rec["anchorShift"] = lay.anchor_shift

    def read(pos, width):
        if pos < 0 or pos + width > n:
            raise _PastEnd()
        return data[pos : pos + width]

    try:
        faction = read(lay.resolve(lay.block()), 1)[0]
        if faction < 20:
            rec["factionCode"] = faction
            if factions[faction] is not None:
                rec["factionName"] = factions[faction]
        battle = read(lay.resolve(109), 1)[0]
        if battle < 4:
            rec["battleDifficulty"] = battle
        campaign = read(lay.resolve(160) + rec["factionCode"] * lay.entry_size(), 1)[0]
        if campaign < 4:
            rec["campaignDifficulty"] = campaign
        rec["noBattleTimeLimit"] = read(lay.resolve(114), 1)[0] != 28
        rec["shortCampaign"] = read(lay.resolve(129), 1)[0] == 4
        stored_scale = read(lay.resolve(101), 4)
        for number, stored, cls in UNIT_SCALES:
            if stored == stored_scale:
                rec["unitScale"], rec["unitScaleClass"] = number, cls
                break
        else:
            msgs.append(("warning", UNIT_SCALE_WARNING))
            rec["warnings"].append(UNIT_SCALE_WARNING)
            rec["unitScale"], rec["unitScaleClass"] = 40, 1
        rec["isWinter"] = read(lay.resolve(lay.block() + 1), 1)[0] == 0
        year = struct.unpack("<i", read(lay.resolve(lay.block() + 3), 4))[0]
    except _PastEnd:
        # The file is not of a known layout: its one message is the error, no
        # warning about a setting decoded before the bad place was found.
        msgs.clear()
        rec["warnings"] = []
        return fail(no_anchor)
    rec["isAD"] = year >= 0
    rec["year"] = abs(year)  # the true magnitude, also for -2^31
    return LoadResult(True, rec, msgs, lay, year, faction)


def patch_places(lay, faction):
    """Every (group, nominal description, file offset, width) the writer may patch."""
    s = lay.entry_size()
    kc, kb = lay.pair_bases()
    code1 = lay.code == 1
    r = lay.resolve
    return {
        "battle": [r(109), r(151), r(164) + faction * s, r(kb) + faction * 8],
        "campaign": [r(160) + faction * s, r(kc) + faction * 8],
        "timelimit": [r(114), r(156)],
        "length_flag": [r(129)] + ([] if code1 else [r(134)]),
        "length_value": [r(3306 if code1 else 3568)],
        "unitscale": [r(101), r(143)],
        "season": [r(1064 if code1 else 1274), r(3443 if code1 else 3705)],
        "year": [r(1066 if code1 else 1276), r(3439 if code1 else 3701)],
        "turn": [r(3435 if code1 else 3697)],
    }


# ---------------------------------------------------------------------------
# Command-line options of `apply` and their expected meaning

INT32_MIN, INT32_MAX = -(2**31), 2**31 - 1


def parse_int32(text):
    """A plain decimal integer (optional minus) within 32 bits, else None."""
    body = text[1:] if text.startswith("-") else text
    if not body or not body.isascii() or not body.isdigit():
        return None
    value = int(text)
    return value if INT32_MIN <= value <= INT32_MAX else None


def difficulty_value(token, names):
    if is_integer_token(token) and int(token) in range(4):
        return int(token)
    for i, name in enumerate(names):
        if token.lower() == name.lower():
            return i
    return None


KNOWN_OPTIONS = {
    "--campaign-difficulty", "--battle-difficulty", "--time-limit", "--campaign-length",
    "--unit-scale", "--year", "--era", "--season",
}


def is_integer_token(text):
    body = text[1:] if text.startswith("-") else text
    return body.isascii() and body.isdigit()


def syntax_refusal(opts):
    """Why the command line is refused before the save is looked at, or None."""
    for name, value in opts:
        if name not in KNOWN_OPTIONS and name != "--output":
            return f"unknown option {name}"
        if value is None:
            return f"{name} without value"
        if value == "":  # an empty value is no value, whatever follows it
            return f"{name} with an empty value"
        if name == "--time-limit" and value not in ("on", "off"):
            return "time limit value"
        if name == "--campaign-length" and value not in ("long", "short"):
            return "campaign length value"
        if name == "--era" and value not in ("BC", "AD"):
            return "era value"
        if name == "--season" and value not in ("summer", "winter"):
            return "season value"
        if name == "--year" and not (value.isascii() and value.isdigit() and 1 <= int(value) <= 2**31):
            return "year value: its number, 1 to 2147483648"
        if name == "--unit-scale":
            number = parse_int32(value)
            if number not in UNIT_SCALE_NUMBERS:
                return "unit scale value"
        if name in ("--campaign-difficulty", "--battle-difficulty"):
            # A number must be 0..3 whatever the save; a name needs the save's set.
            if is_integer_token(value) and int(value) not in range(4):
                return "difficulty value"
    return None


def save_refusal(opts, rec):
    """Why the command line is refused once the save is known, or None."""
    for name, value in opts:
        if name in ("--campaign-difficulty", "--battle-difficulty"):
            if difficulty_value(value, rec["difficultyNames"]) is None:
                return "difficulty name not of this save"
        if name == "--campaign-length" and rec["isExpansion"]:
            return "campaign length on an expansion save"
    values = dict(opts)
    if {"--year", "--era", "--season"} & values.keys():
        # The date as a whole, with the save's values for what is not given.
        year = int(values["--year"]) if "--year" in values else rec["year"]
        ad = values["--era"] == "AD" if "--era" in values else rec["isAD"]
        if ad and year > INT32_MAX:
            return "a year beyond 2147483647 AD"
        if year == 0:
            return "year 0, which no era has"
    return None


class Expect:
    """What one command should do. `stderr` is exact text, a set of allowed texts, a
    predicate on the text, or None for any non-empty text (refusals, whose wording is
    free)."""

    def __init__(self, code, stdout=b"", stderr="", output=None, why=""):
        self.code = code
        self.stdout = stdout
        self.stderr = stderr
        self.output = output  # (path, bytes) when a file must be written
        self.why = why


def lines(texts):
    return "".join(t + "\n" for t in texts)


def split_save_path(path):
    """(directory, base, extension) by the platform's rules; a bare name gets './'."""
    cut = path.rfind("/")
    directory, name = path[: cut + 1], path[cut + 1 :]
    dot = name.rfind(".")
    base, ext = (name, "") if dot < 0 else (name[:dot], name[dot:])
    if name in (".", ".."):
        base, ext = name, ""
    if directory == "":
        directory = "./"
    return directory, base, ext


def ref_output_name(path, exists):
    """(name, None) or (None, reason) where reason is 'part' or the error text."""
    directory, base, ext = split_save_path(path)
    if not base or not ext:
        return None, "part"
    for counter in range(1000):
        candidate = f"{directory}Varnholt{counter:03d}{ext}"
        if not exists(candidate):
            return candidate, None
    return None, f"No more {directory}Varnholt*{ext} file names available. Delete one or more files."


def ref_apply(path, data, isdir, exists, opts, output, cwd=None):
    why = syntax_refusal(opts + ([("--output", output)] if output is not None else []))
    if why:
        return Expect(2, stderr=None, why=why)
    if data is None:  # the save cannot be read at all; checked with a set of texts
        return Expect(1, stderr=any_failure_texts("reading", path), why="unreadable save")
    load = ref_load(path, data, isdir, cwd)
    if not load.ok:
        return Expect(1, stderr=lines(load.texts()), why="load fails")
    rec, lay = load.record, load.layout
    why = save_refusal(opts, rec)
    if why:
        return Expect(2, stderr=None, why=why)
    warnings = lines(rec["warnings"])
    if output is None:
        output, reason = ref_output_name(path, exists)
        if output is None:
            if reason == "part":
                return Expect(1, stderr=None, why="no output name: a part is empty")
            return Expect(1, stderr=warnings + reason + "\n", why="all names taken")

    buf = bytearray(data)
    values = dict(opts)
    faction = rec["factionCode"]
    places = patch_places(lay, faction)
    writes = []  # (offset, bytes) in order of writing

    if "--battle-difficulty" in values:
        v = difficulty_value(values["--battle-difficulty"], rec["difficultyNames"])
        writes += [(p, bytes([v])) for p in places["battle"]]
    if "--campaign-difficulty" in values:
        v = difficulty_value(values["--campaign-difficulty"], rec["difficultyNames"])
        writes += [(p, bytes([v])) for p in places["campaign"]]
    if "--time-limit" in values:
        v = 28 if values["--time-limit"] == "on" else 30
        writes += [(p, bytes([v])) for p in places["timelimit"]]
    if "--campaign-length" in values:
        short = values["--campaign-length"] == "short"
        writes += [(p, bytes([4 if short else 0])) for p in places["length_flag"]]
        writes += [(p, bytes([20 if short else 50])) for p in places["length_value"]]
    if "--unit-scale" in values:
        number = int(values["--unit-scale"])
        stored = next(row[1] for row in UNIT_SCALES if row[0] == number)
        writes += [(p, stored) for p in places["unitscale"]]
    if {"--year", "--era", "--season"} & values.keys():
        year = int(values["--year"]) if "--year" in values else rec["year"]
        ad = values["--era"] == "AD" if "--era" in values else rec["isAD"]
        winter = values["--season"] == "winter" if "--season" in values else rec["isWinter"]
        season = bytes([0 if winter else 2])
        stored_year = struct.pack("<I", (year if ad else -year) & 0xFFFFFFFF)
        t = year + 269 if ad else 270 - year
        turn = struct.pack("<H", (2 * t + (1 if winter else 0)) & 0xFFFF)
        writes += [(p, season) for p in places["season"]]
        writes += [(p, stored_year) for p in places["year"]]
        writes += [(p, turn) for p in places["turn"]]

    for offset, value in writes:
        if offset < 0 or offset + len(value) > len(buf):
            return Expect(1, stderr=warnings + past_end_text(path) + "\n", why="place past end")
    for offset, value in writes:
        buf[offset : offset + len(value)] = value

    return Expect(0, stdout=(output + "\n").encode(), stderr=warnings, output=(output, bytes(buf)))


# ---------------------------------------------------------------------------
# Generator of saved games


def units_bytes(units):
    return b"".join(struct.pack("<H", u) for u in units)


def gen_name_units(rng, expansion):
    pick = rng.random()
    if pick < 0.10:  # the known modification, in random case
        return [ord(c.upper() if rng.random() < 0.5 else c) for c in MOD_NAME], "mod"
    if pick < 0.14:  # almost the modification
        units = [ord(c.upper() if rng.random() < 0.5 else c) for c in MOD_NAME]
        variant = rng.randrange(5)
        if variant == 0:
            units.append(ord(rng.choice("x_1")))
        elif variant == 1:
            units = units[: rng.randrange(1, len(units))]
        elif variant == 2:  # dotted capital I / dotless i: not letters A to Z
            units[0] = rng.choice([0x130, 0x131])
        elif variant == 3:  # full-width letter
            units[1] = 0xFF52
        else:  # DEL where the underscore is: a fold by "| 0x20" would take it for "_"
            units[4] = 0x7F
        return units, f"near-mod{variant}"
    if pick < 0.16:  # a name that holds the anchor text itself
        units = [ord("x")] * rng.randrange(0, 3) + list(struct.unpack("<15H", ANCHOR))
        return units, "holds-anchor"
    if pick < 0.30:  # a name that gives shift 0
        length = 14 if expansion else 17
    else:
        length = rng.randint(1, 60)
    units = []
    while len(units) < length:
        kind = rng.random()
        if kind < 0.55:
            units.append(rng.randint(0x20, 0x7E))
        elif kind < 0.65:
            units.append(rng.randint(0xA0, 0xFF))
        elif kind < 0.75:
            units.append(rng.choice([0x0416, 0x4E2D, 0x00E9, 0x20AC, 0xFFFD, 0x0627, 0xFF21]))
        elif kind < 0.83 and len(units) + 2 <= length:  # a proper surrogate pair
            cp = rng.choice([0x1F600, 0x10000, 0x10FFFF, 0x1D11E])
            cp -= 0x10000
            units += [0xD800 + (cp >> 10), 0xDC00 + (cp & 0x3FF)]
        elif kind < 0.90:  # unpaired surrogates
            units.append(rng.choice([0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xD83D]))
        elif kind < 0.93:
            units.append(rng.randint(0x01, 0x1F))
        else:
            units.append(rng.randint(1, 0xFFFF))
    return units[:length], f"random{length}"


HEADER_KINDS = ["1.0", "1.1", "1.2", "1.3late", "1.4", "1.5", "1.6"]


def gen_header(rng, kind):
    head = bytearray(rng.randbytes(8))
    marker = kind in ("1.4", "1.6") or (kind in ("1.0", "1.1", "1.2") and rng.random() < 0.3)
    if marker:
        head[4], head[6] = 0x62, 0x69
    else:  # half a marker, or none
        v = rng.randrange(3)
        head[4] = 0x62 if v == 0 else rng.choice([0x00, 0x42, 0x63, 0x69])
        head[6] = 0x69 if v == 1 else rng.choice([0x00, 0x49, 0x62])
    fmt, sub = {
        "1.0": (1, None), "1.1": (2, None), "1.2": (3, 4), "1.3late": (3, 7), "1.4": (3, 7),
        "1.5": (rng.randint(4, 255), None), "1.6": (rng.randint(4, 255), None),
    }[kind]
    head[0] = fmt
    if sub is not None:
        head[2] = sub
    code1 = fmt in (1, 2)
    expansion = kind in ("1.4", "1.6")
    late = kind in ("1.3late", "1.5")
    return head, code1, expansion, late


def gen_setting_bytes(rng):
    """Raw values for every byte the loader reads, in range or not."""
    def small(limit):
        return rng.randrange(limit) if rng.random() < 0.85 else rng.randint(limit, 255)

    scale = rng.random()
    if scale < 0.75:
        unit = rng.choice(UNIT_SCALES)[1]
    elif scale < 0.85:  # near misses: one bit off, or a sensible float not in the table
        base = bytearray(rng.choice(UNIT_SCALES)[1])
        base[rng.randrange(4)] ^= 1 << rng.randrange(8)
        unit = bytes(base) if rng.random() < 0.5 else struct.pack("<f", rng.choice([0.55, 1.05, -1.0, 0.0]))
    else:
        unit = rng.randbytes(4)
    year = rng.choice([
        -270, -1, 0, 1, 14, 270, rng.randint(-400, 400), rng.randint(INT32_MIN, INT32_MAX),
        INT32_MAX, -INT32_MAX, -9999,
    ])
    if rng.random() < 0.015:  # the one stored year whose magnitude needs 32 unsigned bits
        year = INT32_MIN
    return {
        "faction": small(20),
        "battle": small(4),
        "timelimit": rng.choice([28, 30, 0, rng.randrange(256)]),
        "length": rng.choice([0, 4, 20, rng.randrange(256)]),
        "unit": unit,
        "season": rng.choice([0, 2, 1, rng.randrange(256)]),
        "year": year,
        "entries": [(small(4), small(4)) for _ in range(20)],
    }


def gen_save(rng):
    """(bytes, description) of one saved game, often broken on purpose."""
    d = {}
    kind = rng.random()
    if kind < 0.01:
        d["kind"] = "empty"
        return b"", d
    if kind < 0.03:
        size = rng.randint(1, 7)
        data = bytearray(rng.randbytes(size))
        data[0] = rng.choice([1, 2, 3, 4, 0, 9])
        d.update(kind="short", size=size)
        return bytes(data), d

    header_kind = rng.choice(HEADER_KINDS)
    head, code1, expansion, late = gen_header(rng, header_kind)
    breakage = rng.random()
    if breakage < 0.02:
        head[0] = 0
        d["broken"] = "format 0"
    elif breakage < 0.04:
        head[0], head[2] = 3, rng.choice([0, 1, 2, 3, 5, 6, 8, 255])
        d["broken"] = f"format 3/{head[2]}"
    d.update(kind="save", header=header_kind, head=head.hex())

    units, name_kind = gen_name_units(rng, expansion)
    name_offset = 70 if expansion else 64
    shift = name_offset + 2 * len(units) - 98
    d.update(name=name_kind, name_units=len(units), shift=shift)
    lay = Layout(1 if code1 else 2, expansion, late, name_offset, shift, 0)
    nominal = lay.anchor_nominal()

    where = rng.random()
    if where < 0.6:
        anchor = nominal + 3 * shift + rng.randint(-400, 2500)
    elif where < 0.72:
        anchor = rng.randint(0, 1400 + shift)
    elif where < 0.95:
        anchor = rng.randint(0, 20000)
    elif where < 0.99:
        anchor = rng.randint(60000, 300000)
    else:
        anchor = rng.randint(1_000_000, 3_000_000)
    anchor = max(anchor, 0)
    lay.anchor_shift = anchor - nominal
    d["anchor"] = anchor

    last_places = [pos + 3 for group in patch_places(lay, 19).values() for pos in group]
    need = max(last_places + [anchor + 46, name_offset + 2 * len(units) + 2, 1300 + shift])
    size = need + rng.choice([0, 1, rng.randint(0, 600), rng.randint(0, 5000)])
    data = bytearray(rng.randbytes(size))
    data[0:8] = head

    s = gen_setting_bytes(rng)
    d["settings"] = {k: (v.hex() if isinstance(v, bytes) else v) for k, v in s.items() if k != "entries"}

    def put_settings():
        r = lay.resolve
        blk = lay.block()
        data[r(blk)] = s["faction"]
        data[r(blk + 1)] = s["season"]
        data[r(blk + 3) : r(blk + 3) + 4] = struct.pack("<i", s["year"])
        data[r(109)] = s["battle"]
        data[r(114)] = s["timelimit"]
        data[r(129)] = s["length"]
        data[r(101) : r(101) + 4] = s["unit"]
        for f, (camp, bat) in enumerate(s["entries"]):
            at = r(160) + f * lay.entry_size()
            data[at], data[at + 4] = camp, bat

    def put_name():
        body = units_bytes(units) + b"\0\0"
        data[name_offset : name_offset + len(body)] = body

    put_name()
    anchor_last = rng.random() < 0.75
    if not anchor_last:
        data[anchor : anchor + 30] = ANCHOR
    put_settings()
    if anchor_last:
        data[anchor : anchor + 30] = ANCHOR
    d["anchor_written_last"] = anchor_last
    # The header bytes the detection reads are put back last: the anchor may cover them.
    if rng.random() < 0.9:
        data[0:8] = head

    if rng.random() < 0.05:  # a decoy before the anchor: all of it but its last byte
        if anchor >= 40:
            decoy = rng.randint(0, anchor - 30)
            data[decoy : decoy + 29] = ANCHOR[:29]
            d["decoy"] = decoy
    if rng.random() < 0.03:  # a second anchor later on: the first one counts
        later = rng.randint(anchor + 30, len(data) + 100)
        if later + 30 > len(data):
            data.extend(rng.randbytes(later + 30 - len(data)))
        data[later : later + 30] = ANCHOR
        d["second_anchor"] = later

    broken = rng.random()
    if broken < 0.02:
        data[name_offset : name_offset + 2] = b"\0\0"
        d["broken"] = "empty name"
    elif broken < 0.04:  # no terminator: the name runs to the end of the data
        end = name_offset + rng.randint(0, 80)
        del data[end:]
        for i in range(name_offset, end):
            if data[i] == 0:
                data[i] = rng.randint(1, 255)
        d["broken"], d["size"] = "no terminator", end
    elif broken < 0.06:  # every copy of the anchor spoilt in one byte
        at = data.find(ANCHOR)
        while at >= 0:
            data[at + rng.randrange(30)] ^= 0x01
            at = data.find(ANCHOR)
        d["broken"] = "no anchor"
    elif broken < 0.30:  # cut at a boundary that matters
        cuts = [anchor + k for k in (0, 29, 30, 35, 36, 39, 40, 43, 44, 45, 46)]
        for group in patch_places(lay, s["faction"] if s["faction"] < 20 else 0).values():
            for pos in group:
                cuts += [pos, pos + 1, pos + 3, pos + 4]
        for p in (101, 109, 114, 129, 160, lay.block(), lay.block() + 1, lay.block() + 3):
            pos = lay.resolve(p)
            cuts += [pos, pos + 1, pos + 3, pos + 4]
        cuts += [8, name_offset, name_offset + 1, name_offset + 2 * len(units) + 1]
        if rng.random() < 0.5:  # only places the writer alone uses
            writer = [anchor + k for k in (36, 39, 40, 43, 44, 45)]
            for group in patch_places(lay, s["faction"] if s["faction"] < 20 else 0).values():
                writer += [pos + k for pos in group for k in (0, 1, 3)]
            last_read = max(anchor + 30, lay.resolve(lay.block() + 3) + 4)
            cuts = [c for c in writer if c >= last_read] or cuts
        cut = rng.choice([c for c in cuts if 0 < c <= len(data)] or [len(data)])
        del data[cut:]
        d["cut"] = cut
    d["size"] = len(data)
    return bytes(data), d


# ---------------------------------------------------------------------------
# Folders

FOLDER_KINDS = [
    "plain", "saves+bi", "saves", "Saves+bi", "bi-is-file", "nested-inner-bi",
    "nested-outer-bi", "bi-symlink",
]
FILE_NAMES = [
    "x.sav", "x.sav", "x.sav", "quick.sav", "Varnholt000.sav", "my save.sav", "ünï.sav",
    "a.b.sav", "UPPER.SAV", "noext", ".sav", "save.",
]


def make_folder(rng, root):
    """Lay out a folder of the game's kind under root; return (save path, description)."""
    kind = rng.choice(FOLDER_KINDS)
    game = os.path.join(root, "game")
    if kind == "plain":
        folder = os.path.join(root, "dir")
    elif kind == "Saves+bi":
        folder = os.path.join(game, "Saves")
        os.makedirs(os.path.join(game, "bi"))
    elif kind.startswith("nested"):
        inner = os.path.join(game, "saves", "a")
        folder = os.path.join(inner, "saves")
        os.makedirs(os.path.join(inner if kind == "nested-inner-bi" else game, "bi"))
    else:
        folder = os.path.join(game, "saves")
        os.makedirs(game)
        if kind == "saves+bi":
            os.makedirs(os.path.join(game, "bi"))
        elif kind == "bi-is-file":
            open(os.path.join(game, "bi"), "wb").close()
        elif kind == "bi-symlink":
            os.makedirs(os.path.join(root, "elsewhere"))
            os.symlink(os.path.join(root, "elsewhere"), os.path.join(game, "bi"))
    os.makedirs(folder, exist_ok=True)
    name = rng.choice(FILE_NAMES)
    path = os.path.join(folder, name)
    _, _, ext = split_save_path(path)
    taken = []
    if ext and rng.random() < 0.3:
        for counter in rng.sample(range(6), rng.randint(1, 4)):
            taken.append(counter)
            other = os.path.join(folder, f"Varnholt{counter:03d}{ext}")
            if other == path:
                continue
            if rng.random() < 0.2:
                os.makedirs(other, exist_ok=True)
            elif not os.path.exists(other):
                with open(other, "wb") as f:
                    f.write(b"taken")
    return path, {"folder": kind, "file": name, "taken": sorted(taken)}


# ---------------------------------------------------------------------------
# Option generator


def gen_options(rng):
    opts = []
    if rng.random() < 0.12:
        return opts
    valid = rng.random() < 0.85

    def maybe_bad(good, bad):
        return rng.choice(bad) if (not valid and rng.random() < 0.5) else good

    def difficulty():
        choice = rng.random()
        if choice < 0.4:
            return rng.choice(["", "", "", "0"]) + str(rng.randrange(4))
        names = rng.choice([STANDARD_DIFFICULTIES, MOD_DIFFICULTIES])
        name = rng.choice(names)
        return "".join(c.upper() if rng.random() < 0.3 else c.lower() for c in name)

    table = [
        ("--campaign-difficulty", difficulty,
         ["4", "7", "-1", "abc", "", "Very", "2x", "1.0", "4294967297", "+1"]),
        ("--battle-difficulty", difficulty, ["4", "255", "-1", "hardest", "", "3 ", "-0x1"]),
        ("--time-limit", lambda: rng.choice(["on", "off"]), ["yes", "", "1", "none"]),
        ("--campaign-length", lambda: rng.choice(["long", "short"]), ["medium", "", "0"]),
        ("--unit-scale", lambda: str(rng.choice(UNIT_SCALE_NUMBERS)),
         ["0", "15", "21", "165", "200", "-40", "abc", "40x", "", "4294967336", "99999999999"]),
        ("--year", lambda: str(rng.choice([
            0, 1, 14, 270, 271, 9999, rng.randint(0, 5000), rng.randint(0, INT32_MAX), INT32_MAX,
            -1, -270, rng.randint(INT32_MIN, -1), INT32_MIN])),
         ["abc", "12x", "2147483648", "", "1e3"]),
        ("--era", lambda: rng.choice(["BC", "AD"]), ["CE", "", "B"]),
        ("--season", lambda: rng.choice(["summer", "winter"]), ["spring", "", "s"]),
    ]
    for name, good, bad in table:
        if rng.random() < 0.35:
            opts.append((name, maybe_bad(good(), bad)))
    if not valid and rng.random() < 0.25:
        opts.append((rng.choice(["--unknown", "--unit-scales", "--years"]), "1"))
    rng.shuffle(opts)
    return opts


def option_argv(opts, rng):
    argv = []
    for name, value in opts:
        if value is None:
            argv.append(name)
        elif rng.random() < 0.5 or value.startswith("-") or value == "":
            argv.append(f"{name}={value}")
        else:
            argv += [name, value]
    return argv


# ---------------------------------------------------------------------------
# Running and comparing


class Difference:
    def __init__(self, case, what, command, expected, actual, detail=None):
        self.case, self.what, self.command = case, what, command
        self.expected, self.actual, self.detail = expected, actual, detail


def run(cli, args, cwd):
    proc = subprocess.run([cli] + args, cwd=cwd, capture_output=True, timeout=60)
    return proc.returncode, proc.stdout, proc.stderr.decode("utf-8", errors="surrogateescape")


def snapshot(root):
    """Every entry under root with its kind and content, to see what a command wrote."""
    seen = {}
    for folder, dirs, files in os.walk(root):
        for d in dirs:
            p = os.path.join(folder, d)
            seen[p] = "link" if os.path.islink(p) else "dir"
        for f in files:
            p = os.path.join(folder, f)
            if os.path.islink(p):
                seen[p] = "link"
            else:
                with open(p, "rb") as fh:
                    seen[p] = hash(fh.read())
    return seen


def short(value, limit=300):
    text = repr(value)
    return text if len(text) <= limit else text[:limit] + "..."


class Case:
    def __init__(self, cli, index, seed, workdir):
        self.cli, self.index, self.workdir = cli, index, workdir
        self.rng = random.Random(seed * 1_000_003 + index)
        self.diffs = []
        self.commands = 0
        self.description = {}
        self.outcomes = []  # what the model expected of each command, for the summary

    def differ(self, what, command, expected, actual, detail=None):
        if "relative" in self.description:  # kept apart: a path given relative to the working folder
            what = what.replace(".", "[relative path].", 1)
        self.diffs.append(Difference(self.index, what, command, expected, actual, detail))

    def check_command(self, args, cwd, expect, root, display):
        before = snapshot(root)
        code, out, err = run(self.cli, args, cwd)
        self.commands += 1
        self.outcomes.append(f"{display}: {expect.why or 'written'}")
        after = snapshot(root)
        cmd = " ".join(["varnholt-cli"] + [repr(a) if " " in a or not a else a for a in args])
        if code != expect.code:
            self.differ(f"{display}.exit", cmd, expect.code, code, f"{expect.why}; stderr={short(err)}")
        if expect.code != 0 and out:
            self.differ(f"{display}.stdout", cmd, b"", out, expect.why)
        elif expect.code == 0 and out != expect.stdout:
            self.differ(f"{display}.stdout", cmd, expect.stdout, out, expect.why)
        if expect.stderr is None:
            if not err:
                self.differ(f"{display}.stderr", cmd, "a message", err, expect.why)
        elif isinstance(expect.stderr, set):
            if err.rstrip("\n") not in expect.stderr or not err.endswith("\n"):
                self.differ(f"{display}.stderr", cmd, "one of the file failure texts", err, expect.why)
        elif callable(expect.stderr):
            if not expect.stderr(err):
                self.differ(f"{display}.stderr", cmd, expect.stderr.__doc__, err, expect.why)
        elif err != expect.stderr:
            self.differ(f"{display}.stderr", cmd, expect.stderr, err, expect.why)

        changed = {p for p in set(before) | set(after) if before.get(p) != after.get(p)}
        if expect.output is None:
            if changed:
                self.differ(f"{display}.wrote", cmd, "nothing written", sorted(changed), expect.why)
        else:
            out_path = expect.output[0]
            full = out_path if os.path.isabs(out_path) else os.path.normpath(os.path.join(cwd, out_path))
            others = {p for p in changed if os.path.normpath(p) != full}
            if others:
                self.differ(f"{display}.wrote", cmd, f"only {full}", sorted(changed), expect.why)
            try:
                with open(full, "rb") as f:
                    got = f.read()
            except OSError as e:
                self.differ(f"{display}.output", cmd, "output file", str(e), expect.why)
                return code
            want = expect.output[1]
            if got != want:
                self.differ(f"{display}.output", cmd, f"{len(want)} bytes", f"{len(got)} bytes",
                            first_byte_differences(want, got))
        return code


def first_byte_differences(want, got, limit=8):
    out = []
    for i in range(min(len(want), len(got))):
        if want[i] != got[i]:
            out.append(f"@{i}: want {want[i]:#04x} got {got[i]:#04x}")
            if len(out) >= limit:
                break
    if len(want) != len(got):
        out.append(f"length want {len(want)} got {len(got)}")
    return "; ".join(out)


def plain_text(text):
    """A text as the plain form shows it: control characters as escapes."""
    named = {"\n": "\\n", "\r": "\\r", "\t": "\\t"}

    def shown(c):
        if c in named:
            return named[c]
        if ord(c) < 0x20 or ord(c) == 0x7F:
            return f"\\x{ord(c):02x}"
        if 0x80 <= ord(c) <= 0x9F:
            return f"\\u{ord(c):04x}"
        return c

    return "".join(shown(c) for c in text)


SIZE_CLASSES = ["Small", "Normal", "Large", "Huge"]


def plain_form(load, path, cwd):
    """The whole plain form of `info`: labelled lines in the words apply takes."""
    r = load.record
    release = r["releaseLabel"]
    if r["isExpansion"]:
        release += " (with the expansion)"
    elif r["releaseCode"] == 3 and not r["isLateBaseGame"]:
        full = full_path(path, cwd)
        bi = full[: full.index("/saves/")] + "/bi"
        release += f" (a 1.2 header, read as 1.3 because {plain_text(bi)} stands beside the saves folder)"
    campaign = plain_text(r["campaignName"])
    if r["isModCampaign"]:
        campaign += " (the modification, with its own names)"
    if load.faction_stored >= 20:
        faction = f"unknown (the save holds faction code {load.faction_stored})"
    elif r["factionName"] == "":
        faction = f"no name (faction code {r['factionCode']})"
    else:
        faction = plain_text(r["factionName"])
    names = r["difficultyNames"]
    if r["isExpansion"]:
        length = "none (expansion saves have no long or short campaign)"
    else:
        length = "short" if r["shortCampaign"] else "long"
    rows = [
        ("Release", release),
        ("Campaign", campaign),
        ("Faction", faction),
        ("Campaign difficulty", names[r["campaignDifficulty"]]),
        ("Battle difficulty", names[r["battleDifficulty"]]),
        ("Battle time limit", "off" if r["noBattleTimeLimit"] else "on"),
        ("Campaign length", length),
        ("Unit scale", f"{r['unitScale']} ({SIZE_CLASSES[r['unitScaleClass']]})"),
        ("Year", f"{r['year']} {'AD' if r['isAD'] else 'BC'}, {'winter' if r['isWinter'] else 'summer'}"),
    ]
    rows += [("Warning", plain_text(w)) for w in r["warnings"]]
    return "".join(f"{label}:{' ' * (21 - len(label))}{value}\n" for label, value in rows)


def check_info(case, path, cwd, root, data, isdir):
    expect_load = ref_load(path, data, isdir, cwd)
    if expect_load.ok:
        r = expect_load.record
        flags = "expansion" if r["isExpansion"] else "late" if r["isLateBaseGame"] else "no flag"
        mod = ", modification" if r["isModCampaign"] else ""
        case.outcomes.append(f"info: loads as {r['releaseLabel']} ({flags}{mod})")
    else:
        case.outcomes.append("info: " + expect_load.texts()[-1].replace(path, "PATH").split(": ", 1)[1])
    before = snapshot(root)
    code, out, err = run(case.cli, ["info", path, "--json"], cwd)
    case.commands += 1
    cmd = f"varnholt-cli info {path!r} --json"
    if snapshot(root) != before:
        case.differ("info.wrote", cmd, "nothing written", "something changed")
    if not expect_load.ok:
        if code != 1:
            case.differ("info.exit", cmd, 1, code, short(err))
        if out:
            case.differ("info.stdout", cmd, b"", out)
        want = lines(expect_load.texts())
        if err != want:
            case.differ("info.stderr", cmd, want, err)
        return expect_load
    if code != 0:
        case.differ("info.exit", cmd, 0, code, short(err))
        return expect_load
    # The warnings belong in the output; on stderr they may be repeated, nothing else.
    if err not in ("", lines(expect_load.record["warnings"])):
        case.differ("info.stderr", cmd, lines(expect_load.record["warnings"]), err)
    try:
        got = json.loads(out.decode("utf-8"))
    except (UnicodeDecodeError, json.JSONDecodeError) as e:
        case.differ("info.json", cmd, "valid UTF-8 JSON", f"{e}: {short(out)}")
        return expect_load
    want = expect_load.record
    if set(got) != set(want):
        case.differ("info.keys", cmd, sorted(want), sorted(got))
    for key in want:
        if key in got and (got[key] != want[key] or type(got[key]) is not type(want[key])):
            case.differ(f"info.{key}", cmd, want[key], got[key])

    if case.rng.random() < 0.15:
        code, out, err = run(case.cli, ["info", path], cwd)
        case.commands += 1
        cmd = f"varnholt-cli info {path!r}"
        text = out.decode("utf-8", errors="replace")
        expected = plain_form(expect_load, path, cwd)
        if text != expected:
            case.differ("info-plain.text", cmd, expected, text, f"name {want['campaignName']!r}")
        if code != 0:
            case.differ("info-plain.exit", cmd, 0, code)
    return expect_load


def run_case(case):
    rng = case.rng
    root = os.path.join(case.workdir, f"case{case.index}")
    os.makedirs(root)
    data, desc = gen_save(rng)
    path, folder_desc = make_folder(rng, root)
    desc.update(folder_desc)
    with open(path, "wb") as f:
        f.write(data)

    cwd = root
    shown = path
    if rng.random() < 0.15:  # a path relative to the working folder
        folder = os.path.dirname(path)
        cwd = rng.choice([folder, os.path.dirname(folder), root])
        shown = os.path.relpath(path, cwd)
        if rng.random() < 0.3 and "/" in shown:
            shown = "./" + shown
        desc["relative"] = shown

    def isdir(p):
        return os.path.isdir(p if os.path.isabs(p) else os.path.join(cwd, p))

    def exists(p):
        return os.path.lexists(p if os.path.isabs(p) else os.path.join(cwd, p))

    case.description = desc
    check_info(case, shown, cwd, root, data, isdir)

    for _ in range(rng.choice([1, 1, 2])):
        opts = gen_options(rng)
        output = None
        if rng.random() < 0.75:
            output = os.path.join(root, f"out{rng.randrange(100)}.sav")
            if rng.random() < 0.2:  # an old file under that name is replaced
                with open(output, "wb") as f:
                    f.write(b"old contents")
        expect = ref_apply(shown, data, isdir, exists, opts, output, cwd)
        argv = option_argv(opts, rng)
        args = ["apply", shown] + argv + (["--output", output] if output else [])
        desc.setdefault("applies", []).append(argv)
        # Differences that come only from an empty option value share one cause.
        display = "apply[empty value]" if any(v == "" for _, v in opts) else "apply"
        case.check_command(args, cwd, expect, root, display)
        # Leave the folder as the next apply should find it.
        if output and os.path.exists(output):
            os.remove(output)
        with open(path, "rb") as f:
            if f.read() != data:
                case.differ("apply.source", "apply", "source unchanged", "source changed")
    if not case.diffs:  # keep only what a difference needs, the disk is shared memory
        shutil.rmtree(root, ignore_errors=True)
    return case


# ---------------------------------------------------------------------------
# Known answers the model itself must give, so a slip in the model cannot pass
# unseen when it happens to agree with the program.


def turn_counter(year, ad, winter):
    t = year + 269 if ad else 270 - year
    return (2 * t + (1 if winter else 0)) & 0xFFFF


def model_self_test():
    """List of failed known answers (empty when the model is sound)."""
    failed = []

    def check(what, got, want):
        if got != want:
            failed.append(f"{what}: got {got!r}, want {want!r}")

    lay = Layout(2, False, False, 64, 64 + 2 * 20 - 98, 0)  # a 20-unit name
    check("shift of a 20-unit name", lay.name_shift, 6)
    check("109 with shift 6", lay.resolve(109), 115)
    check("3024 with shift 6", lay.resolve(3024), 3030)
    check("3025 with shift 6", lay.resolve(3025), 3043)
    check("64 stays", lay.resolve(64), 64)
    lay = Layout(2, False, False, 64, 0, 3700 - 3661)
    check("anchorShift, code 2, anchor at 3700", lay.anchor_shift, 39)
    check("3705, code 2", lay.resolve(3705), 3744)
    check("3661 is band 2", lay.resolve(3661), 3661)
    check("3662 is band 1", lay.resolve(3662), 3662 + 39)
    lay = Layout(1, False, False, 64, 0, 3700 - 3399)
    check("anchorShift, code 1", lay.anchor_shift, 301)
    check("3443, code 1", lay.resolve(3443), 3744)
    lay = Layout(5, False, True, 64, 0, 500)
    check("late family, faction 19 battle pair", patch_places(lay, 19)["battle"][3],
          lay.resolve(3530) + 152)
    check("late family pair bases", lay.pair_bases(), (3526, 3530))
    check("folder-1.3 family", Layout(3, False, False, 64, 0, 0).pair_bases(), (3392, 3396))
    check("length places, code 1", len(patch_places(Layout(1, False, False, 64, 0, 0), 0)
                                       ["length_flag"]), 1)
    check("270 BC summer", turn_counter(270, False, False), 0)
    check("270 BC winter", turn_counter(270, False, True), 1)
    check("1 BC winter", turn_counter(1, False, True), 539)
    check("1 AD summer", turn_counter(1, True, False), 540)
    check("9999 BC summer", turn_counter(9999, False, False), 46078)
    by_float = {row[1]: (row[0], row[2]) for row in UNIT_SCALES}
    check("float 2.5", by_float.get(struct.pack("<f", 2.5)), (100, 3))
    check("float 1.0", by_float.get(struct.pack("<f", 1.0)), (40, 1))
    check("float 0.55", by_float.get(struct.pack("<f", 0.55)), None)
    check("table size", len(UNIT_SCALES), 29)
    check("85 is Large, 90 Huge", (_size_class(85), _size_class(90)), (2, 3))
    check("mod name in capitals", is_mod_name([ord(c) for c in MOD_NAME.upper()]), True)
    check("mod name and more", is_mod_name([ord(c) for c in MOD_NAME + "x"]), False)
    check("dotless i is no I", is_mod_name([0x131] + [ord(c) for c in MOD_NAME[1:]]), False)
    head = bytearray(8)
    head[0], head[4], head[6] = 9, 0x62, 0x69
    check("format 9 with marker", detect_release(head, "/x.sav", lambda p: False),
          ("1.6", 6, True, False))
    head[6] = 0
    check("format 9, half a marker", detect_release(head, "/x.sav", lambda p: False),
          ("1.5", 5, False, True))
    head[0], head[2] = 3, 4
    check("folder test", detect_release(head, "/g/saves/q.sav", lambda p: p == "/g/bi"),
          ("1.3", 3, False, False))
    check("folder test, Saves", detect_release(head, "/g/Saves/q.sav", lambda p: True),
          ("1.2", 2, False, False))
    head[2] = 5
    check("format 3/5", detect_release(head, "/x.sav", lambda p: True), None)
    check("naming", ref_output_name("/g/saves/quick.sav", lambda p: p.endswith(("000.sav", "002.sav"))),
          ("/g/saves/Varnholt001.sav", None))
    check("naming, no extension", ref_output_name("/g/save", lambda p: False), (None, "part"))
    check("naming, bare name", ref_output_name("q.sav", lambda p: False), ("./Varnholt000.sav", None))
    return failed


# ---------------------------------------------------------------------------
# Fixed cases: reading failures, naming limits, write failures


def fixed_cases(cli, workdir):
    """Checks that random saves do not reach. Returns (differences, commands run)."""
    case = Case(cli, -1, 0, workdir)
    root = os.path.join(workdir, "fixed")
    os.makedirs(root)
    nothing = lambda p: False  # noqa: E731

    def good_save(fmt=4, units=17, anchor_pad=0, scale=b"\0\0\x80\x3f"):
        data = bytearray(4000 + anchor_pad)
        data[0] = fmt
        data[64 : 64 + 2 * units] = units_bytes([ord("a")] * units)
        shift = 2 * units - 34
        data[101 + shift : 105 + shift] = scale
        at = 3661 + 3 * shift + 100 + anchor_pad
        data[at : at + 30] = ANCHOR
        # 14 AD where the loader reads the year, and after the anchor: a year that
        # exists, so that a new season or era alone makes a date.
        data[1276 + shift : 1280 + shift] = data[at + 40 : at + 44] = struct.pack("<i", 14)
        return bytes(data)

    def write(path, data):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)

    # A missing save, and a folder given as the save.
    for path in (os.path.join(root, "missing.sav"), root):
        exp = ref_apply(path, None, nothing, nothing, [], os.path.join(root, "o.sav"))
        case.check_command(["info", path, "--json"], root, Expect(1, stderr=exp.stderr, why=exp.why),
                           root, "fixed-info")
        case.check_command(["apply", path, "--output", os.path.join(root, "o.sav")], root, exp, root,
                           "fixed-apply")
    # The missing save's text is the "not found" sentence.
    missing = os.path.join(root, "missing.sav")
    case.check_command(["info", missing], root,
                       Expect(1, stderr=f"Error reading {missing}: {missing} was not found.\n",
                              why="not found"), root, "fixed-info-missing")

    # All 1000 names taken.
    full = os.path.join(root, "full")
    save = os.path.join(full, "s.sav")
    write(save, good_save())
    for i in range(1000):
        open(os.path.join(full, f"Varnholt{i:03d}.sav"), "wb").close()
    exp = ref_apply(save, good_save(), os.path.isdir, os.path.lexists, [("--season", "winter")], None)
    case.check_command(["apply", save, "--season=winter"], root, exp, root, "fixed-all-taken")
    # Only 999 free.
    os.remove(os.path.join(full, "Varnholt999.sav"))
    exp = ref_apply(save, good_save(), os.path.isdir, os.path.lexists, [], None)
    case.check_command(["apply", save], root, exp, root, "fixed-999-free")
    shutil.rmtree(full)

    # A bare file name is named in the working folder.
    bare = os.path.join(root, "bare")
    write(os.path.join(bare, "b.sav"), good_save())
    in_bare = lambda p: os.path.lexists(os.path.join(bare, p))  # noqa: E731
    exp = ref_apply("b.sav", good_save(), os.path.isdir, in_bare, [("--year", "5")], None, bare)
    case.check_command(["apply", "b.sav", "--year=5"], bare, exp, root, "fixed-bare-name")

    # Write failures: a missing folder, and a folder in the way.
    src = os.path.join(root, "w", "s.sav")
    write(src, good_save())
    for out in (os.path.join(root, "w", "no", "such", "o.sav"), os.path.join(root, "w"),
                "/proc/varnholt-check.sav"):
        exp = Expect(1, stderr=any_failure_texts("writing", out), why="write failure")
        if "such" in out:  # a missing folder is a bad path
            exp.stderr = f"Error writing {out}: {out} contains an invalid path.\n"
        case.check_command(["apply", src, "--output", out], root, exp, root, "fixed-write-failure")

    # The anchor across every power-of-two boundary a reader might cut the file at,
    # and after false starts (a leading part of the anchor just before the real one).
    scan = os.path.join(root, "scan", "s.sav")
    out = os.path.join(root, "scan", "o.sav")
    body = good_save()[:3700]  # everything but its anchor
    placements = [((1 << k) - d, 0) for k in range(12, 25) for d in (1, 2, 15, 29)]
    placements += [((1 << 16) - 7, j) for j in range(1, 30)]
    for n, (at, false_start) in enumerate(placements):
        data = bytearray(body) + bytearray(at + 80 - len(body))
        data[at - false_start : at] = ANCHOR[:false_start]
        data[at : at + 30] = ANCHOR
        data = bytes(data)
        write(scan, data)
        check_info(case, scan, root, root, data, os.path.isdir)
        if n % 4 == 0:
            exp = ref_apply(scan, data, os.path.isdir, os.path.lexists, [("--season", "winter")], out)
            case.check_command(["apply", scan, "--season=winter", "--output", out], root, exp, root,
                               "fixed-anchor-scan")
            os.remove(out)
    shutil.rmtree(os.path.dirname(scan))

    # An empty device is a file too short for the header.
    exp = Expect(1, stderr="Error reading /dev/null: Unknown IRD version.\n", why="empty device")
    case.check_command(["info", "/dev/null", "--json"], root, exp, root, "fixed-dev-null")

    # Output that cannot be printed is no success.
    if os.path.exists("/dev/full"):
        with open("/dev/full", "wb") as full_device:
            proc = subprocess.run([cli, "info", src, "--json"], stdout=full_device,
                                  stderr=subprocess.PIPE, timeout=60)
        case.commands += 1
        case.outcomes.append("fixed-stdout-full: info fails")
        if proc.returncode == 0:
            case.differ("fixed-stdout-full.exit", f"varnholt-cli info {src} --json >/dev/full",
                        "non-zero", 0, "stdout could not be written")

    # The saved game itself as the output, directly or through a link: it must not be
    # replaced, and the failure is a write failure.
    os.link(src, os.path.join(root, "w", "hard.sav"))
    os.symlink(src, os.path.join(root, "w", "soft.sav"))
    for out in (src, os.path.join(root, "w", "hard.sav"), os.path.join(root, "w", "soft.sav")):
        def names_output(err, out=out):
            """one line 'Error writing OUTPUT: ...'"""
            return err.startswith(f"Error writing {out}: ") and err.count("\n") == 1
        exp = Expect(1, stderr=names_output, why="output is the saved game")
        case.check_command(["apply", src, "--season=winter", "--output", out], root, exp, root,
                           "fixed-output-is-source")
    os.remove(os.path.join(root, "w", "hard.sav"))
    os.remove(os.path.join(root, "w", "soft.sav"))

    # An empty output value is no output: refused, and the option after it is not
    # taken for the file name.
    for args in (["--output=", "--season=winter"], ["--output", ""], ["--output="]):
        exp = Expect(2, stderr=None, why="empty output value")
        case.check_command(["apply", src] + args, root, exp, root, "fixed-empty-output")

    # Warning from the loader printed by apply, which still succeeds.
    odd = good_save(scale=struct.pack("<f", 1.05))
    write(src, odd)
    out = os.path.join(root, "w", "o.sav")
    exp = ref_apply(src, odd, os.path.isdir, os.path.lexists, [], out)
    case.check_command(["apply", src, "--output", out], root, exp, root, "fixed-warning")
    os.remove(out)

    # An anchor deep inside a large file, and a large file copied whole.
    big = good_save(anchor_pad=4_000_000) + os.urandom(1_000_000)
    write(src, big)
    exp = ref_apply(src, big, os.path.isdir, os.path.lexists, [("--era", "AD")], out)
    case.check_command(["apply", src, "--era=AD", "--output", out], root, exp, root, "fixed-big")
    os.remove(out)
    return case


# ---------------------------------------------------------------------------


def describe(diff, cases_by_index):
    lines_out = [f"case {diff.case}: {diff.what}", f"  command:  {diff.command}"]
    lines_out.append(f"  expected: {short(diff.expected, 600)}")
    lines_out.append(f"  actual:   {short(diff.actual, 600)}")
    if diff.detail:
        lines_out.append(f"  detail:   {short(diff.detail, 600)}")
    case = cases_by_index.get(diff.case)
    if case is not None and case.description:
        lines_out.append(f"  save:     {json.dumps(case.description, ensure_ascii=True)[:1500]}")
    return "\n".join(lines_out)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--cli", required=True, help="path of varnholt-cli")
    ap.add_argument("--count", type=int, default=5000, help="number of random cases")
    ap.add_argument("--seed", type=int, default=1, help="seed of the generator")
    ap.add_argument("--jobs", type=int, default=2, help="commands run at once")
    ap.add_argument("--show", type=int, default=10, help="differences shown in detail")
    ap.add_argument("--keep", help="copy the folders of differing cases here")
    ap.add_argument("--case", type=int, help="run this one case number only")
    args = ap.parse_args()
    cli = os.path.abspath(args.cli)
    if not os.access(cli, os.X_OK):
        print(f"not an executable: {cli}", file=sys.stderr)
        return 2

    failed = model_self_test()
    if failed:
        print("the model fails its own known answers:\n  " + "\n  ".join(failed), file=sys.stderr)
        return 2

    started = time.time()
    base = "/dev/shm" if os.path.isdir("/dev/shm") else None
    workdir = tempfile.mkdtemp(prefix="varnholt-diff-", dir=base)
    try:
        indices = [args.case] if args.case is not None else range(args.count)
        cases = [Case(cli, i, args.seed, workdir) for i in indices]
        fixed = fixed_cases(cli, workdir) if args.case is None else None
        with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
            done = list(pool.map(run_case, cases))
        if fixed is not None:
            done.append(fixed)
        diffs = [d for c in done for d in c.diffs]
        commands = sum(c.commands for c in done)
        if args.keep and diffs:
            os.makedirs(args.keep, exist_ok=True)
            for index in sorted({d.case for d in diffs}):
                src = os.path.join(workdir, "fixed" if index < 0 else f"case{index}")
                shutil.copytree(src, os.path.join(args.keep, f"case{index}"), symlinks=True,
                                dirs_exist_ok=True)
    finally:
        shutil.rmtree(workdir, ignore_errors=True)

    by_kind = {}
    for d in diffs:
        by_kind.setdefault(d.what, []).append(d)
    kinds = {}
    for c in done:
        key = c.description.get("broken") or c.description.get("kind", "fixed")
        kinds[key] = kinds.get(key, 0) + 1
    print(f"varnholt-cli differential check: seed {args.seed}, {len(done)} cases "
          f"({len(cases)} random{' + fixed' if fixed else ''}), {commands} commands, {time.time() - started:.1f} s")
    print("  save kinds: " + ", ".join(f"{k} {v}" for k, v in sorted(kinds.items())))
    outcomes = {}
    for c in done:
        for o in c.outcomes:
            outcomes[o] = outcomes.get(o, 0) + 1
    print("  expected outcomes:")
    for o, n in sorted(outcomes.items()):
        print(f"    {n:6d}  {o}")
    if not diffs:
        print("no differences")
        return 0
    print(f"{len(diffs)} differences in {len({d.case for d in diffs})} cases:")
    for what, group in sorted(by_kind.items(), key=lambda kv: -len(kv[1])):
        print(f"  {what}: {len(group)} (first in case {group[0].case})")
    print()
    cases_by_index = {c.index: c for c in done}
    shown = set()
    for what, group in sorted(by_kind.items(), key=lambda kv: -len(kv[1])):
        for d in group[: max(2, args.show // max(1, len(by_kind)))]:
            if len(shown) >= args.show:
                break
            shown.add(id(d))
            print(describe(d, cases_by_index))
            print()
    return 1


if __name__ == "__main__":
    sys.exit(main())

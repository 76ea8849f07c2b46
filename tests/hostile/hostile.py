#!/usr/bin/env python3
"""Starts the real vimra program on damaged resource packs and damaged
settings files, each in a working folder of its own, under a virtual display,
and sorts every start by how it ended.

A start passes when it either runs (the game comes up, takes SIGTERM as a
request to quit, exits 0 and leaves a valid 48-byte settings file behind) or
refuses (a non-zero status with exactly one line, "vimra: ...", on stderr and
no settings file). Anything else fails: death by a signal, a start still alive
after the time limit, a sanitizer report, any other output.

usage: hostile.py BIN_DIR [--set reduced|full] [--kinds K1,K2] [--jobs N]
                          [--settle S] [--limit S] [--keep DIR] [--list]
  BIN_DIR   folder holding vimra and vimradata.bin (its ../lib the engine)
  --set     "reduced" (default) tries a few variants of every kind, "full"
            every variant this tool knows, "sample" --per-kind variants of
            each kind spread over the full set
  --kinds   only these kinds (names as printed in the report)
  --skip-kinds  all kinds but these
  --jobs    starts run side by side on the one display (default 1)
  --settle  seconds a start gets before it is asked to quit (default 8)
  --limit   seconds it then gets to end before it counts as hanging (60)
  --keep    keep the working folder of every failing start below DIR
  --per-kind  variants of each kind in the reduced set (default 2)
  --list    print the variants and exit
Exit status 0 when every start passed. The report gives counts by kind and
outcome, then one line per failing start.
"""
import argparse
import concurrent.futures
import math
import os
import random
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zlib

PACK = "vimradata.bin"
SETTINGS = "vimraconfig.bin"
PASSING = ("ran", "refused")


# --- pack images -------------------------------------------------------------
def crunch(data, stated=None):
    """A crunched block: the stated uncompressed size, then one zlib stream."""
    size = len(data) if stated is None else stated
    return struct.pack("<I", size & 0xFFFFFFFF) + zlib.compress(data, 9)


def decrunch(block):
    return zlib.decompress(block[4:])


def with_crc(image):
    image = bytearray(image)
    image[2:6] = b"\0\0\0\0"
    image[2:6] = struct.pack("<I", zlib.crc32(bytes(image)) & 0xFFFFFFFF)
    return bytes(image)


def parse_pack(image):
    """(table length L, [(name, bytes), ...]) of a sound pack image."""
    length = struct.unpack_from("<I", image, 6)[0]
    table = decrunch(image[10:10 + length])
    entries = []
    cursor = 10 + length
    for i in range(len(table) // 36):
        record = table[36 * i:36 * i + 36]
        size = struct.unpack_from("<I", record, 32)[0]
        entries.append((record[:32].split(b"\0")[0], image[cursor:cursor + size]))
        cursor += size
    return length, entries


def table_of(entries, names=None, sizes=None):
    out = bytearray()
    for i, (name, data) in enumerate(entries):
        field = names[i] if names is not None else name
        out += field[:32].ljust(32, b"\0")
        out += struct.pack("<I", (sizes[i] if sizes is not None else len(data)) & 0xFFFFFFFF)
    return bytes(out)


def build_pack(entries, table=None, crunched_table=None):
    if crunched_table is None:
        crunched_table = crunch(table if table is not None else table_of(entries))
    image = b"kx\0\0\0\0" + struct.pack("<I", len(crunched_table)) + crunched_table
    image += b"".join(data for _, data in entries)
    return with_crc(image)


def entry_kind(name):
    if name in (b"arial", b"ss10"):
        return "font"
    if name.startswith((b"box",)):
        return "mesh"
    if name.startswith((b"msg_", b"licenses_", b"howtoplay_")):
        return "text"
    if name.startswith((b"bkgsnd", b"choicesnd")):
        return "audio"
    return "picture"


def settings_for(name):
    """Settings that make the game load `name` at start (the "_low" entries
    only load at low quality, the Polish texts only in Polish)."""
    language = 1 if name.endswith(b"_polski") else 0
    quality = 0 if name.endswith(b"_low") else 1
    if language == 0 and quality == 1:
        return None
    return settings_image(language=language, quality=quality)


# --- settings images -----------------------------------------------------------
BOTTOM = (0.889129638671875, 0.629486083984375, 0.13458251953125)
TOP = (0.084930419921875, 0.404876708984375, 0.7286376953125)


def settings_image(language=0, quality=1, music=1, hints=1, volumes=(64, 64)):
    out = struct.pack("<4f", *BOTTOM, 1.0) + struct.pack("<4f", *TOP, 1.0)
    out += struct.pack("<i4B2i", language, quality, music, hints, 0, *volumes)
    assert len(out) == 48
    return out


def settings_problem(data):
    """Why a settings file the game wrote is not valid; None when it is."""
    if len(data) != 48:
        return "settings file of %d bytes" % len(data)
    floats = struct.unpack_from("<8f", data, 0)
    for i in (0, 1, 2, 4, 5, 6):
        if not (math.isfinite(floats[i]) and 0.0 <= floats[i] <= 1.0):
            return "colour %d is %r" % (i, floats[i])
    if floats[3] != 1.0 or floats[7] != 1.0:
        return "the alpha fields are not 1.0"
    language, quality, music, hints, zero, mv, sv = struct.unpack_from("<i4B2i", data, 32)
    if language not in (0, 1):
        return "language %d" % language
    if quality > 1 or music > 1 or hints > 1 or zero != 0:
        return "switch bytes %d %d %d %d" % (quality, music, hints, zero)
    if not (0 <= mv <= 128 and 0 <= sv <= 128):
        return "volumes %d %d" % (mv, sv)
    return None


# --- variants --------------------------------------------------------------------
class Variant:
    """One start: files to put into the working folder and how it may end."""

    def __init__(self, kind, label, pack=None, settings=None, setup=None,
                 as_nobody=False, may_refuse=True, save_fails=False):
        self.kind = kind
        self.label = label
        self.pack = pack            # bytes of vimradata.bin (None: the real one)
        self.settings = settings    # bytes of vimraconfig.bin, or None
        self.setup = setup          # callable(folder) for odd folders
        self.as_nobody = as_nobody  # run without root's rights
        self.may_refuse = may_refuse
        self.save_fails = save_fails  # the settings cannot be written


def pick(items, chosen, reduced):
    """All items, or in the reduced set the ones at the given positions."""
    if not reduced:
        return list(items)
    items = list(items)
    return [items[i] for i in chosen if -len(items) <= i < len(items)]


def thin(variants, per_kind, middles=False):
    """At most per_kind variants of every kind, spread over its list: the
    first of each stretch, or with `middles` the middle one."""
    by_kind = {}
    for v in variants:
        by_kind.setdefault(v.kind, []).append(v)
    kept = []
    for kind, group in by_kind.items():
        n = len(group)
        # The three odd settings files and the three lies of a size prefix
        # differ in kind, not in degree: all of them stay.
        wanted = max(per_kind, 3) if kind in ("settings odd file", "size prefix lies") else per_kind
        if n <= wanted:
            chosen = range(n)
        else:
            chosen = sorted({((2 * k + middles) * n) // (2 * wanted) for k in range(wanted)})
        kept += [group[i] for i in chosen]
    return kept


def pack_variants(real, reduced):
    length, entries = parse_pack(real)
    rng = random.Random(20261207)
    data_start = 10 + length
    out = []
    names = [name for name, _ in entries]
    by_kind = {}
    for i, (name, _) in enumerate(entries):
        by_kind.setdefault(entry_kind(name), []).append(i)
    # Per-entry kinds in the reduced set: one essential entry, one entry of
    # each other kind, and one that only loads at low quality or in Polish.
    reduced_entries = sorted({by_kind["font"][0], names.index(b"texture_3_low"),
                              names.index(b"msg_polski")})

    def per_entry(kind, make):
        indices = reduced_entries if reduced else range(len(entries))
        for i in indices:
            made = make(i)
            if made is None:
                continue
            label, pack = made
            out.append(Variant(kind, label, pack, settings_for(names[i])))

    # Truncations: inside the header, the table, every entry and the last byte;
    # with the stored checksum (stale) and with one computed for the cut image.
    # (A cut or a flip inside an entry only ever meets the checksum or that
    # entry's own zlib check, so every sixth entry stands for all of them.)
    cuts = [0, 1, 2, 5, 6, 9, 10, 13, 14, data_start - 1, data_start, len(real) - 1]
    cursor = data_start
    for i, (_, data) in enumerate(entries):
        if i % 6 == 0:
            cuts.append(cursor + len(data) // 2)
        cursor += len(data)
    for cut in pick(cuts, [0, 6, 9, 13, -1], reduced):
        out.append(Variant("truncated", "first %d bytes" % cut, real[:cut]))
        if cut >= 10:
            out.append(Variant("truncated+crc", "first %d bytes" % cut, with_crc(real[:cut])))

    # Flipped bytes: header fields, the table, the first and a middle byte of
    # every entry.
    offsets = [0, 1, 2, 5, 6, 9, 10, 13, 14, 10 + length // 2, data_start - 1]
    cursor = data_start
    for i, (_, data) in enumerate(entries):
        if i % 6 == 0:
            offsets += [cursor, cursor + len(data) // 2]
        cursor += len(data)
    for offset in pick(offsets, [0, 3, 4, 8, 9, 13, 16, -1], reduced):
        flipped = bytearray(real)
        flipped[offset] ^= 0xFF
        out.append(Variant("flipped", "byte %d" % offset, bytes(flipped)))
        if offset not in range(2, 6):
            out.append(Variant("flipped+crc", "byte %d" % offset, with_crc(bytes(flipped))))

    def replaced(i, data):
        return entries[:i] + [(entries[i][0], data)] + entries[i + 1:]

    per_entry("removed", lambda i: (names[i].decode(), build_pack(entries[:i] + entries[i + 1:])))
    per_entry("garbage", lambda i: (
        names[i].decode(), build_pack(replaced(i, bytes(rng.getrandbits(8) for _ in range(len(entries[i][1])))))))
    per_entry("empty", lambda i: (names[i].decode(), build_pack(replaced(i, b""))))

    # A crunched block of another kind where this one belongs: a picture where
    # a font, a mesh or music belongs, a text where a picture belongs, a font
    # where a text belongs.
    donors = {"font": names.index(b"texture_star_01"), "mesh": names.index(b"msg_english"),
              "audio": names.index(b"button_blue_active"), "picture": names.index(b"msg_english"),
              "text": names.index(b"ss10")}
    per_entry("wrong kind", lambda i: (
        "%s holds %s" % (names[i].decode(), names[donors[entry_kind(names[i])]].decode()),
        build_pack(replaced(i, entries[donors[entry_kind(names[i])]][1]))))

    # The size in front of the zlib stream lies: too small (the stream expands
    # past it), too large, and the largest a block can state.
    for stated, tag in ((lambda n: n // 2, "half"), (lambda n: n * 2 + 1000, "double"),
                        (lambda n: 0xFFFFFFFF, "4 GiB")):
        def lie(i, stated=stated, tag=tag):
            block = entries[i][1]
            if len(block) < 4:
                return None
            n = struct.unpack_from("<I", block, 0)[0]
            return ("%s says %s" % (names[i].decode(), tag),
                    build_pack(replaced(i, struct.pack("<I", stated(n) & 0xFFFFFFFF) + block[4:])))
        per_entry("size prefix lies", lie)

    # Two entries of one name: a damaged copy in front of the good one (the
    # lookup finds the first), or the good one twice.
    per_entry("duplicate name", lambda i: (
        "garbage %s before the real one" % names[i].decode(),
        build_pack(entries[:i] + [(names[i], b"\x00\x01garbage" * 7)] + entries[i:])))
    if not reduced:
        per_entry("duplicate name", lambda i: (
            "%s twice" % names[i].decode(), build_pack(entries[:i + 1] + entries[i:])))

    # Tables that disagree with the data behind them (checksum recomputed).
    sizes = [len(data) for _, data in entries]
    for i in pick(range(0, len(entries) - 1, 3), [0, 1, 13], reduced):
        for shift in (1, 4096):
            if shift >= sizes[i + 1]:
                continue
            moved = list(sizes)
            moved[i] += shift
            moved[i + 1] -= shift
            out.append(Variant("overlapping sizes", "%s +%d, %s -%d" % (
                names[i].decode(), shift, names[i + 1].decode(), shift),
                build_pack(entries, table_of(entries, sizes=moved))))
    for i in pick(list(range(0, len(entries), 6)) + [len(entries) - 1], [0, 1, -1], reduced):
        for extra in (1, 1 << 20, 0xFFFFFFFF - sizes[i]):
            grown = list(sizes)
            grown[i] += extra
            out.append(Variant("past the end", "%s +%d" % (names[i].decode(), extra),
                               build_pack(entries, table_of(entries, sizes=grown))))

    # Entry counts that lie: the table's stated length, a table cut short or
    # carrying extra records, a table of zero records, and one whose length
    # is no multiple of 36.
    table = table_of(entries)
    for stated in (0, 36, len(table) - 36, len(table) - 1, len(table) + 1, len(table) + 3600, 0xFFFFFFFF):
        if reduced and stated not in (36, len(table) + 3600, 0xFFFFFFFF):
            continue
        out.append(Variant("count lies", "table says %d bytes" % stated,
                           build_pack(entries, crunched_table=crunch(table, stated))))
    for count in pick([0, 1, 4, len(entries) // 2, len(entries) - 1], [0, 2, -1], reduced):
        out.append(Variant("count lies", "table of %d records" % count,
                           build_pack(entries, table_of(entries[:count]))))
    extra = table + (b"extra".ljust(32, b"\0") + struct.pack("<I", 100)) * 3
    out.append(Variant("count lies", "3 records more than the data", build_pack(entries, extra)))
    out.append(Variant("count lies", "table of 36n+7 bytes", build_pack(entries, table + b"\x01" * 7)))
    # The L field at offset 6 lies.
    for stated in (0, 4, length - 1, length + 1, len(real), 0xFFFFFFFF):
        if reduced and stated not in (length + 1, 0xFFFFFFFF):
            continue
        image = bytearray(real)
        image[6:10] = struct.pack("<I", stated & 0xFFFFFFFF)
        out.append(Variant("count lies", "table length field %d" % stated, with_crc(bytes(image))))

    # Names that fill their 32-byte field with no terminating zero.
    def unterminated(i):
        full = list(names)
        full[i] = (names[i] + b"~" * 32)[:32]
        return names[i].decode() + " unterminated", build_pack(entries, table_of(entries, names=full))
    per_entry("unterminated name", unterminated)
    everything = [(n + b"\xff" * 32)[:32] for n in names]
    out.append(Variant("unterminated name", "every name", build_pack(entries, table_of(entries, names=everything))))
    return out


def settings_variants(reduced):
    good = settings_image()
    out = []
    positions = range(48)
    if reduced:
        positions = [0, 3, 13, 32, 35, 36, 39, 43, 47]
    for position in positions:
        for value in (0x00, 0x7F, 0x80, 0xFF):
            if reduced and (position * 4 + value) % 3:
                continue
            image = bytearray(good)
            image[position] = value
            out.append(Variant("settings byte", "byte %d = 0x%02X" % (position, value),
                               settings=bytes(image), may_refuse=False))
    for slot in range(8):
        for value in (math.nan, math.inf, -math.inf):
            if reduced and slot not in (0, 6):
                continue
            image = bytearray(good)
            image[4 * slot:4 * slot + 4] = struct.pack("<f", value)
            out.append(Variant("settings float", "float %d = %r" % (slot, value),
                               settings=bytes(image), may_refuse=False))
    # A signalling NaN and a negative zero, which compare unlike other values.
    for bits in (0x7F800001, 0xFFC00000, 0x80000000):
        if reduced and bits != 0x7F800001:
            continue
        image = bytearray(good)
        image[0:4] = struct.pack("<I", bits)
        out.append(Variant("settings float", "float 0 bits 0x%08X" % bits,
                           settings=bytes(image), may_refuse=False))
    for size in (range(101) if not reduced else (0, 1, 47, 49, 100)):
        image = (good * 3)[:size]
        out.append(Variant("settings size", "%d bytes" % size, settings=image, may_refuse=False))

    def folder_in_place(folder):
        os.mkdir(os.path.join(folder, SETTINGS))
    out.append(Variant("settings odd file", "a folder in its place", setup=folder_in_place,
                       may_refuse=False, save_fails=True))

    def unreadable(folder):
        path = os.path.join(folder, SETTINGS)
        with open(path, "wb") as f:
            f.write(settings_image(language=1))
        os.chmod(path, 0)
    out.append(Variant("settings odd file", "an unreadable file", setup=unreadable,
                       as_nobody=True, may_refuse=False, save_fails=True))

    def read_only(folder):
        os.chmod(folder, 0o555)
    out.append(Variant("settings odd file", "a read-only working folder", setup=read_only,
                       as_nobody=True, may_refuse=False, save_fails=True))
    return out


# --- running a start -----------------------------------------------------------
SANITIZER_MARKS = ("AddressSanitizer", "LeakSanitizer", "UndefinedBehaviorSanitizer",
                   "runtime error:", "MemorySanitizer")


class Runner:
    def __init__(self, bin_dir, real_pack, settle, limit, keep):
        self.exe = os.path.join(bin_dir, "vimra")
        self.real_pack = real_pack
        self.settle = settle
        self.limit = limit
        self.keep = keep
        self.nobody_auth = None
        self.nobody_copy = None
        self.lock = threading.Lock()  # starts run side by side on threads

    def _auth_for_nobody(self):
        """A copy of the display's authority file that another user can read."""
        with self.lock:
            return self._make_auth_for_nobody()

    def _make_auth_for_nobody(self):
        source = os.environ.get("XAUTHORITY")
        if self.nobody_auth is None and source and os.path.isfile(source):
            handle, self.nobody_auth = tempfile.mkstemp(prefix="vimra-hostile-auth-")
            os.close(handle)
            shutil.copyfile(source, self.nobody_auth)
            os.chmod(self.nobody_auth, 0o644)
        return self.nobody_auth

    def _exe_for_nobody(self):
        """The program and its engine copied where another user can reach
        them: the build folder may sit below one only its owner can enter."""
        with self.lock:
            return self._make_exe_for_nobody()

    def _make_exe_for_nobody(self):
        if self.nobody_copy is None:
            self.nobody_copy = tempfile.mkdtemp(prefix="vimra-hostile-program-")
            os.chmod(self.nobody_copy, 0o755)
            bin_dir = os.path.join(self.nobody_copy, "bin")
            os.mkdir(bin_dir)
            shutil.copy2(self.exe, bin_dir)
            lib_from = os.path.join(os.path.dirname(self.exe), "..", "lib")
            lib_to = os.path.join(self.nobody_copy, "lib")
            os.mkdir(lib_to)
            os.chmod(bin_dir, 0o755)
            os.chmod(lib_to, 0o755)
            for name in os.listdir(lib_from):
                if name.startswith("libkxEngine.so"):
                    shutil.copy2(os.path.join(lib_from, name), lib_to, follow_symlinks=False)
        return os.path.join(self.nobody_copy, "bin", os.path.basename(self.exe))

    def close(self):
        if self.nobody_auth is not None:
            os.remove(self.nobody_auth)
        if self.nobody_copy is not None:
            shutil.rmtree(self.nobody_copy, ignore_errors=True)

    def run(self, variant):
        result = self._run_once(variant, self.settle)
        if result[0] == "signal" and result[1].endswith(" %d" % signal.SIGTERM):
            # The start was still going when it was asked to quit, and ended
            # between the engine's shutdown (which gives SIGTERM back its
            # default action) and its exit: a slow machine, not a finding yet.
            # Once more with time enough to end on its own.
            result = self._run_once(variant, self.settle * 4)
        return result

    def _run_once(self, variant, settle):
        folder = tempfile.mkdtemp(prefix="vimra-hostile-")
        try:
            return self._run_in(variant, folder, settle)
        finally:
            os.chmod(folder, 0o755)
            shutil.rmtree(folder, ignore_errors=True)

    def _run_in(self, variant, folder, settle):
        os.chmod(folder, 0o777 if variant.as_nobody else 0o755)
        with open(os.path.join(folder, PACK), "wb") as f:
            f.write(self.real_pack if variant.pack is None else variant.pack)
        if variant.settings is not None:
            with open(os.path.join(folder, SETTINGS), "wb") as f:
                f.write(variant.settings)
        if variant.setup is not None:
            variant.setup(folder)
        env = dict(os.environ)
        env["SDL_AUDIODRIVER"] = "dummy"
        # What the system's GL and X libraries keep until exit is no finding here.
        env["ASAN_OPTIONS"] = "detect_leaks=0:abort_on_error=0"
        env["UBSAN_OPTIONS"] = "print_stacktrace=1:halt_on_error=1"
        command = [self.exe]
        if variant.as_nobody and os.geteuid() == 0:
            # Root reads and writes anything; the folder's modes only hold for others.
            command = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                       self._exe_for_nobody()]
            if self._auth_for_nobody() is not None:
                env["XAUTHORITY"] = self.nobody_auth
        stderr_path = os.path.join(tempfile.gettempdir(), os.path.basename(folder) + ".err")
        with open(stderr_path, "wb") as err:
            process = subprocess.Popen(command, cwd=folder, env=env, stdin=subprocess.DEVNULL,
                                       stdout=subprocess.PIPE, stderr=err)
            status, asked = self._wait(process, settle)
            stdout = process.stdout.read()
            process.stdout.close()
        with open(stderr_path, "rb") as f:
            stderr = f.read().decode("utf-8", "replace")
        os.remove(stderr_path)
        outcome, why = self._judge(variant, folder, status, asked, stdout, stderr)
        if outcome not in PASSING and self.keep:
            kept = os.path.join(self.keep, "%s-%s" % (variant.kind, variant.label)).replace(" ", "_")
            shutil.rmtree(kept, ignore_errors=True)
            os.chmod(folder, 0o755)
            shutil.copytree(folder, kept, dirs_exist_ok=True)
            with open(os.path.join(kept, "stderr.txt"), "w") as f:
                f.write(stderr)
        return outcome, why, stderr

    def _wait(self, process, settle):
        """Exit status (None for a hang); whether we asked it to quit."""
        end = time.monotonic() + settle
        while time.monotonic() < end:
            if process.poll() is not None:
                return process.returncode, False
            time.sleep(0.1)
        # Up and running: SIGTERM is the window system's request to quit.
        # Repeated, because a request during the start-up logo may be lost.
        end = time.monotonic() + self.limit
        while time.monotonic() < end:
            if process.poll() is not None:
                return process.returncode, True
            try:
                process.send_signal(signal.SIGTERM)
            except ProcessLookupError:
                pass
            for _ in range(20):
                if process.poll() is not None:
                    return process.returncode, True
                time.sleep(0.1)
        process.kill()
        process.wait()
        return None, True

    def _judge(self, variant, folder, status, asked, stdout, stderr):
        lines = [line for line in stderr.splitlines() if line.strip()]
        if any(mark in stderr for mark in SANITIZER_MARKS):
            return "sanitizer", next(l for l in lines if any(m in l for m in SANITIZER_MARKS))
        if status is None:
            return "hang", "still running %d s after the first SIGTERM" % self.limit
        if status < 0:
            return "signal", "killed by signal %d" % -status
        # A start prints one line on stdout saying how the picture is
        # multisampled; nothing else belongs there.
        stdout = b"\n".join(line for line in stdout.splitlines()
                             if not (line.startswith(b"vimra: ") and b"multisampling" in line))
        if stdout:
            return "bad output", "printed to stdout: %r" % stdout[:80]
        settings_path = os.path.join(folder, SETTINGS)
        if status != 0:
            if not variant.may_refuse:
                return "bad status", "status %d: %s" % (status, " | ".join(lines))
            if len(lines) != 1 or not lines[0].startswith("vimra: "):
                return "bad message", "status %d, stderr: %s" % (status, " | ".join(lines) or "empty")
            if variant.settings is None and os.path.exists(settings_path):
                return "bad message", "a refused start wrote %s" % SETTINGS
            return "refused", lines[0]
        if variant.save_fails:
            if len(lines) != 1 or not lines[0].startswith("vimra: "):
                return "bad message", "a failed save should say so in one line; stderr: %s" % (
                    " | ".join(lines) or "empty")
            return "ran", lines[0]
        if lines:
            return "bad message", "a clean run printed: %s" % " | ".join(lines)
        if not os.path.isfile(settings_path):
            return "bad settings", "no %s after a clean exit" % SETTINGS
        with open(settings_path, "rb") as f:
            problem = settings_problem(f.read())
        if problem is not None:
            return "bad settings", problem
        return "ran", "exit 0" + ("" if asked else " on its own")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("bin_dir")
    parser.add_argument("--set", choices=("reduced", "sample", "full"), default="reduced")
    parser.add_argument("--kinds", default="")
    parser.add_argument("--skip-kinds", default="")
    parser.add_argument("--jobs", type=int, default=1)
    parser.add_argument("--settle", type=float, default=8.0)
    parser.add_argument("--limit", type=float, default=60.0)
    parser.add_argument("--keep", default="")
    parser.add_argument("--per-kind", type=int, default=2)
    parser.add_argument("--list", action="store_true")
    args = parser.parse_args()

    bin_dir = os.path.abspath(args.bin_dir)
    for needed in ([PACK] if args.list else [PACK, "vimra"]):
        if not os.path.isfile(os.path.join(bin_dir, needed)):
            print("hostile.py: no %s in %s (build first, or name the folder that holds it)"
                  % (needed, bin_dir), file=sys.stderr)
            return 2

    if not args.list and os.environ.get("VIMRA_HOSTILE_INNER") != "1":
        # An own display, so that parallel tests cannot disturb it.
        os.environ["VIMRA_HOSTILE_INNER"] = "1"
        os.execvp("xvfb-run", ["xvfb-run", "-a", "-n", "220", "-s", "-screen 0 1280x720x24 -noreset",
                               sys.executable] + sys.argv)

    with open(os.path.join(bin_dir, PACK), "rb") as f:
        real = f.read()
    reduced = args.set == "reduced"
    variants = pack_variants(real, reduced) + settings_variants(reduced)
    if args.set != "full":
        variants = thin(variants, args.per_kind, middles=args.set == "sample")
    if args.kinds:
        wanted = set(k.strip() for k in args.kinds.split(","))
        variants = [v for v in variants if v.kind in wanted]
    if args.skip_kinds:
        unwanted = set(k.strip() for k in args.skip_kinds.split(","))
        variants = [v for v in variants if v.kind not in unwanted]
    if args.list:
        for v in variants:
            print("%-20s %s" % (v.kind, v.label))
        print("%d variants" % len(variants))
        return 0
    if args.keep:
        os.makedirs(args.keep, exist_ok=True)

    runner = Runner(bin_dir, real, args.settle, args.limit, args.keep)
    counts = {}
    failures = []
    started = time.monotonic()
    print("hostile: %d starts (%s set)" % (len(variants), args.set), flush=True)
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        futures = {pool.submit(runner.run, v): v for v in variants}
        for done in concurrent.futures.as_completed(futures):
            v = futures[done]
            outcome, why, _ = done.result()
            counts.setdefault(v.kind, {}).setdefault(outcome, 0)
            counts[v.kind][outcome] += 1
            print("hostile: %-10s %-18s %s: %s" % (outcome, v.kind, v.label, why), flush=True)
            if outcome not in PASSING:
                failures.append((v, outcome, why))

    runner.close()
    outcomes = sorted({o for per in counts.values() for o in per},
                      key=lambda o: (o not in PASSING, o))
    print("\n%-20s" % "kind" + "".join("%12s" % o for o in outcomes) + "%8s" % "total")
    for kind in sorted(counts):
        row = counts[kind]
        print("%-20s" % kind + "".join("%12d" % row.get(o, 0) for o in outcomes)
              + "%8d" % sum(row.values()))
    print("%-20s" % "all" + "".join("%12d" % sum(c.get(o, 0) for c in counts.values()) for o in outcomes)
          + "%8d" % len(variants))
    print("hostile: %d starts in %.0f s, %d failing" % (len(variants), time.monotonic() - started, len(failures)))
    for v, outcome, why in failures:
        print("hostile: FAIL %s / %s: %s: %s" % (v.kind, v.label, outcome, why))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

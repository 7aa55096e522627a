#!/usr/bin/env python3
"""Fails when an executable imports a function that is not on the allow-list, or when a
delay-load slot does not point to a load thunk in the program's own code.

    tools/check-imports.py tools/xp-imports.txt build/win64/VellumBox.exe build/win32/VellumBox.exe

Reads the import table and the delay-load import table of each PE file itself (objdump
shows only the first) and cross-checks the first against objdump -p, so that a fault in
this reader cannot pass an executable unseen. The list holds one dll!function a line,
each a function that Windows XP SP3 has; anything newer is reached through
GetProcAddress at run time.
"""
import re
import struct
import subprocess
import sys


def load_allowed(path):
    allowed = set()
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            dll, sep, name = line.partition("!")
            if not sep or not name or " " in line:
                raise SystemExit(f"imports: bad line in {path}: {line!r}")
            allowed.add(f"{dll.lower()}!{name}")
    return allowed


class Pe:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        d = self.data
        if d[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        if d[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE header")
        self.machine, nsections = struct.unpack_from("<HH", d, pe + 4)
        opt_size = struct.unpack_from("<H", d, pe + 20)[0]
        opt = pe + 24
        magic = struct.unpack_from("<H", d, opt)[0]
        if magic == 0x10B:
            self.wide = False
            self.image_base = struct.unpack_from("<I", d, opt + 28)[0]
            dirs = opt + 96
        elif magic == 0x20B:
            self.wide = True
            self.image_base = struct.unpack_from("<Q", d, opt + 24)[0]
            dirs = opt + 112
        else:
            raise ValueError(f"unknown optional header {magic:#x}")
        self.dirs = [struct.unpack_from("<II", d, dirs + 8 * i) for i in range(16)]
        self.sections = []
        for i in range(nsections):
            s = opt + opt_size + 40 * i
            vsize, va, rawsize, raw = struct.unpack_from("<IIII", d, s + 8)
            flags = struct.unpack_from("<I", d, s + 36)[0]
            self.sections.append((va, max(vsize, rawsize), raw, flags))

    def offset(self, rva):
        for va, size, raw, _ in self.sections:
            if va <= rva < va + size:
                return raw + rva - va
        raise ValueError(f"RVA {rva:#x} in no section")

    def u32(self, rva):
        return struct.unpack_from("<I", self.data, self.offset(rva))[0]

    def cstr(self, rva):
        o = self.offset(rva)
        return self.data[o:self.data.index(b"\0", o)].decode("ascii")

    def in_code(self, address):
        rva = address - self.image_base
        return any(va <= rva < va + size and flags & 0x20000000  # IMAGE_SCN_MEM_EXECUTE
                   for va, size, _, flags in self.sections)

    def thunks(self, rva):
        """Names (or #ordinals) of a null-terminated thunk array."""
        size, fmt, flag = (8, "<Q", 1 << 63) if self.wide else (4, "<I", 1 << 31)
        names = []
        while True:
            v = struct.unpack_from(fmt, self.data, self.offset(rva))[0]
            if v == 0:
                return names
            names.append(f"#{v & 0xFFFF}" if v & flag else self.cstr((v & 0x7FFFFFFF) + 2))
            rva += size

    def imports(self):
        rva, size = self.dirs[1]
        found = []
        while size:
            lookup, _, _, name, first = struct.unpack_from("<IIIII", self.data, self.offset(rva))
            if name == 0:
                return found
            dll = self.cstr(name).lower()
            found += [f"{dll}!{n}" for n in self.thunks(lookup or first)]
            rva += 20
        return found

    def delay_imports(self):
        """Delay-load descriptors: those of the data directory, and those that GNU ld
        leaves out of it (it links dlltool's descriptors into .text without setting the
        directory), found by their shape wherever they lie."""
        found = {}
        self.bad_slots = []
        rva, size = self.dirs[13]
        while size:
            desc = self.delay_descriptor(rva)
            if desc is None:
                break
            found[rva] = desc
            rva += 32
        for va, vsize, _, _ in self.sections:
            for rva in range(va, va + vsize - 32, 4):
                if rva not in found:
                    desc = self.delay_descriptor(rva, strict=True)
                    if desc:
                        found[rva] = desc
        return [f"{dll}!{n}" for dll, names in found.values() for n in names]

    def delay_descriptor(self, rva, strict=False):
        """(dll, names) of the descriptor at rva, or None where there is none."""
        try:
            attrs, name, hmod, iat, names, bound, unload, stamp = struct.unpack_from(
                "<8I", self.data, self.offset(rva))
            if name == 0:
                return None
            # Old-style descriptors hold addresses, not RVAs.
            fix = 0 if attrs & 1 else self.image_base
            if strict and (attrs != 1 or bound or unload or stamp or not hmod or not iat):
                return None
            dll = self.cstr(name - fix).lower()
            if strict and not re.fullmatch(r"[a-z0-9_.\-]+\.dll", dll):
                return None
            listed = self.thunks(names - fix)
            if strict and (not listed or not all(re.fullmatch(r"#\d+|[A-Za-z_][A-Za-z0-9_@]*", n)
                                                 for n in listed)):
                return None
            size, fmt = (8, "<Q") if self.wide else (4, "<I")
            for i, n in enumerate(listed):
                slot = struct.unpack_from(fmt, self.data, self.offset(iat - fix + size * i))[0]
                if not self.in_code(slot):
                    self.bad_slots.append(f"{dll}!{n} (slot holds {slot:#x})")
            return dll, listed
        except (ValueError, UnicodeDecodeError, struct.error):
            if strict:
                return None
            raise


def objdump_imports(path, machine):
    tool = "x86_64-w64-mingw32-objdump" if machine == 0x8664 else "i686-w64-mingw32-objdump"
    out = subprocess.run([tool, "-p", path], check=True, capture_output=True, text=True).stdout
    found, dll = [], None
    for line in out.splitlines():
        m = re.match(r"\s*DLL Name: (\S+)", line)
        if m:
            dll = m.group(1).lower()
            continue
        m = re.match(r"\t[0-9a-f]+\t +(\d+)  (\S+)", line)
        if m and dll:
            found.append(f"{dll}!{m.group(2)}")
    return found


def main():
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    allowed = load_allowed(sys.argv[1])
    failed = False
    for path in sys.argv[2:]:
        try:
            pe = Pe(path)
            plain, delayed = pe.imports(), pe.delay_imports()
            seen = objdump_imports(path, pe.machine)
        except (OSError, ValueError, subprocess.CalledProcessError) as e:
            print(f"imports: FAIL {path}: cannot read its imports ({e})")
            failed = True
            continue
        if sorted(plain) != sorted(seen):
            print(f"imports: FAIL {path}: this reader and objdump disagree: "
                  f"{sorted(set(plain) ^ set(seen))}")
            failed = True
        bad = sorted(set(plain + delayed) - allowed)
        dlls = sorted({i.split("!")[0] for i in plain})
        late = sorted({i.split("!")[0] for i in delayed})
        print(f"imports: {path}: {len(plain)} imports from {' '.join(dlls)}; "
              f"{len(delayed)} delay-loaded from {' '.join(late) or 'none'}")
        for name in bad:
            print(f"imports: FAIL {path} imports {name}, which is not on {sys.argv[1]}")
        for slot in pe.bad_slots:
            print(f"imports: FAIL {path}: the delay-load slot of {slot} is not a thunk "
                  "in the program: its first call would jump there")
        failed |= bool(bad) or bool(pe.bad_slots)
    print("imports: " + ("FAILED" if failed else f"every import is on {sys.argv[1]}"))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Reads the built program as Windows and Explorer will: its headers, the DLLs it imports, its
manifest, version resource and icon, and the debug link left by stripping.

Usage: check_program.py PROGRAM.exe VERSION ICON.ico
"""
import struct
import sys
import unittest
import xml.etree.ElementTree as ET
import zlib
from pathlib import Path

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24

# DLLs every Windows from 7 on carries in its system directory.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll", "advapi32.dll",
    "shell32.dll", "shlwapi.dll", "ole32.dll", "oleaut32.dll", "winmm.dll", "msimg32.dll",
    "msvcrt.dll", "version.dll", "uxtheme.dll",
}

SUPPORTED_OS = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # Windows 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # Windows 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # Windows 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # Windows 10 and 11
}


class PeImage:
    """The parts of a PE32 file this check needs; every read is bounds-checked by struct."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, sections, _, symbols, symbol_count, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        # Names longer than eight bytes (".eh_frame", ".gnu_debuglink") are "/offset" into the
        # string table that follows the symbol table; stripping keeps that table.
        self.strings = symbols + 18 * symbol_count
        optional = pe + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        self.directories = [struct.unpack_from("<II", data, optional + 96 + 8 * i)
                            for i in range(struct.unpack_from("<I", data, optional + 92)[0])]
        self.sections = []
        for i in range(sections):
            at = optional + optional_size + 40 * i
            name = data[at:at + 8].rstrip(b"\0").decode("latin-1")
            if name.startswith("/"):
                name = self.text_at(self.strings + int(name[1:]))
            vsize, rva, raw_size, raw = struct.unpack_from("<IIII", data, at + 8)
            self.sections.append((name, rva, max(vsize, raw_size), raw, raw_size))

    def offset(self, rva):
        for _, start, size, raw, _ in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError(f"address {rva:#x} lies in no section")

    def text_at(self, at):
        return self.data[at:self.data.index(b"\0", at)].decode("latin-1")

    def c_string(self, rva):
        return self.text_at(self.offset(rva))

    def section(self, name):
        for section_name, _, _, raw, raw_size in self.sections:
            if section_name == name:
                return self.data[raw:raw + raw_size]
        return None

    def imported_dlls(self):
        rva, _ = self.directories[1]
        at, names = self.offset(rva), []
        while True:
            lookup, _, _, name, thunks = struct.unpack_from("<IIIII", self.data, at)
            if lookup == 0 and name == 0 and thunks == 0:
                return names
            names.append(self.c_string(name).lower())
            at += 20

    def resources(self, kind):
        """[(name or id, data)] of one resource type, in the directory's order (Explorer's)."""
        base = self.offset(self.directories[2][0])

        def entries(directory):
            named, ids = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + ids):
                key, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                if key & 0x80000000:
                    at = base + (key & 0x7FFFFFFF)
                    length = struct.unpack_from("<H", self.data, at)[0]
                    key = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
                yield key, target

        def first_leaf(target):
            while target & 0x80000000:
                target = next(entries(target & 0x7FFFFFFF))[1]
            rva, size = struct.unpack_from("<II", self.data, base + target)
            return self.data[self.offset(rva):self.offset(rva) + size]

        for key, target in entries(0):
            if key == kind:
                return [(name, first_leaf(sub)) for name, sub in entries(target & 0x7FFFFFFF)]
        return []


def version_strings(block):
    """The StringFileInfo values and the fixed file version of a VS_VERSIONINFO block."""

    def children(data, start, end):
        while start + 6 <= end:
            length, value_length, is_text = struct.unpack_from("<HHH", data, start)
            if length == 0:
                return
            key_end = start + 6
            while data[key_end:key_end + 2] != b"\0\0":
                key_end += 2
            key = data[start + 6:key_end].decode("utf-16-le")
            value = (key_end + 2 + 3) & ~3
            yield key, value, value_length, is_text, start + length
            start = (start + length + 3) & ~3

    (_, value, _, _, end), = children(block, 0, len(block))
    signature, _, ms, ls = struct.unpack_from("<IIII", block, value)
    assert signature == 0xFEEF04BD, "no fixed file information"
    fixed = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    strings = {}
    for key, at, _, _, child_end in children(block, (value + 52 + 3) & ~3, end):
        if key != "StringFileInfo":
            continue
        for _, table, _, _, table_end in children(block, at, child_end):
            for name, text, length, _, _ in children(block, table, table_end):
                strings[name] = block[text:text + 2 * length].decode("utf-16-le").rstrip("\0")
    return fixed, strings


def icon_images(ico):
    """The images of an .ico file, in its directory's order."""
    count = struct.unpack_from("<H", ico, 4)[0]
    images = []
    for i in range(count):
        size, offset = struct.unpack_from("<II", ico, 6 + 16 * i + 8)
        images.append(ico[offset:offset + size])
    return images


class ProgramTest(unittest.TestCase):
    program: Path
    version: str
    icon: Path

    @classmethod
    def setUpClass(cls):
        cls.image = PeImage(cls.program.read_bytes())
        parts = cls.version.split(".")
        cls.version_4 = ".".join(parts + ["0"] * (4 - len(parts)))

    def test_is_a_32_bit_windows_gui_program(self):
        self.assertEqual(self.image.machine, 0x14C, "i386")
        self.assertEqual(self.image.magic, 0x10B, "PE32")
        self.assertEqual(self.image.subsystem, 2, "GUI subsystem")
        self.assertTrue(self.image.characteristics & 0x0002, "executable image")
        self.assertFalse(self.image.characteristics & 0x2000, "not a DLL")

    def test_imports_only_system_dlls(self):
        dlls = self.image.imported_dlls()
        self.assertIn("comctl32.dll", dlls)
        self.assertEqual(sorted(set(dlls) - SYSTEM_DLLS), [], "DLLs a user would lack")

    def test_loads_at_start_only_the_dlls_showing_the_window_needs(self):
        dlls = self.image.imported_dlls()
        for later in ("shell32.dll", "oleaut32.dll", "winmm.dll", "msimg32.dll"):
            self.assertNotIn(later, dlls, "loaded at its first call, not at start-up")

    def test_is_stripped_with_a_link_to_its_debug_information(self):
        names = [name for name, *_ in self.image.sections]
        self.assertIn(".text", names)
        self.assertEqual([n for n in names if n.startswith(".debug")], [])
        link = self.image.section(".gnu_debuglink")
        self.assertIsNotNone(link, "no debug link")
        name = link[:link.index(b"\0")].decode()
        crc = struct.unpack_from("<I", link, (len(name) + 4) & ~3)[0]
        debug = self.program.parent / name
        self.assertTrue(debug.is_file(), f"{debug} is missing")
        self.assertEqual(zlib.crc32(debug.read_bytes()), crc, "debug file from another build")

    def test_manifest_asks_for_common_controls_6_as_invoker(self):
        manifests = self.image.resources(RT_MANIFEST)
        self.assertEqual(len(manifests), 1, "one manifest")
        (key, xml), = manifests
        self.assertEqual(key, 1, "the process manifest's id")
        ns = {"v1": "urn:schemas-microsoft-com:asm.v1", "v3": "urn:schemas-microsoft-com:asm.v3",
              "c": "urn:schemas-microsoft-com:compatibility.v1",
              "ws": "http://schemas.microsoft.com/SMI/2005/WindowsSettings",
              "ws16": "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}
        root = ET.fromstring(xml)
        dependencies = [a.attrib for a in root.findall(
            "v1:dependency/v1:dependentAssembly/v1:assemblyIdentity", ns)]
        self.assertIn({"type": "win32", "name": "Microsoft.Windows.Common-Controls",
                       "version": "6.0.0.0", "processorArchitecture": "x86",
                       "publicKeyToken": "6595b64144ccf1df", "language": "*"}, dependencies)
        levels = root.findall(
            "v3:trustInfo/v3:security/v3:requestedPrivileges/v3:requestedExecutionLevel", ns)
        self.assertEqual([(e.get("level"), e.get("uiAccess")) for e in levels],
                         [("asInvoker", "false")])
        os_ids = {e.get("Id") for e in root.findall("c:compatibility/c:application/c:supportedOS", ns)}
        self.assertEqual(os_ids, SUPPORTED_OS)
        settings = "v3:application/v3:windowsSettings/"
        dpi = root.findall(settings + "ws:dpiAware", ns)
        self.assertEqual([e.text for e in dpi], ["true/pm"], "aware of each monitor's DPI before Windows 10")
        awareness = root.findall(settings + "ws16:dpiAwareness", ns)
        self.assertEqual([e.text for e in awareness], ["PerMonitorV2, PerMonitor"],
                         "per-monitor v2 from Windows 10 1703 on")
        self.assertEqual(root.find("v1:assemblyIdentity", ns).get("version"), self.version_4)

    def test_version_resource_names_the_product_and_this_version(self):
        versions = self.image.resources(RT_VERSION)
        self.assertEqual(len(versions), 1, "one version resource")
        (_, block), = versions
        fixed, strings = version_strings(block)
        self.assertEqual(".".join(map(str, fixed)), self.version_4)
        self.assertEqual(strings.get("ProductName"), "Tallyleaf")
        self.assertEqual(strings.get("FileVersion"), self.version)
        self.assertEqual(strings.get("ProductVersion"), self.version)
        self.assertEqual(strings.get("FileDescription"), "Tallyleaf 记事与提醒")
        self.assertEqual(strings.get("OriginalFilename"), "tallyleaf.exe")
        self.assertRegex(strings.get("LegalCopyright", ""), r"^Copyright © \d{4} ")

    def test_about_box_names_the_same_version(self):
        self.assertIn(f"版本 {self.version}\r\n".encode("gbk"), self.image.data)

    def test_first_icon_is_the_leaf(self):
        groups = self.image.resources(RT_GROUP_ICON)
        self.assertTrue(groups, "no icon")
        _, group = groups[0]
        count = struct.unpack_from("<H", group, 4)[0]
        ids = [struct.unpack_from("<H", group, 6 + 14 * i + 12)[0] for i in range(count)]
        icons = dict(self.image.resources(RT_ICON))
        self.assertEqual([icons.get(i) for i in ids], icon_images(self.icon.read_bytes()))


if __name__ == "__main__":
    ProgramTest.program, ProgramTest.version, ProgramTest.icon = (
        Path(sys.argv[1]), sys.argv[2], Path(sys.argv[3]))
    unittest.main(argv=sys.argv[:1], verbosity=2)

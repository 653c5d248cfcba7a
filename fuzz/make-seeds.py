#!/usr/bin/env python3
"""Writes the seed corpora of the XML and binary property-list fuzzers.

Every seed is made here from scratch: ordinary lists through Python's plistlib, and the
shapes readers get wrong (deep nesting, shared and cyclic references, huge counts, offsets
outside the file, odd integer and count widths) assembled byte by byte.

    python3 fuzz/make-seeds.py <folder>     # writes <folder>/xmlplist and <folder>/binaryplist
"""

import datetime
import os
import plistlib
import struct
import sys

SAMPLE_INFO = {
    "CFBundleIdentifier": "com.example.QuillNotes",
    "CFBundleDisplayName": "Quill Notes",
    "CFBundleName": "Café Crème 🎉",
    "CFBundleLocalizations": ["de", "en", "pt-BR", "zh-Hans"],
    "CFBundleDevelopmentRegion": "en",
    "CFBundleIcons": {"CFBundlePrimaryIcon": {"CFBundleIconFiles": ["AppIcon60x60", "AppIcon76x76"]}},
    "CFBundleIconFile": "Icon.png",
    "UIRequiredDeviceCapabilities": ["arm64"],
    "Path": "/tmp/Runtimes/iOS 18.1.simruntime/Applications/Maps.app",
    "LSRequiresIPhoneOS": True,
    "MinimumOSVersion": 17.5,
    "BuildNumber": 42,
    "Negative": -7,
    "Large": 2**63 + 5,
    "Built": datetime.datetime(2024, 3, 1, 12, 30, 15),
    "Signature": b"\x00\x01\xfe\xff" * 8,
    "Empty": {},
    "Nothing": [],
    "": "",
}

TYPES = {
    "true": True, "false": False, "zero": 0, "one-byte": 200, "two-bytes": 60000,
    "four-bytes": 2**31, "eight-bytes": -(2**40), "real": 3.25, "tiny": 1e-300,
    "huge": 1e300, "date-early": datetime.datetime(1901, 12, 14), "date-late":
    datetime.datetime(2038, 1, 19, 3, 14, 8), "data": b"", "ascii": "plain",
    "utf16": "天气 — \u2028", "astral": "\U0001F680", "nested": [[[{"a": [1, {"b": "c"}]}]]],
}


def app_report(count):
    return {f"com.example.App{i}": dict(SAMPLE_INFO, CFBundleName=f"App {i}") for i in range(count)}


# --- XML ------------------------------------------------------------------------------------

def xml_seeds():
    seeds = {
        "info.xml": plistlib.dumps(SAMPLE_INFO, fmt=plistlib.FMT_XML),
        "types.xml": plistlib.dumps(TYPES, fmt=plistlib.FMT_XML),
        "report.xml": plistlib.dumps(app_report(3), fmt=plistlib.FMT_XML),
        "array-root.xml": plistlib.dumps(["a", 1, 2.5, True], fmt=plistlib.FMT_XML),
        "string-root.xml": plistlib.dumps("only a string", fmt=plistlib.FMT_XML),
    }
    head = b'<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0">\n'
    tail = b"\n</plist>\n"
    seeds["deep-arrays.xml"] = head + b"<array>" * 520 + b"</array>" * 520 + tail
    seeds["deep-dicts.xml"] = head + b"<dict><key>k</key>" * 300 + b"<true/>" + b"</dict>" * 300 + tail
    seeds["empty-elements.xml"] = head + b"<dict><key>a</key><array/><key>d</key><dict/>" \
        b"<key>s</key><string/><key>data</key><data/></dict>" + tail
    seeds["markup.xml"] = (
        b'<?xml version="1.0" encoding="UTF-8"?>\n'
        b'<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" '
        b'"http://www.apple.com/DTDs/PropertyList-1.0.dtd" [ <!ENTITY e "<array>"> ]>\n'
        b'<plist version="1.0"><!-- <array> <dict> -->\n'
        b"<dict><key>cdata</key><string><![CDATA[</dict><array>]]></string>"
        b"<key>entities</key><string>&lt;&amp;&gt;&quot;&apos;&#x1F680;&#65;</string>"
        b"<key>pi</key><?pi <dict> ?><integer>-0x10</integer>"
        b"<key>data</key><data>\n  AAEC\n  AwQ=\n</data>"
        b"<key>date</key><date>2001-01-01T00:00:00Z</date>"
        b"<key>real</key><real>nan</real><key>inf</key><real>-inf</real>"
        b"<key>big</key><integer>18446744073709551615</integer>"
        b"<key>neg</key><integer>-9223372036854775808</integer>"
        b"</dict></plist>\n"
    )
    seeds["attributes.xml"] = head + b"<array ><dict  ></dict><array\t/><string a='>'>x</string></array>" + tail
    seeds["unclosed.xml"] = head + b"<dict><key>a</key><array><string>x</string>"
    seeds["mismatched.xml"] = head + b"<dict><key>a</key></array></dict>" + tail
    seeds["no-declaration.xml"] = b"<plist><dict><key>k</key><string>v</string></dict></plist>"
    seeds["utf8-bom.xml"] = b"\xef\xbb\xbf" + plistlib.dumps({"k": "v"}, fmt=plistlib.FMT_XML)
    # Keys the way libplist reads them: entities by prefix and through strtoull, CDATA and
    # comments inside a key, a <key> standing as a value, a key without a value, a nested <plist>,
    # an empty root that takes what follows, and text after the root.
    seeds["tricky-keys.xml"] = head + (
        b"<dict><key>a&amp;b&ltx;&#x 41;&#+66;&#x0x43;</key><string>v&amp;</string>"
        b"<key><![CDATA[c<d]]>e<!-- f --></key><key>value</key>"
        b"<key>nested</key><plist><dict><key>in</key><integer>1</integer></dict></plist>"
        b"<key>last</key></dict>") + tail + b"<junk>"
    seeds["empty-root.xml"] = head + b"<dict/><key>after</key><true/>" + tail
    seeds["strings-dictionary.xml"] = plistlib.dumps(
        {f"plural.{i}": {"NSStringLocalizedFormatKey": "%#@n@",
                         "n": {"NSStringFormatSpecTypeKey": "NSStringPluralRuleType",
                               "one": "%d item", "other": "%d items"}} for i in range(3)},
        fmt=plistlib.FMT_XML)
    return seeds


# --- binary ---------------------------------------------------------------------------------

def count_marker(kind, count):
    if count < 15:
        return bytes([kind << 4 | count])
    return bytes([kind << 4 | 0xF]) + int_object(count)


def int_object(value, width=None):
    if width is None:
        width = 1 if 0 <= value < 2**8 else 2 if 0 <= value < 2**16 else 4 if 0 <= value < 2**32 else 8
    power = {1: 0, 2: 1, 4: 2, 8: 3, 16: 4}[width]
    return bytes([0x10 | power]) + (value % 2**(8 * width)).to_bytes(width, "big")


def ascii_object(text):
    return count_marker(0x5, len(text)) + text


def utf16_object(text):
    encoded = text.encode("utf-16-be")
    return count_marker(0x6, len(encoded) // 2) + encoded


def container(kind, refs, ref_size):
    return count_marker(kind, len(refs) // (2 if kind == 0xD else 1)) + b"".join(
        r.to_bytes(ref_size, "big") for r in refs)


def assemble(objects, root=0, ref_size=1, offset_size=None, object_count=None,
             table_offset=None, offsets=None):
    """Objects are byte strings, already holding references of `ref_size` bytes."""
    body = b"bplist00"
    positions = []
    for obj in objects:
        positions.append(len(body))
        body += obj
    if offsets is not None:
        positions = offsets
    if offset_size is None:
        largest = max([len(body)] + positions)
        offset_size = 1 if largest < 2**8 else 2 if largest < 2**16 else 4
    table = len(body)
    for p in positions:
        body += p.to_bytes(offset_size, "big")
    trailer = bytes(6) + bytes([offset_size, ref_size]) + struct.pack(
        ">QQQ", len(objects) if object_count is None else object_count, root,
        table if table_offset is None else table_offset)
    return body + trailer


def nested_arrays(depth):
    # Object i is an array holding object i + 1; the last one is empty.
    objects = [container(0xA, [i + 1], 2) for i in range(depth - 1)] + [container(0xA, [], 2)]
    return assemble(objects, ref_size=2)


def binary_seeds():
    seeds = {
        "info.bplist": plistlib.dumps(SAMPLE_INFO, fmt=plistlib.FMT_BINARY),
        "types.bplist": plistlib.dumps(TYPES, fmt=plistlib.FMT_BINARY),
        "report.bplist": plistlib.dumps(app_report(3), fmt=plistlib.FMT_BINARY),
        "array-root.bplist": plistlib.dumps(["a", 1, 2.5, True, b"x"], fmt=plistlib.FMT_BINARY),
        "uid.bplist": plistlib.dumps({"$top": plistlib.UID(3), "big": plistlib.UID(2**40)},
                                     fmt=plistlib.FMT_BINARY),
        "deep-within.bplist": nested_arrays(500),
        "deep-beyond.bplist": nested_arrays(600),
    }
    key, value = ascii_object(b"key"), ascii_object(b"value")
    # A dictionary whose two values are the same array: shared, not cyclic.
    seeds["shared.bplist"] = assemble([container(0xD, [1, 2, 3, 3], 1), key, ascii_object(b"k2"),
                                       container(0xA, [4, 4, 4], 1), value])
    # Diamonds stacked on each other: each level refers to the next one twice.
    levels = 40
    objects = [container(0xA, [i + 1, i + 1], 1) for i in range(levels)] + [value]
    seeds["diamonds.bplist"] = assemble(objects)
    seeds["self-cycle.bplist"] = assemble([container(0xA, [0], 1)])
    seeds["long-cycle.bplist"] = assemble([container(0xA, [1], 1), container(0xD, [2, 0], 1), key])
    seeds["set.bplist"] = assemble([container(0xC, [1, 2], 1), key, value])
    seeds["ordered-set.bplist"] = assemble([container(0xB, [1], 1), key])
    seeds["nul-key.bplist"] = assemble([container(0xD, [1, 2], 1), ascii_object(b"a\x00b"), value])
    seeds["utf16-key.bplist"] = assemble([container(0xD, [1, 2], 1), utf16_object("ключ🎉"), value])
    # Surrogates that do not pair up: a lead, a letter, then a trail; two leads; a lone trail.
    seeds["utf16-unpaired.bplist"] = assemble(
        [container(0xD, [1, 2, 3, 3], 1),
         bytes([0x64]) + bytes.fromhex("d8000041dc00dbff"),
         bytes([0x64]) + bytes.fromhex("dc01d801d802dc02"), value])
    seeds["empty-utf16.bplist"] = assemble([container(0xD, [1, 2], 1), key, bytes([0x60])])
    seeds["compiled-strings.bplist"] = plistlib.dumps(
        {f"screen.label{i}": f"Text number {i}" for i in range(20)}, fmt=plistlib.FMT_BINARY)
    seeds["number-key.bplist"] = assemble([container(0xD, [1, 2], 1), int_object(5), value])
    seeds["huge-count.bplist"] = assemble([bytes([0xAF, 0x13]) + (2**62).to_bytes(8, "big") + b"\x01", value])
    seeds["huge-string.bplist"] = assemble([bytes([0x5F, 0x12]) + (2**31).to_bytes(4, "big") + b"abc"])
    seeds["huge-data.bplist"] = assemble([bytes([0x4F, 0x13]) + (2**60).to_bytes(8, "big")])
    seeds["bad-ref.bplist"] = assemble([container(0xA, [7], 1), value])
    seeds["bad-offset.bplist"] = assemble([container(0xA, [1], 1), value], offsets=[8, 250])
    seeds["offset-in-table.bplist"] = assemble([container(0xA, [1], 1), value], offsets=[8, 12])
    seeds["overlapping.bplist"] = assemble([container(0xA, [1, 2], 1), value, value], offsets=[8, 11, 12])
    seeds["table-out-of-range.bplist"] = assemble([value], table_offset=2**63)
    seeds["object-count-huge.bplist"] = assemble([value], object_count=2**40)
    seeds["root-out-of-range.bplist"] = assemble([value], root=3)
    seeds["wide-refs.bplist"] = assemble([container(0xA, [1, 2], 8), value, int_object(-1, 8)],
                                         ref_size=8, offset_size=8)
    seeds["odd-widths.bplist"] = assemble([container(0xA, [1, 2, 3], 3), int_object(2**70 % 2**128, 16),
                                           bytes([0x22]) + struct.pack(">f", 1.5),
                                           bytes([0x33]) + struct.pack(">d", -1e9)],
                                          ref_size=3, offset_size=3)
    seeds["fill-and-null.bplist"] = assemble([container(0xA, [1, 2, 3, 4], 1), b"\x00", b"\x0f",
                                              b"\x08", b"\x09"])
    seeds["count-width-16.bplist"] = assemble([bytes([0x5F, 0x14]) + bytes(15) + b"\x03" + b"abc"])
    seeds["truncated.bplist"] = plistlib.dumps(SAMPLE_INFO, fmt=plistlib.FMT_BINARY)[:-20]
    seeds["header-only.bplist"] = b"bplist00"
    seeds["version-15.bplist"] = b"bplist15" + plistlib.dumps([1], fmt=plistlib.FMT_BINARY)[8:]
    return seeds


def write(folder, seeds):
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    write(os.path.join(sys.argv[1], "xmlplist"), xml_seeds())
    write(os.path.join(sys.argv[1], "binaryplist"), binary_seeds())


if __name__ == "__main__":
    main()

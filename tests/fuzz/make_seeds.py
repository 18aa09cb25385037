#!/usr/bin/env python3
"""Writes the small seed corpus of the Opera fuzz target into tests/fuzz/seeds/."""
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")


def header(tag_width=1, length_width=2):
    return struct.pack(">IIHH", 0x1000, 0x20000, tag_width, length_width)


def field(tag, data, tw=1, lw=2):
    return tag.to_bytes(tw, "big") + len(data).to_bytes(lw, "big") + data


def record(tag, payload, tw=1, lw=2):
    return tag.to_bytes(tw, "big") + len(payload).to_bytes(lw, "big") + payload


def write(name, choice, body):
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(bytes([choice]) + body)


os.makedirs(HERE, exist_ok=True)
write("cache", 0, header() + record(1, field(3, b"http://a/") + field(13, b"opr001.tmp")) + b"\x80" +
      record(1, field(3, b"http://b/")))
write("vlink", 8, header(2, 4) + record(2, field(3, b"http://v/", 2, 4), 2, 4))
write("cookies", 2, header() + record(1, field(30, b"com")) + record(1, field(30, b"example")) +
      record(2, field(29, b"p")) + record(3, field(16, b"sid")) + b"\x85\x84")
write("global", 3, b"http://a/\nTitle\n123\n-1\nhttp://b/\nB\n1\n-1\n")
write("adr", 4, b"Opera Hotlist version 2.0\n#URL\n\tNAME=Page\r\n#FOLDER\n\tNAME=F\n")
write("dir", 5, b"C:\\a\r\nC:\\b\n")
write("typed", 6, b'<typed_history>\n<typed_history_item content="http://t/" type="text"/>\n')

#!/usr/bin/env python3
"""Reads a Task Scheduler 1.0 job file (the .job format: fixed-length data, then the
strings and the triggers) and prints what the tests check, one "name=value" a line."""
import struct
import sys


def read_string(data, offset):
    count = struct.unpack_from("<H", data, offset)[0]
    text = data[offset + 2:offset + 2 + 2 * count].decode("utf-16-le").rstrip("\0")
    return text, offset + 2 + 2 * count


def main(path):
    data = open(path, "rb").read()
    (app_offset, trigger_offset) = struct.unpack_from("<HH", data, 20)
    flags = struct.unpack_from("<I", data, 48)[0]
    offset = app_offset
    fields = {}
    for name in ("application", "parameters", "working_directory"):
        fields[name], offset = read_string(data, offset)
    count = struct.unpack_from("<H", data, trigger_offset)[0]
    print("application=%s" % fields["application"])
    print("parameters=%s" % fields["parameters"])
    print("working_directory=%s" % fields["working_directory"])
    print("flags=0x%x" % flags)
    print("triggers=%d" % count)
    if count:
        t = trigger_offset + 2
        (size, _, year, month, day, _, _, _, hour, minute) = struct.unpack_from("<10H", data, t)
        (kind,) = struct.unpack_from("<I", data, t + 32)
        (s0, s1, s2) = struct.unpack_from("<3H", data, t + 36)
        print("trigger_size=%d" % size)
        print("begin=%04d-%02d-%02d" % (year, month, day))
        print("start=%02d:%02d" % (hour, minute))
        print("type=%d" % kind)
        if kind == 2:  # weekly
            print("weeks=%d" % s0)
            print("days_of_week=0x%x" % s1)
        elif kind == 3:  # monthly date
            print("days=0x%x" % (s0 | (s1 << 16)))
            print("months=0x%x" % s2)


if __name__ == "__main__":
    main(sys.argv[1])

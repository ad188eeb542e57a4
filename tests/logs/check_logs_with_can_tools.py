#!/usr/bin/env python3
"""Reads the candump, Vector ASC and pcapng logs that Save Message Log writes with tools we did
not write: python-can's log readers and Wireshark's tshark must see every frame as stored
(identifier, extended and remote flags, length, data, time to the microsecond), and can-utils'
log2asc and asc2log must convert the candump and ASC logs without a complaint.

Usage: check_logs_with_can_tools.py WRITE_SAMPLE_LOGS_PROGRAM

Exits 77 (skipped) when python-can, can-utils or tshark is missing, except under CI=true, where that is a
failure: the set-up script installs them.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIPPED = 77

# What the sample store of write_sample_logs.cpp must read back as:
# (identifier, extended, remote, length, data, time in microseconds).
EXPECTED = [
    (0x123, False, False, 2, b"\x11\x22", 0),
    (0x12345678, True, False, 8, bytes.fromhex("55AA0102030405F0"), 1500000),
    (0x7FF, False, True, 3, b"", 2000001),
    (0x1FFFFFFF, True, True, 0, b"", 2147483647),
    (0x000, False, False, 0, b"", 2),
    # Brief frames: no data, at the time of the frame before them.
    (0x18EF1234, True, False, 0, b"", 2),
    (0x456, False, True, 0, b"", 2),
    # A length above 8: the eight bytes held.
    (0x100, True, False, 8, bytes.fromhex("55AA0102030405F0"), 1000000),
    (0x7B, True, False, 1, b"\x55", 0),
]


def missing_tool(what):
    if os.environ.get("CI") == "true":
        sys.exit(f"FAIL: {what} is missing; scripts/install-deps.sh installs it")
    print(f"SKIPPED: {what} is missing")
    sys.exit(SKIPPED)


def frames(messages, with_time=True):
    seen = []
    for m in messages:
        assert not m.is_error_frame and m.is_rx, m
        frame = (m.arbitration_id, m.is_extended_id, m.is_remote_frame, m.dlc, bytes(m.data))
        if with_time:
            frame += (round(m.timestamp * 1e6),)
        seen.append(frame)
    return seen


def shown(frame):
    if frame is None:
        return "nothing"
    ident, extended, remote, length, data, *when = frame
    flags = ("extended" if extended else "standard") + (" remote" if remote else "")
    text = f"{ident:X} {flags} length {length} data {data.hex().upper() or '-'}"
    return text + (f" at {when[0]} us" if when else "")


def expect_equal(what, seen, expected):
    if seen != expected:
        print(f"FAIL: {what}")
        for index in range(max(len(seen), len(expected))):
            got = seen[index] if index < len(seen) else None
            want = expected[index] if index < len(expected) else None
            print(f"  {'ok ' if got == want else 'BAD'} read {shown(got)}, expected {shown(want)}")
        return False
    print(f"ok: {what}: {len(seen)} frames")
    return True


def tshark_frames(tshark, capture):
    """The frames of a capture as tshark dissects them. tshark shows a remote frame's length
    in data bytes (zeros, as the can_frame holds them); a remote frame carries no data."""
    result = subprocess.run([tshark, "-r", capture, "-T", "fields", "-e", "can.id",
                             "-e", "can.flags.xtd", "-e", "can.flags.rtr", "-e", "data.data",
                             "-e", "can.len", "-e", "frame.time_epoch"],
                            capture_output=True, text=True)
    if result.returncode != 0:
        print(f"FAIL: tshark exited {result.returncode}: {result.stderr}")
        return []
    seen = []
    for line in result.stdout.splitlines():
        ident, extended, remote, data, length, when = line.split("\t")
        is_remote = remote in ("1", "True")
        seen.append((int(ident, 0), extended in ("1", "True"), is_remote, int(length),
                     b"" if is_remote else bytes.fromhex(data), round(float(when) * 1e6)))
    return seen


def main():
    try:
        import can
    except ImportError:
        missing_tool("python3-can")
    log2asc = shutil.which("log2asc")
    asc2log = shutil.which("asc2log")
    if log2asc is None or asc2log is None:
        missing_tool("log2asc and asc2log of can-utils")
    tshark = shutil.which("tshark")
    if tshark is None:
        missing_tool("tshark")

    ok = True
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([sys.argv[1], folder], check=True)
        candump_log = os.path.join(folder, "sample.log")
        asc_log = os.path.join(folder, "sample.asc")
        capture = os.path.join(folder, "sample.pcapng")

        ok &= expect_equal("python-can reads the candump log",
                           frames(can.CanutilsLogReader(candump_log)), EXPECTED)
        ok &= expect_equal("python-can's LogReader takes .log as candump",
                           frames(can.LogReader(candump_log)), EXPECTED)
        ok &= expect_equal("python-can reads the ASC log",
                           frames(can.ASCReader(asc_log)), EXPECTED)
        ok &= expect_equal("python-can's LogReader takes .asc as ASC",
                           frames(can.LogReader(asc_log)), EXPECTED)
        ok &= expect_equal("tshark reads the pcapng capture", tshark_frames(tshark, capture),
                           EXPECTED)

        # The header's date is read as the start of the measurement: the time of the save.
        reader = can.ASCReader(asc_log, relative_timestamp=False)
        first = next(iter(reader))
        if abs(first.timestamp - time.time()) > 24 * 3600:
            print(f"FAIL: the ASC date {reader.date!r} is not the time of the save")
            ok = False

        converted = os.path.join(folder, "converted.asc")
        result = subprocess.run([log2asc, "-I", candump_log, "-O", converted, "can0"],
                                capture_output=True, text=True)
        if result.returncode != 0 or result.stdout or result.stderr:
            print(f"FAIL: log2asc exited {result.returncode}: {result.stdout}{result.stderr}")
            ok = False
        else:
            # log2asc counts times from its first frame; the frames themselves must survive.
            untimed = [frame[:5] for frame in EXPECTED]
            ok &= expect_equal("log2asc converts the candump log",
                               frames(can.ASCReader(converted), with_time=False), untimed)

        back = os.path.join(folder, "converted.log")
        # asc2log remarks on stderr that it cannot read the header's date in a German locale;
        # its exit code and the frames it writes are what count.
        result = subprocess.run([asc2log, "-I", asc_log, "-O", back], capture_output=True,
                                text=True)
        if result.returncode != 0:
            print(f"FAIL: asc2log exited {result.returncode}: {result.stdout}{result.stderr}")
            ok = False
        else:
            ok &= expect_equal("asc2log converts the ASC log",
                               frames(can.CanutilsLogReader(back), with_time=False),
                               [frame[:5] for frame in EXPECTED])

    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Writing and reading 50,000 frames in each log format: Brannox's writers and readers
(log_formats_bench) side by side with python-can's writers and readers of the same frames, and
a single write() and read() of the same bytes. Prints a table in milliseconds (medians).

Usage: log_formats_bench.py LOG_FORMATS_BENCH_PROGRAM
python-can has its own CSV layout and no pcapng writer or reader; its CSV figures are of its
CSV format with the same frames.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

import can

RUNS = 5


def median_ms(run):
    times = []
    for _ in range(RUNS):
        start = time.perf_counter()
        run()
        times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times)


def python_can(kind, ours, folder):
    """python-can's (write ms, read ms) of the frames in our file `ours`, or None."""
    readers = {"log": can.CanutilsLogReader, "asc": can.ASCReader, "csv": None}
    writers = {"log": can.CanutilsLogWriter, "asc": can.ASCWriter, "csv": can.CSVWriter}
    if kind not in writers:
        return None
    if kind == "csv":  # python-can reads only its own CSV: take the frames from our candump log
        messages = list(can.CanutilsLogReader(ours[:-3] + "log"))
    else:
        messages = list(readers[kind](ours))
    path = os.path.join(folder, "python-can." + kind)

    def write():
        writer = writers[kind](path)
        for message in messages:
            writer.on_message_received(message)
        writer.stop()

    def read():
        reader = can.CSVReader(path) if kind == "csv" else readers[kind](path)
        count = sum(1 for _ in reader)
        assert count == len(messages), (kind, count)

    return median_ms(write), median_ms(read)


def main():
    with tempfile.TemporaryDirectory() as folder:
        result = subprocess.run([sys.argv[1], folder], check=True, capture_output=True,
                                text=True)
        print("50,000 frames; ms, median; ratio = python-can / Brannox, Brannox / write() or read()")
        print(f"{'format':8} {'write':>8} {'python-can':>11} {'ratio':>6} {'write()':>8} "
              f"{'ratio':>6} | {'read':>8} {'python-can':>11} {'ratio':>6} {'read()':>8} {'ratio':>6}")
        for line in result.stdout.splitlines():
            kind, path, write_ms, read_ms, plain_write, plain_read = line.split()
            write_ms, read_ms = float(write_ms), float(read_ms)
            plain_write, plain_read = float(plain_write), float(plain_read)
            theirs = python_can(kind, path, folder)
            pw, pr = (f"{theirs[0]:11.1f}", f"{theirs[1]:11.1f}") if theirs else ("n/a".rjust(11),) * 2
            rw = f"{theirs[0] / write_ms:6.1f}" if theirs else "-".rjust(6)
            rr = f"{theirs[1] / read_ms:6.1f}" if theirs else "-".rjust(6)
            print(f"{kind:8} {write_ms:8.1f} {pw} {rw} {plain_write:8.2f} "
                  f"{write_ms / plain_write:6.0f} | {read_ms:8.1f} {pr} {rr} {plain_read:8.2f} "
                  f"{read_ms / plain_read:6.0f}")


if __name__ == "__main__":
    main()

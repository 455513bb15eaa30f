#!/usr/bin/env python3
"""Prints the benchmarks' targets as a short table of PASS/OVER lines.

Reads every Google Benchmark JSON file (--benchmark_out_format=json) in the
folder given, finds the benchmarks the targets name, and compares their wall
times. Timing on a shared, loaded machine is noisy, so an OVER is reported but
never turns into a failing exit status; a target whose benchmarks did not run
reads MISSING.
"""

import json
import statistics
import sys
from pathlib import Path

NANOSECONDS_PER_UNIT = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}

# (what is measured, benchmark, baseline or None, limit, how the limit reads)
# With a baseline the limit is on the ratio benchmark/baseline; without one it
# is on the benchmark's own time in nanoseconds.
TARGETS = [
    ("message send vs virtual call", "BM_RuntimeSend", "BM_VirtualCall", 5.0, "5x"),
    ("hooked send vs send", "BM_RuntimeSendHooked", "BM_RuntimeSend", 2.0, "2x"),
    ("log entry vs whole-file rewrite", "BM_LoggerAppend", "BM_LoggerRewriteBaseline", 1 / 20, "1/20"),
    ("message lookup", "BM_DBMessageLookup", None, 20e3, "20 us"),
    ("compose recipient list, 30 220 records", "BM_RecipientListBuild", None, 50e6, "50 ms"),
    ("compose search, one keystroke", "BM_RecipientFilter", None, 0.5e6, "0.5 ms"),
]


def load_times(folder):
    """Wall time per iteration in nanoseconds for each benchmark name.

    With repetitions a benchmark has several runs; the median of them is
    taken, and the aggregates the library adds (mean, median, stddev) are
    skipped so that they are not counted as runs of their own.
    """
    runs = {}
    for path in sorted(Path(folder).glob("*.json")):
        try:
            data = json.loads(path.read_text())
        except (OSError, ValueError) as error:
            print(f"bench: cannot read {path}: {error}", file=sys.stderr)
            continue
        for bench in data.get("benchmarks", []):
            if bench.get("run_type", "iteration") != "iteration" or bench.get("error_occurred"):
                continue
            scale = NANOSECONDS_PER_UNIT.get(bench.get("time_unit", "ns"))
            if scale is None or "real_time" not in bench:
                continue
            name = bench.get("run_name", bench["name"])
            runs.setdefault(name, []).append(float(bench["real_time"]) * scale)
    return {name: statistics.median(times) for name, times in runs.items()}


def format_time(nanoseconds):
    if nanoseconds >= 1e6:
        return f"{nanoseconds / 1e6:.2f} ms"
    if nanoseconds >= 1e3:
        return f"{nanoseconds / 1e3:.2f} us"
    return f"{nanoseconds:.1f} ns"


def evaluate(times):
    """One row per target: (what, measured, limit, verdict)."""
    rows = []
    for what, name, baseline, limit, limit_text in TARGETS:
        if name not in times or (baseline and baseline not in times):
            rows.append((what, "-", limit_text, "MISSING"))
            continue
        if baseline:
            if times[baseline] <= 0:
                rows.append((what, "-", limit_text, "MISSING"))
                continue
            value = times[name] / times[baseline]
            measured = f"{value:.3f}x ({format_time(times[name])} / {format_time(times[baseline])})"
        else:
            value = times[name]
            measured = format_time(value)
        rows.append((what, measured, limit_text, "PASS" if value <= limit else "OVER"))
    return rows


def main(argv):
    folder = argv[1] if len(argv) > 1 else "build/bench/results"
    rows = evaluate(load_times(folder))
    header = ("target", "measured", "limit", "")
    widths = [max(len(row[i]) for row in rows + [header]) for i in range(3)]
    print()
    for row in [header] + rows:
        line = "  ".join(cell.ljust(width) for cell, width in zip(row, widths)) + "  " + row[3]
        print(line.rstrip())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

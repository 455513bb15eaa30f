#!/usr/bin/env python3
"""Turns one `make bench` run into the benchmark report.

Reads every Google Benchmark JSON file (--benchmark_out_format=json) in the
results folder, one per benchmark program, and writes beside that folder:

- report.md: each figure with its target and PASS/OVER, the ratios taken
  from the same run, the machine (CPU model, cores, load when the run
  started), the growth table and the memory figures, and for every row the
  command that measures it again;
- report.json: the same figures for programs (bench/check reads it);
- growth.svg: cost against size, one panel per measured path.

It also prints the table of targets. Timing on a shared machine is noisy, so
this script never fails the run; bench/check does, when a target is missed.

Usage: bench_report.py [results-folder] [--memory memory.json]
"""

import html
import json
import math
import os
import statistics
import sys
from pathlib import Path

NANOSECONDS_PER_UNIT = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


class Row:
    """One line of the report.

    With a baseline the figure is the ratio benchmark/baseline, measured in
    the same run; without one it is the benchmark's own wall time in
    nanoseconds. A row without a limit is reported, never judged. A row
    measured by another tool (`elsewhere`) reads its figure when that tool's
    benchmark ran and otherwise says where it is measured.
    """

    def __init__(self, key, what, benchmark, baseline=None, limit=None, limit_text="", elsewhere=None, counter=None,
                 command=None, aside=None):
        self.key = key
        self.what = what
        self.benchmark = benchmark
        self.baseline = baseline
        self.limit = limit
        self.limit_text = limit_text
        self.elsewhere = elsewhere
        self.counter = counter
        # The command that measures it again, for a row not measured by a
        # program in build/bench/benchmarks.
        self.command = command
        # (counter, what it is): a figure in milliseconds shown beside the
        # row's own, never judged.
        self.aside = aside


ROWS = [
    Row("send", "runtime send, in virtual calls", "BM_RuntimeSend", "BM_VirtualCall", 2.0, "≤ 2"),
    Row("hooked-send", "hooked send, in unhooked sends", "BM_RuntimeSendHooked", "BM_RuntimeSend", 1.25, "≤ 1.25"),
    Row("log-entry", "log entry at a 90 000-byte file, in read-and-rewrite entries",
        "BM_LoggerAppend/90000", "BM_LoggerRewriteBaseline/90000", 1 / 50, "≤ 1/50"),
    Row("log-entry-write", "log entry at a 90 000-byte file, in bare write(2)s of its bytes",
        "BM_LoggerAppend/90000", "BM_LogBareWrite/90000"),
    Row("banner-tap", "banner tap to laid-out quick reply, 100 000 messages", "BM_BannerTapToQuickReply", None, 100e3, "≤ 100 us"),
    Row("list-build", "recipient list of 10 000 people, 200 groups, 20 favourites", "BM_RecipientListBuild/10000", None, 50e6, "≤ 50 ms"),
    Row("keystroke", "one keystroke of filtering that list", "BM_RecipientFilter/10000", None, 0.5e6, "≤ 0.5 ms"),
    Row("lookup", "record-id lookup, 100 000 messages", "BM_DBMessageLookup/100000", None, 20e3, "≤ 20 us"),
    Row("snapshot", "screen snapshot of 200 views, as JSON text", "BM_SnapshotScreen/200", None, 1e6, "≤ 1 ms"),
    Row("web-click", "web UI click to redrawn screen, p95 on loopback", "BM_WebClickToRedraw", None, 25e6, "≤ 25 ms",
        counter="p95_ms",
        command="PLV_SIM=build/bench/simulator/plv-sim node tests/browser/bench-taps.mjs 200 --press 80",
        aside=("instant_p95_ms", "with presses of no length, as only a driver makes them")),
    Row("boot", "boot of the seeded phone with its extensions to the first screen (plv-sim run, empty scenario)",
        "BM_BootSeededPhone"),
]

# (what, benchmark, sizes, what the size counts, how the path's algorithm grows)
GROWTH = [
    ("recipient list build", "BM_RecipientListBuild", [1000, 10000, 50000], "people",
     "reads every person (linear) and sorts the names (n log n)"),
    ("one keystroke of filtering", "BM_RecipientFilter", [1000, 10000, 50000], "people",
     "a scan of every name (linear)"),
    ("log entry", "BM_LoggerAppend", [1000, 50000, 99000], "bytes in the file",
     "appends to the file (constant)"),
    ("record-id lookup", "BM_DBMessageLookup", [1000, 100000, 1000000], "messages",
     "a primary-key search (logarithmic)"),
    ("screen snapshot", "BM_SnapshotScreen", [50, 200, 800], "views",
     "visits every view once (linear)"),
]

# Above this exponent between two sizes, growth counts as worse than linear
# (a little above 1 leaves room for noise and for n log n at these sizes).
LINEAR_EXPONENT = 1.15


def load_results(folder):
    """Wall time per iteration in nanoseconds, counters and program for each
    benchmark name, and the context of the first program that ran.

    With repetitions a benchmark has several runs; the median of them is
    taken, and the aggregates the library adds (mean, median, stddev) are
    skipped so that they are not counted as runs of their own.
    """
    runs = {}
    counters = {}
    programs = {}
    context = None
    for path in sorted(Path(folder).glob("*.json")):
        try:
            data = json.loads(path.read_text())
        except (OSError, ValueError) as error:
            print(f"bench: cannot read {path}: {error}", file=sys.stderr)
            continue
        if not isinstance(data, dict):
            continue
        run_context = data.get("context", {})
        if isinstance(run_context, dict) and (context is None or run_context.get("date", "") < context.get("date", "")):
            context = run_context
        for bench in data.get("benchmarks", []):
            if bench.get("run_type", "iteration") != "iteration" or bench.get("error_occurred"):
                continue
            scale = NANOSECONDS_PER_UNIT.get(bench.get("time_unit", "ns"))
            if scale is None or "real_time" not in bench:
                continue
            # Options a benchmark was registered with (->MinTime(2),
            # ->UseRealTime(), ->Iterations(200)) are not part of its name.
            name = "/".join(part for part in bench.get("run_name", bench["name"]).split("/")
                            if not part.startswith(("min_time:", "iterations:", "repeats:")) and part != "real_time")
            runs.setdefault(name, []).append(float(bench["real_time"]) * scale)
            programs[name] = path.stem
            for key, value in bench.items():
                if isinstance(value, (int, float)) and key not in ("real_time", "cpu_time", "iterations", "repetitions",
                                                                   "repetition_index", "threads", "family_index",
                                                                   "per_family_instance_index"):
                    counters.setdefault(name, {})[key] = float(value)
    times = {name: statistics.median(values) for name, values in runs.items()}
    return times, counters, programs, context or {}


def load_times(folder):
    return load_results(folder)[0]


def format_time(nanoseconds):
    if nanoseconds >= 1e6:
        return f"{nanoseconds / 1e6:.2f} ms"
    if nanoseconds >= 1e3:
        return f"{nanoseconds / 1e3:.2f} us"
    return f"{nanoseconds:.1f} ns"


def format_ratio(value):
    if value < 0.1:
        return f"1/{1 / value:.0f}" if value > 0 else "0"
    return f"{value:.2f}"


def command_for(programs, *names):
    """The command that measures these benchmarks again, from the checkout."""
    names = [name for name in names if name]
    program = next((programs[name] for name in names if name in programs), None)
    if program is None:
        return ""
    pattern = "|".join(names)
    return f"build/bench/benchmarks/{program} --benchmark_filter='^({pattern})$'"


def evaluate(times, counters=None, programs=None):
    """One dictionary per row: key, what, figure text, value, limit, verdict, command."""
    counters = counters or {}
    programs = programs or {}
    rows = []
    for row in ROWS:
        entry = {"key": row.key, "what": row.what, "limit": row.limit, "limit_text": row.limit_text or "report only",
                 "benchmark": row.benchmark, "baseline": row.baseline, "value": None, "figure": "-",
                 "command": row.command or command_for(programs, row.benchmark, row.baseline)}
        if row.counter:
            value = counters.get(row.benchmark, {}).get(row.counter)
            if value is not None:
                entry["value"] = value * 1e6  # milliseconds to nanoseconds
                entry["figure"] = format_time(entry["value"])
                aside = counters.get(row.benchmark, {}).get(row.aside[0]) if row.aside else None
                if aside is not None:
                    entry["figure"] += f" ({format_time(aside * 1e6)} {row.aside[1]})"
        elif row.benchmark in times and (not row.baseline or times.get(row.baseline, 0) > 0):
            if row.baseline:
                entry["value"] = times[row.benchmark] / times[row.baseline]
                entry["figure"] = (f"{format_ratio(entry['value'])} ({format_time(times[row.benchmark])} / "
                                   f"{format_time(times[row.baseline])})")
            else:
                entry["value"] = times[row.benchmark]
                entry["figure"] = format_time(entry["value"])
        if entry["value"] is None:
            if row.elsewhere:
                entry["verdict"] = "ELSEWHERE"
                entry["figure"] = f"measured by {row.elsewhere}"
            else:
                entry["verdict"] = "MISSING"
        elif row.limit is None:
            entry["verdict"] = "REPORT"
        else:
            entry["verdict"] = "PASS" if entry["value"] <= row.limit else "OVER"
        rows.append(entry)
    return rows


def growth(times, programs=None):
    """One dictionary per measured path: sizes, times, exponents, verdict."""
    programs = programs or {}
    series = []
    for what, benchmark, sizes, unit, algorithm in GROWTH:
        points = [(size, times.get(f"{benchmark}/{size}")) for size in sizes]
        exponents = []
        for (n1, t1), (n2, t2) in zip(points, points[1:]):
            exponents.append(math.log(t2 / t1) / math.log(n2 / n1) if t1 and t2 and t1 > 0 and t2 > 0 else None)
        measured = [e for e in exponents if e is not None]
        if len(measured) < len(exponents):
            verdict = "MISSING"
        elif max(measured) > LINEAR_EXPONENT:
            verdict = "worse than linear"
        else:
            verdict = "linear or better"
        series.append({"what": what, "benchmark": benchmark, "unit": unit, "algorithm": algorithm,
                       "points": [{"size": n, "time": t} for n, t in points], "exponents": exponents,
                       "verdict": verdict,
                       "command": command_for(programs, *[f"{benchmark}/{n}" for n in sizes])})
    return series


def machine(folder, context):
    """CPU model, cores and the load average when the run started."""
    model = context.get("cpu_model") or ""
    try:
        for line in Path("/proc/cpuinfo").read_text().splitlines():
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    except OSError:
        pass
    load = None
    try:
        load = Path(folder, "load-at-start").read_text().split()[:3]
    except OSError:
        if isinstance(context.get("load_avg"), list):
            load = [f"{value:.2f}" for value in context["load_avg"]]
    return {"cpu": model or "unknown", "cores": context.get("num_cpus") or os.cpu_count(),
            "mhz": context.get("mhz_per_cpu"), "load_at_start": load, "date": context.get("date"),
            "build": context.get("library_build_type")}


def load_memory(path):
    """The memory figures bench/memory.py wrote, or an empty list."""
    try:
        data = json.loads(Path(path).read_text())
    except (OSError, ValueError):
        return []
    return data.get("rows", []) if isinstance(data, dict) else []


def plot(series):
    """growth.svg: one log-log panel per path, measured points joined, and a
    dashed line of linear growth from the smallest size for comparison."""
    width, height, margin = 260, 210, 46
    panels = [s for s in series if any(p["time"] for p in s["points"])]
    total_width = max(1, len(panels)) * width
    out = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{total_width}" height="{height + 30}" '
           f'font-family="sans-serif" font-size="10">',
           f'<rect width="{total_width}" height="{height + 30}" fill="white"/>']
    for index, s in enumerate(panels):
        left = index * width + margin
        top, right, bottom = 24, index * width + width - 12, height - 30
        points = [(p["size"], p["time"]) for p in s["points"] if p["time"]]
        sizes = [p["size"] for p in s["points"]]
        first_n, first_t = points[0]
        linear = [(n, first_t * n / first_n) for n in sizes]
        low = min(t for _, t in points + linear)
        high = max(t for _, t in points + linear)
        low_log, high_log = math.log10(low) - 0.1, math.log10(high) + 0.1
        n_low, n_high = math.log10(min(sizes)) - 0.1, math.log10(max(sizes)) + 0.1

        def x(n):
            return left + (math.log10(n) - n_low) / (n_high - n_low) * (right - left)

        def y(t):
            return bottom - (math.log10(t) - low_log) / (high_log - low_log) * (bottom - top)

        out.append(f'<text x="{index * width + width / 2}" y="14" text-anchor="middle" font-weight="bold">'
                   f'{html.escape(s["what"])}</text>')
        out.append(f'<line x1="{left}" y1="{bottom}" x2="{right}" y2="{bottom}" stroke="black"/>')
        out.append(f'<line x1="{left}" y1="{top}" x2="{left}" y2="{bottom}" stroke="black"/>')
        for n in sizes:
            out.append(f'<text x="{x(n):.1f}" y="{bottom + 12}" text-anchor="middle">{n:,}</text>'.replace(",", " "))
        out.append(f'<text x="{(left + right) / 2}" y="{bottom + 24}" text-anchor="middle">{html.escape(s["unit"])}</text>')
        for t in (low, high):
            out.append(f'<text x="{left - 3}" y="{y(t) + 3:.1f}" text-anchor="end">{format_time(t)}</text>')
        out.append('<polyline fill="none" stroke="#999" stroke-dasharray="4 3" points="'
                   + " ".join(f"{x(n):.1f},{y(t):.1f}" for n, t in linear) + '"/>')
        out.append('<polyline fill="none" stroke="#1f5fbf" stroke-width="2" points="'
                   + " ".join(f"{x(n):.1f},{y(t):.1f}" for n, t in points) + '"/>')
        for n, t in points:
            out.append(f'<circle cx="{x(n):.1f}" cy="{y(t):.1f}" r="3" fill="#1f5fbf"/>')
            out.append(f'<text x="{x(n) + 4:.1f}" y="{y(t) - 5:.1f}">{format_time(t)}</text>')
    out.append(f'<text x="8" y="{height + 22}" fill="#555">blue: measured; dashed: linear growth from the smallest size; '
               f'both axes logarithmic</text>')
    out.append("</svg>")
    return "\n".join(out) + "\n"


def markdown(rows, series, memory, host):
    lines = ["# Benchmark report", ""]
    load = " ".join(host["load_at_start"]) if host["load_at_start"] else "unknown"
    lines += [f"Machine: {host['cpu']}, {host['cores']} cores; load average at the start (1, 5, 15 min): {load}. "
              f"Run of {host['date'] or 'unknown date'}.", ""]
    lines += ["## Targets", "", "| what | measured | target | verdict | command |", "|---|---|---|---|---|"]
    for row in rows:
        lines.append(f"| {row['what']} | {row['figure']} | {row['limit_text']} | {row['verdict']} | "
                     f"`{row['command']}` |" if row["command"] else
                     f"| {row['what']} | {row['figure']} | {row['limit_text']} | {row['verdict']} | |")
    lines += ["", "Ratios are of two benchmarks of the same run. Measured again with the command shown, from the "
              "checkout, after `make bench` has built the programs.", ""]
    lines += ["## Growth", "", "![cost against size](growth.svg)", "",
              "| path | sizes | times | growth exponents | verdict | the algorithm |", "|---|---|---|---|---|---|"]
    for s in series:
        sizes = " / ".join(f"{p['size']:,}".replace(",", " ") for p in s["points"])
        times = " / ".join(format_time(p["time"]) if p["time"] else "-" for p in s["points"])
        exponents = " , ".join(f"{e:.2f}" if e is not None else "-" for e in s["exponents"])
        lines.append(f"| {s['what']} ({s['unit']}) | {sizes} | {times} | {exponents} | {s['verdict']} | {s['algorithm']} |")
    lines += ["", "The exponent between two sizes is log(t2/t1) / log(n2/n1): 1 is linear, 0 is flat; above "
              f"{LINEAR_EXPONENT} counts as worse than linear.", ""]
    lines += ["## Memory", ""]
    if memory:
        lines += ["| what | measured | target | verdict | command |", "|---|---|---|---|---|"]
        for m in memory:
            lines.append(f"| {m.get('what', '')} | {m.get('figure', '-')} | {m.get('limit_text', 'report only')} | "
                         f"{m.get('verdict', 'REPORT')} | `{m.get('command', '')}` |")
    else:
        lines.append("Not measured in this run (bench/memory.py writes build/bench/memory.json).")
    return "\n".join(lines) + "\n"


def write_report(folder, memory_path=None):
    times, counters, programs, context = load_results(folder)
    rows = evaluate(times, counters, programs)
    series = growth(times, programs)
    memory = load_memory(memory_path) if memory_path else []
    host = machine(folder, context)
    out = Path(folder).resolve().parent
    (out / "report.md").write_text(markdown(rows, series, memory, host))
    (out / "growth.svg").write_text(plot(series))
    (out / "report.json").write_text(json.dumps({"machine": host, "targets": rows, "growth": series, "memory": memory},
                                                indent=2) + "\n")
    return rows, series, memory


def main(argv):
    args = argv[1:]
    memory_path = None
    if "--memory" in args:
        at = args.index("--memory")
        memory_path = args[at + 1] if at + 1 < len(args) else None
        del args[at:at + 2]
    folder = args[0] if args else "build/bench/results"
    rows, series, memory = write_report(folder, memory_path)
    table = [(row["what"], row["figure"], row["limit_text"], row["verdict"]) for row in rows]
    table += [(f"memory: {m.get('what', '')}", m.get("figure", "-"), m.get("limit_text", ""), m.get("verdict", ""))
              for m in memory]
    header = ("target", "measured", "limit", "")
    widths = [max(len(row[i]) for row in table + [header]) for i in range(3)]
    print()
    for row in [header] + table:
        print(("  ".join(cell.ljust(width) for cell, width in zip(row, widths)) + "  " + row[3]).rstrip())
    print(f"\nreport: {Path(folder).resolve().parent / 'report.md'}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

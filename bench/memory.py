#!/usr/bin/env python3
"""Measures the heap of `plv-sim run` scenarios with valgrind's massif.

Each scenario runs under massif with gdb attached through vgdb; a breakpoint
on the dump step's function asks massif for a snapshot there, so every
`dump` step of a scenario marks one heap figure (useful heap plus the
allocator's extra bytes), taken at that exact point of the scenario.

Figures, written as JSON rows for bench_report.py:
- what Parlivo adds to the idle phone after boot: the same seeded phone
  booted with Parlivo and with no extension at all;
- the quick compose window opened over a 10 000-person Address Book, above
  the idle phone, and the heap after it closed against idle;
- a quick reply opened from the notification centre and closed 1 000 times:
  the heap after the last close against the heap after the tenth.

Usage: memory.py --sim build/bench/simulator/plv-sim --out build/bench/memory.json
"""

import argparse
import json
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

MB = 1024 * 1024
COMPOSER = "it.kelvane.RDLComposer"
REPLIES = 1000
WARM_REPLIES = 10


def seed(sim, device, *options):
    subprocess.run([sim, "seed", str(device), *options], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def without_extensions(device):
    """The seeded phone made to boot with no extension library at all."""
    (device / "plv-sim.plist").write_text(
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        '<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">\n'
        '<plist version="1.0">\n<dict>\n\t<key>extensions</key>\n\t<array/>\n</dict>\n</plist>\n')
    for library in (device / "Library/MobileSubstrate/DynamicLibraries").glob("*"):
        library.unlink()


def heap_of(snapshot_file):
    text = Path(snapshot_file).read_text()
    heap = re.findall(r"^mem_heap_B=(\d+)", text, re.MULTILINE)
    extra = re.findall(r"^mem_heap_extra_B=(\d+)", text, re.MULTILINE)
    return int(heap[-1]) + int(extra[-1])


def massif_command(sim, scenario, device):
    return ["valgrind", "--tool=massif", "--vgdb=yes", "--vgdb-error=0", "--stacks=no",
            f"--massif-out-file={scenario.with_suffix('.massif')}", sim, "run", str(scenario), "--device", str(device)]


def heap_at_dumps(sim, scenario, device, work):
    """The heap in bytes at each dump step of the scenario, in order."""
    snapshots = work / (scenario.stem + "-snapshots")
    shutil.rmtree(snapshots, ignore_errors=True)
    snapshots.mkdir(parents=True)
    process = subprocess.Popen(massif_command(sim, scenario, device), stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE, text=True)
    script = work / (scenario.stem + ".gdb")
    script.write_text("\n".join([
        "set pagination off",
        "set confirm off",
        f"target remote | vgdb --pid={process.pid}",
        "set $dump = 0",
        "break simulator::dumpPhone",
        "commands",
        "silent",
        f'eval "monitor snapshot {snapshots}/%03d.massif", $dump',
        "set $dump = $dump + 1",
        "continue",
        "end",
        "continue",
    ]) + "\n")
    gdb = subprocess.run(["gdb", "-batch", "-nx", "-x", str(script), sim], stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, text=True)
    _, errors = process.communicate()
    if process.returncode != 0:
        raise RuntimeError(f"{scenario.name}: plv-sim under massif failed: {errors[-2000:]} {gdb.stderr[-2000:]}")
    return [heap_of(path) for path in sorted(snapshots.glob("*.massif"))]


def write_scenario(work, name, steps):
    path = work / f"{name}.json"
    path.write_text(json.dumps(steps, indent=0) + "\n")
    return path


def figure(value):
    return f"{value / MB:.2f} MB" if abs(value) >= 0.1 * MB else f"{value / 1024:.1f} KB"


def measure(sim, work):
    rows = []
    boot = [{"step": "advance", "seconds": 2}, {"step": "dump"}]

    with_parlivo = work / "phone-parlivo"
    without = work / "phone-bare"
    seed(sim, with_parlivo)
    shutil.copytree(with_parlivo, without)
    without_extensions(without)
    idle = write_scenario(work, "idle", boot)
    parlivo_idle = heap_at_dumps(sim, idle, with_parlivo, work)[0]
    bare_idle = heap_at_dumps(sim, idle, without, work)[0]
    added = parlivo_idle - bare_idle
    command = (f"python3 bench/memory.py --sim {sim}  # idle: "
               + " ".join(shlex.quote(part) for part in massif_command(sim, idle, with_parlivo)))
    rows.append({"key": "idle", "what": "Parlivo's addition to the idle phone after boot",
                 "figure": f"{figure(added)} ({figure(parlivo_idle)} with it, {figure(bare_idle)} without)",
                 "value": added, "limit": 1 * MB, "limit_text": "≤ 1 MB",
                 "verdict": "PASS" if added <= MB else "OVER", "command": command})

    big = work / "phone-10000"
    seed(sim, big, "--contacts", "10000")
    compose = write_scenario(work, "compose", boot + [
        {"step": "activator", "listener": COMPOSER}, {"step": "advance", "seconds": 1}, {"step": "dump"},
        {"step": "tap", "view": "closeButton"}, {"step": "advance", "seconds": 2}, {"step": "dump"},
    ])
    before, opened, closed = heap_at_dumps(sim, compose, big, work)[:3]
    command = " ".join(shlex.quote(part) for part in massif_command(sim, compose, big))
    rows.append({"key": "compose-open", "what": "quick compose open over 10 000 people, above idle",
                 "figure": f"{figure(opened - before)} ({figure(opened)} open, {figure(before)} idle)",
                 "value": opened - before, "limit": 8 * MB, "limit_text": "≤ 8 MB",
                 "verdict": "PASS" if opened - before <= 8 * MB else "OVER", "command": command})
    back = (closed - before) / before
    rows.append({"key": "compose-closed", "what": "after the compose window closed, against idle",
                 "figure": f"{back * 100:+.2f} % ({figure(closed)})", "value": back, "limit": 0.05,
                 "limit_text": "within 5 %", "verdict": "PASS" if abs(back) <= 0.05 else "OVER", "command": command})

    replies = work / "phone-replies"
    seed(sim, replies)
    cycle = [{"step": "open_notification_center"}, {"step": "tap_notification", "index": 0},
             {"step": "advance", "seconds": 2}, {"step": "tap", "view": "closeButton"}, {"step": "advance", "seconds": 1}]
    steps = [{"step": "receive_sms", "from": "+393471234567", "text": "Ci sei stasera?"}, {"step": "advance", "seconds": 6}]
    steps += cycle * WARM_REPLIES + [{"step": "dump"}] + cycle * (REPLIES - WARM_REPLIES) + [{"step": "dump"}]
    scenario = write_scenario(work, "replies", steps)
    warm, last = heap_at_dumps(sim, scenario, replies, work)[:2]
    growth = last - warm
    # "No growth": less than one byte per reply, so that no reply leaves
    # anything behind.
    rows.append({"key": "reply-cycles", "what": f"quick reply opened and closed {REPLIES} times: growth after the "
                 f"{WARM_REPLIES}th", "figure": f"{growth:+d} B ({figure(warm)} after {WARM_REPLIES}, {figure(last)} after {REPLIES})",
                 "value": growth, "limit": REPLIES - WARM_REPLIES, "limit_text": f"< {REPLIES - WARM_REPLIES} B (none)",
                 "verdict": "PASS" if growth < REPLIES - WARM_REPLIES else "OVER",
                 "command": " ".join(shlex.quote(part) for part in massif_command(sim, scenario, replies))})
    return rows


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sim", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--work", default="build/bench/memory")
    args = parser.parse_args(argv[1:])
    for tool in ("valgrind", "gdb", "vgdb"):
        if not shutil.which(tool):
            print(f"bench/memory.py: {tool} is missing (scripts/bootstrap installs it)", file=sys.stderr)
            return 1
    work = Path(args.work).resolve()
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    sim = str(Path(args.sim).resolve())
    rows = measure(sim, work)
    Path(args.out).write_text(json.dumps({"tool": "valgrind --tool=massif", "rows": rows}, indent=2) + "\n")
    for row in rows:
        print(f"memory: {row['what']}: {row['figure']} ({row['limit_text']}) {row['verdict']}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

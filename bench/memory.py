#!/usr/bin/env python3
"""Measures the heap of `plv-sim run` scenarios with valgrind's massif.

Each scenario runs under massif with gdb attached through vgdb; a breakpoint
on the dump step's function asks massif for a snapshot there, so every
`dump` step of a scenario marks one heap figure (useful heap plus the
allocator's extra bytes), taken at that exact point of the scenario.

Figures, written as JSON rows for bench_report.py:
- what Parlivo adds to the idle phone after boot: the same seeded phone
  booted with Parlivo and with no extension at all;
- the quick compose window opened over the list the timing benchmark
  builds (10 000 people with two numbers and an e-mail address each, e-mail
  addresses on, 200 groups, 20 favourites), above the idle phone, and the
  heap after it closed against idle. Idle is taken after one opening and
  closing, and the first dump after a warm-up dump: the first opening
  leaves what SpringBoard keeps for good once a path has run (classes the
  platform registers on first use, method caches, ICU's locale data), and
  the dump step itself opens an sms.db reader it keeps. Both are reported
  on a row of their own;
- a quick reply opened from the notification centre and closed 1 000 times:
  the heap after the last close against the heap after the tenth.

Usage: memory.py --sim build/bench/simulator/plv-sim --out build/bench/memory.json
"""

import argparse
import json
import re
import shlex
import plistlib
import shutil
import sqlite3
import subprocess
import sys
import tempfile
from pathlib import Path

MB = 1024 * 1024
COMPOSER = "it.kelvane.RDLComposer"
PEOPLE = 10000
GROUPS = 200
FAVORITES = 20
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


def mobile(i):
    return f"+39 347 {1000000 + i}"


def keyed_archive(root):
    """A keyed archive (binary) of arrays, dictionaries, strings and booleans."""
    objects = ["$null"]
    classes = {}

    def class_uid(name, ancestors):
        if name not in classes:
            objects.append({"$classname": name, "$classes": [name, *ancestors, "NSObject"]})
            classes[name] = plistlib.UID(len(objects) - 1)
        return classes[name]

    def encode(value):
        if isinstance(value, (str, bool, int)):
            objects.append(value)
            return plistlib.UID(len(objects) - 1)
        at = len(objects)
        objects.append(None)
        if isinstance(value, list):
            objects[at] = {"NS.objects": [encode(v) for v in value],
                           "$class": class_uid("NSMutableArray", ["NSArray"])}
        else:
            keys = [encode(k) for k in value]
            objects[at] = {"NS.keys": keys, "NS.objects": [encode(v) for v in value.values()],
                           "$class": class_uid("NSMutableDictionary", ["NSDictionary"])}
        return plistlib.UID(at)

    top = encode(root)
    return plistlib.dumps({"$version": 100000, "$archiver": "NSKeyedArchiver", "$top": {"root": top},
                           "$objects": objects}, fmt=plistlib.FMT_BINARY)


def big_compose_phone(sim, device):
    """A seeded phone whose recipient list is the timing benchmark's: the
    Address Book refilled with PEOPLE people of two numbers and an e-mail
    address each, e-mail addresses on ("EIC" = "1"), GROUPS groups of five
    members and FAVORITES favourites."""
    seed(sim, device)
    library = device / "var/mobile/Library"
    book = sqlite3.connect(library / "AddressBook/AddressBook.sqlitedb")
    with book:
        book.execute("DELETE FROM ABPhoneLastFour")
        book.execute("DELETE FROM ABMultiValue")
        book.execute("DELETE FROM ABPerson")
        labels = {}
        for label in ("_$!<Mobile>!$_", "_$!<Home>!$_", "_$!<Work>!$_"):
            book.execute("INSERT OR IGNORE INTO ABMultiValueLabel (value) VALUES (?)", (label,))
            labels[label] = book.execute("SELECT ROWID FROM ABMultiValueLabel WHERE value = ?", (label,)).fetchone()[0]
        for i in range(PEOPLE):
            last = ("Rossi" if i % 7 == 0 else "Cognome") + str(i % 977)
            person = book.execute("INSERT INTO ABPerson (First, Last) VALUES (?, ?)", (f"Nome{i}", last)).lastrowid
            for identifier, (prop, label, value) in enumerate([
                    (3, "_$!<Mobile>!$_", mobile(i)), (3, "_$!<Home>!$_", f"06 {20000000 + i}"),
                    (4, "_$!<Work>!$_", f"persona{i}@example.it")]):
                uid = book.execute("INSERT INTO ABMultiValue (record_id, property, identifier, label, value) "
                                   "VALUES (?, ?, ?, ?, ?)", (person, prop, identifier, labels[label], value)).lastrowid
                if prop == 3:
                    digits = "".join(c for c in value if c.isdigit())
                    book.execute("INSERT INTO ABPhoneLastFour (multivalue_id, value) VALUES (?, ?)", (uid, digits[-4:]))
    book.close()
    (library / "PLV").mkdir(parents=True, exist_ok=True)
    (library / "PLV/preferences.plist").write_bytes(plistlib.dumps({"EIC": "1"}))
    (library / "PLV/favorites.plist").write_bytes(plistlib.dumps(
        {mobile(i * 13): f"Cognome{i} Nome{i * 13}" for i in range(FAVORITES)}))
    groups = [{"name": f"Gruppo {g}", "members": [{"contact": mobile(g * 5 + m), "isNumber": True} for m in range(5)],
               "groupID": g} for g in range(GROUPS)]
    (library / "Cellarine").mkdir(parents=True, exist_ok=True)
    (library / "Cellarine/groups.plist").write_bytes(keyed_archive(groups))


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
    big_compose_phone(sim, big)
    opening = [{"step": "activator", "listener": COMPOSER}, {"step": "advance", "seconds": 1}]
    closing = [{"step": "tap", "view": "closeButton"}, {"step": "advance", "seconds": 2}]
    compose = write_scenario(work, "compose", boot + [{"step": "dump"}] + opening + closing + [{"step": "dump"}]
                             + opening + [{"step": "dump"}] + closing + [{"step": "dump"}])
    cold, instrument, before, opened, closed = heap_at_dumps(sim, compose, big, work)[:5]
    command = " ".join(shlex.quote(part) for part in massif_command(sim, compose, big))
    people = f"{PEOPLE:,}".replace(",", " ")
    what = f"quick compose open over {people} people × 2 numbers + 1 e-mail, {GROUPS} groups, {FAVORITES} favourites"
    rows.append({"key": "compose-open", "what": what + ", above idle",
                 "figure": f"{figure(opened - before)} ({figure(opened)} open, {figure(before)} idle)",
                 "value": opened - before, "limit": 8 * MB, "limit_text": "≤ 8 MB",
                 "verdict": "PASS" if opened - before <= 8 * MB else "OVER", "command": command})
    back = (closed - before) / before
    rows.append({"key": "compose-closed", "what": "after the compose window closed, against idle",
                 "figure": f"{back * 100:+.2f} % ({figure(closed)})", "value": back, "limit": 0.05,
                 "limit_text": "within 5 %", "verdict": "PASS" if abs(back) <= 0.05 else "OVER", "command": command})
    rows.append({"key": "compose-first-use", "what": "what the first compose opening leaves for good (classes "
                 "registered on first use, method caches, ICU locale data), and the dump step's own sms.db reader",
                 "figure": f"{figure(before - instrument)} first use, {figure(instrument - cold)} dump step "
                 f"({figure(cold)} before either)", "value": before - instrument, "command": command})

    replies = work / "phone-replies"
    seed(sim, replies)
    cycle = [{"step": "open_notification_center"}, {"step": "tap_notification", "index": 0},
             {"step": "advance", "seconds": 2}, {"step": "tap", "view": "closeButton"}, {"step": "advance", "seconds": 1}]
    steps = [{"step": "receive_sms", "from": "+393471234567", "text": "Ci sei stasera?"}, {"step": "advance", "seconds": 6}]
    # The first dump keeps its last screen snapshot, so the warm figure is
    # taken at a second dump.
    steps += cycle * WARM_REPLIES + [{"step": "dump"}, {"step": "dump"}] + cycle * (REPLIES - WARM_REPLIES) + [{"step": "dump"}]
    scenario = write_scenario(work, "replies", steps)
    warm, last = heap_at_dumps(sim, scenario, replies, work)[1:3]
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
        print(f"memory: {row['what']}: {row['figure']} ({row.get('limit_text', 'report only')}) {row.get('verdict', 'REPORT')}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

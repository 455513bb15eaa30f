#!/usr/bin/env python3
"""A long run of the whole phone with both extensions: a generated scenario of
incoming SMS, iMessages and e-mails, taps, typing, sends, locks, rotations,
compose openings, settings changes and reload notifications, run by
`plv-sim run --keep-going`, then checked:

- the run ends normally (no crash, and no sanitizer report on standard error);
- every reply the scenario typed and sent is in sms.db, in the outbox, or the
  phone said it was not sent (a refused step, or a log entry about the send);
  none went out twice to the same address;
- the logs stay within their size limit (the check after each closed window
  removes a log at 100 000 bytes, so one window's worth may come on top);
- resident memory is flat after warm-up (not checked under a sanitizer, whose
  quarantine grows by design).

The scenario is a pure function of the seed and the step count, so a failing
run is one file anyone can rerun:

    tests/soak/soak.py generate --seed 7 --steps 1000 -o soak-7.json
    plv-sim seed /tmp/p --extensions parlivo,rendalo
    plv-sim run soak-7.json --device /tmp/p --keep-going --verbose

    tests/soak/soak.py run --plv-sim build/default/simulator/plv-sim --seed 7 --steps 1000

A failed `run` keeps its scenario (soak-<seed>.json) and device in --keep-dir.
"""

import argparse
import json
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

LOG_LIMIT = 100000
# What one window's life may add to a log after the size check ran.
LOG_SLACK = 50000
SANITIZER_MARKS = ("ERROR: AddressSanitizer", "WARNING: ThreadSanitizer", "ERROR: LeakSanitizer",
                   "runtime error:", "ERROR: UndefinedBehaviorSanitizer")

# The demo phone's people (docs/scenarios.md): senders with and without a
# contact, and mail senders of the demo Address Book.
SMS_SENDERS = ["+393471234567", "+393337654321", "+393381112222", "+393205556666", "+15555550100"]
MAIL_SENDERS = ["Giulia Bianchi <giulia@example.com>", "ufficio@example.com"]
PICTURES = ["IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"]
# Preference keys of both products with values the settings application writes.
PREFERENCES = [
    ("PLV", "lockQR", ["0", "1"]),
    ("PLV", "ncqr", ["0", "1"]),
    ("PLV", "EIC", ["0", "1"]),
    ("PLV", "qrcolors", ["1 0.85 0.6", "0 0 0", "0.2 0.4 1"]),
    ("PLV", "qctextfield", ["1 1 1", "0.9 0.9 0.9"]),
    ("RDL", "qrcolors", ["0.5 0.5 0.5", "1 1 1"]),
]
COMPOSER = "it.kelvane.RDLComposer"
APPS = ["com.apple.MobileSMS", "com.apple.mobilemail", "it.kelvane.plvsettings"]
WORDS = ["ciao", "arrivo", "tra", "poco", "sì", "no", "stasera", "domani", "ok", "grazie", "😀", "è", "perché"]


class Generator:
    """Episodes of a person using the phone. Each send types a token of its
    own (`sk<seed>x<n>`), so the check can find every reply afterwards."""

    def __init__(self, seed):
        self.random = random.Random(seed)
        self.seed = seed
        self.steps = []
        self.sends = []  # {"token", "first", "last"}: step indexes (from 0) of the episode
        self.tokens = 0
        self.locked = False

    def add(self, step, **fields):
        fields["step"] = step
        self.steps.append(fields)
        if step == "lock":
            self.locked = True

    def unlocked(self):
        """As the page's Unlock: light the screen, slide the bar."""
        if self.locked:
            self.add("home")
            self.add("swipe", view="unlockSlider", velocity={"x": 1200, "y": 0})
            self.add("advance", seconds=0.5)
            self.locked = False

    def words(self):
        return " ".join(self.random.choice(WORDS) for _ in range(self.random.randint(1, 5)))

    def token(self):
        self.tokens += 1
        return f"sk{self.seed}x{self.tokens}"

    def reply_typed(self, first):
        token = self.token()
        self.add("type", text=f"{token} {self.words()}")
        if self.random.random() < 0.2:
            self.add("backspace", count=self.random.randint(1, 3))
        self.add("tap", view="sendButton", comment=f"send {token}")
        self.add("advance", seconds=1.5)
        self.sends.append({"token": token, "first": first, "last": len(self.steps) - 1})

    def reply_to_banner(self, receive):
        self.unlocked()
        first = len(self.steps)
        receive()
        self.add("tap", x=160, y=20, comment="the banner")
        self.add("advance", seconds=1.5)
        self.add("tap", view="sendButton", comment="Reply enlarges the panel")
        self.add("advance", seconds=0.5)
        if self.random.random() < 0.15:
            self.add("edit_menu", item="Attach picture")
            self.add("advance", seconds=0.5)
            self.add("tap", x=160, y=101, comment="the first picture")
            self.add("advance", seconds=1)
        if self.random.random() < 0.1:
            self.add("rotate", orientation=self.random.choice([1, 3, 4]))
        if self.random.random() < 0.1:
            self.add("tap", view="closeButton", comment="changed their mind")
            return
        self.reply_typed(first)

    def sms(self):
        return lambda: self.add("receive_sms", **{"from": self.random.choice(SMS_SENDERS), "text": self.words()})

    def imessage(self):
        fields = {"from": self.random.choice(SMS_SENDERS), "text": self.words()}
        if self.random.random() < 0.3:
            fields["picture"] = self.random.choice(PICTURES)
        return lambda: self.add("receive_imessage", **fields)

    def mail(self):
        return lambda: self.add("receive_mail", **{"from": self.random.choice(MAIL_SENDERS), "subject": self.words(), "body": self.words()})

    def compose(self):
        self.unlocked()
        first = len(self.steps)
        self.add("activator", listener=COMPOSER)
        self.add("advance", seconds=1)
        if self.random.random() < 0.3:
            self.add("tap", view="typeOfmessageButton", comment="SMS or iMessage")
        if self.random.random() < 0.4:
            # The message first, then a number no name holds.
            token = self.token()
            self.add("tap", view="replyField")
            self.add("type", text=f"{token} {self.words()}")
            self.add("tap", view="toField")
            self.add("type", text=f"+39 333 {self.random.randint(100, 999)} {self.random.randint(1000, 9999)}")
            self.add("tap", view="sendButton", comment=f"send {token}")
            self.add("advance", seconds=1.5)
            self.sends.append({"token": token, "first": first, "last": len(self.steps) - 1})
            return
        # A name, a favourite or a group from the drop-down: its first row.
        self.add("tap", view="toField")
        self.add("type", text=self.random.choice(["ros", "bia", "fer", "cena", "giu"]))
        self.add("tap", x=160, y=96, comment="the first row")
        if self.random.random() < 0.2:
            self.add("rotate", orientation=self.random.choice([3, 4]))
            self.add("rotate", orientation=1)
        self.reply_typed(first)

    def locked_reply(self):
        self.unlocked()
        first = len(self.steps)
        self.add("write_preference", key="lockQR", value="1")
        self.add("lock")
        self.sms()()
        # The quick reply opens over the lock screen, which stays.
        self.add("unlock_bulletin", index=0)
        self.add("advance", seconds=1)
        self.add("tap", view="sendButton")
        self.add("advance", seconds=0.5)
        self.reply_typed(first)

    def notification_centre(self):
        self.unlocked()
        first = len(self.steps)
        self.add("open_notification_center")
        self.add("tap_notification", index=self.random.choice([0, 0, 1]))
        self.add("advance", seconds=1.5)
        if self.random.random() < 0.5:
            self.add("tap", view="sendButton")
            self.add("advance", seconds=0.5)
            self.reply_typed(first)
        else:
            self.add("home")

    def settings_change(self):
        product, key, values = self.random.choice(PREFERENCES)
        self.add("write_preference", product=product, key=key, value=self.random.choice(values))

    def settings_app(self):
        self.unlocked()
        self.add("open_app", bundle="it.kelvane.plvsettings")
        self.add("tap", view=self.random.choice(["switch-lockQR", "switch-ncqr", "row-qrskin", "row-favorites"]))
        self.add("advance", seconds=1)
        self.add("home")

    def system_composer(self):
        """The preferences send replies through the system's composer for a while."""
        self.unlocked()
        self.add("write_preference", key="builtinSMS", value="1")
        self.sms()()
        self.add("tap", x=160, y=20, comment="the banner")
        self.add("advance", seconds=1.5)
        self.add("home")
        self.add("write_preference", key="builtinSMS", value="0")

    def device(self):
        if self.random.random() < 0.7:
            self.unlocked()
        choice = self.random.random()
        if choice < 0.3:
            self.add("rotate", orientation=self.random.randint(1, 4))
        elif choice < 0.45:
            self.add("lock")
        elif choice < 0.6:
            self.add("home")
        elif choice < 0.75:
            self.add("open_app", bundle=self.random.choice(APPS))
        elif choice < 0.85:
            self.add("quit_app", bundle=self.random.choice(APPS))
        else:
            self.add("tap", x=self.random.randint(0, 319), y=self.random.randint(0, 479))
        self.add("advance", seconds=self.random.choice([0, 0.3, 1, 6]))

    def generate(self, count):
        episodes = [
            (20, lambda: self.reply_to_banner(self.sms())),
            (10, lambda: self.reply_to_banner(self.imessage())),
            (8, lambda: self.reply_to_banner(self.mail())),
            (10, self.compose),
            (6, self.locked_reply),
            (6, self.notification_centre),
            (6, self.settings_change),
            (2, self.system_composer),
            (3, self.settings_app),
            (15, self.device),
            (6, lambda: (self.sms()(), self.add("advance", seconds=self.random.choice([0.5, 6])))),
        ]
        weights = [weight for weight, _ in episodes]
        # Replies are typed in the panels, not in the system composer.
        self.add("write_preference", key="builtinSMS", value="0")
        self.add("write_preference", key="builtinEmail", value="0", product="RDL")
        while len(self.steps) < count:
            self.random.choices(episodes, weights)[0][1]()
        # An episode cut off at the end would leave a send unchecked.
        while len(self.steps) > count and self.sends and self.sends[-1]["last"] >= count:
            self.sends.pop()
        del self.steps[count:]
        self.steps.append({"step": "advance", "seconds": 10})
        self.steps.append({"step": "dump"})
        return self.steps


def generate(seed, count):
    generator = Generator(seed)
    return generator.generate(count), generator.sends


def resident_kib(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def check(dump, sends, refused_steps, stderr):
    problems = []
    outgoing = [m for m in dump.get("messages", []) if m.get("outgoing")]
    mails = dump.get("outbox", [])
    logs = "".join(text or "" for path, text in dump.get("files", {}).items() if path.endswith(".log"))
    for send in sends:
        token = send["token"]
        # sk1x6 must not match sk1x60.
        holds = re.compile(re.escape(token) + r"(?![0-9])").search
        rows = [m for m in outgoing if holds(m.get("text") or "")]
        in_outbox = [m for m in mails if holds(m.get("body") or "")]
        addresses = [m.get("address") for m in rows]
        if len(addresses) != len(set(addresses)):
            problems.append(f"{token} went out twice to the same address: {addresses}")
        if rows or in_outbox:
            continue
        # Not sent: the phone must have said so – a step of the episode
        # refused, or the log telling about it.
        if any(send["first"] <= index <= send["last"] for index in refused_steps):
            continue
        if holds(logs):
            continue
        problems.append(f"{token} (steps {send['first'] + 1}–{send['last'] + 1}) was neither sent nor reported as not sent")
    for path, text in dump.get("files", {}).items():
        if path.endswith(".log") and text is not None and len(text.encode()) > LOG_LIMIT + LOG_SLACK:
            problems.append(f"{path} holds {len(text.encode())} bytes")
    for mark in SANITIZER_MARKS:
        if mark in stderr:
            problems.append(f"sanitizer report on standard error ({mark})")
    return problems


def run(arguments):
    steps, sends = generate(arguments.seed, arguments.steps)
    work = tempfile.mkdtemp(prefix="plv-soak-")
    failed = True
    try:
        scenario = os.path.join(work, f"soak-{arguments.seed}.json")
        with open(scenario, "w") as out:
            json.dump(steps, out, ensure_ascii=False, indent=0)
        device = os.path.join(work, "device")
        seed = subprocess.run([arguments.plv_sim, "seed", device, "--extensions", "parlivo,rendalo"], capture_output=True, text=True)
        if seed.returncode != 0:
            print(f"soak: seeding failed: {seed.stderr}", file=sys.stderr)
            return 1
        started = time.monotonic()
        process = subprocess.Popen([arguments.plv_sim, "run", scenario, "--device", device, "--keep-going"],
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        samples = []
        done = threading.Event()

        def sample():
            while not done.wait(0.02):
                kib = resident_kib(process.pid)
                if kib:
                    samples.append(kib)
        sampler = threading.Thread(target=sample)
        sampler.start()
        try:
            stdout, stderr = process.communicate(timeout=arguments.timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            stdout, stderr = process.communicate()
            stderr += f"\nsoak: no end after {arguments.timeout} s"
        done.set()
        sampler.join()
        elapsed = time.monotonic() - started

        problems = []
        if process.returncode != 0:
            problems.append(f"plv-sim run ended with status {process.returncode}")
        refused = {int(match) - 1 for match in re.findall(r": step (\d+) \(", stderr)}
        dumps = [line for line in stdout.splitlines() if line.startswith("{")]
        if not dumps:
            problems.append("no dump at the end")
        else:
            problems += check(json.loads(dumps[-1]), sends, refused, stderr)
        if not arguments.sanitized and len(samples) >= 20:
            # Flat after warm-up: the last fifth against the second fifth.
            fifth = len(samples) // 5
            early = max(samples[fifth:2 * fifth])
            late = max(samples[-fifth:])
            if late > early * 1.10 + 4096:
                problems.append(f"resident memory grew from {early // 1024} MiB to {late // 1024} MiB after warm-up")
        sent = sum(1 for send in sends if re.search(re.escape(send["token"]) + r"(?![0-9])", stdout))
        print(f"soak seed {arguments.seed}: {len(steps)} steps in {elapsed:.1f} s, {len(refused)} refused by the phone, "
              f"{len(sends)} sends ({sent} found sent), resident memory "
              f"{(max(samples) // 1024) if samples else 0} MiB at most")
        for problem in problems:
            print(f"soak: {problem}", file=sys.stderr)
        if problems:
            tail = "\n".join(line for line in stderr.splitlines() if not re.search(r": step \d+ \(", line))[-4000:]
            print(tail, file=sys.stderr)
        failed = bool(problems)
        return 1 if failed else 0
    finally:
        if failed and arguments.keep_dir:
            os.makedirs(arguments.keep_dir, exist_ok=True)
            kept = os.path.join(arguments.keep_dir, f"soak-{arguments.seed}")
            shutil.rmtree(kept, ignore_errors=True)
            shutil.copytree(work, kept, symlinks=True)
            print(f"soak: the scenario and the phone are kept in {kept}; rerun with\n"
                  f"  plv-sim run {kept}/soak-{arguments.seed}.json --device {kept}/device --keep-going --verbose", file=sys.stderr)
        shutil.rmtree(work, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    make = commands.add_parser("generate", help="write a scenario")
    make.add_argument("--seed", type=int, required=True)
    make.add_argument("--steps", type=int, default=1000)
    make.add_argument("-o", "--output", default="-")
    go = commands.add_parser("run", help="generate, run under plv-sim and check")
    go.add_argument("--plv-sim", required=True)
    go.add_argument("--seed", type=int, required=True)
    go.add_argument("--steps", type=int, default=1000)
    go.add_argument("--timeout", type=float, default=3600)
    go.add_argument("--sanitized", action="store_true", help="the build has a sanitizer: memory is not checked")
    go.add_argument("--keep-dir", default="", help="where a failed run's scenario and phone are kept")
    arguments = parser.parse_args()
    if arguments.command == "generate":
        steps, _ = generate(arguments.seed, arguments.steps)
        text = json.dumps(steps, ensure_ascii=False, indent=0)
        if arguments.output == "-":
            print(text)
        else:
            with open(arguments.output, "w") as out:
                out.write(text)
        return 0
    return run(arguments)


if __name__ == "__main__":
    sys.exit(main())

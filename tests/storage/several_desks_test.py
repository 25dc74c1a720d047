#!/usr/bin/env python3
"""Several desks on one PostgreSQL catalogue, each on a pipe: several_desks_test.py PROGRAM

In lock-step each desk shows what one desk shows, with its own selections; racing desks never
lend a copy twice; a killed desk keeps what it showed and blocks no one, nor does a desk whose
output is not read; a server stopped or down stops a desk with one line, never a password; a URI
libpq cannot read is a usage error."""

import concurrent.futures
import contextlib
import fcntl
import glob
import os
import random
import re
import select
import signal
import subprocess
import sys
import termios
import time

import postgres
from postgres_cluster import bin_dir

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "console"))
from run_session import waiting_for_input  # noqa: E402

PROGRAM = os.path.abspath(sys.argv[1])
DEADLINE = time.monotonic() + 100  # for the whole test, inside its CTest TIMEOUT
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def time_left(limit):
    if time.monotonic() > DEADLINE:
        raise TimeoutError("out of time")
    return min(limit, DEADLINE - time.monotonic())


def psql(uri, sql):
    """The rows psql prints for `sql`, one a line, the columns between '|'."""
    return subprocess.run([os.path.join(bin_dir(), "psql"), "-XAtq", "-v", "ON_ERROR_STOP=1",
                           "-d", uri, "-c", sql], stdin=subprocess.DEVNULL, capture_output=True,
                          text=True, timeout=time_left(10), check=True).stdout


def run(uri, typed=b"14\n"):
    return subprocess.run([PROGRAM, "--data", uri], input=typed, capture_output=True,
                          timeout=time_left(10))


class Desk:
    """A desk on a pipe, which shows the screens' text as typed lines are answered."""

    def __init__(self, uri, env=None):
        self.process = subprocess.Popen([PROGRAM, "--data", uri], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
        os.set_blocking(self.process.stdout.fileno(), False)
        self.shown = b""
        self.settle()

    def read(self):  # what the desk has written so far
        with contextlib.suppress(BlockingIOError):
            while block := os.read(self.process.stdout.fileno(), 65536):
                self.shown += block

    def settle(self, seconds=5):
        """Whether the desk has answered all that was typed and waits for a line, in `seconds`."""
        deadline = time.monotonic() + time_left(seconds)
        while time.monotonic() < deadline:
            waiting = waiting_for_input(self.process.pid, self.process.stdin.fileno())
            self.read()  # all it wrote before it waited
            if waiting or self.process.poll() is not None:
                return waiting
            time.sleep(0.002)
        return False

    def type(self, text):
        with contextlib.suppress(BrokenPipeError):  # a desk that stopped: its checks tell
            self.process.stdin.write(text)
            self.process.stdin.flush()

    def lines(self, text):
        """What the desk shows for the last line of `text` ("|" between lines), each typed once
        the desk waits for it; the menu shown after it left out. None if it stopped."""
        for line in text.split("|"):
            start = len(self.shown)
            self.type(line.encode() + b"\n")
            waits = self.settle()
        return re.sub(MENU, "", self.shown[start:].decode(), flags=re.S) if waits else None

    def finish(self, typed=b"14\n"):
        self.type(typed)
        try:
            out, errors = self.process.communicate(timeout=time_left(10))
        except subprocess.TimeoutExpired:
            self.process.kill()
            out, errors = self.process.communicate()
        return subprocess.CompletedProcess(self.process.args, self.process.returncode,
                                           self.shown + out, errors)


# The main menu or the item menu, shown again once a screen is done.
MENU = r"\n(Shelvoranquist|Add/Delete item) +\n=+ +\n.*selection : $"
FAKETIME = glob.glob("/usr/lib/*/faketime/libfaketime.so.1") or sys.exit(
    "libfaketime is not installed (Debian package faketime)")
# Every stamp the desks make and show is the same, whenever the test runs.
FROZEN_CLOCK = dict(os.environ, TZ="UTC", FAKETIME="2026-12-08 09:00:00", LD_PRELOAD=FAKETIME[0],
                    ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0")
NAMES = {101: "Ann", 102: "Bob", 103: "Cy"}
TITLES = {"B1": "Hamlet", "B2": "Hamlet", "B3": "Lear", "B4": "Othello"}


def member(card):
    name = NAMES.get(card, f"M{card}")
    return f"1|{name}|{card} Mill Lane|555 0{card}|{name.lower()}@example.org|{card}"


def typed(lines):
    return lines.replace("|", "\n").encode() + b"\n"


def book(code):
    return f"1|{code}|{TITLES[code]}|Shakespeare|14"


def details(card, borrowed=(), held=()):
    def entries(label, codes):
        return "".join(f"{label}{code} {TITLES[code]} Due date :9:0am  {day}/12/2026"
                       for code, day in codes)
    return (f"===================\nMEMBER         : {NAMES[card]}\nAddress        : {card} Mill "
            f"Lane\nPhone Number   : 555 0{card}\nE_Mail Address : {NAMES[card].lower()}@example."
            f"org\nLibrary Number : {card}\n\n{entries('Books borrowed = ', borrowed)}\n"
            f"{entries('Books hold     = ', held)}\n===================\n")


def refused_loan(reason, *similar):
    line = "=" * 22
    shown = "".join(f"{line}\nThe details of the Book:  \nTitle       :{TITLES[code]}\nCall number"
                    f" :{code}\nAuthor's Name\t:Shakespeare\n{line}\n" for code in similar)
    return (f"\nBORROWER CANNOT BORROW THIS BOOK BECAUSE : \n{' ' * 23}THIS BOOK {reason} !\n"
            f"SIMILAR TITLE THAT AVAILABLE IN LIBRARY : \n{shown}")


# (desk, the lines it types one at a time, what it shows for the last one or None): what one
# desk shows for that line after all lines so far, typed into it with this desk's selections.
LOCK_STEP = [
    (0, member(101)[:-4], None),  # Ann's screen is left half typed ...
    (1, "5|" + book("B1"), None),  # ... while another desk adds a book
    (0, f"101|{member(102)}|{member(103)}", ""),
    (1, "|".join(map(book, ("B2", "B3", "B4"))) + "|6", "\n"),
    (2, "2|3|101", details(101)),  # what two other desks added
    (2, "6|B1", ""),
    (0, "2|1|102|6|B1", ""),
    (2, "7", "\n" + details(101, borrowed=[("B1", 22)])),
    (0, "7", refused_loan("BORROWED BY OTHER MEMBER", "B1", "B2")),
    (1, "2|1|103|6|B2|9", "\n" + details(103, held=[("B2", 9)])),
    (0, "6|B2|7", refused_loan("HOLD BY OTHER MEMBER", "B1")),
    (2, "6|B1|8", "\n" + details(101)),
    (0, "6|B1|7", "\n" + details(102, borrowed=[("B1", 22)])),
    (2, "6|B3", ""),
    (1, "2|1|101|3", "\n"),  # Ann removed while another desk has her selected
    (2, "7", "\nA MEMBER MUST BE SELECTED BEFORE BORROW AN ITEM!\n"),
    (0, "6|B3", ""),
    (1, "5|5|B3", "Journal NOT FOUND!\nBOOK HAS BEEN REMOVED!\n"),  # while selected elsewhere
    (0, "7", "\nITEM NOT FOUND!\n"),
    (0, "12|1|1|B4", None),  # the hold question waits while another desk removes the book
    (1, "6|5|5|B4|6", "\n"),
    (0, "y", "BOOK NOT FOUND!\n"),
    (3, "2|3|102", details(102, borrowed=[("B1", 22)])),  # a desk started last loads it all
    (3, "2|3|103", details(103, held=[("B2", 9)])),
    (3, "2|3|101", "A MEMBER MUST BE SELECTED BEFORE BORROW AN ITEM!\nMEMBER NOT FOUND!\n"),
]


def desks_in_lock_step():
    uri = postgres.fresh_database("lock_step")
    desks = [Desk(uri, FROZEN_CLOCK) for _ in range(4)]
    for number, (desk, lines, expected) in enumerate(LOCK_STEP):
        shown = desks[desk].lines(lines)
        check(expected is None and shown is not None or shown == expected,
              f"step {number}, desk {desk}: {lines!r} shows {shown!r}, not {expected!r}")
    created = f"shelvoranquist: {uri}: new catalogue created\n"
    for number, desk in enumerate(desks):
        result = desk.finish()
        check((result.returncode, result.stderr.decode()) == (0, created if number == 0 else ""),
              f"desk {number} ends with {result.returncode} {result.stderr!r}")


def desks_racing_for_the_same_copies(seed=2026, operations=60):
    """Each desk borrows and returns copies at random for its member: per copy the loans and
    returns shown as done alternate, and leave the loan the table holds."""
    uri = postgres.fresh_database("races")
    copies = ("B1", "B2", "B3")
    run(uri, typed("|".join([*map(member, NAMES), "5", *map(book, copies), "6", "14"])))
    desks = [Desk(uri) for _ in NAMES]
    starts = [len(desk.shown) if desk.lines(f"2|1|{card}") == "" else 0
              for desk, card in zip(desks, NAMES)]

    def race(number):  # read from until it ends, as a desk writes while it holds the catalogue
        chooser, desk = random.Random(seed + number), desks[number]
        plan = [(chooser.choice(copies), chooser.choice("78")) for _ in range(operations)]
        for code, action in plan:
            desk.type(f"6\n{code}\n{action}\n".encode())
            desk.read()
            time.sleep(chooser.random() * 0.005)
        return plan, desk.finish()
    with concurrent.futures.ThreadPoolExecutor(len(desks)) as pool:
        raced = list(pool.map(race, range(len(desks)), timeout=time_left(20)))
    balance = dict.fromkeys(copies, 0)
    for number, (start, (plan, result)) in enumerate(zip(starts, raced)):
        answers = result.stdout[start:].split(b"selection : ")[1::2]  # each after a selection
        check((result.returncode, result.stderr, len(answers)) == (0, b"", operations),
              f"racing desk {number}: {len(answers)} answers, {result.returncode} {result.stderr}")
        for (code, action), answer in zip(plan, answers):
            done = b"MEMBER         : " in answer
            refusal = b"BORROWED BY OTHER MEMBER" if action == "7" else b"IS NOT ON LOAN"
            check(done != (refusal in answer), f"racing desk {number}: {action} of {code} shows "
                  f"{answer[:200]!r}")
            balance[code] += (1 if action == "7" else -1) if done else 0
    # Every loan names a stored book and member, each book at most once.
    lent = psql(uri, "SELECT convert_from(bar_code, 'UTF8') FROM loans JOIN books ON books.id = "
                     "book_id JOIN members ON members.id = member_id").split()
    loans = int(psql(uri, "SELECT count(*) FROM loans"))
    check(all(balance[code] == lent.count(code) in (0, 1) for code in copies)
          and loans == len(lent), f"loans less returns shown {balance}; loans kept {lent}")


def desk_killed_inside_a_stream_of_changes(rounds=8):
    """Killed once it shows a chosen loan or return done by the member's details, while more
    stream in or at the prompt that follows; then a desk started at once. The killed desks are
    forgotten as changes go on."""
    uri = postgres.fresh_database("killed")
    run(uri, typed(f"{member(101)}|5|{book('B1')}|6|14"))
    chooser = random.Random(7)
    kept, lent = 2, False  # the changes kept, and whether B1 is lent
    for round_number in range(rounds):
        desk = Desk(uri)
        start = len(desk.shown) if desk.lines("2|1|101") == "" else 0
        target, deadline = chooser.randint(1, 10), time.monotonic() + time_left(5)
        streamed = 20 if round_number % 2 else target
        desk.type(typed("|".join(["6|B1|7", "6|B1|8"][(lent + n) % 2] for n in range(streamed))))
        while desk.shown[start:].count(b"MEMBER  ") < target and time.monotonic() < deadline:
            select.select([desk.process.stdout], [], [], 0.1)
            desk.read()
        if streamed == target:
            desk.settle()
        desk.process.send_signal(signal.SIGKILL)
        desk.process.wait(timeout=time_left(5))
        desk.read()
        shown = desk.shown[start:].count(b"MEMBER  ")
        changes, loans = map(int, psql(uri, "SELECT last_change, (SELECT count(*) FROM loans) "
                                            "FROM shelvoranquist").split("|"))
        lent ^= (changes - kept) % 2 == 1
        check(shown <= changes - kept <= shown + 1 and loans == lent, f"round {round_number}: "
              f"{shown} shown as done, {changes - kept} kept, {loans} loans")
        kept, started, after = changes, time.monotonic(), Desk(uri)
        shown, result = after.lines("2|3|101") or "", after.finish()
        check(("Books borrowed = B1" in shown) == lent and time.monotonic() - started < 5
              and (result.returncode, result.stderr) == (0, b""), f"round {round_number}: the "
              f"next desk shows {shown!r} in {time.monotonic() - started:.1f} s: {result}")
    # The killed desks never left the list of running desks: as changes go on they are forgotten,
    # and the log keeps only what a running desk has yet to apply.
    run(uri, typed("|".join(f"{member(card)}|2|1|{card}|3" for card in range(200, 260)) + "|14"))
    left = psql(uri, "SELECT (SELECT count(*) FROM desks), (SELECT count(*) FROM changes)")
    check(left == "0|1\n", f"desks listed and changes logged after 120 more changes: {left!r}")


def desk_whose_screen_is_not_read():
    """A desk whose terminal stops reading waits to write with the catalogue let go: another
    desk starts and answers at once."""
    uri = postgres.fresh_database("unread")
    run(uri)
    unread = subprocess.Popen([PROGRAM, "--data", uri], stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    try:
        unread.stdin.write(b"0\n" * 1000)  # each line shows the menu again: more than a pipe holds
        unread.stdin.flush()
        waiting, deadline = bytearray(4), time.monotonic() + time_left(5)
        while time.monotonic() < deadline and int.from_bytes(waiting, sys.byteorder) < 60000:
            fcntl.ioctl(unread.stdout.fileno(), termios.FIONREAD, waiting)
            time.sleep(0.01)
        started, other = time.monotonic(), Desk(uri)  # its first prompt within 5 s, or never
        shown = other.lines(member(101)) if other.settle(0.1) else None
        check(shown == "" and time.monotonic() - started < 5,
              f"the other desk shows {shown!r} after {time.monotonic() - started:.1f} s")
    finally:
        unread.kill()
        unread.wait()
    result = other.finish()
    check((result.returncode, result.stderr) == (0, b""), f"the other desk ends with {result}")


def connection_lost_inside_a_commit():
    """A desk whose connection is lost while it commits says that the change may or may not be
    kept."""
    uri = postgres.fresh_database("in_doubt")
    run(uri)
    blocker = subprocess.Popen([os.path.join(bin_dir(), "psql"), "-XAtq", "-d", uri],
                               stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    blocker.stdin.write("BEGIN; LOCK TABLE shelvoranquist IN SHARE MODE; SELECT 1;\n")
    blocker.stdin.flush()
    blocker.stdout.readline()  # the desk's commit waits for this lock
    desk = Desk(uri)
    desk.type(typed(member(101)))
    waiting = "SELECT pid FROM pg_locks WHERE NOT granted"
    while not psql(uri, waiting):
        time.sleep(0.01)
    psql(uri, f"SELECT pg_terminate_backend(pid) FROM ({waiting}) AS committing")
    result = desk.finish()
    blocker.communicate("ROLLBACK;\n", timeout=time_left(10))
    check(result.returncode == 1 and b"may or may not be kept" in result.stderr,
          f"a commit cut off: {result}")


def stopped(result, printable):
    """Whether the desk stopped with status 1 and one line naming `printable`, no password."""
    return result.returncode == 1 and b"secret" not in result.stderr and re.fullmatch(
        f"shelvoranquist: {re.escape(printable)}: [^\n]+\n", result.stderr.decode())


def server_stopped_under_a_waiting_desk():
    base = postgres.fresh_database("stopped")
    check(run(base).returncode == 0, "the catalogue is made")
    desk = Desk(base + "&password=secret")
    desk.lines(member(201) + "|" + member(202))
    postgres.stop_server("fast")
    try:
        shown_before, started = len(desk.shown), time.monotonic()
        result = desk.finish(b"4\n")
        check(stopped(result, base) and result.stdout[shown_before:] == b""
              and time.monotonic() - started < 5, f"the next line stops the desk: {result}")
    finally:
        postgres.start_server()
    again = run(base, typed("2|3|202|14"))
    check(psql(base, "SELECT library_number FROM members ORDER BY id") == "201\n202\n"
          and b"Library Number : 202" in again.stdout, "every member shown as added is kept")


def passwords_and_unreadable_uris():
    base = postgres.fresh_database("passwords")
    named = [(base.replace("///", "//nobody:secret@/"), base.replace("///", "//nobody@/")),
             (base + "&password=secret", base), (base + "&pass%77ord=secret", base)]
    postgres.stop_server("fast")
    try:
        for uri, printable in named:
            started, result = time.monotonic(), run(uri)
            check(stopped(result, printable) and not result.stdout
                  and time.monotonic() - started < 5, f"server down: {uri}: {result}")
    finally:
        postgres.start_server()
    for uri, printable in named:  # refused or trusted
        result = run(uri)
        check(stopped(result, printable) or result.stderr in (
            b"", f"shelvoranquist: {printable}: new catalogue created\n".encode()),
            f"server up: {uri}: {result}")
    for uri in ("postgresql://[::1", "postgresql://u:secret@[::1", base + "&password=secret%"):
        result = run(uri)
        check(result.returncode == 2 and "secret" not in result.stderr.decode() and re.fullmatch(
            "shelvoranquist: not a database URI: [^\n]+; usage: shelvoranquist [^\n]+\n",
            result.stderr.decode()), f"{uri}: {result}")


def main():
    for part in (desks_in_lock_step, desks_racing_for_the_same_copies,
                 desk_killed_inside_a_stream_of_changes, desk_whose_screen_is_not_read,
                 connection_lost_inside_a_commit, server_stopped_under_a_waiting_desk,
                 passwords_and_unreadable_uris):
        part()
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""The built program on a data file, where it meets the operating system.

    data_file_test.py PROGRAM

The command line; a new file, private to its owner; one desk per file while readers still
read, and of two started at once; files it must refuse, left as they were; a file size limit
reached during the run or a new file; the file removed while a desk runs; and SIGKILL while
changes stream in, after which every change shown as done is in the file.
"""

import hashlib
import os
import random
import resource
import select
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time

PROGRAM = os.path.abspath(sys.argv[1])
MENU_PROMPT = b"selection : "
DEADLINE = time.monotonic() + 90  # for the whole test, inside its CTest TIMEOUT
failures = []


def time_left(limit):
    if time.monotonic() > DEADLINE:
        raise TimeoutError("out of time")
    return min(limit, DEADLINE - time.monotonic())


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def run(args, typed=b"", stdout=subprocess.PIPE, **options):
    return subprocess.run([PROGRAM, *args], input=typed, stdout=stdout, stderr=subprocess.PIPE,
                          timeout=time_left(10), **options)


def add_member(n):
    return b"1\nMember %d\n%d Mill Lane\n555 %04d\nm%d@example.org\n%d\n" % (n, n, n, n, n)


def add_book(n):
    return b"5\n1\nB%d\nTitle %d\nAuthor %d\n14\n6\n" % (n, n, n)


STOCK = (add_member(1) + add_member(2) + add_book(1) + add_book(2)
         + b"2\n1\n1\n6\nB1\n7\n2\n1\n2\n6\nB1\n9\n6\nB2\n7\n14\n")


class Desk:
    """A desk running on a pipe, answered one prompt at a time."""

    def __init__(self, args, preexec_fn=None):
        self.process = subprocess.Popen([PROGRAM, *args], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        preexec_fn=preexec_fn)
        self.shown = b""

    def wait_for(self, text, count=1, needed=True):
        deadline = time.monotonic() + time_left(5)  # under a sanitizer too
        while self.shown.count(text) < count:
            ready, _, _ = select.select([self.process.stdout], [], [], 0.5)
            if ready:
                block = os.read(self.process.stdout.fileno(), 65536)
                if not block:
                    break
                self.shown += block
            if time.monotonic() > deadline:
                break
        if needed and self.shown.count(text) < count:
            raise TimeoutError(f"{text!r} not shown {count} times: ...{self.shown[-80:]!r}")
        return self.shown.count(text) >= count

    def type(self, text):
        self.process.stdin.write(text)
        self.process.stdin.flush()

    def finish(self, text=b"14\n"):
        out, err = self.process.communicate(text, timeout=time_left(30))
        return self.process.returncode, self.shown + out, err.decode()


def digest(path):
    with open(path, "rb") as file:
        return hashlib.sha256(file.read()).hexdigest()


def command_line(folder):
    path = os.path.join(folder, "never.db")
    cases = [(["--data"], "--data needs a file"), (["--data="], "--data needs a file"),
             (["-d", path], "unknown option '-d'"), (["stray"], "unexpected argument 'stray'"),
             (["--it's\x1b\x7f\n"], "unknown option '--it'\\''s'$'\\033\\177\\n'"),
             (["--data", path, "--data", path], "--data given twice"),
             (["--data", path, "extra"], "unexpected argument 'extra'"),
             (["--copy-to", path], "--copy-to needs --data, the records to copy"),
             (["--data", path, "--copy-to="], "--copy-to needs a file"),
             (["--data", path, "--copy-to", path + "2", "--copy-to", path + "3"],
              "--copy-to given twice")]
    usage = "usage: shelvoranquist [--data FILE|URI [--copy-to FILE|URI]] [--help] [--version]"
    for args, fault in cases:
        result = run(args)
        check((result.returncode, result.stdout, result.stderr.decode())
              == (2, b"", f"shelvoranquist: {fault}; {usage}\n"), f"{args}: {result}")
    full_disk = b"shelvoranquist: cannot write to standard output: No space left on device\n"
    for args in (["--help"], ["--version"]):
        with open("/dev/full", "wb") as full:
            result, failed = run(args), run(args, stdout=full)
        check((result.returncode, result.stderr, failed.returncode, failed.stderr)
              == (0, b"", 1, full_disk) and result.stdout, f"{args}: {result} {failed}")
    both = run(["--help", "--version"]).stdout
    check(both == run(["--help"]).stdout + run(["--version"]).stdout, "--help --version")
    check(not os.path.exists(path), "no file is created")


def new_file_is_private_and_held_by_one_desk(folder):
    for mask in (0o000, 0o022, 0o277):
        path = os.path.join(folder, f"umask\t{mask:o}.db")
        quoted = f"'{folder}/umask'$'\\t''{mask:o}.db'"  # as messages name it
        desk = Desk(["--data", path], preexec_fn=lambda: os.umask(mask))
        check(desk.wait_for(MENU_PROMPT), "the desk starts on a new file")
        desk.type(add_member(1))
        check(desk.wait_for(MENU_PROMPT, 2), "the desk adds a member")
        for name in (path, path + "-wal", path + "-shm"):
            mode = os.stat(name).st_mode & 0o777 if os.path.exists(name) else None
            check(mode == 0o600, f"umask {mask:o}: {os.path.basename(name)} has mode {mode}")
        second = run(["--data", path], b"1\nIntruder\nA\n1\na@b\n9\n14\n")
        check(second.returncode == 1 and not second.stdout
              and second.stderr.decode() == f"shelvoranquist: {quoted}: in use by another "
                                            "shelvoranquist desk\n",
              f"a second desk is refused: {second.returncode} {second.stderr!r}")
        reader = sqlite3.connect(f"file:{path}?mode=ro", uri=True)
        names = [row[0] for row in reader.execute("SELECT name FROM members ORDER BY id")]
        reader.close()
        check(names == ["Member 1"], f"a reader sees what the desk has kept: {names}")
        desk.type(add_member(2))
        status, shown, errors = desk.finish()
        check(status == 0 and errors == f"shelvoranquist: {quoted}: new data file created\n",
              f"the first desk goes on undisturbed: {status} {errors!r}")
        again = run(["--data", path], b"2\n3\n2\n14\n")
        check(again.returncode == 0 and not again.stderr and b"Member 2" in again.stdout,
              "a second run starts from the records, silently")


def two_desks_started_at_once_on_a_new_name(folder, rounds=100):
    for path in (os.path.join(folder, f"race{n}.db") for n in range(rounds)):
        desks = [Desk(["--data", path]) for _ in range(2)]
        started = [desk.wait_for(MENU_PROMPT, needed=False) for desk in desks]
        results = sorted(desk.finish(b"")[::2] for desk in desks)
        check(started.count(True) == 1 and os.path.isfile(path) and results[0][0] == 0 and
              results[1] == (1, f"shelvoranquist: {path}: in use by another shelvoranquist desk\n"),
              results)


def stocked_file(folder, name):
    path = os.path.join(folder, name)
    result = run(["--data", path], STOCK)
    assert result.returncode == 0, result.stderr
    return path


def edited(folder, name, *statements):
    path = stocked_file(folder, name)
    database = sqlite3.connect(path)
    database.execute("PRAGMA ignore_check_constraints = ON")
    for statement in statements:
        database.execute(statement)
    database.commit()
    database.close()
    return path


def bad_files_are_refused_and_left_as_they_were(folder):
    other = os.path.join(folder, "other.db")
    database = sqlite3.connect(other)
    database.execute("CREATE TABLE notes (text TEXT)")
    database.close()
    text = os.path.join(folder, "text.db")
    with open(text, "w") as file:
        file.write("members: Ann, Bob\n" * 100)
    truncated = stocked_file(folder, "truncated.db")
    os.truncate(truncated, os.path.getsize(truncated) // 2)
    dangling, fifo = os.path.join(folder, "dangling.db"), os.path.join(folder, "fifo.db")
    os.symlink("nowhere.db", dangling)
    os.mkfifo(fifo)
    garbled = stocked_file(folder, "garbled.db")
    with open(garbled, "r+b") as file:
        file.seek(4096)  # the members table's page
        file.write(random.Random(7).randbytes(4096))
    cases = [
        (text, "file is not a database"),
        (other, "not a shelvoranquist data file"),
        (edited(folder, "newer.db", "PRAGMA user_version = 4"), "newer shelvoranquist"),
        (edited(folder, "version0.db", "PRAGMA user_version = 0"),
         "damaged: it names no data version"),
        (folder, "Is a directory"),
        (dangling, "a symbolic link to nothing"),
        (fifo, "not a regular file"),
        ("/dev/null", "not a regular file"),
        (truncated, "malformed"),
        (garbled, "damaged: Page 2: "),
        (edited(folder, "gone.db", "DELETE FROM books WHERE bar_code = 'B1'"),
         "loans row 1: book_id names no stored item"),
        (edited(folder, "month.db", "UPDATE books SET due_month = 13"), "due_month is 13"),
        (edited(folder, "day.db", "UPDATE books SET due_month = 4, due_day = 31"),
         "due_day is 31, not from 1 to 30"),
        (edited(folder, "hour.db", "UPDATE books SET due_hour = 24"), "due_hour is 24"),
        (edited(folder, "length.db", "UPDATE books SET loan_days = -1"), "CHECK constraint failed"),
        (edited(folder, "loose.db", "DROP TABLE videos",
                "CREATE TABLE videos (id INTEGER PRIMARY KEY, bar_code, title, director, rating,"
                " loan_days, due_year, due_month, due_day, due_hour, due_minute)"),
         "damaged: its tables are not those of a shelvoranquist data file"),
        (edited(folder, "trigger.db", "CREATE TRIGGER rename AFTER INSERT ON loans BEGIN"
                " UPDATE books SET title = 'Gone'; END"), "holds trigger"),
        (edited(folder, "card.db", "UPDATE members SET library_number = 1 << 40"),
         "library_number is 1099511627776"),
        (edited(folder, "both.db", "UPDATE holds SET cd_id = 1"), "CHECK constraint failed"),
        (edited(folder, "member.db", "UPDATE holds SET member_id = 99"), "names no member"),
        (edited(folder, "unindexed.db", "DELETE FROM search_words WHERE rowid = 2"),
         "damaged: its search index does not match its items"),
        (edited(folder, "misindexed.db", "UPDATE search_entries SET item_id = 9 WHERE id = 2"),
         "damaged: its search index does not match its items"),
    ]
    for path, reason in cases:
        before = digest(path) if os.path.isfile(path) else None
        result = run(["--data", path], b"14\n")
        errors = result.stderr.decode()
        check(result.returncode == 1 and not result.stdout
              and errors.startswith(f"shelvoranquist: {path}: ") and reason in errors
              and errors.count("\n") == 1,
              f"{os.path.basename(path)}: refused for '{reason}': {result.returncode} {errors!r}")
        check(before is None or digest(path) == before, f"{os.path.basename(path)}: left as it was")
    if os.geteuid() == 0:  # root reads any file: the desk runs as nobody instead
        locked = stocked_file(folder, "locked.db")
        os.chmod(folder, 0o755)
        program = shutil.copy(PROGRAM, folder)  # nobody may not reach the build tree
        result = subprocess.run([program, "--data", locked], input=b"14\n", capture_output=True,
                                timeout=time_left(10), user=65534, group=65534, extra_groups=[])
    else:
        locked = stocked_file(folder, "locked.db")
        os.chmod(locked, 0o400)
        result = run(["--data", locked], b"14\n")
    check(result.returncode == 1 and b"Permission denied" in result.stderr,
          f"a file that cannot be written is refused: {result.returncode} {result.stderr!r}")


def file_size_limit_during_the_run(folder):
    path = os.path.join(folder, "limited.db")
    typed = b"".join(add_member(n) for n in range(1, 400)) + b"14\n"
    result = subprocess.run(["prlimit", "--fsize=300000", PROGRAM, "--data", path], input=typed,
                            capture_output=True, timeout=time_left(60))
    errors = result.stderr.decode().splitlines()
    check(result.returncode == 1 and len(errors) == 2 and errors[1].startswith(
        f"shelvoranquist: {path}: "), f"a full file stops the run: {result.returncode} {errors}")
    shown_done = result.stdout.count(MENU_PROMPT) - 1
    kept = sqlite3.connect(path).execute("SELECT count(*) FROM members").fetchone()[0]
    check(0 < shown_done == kept, f"{shown_done} members shown as added, {kept} kept")
    for limit in (2048, 4096, 20000):  # too small for a new file: none is left behind
        new = run(["--data", f"{path}{limit}"], b"14\n",
                  preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit)))
        left = [name for name in os.listdir(folder) if name.startswith(f"limited.db{limit}")]
        check(new.returncode == 1 and new.stderr.count(b"\n") == 1 and not left, f"{new} {left}")


def file_removed_or_replaced_while_the_desk_runs(folder):
    for change, reason in ((os.remove, "removed"), (lambda path: os.replace(
            stocked_file(folder, "replacement.db"), path), "replaced by another file")):
        path = stocked_file(folder, f"{reason[:7]}.db")
        desk = Desk(["--data", path])
        desk.wait_for(MENU_PROMPT)
        desk.type(add_member(3))
        desk.wait_for(MENU_PROMPT, 2)
        change(path)
        status, shown, errors = desk.finish(add_member(4))
        check((status, shown.count(MENU_PROMPT), errors) == (1, 2, f"shelvoranquist: {path}: "
              f"{reason} while the desk was using it\n"), f"{reason}: {status} {errors!r}")


def killed_while_changes_stream_in(folder, rounds=12):
    chooser = random.Random(2026)
    for round_number in range(rounds):
        path = os.path.join(folder, f"killed{round_number}.db")
        desk = Desk(["--data", path])
        confirmed = 0
        desk.wait_for(MENU_PROMPT)
        for n in range(1, chooser.randint(3, 25)):
            desk.type(add_member(n))
            if desk.wait_for(MENU_PROMPT, n + 1):
                confirmed = n
        desk.type(add_member(confirmed + 1))
        time.sleep(chooser.random() * 0.003)
        desk.process.send_signal(signal.SIGKILL)
        desk.process.wait()
        desk.shown += desk.process.stdout.read()
        confirmed = max(confirmed, desk.shown.count(MENU_PROMPT) - 1)
        after = run(["--data", path], b"14\n")
        kept = sqlite3.connect(path).execute("SELECT count(*) FROM members").fetchone()[0]
        check(after.returncode == 0 and confirmed <= kept <= confirmed + 1,
              f"killed after {confirmed} changes shown as done: {kept} kept, "
              f"restart {after.returncode} {after.stderr!r}")


def each_change_is_on_disk_before_it_is_shown(folder):
    """Between the menus that follow three changes, the log is flushed each time; and a file
    another program turned to a rollback journal keeps the write-ahead log again."""
    path = edited(folder, "flushed.db", "PRAGMA journal_mode = DELETE")
    log = os.path.join(folder, "flushed.strace")
    typed = add_member(3) + add_member(4) + add_member(5) + b"14\n"
    result = subprocess.run(["strace", "-f", "-qq", "-e", "trace=write,fsync,fdatasync", "-o", log,
                             PROGRAM, "--data", path], input=typed, capture_output=True,
                            timeout=time_left(20),
                            # LeakSanitizer cannot run under a tracer.
                            env={**os.environ, "ASAN_OPTIONS": "detect_leaks=0"})
    events = []
    with open(log) as trace:
        for line in trace:
            if "fsync(" in line or "fdatasync(" in line:
                events.append("flush")
            elif 'write(1, "Shelvoranquist' in line:
                events.append("menu")
    menus = [at for at, event in enumerate(events) if event == "menu"]
    unflushed = [n for n, (start, end) in enumerate(zip(menus, menus[1:]), 1)
                 if "flush" not in events[start:end]]
    check(result.returncode == 0 and len(menus) == 4 and not unflushed,
          f"each change flushed before the next menu: {len(menus)} menus, unflushed {unflushed}, "
          f"status {result.returncode} {result.stderr[-200:]!r}")
    mode = sqlite3.connect(path).execute("PRAGMA journal_mode").fetchone()[0]
    check(mode == "wal", f"the file keeps a write-ahead log again: {mode}")


def main():
    folder = tempfile.mkdtemp(prefix="shelvoranquist-data-")
    try:
        command_line(folder)
        new_file_is_private_and_held_by_one_desk(folder)
        two_desks_started_at_once_on_a_new_name(folder)
        bad_files_are_refused_and_left_as_they_were(folder)
        file_size_limit_during_the_run(folder)
        each_change_is_on_disk_before_it_is_shown(folder)
        file_removed_or_replaced_while_the_desk_runs(folder)
        killed_while_changes_stream_in(folder)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

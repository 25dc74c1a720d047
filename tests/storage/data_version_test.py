#!/usr/bin/env python3
"""The built program on the data files that data versions 1 and 2 wrote.

    data_version_test.py PROGRAM

A file of data version 1 or 2 is upgraded to version 3 once, record for record and display for
display, and then keeps the rules in its tables; a file that breaks a rule, holds anything that
is not the desk's own, or is not UTF-8 is refused and left as it was, its write-ahead log
included; a member deleted behind a running desk stops the loan made to it.
"""

import contextlib
import hashlib
import os
import re
import select
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import time

PROGRAM = os.path.abspath(sys.argv[1])
FIXTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data_version_1")
DESK = os.path.join(FIXTURES, "desk.db")
MENU_PROMPT = b"selection : "
# A desk starts on a small file in milliseconds; a run that takes longer has hung.
TIMEOUT = 10
TABLES = ("members", "books", "cds", "journals", "videos", "loans", "holds")
# The most characters each text column keeps, as the screens take them.
LIMITS = {
    "members": {"name": 49, "address": 99, "phone_number": 49, "email_address": 254},
    "books": {"bar_code": 49, "title": 49, "author": 49},
    "cds": {"bar_code": 49, "title": 49, "artist": 49, "play_time": 49},
    "journals": {"bar_code": 49, "title": 49, "editor": 49, "table_of_contents": 149},
    "videos": {"bar_code": 49, "title": 49, "director": 49, "rating": 19},
}
# Things another program may have put into a file, none of them the desk's own.
EXTRAS = [
    ("table", "notes", "CREATE TABLE notes (text TEXT)"),
    ("view", "lenders", "CREATE VIEW lenders AS SELECT name FROM members"),
    ("index", "cards", "CREATE UNIQUE INDEX cards ON members (library_number)"),
    ("trigger", "rename",
     "CREATE TRIGGER rename AFTER INSERT ON loans BEGIN UPDATE books SET title = 'Gone'; END"),
]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def run(path, typed=b"14\n", limit=()):
    try:
        return subprocess.run([*limit, PROGRAM, "--data", path], input=typed,
                              capture_output=True, timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        return subprocess.CompletedProcess([], None, b"", b"still running")


@contextlib.contextmanager
def opened(path):
    """A connection as the sqlite3 shell makes it: foreign keys off, each statement committed."""
    database = sqlite3.connect(path, isolation_level=None)
    database.text_factory = bytes  # names that are not UTF-8 come back as stored
    try:
        yield database
    finally:
        database.close()


def refused(database, statement, value, word):
    try:
        database.execute(statement, (value,))
        return False
    except sqlite3.IntegrityError as error:
        return word in str(error)


def records(path):
    """Every row of every table of data version 1, in the columns that version has."""
    with opened(DESK) as fixture, opened(path) as database:
        found = {}
        for table in TABLES:
            columns = ", ".join(row[1].decode() for row in
                                fixture.execute(f"PRAGMA table_info({table})"))
            found[table] = database.execute(f"SELECT {columns} FROM {table} ORDER BY id").fetchall()
        return found


def pragma(path, name):
    with opened(path) as database:
        return database.execute(f"PRAGMA {name}").fetchone()[0]


def digests(folder):
    """The files of the folder, with the digests of their contents."""
    found = {}
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), "rb") as file:
            found[name] = hashlib.sha256(file.read()).hexdigest()
    return found


def copied(base, folder):
    """A copy of the data file `base`, with its write-ahead log if it has one."""
    os.makedirs(folder)
    path = shutil.copyfile(base, os.path.join(folder, "desk.db"))
    if os.path.exists(base + "-wal"):
        shutil.copyfile(base + "-wal", path + "-wal")
    return path


def first_difference(shown, expected):
    for number, (line, wanted) in enumerate(zip(shown.splitlines(), expected.splitlines()), 1):
        if line != wanted:
            return f"line {number} is {line!r}, not {wanted!r}"
    return f"{len(shown)} bytes, not {len(expected)}"


def edited(base, folder, *statements):
    path = copied(base, folder)
    with opened(path) as database:
        database.execute("PRAGMA ignore_check_constraints = ON")
        for statement in statements:
            database.execute(statement)
    return path


def bad_row_in_a_leftover_log(base, folder):
    scratch = copied(base, folder + "-scratch")
    database = sqlite3.connect(scratch, isolation_level=None)
    database.execute("PRAGMA wal_autocheckpoint = 0")
    database.execute("PRAGMA ignore_check_constraints = ON")
    database.execute("UPDATE books SET due_month = 13 WHERE bar_code = 'B2'")
    # Copied while the connection is open: a close would fold the log into the file.
    path = copied(scratch, folder)
    shutil.copyfile(scratch + "-wal", path + "-wal")
    database.close()
    return path


def encoded_in_utf16(folder):
    os.makedirs(folder)
    path = os.path.join(folder, "desk.db")
    with opened(path) as database, opened(DESK) as fixture:
        database.execute("PRAGMA encoding = 'UTF-16le'")
        for (table,) in fixture.execute("SELECT sql FROM sqlite_schema WHERE type = 'table'"):
            database.execute(table.decode())
        database.execute("INSERT INTO members VALUES (1, 'Ann', 'Lane', '555', 'a@b', 101)")
        database.execute("PRAGMA application_id = 1397247062")
        database.execute("PRAGMA user_version = 1")
    return path


def search_index(path):
    """Each item's kind and key, with its folded title and words, as the search index has them."""
    with opened(path) as database:
        return database.execute(
            "SELECT kind, item_id, folded_title, w.title, w.creator, w.bar_code FROM search_entries"
            " JOIN search_words AS w ON w.rowid = id ORDER BY kind, item_id").fetchall()


def upgrade_keeps_every_record_and_display(path, version, index=None):
    """The file at `path` of data `version` is upgraded once; returns its search index."""
    with open(os.path.join(FIXTURES, "displays.input"), "rb") as file:
        typed = file.read()
    with open(os.path.join(FIXTURES, "displays.output"), "rb") as file:
        shown_by_version_1 = file.read()
    first = run(path, typed)
    check(first.returncode == 0 and first.stderr.decode()
          == f"shelvoranquist: {path}: upgraded from data version {version} to 3\n",
          f"the first start upgrades with one line: {first.returncode} {first.stderr!r}")
    check(first.stdout == shown_by_version_1, "the displays are those of version 1: "
          + first_difference(first.stdout, shown_by_version_1))
    check(pragma(path, "user_version") == 3 and pragma(path, "application_id") == 0x53484C56,
          "the upgraded file is a data file of version 3")
    built = search_index(path)
    check(len(built) == 10 and (1, 1, b"kind of blue", b"kind of blue", b"miles davis", b"c1")
          in built and built == (index or built), f"each item's folded words are indexed: {built}")
    kept, original = records(path), records(DESK)
    check(kept == original, "every row comes back with its key and values, not in "
          + str([table for table in TABLES if kept[table] != original[table]]))
    second = run(path, typed)
    check(second.returncode == 0 and not second.stderr and second.stdout == shown_by_version_1,
          f"the second start is silent: {second.returncode} {second.stderr!r} "
          + first_difference(second.stdout, shown_by_version_1))
    return built


def tables_of_version_2_keep_the_rules(upgraded):
    """Each item at most once in loans and holds; no text longer than the screens take."""
    with opened(upgraded) as database:
        database.execute("BEGIN")
        twice = []
        for table in ("loans", "holds"):
            for column in ("book_id", "cd_id", "video_id"):
                (item,) = database.execute(f"SELECT {column} FROM {table} WHERE {column} "
                                           "IS NOT NULL LIMIT 1").fetchone()
                if not refused(database, f"INSERT INTO {table} ({column}) VALUES (?)", item,
                               "UNIQUE"):
                    twice.append(f"{table}.{column}")
        check(not twice, f"a second row for one item is refused, not kept in {twice}")
        too_long = []
        for table, limits in LIMITS.items():
            for column, limit in limits.items():
                update = f"UPDATE {table} SET {column} = ? WHERE id = (SELECT min(id) FROM {table})"
                # Characters, not bytes: each is two bytes in UTF-8.
                if refused(database, update, "é" * limit, "") or not refused(
                        database, update, "é" * (limit + 1), "CHECK"):
                    too_long.append(f"{table}.{column} ({limit})")
        check(not too_long, f"texts are kept up to their limits, not beyond, in {too_long}")
        database.execute("ROLLBACK")


def files_refused_and_left_as_they_were(folder, version_2, upgraded):
    """Each file is refused with one line whose reason matches every pattern of its case."""
    long_title = f"UPDATE books SET title = '{'x' * 200000}' WHERE bar_code = 'B2'"
    cases = [
        ("no-book", lambda at: edited(DESK, at, "DELETE FROM books WHERE bar_code = 'S1'"),
         ["loans"]),
        ("lent-twice", lambda at: edited(DESK, at, "INSERT INTO loans (book_id) VALUES (5)"),
         ["loans"]),
        ("long-title", lambda at: edited(DESK, at, long_title), ["books row 2", "title"]),
        # A version-2 file holds the limit as a rule of its own, which SQLite's check finds broken.
        ("long-title-2", lambda at: edited(version_2, at, long_title),
         ["damaged: CHECK constraint failed in books"]),
        ("leftover-log", lambda at: bad_row_in_a_leftover_log(DESK, at), ["due_month"]),
        ("utf-16", encoded_in_utf16, ["utf-16"]),
    ]
    for kind, name, statement in EXTRAS:
        cases += [(f"{kind}-{version}", lambda at, base=base, statement=statement:
                   edited(base, at, statement), [rf"\b{kind} ['\"]?{name}\b"])
                  for version, base in (("1", DESK), ("2", version_2), ("3", upgraded))]
    # An upgrade that the disk cannot hold leaves no log or index behind.
    cases.append(("upgrade-past-a-size-limit", lambda at: copied(DESK, at), ["I/O error"]))
    for case, make, reasons in cases:
        at = os.path.join(folder, case)
        path = make(at)
        before = digests(at)
        result = run(path, limit=["prlimit", "--fsize=50000"] if "limit" in case else [])
        errors = result.stderr.decode(errors="replace")
        check(result.returncode == 1 and not result.stdout and errors.count("\n") == 1
              and errors.startswith(f"shelvoranquist: {path}: ")
              and all(re.search(reason, errors, re.IGNORECASE) for reason in reasons),
              f"{case}: refused for {reasons}: {result.returncode} {errors[:300]!r}")
        after = digests(at)
        check(after == before, f"{case}: left as it was: {sorted(before)} -> {sorted(after)}")


class Desk:
    """A desk running on a pipe, answered one prompt at a time."""

    def __init__(self, path):
        self.process = subprocess.Popen([PROGRAM, "--data", path], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.shown = b""

    def wait_for(self, text, count):
        deadline = time.monotonic() + TIMEOUT
        while self.shown.count(text) < count and time.monotonic() < deadline:
            if select.select([self.process.stdout], [], [], 0.1)[0]:
                block = os.read(self.process.stdout.fileno(), 65536)
                if not block:
                    break
                self.shown += block
        return self.shown.count(text) >= count

    def type(self, text):
        self.process.stdin.write(text)
        self.process.stdin.flush()

    def finish(self, typed):
        try:
            out, err = self.process.communicate(typed, timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            self.process.kill()
            out, err = self.process.communicate()
        return self.process.returncode, self.shown + out, err.decode()


def loan_to_a_member_deleted_behind_the_desk(folder, upgraded):
    path = copied(upgraded, os.path.join(folder, "deleted"))
    desk = Desk(path)
    desk.type(b"2\n1\n104\n6\nB4\n")
    check(desk.wait_for(MENU_PROMPT, 3), "the desk selects the member and the book")
    with opened(path) as database:
        database.execute("DELETE FROM members WHERE library_number = 104")
    before_the_loan = len(desk.shown)
    status, shown, errors = desk.finish(b"7\n")
    check(status == 1 and errors.count("\n") == 1
          and errors.startswith(f"shelvoranquist: {path}: ")
          and b"MEMBER " not in shown[before_the_loan:],
          f"the loan stops the run: {status} {errors!r} {shown[before_the_loan:][:200]!r}")
    with opened(path) as database:
        lent = database.execute("SELECT count(*) FROM loans JOIN books ON books.id = book_id"
                                " WHERE bar_code = 'B4'").fetchone()[0]
    later = run(path)
    check(lent == 0 and later.returncode == 0 and not later.stderr,
          f"nothing is lent and the file opens again: {lent} {later.returncode} {later.stderr!r}")


def main():
    folder = tempfile.mkdtemp(prefix="shelvoranquist-versions-")
    try:
        upgraded = copied(DESK, os.path.join(folder, "upgraded"))
        index = upgrade_keeps_every_record_and_display(upgraded, 1)
        version_2 = edited(upgraded, os.path.join(folder, "version-2"), "DROP TABLE search_words",
                           "DROP TABLE search_entries", "PRAGMA user_version = 2")
        upgrade_keeps_every_record_and_display(copied(version_2, os.path.join(folder, "from-2")),
                                               2, index)
        tables_of_version_2_keep_the_rules(copied(upgraded, os.path.join(folder, "rules")))
        files_refused_and_left_as_they_were(folder, version_2, upgraded)
        loan_to_a_member_deleted_behind_the_desk(folder, upgraded)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""The built program copying a library: --data SOURCE --copy-to DESTINATION.

    copy_test.py PROGRAM

A file of data version 1 goes to a new file and to a server, and the server back to a file:
every row with its key, and every display, as the source had them, the source left byte for byte
and not upgraded. A destination that holds anything is refused and left as it was; a copy that
fails part-way leaves nothing.
"""

import hashlib
import os
import shutil
import sqlite3
import subprocess
import sys
import tempfile

from postgres import fresh_database

PROGRAM = os.path.abspath(sys.argv[1])
FIXTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data_version_1")
TABLES = ("members", "books", "cds", "journals", "videos", "loans", "holds")
COUNTS = "4 members, 10 items, 7 loans and 4 holds"
# A database whose table of holds, once made, refuses every row: a copy fails after its loans.
REFUSING_HOLDS = """
CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN RAISE 'no holds'; END$$;
CREATE FUNCTION guard() RETURNS event_trigger LANGUAGE plpgsql AS $$BEGIN
  IF to_regclass('holds') IS NOT NULL AND NOT EXISTS (SELECT FROM pg_trigger WHERE tgname = 'refuse')
  THEN CREATE TRIGGER refuse BEFORE INSERT ON holds FOR EACH ROW EXECUTE FUNCTION refuse(); END IF;
END$$;
CREATE EVENT TRIGGER guard ON ddl_command_end EXECUTE FUNCTION guard();
"""
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def run(*args, typed=b"", limit=(), trace=None):
    """The program's run; with `trace`, its calls that remove and sync files logged there."""
    tracer = ["strace", "-f", "-qq", "-e", "trace=unlink,fsync,fdatasync,write", "-o", trace]
    return subprocess.run([*limit, *(tracer if trace else []), PROGRAM, *args], input=typed,
                          capture_output=True, timeout=30,
                          # LeakSanitizer cannot run under a tracer.
                          env={**os.environ, "ASAN_OPTIONS": "detect_leaks=0"} if trace else None)


def rows(path):
    """Every row of every table, key first."""
    database = sqlite3.connect(f"file:{path}?mode=ro", uri=True)
    database.text_factory = bytes
    try:
        return {table: database.execute(f"SELECT * FROM {table} ORDER BY id").fetchall()
                for table in TABLES}
    finally:
        database.close()


def sql(uri, statements):
    return subprocess.run(["psql", "-X", "-qAt", "-v", "ON_ERROR_STOP=1", "-d", uri, "-c",
                           statements], capture_output=True, check=True, text=True).stdout


def state(folder, destination):
    """What a copy to `destination` may not change: the folder's files, a database's tables."""
    if "://" not in destination:
        return digests(folder)
    return sql(destination, "SELECT table_name FROM information_schema.tables "
                            "WHERE table_schema = current_schema() ORDER BY 1")


def digests(folder):
    found = {}
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), "rb") as file:
            found[name] = hashlib.sha256(file.read()).hexdigest()
    return found


def copies_keep_every_row_and_key(folder, server):
    """Returns the copy that went through the server."""
    source = shutil.copy(os.path.join(FIXTURES, "desk.db"), folder)
    with open(source, "rb") as file:
        written = file.read()
    legs = [(source, os.path.join(folder, "file.db")), (source, server),
            (server, os.path.join(folder, "back.db"))]
    log = os.path.join(folder, "copy.strace")
    for source_of, destination in legs:
        result = run("--data", source_of, "--copy-to", destination, trace=log)
        check((result.returncode, result.stdout, result.stderr.decode())
              == (0, b"", f"shelvoranquist: copied {COUNTS} from {source_of} to {destination}\n"),
              f"{source_of} -> {destination}: {result}")
        with open(log) as trace:
            committed = trace.read().partition('-journal")')[2].partition("copied")[0]
        # The commit removes the journal: a power cut must not bring it back.
        check("://" in destination or "sync(" in committed, f"{destination}: the folder synced")
    with open(source, "rb") as file:
        check(file.read() == written, "the source of version 1 is left byte for byte")
    for copy in ("file.db", "back.db"):
        check(rows(os.path.join(folder, copy)) == rows(source), f"{copy} keeps every row and key")
    return os.path.join(folder, "back.db")


def destinations_that_hold_anything_or_fail_are_left_as_they_were(folder, source, server):
    cases = [  # (destination, how it is made, limit, reason)
        ("full.db", lambda at: shutil.copy(source, at), [], "not empty"),
        ("notes.txt", lambda at: open(at, "w").write("notes\n"), [], "not empty"),
        (source, None, [], "is the library being copied"),
        ("new.db", None, ["prlimit", "--fsize=40000"], "I/O error"),
        ("empty.db", lambda at: open(at, "w").close(), ["prlimit", "--fsize=40000"], "I/O error"),
        (server, None, [], "holds tables already"),
        (fresh_database("copy_failing"), lambda at: sql(at, REFUSING_HOLDS), [], "no holds"),
    ]
    for name, make, limit, reason in cases:
        destination = name if "://" in name else os.path.join(folder, name)
        if make:
            make(destination)
        before = state(folder, destination)
        result = run("--data", source, "--copy-to", destination, limit=limit)
        errors = result.stderr.decode()
        check(result.returncode == 1 and errors.startswith(f"shelvoranquist: {destination}: ")
              and reason in errors and errors.count("\n") == 1,
              f"{name}: refused for {reason}: {result}")
        check(state(folder, destination) == before, f"{name}: left as it was")
    again = os.path.join(folder, "again.db")
    result = run("--data", server, "--copy-to", again)
    check(result.returncode == 0 and rows(again) == rows(source), f"{server}: left as it was")


def copies_show_what_the_source_showed(folder, server):
    with open(os.path.join(FIXTURES, "displays.input"), "rb") as file:
        typed = file.read()
    with open(os.path.join(FIXTURES, "displays.output"), "rb") as file:
        shown = file.read()
    for place in (os.path.join(folder, "file.db"), server):
        result = run("--data", place, typed=typed)
        check((result.returncode, result.stderr, result.stdout == shown) == (0, b"", True),
              f"{place} shows what the source showed: {result.returncode} {result.stderr!r}")
    # New records take keys past the largest copied.
    added = run("--data", server, typed=b"1\nNew\nLane\n5\nn@x\n9\n5\n1\nN1\nNew\nAu\n7\n6\n14\n")
    check((added.returncode, added.stderr) == (0, b""), f"a desk adds to the copy: {added}")


def main():
    folder = tempfile.mkdtemp(prefix="shelvoranquist-copy-")
    try:
        server = fresh_database("copy_test")
        source = copies_keep_every_row_and_key(folder, server)
        destinations_that_hold_anything_or_fail_are_left_as_they_were(folder, source, server)
        copies_show_what_the_source_showed(folder, server)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

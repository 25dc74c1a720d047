#!/usr/bin/env python3
"""Writes the seed data files of shelvoranquist_data_fuzz into fuzz/data_corpus/.

usage: make_data_corpus.py PROGRAM

PROGRAM (build/shelvoranquist) makes the tables of a new data file; the rows of each seed are
inserted here, and every file is written again with 512-byte pages to keep it small. The clock
of the fuzz session stands at 10:30 am on 8 December 2026, so the due stamps below fall on
either side of it. The damaged seeds break one rule of the records each, or the file itself.

The seeds of the program's data version are named after it ("v2_desk"). The seeds without a
prefix are of data version 1, written by an earlier release and kept as they are, since the
desk upgrades them; only the texts at and over their limits are written here into copies of
the kept "no_rows", as data version 1 had no limit in its tables.
"""

import functools
import itertools
import os
import re
import shutil
import sqlite3
import subprocess
import sys
import tempfile

CORPUS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data_corpus")

# Texts with a NUL and with bytes that are no UTF-8, as SQL literals.
NUL_NAME = "CAST(X'4E756C004E616D65' AS TEXT)"
BAD_UTF8 = "CAST(X'42C3FFFE2D7A' AS TEXT)"

# A desk's day: three members, two items of each kind, the bar code B-100 on two books and
# B-200 on a book and a CD, loans and holds of registered members and of the blank member
# (member_id NULL), overdue and not.
DESK = f"""
INSERT INTO members VALUES (1, 'Ada Reader', '1 Mill Lane', '555-0101', 'ada@example.org', 1001);
INSERT INTO members VALUES (2, 'Bo Lender', '2 Mill Lane', '555-0102', 'bo@example.org', 1002);
INSERT INTO members VALUES (3, {NUL_NAME}, {BAD_UTF8}, '', 'x', -7);
INSERT INTO books VALUES (1, 'B-100', 'Dune Roads', 'F. Writer', 14, 2026, 12, 1, 17, 0);
INSERT INTO books VALUES (2, 'B-100', 'Dune Roads', 'F. Writer', 14, 9999, 1, 1, 1, 1);
INSERT INTO books VALUES (3, 'B-200', {BAD_UTF8}, {NUL_NAME}, 7, 2026, 12, 10, 9, 30);
INSERT INTO cds VALUES (1, 'C-1', 'Blue', 'The Band', '45:00', 7, 2026, 12, 9, 12, 0);
INSERT INTO cds VALUES (2, 'B-200', 'Blue', 'The Band', '45:00', 7, 2026, 12, 20, 0, 0);
INSERT INTO journals VALUES (1, 'J-1', 'Monthly', 'E. Ditor', '1. Intro 2. Tables');
INSERT INTO journals VALUES (2, {NUL_NAME}, {BAD_UTF8}, '', '');
INSERT INTO videos VALUES (1, 'V-1', 'Film', 'D. Rector', 'PG', 3, 2026, 12, 7, 20, 15);
INSERT INTO videos VALUES (2, 'V-2', 'Film', 'D. Rector', '18', 0, 9999, 1, 1, 1, 1);
INSERT INTO loans VALUES (1, 1, NULL, NULL, 1);
INSERT INTO loans VALUES (2, 3, NULL, NULL, NULL);
INSERT INTO loans VALUES (3, NULL, 2, NULL, 2);
INSERT INTO loans VALUES (4, NULL, NULL, 1, NULL);
INSERT INTO holds VALUES (1, 3, NULL, NULL, 2);
INSERT INTO holds VALUES (2, NULL, 1, NULL, NULL);
"""

# Items and records of the blank member alone.
BLANK_ONLY = """
INSERT INTO books VALUES (1, 'B-1', 'Alone', 'Nobody', 21, 2026, 12, 8, 10, 30);
INSERT INTO videos VALUES (1, 'V-1', 'Alone', 'Nobody', 'U', 2, 2026, 12, 8, 10, 29);
INSERT INTO loans VALUES (1, 1, NULL, NULL, NULL);
INSERT INTO holds VALUES (1, NULL, NULL, 1, NULL);
"""

# The extreme values the records take: card numbers and loan lengths at the ends of an int, the
# last minute of the largest year, the first of the first, a leap day, and keys from the least
# to the largest a row may have (2^62), with room for the loans the session makes.
EXTREMES = """
INSERT INTO members VALUES (-9223372036854775808, 'Min', '', '', '', -2147483648);
INSERT INTO members VALUES (4611686018427387904, 'Max', '', '', '', 2147483647);
INSERT INTO books VALUES (1, 'B-1', 'Long', 'A', 2147483647, 2147483647, 12, 31, 23, 59);
INSERT INTO cds VALUES (4611686018427387904, 'C-1', 'Leap', 'A', '1:00', 0, 2028, 2, 29, 0, 0);
INSERT INTO videos VALUES (1, 'V-1', 'Early', 'A', 'U', 1, 1, 1, 1, 0, 0);
INSERT INTO loans VALUES (4611686018427387896, 1, NULL, NULL, 4611686018427387904);
INSERT INTO holds VALUES (1, NULL, 4611686018427387904, NULL, -9223372036854775808);
INSERT INTO loans VALUES (1, NULL, NULL, 1, -9223372036854775808);
"""

ITEMS = """
INSERT INTO members VALUES (1, 'Ada Reader', '', '', '', 1001);
INSERT INTO books VALUES (1, 'B-1', 'Title', 'Author', 14, 2026, 12, 1, 17, 0);
INSERT INTO cds VALUES (1, 'C-1', 'Title', 'Artist', '1:00', 7, 2026, 12, 9, 12, 0);
"""

# One broken rule each, on top of ITEMS. The tables themselves refuse an item on loan or on hold
# twice: see DUPLICATED.
DAMAGED = {
    "loan_of_missing_item": "INSERT INTO loans VALUES (1, 99, NULL, NULL, 1);",
    "hold_of_missing_member": "INSERT INTO holds VALUES (1, 1, NULL, NULL, 99);",
    "loan_of_no_item": "INSERT INTO loans VALUES (1, NULL, NULL, NULL, 1);",
    "loan_of_two_items": "INSERT INTO loans VALUES (1, 1, 1, NULL, 1);",
    "due_month_13": "UPDATE books SET due_month = 13;",
    "due_day_29_february_2027": "UPDATE cds SET due_year = 2027, due_month = 2, due_day = 29;",
    "due_hour_24": "UPDATE books SET due_hour = 24;",
    "due_minute_negative": "UPDATE cds SET due_minute = -1;",
    "due_year_0": "UPDATE books SET due_year = 0;",
    "negative_loan_days": "UPDATE books SET loan_days = -3;",
    "loan_days_beyond_int": "UPDATE cds SET loan_days = 2147483648;",
    "library_number_beyond_int": "UPDATE members SET library_number = -2147483649;",
    "wrong_application_id": "PRAGMA application_id = 7;",
    # Loads, but leaves no key for the session's first loan.
    "loan_key_at_the_most": "INSERT INTO loans VALUES (4611686018427387904, NULL, 1, NULL, 1);",
}

# The same, in tables whose own checks pass everything, so that the loader's checks meet the rows.
UNCHECKED = {
    "negative_loan_days_unchecked": "UPDATE books SET loan_days = -3;",
    "loan_of_no_item_unchecked": "INSERT INTO loans VALUES (1, NULL, NULL, NULL, 1);",
    "hold_of_two_items_unchecked": "INSERT INTO holds VALUES (1, 1, 1, NULL, 1);",
}

# And in tables that are not STRICT, so that a column may hold a value of any type.
LOOSE = {
    "blob_for_text_loose": "UPDATE books SET bar_code = X'00FF';",
    "real_for_whole_number_loose": "UPDATE cds SET due_day = 1.5;",
    "text_for_whole_number_loose": "UPDATE members SET library_number = 'one';",
    "text_for_key_loose": "INSERT INTO holds VALUES (1, 'one', NULL, NULL, NULL);",
}


# Objects that are not the desk's own, each refused by name.
EXTRA_OBJECTS = {
    "extra_table": "CREATE TABLE notes (text TEXT);",
    "extra_view": "CREATE VIEW lenders AS SELECT name FROM members;",
    "extra_index": "CREATE INDEX cards ON members (library_number);",
    "extra_trigger":
        "CREATE TRIGGER kept AFTER DELETE ON loans BEGIN INSERT INTO loans SELECT old.*; END;",
}

# An item on loan twice and one on hold twice, on top of ITEMS: the table's first row, and the
# second that repeats its item (see force_duplicate).
DUPLICATED = {
    "item_on_loan_twice": ("loans", "INSERT INTO loans VALUES (1, 1, NULL, NULL, 1);",
                           "INSERT INTO loans VALUES (2, 1, NULL, NULL, NULL)"),
    "item_on_hold_twice": ("holds", "INSERT INTO holds VALUES (1, NULL, 1, NULL, NULL);",
                           "INSERT INTO holds VALUES (2, NULL, 1, NULL, 1)"),
}

# Texts at their limits take characters of two, three and four bytes in turn.
WIDE_CHARACTERS = ("\u00e9", "\u20ac", "\U0001d11e")
# The columns after the texts of each table, in their order.
OTHER_VALUES = {
    "members": ["1001"],
    "books": ["14, 2026, 12, 1, 17, 0"],
    "cds": ["7, 2026, 12, 9, 12, 0"],
    "journals": [],
    "videos": ["3, 2026, 12, 7, 20, 15"],
}
# A text one character over its limit, as SQLite counts and as the screens count; and one that
# only the screens count over it, since SQLite's length() stops at a NUL.
OVER_LIMIT = "UPDATE members SET name = name || '\u00e9';"
OVER_LIMIT_PAST_NUL = "UPDATE members SET name = name || CAST(X'00' AS TEXT);"


def limits(fresh):
    """The text columns of each table with the most characters each keeps, as the tables say."""
    database = sqlite3.connect(fresh)
    found = {name: re.findall(r"(\w+) TEXT NOT NULL CHECK \(length\(\1\) <= (\d+)\)", sql)
             for name, sql in database.execute("SELECT name, sql FROM sqlite_schema")
             if name in OTHER_VALUES}
    database.close()
    return found


def texts_at_their_limits(fresh):
    """A member and an item of each kind whose every text is as long as its field allows, in
    characters of several bytes; the member borrows the book."""
    rows = ""
    characters = itertools.cycle(WIDE_CHARACTERS)
    for table, columns in limits(fresh).items():
        texts = [f"'{next(characters) * int(limit)}'" for _, limit in columns]
        rows += f"INSERT INTO {table} VALUES ({', '.join(['1', *texts, *OTHER_VALUES[table]])});\n"
    return rows + "INSERT INTO loans VALUES (1, 1, NULL, NULL, 1);\n"


def force_duplicate(path, table, row):
    """Inserts `row` into `table` (loans or holds), where it repeats an item of a UNIQUE column,
    while the table's indexes are taken for plain ones: the file then breaks that rule with
    pages that SQLite's quick check finds whole, as it does not check UNIQUE."""
    database = sqlite3.connect(path, isolation_level=None)
    kept = database.execute("SELECT name, sql FROM sqlite_schema WHERE tbl_name = ?",
                            (table,)).fetchall()
    database.execute("PRAGMA writable_schema = ON")
    database.execute("UPDATE sqlite_schema SET sql = replace(sql, ' UNIQUE', '') WHERE name = ?",
                     (table,))
    # SQLite names the indexes of a table's UNIQUE columns in the order of the columns.
    for number, column in enumerate(("book_id", "cd_id", "video_id"), 1):
        name = f"sqlite_autoindex_{table}_{number}"
        database.execute("UPDATE sqlite_schema SET sql = ? WHERE name = ?",
                         (f"CREATE INDEX {name} ON {table} ({column})", name))
    database.close()
    database = sqlite3.connect(path, isolation_level=None)
    database.execute("PRAGMA writable_schema = ON")
    database.execute(row)
    database.executemany("UPDATE sqlite_schema SET sql = ? WHERE name = ?",
                         [(sql, name) for name, sql in kept])
    database.close()
    database = sqlite3.connect(path)
    assert database.execute("PRAGMA quick_check").fetchone() == ("ok",)
    assert database.execute("PRAGMA integrity_check").fetchone() != ("ok",)
    database.close()


def fresh_file(program, folder):
    """A data file with the program's tables and no rows."""
    path = os.path.join(folder, "fresh.db")
    subprocess.run([program, "--data", path], input=b"14\n", stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=True)
    return path


def shrink(path, journal_mode):
    database = sqlite3.connect(path, isolation_level=None)
    database.execute("PRAGMA journal_mode = DELETE")
    database.execute("PRAGMA page_size = 512")
    database.execute("VACUUM")
    database.execute(f"PRAGMA journal_mode = {journal_mode}")
    database.close()


def seed(fresh, name, rows, journal_mode="WAL", schema_edit=None, then=None):
    """Writes the seed `name`: a copy of `fresh` with `rows`, then changed by `then`."""
    path = os.path.join(os.path.dirname(fresh), name)
    shutil.copyfile(fresh, path)
    if schema_edit:
        database = sqlite3.connect(path, isolation_level=None)
        database.execute("PRAGMA writable_schema = ON")
        database.execute(f"UPDATE sqlite_schema SET sql = {schema_edit}")
        database.close()
    database = sqlite3.connect(path, isolation_level=None)
    # The damaged seeds need rows that the tables' checks refuse.
    database.execute("PRAGMA ignore_check_constraints = ON")
    database.executescript(rows)
    database.close()
    shrink(path, journal_mode)
    if then:
        then(path)
    shutil.copyfile(path, os.path.join(CORPUS, name))
    return path


def utf16_seed(fresh, name, rows):
    """The same tables in a file whose texts are UTF-16."""
    source = sqlite3.connect(fresh)
    schema = [sql for (sql,) in source.execute("SELECT sql FROM sqlite_schema WHERE sql NOT NULL")]
    identity = [source.execute(f"PRAGMA {pragma}").fetchone()[0]
                for pragma in ("application_id", "user_version")]
    source.close()
    path = os.path.join(os.path.dirname(fresh), name)
    database = sqlite3.connect(path, isolation_level=None)
    database.execute("PRAGMA encoding = 'UTF-16le'")
    database.execute("PRAGMA page_size = 512")
    for sql in schema:
        database.execute(sql)
    database.execute(f"PRAGMA application_id = {identity[0]}")
    database.execute(f"PRAGMA user_version = {identity[1]}")
    database.executescript(rows)
    database.execute("PRAGMA journal_mode = WAL")
    database.close()
    shutil.copyfile(path, os.path.join(CORPUS, name))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    os.makedirs(CORPUS, exist_ok=True)
    with tempfile.TemporaryDirectory() as folder:
        fresh = fresh_file(os.path.abspath(sys.argv[1]), folder)
        database = sqlite3.connect(fresh)
        (version,) = database.execute("PRAGMA user_version").fetchone()
        database.close()
        prefix = f"v{version}_"
        open(os.path.join(CORPUS, "empty"), "wb").close()
        seed(fresh, prefix + "no_rows", "")
        desk = seed(fresh, prefix + "desk", DESK)
        seed(fresh, prefix + "desk_rollback_journal", DESK, journal_mode="DELETE")
        utf16_seed(fresh, prefix + "desk_utf16", DESK)
        seed(fresh, prefix + "blank_member_only", BLANK_ONLY)
        seed(fresh, prefix + "extremes", EXTREMES)
        damaged = DAMAGED | EXTRA_OBJECTS | {
            "newer_data_version": f"PRAGMA user_version = {version + 1};"}
        for name, rows in damaged.items():
            seed(fresh, prefix + name, ITEMS + rows)
        for name, rows in UNCHECKED.items():
            seed(fresh, prefix + name, ITEMS + rows,
                 schema_edit="replace(sql, 'CHECK (', 'CHECK (1 OR ')")
        for name, rows in LOOSE.items():
            seed(fresh, prefix + name, ITEMS + rows, schema_edit="replace(sql, ') STRICT', ')')")
        for name, (table, first, second) in DUPLICATED.items():
            seed(fresh, prefix + name, ITEMS + first,
                 then=functools.partial(force_duplicate, table=table, row=second))
        at_limits = texts_at_their_limits(fresh)
        seed(fresh, prefix + "texts_at_their_limits", at_limits)
        seed(fresh, prefix + "text_over_its_limit", at_limits + OVER_LIMIT)
        seed(fresh, prefix + "text_over_its_limit_past_nul", at_limits + OVER_LIMIT_PAST_NUL)
        version_1 = os.path.join(folder, "no_rows")
        shutil.copyfile(os.path.join(CORPUS, "no_rows"), version_1)
        seed(version_1, "texts_at_their_limits", at_limits)
        seed(version_1, "text_over_its_limit", at_limits + OVER_LIMIT)
        with open(desk, "rb") as whole:
            data = whole.read()
        with open(os.path.join(CORPUS, prefix + "truncated"), "wb") as truncated:
            truncated.write(data[: len(data) // 2])


if __name__ == "__main__":
    main()

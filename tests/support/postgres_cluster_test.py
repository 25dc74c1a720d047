#!/usr/bin/env python3
"""The cluster of the test run as a test on PostgreSQL sees it: a database of its own answering
through the socket with durable commits, and the server crashed and started again, every
committed row kept."""

import os
import subprocess
import sys

import postgres
from postgres_cluster import bin_dir

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def psql(uri, sql):
    """What psql prints for `sql`, one row a line, the columns between '|'; None if it failed."""
    result = subprocess.run([os.path.join(bin_dir(), "psql"), "-XAtq", "-v", "ON_ERROR_STOP=1",
                             "-d", uri, "-c", sql], stdin=subprocess.DEVNULL, capture_output=True,
                            text=True, timeout=30)
    return result.stdout if result.returncode == 0 else None


def main():
    uri = postgres.fresh_database("cluster_test")
    check(psql(uri, "SELECT 1") == "1\n", f"SELECT 1 answered on {uri}")
    settings = psql(uri, "SELECT current_setting('fsync'), current_setting('synchronous_commit'),"
                         " current_setting('listen_addresses')")
    check(settings == "on|on|\n", f"durable commits, the socket alone: {settings!r}")
    psql(uri, "CREATE TABLE loans (book text); INSERT INTO loans VALUES ('B1')")
    postgres.stop_server("immediate")
    try:
        check(psql(uri, "SELECT 1") is None, "a stopped server answers nothing")
    finally:
        postgres.start_server()
    check(psql(uri, "SELECT book FROM loans") == "B1\n", "a committed row survives a crash")
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

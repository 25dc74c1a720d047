#!/usr/bin/env python3
"""The built catalogue on a data file that a desk keeps, over the loopback.

    catalogue_program_test.py CATALOGUE DESK

The command line and the refusals at start; a desk adds members and items, and the catalogue,
started on the same file while the desk runs, answers searches with statuses in words, escapes
every text, shows nothing of any member, and shows a loan made at the desk at the next request;
its headers; the requests it refuses (a method, an address, a value, one too long to read, a
malformed or stalled one); SIGTERM and SIGINT end it with status 0. As root, both programs run
as nobody, and the catalogue refuses to run as root. Every wait is bounded.
"""

import os
import signal
import subprocess
import sys
import tempfile

from catalogue_programs import (AS_ROOT, MEMBER, STOCK, Catalogue, Desk, add, due_dates,
                                programs_in, run, time_left)

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def command_line(catalogue, folder):
    usage = ("usage: shelvoranquist-catalogue --data FILE|URI [--listen HOST:PORT] [--help] "
             "[--version]")
    data = os.path.join(folder, "never.db")
    for args, fault in (([], "--data is needed: the records to show"),
                        (["--data"], "--data needs a file or a database URI"),
                        (["--data", data, "--data", data], "--data given twice"),
                        (["--data", data, "-x"], "unknown option '-x'"),
                        *((["--data", data, "--listen", listen], "--listen needs HOST:PORT")
                          for listen in ("8080", "host:http", "::1:80", "h:65536"))):
        result = run(catalogue, args)
        errors = result.stderr.decode()
        check(result.returncode == 2 and errors.startswith(f"shelvoranquist-catalogue: {fault}")
              and errors.endswith(f"; {usage}\n") and errors.count("\n") == 1,
              f"{args}: {result}")
    for args in (["--help"], ["--version"]):
        result = run(catalogue, args)
        check(result.returncode == 0 and result.stdout and not result.stderr, f"{args}: {result}")
    result = run(catalogue, ["--data", data])
    check(result.returncode == 1 and result.stderr.count(b"\n") == 1 and result.stderr.startswith(
        f"shelvoranquist-catalogue: {data}: ".encode()) and not os.path.exists(data), f"{result}")
    if AS_ROOT:
        result = subprocess.run([catalogue, "--data", data], capture_output=True,
                                timeout=time_left(10))
        check(result.returncode == 1 and result.stderr == b"shelvoranquist-catalogue: refusing to "
              b"run as root; run it as a user of its own\n", f"refuses to run as root: {result}")


def pages(catalogue, desk):
    shown = []  # every page served, to look for the member in

    def get(target):
        status, headers, body = catalogue.request("GET", target)
        check(status == 200 and headers["Content-Security-Policy"].startswith(
            "default-src 'none'; style-src 'self';") and headers["X-Content-Type-Options"]
            == "nosniff" and "charset=utf-8" in headers["Content-Type"],
            f"GET {target}: {status} {dict(headers)}")
        shown.append(body.decode("utf-8"))
        return shown[-1]

    check('<html lang="en">' in get("/") and "text/css" in catalogue.request(
        "GET", "/style.css")[1]["Content-Type"], "the search page and its stylesheet")
    river = get("/search?q=river")
    check(all(f"<dd>{status}</dd>" in river for status in (
        "On the shelf", "On hold", "For use in the library")) and "<p>4 results</p>" in river
        and "\u00c9mile on the River" in river, f"four items and their statuses: {river}")
    check("<p>0 results</p>" in get("/search?q=river&available=1&kind=cd"), "a held CD is out")
    hostile = get("/search?q=alert")
    check("&lt;script&gt;alert(1)&lt;/script&gt;" in hostile and "<script" not in hostile
          and "&quot;Bob&quot; &amp; &#39;Al&#39;" in hostile, "hostile texts show as text")
    first = get("/search?q=atlas")
    check("<p>60 results, page 1 of 2</p>" in first and first.count("<li>") == 50
          and 'href="/search?q=atlas&amp;page=2" rel="next"' in first
          and len(first.encode()) < 30000, f"a full page, {len(first.encode())} bytes")
    check(get("/search?q=atlas&page=2").count("<li>") == 10, "the second page")
    check("Back to page 2" in get("/search?q=atlas&page=7"), "a page past the end")
    check("Please type one or more words" in get("/search?q=%21%3F"), "punctuation alone")
    check("0 results" in get("/search?q=Zebedee") and "0 results" in get("/search?q=918273"),
          "members are not searched")

    check("<dd>On the shelf</dd>" in get("/search?q=river+road"), "the book is on the shelf")
    desk.type(b"2\n1\n918273\n6\nB1\n7\n")  # the member borrows the book
    lent = get("/search?q=river+road")
    check(any(f"<dd>On loan, due back {date}</dd>" in lent for date in due_dates(14)),
          f"the loan shows at the next request: {lent}")
    for detail in MEMBER[:4]:
        check(not any(detail.decode() in page for page in shown), f"{detail!r} shows on a page")


def refusals(catalogue):
    for method, target, status in (("POST", "/search?q=river", 405), ("DELETE", "/", 405),
                                   ("OPTIONS", "/", 405), ("GET", "/index.html", 404),
                                   ("GET", "/search?kind=dvd&q=river", 400),
                                   ("GET", "/search?q=%FF", 400),
                                   ("GET", "/search?q=" + "a" * 201, 400),
                                   ("GET", "/search?q=river&page=0", 400)):
        got, headers, body = catalogue.request(method, target, b"x" if method == "POST" else None)
        check(got == status and b"<h1>" in body and headers["X-Content-Type-Options"] == "nosniff"
              and headers["Allow"] == ("GET, HEAD" if status == 405 else None),
              f"{method} {target}: {got}, not {status}")
    status, headers, body = catalogue.request("HEAD", "/search?q=river")
    check(status == 200 and not body and int(headers["Content-Length"]) > 0, "HEAD: no body")
    for request, status in ((b"GET /" + b"a" * 9000 + b" HTTP/1.1\r\n\r\n", b"414"),
                            (b"GARBAGE\r\n\r\n", b"400"), (b"BREW / HTTP/1.1\r\n\r\n", b"400"),
                            (b"GET / HTTP/9.9\r\n\r\n", b"400"),
                            (b"GET / HTTP/1.1\r\nHost: x\r\n", b"400")):  # stalled: times out
        answer, took = catalogue.raw(request, wait=15)
        check(answer.startswith(b"HTTP/1.1 " + status) and b"nosniff" in answer and took < 10,
              f"{request[:20]!r}: {answer[:60]!r} after {took:.1f} s")


def reader_of_its_own(catalogue_program, desk_program):
    """As README sets it up: the desk's data file in a folder of the desk's user (root here),
    readable by the catalogue's group alone; the catalogue may write neither the folder nor the
    file's log, and starts when no desk runs."""
    with tempfile.TemporaryDirectory() as folder:
        os.chown(folder, 0, 65534)
        os.chmod(folder, 0o2750)
        path = os.path.join(folder, "library.db")
        subprocess.run([desk_program, "--data", path], input=add(b"1", b"R1", b"Reed", b"A", b"7")
                       + b"14\n", capture_output=True, timeout=time_left(10), check=True)
        os.chmod(path, 0o640)
        subprocess.run([desk_program, "--data", path], input=b"14\n", capture_output=True,
                       timeout=time_left(10), check=True)
        modes = [os.stat(path + suffix).st_mode & 0o7777 for suffix in ("-wal", "-shm")]
        check(modes == [0o640, 0o640], f"the log follows the file's mode: {modes}")
        catalogue = Catalogue(catalogue_program, path)
        status, _, body = catalogue.request("GET", "/search?q=reed")
        check(status == 200 and b"<p>1 result</p>" in body, f"a reader of its own: {status}")
        check(catalogue.stop() == 0, f"a reader of its own ends well: {catalogue.errors!r}")


def main():
    catalogue_program, desk_program = (os.path.abspath(path) for path in sys.argv[1:3])
    with programs_in(catalogue_program, desk_program) as (folder, catalogue_program,
                                                           desk_program):
        command_line(catalogue_program, folder)
        path = os.path.join(folder, "library.db")
        desk = Desk(desk_program, path)
        catalogue = None
        try:
            desk.type(STOCK)
            catalogue = Catalogue(catalogue_program, path)
            pages(catalogue, desk)
            refusals(catalogue)
            second = Catalogue(catalogue_program, path)
            taken = run(catalogue_program, ["--data", path, "--listen", f"127.0.0.1:{second.port}"])
            check(taken.returncode == 1 and taken.stderr.count(b"\n") == 1
                  and b"cannot listen on http://127.0.0.1:" in taken.stderr,
                  f"a port in use: {taken}")
            check(second.stop(signal.SIGINT) == 0, f"SIGINT ends it: {second.errors!r}")
        finally:
            status = catalogue.stop() if catalogue else None
            desk.quit()
        check(status == 0 and catalogue.errors.count(b"\n") == 1,
              f"SIGTERM ends it with status 0, quietly: {status} {catalogue.errors!r}")
        if AS_ROOT:
            reader_of_its_own(catalogue_program, desk_program)
    if failures:
        sys.exit(f"{len(failures)} checks failed")
    print("all checks passed")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""The built catalogue on a data file that a desk keeps, over the loopback.

    catalogue_program_test.py CATALOGUE DESK

The command line and the refusals at start; while a desk works on the file, the pages (statuses
in words, escaped texts, paging), the strict headers, the requests refused (a method, an address,
a value, one too long to read, malformed or stalled), a loan made at the desk shown at the next
request, nothing of any member anywhere, a port in use, and the end on SIGINT and SIGTERM with
status 0. As root both programs run as nobody, and the catalogue refuses root. Every wait is
bounded.
"""

import datetime
import http.client
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

DEADLINE = time.monotonic() + 100  # for the whole test, inside its CTest TIMEOUT
AS_ROOT = os.geteuid() == 0
AS_NOBODY = {"user": 65534, "group": 65534, "extra_groups": []} if AS_ROOT else {}
failures = []
# A member whose details must never show on any page.
MEMBER = (b"Zebedee Quartermaine", b"77 Xylophone Crescent", b"555 0199 7311",
          b"zq.secret@example.org", b"918273")


def time_left(limit):
    if time.monotonic() > DEADLINE:
        raise TimeoutError("out of time")
    return min(limit, DEADLINE - time.monotonic())


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def add(kind, *fields):
    return b"5\n" + kind + b"\n" + b"".join(field + b"\n" for field in fields) + b"6\n"


STOCK = (b"1\n" + b"\n".join(MEMBER) + b"\n"
         + add(b"1", b"B1", b"The River Road", b"Ann Lee", b"14")
         + add(b"2", b"C1", b"River Songs", b"The Quays", b"45:00", b"7")
         + add(b"3", b"J1", b"Rivers Quarterly", b"Ed Banks", b"Issue 4")
         + add(b"4", b"V1", b"\xc3\x89mile on the River", b"Dee Rex", b"PG", b"3")
         + add(b"1", b"B2", b"<script>alert(1)</script>", b"\"Bob\" & 'Al'", b"14")
         + b"".join(add(b"1", b"A%02d" % n, b"Atlas of Valleys %02d" % n, b"Cartographer", b"14")
                    for n in range(60))
         + b"2\n1\n918273\n6\nC1\n9\n")  # the member holds the CD


def start(program, args):
    process = subprocess.Popen([program, *args], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, **AS_NOBODY)
    os.set_blocking(process.stdout.fileno(), False)
    os.set_blocking(process.stderr.fileno(), False)
    return process


def read_until(pipe, done, seconds=20):
    """What `pipe` gives until `done(everything read)` holds."""
    deadline, read = time.monotonic() + time_left(seconds), b""
    while not done(read):
        block = pipe.read()
        if block:
            read += block
        elif block == b"" or time.monotonic() > deadline:
            raise TimeoutError(f"stopped at ...{read[-120:]!r}")
        else:
            time.sleep(0.02)
    return read


def type_at_desk(desk, text):
    """Types `text`, then a bar code no item has, and waits until the desk says so: by then
    every change typed is committed."""
    desk.stdin.write(text + b"6\nNO SUCH ITEM\n")
    desk.stdin.flush()
    read_until(desk.stdout,
               lambda shown: b"ITEM NOT FOUND!" in shown and shown.endswith(b"selection : "))


def serve(catalogue, path):
    """The catalogue on any free port of the loopback, and the port it names."""
    process = start(catalogue, ["--data", path, "--listen", "127.0.0.1:0"])
    line = read_until(process.stderr, lambda errors: b"\n" in errors, 10)
    found = re.fullmatch(rb"shelvoranquist-catalogue: serving .* at http://127\.0\.0\.1:(\d+)/\n",
                         line)
    if not found:
        process.kill()
        raise RuntimeError(f"the catalogue did not start: {line!r}")
    return process, int(found.group(1))


def stopped(process, sent=signal.SIGTERM):
    process.send_signal(sent)
    try:
        status = process.wait(timeout=time_left(15))
    except subprocess.TimeoutExpired:
        process.kill()
        status = process.wait()
    return status, process.stderr.read() or b""


def request(port, method, target):
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=time_left(10))
    try:
        connection.request(method, target, body=b"x" if method == "POST" else None)
        response = connection.getresponse()
        return response.status, response.headers, response.read()
    finally:
        connection.close()


def raw(port, data):
    """What comes back to `data` until the server closes the connection, and how long it took."""
    started, answer = time.monotonic(), b""
    with socket.create_connection(("127.0.0.1", port), timeout=time_left(15)) as sock:
        sock.sendall(data)
        while block := sock.recv(65536):
            answer += block
    return answer, time.monotonic() - started


def command_line(catalogue, folder):
    usage = ("usage: shelvoranquist-catalogue --data FILE|URI [--listen HOST:PORT] [--help] "
             "[--version]")
    never = os.path.join(folder, "never.db")
    for args, fault in (([], "--data is needed: the records to show"),
                        (["--data"], "--data needs a file or a database URI"),
                        (["--data", never, "--data", never], "--data given twice"),
                        (["--data", never, "-x"], "unknown option '-x'"),
                        *((["--data", never, "--listen", listen], "--listen needs HOST:PORT")
                          for listen in ("8080", "host:http", "::1:80", "h:65536"))):
        result = subprocess.run([catalogue, *args], capture_output=True, timeout=time_left(10))
        errors = result.stderr.decode()
        check(result.returncode == 2 and errors.startswith(f"shelvoranquist-catalogue: {fault}")
              and errors.endswith(f"; {usage}\n") and errors.count("\n") == 1, f"{args}: {result}")
    for args in (["--help"], ["--version"]):
        result = subprocess.run([catalogue, *args], capture_output=True, timeout=time_left(10))
        check(result.returncode == 0 and result.stdout and not result.stderr, f"{args}: {result}")
    result = subprocess.run([catalogue, "--data", never], capture_output=True,
                            timeout=time_left(10), **AS_NOBODY)
    check(result.returncode == 1 and result.stderr.count(b"\n") == 1 and result.stderr.startswith(
        f"shelvoranquist-catalogue: {never}: ".encode()) and not os.path.exists(never), f"{result}")
    if AS_ROOT:
        result = subprocess.run([catalogue, "--data", never], capture_output=True,
                                timeout=time_left(10))
        check(result.returncode == 1 and result.stderr == b"shelvoranquist-catalogue: refusing to "
              b"run as root; run it as a user of its own\n", f"refuses to run as root: {result}")


def pages(port, desk):
    shown = []  # every page served, to look for the member in

    def get(target, expected=200):
        status, headers, body = request(port, "GET", target)
        check(status == expected and headers["Content-Security-Policy"].startswith(
            "default-src 'none'; style-src 'self';") and headers["X-Content-Type-Options"]
            == "nosniff" and "charset=utf-8" in headers["Content-Type"],
            f"GET {target}: {status} {dict(headers)}")
        shown.append(body.decode("utf-8"))
        return shown[-1]

    check('<html lang="en">' in get("/") and "text/css" in request(port, "GET", "/style.css")[1]
          ["Content-Type"], "the search page and its stylesheet")
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
    type_at_desk(desk, b"2\n1\n918273\n6\nB1\n7\n")  # the member borrows the book
    lent = get("/search?q=river+road")
    days = (datetime.date.today() + datetime.timedelta(days) for days in (14, 15))
    check(any(f"<dd>On loan, due back {d.day}/{d.month}/{d.year}</dd>" in lent for d in days),
          f"the loan shows at the next request: {lent}")
    for detail in MEMBER[:4]:
        check(not any(detail.decode() in page for page in shown), f"{detail!r} shows on a page")


def refusals(port):
    for method, target, status in (("POST", "/search?q=river", 405), ("DELETE", "/", 405),
                                   ("OPTIONS", "/", 405), ("GET", "/index.html", 404),
                                   ("GET", "/search?kind=dvd&q=river", 400),
                                   ("GET", "/search?q=%FF", 400),
                                   ("GET", "/search?q=" + "a" * 201, 400),
                                   ("GET", "/search?q=river&page=0", 400)):
        got, headers, body = request(port, method, target)
        check(got == status and b"<h1>" in body and headers["X-Content-Type-Options"] == "nosniff"
              and headers["Allow"] == ("GET, HEAD" if status == 405 else None),
              f"{method} {target}: {got}, not {status}")
    status, headers, body = request(port, "HEAD", "/search?q=river")
    check(status == 200 and not body and int(headers["Content-Length"]) > 0, "HEAD: no body")
    for data, status in ((b"GET /" + b"a" * 9000 + b" HTTP/1.1\r\n\r\n", b"414"),
                         (b"GARBAGE\r\n\r\n", b"400"), (b"BREW / HTTP/1.1\r\n\r\n", b"400"),
                         (b"GET / HTTP/9.9\r\n\r\n", b"400"),
                         (b"GET / HTTP/1.1\r\nHost: x\r\n", b"400")):  # stalled: times out
        answer, took = raw(port, data)
        check(answer.startswith(b"HTTP/1.1 " + status) and b"nosniff" in answer and took < 10,
              f"{data[:20]!r}: {answer[:60]!r} after {took:.1f} s")


def main():
    catalogue, desk_program = (os.path.abspath(path) for path in sys.argv[1:3])
    with tempfile.TemporaryDirectory() as folder:
        if AS_ROOT:  # nobody runs both programs, which it may not reach in the build tree
            os.chmod(folder, 0o755)
            os.chown(folder, 65534, 65534)
            catalogue = shutil.copy(catalogue, folder)
            desk_program = shutil.copy(desk_program, folder)
        command_line(catalogue, folder)
        path = os.path.join(folder, "library.db")
        desk = start(desk_program, ["--data", path])
        server = None
        try:
            type_at_desk(desk, STOCK)
            server, port = serve(catalogue, path)
            pages(port, desk)
            refusals(port)
            second, second_port = serve(catalogue, path)
            taken = subprocess.run([catalogue, "--data", path, "--listen",
                                    f"127.0.0.1:{second_port}"], capture_output=True,
                                   timeout=time_left(10), **AS_NOBODY)
            check(taken.returncode == 1 and taken.stderr.count(b"\n") == 1
                  and b"cannot listen on http://127.0.0.1:" in taken.stderr, f"port: {taken}")
            check(stopped(second, signal.SIGINT) == (0, b""), "SIGINT ends it quietly")
        finally:
            ended = stopped(server) if server else None
            desk.communicate(b"14\n", timeout=time_left(10))
        check(ended == (0, b""), f"SIGTERM ends it quietly with status 0: {ended}")
    if failures:
        sys.exit(f"{len(failures)} checks failed")
    print("all checks passed")


if __name__ == "__main__":
    main()

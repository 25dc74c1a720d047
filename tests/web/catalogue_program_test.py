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
MENU_PROMPT = b"selection : "
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


def run(program, args, **options):
    return subprocess.run([program, *args], capture_output=True, timeout=time_left(10),
                          **AS_NOBODY, **options)


class Desk:
    """A desk on a pipe, typed at one screen at a time."""

    def __init__(self, desk, path):
        self.process = subprocess.Popen([desk, "--data", path], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        **AS_NOBODY)
        os.set_blocking(self.process.stdout.fileno(), False)
        self.shown = b""

    def type(self, text):
        """Types `text`, then a bar code no item has, and waits until the desk has said so: by
        then every change typed is committed."""
        not_found = self.shown.count(b"ITEM NOT FOUND!") + 1
        self.process.stdin.write(text + b"6\nNO SUCH ITEM\n")
        self.process.stdin.flush()
        deadline = time.monotonic() + time_left(20)
        while self.shown.count(b"ITEM NOT FOUND!") < not_found or not self.shown.endswith(
                MENU_PROMPT):
            block = self.process.stdout.read()
            if block:
                self.shown += block
            elif time.monotonic() > deadline or self.process.poll() is not None:
                raise TimeoutError(f"the desk stopped at ...{self.shown[-120:]!r}")
            else:
                time.sleep(0.02)

    def quit(self):
        self.process.stdin.write(b"14\n")
        self.process.stdin.close()
        self.process.wait(timeout=time_left(10))


class Catalogue:
    """The catalogue on any free port of the loopback; the port is the one it names."""

    def __init__(self, catalogue, path):
        self.process = subprocess.Popen([catalogue, "--data", path, "--listen", "127.0.0.1:0"],
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        **AS_NOBODY)
        os.set_blocking(self.process.stderr.fileno(), False)
        self.errors = b""
        deadline = time.monotonic() + time_left(10)
        while b"\n" not in self.errors and self.process.poll() is None:
            self.errors += self.process.stderr.read() or b""
            if time.monotonic() > deadline:
                self.stop()
                raise TimeoutError("the catalogue did not say where it listens")
            time.sleep(0.02)
        found = re.search(rb"serving .* at http://127\.0\.0\.1:(\d+)/\n", self.errors)
        if not found:
            self.stop()
            raise RuntimeError(f"the catalogue did not start: {self.errors!r}")
        self.port = int(found.group(1))

    def request(self, method, target, body=None):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=time_left(10))
        try:
            connection.request(method, target, body=body)
            response = connection.getresponse()
            return response.status, response.headers, response.read()
        finally:
            connection.close()

    def raw(self, data, wait=10):
        """Sends `data` on a connection of its own; what came back until the server closed it,
        and how long that took."""
        started = time.monotonic()
        with socket.create_connection(("127.0.0.1", self.port), timeout=time_left(wait)) as sock:
            sock.sendall(data)
            answer = b""
            while True:
                block = sock.recv(65536)
                if not block:
                    return answer, time.monotonic() - started
                answer += block

    def stop(self, sent=signal.SIGTERM):
        self.process.send_signal(sent)
        try:
            self.process.wait(timeout=time_left(15))
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.errors += self.process.stderr.read() or b""
        return self.process.returncode


def command_line(catalogue, folder):
    usage = ("usage: shelvoranquist-catalogue --data FILE|URI [--listen HOST:PORT] [--help] "
             "[--version]")
    data = os.path.join(folder, "never.db")
    for args, fault in (([], "--data is needed: the records to show"),
                        (["--data"], "--data needs a file or a database URI"),
                        (["--data", data, "--data", data], "--data given twice"),
                        (["--data", data, "--listen", "8080"], "--listen needs HOST:PORT"),
                        (["--data", data, "--listen=host:http"], "--listen needs HOST:PORT"),
                        (["--data", data, "--listen", "::1:80"], "--listen needs HOST:PORT"),
                        (["--data", data, "--listen", "h:65536"], "--listen needs HOST:PORT"),
                        (["--data", data, "-x"], "unknown option '-x'")):
        result = run(catalogue, args)
        errors = result.stderr.decode()
        check(result.returncode == 2 and errors.startswith(f"shelvoranquist-catalogue: {fault}")
              and errors.endswith(f"; {usage}\n") and errors.count("\n") == 1,
              f"{args}: {result}")
    for args in (["--help"], ["--version"]):
        result = run(catalogue, args)
        check(result.returncode == 0 and result.stdout and not result.stderr, f"{args}: {result}")
    text = os.path.join(folder, "text.db")
    with open(text, "w") as file:
        file.write("not a database\n" * 100)
    os.chmod(text, 0o644)
    for path in (data, text):
        result = run(catalogue, ["--data", path])
        errors = result.stderr.decode()
        check(result.returncode == 1 and errors.startswith(f"shelvoranquist-catalogue: {path}: ")
              and errors.count("\n") == 1, f"{path} is refused in one line: {result}")
    check(not os.path.exists(data), "no file is created")
    if AS_ROOT:
        result = subprocess.run([catalogue, "--data", text], capture_output=True,
                                timeout=time_left(10))
        check(result.returncode == 1 and result.stderr.count(b"\n") == 1
              and b"root" in result.stderr, f"refuses to run as root: {result}")


def due_dates(days):
    now = datetime.date.today()
    return [f"{d.day}/{d.month}/{d.year}" for d in
            (now + datetime.timedelta(days=days), now + datetime.timedelta(days=days + 1))]


def pages(catalogue, desk):
    shown = []  # every page served, to look for the member in

    def get(target, expected=200):
        status, headers, body = catalogue.request("GET", target)
        check(status == expected, f"GET {target}: {status}, not {expected}")
        check("script-src" not in headers.get("Content-Security-Policy", "-")
              and "default-src 'none'" in headers.get("Content-Security-Policy", "")
              and headers.get("X-Content-Type-Options") == "nosniff"
              and "charset=utf-8" in headers.get("Content-Type", ""),
              f"GET {target}: strict headers: {dict(headers)}")
        text = body.decode("utf-8")
        shown.append(text)
        return text

    home = get("/")
    check('<html lang="en">' in home and '<label for="q">' in home, "the search page")
    check("text/css" in catalogue.request("GET", "/style.css")[1]["Content-Type"], "stylesheet")

    river = get("/search?q=river")
    for status in ("On the shelf", "On hold", "For use in the library"):
        check(f"<dd>{status}</dd>" in river, f"a status '{status}' in {river}")
    check("<p>4 results</p>" in river and "The River Road" in river
          and "\u00c9mile on the River" in river, "four items by a word of their titles")
    check(get("/search?q=the+riv&field=title&kind=book").count("<li>") == 1, "the riv: one book")
    check("Émile" in get("/search?q=EMILE"), "accents and case are folded")
    check("<p>0 results</p>" in get("/search?q=river&available=1&kind=cd"), "a held CD is out")
    hostile = get("/search?q=alert")
    check("&lt;script&gt;alert(1)&lt;/script&gt;" in hostile and "<script" not in hostile
          and "&quot;Bob&quot; &amp; &#39;Al&#39;" in hostile, "hostile texts show as text")
    first = get("/search?q=atlas")
    check("<p>60 results, page 1 of 2</p>" in first and first.count("<li>") == 50
          and 'href="/search?q=atlas&amp;page=2" rel="next"' in first
          and len(first.encode()) < 30000, f"a full page, {len(first.encode())} bytes")
    second = get("/search?q=atlas&page=2")
    check(second.count("<li>") == 10 and 'rel="prev"' in second, "the second page")
    check("Back to page 2" in get("/search?q=atlas&page=7"), "a page past the end")
    check("Please type one or more words" in get("/search?q=%21%3F"), "punctuation alone")
    check("0 results" in get("/search?q=Zebedee") and "0 results" in get("/search?q=918273"),
          "members are not searched")

    check("<dd>On the shelf</dd>" in get("/search?q=river+road"), "the book is on the shelf")
    desk.type(b"2\n1\n918273\n6\nB1\n7\n")  # the member borrows the book
    lent = get("/search?q=river+road")
    check(any(f"<dd>On loan, due back {date}</dd>" in lent for date in due_dates(14)),
          f"the loan shows at the next request: {lent}")
    for page in shown:
        for detail in MEMBER[:4]:
            check(detail.decode() not in page, f"{detail!r} shows on a page")


def refusals(catalogue):
    for method, target, status in (("POST", "/search?q=river", 405), ("DELETE", "/", 405),
                                   ("OPTIONS", "/", 405), ("GET", "/index.html", 404),
                                   ("GET", "/search?kind=dvd&q=river", 400),
                                   ("GET", "/search?q=%FF", 400),
                                   ("GET", "/search?q=" + "a" * 201, 400),
                                   ("GET", "/search?q=river&page=0", 400)):
        got, headers, body = catalogue.request(method, target, body=b"x" if method == "POST" else None)
        check(got == status and b"<h1>" in body and headers.get("X-Content-Type-Options"),
              f"{method} {target}: {got}, not {status}")
        if status == 405:
            check(headers.get("Allow") == "GET, HEAD", f"{method}: Allow {headers.get('Allow')}")
    status, headers, body = catalogue.request("HEAD", "/search?q=river")
    check(status == 200 and not body and int(headers["Content-Length"]) > 0, "HEAD: no body")
    for request, status in ((b"GET /" + b"a" * 9000 + b" HTTP/1.1\r\n\r\n", b"414"),
                            (b"GARBAGE\r\n\r\n", b"400"), (b"BREW / HTTP/1.1\r\n\r\n", b"400"),
                            (b"GET / HTTP/9.9\r\n\r\n", b"400")):
        answer, _ = catalogue.raw(request)
        check(answer.startswith(b"HTTP/1.1 " + status) and b"nosniff" in answer,
              f"{request[:20]!r}: {answer[:60]!r}")
    answer, took = catalogue.raw(b"GET / HTTP/1.1\r\nHost: x\r\n", wait=15)
    check(answer.startswith(b"HTTP/1.1 400 ") and took < 10,
          f"a stalled request is refused and dropped after {took:.1f} s: {answer[:20]!r}")


def main():
    catalogue_program, desk_program = (os.path.abspath(path) for path in sys.argv[1:3])
    with tempfile.TemporaryDirectory() as folder:
        if AS_ROOT:  # nobody runs both programs, which it may not reach in the build tree
            os.chmod(folder, 0o755)
            os.chown(folder, 65534, 65534)
            catalogue_program = shutil.copy(catalogue_program, folder)
            desk_program = shutil.copy(desk_program, folder)
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
    if failures:
        sys.exit(f"{len(failures)} checks failed")
    print("all checks passed")


if __name__ == "__main__":
    main()

"""The two programs of a public catalogue test: a desk typed at through a pipe, and the
catalogue on a free port of the loopback, both on one data file, with bounded waits.

As root, both run as nobody (the catalogue refuses root): `programs_in` copies them into a
folder of nobody's own, where the data file goes too.
"""

import contextlib
import datetime
import http.client
import os
import re
import shutil
import signal
import socket
import subprocess
import tempfile
import time

DEADLINE = time.monotonic() + 100  # for the whole test that imports this, inside its TIMEOUT
MENU_PROMPT = b"selection : "
AS_ROOT = os.geteuid() == 0
AS_NOBODY = {"user": 65534, "group": 65534, "extra_groups": []} if AS_ROOT else {}

# A member whose details must never show on any page.
MEMBER = (b"Zebedee Quartermaine", b"77 Xylophone Crescent", b"555 0199 7311",
          b"zq.secret@example.org", b"918273")


def time_left(limit):
    if time.monotonic() > DEADLINE:
        raise TimeoutError("out of time")
    return min(limit, DEADLINE - time.monotonic())


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


def due_dates(days):
    now = datetime.date.today()
    return [f"{d.day}/{d.month}/{d.year}" for d in
            (now + datetime.timedelta(days=days), now + datetime.timedelta(days=days + 1))]



@contextlib.contextmanager
def programs_in(catalogue_program, desk_program):
    """A new folder, and the two programs as they may be run there; the folder is removed on
    leaving."""
    with tempfile.TemporaryDirectory() as folder:
        if AS_ROOT:  # nobody runs both programs, which it may not reach in the build tree
            os.chmod(folder, 0o755)
            os.chown(folder, 65534, 65534)
            catalogue_program = shutil.copy(catalogue_program, folder)
            desk_program = shutil.copy(desk_program, folder)
        yield folder, catalogue_program, desk_program

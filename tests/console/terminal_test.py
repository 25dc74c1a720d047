#!/usr/bin/env python3
"""The built program on a pseudo-terminal, driven as a librarian drives it.

    terminal_test.py PROGRAM

Each answer is typed only once its prompt is on the screen, so the tests see what the
librarian sees: every prompt written out before the program waits at it, type-ahead dropped
before each question, Ctrl-D ending the run quietly, and lines read as the terminal echoed and
edited them. Anything that does not appear within a few seconds fails the test, never hangs it.
"""

import os
import pty
import select
import signal
import sys
import termios
import time
import unittest

PROGRAM = None
DEADLINE = 5.0  # seconds for one awaited text, or for the end of the run
MAIN = "selection : "


class Terminal:
    """The program on a new pseudo-terminal, its controlling terminal, in a new session."""

    def __enter__(self):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            try:
                os.execve(PROGRAM, [PROGRAM], dict(os.environ, TZ="UTC0"))
            finally:
                os._exit(127)
        self.raw = bytearray()  # all the terminal has shown, line ends as CR LF
        self.seen = 0  # where the last match ended
        self.typed = "nothing yet"
        return self

    def __exit__(self, *_):
        if self.pid is not None:
            os.kill(self.pid, signal.SIGKILL)
            os.waitpid(self.pid, 0)
        os.close(self.fd)

    def cc(self, index):
        """One of the terminal's special characters (erase, end of file...)."""
        return termios.tcgetattr(self.fd)[6][index].decode()

    def _stuck(self, what):
        shown = self.raw[self.seen:][-2000:].replace(b"\r\n", b"\n").decode(errors="replace")
        raise AssertionError(f"{what}, the last answer typed being {self.typed}; "
                             f"the screen after the last match (its end):\n{shown}")

    def _read(self, until, waiting_for):
        """Adds what appears by `until` to the screen; False once the program has let go of it."""
        left = until - time.monotonic()
        if left <= 0 or not select.select([self.fd], [], [], left)[0]:
            self._stuck(f"no {waiting_for} within {DEADLINE} s")
        try:
            chunk = os.read(self.fd, 65536)
        except OSError:  # EIO: no process holds the terminal any more
            chunk = b""
        self.raw += chunk
        return bool(chunk)

    def expect(self, text):
        """Waits until `text` is on the screen after the last match. The terminal shows every
        line end as CR LF, the program's and the echo of a typed one alike."""
        wanted = text.replace("\n", "\r\n").encode()
        until, start = time.monotonic() + DEADLINE, self.seen
        while (found := self.raw.find(wanted, start)) < 0:
            start = max(self.seen, len(self.raw) - len(wanted))
            if not self._read(until, repr(text)):
                self._stuck(f"the program ended before {text!r} appeared")
        self.seen = found + len(wanted)

    def type(self, text, end="\n"):
        self.typed = f"{text!r} after {self.raw[-40:].decode(errors='replace')!r}"
        try:
            os.write(self.fd, (text + end).encode())
        except OSError:
            self._stuck("the program ended before the answer could be typed")

    def answer(self, steps):
        """Types each step's answer (its last entry) once its texts have appeared, in order."""
        for *texts, typed in steps:
            for text in texts:
                self.expect(text)
            self.type(typed)

    def wait_exit(self):
        """Waits for the end of the run; its exit status."""
        until = time.monotonic() + DEADLINE
        while self._read(until, "end of the run"):
            pass
        status = os.waitpid(self.pid, 0)[1]
        self.pid = None
        return os.waitstatus_to_exitcode(status)


class TerminalTest(unittest.TestCase):
    def test_each_prompt_is_on_the_screen_before_the_program_waits(self):
        with Terminal() as t:
            t.answer([("14. Quit", MAIN, "5"), ("Add/Delete item", MAIN, "6"), (MAIN, "5"),
                      (MAIN, "1"), ("ADD NEW BOOK", "Barcode: ", "B-7"), ("Title: ", "Dune"),
                      ("Author: ", "Ann Orr"), ("Book's loan length (days): ", "14"),
                      (MAIN, "6"), (MAIN, "12"), ("5, Back to main menu", "1"),
                      ("SEARCH BOOK", "Selection : ", "1"),
                      ("Please enter book's bar code number : ", "B-7"),
                      ("Do you want to hold this book (y/n)?\n", "n"), (MAIN, "14")])
            self.assertEqual(t.wait_exit(), 0)

    def test_type_ahead_is_dropped_before_each_question(self):
        # Both answers go in one write, so both are there before the program reads the first:
        # the "14" as a second line still in the terminal, or as the rest of the line already
        # in the program's buffer. Kept, it would end the run; dropped, the menu waits again.
        for typed_ahead in ["4\n14", "4 14"]:
            with self.subTest(typed_ahead=typed_ahead), Terminal() as t:
                t.answer([(MAIN, typed_ahead), (MAIN, "4"), (MAIN, "14")])
                self.assertEqual(t.wait_exit(), 0)

    def test_ctrl_d_at_a_prompt_ends_the_run_quietly(self):
        for steps, prompt in [([], MAIN), ([(MAIN, "1")], "Name: "),
                              ([(MAIN, "2"), ("Selection : ", "3")], "Library card number : ")]:
            with self.subTest(prompt=prompt), Terminal() as t:
                t.answer(steps)
                t.expect(prompt)
                t.type(t.cc(termios.VEOF), end="")
                self.assertEqual(t.wait_exit(), 0)
                # Nothing is written after the prompt; some terminals echo Ctrl-D as "^D".
                self.assertEqual(t.raw[t.seen:].replace(b"^D\b\b", b""), b"")

    def test_lines_are_read_as_the_terminal_echoed_and_edited_them(self):
        with Terminal() as t:
            t.answer([(MAIN, "1"), ("Name: ", "Ann X" + t.cc(termios.VERASE) + "Y"),
                      ("Address: ", "1 Quay St"), ("Phone number: ", "555 0100"),
                      ("E-mail address: ", "ann@example.org"), ("Library number: ", "7"),
                      (MAIN, "2"), ("Selection : ", "4"), ("Member's name : ", "Ann Y")])
            t.expect("Ann Y\n")  # the terminal's echo of the answer
            t.expect("MEMBER         : Ann Y\n")
            t.answer([(MAIN, "14")])
            self.assertEqual(t.wait_exit(), 0)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit("usage: terminal_test.py PROGRAM")
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    if not os.access(PROGRAM, os.X_OK):
        sys.exit(f"not an executable program: {PROGRAM}")
    unittest.main()

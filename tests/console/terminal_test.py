#!/usr/bin/env python3
"""The built program on a pseudo-terminal, driven as a librarian drives it.

    terminal_test.py PROGRAM

Each answer is typed only once its prompt is on the screen: every prompt must be written out
before the program waits at it, type-ahead is dropped before each question, Ctrl-D ends the
run quietly, and lines are read as the terminal echoed and edited them. A text that does not
appear within a few seconds fails the test; nothing hangs it.
"""

import os
import pty
import select
import signal
import sys
import termios
import time
import unittest

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
        self.screen = bytearray()  # all the terminal has shown; it ends every line with CR LF
        self.seen = 0  # where the last awaited text ended
        self.typed = "nothing yet"
        return self

    def __exit__(self, *_):
        if self.pid is not None:
            os.kill(self.pid, signal.SIGKILL)
            os.waitpid(self.pid, 0)
        os.close(self.fd)

    def cc(self, index):
        """One of the terminal's special characters (erase, end of file)."""
        return termios.tcgetattr(self.fd)[6][index].decode()

    def _read(self, until, waiting_for):
        """Adds what appears by `until` to the screen; False once the program has let go."""
        left = until - time.monotonic()
        if left <= 0 or not select.select([self.fd], [], [], left)[0]:
            shown = self.screen[self.seen:][-1500:].replace(b"\r\n", b"\n").decode(errors="replace")
            raise AssertionError(f"no {waiting_for} within {DEADLINE} s after typing "
                                 f"{self.typed}; the screen since the last match:\n{shown}")
        try:
            chunk = os.read(self.fd, 65536)
        except OSError:  # EIO: no process holds the terminal any more
            chunk = b""
        self.screen += chunk
        return bool(chunk)

    def expect(self, text):
        """Waits until `text` is on the screen after the last awaited text."""
        wanted, until = text.replace("\n", "\r\n").encode(), time.monotonic() + DEADLINE
        while (found := self.screen.find(wanted, self.seen)) < 0:
            if not self._read(until, repr(text)):
                raise AssertionError(f"the program ended before {text!r} appeared")
        self.seen = found + len(wanted)

    def type(self, text, end="\n"):
        self.typed = f"{text!r} after {self.screen[-40:].decode(errors='replace')!r}"
        os.write(self.fd, (text + end).encode())

    def answer(self, steps):
        """Types each step's last entry once the texts before it have appeared, in order."""
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
        # "14" as a line still in the terminal, or as the rest of the line already read by the
        # program. Kept, it would end the run; dropped, the menu waits for the next answer.
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
                self.assertEqual(t.screen[t.seen:].replace(b"^D\b\b", b""), b"")

    def test_lines_are_read_as_the_terminal_echoed_and_edited_them(self):
        with Terminal() as t:
            t.answer([(MAIN, "1"), ("Name: ", "Ann X" + t.cc(termios.VERASE) + "Y"),
                      ("Address: ", "1 Quay St"), ("Phone number: ", "555 0100"),
                      ("E-mail address: ", "ann@example.org"), ("Library number: ", "7"),
                      (MAIN, "2"), ("Selection : ", "4"), ("Member's name : ", "Ann Y"),
                      ("Ann Y\n", "MEMBER         : Ann Y\n", MAIN, "14")])
            self.assertEqual(t.wait_exit(), 0)


if __name__ == "__main__":
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    unittest.main()

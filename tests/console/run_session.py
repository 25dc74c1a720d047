#!/usr/bin/env python3
"""Runs the built program through a pipe on a scripted session at a clock the script sets.

    run_session.py PROGRAM SESSION TRANSCRIPT [--write]

SESSION holds what the librarian types, one answer per line. A line "@ YYYY-MM-DD HH:MM"
sets the clock for the answers after it: the program waits at its prompt while the time
passes. The clock is libfaketime's, preloaded into the program only; local time is UTC.
The program must exit with status 0 and write exactly TRANSCRIPT (or, with --write, what it
writes becomes TRANSCRIPT).
"""

import fcntl
import glob
import os
import struct
import subprocess
import sys
import tempfile
import termios
import threading
import time


def segments(session_path):
    """Yields (clock, typed text) pairs in the order of the session."""
    clock, typed = None, []
    with open(session_path, "rb") as session:
        for line in session:
            if line.startswith(b"@ "):
                if typed or clock is not None:
                    yield clock, b"".join(typed)
                clock, typed = line[2:].strip().decode(), []
            else:
                typed.append(line)
    yield clock, b"".join(typed)


def waiting_for_input(pid, pipe_fd):
    """Whether the program has read everything sent and is blocked reading more."""
    unread = struct.unpack("i", fcntl.ioctl(pipe_fd, termios.FIONREAD, b"\0\0\0\0"))[0]
    if unread:
        return False
    try:
        with open(f"/proc/{pid}/syscall") as syscall:
            fields = syscall.read().split()
    except OSError:
        return False
    # On x86-64 read is system call 0; its first argument is the descriptor.
    return len(fields) > 1 and fields[0] == "0" and int(fields[1], 16) == 0


def main():
    program, session_path, transcript_path = sys.argv[1:4]
    write = "--write" in sys.argv[4:]
    preload = glob.glob("/usr/lib/*/faketime/libfaketime.so.1")
    if not preload:
        sys.exit("libfaketime is not installed (Debian package faketime)")

    with tempfile.TemporaryDirectory() as scratch:
        stamp_file = os.path.join(scratch, "clock")
        with open(stamp_file, "w") as stamp:
            stamp.write("2026-12-08 09:00:00\n")
        env = dict(os.environ, TZ="UTC", LD_PRELOAD=preload[0],
                   FAKETIME_TIMESTAMP_FILE=stamp_file, FAKETIME_NO_CACHE="1",
                   ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0")
        env.pop("FAKETIME", None)
        process = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   env=env)
        output = []
        reader = threading.Thread(target=lambda: output.append(process.stdout.read()))
        reader.start()

        deadline = time.monotonic() + 60
        for clock, typed in segments(session_path):
            while not waiting_for_input(process.pid, process.stdin.fileno()):
                if process.poll() is not None or time.monotonic() > deadline:
                    break
                time.sleep(0.002)
            if clock is not None:
                with open(stamp_file + ".new", "w") as stamp:
                    stamp.write(clock + ":00\n")
                os.replace(stamp_file + ".new", stamp_file)
            if process.poll() is None and typed:
                process.stdin.write(typed)
                process.stdin.flush()
        process.stdin.close()
        status = process.wait(timeout=max(1, deadline - time.monotonic()))
        reader.join()

    written = output[0] if output else b""
    if write:
        with open(transcript_path, "wb") as transcript:
            transcript.write(written)
    with open(transcript_path, "rb") as transcript:
        expected = transcript.read()
    if status != 0:
        sys.exit(f"exit status {status}")
    if written != expected:
        sys.stdout.buffer.write(b"output differs from " + transcript_path.encode() + b"\n")
        for number, (want, got) in enumerate(zip(expected.split(b"\n"), written.split(b"\n"))):
            if want != got:
                sys.stdout.buffer.write(b"line %d: expected %r\n        got      %r\n" %
                                        (number + 1, want, got))
                break
        sys.exit(1)
    print("ok", os.path.basename(session_path))


if __name__ == "__main__":
    main()

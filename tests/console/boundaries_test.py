#!/usr/bin/env python3
"""The built program where it meets the operating system.

    boundaries_test.py PROGRAM [--sanitized]

A write that fails stops the run at once with status 1 and one line on standard error, and so
does a read that fails; the end of the input still ends the run quietly with status 0, and a
closed pipe by SIGPIPE. A huge e-mail word is refused in bounded memory, and the text limits
count characters, not bytes. Under the sanitizers (--sanitized) the address space cannot be
limited and the huge word is smaller.
"""

import os
import resource
import signal
import sys
import tempfile
import threading

PROGRAM = sys.argv[1]
SANITIZED = "--sanitized" in sys.argv[2:]
ADD_MEMBER = b"1\nAnn\nA\n1\na@b\n7\n14\n"
NAME_49 = "Александра Константиновна Погребняк-Здравомыслова"
TITLE_49 = "Преступление и наказание, роман в шести частях!!!"


def run(typed=b"", stdin=None, stdout=None, close=(), limit=None, stream=None):
    """Runs the program and returns (exit status or -signal, output, errors, peak memory in kB,
    bytes of the typed file it read). What is typed comes from a file unless `stdin` is given;
    `stream` is a list of byte blocks written to it through a pipe instead."""
    with tempfile.TemporaryFile() as typed_file, tempfile.TemporaryFile() as out, \
            tempfile.TemporaryFile() as err:
        typed_file.write(typed)
        typed_file.seek(0)
        pipe = os.pipe() if stream is not None else None
        pid = os.fork()
        if pid == 0:
            try:
                os.dup2(pipe[0] if pipe else stdin if stdin is not None else typed_file.fileno(), 0)
                os.dup2(stdout if stdout is not None else out.fileno(), 1)
                os.dup2(err.fileno(), 2)
                for fd in close:
                    os.close(fd)
                signal.signal(signal.SIGPIPE, signal.SIG_DFL)  # as a shell starts it
                if limit:
                    resource.setrlimit(resource.RLIMIT_AS, (limit, limit))
                os.execv(PROGRAM, [PROGRAM])
            finally:
                os._exit(127)
        if pipe:
            os.close(pipe[0])
            writer = threading.Thread(target=feed, args=(pipe[1], stream))
            writer.start()
        _, status, usage = os.wait4(pid, 0)
        if pipe:
            writer.join()
        out.seek(0)
        err.seek(0)
        code = os.waitstatus_to_exitcode(status)
        return code, out.read(), err.read().decode(), usage.ru_maxrss, typed_file.tell()


def feed(fd, blocks):
    try:
        for block in blocks:
            os.write(fd, block)
    except BrokenPipeError:
        pass
    finally:
        os.close(fd)


def expect(name, condition, detail=""):
    if not condition:
        FAILURES.append(f"{name}: {detail}")


def main():
    full = os.open("/dev/full", os.O_WRONLY)
    directory = os.open(".", os.O_RDONLY)
    read_end, write_end = os.pipe()
    os.close(read_end)
    cannot_write = "shelvoranquist: cannot write to standard output: "
    cannot_read = "shelvoranquist: cannot read standard input: "
    failures = [  # name, how it runs, status, standard error
        ("output to a full disk", dict(typed=ADD_MEMBER, stdout=full), 1,
         cannot_write + "No space left on device\n"),
        ("output closed", dict(typed=ADD_MEMBER, close=[1]), 1,
         cannot_write + "Bad file descriptor\n"),
        ("input a directory", dict(stdin=directory), 1, cannot_read + "Is a directory\n"),
        ("input closed", dict(close=[0]), 1, cannot_read + "Bad file descriptor\n"),
        ("output to a closed pipe", dict(typed=ADD_MEMBER, stdout=write_end), -signal.SIGPIPE, ""),
        ("end of input", dict(typed=b"1\nAnn\n"), 0, ""),
    ]
    for name, how, status, errors in failures:
        code, _, written_errors, _, read = run(**how)
        expect(name, (code, written_errors) == (status, errors), f"{code} {written_errors!r}")
        if status != 0:
            expect(name, read == 0, f"read {read} bytes after the failure")

    # A 300 MB e-mail word in a 400 MB address space: refused, asked again, and never held.
    megabytes = 20 if SANITIZED else 300
    word = [b"1\nAnn\nA\n1\n"] + [b"x" * 2**20] * megabytes + [b"\na@b\n7\n2\n4\nAnn\n14\n"]
    code, out, errors, peak, _ = run(stream=word, limit=None if SANITIZED else 400 * 2**20)
    refusal = b"E-mail address: PLEASE ENTER AT MOST 254 CHARACTERS!\nE-mail address: "
    expect("huge e-mail word", code == 0 and errors == "" and refusal in out
           and b"E_Mail Address : a@b\n" in out, f"status {code} {errors!r}")
    expect("huge e-mail word", peak < 64 * 1024, f"peak memory {peak} kB")

    # Texts outside ASCII: 49 characters fit however many bytes they take, 50 do not.
    assert len(NAME_49) == 49 and len(TITLE_49) == 49
    name, title = NAME_49.encode(), TITLE_49.encode()
    typed = (b"1\n" + name + "Я\n".encode() + name + b"\nA\n1\na@b\n7\n2\n4\n" + name + b"\n"
             b"5\n1\nB1\n" + title + b"\nAuthor\n14\n6\n12\n1\n2\n" + title + b"\nn\n14\n")
    code, out, errors, _, _ = run(typed)
    expect("texts outside ASCII", code == 0 and errors == "", f"status {code} {errors!r}")
    expect("texts outside ASCII", out.count(b"PLEASE ENTER AT MOST 49 CHARACTERS!\nName: ") == 1
           and b"MEMBER         : " + name + b"\n" in out
           and b"Title       :" + title + b"\nCall number :B1\n" in out, out[-300:])

    for failure in FAILURES:
        print("FAIL", failure)
    return 1 if FAILURES else 0


FAILURES = []

if __name__ == "__main__":
    sys.exit(main())

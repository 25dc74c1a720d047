#!/usr/bin/env python3
"""A throwaway PostgreSQL cluster for one test run, reached only through its Unix socket.

    postgres_cluster.py start DIR         a new cluster; DIR becomes a link to its folder
    postgres_cluster.py stop DIR          the server stopped, the folder and DIR removed
    postgres_cluster.py restart DIR       the server stopped and started again, records kept
    postgres_cluster.py createdb DIR NAME a new, empty database NAME; prints its URI

DIR lives in the build tree; the cluster itself lives in a short folder under the temporary
folder, since a socket's path may not exceed 107 bytes. The server keeps the durable settings
the desk relies on (fsync, synchronous commits), so a commit a test sees is a real one. As root,
initdb, pg_ctl and the server run as the user postgres (the server refuses to run as root); as
anyone else they run as that user. The role of the user who started the cluster is its
superuser, trusted on the socket, whose folder only the cluster's owner (and root) may enter.
The server's log is in the folder while it runs, and is kept beside DIR as DIR.log once the
cluster is removed. Every wait is bounded.
"""

import glob
import os
import pwd
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import urllib.parse

PORT = 5432
FOLDER_PREFIX = "shelvoranquist-pg-"
SOCKET_PATH_LIMIT = 107  # sun_path, less its terminating NUL
WAIT_SECONDS = 20  # pg_ctl's own bound on a start or a stop
COMMAND_SECONDS = 60  # any other command: initdb syncs its files, a busy machine is slow
DATABASE_NAME = re.compile(r"[A-Za-z0-9_]{1,63}")
SETTINGS = """
# A throwaway cluster of the tests: the socket alone, and commits as durable as in production.
listen_addresses = ''
port = {port}
unix_socket_directories = '{folder}'
fsync = on
synchronous_commit = on
full_page_writes = on
"""


class ClusterError(Exception):
    pass


def bin_dir():
    """The folder of the newest installed server's programs, or of the initdb on the PATH."""
    versions = glob.glob("/usr/lib/postgresql/*/bin/initdb")
    if versions:
        return os.path.dirname(max(versions, key=lambda path: int(path.split("/")[4])))
    initdb = shutil.which("initdb")
    if initdb:
        return os.path.dirname(os.path.realpath(initdb))
    raise ClusterError("no PostgreSQL server is installed (tests/install_test_tools.sh installs "
                       "the package postgresql)")


def clean_environment():
    # A PGHOST, PGPORT or PGDATABASE of the caller's would send the tools elsewhere.
    return {name: value for name, value in os.environ.items() if not name.startswith("PG")}


def run(command, owner=None, cwd=None, check=True):
    """Runs a command, as the user `owner` when root runs this; returns what it wrote."""
    if owner is not None and os.geteuid() == 0:
        command = ["runuser", "-u", owner, "--", *command]
    try:
        result = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, text=True,
                                cwd=cwd, env=clean_environment(), timeout=COMMAND_SECONDS)
    except subprocess.TimeoutExpired:
        raise ClusterError(f"{command[0]} still ran after {COMMAND_SECONDS} s: "
                           + " ".join(command)) from None
    if check and result.returncode != 0:
        raise ClusterError(f"{' '.join(command)} exited with status {result.returncode}:\n"
                           + result.stdout + result.stderr)
    return result.stdout


class Cluster:
    """The cluster that DIR, a link in the build tree, names."""

    def __init__(self, link):
        self.link = os.path.abspath(link)
        self.folder = os.path.realpath(self.link) if os.path.islink(self.link) else None

    @property
    def data(self):
        return os.path.join(self.folder, "data")

    @property
    def log(self):
        return os.path.join(self.folder, "server.log")

    @property
    def owner(self):
        return "postgres" if os.geteuid() == 0 else None

    def pg_ctl(self, *arguments, check=True):
        return run([os.path.join(bin_dir(), "pg_ctl"), *arguments, "-D", self.data],
                   owner=self.owner, cwd=self.folder, check=check)

    def create(self):
        """A new folder, a new cluster in it and its server started; DIR links to the folder."""
        self.remove()  # what a killed run left behind
        parent = tempfile.gettempdir()
        if len(os.path.join(parent, FOLDER_PREFIX + "xxxxxxxx", f".s.PGSQL.{PORT}.lock")) \
                > SOCKET_PATH_LIMIT:
            parent = "/tmp"
        self.folder = tempfile.mkdtemp(prefix=FOLDER_PREFIX, dir=parent)
        if self.owner:
            owner = pwd.getpwnam(self.owner)
            os.chown(self.folder, owner.pw_uid, owner.pw_gid)
        os.symlink(self.folder, self.link)
        superuser = pwd.getpwuid(os.geteuid()).pw_name
        # Flushing the new cluster's files to disk took initdb from 1 s to 5 s on a busy
        # machine, and a cluster that a crash of the machine lost is no loss: the server still
        # flushes every commit.
        run([os.path.join(bin_dir(), "initdb"), "--pgdata", self.data, "--username", superuser,
             "--auth", "trust", "--encoding", "UTF8", "--locale", "C.UTF-8", "--no-instructions",
             "--no-sync"], owner=self.owner, cwd=self.folder)
        with open(os.path.join(self.data, "postgresql.conf"), "a") as settings:
            settings.write(SETTINGS.format(port=PORT, folder=self.folder))
        self.start_server()

    def start_server(self):
        self.pg_ctl("start", "-w", "-t", str(WAIT_SECONDS), "-l", self.log)

    def stop_server(self, mode="fast"):
        """Stops the server; once it returns, the server's process is gone."""
        postmaster = self.postmaster()
        self.pg_ctl("stop", "-w", "-t", str(WAIT_SECONDS), "-m", mode)
        if postmaster and not wait_until_gone(postmaster):
            raise ClusterError(f"the server, process {postmaster}, still ran {WAIT_SECONDS} s "
                               "after it was stopped")

    def postmaster(self):
        """The number of the server's first process, while it runs."""
        running = re.search(r"server is running \(PID: (\d+)\)",
                            self.pg_ctl("status", check=False))
        return int(running.group(1)) if running else None

    def restart_server(self):
        self.pg_ctl("restart", "-w", "-t", str(WAIT_SECONDS), "-m", "fast", "-l", self.log)

    def remove(self):
        """Stops the server however it can, keeps its log as DIR.log, removes folder and DIR."""
        if self.folder and os.path.isdir(self.data):
            postmaster = self.postmaster()
            if postmaster:
                try:
                    # The records go with the folder: no shutdown checkpoint to wait for.
                    self.stop_server("immediate")
                except ClusterError as error:
                    print(error, file=sys.stderr)
                if not wait_until_gone(postmaster):
                    kill_with_children(postmaster)
                    wait_until_gone(postmaster)
        if self.folder and os.path.exists(self.log):
            shutil.copyfile(self.log, self.link + ".log")
        # Only a folder this script made is removed, whatever DIR was made to point at.
        if self.folder and os.path.basename(self.folder).startswith(FOLDER_PREFIX):
            shutil.rmtree(self.folder, ignore_errors=True)
        if os.path.lexists(self.link):
            os.unlink(self.link)

    def uri(self, name):
        return f"postgresql:///{name}?host={urllib.parse.quote(self.folder)}&port={PORT}"

    def fresh_database(self, name):
        """Database NAME, new and empty (an earlier one of that name dropped); its URI."""
        if not DATABASE_NAME.fullmatch(name):
            raise ClusterError(f"{name!r} is no database name of the tests: at most 63 letters, "
                               "digits and underscores")
        if not self.folder:
            raise ClusterError(f"no cluster at {self.link}: the fixture postgres_cluster_start "
                               f"starts one, or {sys.argv[0]} start {self.link}")
        tools = bin_dir()
        connection = ["--host", self.folder, "--port", str(PORT)]
        run([os.path.join(tools, "dropdb"), *connection, "--if-exists", "--force", name])
        # Copying the template's files took a third of the time of logging them (the default).
        run([os.path.join(tools, "createdb"), *connection, "--strategy", "file_copy", name])
        return self.uri(name)


def kill_with_children(postmaster):
    # The last resort when a fast stop failed: the server and the processes it started.
    children = subprocess.run(["pgrep", "-P", str(postmaster)], capture_output=True, text=True,
                              timeout=COMMAND_SECONDS).stdout.split()
    for pid in [postmaster, *map(int, children)]:
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass


def wait_until_gone(pid):
    """Whether process `pid` has ended and been collected, within a bounded wait."""
    # pg_ctl returns once the server removed its pid file, before its process is gone; and the
    # server left pg_ctl behind when it started, so the machine's first process collects it.
    deadline = time.monotonic() + WAIT_SECONDS
    while os.path.exists(f"/proc/{pid}"):
        if time.monotonic() > deadline:
            return False
        time.sleep(0.05)
    return True


def main(arguments):
    commands = {"start": 1, "stop": 1, "restart": 1, "createdb": 2}
    if len(arguments) < 2 or commands.get(arguments[0]) != len(arguments) - 1:
        print(__doc__.split("\n\n")[1], file=sys.stderr)
        return 2
    cluster = Cluster(arguments[1])
    try:
        if arguments[0] == "start":
            started = time.monotonic()
            try:
                cluster.create()
            except ClusterError:
                if cluster.folder and os.path.exists(cluster.log):
                    with open(cluster.log) as log:
                        print(log.read(), file=sys.stderr)
                cluster.remove()
                raise
            print(f"cluster started in {time.monotonic() - started:.2f} s: {cluster.folder}")
        elif arguments[0] == "stop":
            stopping = time.monotonic()
            cluster.remove()
            print(f"cluster stopped and removed in {time.monotonic() - stopping:.2f} s")
        elif arguments[0] == "restart":
            cluster.restart_server()
        else:
            print(cluster.fresh_database(arguments[2]))
    except ClusterError as error:
        print(f"postgres_cluster.py: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

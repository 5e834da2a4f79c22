"""What the end-to-end scripts share: deadlines, child processes, a private folder, exit codes."""

import ctypes
import glob
import importlib.util
import os
import pathlib
import re
import shutil
import signal
import subprocess
import tempfile
import time

SKIP = 77  # the tests' SKIP_RETURN_CODE
DEADLINE = 60  # seconds; it only bounds how long a broken run takes to fail


class Failure(Exception):
    pass


class Skip(Failure):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(what, probe, timeout=DEADLINE, alive=lambda: None):
    """Polls probe() until it returns something true, and returns that.
    A Failure ends the wait; other errors count as "not yet"."""
    deadline, error = time.monotonic() + timeout, None
    while True:
        alive()
        try:
            value = probe()
            if value:
                return value
        except Failure:
            raise
        except Exception as e:  # such as an accessible object gone while it was read
            error = e
        check(time.monotonic() < deadline, f"timed out waiting for {what}"
              + (f"; last error {error!r}" if error else ""))
        time.sleep(0.05)


def require(tools=(), paths=(), modules=()):
    """Raises Skip naming the programs, files and Python modules this machine lacks."""
    missing = [t for t in tools if shutil.which(t) is None]
    missing += [p for p in paths if not os.path.exists(p)]
    missing += [f"python3-{m}" for m in modules if importlib.util.find_spec(m) is None]
    if missing:
        raise Skip(f"missing {', '.join(missing)} (scripts/setup.sh installs them)")


def crlf(*lines):
    return b"".join(line.encode("latin-1") + b"\r\n" for line in lines)


class Private:
    """A temporary folder and an environment of its own: settings, runtime folder, instance."""

    def __init__(self, name):
        # Short, for socket paths, and readable, for CUPS filters running as "lp".
        self.tmp = tempfile.mkdtemp(prefix=f"kr44-{name}-", dir="/tmp")
        os.chmod(self.tmp, 0o755)
        self.env = {k: v for k, v in os.environ.items() if not k.startswith(
            ("QT_", "XDG_", "DBUS_", "SESSION_MANAGER", "KR44_", "CUPS_", "LC_", "LANG",
             "PRINTER", "LPDEST", "DISPLAY", "WAYLAND_DISPLAY"))}
        self.env.update({k: self.path(k.lower() + "/") for k in ("HOME", "XDG_CONFIG_HOME",
                         "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR")},
                        LC_ALL="C.UTF-8", KR44_INSTANCE_NAME=f"{name}-{os.getpid()}")
        os.chmod(self.env["XDG_RUNTIME_DIR"], 0o700)
        self.processes = []

    def path(self, *parts):
        """A path below the folder, with the folders above it made (all of "a/b/")."""
        path = os.path.join(self.tmp, *parts)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        return path

    def write(self, name, content):
        pathlib.Path(self.path("files", name)).write_bytes(content)
        return self.path("files", name)

    def log(self, name):
        return open(self.path("log", name), "ab")

    def start(self, command, **kwargs):
        """Starts a process in a group of its own, which gets SIGTERM when this script dies."""
        self.processes.append(subprocess.Popen(
            command, env=self.env, stdin=subprocess.DEVNULL, start_new_session=True,
            preexec_fn=lambda: ctypes.CDLL(None).prctl(1, signal.SIGTERM), **kwargs))
        return self.processes[-1]

    def start_and_read(self, command, what, **kwargs):
        """Starts a process and returns the first line it writes to the file descriptor {fd}."""
        with open(self.path("log", what), "w") as f:
            self.start([arg.replace("{fd}", str(f.fileno())) for arg in command],
                       pass_fds=(f.fileno(),), **kwargs)
        return wait_for(what, lambda: re.match(r"(.+)\n", pathlib.Path(f.name).read_text())[1])

    def stop(self, process):
        """Kills a running process's group: it and what it started, such as a bus's services."""
        if process.returncode is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()

    def close(self, keep):
        """Kills the processes started here, last first; removes the folder or shows its logs."""
        for process in reversed(self.processes):
            self.stop(process)
        if not keep:
            return shutil.rmtree(self.tmp, ignore_errors=True)
        for log in glob.glob(self.path("log/*")):
            with open(log, errors="replace") as f:
                print(f"--- end of {log} ---\n" + "".join(f.readlines()[-30:]))


def outcome(body, finish):
    """Runs body(), then finish(failed); prints a failure or skip and returns the exit code."""
    code = 1
    try:
        body()
        code = 0
    except Failure as failure:
        code = SKIP if isinstance(failure, Skip) else 1
        print(f"{'SKIP' if code == SKIP else 'FAIL'}: {failure}")
    finally:
        finish(code == 1)
    return code


class Heard:
    """AT-SPI events as a screen reader hears them, as (role, name) of their objects: those
    that took the focus, and those whose name changed (a status text, a value shown)."""

    def __init__(self, registry):
        from gi.repository import GLib
        self.focused, self.renamed, self.context = [], [], GLib.MainContext.default()
        registry.registerEventListener(self.hear, "object:state-changed:focused",
                                       "object:property-change:accessible-name")

    def hear(self, event):
        try:  # a closed window's objects may be gone by the time its events are read
            seen = (event.source.getRoleName(), event.source.name)
        except Exception:
            return
        if not event.type.endswith("focused"):
            self.renamed.append(seen)
        elif event.detail1:
            self.focused.append(seen)

    def until(self, probe):
        """probe() for wait_for(), after the events that have arrived are taken in."""
        def heard():
            while self.context.iteration(False):
                pass
            return probe()
        return heard

"""Helpers of the end-to-end tests: Wine programs started and stopped by PID,
the test main window's command channel, xdotool typing and polling."""

import os
import queue
import shutil
import subprocess
import threading
import time
import traceback


SCRIPTS = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))), "scripts")


class VirtualDisplay:
    """An Xvfb display of this run's own, on the first free number from first
    to last (scripts/start-xvfb, which also takes over numbers that a killed
    run left locked). Sets DISPLAY; stop() ends the server."""

    def __init__(self, first, last):
        done = subprocess.run([os.path.join(SCRIPTS, "start-xvfb"), str(first), str(last)],
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, timeout=300)
        if done.returncode != 0:
            raise E2eError("no free X display from :%d to :%d" % (first, last))
        number, pid = done.stdout.split()
        self.name = ":" + number
        self.pid = int(pid)
        os.environ["DISPLAY"] = self.name

    def stop(self):
        if not self.pid:
            return
        try:
            os.kill(self.pid, 15)
        except ProcessLookupError:
            pass
        # Not our child: wait until it is gone or left only as a zombie.
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            try:
                with open("/proc/%d/stat" % self.pid) as f:
                    if f.read().split(")")[-1].split()[0] == "Z":
                        break
            except OSError:
                break
            time.sleep(0.05)
        self.pid = 0


class E2eError(Exception):
    pass


def stays(what, read, expected, duration=1.0, interval=0.05):
    """Checks that read() gives expected now and all through the next duration
    seconds: the check that nothing more happens, which one read after a
    sleep misses when a change comes and goes, or comes late."""
    deadline = time.monotonic() + duration
    while True:
        value = read()
        if value != expected:
            raise E2eError("%s: %r, where it should stay %r" % (what, value, expected))
        if time.monotonic() >= deadline:
            return
        time.sleep(interval)


def wait_for(what, condition, timeout=20.0, interval=0.1):
    """Polls condition() until it returns a true value; raises on the deadline."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise E2eError("timed out waiting for " + what)
        time.sleep(interval)


class Wine:
    """A Wine prefix of the test's own; every process started through it is
    remembered and stopped by its PID, and the prefix's wineserver is
    stopped at the end."""

    def __init__(self, prefix, scripts):
        self.prefix = prefix
        self.scripts = scripts
        self.env = dict(os.environ)
        self.env["PATH"] = "/usr/lib/wine:" + self.env.get("PATH", "")
        self.env["WINEPREFIX"] = prefix
        self.env["WINEDEBUG"] = "-all"
        self.env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
        self.processes = []

    def make_prefix(self):
        shutil.rmtree(self.prefix, ignore_errors=True)
        try:
            os.remove(self.prefix + ".lock")
        except OSError:
            pass
        subprocess.run([os.path.join(self.scripts, "wine-prefix")], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, timeout=300)

    def start(self, args, pipes=False):
        proc = subprocess.Popen(["wine64"] + args, env=self.env,
                                stdin=subprocess.PIPE if pipes else subprocess.DEVNULL,
                                stdout=subprocess.PIPE if pipes else subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, text=pipes, encoding="latin-1" if pipes else None,
                                start_new_session=True)
        self.processes.append(proc)
        return proc

    def stop(self, proc, grace=3.0):
        if proc.poll() is None:
            try:
                if proc.stdin:
                    proc.stdin.close()
            except OSError:
                pass
            try:
                proc.wait(grace)
            except subprocess.TimeoutExpired:
                proc.kill()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    pass

    def close(self):
        for proc in reversed(self.processes):
            if proc.poll() is None:
                proc.kill()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    pass
        # Only this test's own prefix: other runs use other prefixes.
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=30)


class Channel:
    """Line-based commands to a program's standard input, its output lines
    collected by a reader thread."""

    def __init__(self, proc, name):
        self.proc = proc
        self.name = name
        self.lines = queue.Queue()
        self.log = []
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()

    def _read(self):
        for line in self.proc.stdout:
            line = line.rstrip("\r\n")
            self.log.append(line)
            self.lines.put(line)

    def expect(self, predicate, what, timeout=20.0):
        deadline = time.monotonic() + timeout
        while True:
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise E2eError("%s: timed out waiting for %s" % (self.name, what))
            try:
                line = self.lines.get(timeout=remaining)
            except queue.Empty:
                continue
            if predicate(line):
                return line

    def command(self, text, timeout=30.0):
        """Sends one command and returns the output lines up to its OK line."""
        word = text.split(" ", 1)[0]
        start = len(self.log)
        self.proc.stdin.write(text + "\n")
        self.proc.stdin.flush()
        self.expect(lambda line: line == "OK " + word or line.startswith("OK " + word + " "), "OK " + word, timeout)
        return self.log[start:]


def unhex(text):
    return bytes.fromhex(text)


class MainWindow:
    """The test main window (e2e_main.exe): the hook's messages and the probe
    commands."""

    def __init__(self, wine, bin_dir, hooks=True, probe=False):
        mode = ["--probe"] if probe else [] if hooks else ["--no-hooks"]
        args = [os.path.join(bin_dir, "e2e_main.exe")] + mode
        self.proc = wine.start(args, pipes=True)
        self.channel = Channel(self.proc, "e2e_main")
        self.channel.expect(lambda line: line.startswith("READY") or line.startswith("ERR"), "READY", 60)
        if any(line.startswith("ERR") for line in self.channel.log):
            raise E2eError("e2e_main: " + " ".join(self.channel.log))

    def mark(self):
        return len(self.channel.log)

    def messages(self, since=0):
        """(name, wParam, lParam, fields) of the hook's messages since a mark."""
        found = []
        for line in self.channel.log[since:]:
            if line.startswith("MSG "):
                parts = line.split(" ")
                fields = dict(part.split("=", 1) for part in parts[4:] if "=" in part)
                found.append((parts[1], int(parts[2]), int(parts[3]), fields))
        return found

    def wait_message(self, name, since, condition=lambda m: True, timeout=15.0):
        return wait_for("message " + name,
                        lambda: next((m for m in self.messages(since) if m[0] == name and condition(m)), None),
                        timeout)

    def shared(self):
        line = next(l for l in self.channel.command("shared") if l.startswith("SHARED "))
        return dict(part.split("=", 1) for part in line.split(" ")[1:])

    def text(self, target):
        line = next(l for l in self.channel.command("text " + target) if l.startswith("TEXT"))
        if line == "TEXT-ERR":
            raise E2eError("no window " + target)
        return unhex(line[5:]).decode("utf-8")

    def alive(self, title):
        return any(l == "ALIVE 1" for l in self.channel.command("alive " + title))

    def send(self, text):
        """SendKeysToWindow into the focus window: (count, key-ups seen, g_nSendKey after)."""
        lines = self.channel.command("send " + text.encode("latin-1").hex(), timeout=60)
        line = next(l for l in lines if l.startswith("SENT") or l.startswith("ERR"))
        if line.startswith("ERR"):
            raise E2eError(line)
        values = dict(part.split("=") for part in line.split(" ")[1:])
        return int(values["count"]), int(values["keyups"]), int(values["sendkey"])

    def command(self, text):
        return self.channel.command(text)


class Desktop:
    """xdotool on the test display."""

    def __init__(self):
        if not os.environ.get("DISPLAY"):
            raise E2eError("no DISPLAY")

    @staticmethod
    def run(*args, timeout=60):
        return subprocess.run(["xdotool"] + list(args), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              text=True, timeout=timeout)

    def find(self, name, visible=True):
        args = ["search"] + (["--onlyvisible"] if visible else []) + ["--name", name]
        out = self.run(*args).stdout.split()
        return out[0] if out else None

    def wait_window(self, name, timeout=60.0):
        return wait_for("window " + name, lambda: self.find(name), timeout, 0.25)

    def focus(self, window):
        result = self.run("windowfocus", "--sync", window, timeout=20)
        if result.returncode != 0:
            raise E2eError("cannot focus window " + window)
        time.sleep(0.2)

    def type(self, text, delay=12):
        self.run("type", "--delay", str(delay), text, timeout=600)

    def key(self, *keys, delay=12):
        self.run("key", "--delay", str(delay), *keys, timeout=600)


def run_and_report(run, name):
    """Runs a test run's checks, stops what it started, and prints its notes and
    the count line that scripts/test reads. The exit status of the run."""
    try:
        run.run()
    except Exception as error:  # noqa: BLE001 - a set-up failure is reported like a check
        run.failed.append("setup")
        print("FAIL setup: %s" % error, flush=True)
        traceback.print_exc()
    finally:
        run.close()
    for note in run.notes:
        print("  " + note)
    print("%s: %d passed, %d failed" % (name, len(run.passed), len(run.failed)))
    return 1 if run.failed else 0

#!/usr/bin/env python3
"""End-to-end tests of Dravik.dll's hooks under Wine: a test main window
(e2e_main.exe) installs the hooks system-wide, xdotool types into Wine's
notepad and wordpad and into a test client (e2e_client.exe), and the messages
that reach the main window, the shared variables and the hosts' texts are
checked. Needs DISPLAY (scripts/test starts Xvfb) and runs in a Wine prefix of
its own, which it makes fresh and stops at the end."""

import argparse
import os
import random
import sys
import time
import traceback

sys.dont_write_bytecode = True  # nothing is written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2elib import Channel, Desktop, E2eError, MainWindow, Wine, run_and_report, stays, wait_for  # noqa: E402

NOTEPAD = "Untitled - Notepad"
WORDPAD = "Document - Wine Wordpad"
CLIENT = "Lexanto E2E Client"


def hexof(text):
    return text.encode("latin-1").hex()


class Run:
    def __init__(self, args):
        self.args = args
        self.wine = Wine(args.prefix, args.scripts)
        self.desktop = Desktop()
        self.main = None
        self.hosts = {}
        self.client = None
        self.passed = []
        self.failed = []
        self.notes = []
        self.composes_alt_numpad = None

    # Hosts ---------------------------------------------------------------

    def start_hosts(self):
        self.hosts["notepad"] = (self.wine.start(["notepad"]), NOTEPAD, NOTEPAD + "|Edit")
        self.hosts["wordpad"] = (self.wine.start(["C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe"]), WORDPAD, WORDPAD + "|RichEdit20W")
        client = self.wine.start([os.path.join(self.args.bin, "e2e_client.exe")], pipes=True)
        self.client = Channel(client, "e2e_client")
        self.client.expect(lambda line: line == "READY", "client READY", 60)
        self.hosts["client"] = (client, CLIENT, CLIENT + "|#101")
        for name in ("notepad", "wordpad", "client"):
            self.desktop.wait_window("^%s$" % self.hosts[name][1])

    def focus_host(self, name, control=None):
        """Gives the keyboard focus to a host (and a control of the client)."""
        proc, title, _ = self.hosts[name]
        if proc.poll() is not None:
            raise E2eError(name + " has exited")
        # Without a window manager, Wine moves its foreground window only when
        # asked from the Windows side; the X focus alone is not enough once
        # several of its programs have windows.
        self.main.command("foreground " + title)
        self.desktop.focus(self.desktop.wait_window("^%s$" % title))
        if name == "client":
            self.client.command("focus " + (control or "plain"))
            time.sleep(0.2)

    def text_target(self, name, control=None):
        where = self.hosts[name][2]
        if name == "client" and control:
            where = CLIENT + "|#" + {"plain": "101", "password": "102", "rich": "103"}[control]
        return where

    def clear(self, name, control=None):
        self.main.command("clear " + self.text_target(name, control))
        self.expect(self.main.text(self.text_target(name, control)) == "", "cannot empty " + name)
        self.focus_host(name, control)

    # Checks --------------------------------------------------------------

    def check(self, name, function):
        started = time.monotonic()
        try:
            function()
            self.passed.append(name)
            print("PASS %s (%.1f s)" % (name, time.monotonic() - started), flush=True)
        except Exception as error:  # noqa: BLE001 - every failure is reported, the run goes on
            self.failed.append(name)
            print("FAIL %s: %s" % (name, error), flush=True)
            traceback.print_exc(limit=3)

    def expect(self, condition, message):
        if not condition:
            raise E2eError(message)

    # a. A word and its end in each host ------------------------------------

    def typing_in(self, name, control=None):
        def run():
            self.clear(name, control)
            mark = self.main.mark()
            self.desktop.type("hel")
            request = self.main.wait_message(
                "REQUEST_PROMPT", mark, lambda m: m[3]["wb"] == hexof("hel"))
            x, y = (int(v) for v in request[3]["caret"].split(","))
            self.expect(request[2] == 0, "not a manual request: %r" % (request,))
            self.expect((x >= 1 and y >= 0) or (x, y) == (-1, -1), "caret %d,%d" % (x, y))
            if name != "wordpad":
                self.expect(x >= 1, "the caret of an edit control is readable: %d,%d" % (x, y))
            mark = self.main.mark()
            self.desktop.type(" ")
            self.main.wait_message("WORD_ENDED", mark)
            self.expect(self.main.text(self.text_target(name, control)) == "hel ", "text")
            self.notes.append("%s%s: request with WordBuffer 'hel', CaretPos %d,%d; word end posted" %
                              (name, "/" + control if control else "", x, y))
        return run

    # b. Password edit ----------------------------------------------------------

    def password(self):
        self.main.command("set g_bClearAtSwitch 0")
        try:
            self.clear("client", "plain")
            self.desktop.type("ab")
            wait_for("CharBuf ab", lambda: self.main.shared()["cb"].endswith(hexof("ab")), 10)
            self.focus_host("client", "password")
            mark = self.main.mark()
            self.desktop.type("secret word")
            self.desktop.key("BackSpace", "Return")
            wait_for("password typed", lambda: len(self.main.text(self.text_target("client", "password"))) == 10, 10)
            buffers = lambda: {k: v for k, v in self.main.shared().items() if k in ("wb", "cb")}  # noqa: E731
            stays("the buffers after typing a password", buffers, {"wb": "", "cb": ""})
            requests = [m for m in self.main.messages(mark) if m[0] in ("REQUEST_PROMPT", "WORD_ENDED")]
            self.expect(not requests, "messages from a password field: %r" % (requests,))
            leaked = [m for m in self.main.messages(mark) if "736563" in m[3]["wb"] + m[3]["cb"]]
            self.expect(not leaked, "password text in a shared buffer: %r" % (leaked,))
        finally:
            self.main.command("set g_bClearAtSwitch 1")

    # c. SendKeysToWindow -------------------------------------------------------

    def send_case(self, text, expected, caps=False):
        self.clear("notepad")
        if caps:
            self.desktop.key("Caps_Lock")
        try:
            mark = self.main.mark()
            count, keyups, sendkey = self.main.send(text)
        finally:
            if caps:
                self.desktop.key("Caps_Lock")
        self.expect(count == keyups, "%r: counted %d key releases, the desktop saw %d" % (text, count, keyups))
        self.expect(sendkey == 0, "%r: g_nSendKey ended at %d" % (text, sendkey))
        handled = [m for m in self.main.messages(mark) if m[0] in ("REQUEST_PROMPT", "WORD_ENDED", "ACCEPT_ITEM", "ENTRY_CHOSEN")]
        self.expect(not handled, "%r: the hook treated the program's keys as typing: %r" % (text, handled))
        got = None
        try:
            got = wait_for("typed text", lambda: (lambda t: t if t == expected else None)(
                self.main.text(self.text_target("notepad"))), 10)
        except E2eError:
            raise E2eError("%r typed %r, expected %r" % (text, self.main.text(self.text_target("notepad")), expected))
        return count, got

    def send_keys(self):
        cases = [
            ("one\\crtwo \\\\cr \\xy\\dl5 end", "one\r\ntwo \\cr \\xy end"),
            ("abc^adef", "def"),
        ]
        for text, expected in cases:
            started = time.monotonic()
            count, _ = self.send_case(text, expected)
            self.notes.append("SendKeysToWindow %r -> %r, %d key releases counted and seen" % (text, expected, count))
            if "\\dl5" in text:
                self.expect(time.monotonic() - started >= 1.0, "the dry run and the send each pause 500 ms")

    def send_caps(self):
        count, _ = self.send_case("Hello World, 12!", "Hello World, 12!", caps=True)
        self.notes.append("SendKeysToWindow with Caps Lock on: 'Hello World, 12!' read back, %d releases" % count)

    def send_high(self):
        """Characters >= 0x80 are typed as Alt + numeric-pad codes. Everything
        around them must arrive and be counted exactly; the characters
        themselves arrive only where the system composes Alt + numeric pad
        (Wine 8 does not: see the Alt+numeric pad check)."""
        text, expected = "caf\xe9 na\xefve", "caf\xe9 na\xefve"
        try:
            count, _ = self.send_case(text, expected)
            self.notes.append("SendKeysToWindow %r: read back exactly, %d releases" % (text, count))
        except E2eError as error:
            if self.composes_alt_numpad is not False:
                raise
            without = "".join(c for c in expected if ord(c) < 0x80)
            got = self.main.text(self.text_target("notepad"))
            self.expect(got == without, "%s; without the composed characters %r was expected" % (error, without))
            self.notes.append("SendKeysToWindow %r: %r arrives (Wine composes no Alt + numeric pad); the key "
                              "releases, Alt + 4 keypad keys per character, are counted and seen exactly" %
                              (text, got))

    # d. Prompt keys -----------------------------------------------------------

    def prompt_keys(self):
        """With rows offered, Down goes to the prompt, the digit 3 is replaced
        by row 2's entry, typed by the hook in notepad's own thread, and Esc
        hides the prompt; no key reaches notepad and nothing asks the main
        window on the way."""
        self.clear("notepad")
        self.desktop.type("hel")
        wait_for("the hook holds the typed word", lambda: bytes.fromhex(self.main.shared()["wb"]) == b"hel", 10)
        mark = self.main.mark()
        self.main.command("offer 5")
        self.main.command("prompt show")
        try:
            self.focus_host("notepad")
            self.desktop.key("Down")
            wait_for("line key at the prompt", lambda: "PROMPT LINE 40" in self.main.channel.log[mark:], 10)
            self.desktop.key("3")
            chosen = self.main.wait_message("ENTRY_CHOSEN", mark)
            self.expect(chosen[2] & 0xFF == 2 and (chosen[2] >> 17) & 1, "digit 3 chooses row 2: %r" % (chosen,))
            wait_for("row 2 typed", lambda: self.main.text(self.text_target("notepad")) == "helloc", 10)
            self.main.command("offer 5")
            self.main.command("prompt show")
            self.desktop.key("Escape")
            self.main.wait_message("HIDE_PROMPT", mark)
            stays("notepad after the prompt's keys", lambda: self.main.text(self.text_target("notepad")), "helloc", 0.5)
            queries = [line for line in self.main.channel.log[mark:] if line.startswith("QUERY")]
            self.expect(not queries, "the main window was asked on a key's path: %r" % (queries,))
        finally:
            self.main.command("prompt hide")
            self.main.command("offer 0")
        # Nothing offered: digits are typed.
        self.desktop.key("7")
        wait_for("digit typed", lambda: self.main.text(self.text_target("notepad")) == "helloc7", 10)
        # Rows offered for another text than the one before the caret choose
        # nothing: the digit is typed.
        self.main.command("offer 5")
        self.main.command("prompt show")
        try:
            self.focus_host("notepad")
            self.desktop.type("x")
            wait_for("the hook holds the typed word",
                     lambda: bytes.fromhex(self.main.shared()["wb"]) == b"helloc7x", 10)
            self.desktop.key("2")
            wait_for("stale digit typed", lambda: self.main.text(self.text_target("notepad")) == "helloc7x2", 10)
        finally:
            self.main.command("prompt hide")
            self.main.command("offer 0")

    # f. Alt + numeric pad ---------------------------------------------------

    def alt_numpad(self):
        self.clear("notepad")
        self.desktop.type("ab")
        time.sleep(0.5)
        mark = self.main.mark()
        self.desktop.run("keydown", "Alt_L")
        self.desktop.run("key", "--delay", "30", "KP_0", "KP_2", "KP_3", "KP_3")
        self.desktop.run("keyup", "Alt_L")
        time.sleep(1.5)
        text = self.main.text(self.text_target("notepad"))
        requests = [m for m in self.main.messages(mark) if m[0] == "REQUEST_PROMPT"]
        self.composes_alt_numpad = text != "ab"
        self.notes.append("Alt+0233 (xdotool Alt_L + KP_0 KP_2 KP_3 KP_3) in notepad: text %r, requests %r" %
                          (text, [bytes.fromhex(m[3]["wb"]).decode("latin-1") for m in requests]))

    # e. Robustness ------------------------------------------------------------

    @staticmethod
    def random_keys(rng, count):
        """A list of ('type', text) and ('key', keysym) steps of `count` keys."""
        printable = [chr(c) for c in range(32, 127)]
        steps = []
        run = []
        for _ in range(count):
            roll = rng.random()
            special = None
            if roll < 0.03:
                special = "Return"
            elif roll < 0.08:
                special = "BackSpace"
            elif roll < 0.12:
                special = rng.choice(["Left", "Right", "Up", "Down"])
            if special:
                if run:
                    steps.append(("type", "".join(run)))
                    run = []
                steps.append(("key", special))
            else:
                run.append(rng.choice(printable))
        if run:
            steps.append(("type", "".join(run)))
        return steps

    def play(self, steps, settle):
        """Types the steps; every `chunk` keys it lets the host catch up, so no
        backlog of X events builds up on a slow or busy machine."""
        chunk = 200
        since_settle = 0
        i = 0
        while i < len(steps):
            kind, value = steps[i]
            if kind == "type":
                self.desktop.type(value, delay=self.args.delay)
                since_settle += len(value)
                i += 1
            else:
                keys = []
                while i < len(steps) and steps[i][0] == "key":
                    keys.append(steps[i][1])
                    i += 1
                self.desktop.key(*keys, delay=self.args.delay)
                since_settle += len(keys)
            if since_settle >= chunk:
                settle()
                since_settle = 0
        return settle()

    def robustness(self, name):
        def run():
            per_host = max(1, self.args.chars // 3)
            rng = random.Random(self.args.seed * 7 + sum(map(ord, name)))
            steps = self.random_keys(rng, per_host)
            where = self.text_target(name)

            def settle():
                """The host's text once it has stopped changing."""
                last = [None]
                lengths = []

                def settled():
                    now = self.main.text(where)
                    same = now == last[0]
                    last[0] = now
                    lengths.append(len(now))
                    return same
                try:
                    wait_for("text settled", settled, 120, 0.5)
                except E2eError:
                    raise E2eError("%s: the text still changes two minutes after the last key (lengths %s, ends %r)" %
                                   (name, lengths[-8:], last[0][-60:]))
                return last[0]

            def typed_text():
                self.clear(name)
                return self.play(steps, settle)

            started = time.monotonic()
            with_hooks = typed_text()
            hooked_time = time.monotonic() - started
            self.expect(self.main.alive(self.hosts[name][1]), name + " does not answer")
            self.main.command("unhook")
            started = time.monotonic()
            try:
                without_hooks = typed_text()
            finally:
                self.main.command("hook")
            plain_time = time.monotonic() - started
            if with_hooks != without_hooks:
                for i, (a, b) in enumerate(zip(with_hooks, without_hooks)):
                    if a != b:
                        break
                else:
                    i = min(len(with_hooks), len(without_hooks))
                raise E2eError("%s: texts differ at %d (%d vs %d characters): %r / %r" % (
                    name, i, len(with_hooks), len(without_hooks), with_hooks[i:i + 40], without_hooks[i:i + 40]))
            self.notes.append("%s: %d random keys, %d characters of text, same with and without the hooks "
                              "(typed in %.0f s with them, %.0f s without)" %
                              (name, per_host, len(with_hooks), hooked_time, plain_time))
        return run

    # ---------------------------------------------------------------------

    def run(self):
        started = time.monotonic()
        if not (self.args.reuse_prefix and os.path.exists(os.path.join(self.args.prefix, ".lexanto-ready"))):
            self.wine.make_prefix()
        print("prefix made in %.1f s" % (time.monotonic() - started), flush=True)
        self.main = MainWindow(self.wine, self.args.bin)
        self.start_hosts()
        for name, control in (("notepad", None), ("wordpad", None), ("client", "plain"), ("client", "rich")):
            self.check("typing %s%s" % (name, "/" + control if control else ""), self.typing_in(name, control))
        self.check("password edit", self.password)
        self.check("SendKeysToWindow tokens", self.send_keys)
        self.check("SendKeysToWindow Caps Lock", self.send_caps)
        self.check("Alt+numeric pad (report only)", self.alt_numpad)
        self.check("SendKeysToWindow characters >= 0x80", self.send_high)
        self.check("prompt keys", self.prompt_keys)
        if self.args.chars > 0:
            for name in self.args.hosts.split(","):
                self.check("robustness " + name, self.robustness(name))
        for name in ("notepad", "wordpad", "client"):
            self.check("alive " + name, lambda n=name: self.expect(
                self.hosts[n][0].poll() is None and self.main.alive(self.hosts[n][1]), n + " is gone or hung"))
        print("time: %.1f s" % (time.monotonic() - started))

    def close(self):
        try:
            if self.main and self.main.proc.poll() is None:
                self.main.command("quit")
        except Exception:  # noqa: BLE001 - stopping goes on whatever happened
            pass
        self.wine.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--scripts", required=True)
    parser.add_argument("--chars", type=int, default=int(os.environ.get("LEXANTO_E2E_CHARS", "5000")),
                        help="random keys of the robustness test, shared by the three hosts")
    parser.add_argument("--delay", type=int, default=8, help="ms between xdotool keys in the robustness test")
    parser.add_argument("--seed", type=int, default=int(os.environ.get("LEXANTO_E2E_SEED", "0")) or None)
    parser.add_argument("--hosts", default="notepad,wordpad,client", help="hosts of the robustness test")
    parser.add_argument("--reuse-prefix", action="store_true", help="keep a prefix made by an earlier run")
    args = parser.parse_args()
    if args.seed is None:
        args.seed = random.randrange(1, 1 << 30)
    print("seed %d" % args.seed, flush=True)
    return run_and_report(Run(args), "e2e")


if __name__ == "__main__":
    sys.exit(main())

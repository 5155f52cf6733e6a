#!/usr/bin/env python3
"""End-to-end test of sustained real typing: Lexanto.exe runs with its built-in
libraries at its default settings (the space bar completes, the prompt shows
from the first letter) while real prose is typed key by key with xdotool into
Wine's notepad or wordpad, with a few edits a user makes on the way. The
editor must end up holding exactly what was typed: the texts are ones in which
the program, at these settings, changes no word (tests/app/ProseTextsTest.cpp
proves that with the engine), so any difference is damage.

Each run has an Xvfb display and a Wine prefix of its own, so several runs go
side by side, each typing at its own pace on a loaded machine. Optional checks:
an expansion typed into while it is being typed, and Lexanto killed while the
user types (typing must go on exactly). At the end the user library may hold
only words that were typed."""

import argparse
import os
import random
import re
import subprocess
import sys
import threading
import time

sys.dont_write_bytecode = True  # nothing is written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2elib import E2eError, MainWindow, VirtualDisplay, run_and_report  # noqa: E402
from run_program_e2e import MAIN_WINDOW, NOTEPAD, WORDPAD, Run  # noqa: E402

LONG_NAME = "zqlong"
# Typed as a line break in the expansion.
LINE_BREAK = "\\cr"
LONG_EXPANSION = ("This long expansion is typed in one piece, and every key the user types after it must come "
                  "after all of it: nothing may land inside." + LINE_BREAK) * 3


def first_difference(got, expected):
    n = 0
    while n < min(len(got), len(expected)) and got[n] == expected[n]:
        n += 1
    return n


def around(text, at):
    return repr(text[max(0, at - 60):at + 60])


def plan_edits(paragraphs, seed):
    """The keys of the run: each paragraph typed in pieces, with a few edits a
    user makes between them that leave the text as it was: a wrong letter
    taken back with Backspace, Ctrl+End, and a scratch line typed and then
    removed with Shift+Home and Delete. Steps are ('type', text) and
    ('key', keysym...)."""
    rng = random.Random(seed)
    steps = []
    for index, paragraph in enumerate(paragraphs):
        words = paragraph.split(" ")
        # A typo after a word's first letters, taken back at once.
        if len(words) > 8 and index % 2 == 0:
            at = rng.randrange(2, len(words) - 2)
            word = words[at]
            if len(word) > 3 and word.isalpha():
                before = " ".join(words[:at]) + " " + word[:2]
                steps.append(("type", before))
                steps.append(("type", "q"))
                steps.append(("key", "BackSpace"))
                steps.append(("type", word[2:] + " " + " ".join(words[at + 1:])))
            else:
                steps.append(("type", paragraph))
        else:
            steps.append(("type", paragraph))
        if index + 1 < len(paragraphs):
            steps.append(("key", "Return"))
            if index % 3 == 1:
                steps.append(("key", "ctrl+End"))
            if index % 4 == 2:
                steps.append(("type", "a scratch line to drop"))
                steps.append(("key", "shift+Home", "Delete"))
    return steps


class TypingRun(Run):
    """The program's end-to-end run (start-up, hosts, files) with the typing
    checks of this test."""

    def __init__(self, args, display):
        super().__init__(args)
        self.display = display
        self.typed_words = set()
        self.typed_texts = []

    # Set-up --------------------------------------------------------------

    def setup(self):
        self.wine.make_prefix()
        self.data = self.find_data_folder()
        if self.args.expansion:
            self.prepare_shorthands()
        self.probe = MainWindow(self.wine, self.args.bin, probe=True)
        if not self.args.without_program:
            self.start_program(first_run=True)
        if self.args.host == "notepad":
            self.hosts["notepad"] = (NOTEPAD, NOTEPAD + "|Edit", self.wine.start(["notepad"]), "Edit")
        else:
            self.hosts["wordpad"] = (WORDPAD, WORDPAD + "|RichEdit20W", self.wine.start(
                ["C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe"]), "RichEdit20W")
        self.desktop.wait_window("^%s$" % self.hosts[self.args.host][0])
        # The pointer in a corner no window or prompt reaches: a window mapped
        # under the pointer makes Wine take the modifier state of X's
        # pointer events, and xdotool may be holding Shift there for a capital
        # still queued behind the letters notepad has yet to take.
        self.desktop.run("mousemove", "1279", "1023")

    def prepare_shorthands(self):
        """A shorthand library with a long expansion beside the built-in ones."""
        listing = os.path.join(self.args.work, "long-shorthand.txt")
        os.makedirs(self.args.work, exist_ok=True)
        with open(listing, "w", encoding="utf-8") as f:
            f.write("%s\t%s\n" % (LONG_NAME, LONG_EXPANSION))
        library = os.path.join(self.data, "libraries", "shlib", "Long Shorthand.slb")
        subprocess.run([self.args.libgen, "shorthands", listing, library], check=True, stdout=subprocess.DEVNULL,
                       timeout=60)
        with open(os.path.join(self.data, "sellib.ini"), "w", newline="\r\n") as f:
            f.write("[langlib]\nAmerican English\n\n[proflib]\n\n[shlib]\nEmail Acronyms\nLong Shorthand\n")

    # Reading the editor ----------------------------------------------------

    def editor_text(self):
        text = self.text(self.args.host)
        return text.replace("\r\n", "\n").replace("\r", "\n")

    def settled_text(self, expected, timeout):
        """The editor's text once it equals what was typed, or once it has
        stopped changing for ten seconds: on a loaded machine the last keys
        may still be on their way when xdotool returns."""
        last = [None, time.monotonic()]
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            text = self.editor_text()
            if text == expected:
                return text
            if text != last[0]:
                last[0], last[1] = text, time.monotonic()
            elif time.monotonic() - last[1] > 10.0:
                return text
            time.sleep(0.25)
        return self.editor_text()

    def compare(self, what, expected, timeout=300.0):
        got = self.settled_text(expected, timeout)
        if got != expected:
            at = first_difference(got, expected)
            raise E2eError("%s: the editor differs from what was typed at character %d of %d\n"
                           "  typed:  %s\n  editor: %s\n  the program's log: %s" % (
                               what, at, len(expected), around(expected, at), around(got, at), self.program_log()))

    def program_log(self):
        """The last lines of the main window's log box (a line for every entry
        the program accepted), or why it cannot be read."""
        try:
            return repr(self.probe.text(MAIN_WINDOW + "|#1000").splitlines()[-12:])
        except Exception as error:  # noqa: BLE001 - only a diagnostic
            return "unreadable (%s)" % error

    # Typing ------------------------------------------------------------------

    def type_steps(self, steps, pace):
        # xdotool waits half its delay after a key's press and half after its
        # release: twice the pace puts one key every `pace` ms.
        desktop = self.desktop
        for step in steps:
            if step[0] == "type":
                if step[1]:
                    desktop.type(step[1], delay=2 * pace)
            else:
                desktop.key(*step[1:], delay=2 * pace)

    def prose(self, pace):
        def run():
            with open(self.args.text, encoding="ascii") as f:
                paragraphs = f.read().rstrip("\n").split("\n")
            expected = "\n".join(paragraphs)
            self.clear(self.args.host)
            steps = plan_edits(paragraphs, seed=pace)
            started = time.monotonic()
            if self.args.kill:
                self.type_with_kills(steps, pace)
            else:
                self.type_steps(steps, pace)
            typed_for = time.monotonic() - started
            self.typed_words.update(re.findall(r"[A-Za-z0-9_']+", expected.lower()))
            self.typed_words.update(("a", "scratch", "line", "to", "drop"))
            self.typed_texts.append(expected.lower())
            self.compare("%d ms a key" % pace, expected)
            self.notes.append("%s, %d ms a key: %d words, %d characters typed in %.0f s (%.1f ms a character), "
                              "read back exactly" % (self.args.host, pace, len(expected.split()), len(expected),
                                                     typed_for, 1000.0 * typed_for / len(expected)))
        return run

    def type_with_kills(self, steps, pace):
        """Lexanto is killed (taskkill /f) while the user types; keys typed
        before and after the kill all reach the editor."""
        killed = threading.Event()

        def kill_later():
            time.sleep(self.args.kill)
            subprocess.run(["wine64", "taskkill", "/f", "/im", "Lexanto.exe"], env=self.wine.env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
            killed.set()
        killer = threading.Thread(target=kill_later, daemon=True)
        killer.start()
        self.type_steps(steps, pace)
        killer.join(120)
        self.expect(killed.is_set(), "the kill did not happen during the run")
        self.expect(self.program.poll() is not None, "Lexanto.exe still runs after taskkill /f")
        self.notes.append("Lexanto.exe killed %.0f s into the typing" % self.args.kill)

    def expansion(self):
        """A shorthand chosen with the space bar while the user goes on typing
        at 15 ms a key: the keys come after the whole expansion."""
        self.clear(self.args.host)
        self.type(LONG_NAME, delay=80)
        self.shown_at_caret(self.args.host, LONG_NAME, 1)
        self.type(" and the words after it.", delay=30)
        # The space chose the entry; no space is added to an expansion unless
        # the settings ask for one (the library keeps no trailing space).
        self.compare("expansion", LONG_EXPANSION.replace(LINE_BREAK, "\n") + "and the words after it.")
        self.typed_words.update(("and", "the", "words", "after", "it", LONG_NAME))

    # Learning ------------------------------------------------------------------

    def learned_only_typed(self):
        self.exit_program()
        learned = self.user_library_words()
        strays = []
        for word in learned:
            lower = word.lower()
            if " " in lower:
                if not any(lower in text for text in self.typed_texts):
                    strays.append(word)
            elif lower not in self.typed_words:
                strays.append(word)
        self.expect(not strays, "the user library holds words that were not typed: %r" % strays[:20])
        self.notes.append("user library: %d entries, each typed" % len(learned))

    # ------------------------------------------------------------------------------

    def run(self):
        started = time.monotonic()
        self.setup()
        print("set-up: %.1f s" % (time.monotonic() - started), flush=True)
        for pace in self.args.paces:
            self.check("%s: %s at %d ms a key" % (self.args.host, os.path.basename(self.args.text), pace),
                       self.prose(pace))
        if self.args.expansion:
            self.check("%s: keys typed during an expansion" % self.args.host, self.expansion)
        if not self.args.kill and not self.args.without_program:
            self.check("user library: only typed words", self.learned_only_typed)
        print("time: %.1f s" % (time.monotonic() - started))

    def close(self):
        super().close()
        self.display.stop()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--scripts", required=True)
    parser.add_argument("--libgen", required=True, help="the host's lexanto-libgen")
    parser.add_argument("--work", required=True, help="a folder for the test's own files")
    parser.add_argument("--host", choices=("notepad", "wordpad"), default="notepad")
    parser.add_argument("--text", required=True)
    parser.add_argument("--paces", default="40", help="ms between keys, comma-separated: one run each")
    parser.add_argument("--expansion", action="store_true", help="also type into a long expansion")
    parser.add_argument("--kill", type=float, default=0, help="kill Lexanto this many seconds into the typing")
    parser.add_argument("--without-program", action="store_true",
                        help="a control: the same typing with Lexanto not running")
    parser.add_argument("--name", default="e2e_typing")
    args = parser.parse_args()
    args.paces = [int(p) for p in args.paces.split(",")]
    return run_and_report(TypingRun(args, VirtualDisplay(150, 259)), args.name)


if __name__ == "__main__":
    sys.exit(main())

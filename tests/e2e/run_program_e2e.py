#!/usr/bin/env python3
"""End-to-end test of the real program under Wine: Lexanto.exe with its
built-in libraries and a shorthand library of the test's own, in a fresh
prefix, typed into Wine's notepad and wordpad with xdotool. What the user
sees is read from outside: the editors' texts and the prompt window through a
probe (e2e_main.exe --probe, which is no main window and installs no hooks),
the program's files in its data folder as bytes. Needs DISPLAY (scripts/test
starts Xvfb)."""

import argparse
import glob
import os
import re
import struct
import subprocess
import sys
import time
import traceback

sys.dont_write_bytecode = True  # nothing is written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2elib import Desktop, E2eError, MainWindow, Wine, run_and_report, stays, wait_for  # noqa: E402

PRODUCT = "Lexanto"
MAIN_WINDOW = "Lexanto Main Window"
TRAY = "Wine System Tray"
NOTEPAD = "Untitled - Notepad"
WORDPAD = "Document - Wine Wordpad"
UPGRADE_QUESTION = "Would you like to upgrade all the built-in libraries?"
SECOND_INSTANCE = "Another instance of Lexanto is already running."
DICTIONARY = "/usr/share/dict/american-english"

# The shorthand library of the test: a line break token and parameters.
SHORTHANDS = {
    "zqaddr": ("12 Main Street\\crSpringfield", "12 Main Street\r\nSpringfield"),
    "zqdear": ("Dear %1 %2, 100%% sure", "Dear Bob Smith, 100% sure"),
}
NEW_WORD = "zorbluxian"

# A typist's pace between keys (ms). Faster typing is its own check.
PACE = 100


def hexof(text):
    return text.encode("latin-1").hex()


class Run:
    def __init__(self, args):
        self.args = args
        self.wine = Wine(args.prefix, args.scripts)
        self.desktop = Desktop()
        self.probe = None
        self.program = None
        self.hosts = {}
        self.passed = []
        self.failed = []
        self.notes = []
        self.data = None
        self.started_at = int(time.time())
        with open(DICTIONARY, encoding="utf-8") as f:
            self.words = [line.strip() for line in f if line.strip()]

    # Helpers -------------------------------------------------------------

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

    @staticmethod
    def expect(condition, message):
        if not condition:
            raise E2eError(message)

    def expected_entries(self, prefix, learned=()):
        """The entries a fresh prefix lists: its dictionary words, equally
        used, in the order the prompt showed them by hand (descending byte
        order), words used since first; at most 12 (two pages of six)."""
        found = sorted((w for w in self.words if w.lower().startswith(prefix)), reverse=True)
        self.expect(all(w == w.lower() for w in found), "prefix %r matches capitalised words" % prefix)
        first = [w for w in learned if w in found]
        return (first + [w for w in found if w not in first])[:12]

    def prompt(self):
        line = next(l for l in self.probe.command("promptstate") if l.startswith("PROMPTSTATE "))
        state = dict(part.split("=", 1) for part in line.split(" ")[1:])
        state["visible"] = state["visible"] == "1"
        state["rect"] = [int(v) for v in state["rect"].split(",")]
        for key in ("rows", "sel", "first"):
            state[key] = int(state[key])
        state["fg"] = bytes.fromhex(state["fg"]).decode("latin-1")
        state["caret"] = [int(v) for v in state["caret"].split(",")]
        return state

    def wait_prompt(self, what, condition, timeout=15.0):
        last = [None]

        def test():
            last[0] = self.prompt()
            return condition(last[0])
        try:
            wait_for(what, test, timeout, 0.1)
        except E2eError:
            raise E2eError("timed out waiting for the prompt: %s; last seen %r" % (what, last[0]))
        return last[0]

    def settled_prompt(self, word_buffer, timeout=20.0):
        """The prompt once the hook holds the whole typed word and the prompt
        has stopped changing."""
        last = [None]

        def settled():
            if bytes.fromhex(self.probe.shared()["wb"]).decode("latin-1") != word_buffer:
                return False
            state = self.prompt()
            same = state == last[0]
            last[0] = state
            return same
        wait_for("the prompt to settle after %r" % word_buffer, settled, timeout, 0.4)
        return last[0]

    def text(self, host):
        return self.probe.text(self.hosts[host][1])

    def wait_text(self, host, expected, timeout=10.0):
        try:
            wait_for("text %r" % expected, lambda: self.text(host) == expected, timeout)
        except E2eError:
            raise E2eError("%s reads %r, expected %r" % (host, self.text(host), expected))

    def focus(self, host):
        title = self.hosts[host][0]
        # Without a window manager Wine moves its foreground window only when
        # asked from the Windows side.
        self.probe.command("foreground " + title)
        self.desktop.focus(self.desktop.wait_window("^%s$" % title))

    def clear(self, host):
        self.probe.command("clear " + self.hosts[host][1])
        self.expect(self.text(host) == "", "cannot empty " + host)
        self.focus(host)

    def type(self, text, delay=PACE):
        self.desktop.type(text, delay=delay)

    def type_words(self, host, text, before):
        """Types text at a typist's pace, waiting at each space until the
        editor shows it: the space after a word is held back and typed by the
        program, and keys typed meanwhile would overtake it."""
        done = before
        for n, part in enumerate(text.split(" ")):
            if n > 0:
                self.type(" ")
                done += " "
                self.wait_text(host, done)
            if part:
                self.type(part)
                done += part
        return done

    def key(self, *keys):
        self.desktop.key(*keys, delay=PACE)

    def message_box(self, text, timeout=60.0):
        """Waits for the program's message box with the text, answers it with
        Return and returns its full text."""
        found = [None]

        def shown():
            if not self.desktop.find("^%s$" % PRODUCT):
                return False
            try:
                found[0] = self.probe.text(PRODUCT + "|#65535")
            except E2eError:
                return False
            return found[0].startswith(text)
        try:
            wait_for("message box %r" % text, shown, timeout, 0.25)
        except E2eError:
            raise E2eError("no message box %r (last read %r)" % (text, found[0]))
        self.desktop.focus(self.desktop.find("^%s$" % PRODUCT))
        self.desktop.key("Return")
        wait_for("the message box to close", lambda: not self.desktop.find("^%s$" % PRODUCT), 20, 0.25)
        return found[0]

    def tray_icons(self):
        if not self.desktop.find("^%s$" % TRAY):
            return 0
        return sum(1 for l in self.probe.command("classes " + TRAY) if l == "CLASS __winex11_tray_icon")

    def our_processes(self):
        """Lexanto.exe processes of this prefix (other runs on the machine
        use prefixes of their own)."""
        mine = ("WINEPREFIX=" + self.args.prefix).encode()
        found = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    command = f.read()
                with open("/proc/%s/environ" % pid, "rb") as f:
                    environment = f.read().split(b"\0")
            except OSError:
                continue
            if b"Lexanto.exe" in command and mine in environment:
                found.append("%s %s" % (pid, command.replace(b"\0", b" ").decode("latin-1").strip()))
        return found

    # Files ---------------------------------------------------------------

    def find_data_folder(self):
        users = [u for u in glob.glob(os.path.join(self.args.prefix, "drive_c", "users", "*"))
                 if os.path.basename(u) != "Public"]
        self.expect(len(users) == 1, "one user in the prefix: %r" % users)
        return os.path.join(users[0], "AppData", "Roaming", PRODUCT)

    def prepare_data_folder(self):
        """A shorthand library of the test, made with the build's generator,
        and the active-library list naming it beside the built-in ones."""
        self.data = self.find_data_folder()
        listing = os.path.join(self.args.work, "team-shorthands.txt")
        os.makedirs(self.args.work, exist_ok=True)
        with open(listing, "w", encoding="utf-8") as f:
            for name, (expansion, _) in SHORTHANDS.items():
                f.write("%s\t%s\n" % (name, expansion))
        library = os.path.join(self.data, "libraries", "shlib", "Team Shorthands.slb")
        subprocess.run([self.args.libgen, "shorthands", listing, library], check=True,
                       stdout=subprocess.DEVNULL, timeout=60)
        with open(os.path.join(self.data, "sellib.ini"), "w", newline="\r\n") as f:
            f.write("[langlib]\nAmerican English\n\n[proflib]\n\n[shlib]\nEmail Acronyms\nTeam Shorthands\n")

    def user_library_words(self):
        """{word: (use count, last used)} of the user library's files."""
        folder = os.path.join(self.data, "libraries")
        with open(os.path.join(folder, "user_en.lib"), "rb") as f:
            records = f.read()
        with open(os.path.join(folder, "user_en.mem"), "rb") as f:
            memo = f.read()
        self.expect(records.startswith(b"wordlib ver130"), "user library header %r" % records[:16])
        words = {}
        body = records[120:]
        self.expect(len(body) % 12 == 0, "user library of %d bytes holds no whole records" % len(records))
        for at in range(0, len(body), 12):
            offset, last_used, count = struct.unpack_from("<iii", body, at)
            (length,) = struct.unpack_from("<h", memo, offset)
            word = memo[offset + 2:offset + 2 + length].split(b"\0")[0].decode("latin-1")
            words[word] = (count, last_used)
        return words

    # Start-up --------------------------------------------------------------

    def start_program(self, first_run):
        self.program = self.wine.start([os.path.join(self.args.bin, "Lexanto.exe")])
        if first_run:
            self.message_box(UPGRADE_QUESTION)
        wait_for("the main window", lambda: self.desktop.find("^%s$" % MAIN_WINDOW, visible=False), 60, 0.25)

    def exit_program(self):
        """Ends the program as the system does, with WM_CLOSE."""
        subprocess.run(["wine64", "taskkill", "/im", "Lexanto.exe"], env=self.wine.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        try:
            self.program.wait(30)
        except subprocess.TimeoutExpired:
            raise E2eError("Lexanto.exe still runs 30 s after WM_CLOSE")

    def start_hosts(self):
        self.hosts["notepad"] = (NOTEPAD, NOTEPAD + "|Edit", self.wine.start(["notepad"]), "Edit")
        self.hosts["wordpad"] = (WORDPAD, WORDPAD + "|RichEdit20W",
                                 self.wine.start(["C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe"]),
                                 "RichEdit20W")
        for name in self.hosts:
            self.desktop.wait_window("^%s$" % self.hosts[name][0])

    # 1. Start ----------------------------------------------------------------

    def start_state(self):
        self.expect(self.desktop.find("^%s$" % MAIN_WINDOW, visible=False), "no main window")
        self.expect(not self.desktop.find("^%s$" % MAIN_WINDOW), "the main window is shown")
        self.expect(self.probe.alive(MAIN_WINDOW), "the main window does not answer")
        wait_for("the tray icon", lambda: self.tray_icons() == 1, 20, 0.25)

    def second_instance(self):
        second = self.wine.start([os.path.join(self.args.bin, "Lexanto.exe")])
        shown = self.message_box(SECOND_INSTANCE)
        self.expect(shown == SECOND_INSTANCE, "message %r" % shown)
        try:
            second.wait(20)
        except subprocess.TimeoutExpired:
            raise E2eError("the second Lexanto.exe still runs after its message")
        self.expect(self.program.poll() is None, "the first Lexanto.exe has ended")
        self.expect(self.probe.alive(MAIN_WINDOW), "the first program's main window does not answer")
        # The second start asks the first to show its icon again: still one.
        stays("tray icons after the second start", self.tray_icons, 1)

    # 2. Typing ------------------------------------------------------------------

    def shown_at_caret(self, host, prefix, rows):
        """The prompt for the typed prefix: shown beside the caret with the
        expected number of rows, the first selected, and the editor keeps the
        focus."""
        # The probe reads the prompt from another process, possibly while
        # it is being filled: the first row is selected by the end of it.
        state = self.wait_prompt("%d rows for %r, the first selected" % (rows, prefix),
                                 lambda s: s["visible"] and s["rows"] == rows and s["first"] == 0 and s["sel"] == 0)
        title, _, _, edit_class = self.hosts[host]
        self.expect(state["fg"] == title and state["focus"] == edit_class,
                    "the focus left the editor: foreground %r, focus %s" % (state["fg"], state["focus"]))
        left, top, right, bottom = state["rect"]
        x, y = state["caret"]
        self.expect(x >= 0, "no caret in %s" % host)
        # Beside the caret: the caret's foot within a line of the prompt's
        # top or bottom edge, and horizontally within reach of its sides.
        near_x = left - 40 <= x <= right + 40
        near_y = abs(top - y) <= 40 or abs(bottom - (y - 16)) <= 40
        self.expect(near_x and near_y, "prompt %r is not at the caret %r" % (state["rect"], state["caret"]))
        return state

    def typing(self, host, plan):
        def run():
            self.clear(host)
            first, digit, later = plan["digit"]
            self.type_words(host, first, "")
            prefix = first.split(" ")[-1]
            entries = self.expected_entries(prefix, plan.get("learned", ()))
            self.shown_at_caret(host, prefix, min(6, len(entries)))
            if "screenshot" in plan:
                path = os.path.join(self.args.screenshots, plan["screenshot"])
                os.makedirs(self.args.screenshots, exist_ok=True)
                subprocess.run(["import", "-window", "root", path], check=True, timeout=60)
                self.notes.append("screenshot " + path)
            self.key(digit)
            text = first[:-len(prefix)] + entries[int(digit) - 1]
            self.wait_text(host, text)
            if later:
                typed, digit, result = later
                self.type_words(host, typed, text)
                self.wait_prompt("rows for %r" % typed, lambda s: s["visible"] and s["rows"] >= int(digit))
                self.key(digit)
                text += result
                self.wait_text(host, text)
            self.expect(not self.prompt()["visible"], "the prompt stays after a choice")

            # Down, Down, Up and the completion key (the space bar): row 2.
            prefix = plan["lines"]
            entries = self.expected_entries(prefix)
            self.type_words(host, " " + prefix, text)
            self.shown_at_caret(host, prefix, min(6, len(entries)))
            self.key("Down", "Down")
            self.wait_prompt("row 3 selected", lambda s: s["sel"] == 2)
            self.key("Up")
            self.wait_prompt("row 2 selected", lambda s: s["sel"] == 1)
            self.key("space")
            text += " " + entries[1]
            self.wait_text(host, text)

            # Paging: the second page's rows, back to the first, then a row of
            # the second page chosen with a digit.
            prefix = plan["pages"]
            entries = self.expected_entries(prefix)
            self.type_words(host, " " + prefix, text)
            self.shown_at_caret(host, prefix, 6)
            self.key("Next")
            self.wait_prompt("the second page", lambda s: s["first"] == 6 and s["rows"] == len(entries) - 6)
            self.key("Prior")
            self.wait_prompt("the first page", lambda s: s["first"] == 0 and s["rows"] == 6)
            self.key("Next")
            self.wait_prompt("the second page again", lambda s: s["first"] == 6)
            self.key("2")
            text += " " + entries[7]
            self.wait_text(host, text)

            # Esc hides the prompt and types nothing.
            prefix = plan["escape"]
            self.type_words(host, " " + prefix, text)
            self.shown_at_caret(host, prefix, min(6, len(self.expected_entries(prefix))))
            self.key("Escape")
            self.wait_prompt("the prompt hidden", lambda s: not s["visible"])
            text += " " + prefix
            stays("%s after Esc" % host, lambda: self.text(host), text, 0.5)
            self.notes.append("%s: %r" % (host, text))
        return run

    # 3. Shorthands -------------------------------------------------------------

    def shorthands(self):
        self.clear("notepad")
        # The line break token, chosen with the completion key.
        self.type("zqaddr")
        self.shown_at_caret("notepad", "zqaddr", 1)
        self.key("space")
        text = SHORTHANDS["zqaddr"][1]
        self.wait_text("notepad", text)
        # Parameters in square brackets after the name, expanded by the
        # activate-prompt hot key (Ctrl+F12 by default).
        self.key("Return")
        self.type("zqdear[Bob,Smith]")
        self.wait_text("notepad", text + "\r\nzqdear[Bob,Smith]")
        self.key("ctrl+F12")
        text += "\r\n" + SHORTHANDS["zqdear"][1]
        self.wait_text("notepad", text)
        self.notes.append("shorthands: %r" % text)

    # 5. Manual activation, held-back space, fast typing ---------------------

    def manual_activation(self):
        self.clear("notepad")
        prefix = "harpsi"
        self.type(prefix)
        self.shown_at_caret("notepad", prefix, 3)
        self.key("Escape")
        self.wait_prompt("the prompt hidden", lambda s: not s["visible"])
        # With the space bar as completion key the results of a manual
        # request insert the first entry.
        self.key("ctrl+F12")
        self.wait_text("notepad", self.expected_entries(prefix)[0])

    def held_space(self):
        """A space typed right after a word with nothing to offer is held
        back for a request and then typed, once and in its place."""
        self.clear("notepad")
        self.type("qzxv ")
        self.wait_text("notepad", "qzxv ")
        time.sleep(1.0)
        self.type("ok")
        self.wait_text("notepad", "qzxv ok")
        stays("notepad", lambda: self.text("notepad"), "qzxv ok", 0.5)

    def fast_typing(self):
        """Words typed with no pause between keys: the prompt ends up listing
        the entries of the whole word only, and nothing is inserted."""
        for prefix in ("zealousn", "walru", "pamphl"):
            self.clear("notepad")
            self.type(prefix, delay=0)
            entries = self.expected_entries(prefix)
            state = self.settled_prompt(prefix)
            self.expect(self.text("notepad") == prefix, "typed %r, the editor reads %r" % (prefix, self.text("notepad")))
            self.expect(state["visible"] and state["rows"] == min(6, len(entries)) and state["first"] == 0,
                        "%r: prompt %r, expected %d rows" % (prefix, state, min(6, len(entries))))
            self.key("1")
            self.wait_text("notepad", entries[0])

    def fast_words(self):
        """Words with nothing to offer typed fast: each space is held back
        for a request, and the keys typed behind it are held too and typed
        again in order, so nothing overtakes a space."""
        for delay, text in ((40, "jqxw zqxy vxqj ok"), (15, "xqjz wqzx yzqx ok")):
            self.clear("notepad")
            self.type(text, delay=delay)
            self.wait_text("notepad", text)
            stays("notepad at %d ms a key" % delay, lambda: self.text("notepad"), text, 0.5)

    # 4. Learning ------------------------------------------------------------------

    def learn_new_word(self):
        self.clear("notepad")
        self.type(NEW_WORD[:4])
        self.wait_text("notepad", NEW_WORD[:4])
        stays("the prompt for %r before it was ever typed" % NEW_WORD[:4], lambda: self.prompt()["visible"], False)
        self.key("BackSpace", "BackSpace", "BackSpace", "BackSpace")
        self.wait_text("notepad", "")
        for n in range(3):
            self.type(NEW_WORD + " ")
            self.wait_text("notepad", (NEW_WORD + " ") * (n + 1))
        self.offered_new_word()

    def offered_new_word(self):
        self.clear("notepad")
        self.type(NEW_WORD[:4])
        self.shown_at_caret("notepad", NEW_WORD[:4], 1)
        self.key("1")
        self.wait_text("notepad", NEW_WORD)

    def learned_in_file(self):
        words = self.user_library_words()
        self.expect(NEW_WORD in words, "%r is not in the user library (%d words)" % (NEW_WORD, len(words)))
        count, last_used = words[NEW_WORD]
        self.expect(count >= 3, "use count %d" % count)
        self.expect(last_used >= self.started_at - 5, "last used %d, the run started at %d" % (last_used, self.started_at))
        self.notes.append("user library: %r used %d times" % (NEW_WORD, count))

    # 6. Exit ----------------------------------------------------------------------

    def exit_state(self):
        self.expect(not self.desktop.find("^%s$" % MAIN_WINDOW), "the main window was shown during the run")
        self.exit_program()
        settings = os.path.join(self.data, PRODUCT + ".ini")
        self.expect(os.path.isfile(settings), "no " + settings)
        self.expect(os.path.isfile(os.path.join(self.data, "libraries", "user_en.lib")), "no user library")
        wait_for("the tray icon removed", lambda: self.tray_icons() == 0, 20, 0.25)
        # The hooks are gone: typing changes the shared word no more.
        before = self.probe.shared()["wb"]
        text = self.text("notepad")
        self.focus("notepad")
        self.type_words("notepad", " aftermath", text)
        self.wait_text("notepad", text + " aftermath")
        stays("WordBuffer after the exit", lambda: self.probe.shared()["wb"], before)
        self.expect(not self.our_processes(), "left running: %r" % self.our_processes())

    def prompting_stays_off(self):
        """Prompting switched off is off again after a restart, and stays saved so."""
        settings = os.path.join(self.data, PRODUCT + ".ini")
        with open(settings, "rb") as f:
            text = f.read()
        self.expect(re.search(rb"(?m)^EnablePrompt=1\r?$", text), "no EnablePrompt=1 in " + settings)
        with open(settings, "wb") as f:
            f.write(re.sub(rb"(?m)^EnablePrompt=1(\r?)$", rb"EnablePrompt=0\1", text))
        self.start_program(first_run=False)
        wait_for("prompting off", lambda: self.probe.shared()["prompt"] == "0", 30, 0.25)
        self.exit_program()
        with open(settings, "rb") as f:
            self.expect(re.search(rb"(?m)^EnablePrompt=0\r?$", f.read()), "EnablePrompt not saved as 0")

    # ---------------------------------------------------------------------------

    def run(self):
        started = time.monotonic()
        self.wine.make_prefix()
        print("prefix made in %.1f s" % (time.monotonic() - started), flush=True)
        self.prepare_data_folder()
        self.probe = MainWindow(self.wine, self.args.bin, probe=True)
        self.start_program(first_run=True)
        self.start_hosts()

        self.check("start: hidden main window and tray icon", self.start_state)
        self.check("start: second instance refused", self.second_instance)
        self.check("typing notepad", self.typing("notepad", {
            "digit": ("This is an exampl", "5", (" and btw", "2", " and by the way")),
            "screenshot": "prompt_notepad.png",
            "lines": "quizz", "pages": "gazett", "escape": "nebul"}))
        self.check("typing wordpad", self.typing("wordpad", {
            "digit": ("More exampl", "1", None), "learned": ("example",),
            "screenshot": "prompt_wordpad.png",
            "lines": "kangar", "pages": "whiske", "escape": "aardv"}))
        self.check("shorthands: line break and parameters", self.shorthands)
        self.check("manual activation", self.manual_activation)
        self.check("held-back space", self.held_space)
        self.check("fast typing", self.fast_typing)
        self.check("fast typing: spaces held back", self.fast_words)
        self.check("learning: new word offered", self.learn_new_word)
        self.check("exit: files written, hooks removed, no process left", self.exit_state)
        self.check("learning: new word in the user library", self.learned_in_file)
        self.start_program(first_run=False)
        self.check("learning: new word offered after a restart", self.offered_new_word)
        self.check("exit after the restart", lambda: (self.exit_program(), self.expect(
            not self.our_processes(), "left running: %r" % self.our_processes())))
        self.check("start: prompting switched off stays off", self.prompting_stays_off)
        print("time: %.1f s" % (time.monotonic() - started))

    def close(self):
        try:
            if self.probe and self.probe.proc.poll() is None:
                self.probe.command("quit")
        except Exception:  # noqa: BLE001 - stopping goes on whatever happened
            pass
        self.wine.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--scripts", required=True)
    parser.add_argument("--libgen", required=True, help="the host's lexanto-libgen")
    parser.add_argument("--screenshots", required=True)
    parser.add_argument("--work", required=True, help="a folder for the test's own files")
    args = parser.parse_args()
    return run_and_report(Run(args), "e2e_program")


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""The demo of scripts/run on a virtual display: starts Lexanto and Notepad
in the current Wine prefix, types a few words, saves a screenshot while the
prompt shows its candidates, and stops what it started."""

import argparse
import os
import subprocess
import sys
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from e2elib import Desktop, E2eError, wait_for  # noqa: E402


def wine(*args):
    return subprocess.Popen(["wine64"] + list(args), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)


def prompt_window(desktop):
    """The prompt: a visible window of Lexanto's without a title."""
    for window in desktop.run("search", "--onlyvisible", "--classname", "lexanto.exe").stdout.split():
        if not desktop.run("getwindowname", window).stdout.strip():
            return window
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--shots", required=True)
    args = parser.parse_args()
    desktop = Desktop()
    started = []
    try:
        started.append(wine(os.path.join(args.bin, "Lexanto.exe")))
        # The first start offers to install the built-in libraries: yes.
        question = wait_for("the libraries question", lambda: desktop.find("^Lexanto$"), 60, 0.25)
        desktop.focus(question)
        desktop.key("Return")
        wait_for("the main window", lambda: desktop.find("^Lexanto Main Window$", visible=False), 60, 0.25)

        started.append(wine("notepad"))
        notepad = desktop.wait_window("Notepad")
        desktop.focus(notepad)
        # Below the balloon that the tray icon shows on the first runs.
        desktop.key("Return", "Return", "Return", "Return")
        desktop.type("Lexanto completes words as you type: this is an exampl", delay=150)
        wait_for("the prompt", lambda: prompt_window(desktop), 30, 0.25)
        time.sleep(0.5)  # let it paint
        os.makedirs(args.shots, exist_ok=True)
        shot = os.path.join(args.shots, "run-demo.png")
        subprocess.run(["import", "-window", "root", shot], check=True, timeout=60)
        print(shot)
        # Closing ends Lexanto cleanly: it writes its libraries and settings.
        subprocess.run(["wine64", "taskkill", "/im", "Lexanto.exe"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        started[0].wait(60)
        return 0
    except (E2eError, subprocess.SubprocessError, OSError) as error:
        print("run: demo failed: %s" % error, file=sys.stderr)
        return 1
    finally:
        for proc in started:
            if proc.poll() is None:
                proc.kill()


if __name__ == "__main__":
    sys.exit(main())

"""Journeys: what a person does with HarrierDriver, end to end.

Each journey starts the built program with emulated mice on the X screen
run-journeys.sh prepares (openbox managing it), acts with real key presses
and clicks (xdotool) and reads the result through the accessibility bus
(AT-SPI, through atspi_dump.py), the way a screen reader sees the program.
One journey per thing a person does; each prints PASS or FAIL with the
reason, and the run ends with "N passed, N failed".
"""
import json
import os
import subprocess
import sys
import time
import traceback

APP = os.environ.get("JOURNEY_APP", "")
WORK = os.environ.get("JOURNEY_WORK", "")
HERE = os.path.dirname(os.path.abspath(__file__))
# Roles a person operates; every one of them must carry a name.
CONTROLS = {"push button", "check box", "radio button", "slider", "spin button", "combo box",
            "toggle button", "entry", "page tab", "text"}


class Failed(Exception):
    pass


def check(condition, why):
    if not condition:
        raise Failed(why)


def wait_for(what, probe, seconds=20.0):
    """Asks probe until it answers something true; fails with what after seconds."""
    deadline = time.monotonic() + seconds
    trouble = ""
    while time.monotonic() < deadline:
        try:
            answer = probe()
        except Failed as error:
            answer = None
            trouble = " (%s)" % error
        if answer:
            return answer
        time.sleep(0.3)
    raise Failed("timed out waiting for " + what + trouble)


def key(*names):
    subprocess.run(["xdotool", "key", "--delay", "80", *names], check=True)


def click(item):
    """Clicks the middle of an object on the screen, as a person would."""
    x, y, w, h = item["box"]
    subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "1"], check=True)


def describe(item):
    return "%s %r" % (item["role"], item["name"])


class Program:
    """The built program, started with arguments, and what AT-SPI shows of it."""

    def __init__(self, *arguments):
        self.log_path = os.path.join(WORK, "program.log")
        self.log = open(self.log_path, "ab")
        self.process = subprocess.Popen([APP, *arguments], stdout=self.log, stderr=self.log)

    def alive(self):
        return self.process.poll() is None

    def said(self):
        self.log.flush()
        with open(self.log_path, "rb") as log:
            return log.read().decode("utf-8", "replace")

    def tree(self):
        """Every object of the program on the accessibility bus, in order."""
        result = subprocess.run(["/usr/bin/python3", os.path.join(HERE, "atspi_dump.py"), str(self.process.pid)],
                                capture_output=True, text=True, timeout=60)
        if result.returncode != 0:
            raise Failed("the accessibility bus could not be read: " + result.stderr[-300:])
        return json.loads(result.stdout or "[]")

    def showing(self):
        """The objects on screen, and the windows they are in."""
        return [item for item in self.tree() if "showing" in item["states"]]

    def main_window_showing(self):
        # The accessibility bus is left alone until the window is on the X
        # screen: the program starts that bus itself, and a Qt 5 program that
        # finds it already running was, here, never listed by its registry.
        def mapped():
            if not self.alive():
                raise Failed("the program ended with %s; it said: %s" % (self.process.returncode, self.said()[-400:]))
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid),
                                    "--name", "^HarrierDriver$"], capture_output=True)
            return found.returncode == 0
        wait_for("the HarrierDriver window on the X screen", mapped, 30.0)
        time.sleep(1.0)

        def probe():
            if not self.alive():
                raise Failed("the program ended with %s; it said: %s" % (self.process.returncode, self.said()[-400:]))
            return [i for i in self.showing() if i["depth"] == 0 and i["name"] == "HarrierDriver"]
        return wait_for("the HarrierDriver window", probe)

    def filled(self):
        """Waits until the settings page shows the mouse's CPI levels."""
        return wait_for("the settings page to be filled",
                        lambda: [i for i in self.showing() if i["role"] == "spin button" and i.get("value", 0) > 0])

    def quit(self):
        if self.alive():
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.log.close()


def find(items, role, name):
    for item in items:
        if item["role"] == role and item["name"] == name:
            return item
    return None


# ---------------------------------------------------------------- journeys

def keys_right_after_start():
    """Start with a mouse, touch nothing, press Enter, Space, Escape and Tab:
    the program is still running, no box is left over, and the keyboard is
    on a control of the window that a screen reader can name."""
    program = Program("--emulate", "kestrel")
    try:
        program.main_window_showing()
        program.filled()
        time.sleep(1.0)  # the no-mouse box has come and gone: the moment Enter used to quit
        for name in ("Return", "space", "Escape"):
            key(name)
            time.sleep(0.8)
            check(program.alive(), "the program ended after %s" % name)
        key("Tab")
        time.sleep(0.5)
        check(program.alive(), "the program ended after Tab")
        items = program.showing()
        boxes = [describe(i) for i in items if i["depth"] == 0 and i["name"] != "HarrierDriver"]
        check(not boxes, "a box is still up: %s" % ", ".join(boxes))
        target = next((i for i in items if "focused" in i["states"] and i["depth"] > 0), None)
        check(target is not None, "Tab reached nothing the accessibility bus calls focused")
        check(target["role"] in CONTROLS, "Tab reached %s, not a control" % describe(target))
        check(target["name"].strip() != "", "Tab reached %s, which has no name" % describe(target))
    finally:
        program.quit()


def every_page_named():
    """Every page of the window, visited by clicking its tab: every control on
    it carries a name on the accessibility bus."""
    program = Program("--emulate", "harrier")
    try:
        program.main_window_showing()
        program.filled()
        unnamed = set()
        for page in ("Settings", "Lighting", "Macros", "Support", "Cloud"):
            tab = wait_for("the %s tab" % page,
                           lambda: next((i for i in program.showing()
                                         if i["name"] == page and i["role"] in CONTROLS), None))
            click(tab)
            time.sleep(1.0)
            for item in program.showing():
                if item["role"] in CONTROLS and not item["name"].strip():
                    unnamed.add("%s on %s" % (item["role"], page))
        check(not unnamed, "controls without a name: " + ", ".join(sorted(unnamed)))
    finally:
        program.quit()


def second_start_then_quit():
    """Start it again while it runs: the window comes forward with no box to
    dismiss, and the second start ends. Then quit from the window itself (no
    tray here, so its close button says "Exit" and quits)."""
    program = Program("--emulate", "kestrel")
    try:
        program.main_window_showing()
        program.filled()
        second = subprocess.run([APP], capture_output=True, timeout=30)
        check(b"already running" in second.stderr, "the second start said: %r" % second.stderr[-300:])
        time.sleep(1.0)
        check(program.alive(), "the first copy ended when started again")
        items = program.showing()
        boxes = [describe(i) for i in items if i["depth"] == 0 and i["name"] != "HarrierDriver"]
        check(not boxes, "a box came up: %s" % ", ".join(boxes))
        close = find(items, "push button", "Exit")
        check(close is not None, "no button named Exit on the window: %s" % [
            describe(i) for i in items if i["role"] == "push button"][:6])
        click(close)
        try:
            program.process.wait(15)
        except subprocess.TimeoutExpired:
            raise Failed("the program still runs after Exit")
        check(program.process.returncode == 0, "the program ended with %s" % program.process.returncode)
    finally:
        program.quit()


JOURNEYS = [keys_right_after_start, every_page_named, second_start_then_quit]


def main(wanted):
    if wanted == ["--list"]:
        print("\n".join(journey.__name__ for journey in JOURNEYS))
        return 0
    passed = failed = 0
    for journey in JOURNEYS:
        if wanted and journey.__name__ not in wanted:
            continue
        started = time.monotonic()
        try:
            journey()
        except Failed as fault:
            failed += 1
            print("FAIL!  : %s: %s" % (journey.__name__, fault), flush=True)
            continue
        except Exception:
            failed += 1
            print("FAIL!  : %s: %s" % (journey.__name__, traceback.format_exc()), flush=True)
            continue
        passed += 1
        print("PASS   : %s (%.1f s)" % (journey.__name__, time.monotonic() - started), flush=True)
    print("journeys: %d passed, %d failed" % (passed, failed), flush=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

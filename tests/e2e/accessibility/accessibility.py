"""Keyboard-only runs of the real installer, checked through the accessibility bus.

Reads what a screen reader reads: the AT-SPI tree (roles, names, descriptions,
states) and the events the installer sends (focus, name and description
changes). Keys are real key presses on the virtual display. Each check names
what a blind user would miss when it fails.

Usage: accessibility.py INSTALLER STRINGS_FILE WORK_FOLDER HOST CA_FILE SIZE SHA256
"""

import os
import re
import shutil
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

INSTALLER, STRINGS, WORK, HOST, CA, SIZE, SHA256 = sys.argv[1:8]
FSI, PDI = "\u2068", "\u2069"
failures = []


def strings():
    table = {}
    with open(STRINGS, encoding="utf-8") as f:
        for key, value in re.findall(r'^"([^"]+)"\s*=\s*"((?:[^"\\]|\\.)*)";', f.read(), re.M):
            table[key] = value.replace('\\"', '"')
    return table


TEXT = strings()
PRODUCT = TEXT["Application_Name"]


def text(key, *args):
    """A string as the installer shows it: inserted names isolated."""
    value = TEXT[key]
    for arg in args:
        value = value.replace("%@", FSI + arg + PDI, 1)
    return value


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)
    return condition


class Events:
    """Collects the events a screen reader listens to."""

    kinds = ("object:state-changed:focused", "object:property-change:accessible-name",
             "object:property-change:accessible-description", "object:state-changed:checked")

    def __init__(self):
        self.seen = []
        pyatspi.Registry.registerEventListener(self._on_event, *self.kinds)

    def _on_event(self, event):
        try:
            source = event.source
            self.seen.append((event.type, source.getRoleName(), source.name, source.description, event.detail1))
        except Exception:  # the object may be gone already
            pass

    def mark(self):
        return len(self.seen)

    def since(self, mark, kind=None, role=None):
        return [e for e in self.seen[mark:]
                if (kind is None or e[0].startswith(kind)) and (role is None or e[1] == role)]


def pump(seconds=0.0, until=None, timeout=20.0):
    """Runs the bus for @p seconds, or until @p until() is true (at most @p timeout s)."""
    context = GLib.MainContext.default()
    end = time.monotonic() + (timeout if until else seconds)
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        if until:
            try:
                if until():
                    return True
            except Exception:
                pass
        time.sleep(0.02)
    return until is None


def key(name):
    subprocess.run(["xdotool", "key", "--clearmodifiers", name], check=True)
    pump(0.3)


def states(node):
    return {pyatspi.stateToString(s) for s in node.getState().getStates()}


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def application(process):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == process.pid:
            return app
    return None


def find(app, role=None, name=None, showing=True, test=None):
    for node in walk(app):
        if role and node.getRoleName() != role:
            continue
        if name is not None and node.name != name:
            continue
        if showing and "showing" not in states(node):
            continue
        if test and not test(node):
            continue
        return node
    return None


def focused(app):
    return find(app, test=lambda n: "focused" in states(n))


def launch(applications, hosts, marker, sha256=SHA256):
    env = dict(os.environ,
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QT_QPA_PLATFORM="xcb",
               PRISMORA_APPLICATIONS_DIR=applications,
               PRISMORA_DOWNLOAD_HOSTS=",".join(hosts),
               PRISMORA_CA_FILE=CA,
               PRISMORA_ARCHIVE_SIZE=SIZE,
               PRISMORA_ARCHIVE_SHA256=sha256,
               PRISMORA_DEMO_MARKER=marker,
               PRISMORA_NO_ANALYTICS="1",
               HOME=os.path.join(WORK, "home"),
               LANGUAGE="en", LC_ALL="C.UTF-8")
    os.makedirs(env["HOME"], exist_ok=True)
    process = subprocess.Popen([INSTALLER], env=env)
    app = None

    def ready():
        nonlocal app
        app = application(process)
        return app is not None and find(app, role="frame") is not None
    if not pump(until=ready, timeout=30):
        process.kill()
        raise SystemExit("the installer's window never reached the accessibility bus")
    # There is no window manager: give the window the keyboard as one would.
    window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(process.pid)],
                            capture_output=True, text=True, timeout=20).stdout.split()
    subprocess.run(["xdotool", "windowfocus", "--sync", window[0]], check=True, timeout=20)
    if not pump(until=lambda: focused(app) is not None, timeout=10):
        process.kill()
        raise SystemExit("the installer's window took the keyboard but nothing in it reports focus")
    return process, app


def stop(process):
    if process.poll() is None:
        process.kill()
    process.wait(timeout=10)


def notice_checks(app, events, mark, message, choice, what):
    dialog = find(app, role="dialog")
    if not check(dialog is not None, f"{what}: the notice is a dialog"):
        return
    check(dialog.name == text("Window_Title"), f"{what}: the dialog is named after the installer ({dialog.name!r})")
    check(dialog.description == message, f"{what}: the dialog's description is its message ({dialog.description!r})")
    check("modal" in states(dialog), f"{what}: the dialog is modal")
    button = focused(app)
    check(button is not None and button.getRoleName() == "push button" and button.name == choice,
          f"{what}: focus is on {choice!r} ({button.name if button else None!r})")
    check(button is not None and button.description == message, f"{what}: the focused choice is described by the message")
    heard = events.since(mark, "object:state-changed:focused", "push button")
    check(any(e[2] == choice and e[3] == message and e[4] == 1 for e in heard),
          f"{what}: the focus event carries the choice and the message")


def welcome_checks(app):
    frame = find(app, role="frame")
    check(frame is not None and frame.name == text("Window_Title"), "the main window is a frame named by its title")
    check(find(app, role="heading") is not None, "the page title is a heading")
    link = find(app, role="link", name=TEXT["TermsOfUse_Title"])
    check(link is not None and "focusable" in states(link), "the terms are a focusable link")
    check(find(app, role="push button", name=TEXT["TermsOfUse_Title"]) is None, "the terms are not a push button")
    unnamed = [n.getRoleName() for n in walk(app)
               if n.getRoleName() in ("image", "separator") and not n.name and "showing" in states(n)]
    check(not unnamed, f"no decoration is read as an unnamed image ({unnamed})")
    box = focused(app)
    check(box is not None and box.getRoleName() == "check box" and "checked" in states(box),
          "focus starts on the checked agreement box")
    key("Tab")
    now = focused(app)
    check(now is not None and now.getRoleName() == "link", "Tab moves from the box to the link")
    key("shift+Tab")


def refused_terms_then_failures(events):
    """Declines the terms, reads the notice, then fails on every mirror twice.

    The mirrors serve the archive at a walking pace and the installer expects
    another digest, so each attempt lasts a few seconds and then fails."""
    applications = os.path.join(WORK, "apps-failure")
    os.makedirs(applications, exist_ok=True)
    process, app = launch(applications, [HOST + "/slow"] * 4, os.path.join(WORK, "never-started"), "0" * 64)
    try:
        welcome_checks(app)
        key("space")
        box = focused(app)
        check(box is not None and "checked" not in states(box), "Space unchecks the box and it is reported")
        mark = events.mark()
        key("Return")
        pump(until=lambda: find(app, role="dialog") is not None, timeout=10)
        notice_checks(app, events, mark, text("AgreeTip", PRODUCT), TEXT["Dialog_Button_OK"], "terms notice")
        key("Escape")
        check(pump(until=lambda: find(app, role="dialog") is None, timeout=10), "Escape closes the notice")
        now = focused(app)
        check(now is not None and now.getRoleName() == "check box", "focus returns to the box after the notice")

        key("space")
        mark = events.mark()
        key("Return")
        pump(until=lambda: (focused(app) or app).getRoleName() == "progress bar", timeout=10)
        bar = focused(app)
        check(bar is not None and bar.getRoleName() == "progress bar",
              f"the progress page takes focus on its bar ({bar.getRoleName() if bar else None})")
        check(bar is not None and bar.name == text("Install_Downloading", PRODUCT),
              f"the bar is named by the status ({bar.name if bar else None!r})")

        for attempt in ("first", "second"):
            retry_seen = lambda: (focused(app) or app).name == TEXT["Button_Retry"]
            check(pump(until=retry_seen, timeout=60), f"{attempt} failure: focus lands on Retry")
            retry = focused(app)
            title = TEXT["Failed_Title"]
            check(retry is not None and retry.description == title + "\n" + TEXT["Install_Error_Unknown"],
                  f"{attempt} failure: Retry is described by the title and reason ({retry.description if retry else None!r})")
            heard = events.since(mark, "object:state-changed:focused", "push button")
            check(any(e[2] == TEXT["Button_Retry"] and e[3].startswith(title) and e[4] == 1 for e in heard),
                  f"{attempt} failure: the page's appearance is announced through focus")
            check(find(app, role="heading", name=title) is not None, f"{attempt} failure: the title is a heading")
            if attempt == "first":
                mark = events.mark()
                key("Return")
                check(pump(until=lambda: (focused(app) or app).getRoleName() == "progress bar", timeout=10),
                      "Retry moves focus to the new progress bar")
    finally:
        stop(process)


def replace_and_install(events, product):
    """Replaces an installed copy with keyboard only and hears each step."""
    applications = os.path.join(WORK, "apps-success")
    os.makedirs(applications, exist_ok=True)
    shutil.copytree(product, os.path.join(applications, "Prismora.app"), symlinks=True)
    marker = os.path.join(WORK, "product-started")
    process, app = launch(applications, [HOST + "/ok"] * 4, marker)
    try:
        mark = events.mark()
        key("Return")
        pump(until=lambda: find(app, role="dialog") is not None, timeout=10)
        notice_checks(app, events, mark, text("Alert_Existed_Should_Replace", PRODUCT), TEXT["Button_Replace"],
                      "replace notice")
        mark = events.mark()
        key("Return")
        check(pump(until=lambda: process.poll() is not None, timeout=90), "the whole install ends by itself")
        check(process.returncode == 0, f"the installer exits with 0 ({process.returncode})")
        check(os.path.exists(marker), "the installed product was started")
        bar_names = [e[2] for e in events.since(mark, "object:property-change:accessible-name", "progress bar")]
        statuses = [text("Install_Installing"), text("Install_Launching", PRODUCT)]
        for status in statuses:
            check(status in bar_names, f"{status!r} is announced")
        check(len(bar_names) <= 4, f"the bar's name changes only when the step changes ({len(bar_names)} events)")
        focus_on_bar = events.since(mark, "object:state-changed:focused", "progress bar")
        check(any(e[4] == 1 for e in focus_on_bar), "the progress page takes focus after the notice")
    finally:
        stop(process)


def main():
    events = Events()
    refused_terms_then_failures(events)
    replace_and_install(events, sys.argv[8])
    print(f"{len(failures)} failed" if failures else "all accessibility checks passed", flush=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

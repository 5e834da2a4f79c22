#!/usr/bin/python3
"""kr44 driven by xdotool on a private Xvfb and session bus, read back through accessibility and
the saved files. No window manager moves the focus: every key goes to a window focused first."""

import contextlib
import os
import pathlib
import re
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from kr44e2e import Failure, Private, check, crlf, outcome, require, wait_for  # noqa: E402

APP = "KR44 Demo Program"
REFUSED = "This line is referenced by a jump instruction!"
DIALOGS = ("dialog", "alert", "file chooser")
INSTRUCTIONS = "+-ABCDfGghHIjJKLMTUVWXZ"  # the instruction menu's entries, in order


def children(accessible):
    return [c for c in map(accessible.getChildAtIndex, range(accessible.childCount)) if c]


def content(path):
    return pathlib.Path(path).read_bytes() if os.path.exists(path) else None


class Session(Private):
    def start_kr44(self, kr44, *args):
        require(("Xvfb", "xdotool", "xwininfo", "dbus-daemon"), modules=("pyatspi",))
        # -displayfd: the server takes a free display itself; -r: no key repeat, which an
        # xdotool stalled between a key's press and release would cause.
        display = self.start_and_read(["Xvfb", "-displayfd", "{fd}", "-screen", "0",
                                       "1280x1024x24", "-r"], "display", stderr=self.log("xvfb"))
        self.env.update(DISPLAY=f":{display}", QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1",
                        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.start_and_read(
            ["dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address={fd}"],
            "bus address", stderr=self.log("dbus.log"))
        for name in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR"):
            os.environ[name] = self.env[name]  # read by pyatspi when it first connects
        import pyatspi
        self.atspi = pyatspi
        # kr44's bridge needs the registry up when it starts.
        wait_for("the registry", lambda: pyatspi.Registry.getDesktop(0).childCount >= 0)
        self.app = self.start([kr44, "--virtual-unit", *args], stdout=self.log("kr44.log"),
                              stderr=subprocess.STDOUT)
        self.main_window = self.first_window(rf"^{APP} - \[")

    def wait(self, what, probe, timeout=60):
        return wait_for(what, probe, timeout, lambda: check(
            self.app.poll() is None, f"kr44 ended with exit code {self.app.returncode}"))

    def wait_equal(self, what, probe, expected):
        try:
            self.wait(what, lambda: probe() == expected)
        except Failure as failure:
            raise Failure(f"{failure}\n  expected {expected!r}\n  actual   {probe()!r}")

    # X side: windows, focus, keys and clicks

    def xdo(self, *args, must=True):  # xdotool search fails when it finds nothing
        return subprocess.run(["xdotool", *args], env=self.env, check=must, text=True,
                              stdout=subprocess.PIPE, timeout=60).stdout

    def windows(self, *search, popups=False):
        found = self.xdo("search", "--all", "--onlyvisible", "--pid", str(self.app.pid), *search,
                         must=False)
        infos = [dict(re.findall(r"^\s*([A-Za-z -]+):\s*(.*)$", subprocess.run(
            ["xwininfo", "-id", w], env=self.env, capture_output=True, text=True).stdout, re.M),
            id=w) for w in found.split()]
        return [i for i in infos if i.get("Override Redirect State") == ("yes" if popups else "no")]

    def first_window(self, title):
        return self.wait(f"a window {title}", lambda: self.windows("--name", title)[0]["id"])

    def menu_at(self, row):
        """Whether the instruction menu is open with its top-left corner at a row's."""
        cell = self.cell(row, 0)
        return any(abs(int(i["Absolute upper-left X"]) - cell.x) <= 2 and int(i["Height"]) > 200
                   and abs(int(i["Absolute upper-left Y"]) - cell.y) <= 2
                   for i in self.windows("--name", "", popups=True))

    def focus(self, window, accessible):
        self.xdo("windowfocus", "--sync", window)
        self.wait(f"{accessible.name} active", lambda: self.has(accessible, "ACTIVE"))

    def focus_main(self):
        self.focus(self.main_window, self.top_level(["frame"]))
        self.wait("the focus in the list", lambda: self.has(self.table(), "FOCUSED"))

    def keys(self, *keys):
        self.xdo("key", "--delay", "40", *keys)

    def click(self, row, repeat):
        cell = self.cell(row, 3)
        self.focus_main()
        self.xdo("mousemove", "--sync", str(cell.x + cell.width // 2),
                 str(cell.y + cell.height // 2))
        self.xdo("click", "--repeat", str(repeat), "--delay", "60", "1")

    # accessibility side

    def top_level(self, roles, name=None):
        return next((w for a in children(self.atspi.Registry.getDesktop(0)) if a.name == APP
                     for w in children(a) if w.getRoleName() in roles and name in (None, w.name)),
                    None)

    def has(self, accessible, state):
        return accessible.getState().contains(getattr(self.atspi, "STATE_" + state))

    def find(self, accessible, predicate, depth=0):
        if predicate(accessible):
            return accessible
        found = (self.find(c, predicate, depth + 1) for c in children(accessible)
                 if depth < 15 and c.getRoleName() not in ("menu bar", "tool bar"))
        return next(filter(None, found), None)

    def table(self):
        return self.wait("the program list", lambda: self.find(self.top_level(
            ["frame"]), lambda a: a.getRoleName() == "table" and a.name == "Program lines"))

    def rows(self, marks=False):
        """Each row as "line|code|instruction|parameters", with marks "*" after selected ones."""
        table = self.table().queryTable()
        cells = [[table.getAccessibleAt(r, c) for c in range(4)] for r in range(table.nRows)]
        return ["|".join(c.name for c in row) + "*" * (marks and self.has(row[0], "SELECTED"))
                for row in cells]

    def cell(self, row, column):
        return self.table().queryTable().getAccessibleAt(row, column).queryComponent().getExtents(
            self.atspi.DESKTOP_COORDS)

    def field(self, dialog, name=None):
        return self.find(dialog, lambda a: a.getRoleName() == "text" and name in (None, a.name))

    # steps of the cases

    def wait_rows(self, *rows):
        """Waits for these rows, "code|instruction|parameters" numbered from 1; when one ends
        in "*", exactly the rows so marked must be selected."""
        marks = any(row.endswith("*") for row in rows)
        self.wait_equal("the rows", lambda: self.rows(marks),
                        [f"{n}|{row}" for n, row in enumerate(rows, 1)])

    def press(self, row, key):
        # kr44 takes the click, which selects the row, before the key.
        self.click(row, 1)
        self.keys(key)

    def open_menu(self, row):
        # Clicks a stalled xdotool spaced too far apart only select the row, and a later click
        # closes a late menu unchosen: trying again is safe.
        for attempt in range(3):
            self.click(row, 2)
            with contextlib.suppress(Failure):
                return self.wait("the instruction menu", lambda: self.menu_at(row), timeout=15)
        raise Failure("no instruction menu after three double-clicks")

    def choose(self, row, code):
        """Picks an entry with the arrow keys from the instruction menu opening at a row."""
        self.wait("the instruction menu", lambda: self.menu_at(row))
        self.keys(*["Down"] * (INSTRUCTIONS.index(code) + 1), "Return")
        self.wait("the instruction menu to close", lambda: not self.menu_at(row))

    def dialog(self, title, text=None, field=None, name=None, inspect=lambda dialog: None):
        """Focuses the dialog with this title (and accessible name) once it shows, passes it to
        inspect, types text into its field, if given, and closes it with Return."""
        window = self.first_window(rf"^{re.escape(title)}$")
        dialog = self.wait(title, lambda: self.top_level(DIALOGS, name or title))
        self.focus(window, dialog)
        inspect(dialog)
        if text is not None:
            box = self.field(dialog, field)
            self.wait(f"the focus in {field}", lambda: self.has(box, "FOCUSED"))
            self.keys("ctrl+a")
            self.xdo("type", "--delay", "25", "--", text)
            self.wait(f"{text} typed", lambda: box.queryText().getText(0, -1) == text)
        # A completion list open over a field would take the Return key.
        self.wait("no popup", lambda: not self.windows("--name", "", popups=True))
        self.keys("Return")
        self.wait(f"{title} closed", lambda: not self.windows("--name", rf"^{re.escape(title)}$")
                  and self.top_level(DIALOGS, name or title) is None)

    def save(self, path=None, expected=None):
        self.focus_main()
        self.keys("ctrl+s")
        if path:
            self.wait_equal(path, lambda: content(path), expected)

    def wait_caption(self, name):
        self.wait_equal("the caption", lambda: self.xdo("getwindowname", self.main_window),
                        f"{APP} - [{name}]\n")


def case_new_program(s, kr44):
    """A fresh start shows a new program; a G line from the end row's menu is saved with Ctrl+S."""
    s.start_kr44(kr44)
    s.wait_caption("Program1")
    s.wait_rows("||*")
    s.open_menu(0)
    s.choose(0, "G")
    s.wait_rows("G|Go to|", "||")
    s.dialog("Goto Command", "-25000", "Move to position", inspect=lambda dialog: check(
        s.find(dialog, lambda a: a.getRoleName() == "push button" and a.name == "Cancel"
               and s.has(a, "SHOWING")) is None, "the Goto dialog of a new line offers Cancel"))
    s.wait_rows("G|Go to|-25000", "||")
    s.save()  # never saved: Save As asks for a name
    s.dialog("Save As", s.path("files/saved-new.krp"), inspect=lambda dialog: s.wait_equal(
        "the name proposed", lambda: s.field(dialog).queryText().getText(0, -1), "Program1.krp"))
    s.wait_equal("the saved file", lambda: content(s.path("files/saved-new.krp")),
                 crlf("G-25000"))
    s.wait_caption("saved-new.krp")


def case_insert(s, kr44):
    """Insert before line 2 puts the new line there and moves the J target with its line."""
    path = s.write("insert.krp", crlf("G100", "D500", "J1H,2", "j1"))
    s.start_kr44(kr44, path)
    s.wait_rows("G|Go to|100", "D|Delay|500", "J|Jump if|1H,2", "j|Jump|1", "||")
    s.press(1, "Insert")
    s.choose(1, "A")
    s.wait_rows("G|Go to|100", "A|Activate|", "D|Delay|500", "J|Jump if|1H,3", "j|Jump|1", "||")
    s.dialog("Activate Command")
    s.wait_rows("G|Go to|100", "A|Activate|1*", "D|Delay|500", "J|Jump if|1H,3", "j|Jump|1",
                "||")
    s.save(path, crlf("G100", "A1", "D500", "J1H,3", "j1"))


def case_delete_refused(s, kr44):
    """Delete of a jump's target is refused with its message; another line can go."""
    original = crlf("G100", "D500", "G200", "j3")
    path = s.write("delete.krp", original)
    s.start_kr44(kr44, path)
    s.wait_rows("G|Go to|100", "D|Delay|500", "G|Go to|200", "j|Jump|3", "||")
    s.press(2, "Delete")
    s.dialog(APP, name=REFUSED, inspect=lambda box: check(s.find(
        box, lambda a: a.getRoleName() == "label" and a.name == REFUSED), "no refusal shown"))
    s.wait_rows("G|Go to|100", "D|Delay|500", "G|Go to|200*", "j|Jump|3", "||")
    s.wait_caption("delete.krp")
    s.press(1, "Delete")
    s.wait_rows("G|Go to|100", "G|Go to|200*", "j|Jump|2", "||")
    check(content(path) == original, "the file changed before Ctrl+S")
    s.save(path, crlf("G100", "G200", "j2"))


def case_comment(s, kr44):
    """Space on an instruction row adds a comment above it; on the end row it adds one there."""
    path = s.write("comment.krp", crlf("G100", "j1"))
    s.start_kr44(kr44, path)
    s.wait_rows("G|Go to|100", "j|Jump|1", "||")
    s.press(0, "space")
    s.wait_rows("||", "G|Go to|100", "j|Jump|2", "||")
    s.dialog("Comment", "home first", "Comment")
    s.wait_rows("||home first*", "G|Go to|100", "j|Jump|2", "||")
    s.press(3, "space")
    s.wait_rows("||home first", "G|Go to|100", "j|Jump|2", "||", "||")
    s.dialog("Comment", "end", "Comment")
    s.wait_rows("||home first", "G|Go to|100", "j|Jump|2", "||end", "||")
    s.save(path, crlf("* home first", "G100", "j2", "* end"))


def case_debug(s, kr44):
    """F9 on the -200 row of the example, F5: the run stops before that row, which a screen
    reader hears as the current line; F10 steps over it; F9 clears the breakpoint, Ctrl+F10
    runs to the +200 row on the next pass and F8 lets the run go on to its end, which the panel
    sums up."""
    s.start_kr44(kr44, os.path.join(os.path.dirname(__file__), "../../examples/axis-demo.krp"))
    frame = s.top_level(["frame"])
    named = lambda name: s.find(frame, lambda a: a.name == name)  # noqa: E731
    value = lambda caption: s.find(frame, lambda a: a.getRoleName() == "label" and any(  # noqa
        r.getTarget(0).name == caption for r in a.getRelationSet()
        if r.getRelationType() == s.atspi.RELATION_LABELLED_BY)).name
    line = lambda row: s.table().queryTable().getAccessibleAt(row, 0).name  # noqa: E731
    s.wait("the virtual unit", lambda: s.has(named("Input 1"), "ENABLED"))
    s.press(4, "F9")
    s.wait_equal("the breakpoint", lambda: line(4), "5, breakpoint")
    s.focus_main()
    s.keys("F5")
    s.wait("the run waiting for input 1", lambda: value("Program line") == "4: W1H")
    named("Input 1").queryAction().doAction(0)  # as a screen reader toggles it: W1H goes on
    s.wait_equal("the run stopped before -200", lambda: line(4), "5, breakpoint, current line")
    check(value("Position") == "200" and value("State") == "Paused: program",
          f"paused at {value('Position')}, {value('State')}")
    s.focus_main()  # the send has shown the command window
    s.keys("F10")
    s.wait_equal("the step over the move", lambda: (line(4), line(5), value("Position")),
                 ("5, breakpoint", "6, current line", "0"))
    s.press(4, "F9")
    s.wait_equal("the breakpoint cleared", lambda: line(4), "5")
    s.press(2, "ctrl+F10")
    s.wait_equal("the run to the cursor on the next pass", lambda: line(2), "3, current line")
    s.keys("F8")
    s.wait("the summary", lambda: value("Last run").startswith("Ended: Ready\n"))
    summary = value("Last run")
    check("Instructions executed: 24" in summary and "on line 6: 5 passes" in summary, summary)


def main():
    session, case = Session("e2e"), globals()["case_" + sys.argv[2]]
    return outcome(lambda: case(session, os.path.abspath(sys.argv[1])), session.close)


if __name__ == "__main__":
    sys.exit(main())

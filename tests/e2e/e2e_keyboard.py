#!/usr/bin/python3
"""End-to-end tests of kr44 driven by real keys and clicks.

Each case starts its own X server (Xvfb, display number chosen by the server itself), its own
session bus with the accessibility bus behind it, and a kr44 with fresh settings. xdotool sends
the keys and clicks; the answers are read back through Qt's accessibility bridge (rows, dialogs,
message boxes) and from the saved program files.

There is no window manager on the private display: nothing moves the keyboard focus by itself,
so every key sequence is preceded by `xdotool windowfocus` on its window, and the focus is taken
back to the main window after each modal dialog. Nothing here waits a fixed time: every step
polls for the state it needs, with a deadline.

Run all cases:  e2e_keyboard.py --kr44 build/src/app/kr44
Run one case:   e2e_keyboard.py --kr44 build/src/app/kr44 --case delete_refused
Keep screenshots of every step: --shots DIR
"""

import argparse
import ctypes
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

SKIP = 77  # CTest's SKIP_RETURN_CODE for this script
APP_NAME = "KR44 Demo Program"
REFUSED = "This line is referenced by a jump instruction!"

# A loaded CI machine can take seconds to start a debug build or to open a dialog; a deadline
# only bounds how long a broken case takes to fail.
DEADLINE = 45.0
POLL = 0.05

# Rows in the instruction menu, in the order the menu lists them.
INSTRUCTIONS = "+-ABCDfGghHIjJKLMTUVWXZ"


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def expect_equal(actual, expected, what):
    if actual != expected:
        raise Failure(f"{what}:\n  expected {expected!r}\n  actual   {actual!r}")


def wait_for(what, probe, timeout=DEADLINE, alive=None):
    """Polls probe() until it returns something other than None or False, and returns that."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        if alive is not None:
            alive()
        try:
            value = probe()
            if value is not None and value is not False:
                return value
        except Failure:
            raise
        except Exception as error:  # an accessible object that went away while it was read
            last_error = error
        if time.monotonic() > deadline:
            extra = f" (last error: {last_error})" if last_error else ""
            raise Failure(f"timed out after {timeout:.0f} s waiting for {what}{extra}")
        time.sleep(POLL)


def die_with_parent():
    """Runs in a child before exec: the child gets SIGTERM when this script dies, even when a
    runner kills the script without letting it clean up."""
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def crlf(*lines):
    return b"".join(line.encode("latin-1") + b"\r\n" for line in lines)


class Session:
    """A private X display and session bus with one kr44 running on them."""

    def __init__(self, kr44, shots_dir, case_name):
        self.kr44 = kr44
        self.case_name = case_name
        self.shots_dir = shots_dir
        self.shot_count = 0
        self.tmp = tempfile.mkdtemp(prefix=f"kr44-e2e-{case_name}-")
        self.work = os.path.join(self.tmp, "work")
        self.files = os.path.join(self.tmp, "files")
        for folder in (self.work, self.files):
            os.makedirs(folder)
        self.xvfb = None
        self.bus = None
        self.logs = []
        self.app = None
        self.main_window = None
        self.env = None
        self.atspi = None

    # --- start and stop ---------------------------------------------------------------------

    def start_display(self):
        runtime = os.path.join(self.tmp, "runtime")
        os.makedirs(runtime, mode=0o700)
        read_end, write_end = os.pipe()
        # -displayfd lets the server take a free display number itself, so parallel cases
        # never race for one. -r: no key repeat, or an xdotool stalled between a key's press
        # and its release would type the key again.
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
             "-nolisten", "tcp", "-r"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=self.log("xvfb.log"),
            start_new_session=True, preexec_fn=die_with_parent)
        os.close(write_end)
        display = self._read_line(read_end, "the Xvfb display number")
        os.close(read_end)

        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("QT_", "XDG_", "DBUS_", "SESSION_MANAGER", "KR44_"))}
        env.update({
            "DISPLAY": f":{display}",
            "XDG_RUNTIME_DIR": runtime,
            "XDG_CONFIG_HOME": os.path.join(self.tmp, "config"),
            "XDG_DATA_HOME": os.path.join(self.tmp, "data"),
            "XDG_CACHE_HOME": os.path.join(self.tmp, "cache"),
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_ACCESSIBILITY": "1",
            "KR44_INSTANCE_NAME": f"e2e-{os.getpid()}",
        })

        read_end, write_end = os.pipe()
        self.bus = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--nopidfile",
             f"--print-address={write_end}"],
            pass_fds=(write_end,), env=env, stdout=subprocess.DEVNULL, stderr=self.log("dbus.log"),
            start_new_session=True, preexec_fn=die_with_parent)
        os.close(write_end)
        env["DBUS_SESSION_BUS_ADDRESS"] = self._read_line(read_end, "the session bus address")
        os.close(read_end)

        self.env = env
        # The accessibility library in this process reads these when it first connects.
        os.environ.update({k: env[k] for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS",
                                               "XDG_RUNTIME_DIR")})
        import pyatspi  # noqa: E402 (needs the environment above)
        self.atspi = pyatspi
        # Bring the accessibility bus and its registry up before the application looks for
        # them, so the application's bridge finds a registry to embed itself into.
        wait_for("the accessibility registry",
                 lambda: pyatspi.Registry.getDesktop(0).childCount >= 0)

    def log(self, name):
        self.logs.append(open(os.path.join(self.tmp, name), "wb"))
        return self.logs[-1]

    def _read_line(self, fd, what):
        data = b""
        deadline = time.monotonic() + DEADLINE
        while not data.endswith(b"\n"):
            left = deadline - time.monotonic()
            check(left > 0, f"timed out waiting for {what}")
            ready, _, _ = select.select([fd], [], [], left)
            if ready:
                chunk = os.read(fd, 256)
                check(chunk, f"{what}: the process ended early")
                data += chunk
        return data.decode().strip()

    def start_app(self, *args):
        log = self.log("kr44.log")
        self.app = subprocess.Popen([self.kr44, "--virtual-unit", *args], cwd=self.work,
                                    env=self.env, stdout=log, stderr=log,
                                    start_new_session=True, preexec_fn=die_with_parent)
        self.main_window = self.first_window(rf"^{APP_NAME} - \[",
                                             "the main window with a program window")
        self.wait("kr44 on the accessibility bus", self.application)
        self.table()

    def check_alive(self):
        code = self.app.poll()
        check(code is None, f"kr44 ended with exit code {code}; its output is in {self.tmp}")

    def wait(self, what, probe, timeout=DEADLINE):
        return wait_for(what, probe, timeout, alive=self.check_alive)

    def stop(self, keep):
        if self.app and self.app.poll() is None:
            self.app.terminate()
            try:
                self.app.wait(10)
            except subprocess.TimeoutExpired:
                self.app.kill()
                self.app.wait()
        for process in (self.bus, self.xvfb):
            if not process:
                continue
            # The bus's activated services (the accessibility bus and registry) run in the
            # bus's own process group, and may outlive the bus itself.
            try:
                os.killpg(process.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
        for log in self.logs:
            log.close()
        if keep:
            print(f"  kept for inspection: {self.tmp}")
        else:
            shutil.rmtree(self.tmp, ignore_errors=True)

    # --- X side -------------------------------------------------------------------------------

    def run(self, *command, timeout=DEADLINE):
        try:
            result = subprocess.run(command, env=self.env, capture_output=True, text=True,
                                    timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"{command[0]} did not finish within {timeout:.0f} s: {command}")
        return result

    def xdo(self, *args):
        result = self.run("xdotool", *args)
        check(result.returncode == 0, f"xdotool {' '.join(args)} failed: {result.stderr.strip()}")
        return result.stdout

    def windows(self, name_regex):
        """Visible windows of this kr44 whose title matches, popups left out."""
        result = self.run("xdotool", "search", "--all", "--onlyvisible", "--pid",
                          str(self.app.pid), "--name", name_regex)
        return [int(w) for w in result.stdout.split()
                if self.window_info(w).get("Override Redirect State") == "no"]

    def first_window(self, name_regex, what):
        return self.wait(what, lambda: (self.windows(name_regex) or [None])[0])

    def window_info(self, window):
        info = self.run("xwininfo", "-id", str(window)).stdout
        return dict(re.findall(r"^\s*([A-Za-z -]+):\s*(.*)$", info, re.M))

    def popups(self):
        """Geometry of every visible popup (menu, completer list, tooltip) of kr44."""
        result = self.run("xdotool", "search", "--onlyvisible", "--classname", "^kr44$")
        infos = (self.window_info(window) for window in result.stdout.split())
        return [fields for fields in infos if fields.get("Override Redirect State") == "yes"]

    def popup_at(self, x, y):
        """The popup menu whose top-left corner is at x, y, or None."""
        for fields in self.popups():
            left = int(fields["Absolute upper-left X"])
            top = int(fields["Absolute upper-left Y"])
            if abs(left - x) <= 2 and abs(top - y) <= 2 and int(fields["Height"]) > 200:
                return fields
        return None

    def focus(self, window, accessible):
        """Gives the X focus to a window and waits until Qt has made it the active window."""
        self.xdo("windowfocus", "--sync", str(window))
        self.wait(f"{accessible.name!r} to become the active window",
                  lambda: self.has_state(accessible, self.atspi.STATE_ACTIVE))

    def focus_main(self):
        self.focus(self.main_window, self.wait("the main window on the accessibility bus",
                                               self.main_frame))
        self.wait("the program list to have the keyboard focus",
                  lambda: self.has_state(self.table(), self.atspi.STATE_FOCUSED))

    def keys(self, *keys):
        self.xdo("key", "--delay", "40", *keys)

    def type_text(self, text):
        self.xdo("type", "--delay", "25", "--", text)

    def click(self, x, y, repeat=1):
        self.xdo("mousemove", "--sync", str(x), str(y))
        self.xdo("click", "--repeat", str(repeat), "--delay", "60", "1")

    def screenshot(self, label):
        if not self.shots_dir:
            return
        self.shot_count += 1
        os.makedirs(self.shots_dir, exist_ok=True)
        path = os.path.join(self.shots_dir,
                            f"{self.case_name}-{self.shot_count:02d}-{label}.png")
        self.run("import", "-window", "root", path)

    def failure_screenshot(self):
        self.run("import", "-window", "root", os.path.join(self.tmp, "failure.png"))

    # --- accessibility side ---------------------------------------------------------------------

    def application(self):
        desktop = self.atspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            child = desktop.getChildAtIndex(i)
            if child is not None and child.name == APP_NAME:
                return child
        return None

    def top_levels(self):
        app = self.application()
        check(app is not None, "kr44 left the accessibility bus (did it crash?)")
        return [app.getChildAtIndex(i) for i in range(app.childCount)]

    def main_frame(self):
        for window in self.top_levels():
            if window is not None and window.getRoleName() == "frame":
                return window
        return None

    def dialog(self, name):
        """The top-level dialog or message box with this accessible name, or None."""
        for window in self.top_levels():
            if window is not None and window.name == name and window.getRoleName() in (
                    "dialog", "alert", "file chooser"):
                return window
        return None

    def has_state(self, accessible, state):
        return accessible.getState().contains(state)

    @staticmethod
    def find(accessible, predicate, depth=0):
        if predicate(accessible):
            return accessible
        if depth > 14:
            return None
        for i in range(accessible.childCount):
            child = accessible.getChildAtIndex(i)
            if child is None or child.getRoleName() in ("menu bar", "tool bar"):
                continue
            found = Session.find(child, predicate, depth + 1)
            if found is not None:
                return found
        return None

    def table(self):
        return self.wait("the program list", lambda: self.main_frame() and self.find(
            self.main_frame(),
            lambda a: a.getRoleName() == "table" and a.name == "Program lines"))

    def rows(self):
        """Every row of the program list as (line no., code, instruction, parameters)."""
        table = self.table().queryTable()
        return [tuple(table.getAccessibleAt(r, c).name for c in range(4))
                for r in range(table.nRows)]

    def selected_row(self):
        table = self.table().queryTable()
        selected = [r for r in range(table.nRows)
                    if self.has_state(table.getAccessibleAt(r, 0), self.atspi.STATE_SELECTED)]
        return selected[0] if len(selected) == 1 else None

    def cell_rect(self, row, column):
        cell = self.table().queryTable().getAccessibleAt(row, column)
        e = cell.queryComponent().getExtents(self.atspi.DESKTOP_COORDS)
        return e.x, e.y, e.width, e.height

    def field_text(self, dialog, name=None):
        field = self.find(dialog, lambda a: a.getRoleName() == "text"
                          and (name is None or a.name == name))
        check(field is not None, f"no text field {name!r} in {dialog.name!r}")
        return field, field.queryText().getText(0, -1)

    # --- steps shared by the cases ------------------------------------------------------------

    def wait_rows(self, expected, what):
        """Waits until the list shows these rows (line no., code, instruction, parameters)."""
        try:
            self.wait(what, lambda: self.rows() == expected)
        except Failure as failure:
            raise Failure(f"{failure}\n  expected {expected!r}\n  shown    {self.rows()!r}")

    def wait_selected(self, row, what):
        self.wait(f"row {row + 1} to be the selected row {what}",
                  lambda: self.selected_row() == row)

    def select_row(self, row):
        x, y, w, h = self.cell_rect(row, 3)
        self.focus_main()
        self.click(x + w // 2, y + h // 2)
        self.wait_selected(row, "after a click on it")

    def double_click_row(self, row):
        """Double-clicks a row's Parameters cell until the instruction menu opens at the row."""
        x, y, w, h = self.cell_rect(row, 3)
        menu_x, menu_y, _, _ = self.cell_rect(row, 0)
        attempts = 3
        for attempt in range(1, attempts + 1):
            self.focus_main()
            self.click(x + w // 2, y + h // 2, repeat=2)
            try:
                # A stalled xdotool can space the two clicks wider than the double-click
                # interval; they are then two clicks, which only select the row, so trying
                # again is safe, and so is a click that closes a late menu unchosen.
                self.wait("the instruction menu after a double-click",
                          lambda: self.popup_at(menu_x, menu_y), timeout=15)
                return
            except Failure:
                if attempt == attempts:
                    raise
                print(f"  double-click {attempt} opened no menu; again")

    def choose_instruction(self, row, code):
        """With the instruction menu about to open at a row, picks an entry with the keys."""
        x, y, _, _ = self.cell_rect(row, 0)
        self.wait(f"the instruction menu at the top-left corner of row {row + 1}",
                  lambda: self.popup_at(x, y))
        # The menu holds the keyboard while it is open. The pointer rests in the Parameters
        # column, right of the menu, so no hovered entry competes with the arrow keys.
        self.screenshot(f"menu-{code}")
        self.keys(*(["Down"] * (INSTRUCTIONS.index(code) + 1)), "Return")
        self.wait("the instruction menu to close", lambda: self.popup_at(x, y) is None)

    def open_dialog(self, title):
        window = self.first_window(rf"^{re.escape(title)}$", f"the {title!r} window")
        dialog = self.wait(f"the {title!r} dialog on the accessibility bus",
                           lambda: self.dialog(title))
        self.focus(window, dialog)
        return window, dialog

    def type_into(self, dialog, text, field_name=None):
        field, _ = self.field_text(dialog, field_name)
        self.wait(f"the field {field.name!r} to have the keyboard focus",
                  lambda: self.has_state(field, self.atspi.STATE_FOCUSED))
        self.keys("ctrl+a")
        self.type_text(text)
        self.wait(f"{text!r} in the field {field.name!r}",
                  lambda: field.queryText().getText(0, -1) == text)

    def close_dialog_with_return(self, title):
        # A completion list open over a field would take the Return key for itself.
        self.wait("no popup over the dialog", lambda: not self.popups())
        self.keys("Return")
        self.wait(f"the {title!r} dialog to close",
                  lambda: not self.windows(rf"^{re.escape(title)}$")
                  and self.dialog(title) is None)

    def save(self):
        self.focus_main()
        self.keys("ctrl+s")

    def wait_file(self, path, expected):
        def content():
            try:
                with open(path, "rb") as f:
                    return f.read()
            except FileNotFoundError:
                return None
        try:
            self.wait(f"{path} to hold the saved program", lambda: content() == expected)
        except Failure as failure:
            raise Failure(f"{failure}\n  expected {expected!r}\n  on disk  {content()!r}")

    def wait_caption(self, caption):
        self.wait(f"the main window's caption {caption!r}",
                  lambda: self.run("xdotool", "getwindowname", str(self.main_window))
                 .stdout.strip() == caption)

    def program_file(self, name, content):
        path = os.path.join(self.files, name)
        with open(path, "wb") as f:
            f.write(content)
        return path


# --- the cases -----------------------------------------------------------------------------------

def case_new_program(s):
    """A fresh start shows a new program; a G line from the end row's menu is saved with Ctrl+S."""
    s.start_app()
    s.wait_caption(f"{APP_NAME} - [Program1]")
    s.wait_rows([("1", "", "", "")], "the new program's single end row")
    s.wait_selected(0, "of a new program")
    s.screenshot("new")

    # A double-click on the end row opens the instruction menu at that row.
    s.double_click_row(0)
    s.choose_instruction(0, "G")
    _, goto = s.open_dialog("Goto Command")
    s.wait_rows([("1", "G", "Go to", ""), ("2", "", "", "")],
                "the end row turned into a G row above a new end row")
    check(s.find(goto, lambda a: a.getRoleName() == "push button" and a.name == "Cancel"
                 and s.has_state(a, s.atspi.STATE_SHOWING)) is None,
          "the Goto dialog of a new line offers Cancel")
    s.type_into(goto, "-25000", "Move to position")
    s.screenshot("goto")
    s.close_dialog_with_return("Goto Command")
    s.wait_rows([("1", "G", "Go to", "-25000"), ("2", "", "", "")], "the new G line")

    # Ctrl+S on a program never saved asks for a name in the Save As dialog.
    s.save()
    _, save_as = s.open_dialog("Save As")
    s.wait("Save As to propose Program1.krp",
           lambda: s.field_text(save_as)[1] == "Program1.krp")
    target = os.path.join(s.files, "saved-new.krp")
    s.type_into(save_as, target)
    s.screenshot("save-as")
    s.close_dialog_with_return("Save As")
    s.wait_file(target, crlf("G-25000"))
    s.wait_caption(f"{APP_NAME} - [saved-new.krp]")


def case_insert(s):
    """Insert before line 2 puts the new line there and moves the J target with its line."""
    path = s.program_file("insert.krp", crlf("G100", "D500", "J1H,2", "j1"))
    s.start_app(path)
    s.wait_rows([("1", "G", "Go to", "100"), ("2", "D", "Delay", "500"),
                 ("3", "J", "Jump if", "1H,2"), ("4", "j", "Jump", "1"), ("5", "", "", "")],
                "the loaded program")
    s.select_row(1)
    s.focus_main()
    s.keys("Insert")
    s.choose_instruction(1, "A")
    s.open_dialog("Activate Command")
    s.wait_rows([("1", "G", "Go to", "100"), ("2", "A", "Activate", ""),
                 ("3", "D", "Delay", "500"), ("4", "J", "Jump if", "1H,3"),
                 ("5", "j", "Jump", "1"), ("6", "", "", "")],
                "a new A row at line 2, the jump to D500 following it to line 3")
    s.screenshot("activate")
    s.close_dialog_with_return("Activate Command")
    s.wait_rows([("1", "G", "Go to", "100"), ("2", "A", "Activate", "1"),
                 ("3", "D", "Delay", "500"), ("4", "J", "Jump if", "1H,3"),
                 ("5", "j", "Jump", "1"), ("6", "", "", "")], "the inserted A1 line")
    s.wait_selected(1, "after the insertion")
    s.save()
    s.wait_file(path, crlf("G100", "A1", "D500", "J1H,3", "j1"))


def case_delete_refused(s):
    """Delete of a jump's target is refused with its message; another line can go."""
    original = crlf("G100", "D500", "G200", "j3")
    path = s.program_file("delete.krp", original)
    s.start_app(path)
    loaded = [("1", "G", "Go to", "100"), ("2", "D", "Delay", "500"),
              ("3", "G", "Go to", "200"), ("4", "j", "Jump", "3"), ("5", "", "", "")]
    s.wait_rows(loaded, "the loaded program")

    s.select_row(2)
    s.focus_main()
    s.keys("Delete")
    box_window = s.first_window(rf"^{APP_NAME}$", "the message box")
    box = s.wait("the refusal message on the accessibility bus", lambda: s.dialog(REFUSED))
    check(s.find(box, lambda a: a.getRoleName() == "label" and a.name == REFUSED) is not None,
          "the message box does not show the refusal text")
    s.screenshot("refused")
    s.focus(box_window, box)
    s.keys("Return")
    s.wait("the message box to close",
           lambda: not s.windows(rf"^{APP_NAME}$") and s.dialog(REFUSED) is None)
    s.wait_rows(loaded, "the rows after the refused delete")
    s.wait_selected(2, "after the refused delete")
    s.wait_caption(f"{APP_NAME} - [delete.krp]")

    # Line 2 is no jump's target: it goes, and the jump to G200 follows it to line 2.
    s.select_row(1)
    s.focus_main()
    s.keys("Delete")
    s.wait_rows([("1", "G", "Go to", "100"), ("2", "G", "Go to", "200"),
                 ("3", "j", "Jump", "2"), ("4", "", "", "")], "the rows after deleting line 2")
    s.wait_selected(1, "after the delete")
    with open(path, "rb") as f:
        expect_equal(f.read(), original, "the file before saving")
    s.save()
    s.wait_file(path, crlf("G100", "G200", "j2"))


def case_comment(s):
    """Space on an instruction row adds a comment above it; on the end row it adds one there."""
    path = s.program_file("comment.krp", crlf("G100", "j1"))
    s.start_app(path)
    s.wait_rows([("1", "G", "Go to", "100"), ("2", "j", "Jump", "1"), ("3", "", "", "")],
                "the loaded program")

    s.select_row(0)
    s.focus_main()
    s.keys("space")
    _, comment = s.open_dialog("Comment")
    s.wait_rows([("1", "", "", ""), ("2", "G", "Go to", "100"), ("3", "j", "Jump", "2"),
                 ("4", "", "", "")], "an empty comment row above G100, the jump following G100")
    s.type_into(comment, "home first", "Comment")
    s.screenshot("comment")
    s.close_dialog_with_return("Comment")
    s.wait_rows([("1", "", "", "home first"), ("2", "G", "Go to", "100"),
                 ("3", "j", "Jump", "2"), ("4", "", "", "")], "the comment row")
    s.wait_selected(0, "after adding the comment")

    s.select_row(3)
    s.focus_main()
    s.keys("space")
    _, comment = s.open_dialog("Comment")
    s.wait_rows([("1", "", "", "home first"), ("2", "G", "Go to", "100"),
                 ("3", "j", "Jump", "2"), ("4", "", "", ""), ("5", "", "", "")],
                "the end row taken for the comment, a new end row below it")
    s.type_into(comment, "end", "Comment")
    s.close_dialog_with_return("Comment")
    s.wait_rows([("1", "", "", "home first"), ("2", "G", "Go to", "100"),
                 ("3", "j", "Jump", "2"), ("4", "", "", "end"), ("5", "", "", "")],
                "the comment on the former end row")
    s.save()
    s.wait_file(path, crlf("* home first", "G100", "j2", "* end"))


CASES = {
    "new_program": case_new_program,
    "insert": case_insert,
    "delete_refused": case_delete_refused,
    "comment": case_comment,
}


def missing_tools():
    missing = [tool for tool in ("Xvfb", "xdotool", "xwininfo", "dbus-daemon", "import")
               if shutil.which(tool) is None]
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        missing.append("python3-pyatspi")
    return missing


def run_case(name, kr44, shots):
    session = Session(kr44, shots, name)
    started = time.monotonic()
    ok = False
    try:
        session.start_display()
        CASES[name](session)
        ok = True
    except Failure as failure:
        print(f"FAIL {name}: {failure}")
    except Exception:
        print(f"FAIL {name}: unexpected error")
        traceback.print_exc(file=sys.stdout)
    finally:
        if not ok and session.env:
            try:
                session.failure_screenshot()
            except Exception:
                pass
        session.stop(keep=not ok)
    print(f"{'PASS' if ok else 'FAIL'} {name} ({time.monotonic() - started:.1f} s)")
    return ok


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--kr44", required=True, help="the kr44 executable")
    parser.add_argument("--case", choices=sorted(CASES), help="run only this case")
    parser.add_argument("--shots", help="folder for a screenshot of each step")
    args = parser.parse_args()

    missing = missing_tools()
    if missing:
        print(f"SKIP: missing {', '.join(missing)} (scripts/setup.sh installs them)")
        return SKIP
    kr44 = os.path.abspath(args.kr44)
    if args.case:
        return 0 if run_case(args.case, kr44, args.shots) else 1
    # Each case in a process of its own: the accessibility library binds to one session bus.
    failed = []
    for name in CASES:
        command = [sys.executable, os.path.abspath(__file__), "--kr44", kr44, "--case", name]
        if args.shots:
            command += ["--shots", args.shots]
        if subprocess.run(command).returncode != 0:
            failed.append(name)
    print(f"{len(CASES) - len(failed)} of {len(CASES)} cases passed"
          + (f"; failed: {', '.join(failed)}" if failed else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""The main window used from outside through the accessibility bus (AT-SPI), as a screen reader
and a person at the keyboard use it: the tool runs on an X display, a session bus and an
accessibility bus of this test's own, against a simulated controller on a pseudo-terminal.
Keys and clicks are real input events (XTest, sent through the bus's device controller); what
the window shows is read from the X server's screen.

usage: test_atspi.py ZENTOR DEVSIM
"""
import ctypes
import http.server
import importlib.util
import mmap
import os
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time

LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
REGISTRY = "/usr/libexec/at-spi2-registryd"
PASSWORD = "1234"
# The news page: too deeply built to be shown but as text, which the action log says.
NEWS_PAGE = ("<div>" * 20 + "Новости" + "</div>" * 20).encode()
NEWS_LINE = "<< Страница новостей слишком сложна: показан только её текст"


class Failure(Exception):
    pass


def missing_prerequisites(zentor, devsim):
    problems = []
    for tool, package in (("Xvfb", "xvfb"), ("dbus-run-session", "dbus")):
        if not shutil.which(tool):
            problems.append("%s is missing (Debian package %s)" % (tool, package))
    for path in (LAUNCHER, REGISTRY):
        if not os.access(path, os.X_OK):
            problems.append("%s is missing (Debian package at-spi2-core)" % path)
    if importlib.util.find_spec("pyatspi") is None:
        problems.append("the Python module pyatspi is missing (Debian package python3-pyatspi)")
    else:
        import gi
        try:
            gi.require_version("Atspi", "2.0")
        except ValueError:
            problems.append("the Atspi typelib is missing (Debian package gir1.2-atspi-2.0)")
    for path in (zentor, devsim):
        if not os.access(path, os.X_OK):
            problems.append("%s is not built" % path)
    return problems


def kill_group(proc):
    """Ends a process started in a session of its own, and whatever it started there."""
    try:
        os.killpg(proc.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    proc.wait()


def reap_descendants(timeout):
    """The buses' helpers outlive the bus that started them and come to this process (a child
    subreaper): they are waited for, and ended when they do not end by themselves."""
    end = time.monotonic() + timeout
    while True:
        try:
            pid, _ = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return
        if pid:
            continue
        if time.monotonic() > end:
            for entry in os.listdir("/proc"):
                try:
                    stat = open("/proc/%s/stat" % entry).read()
                except (OSError, ValueError):
                    continue
                if int(stat.rsplit(")", 1)[1].split()[1]) == os.getpid():
                    os.kill(int(entry), signal.SIGKILL)
        time.sleep(0.05)


def start_display(tmp):
    """Xvfb on a display number it finds free itself; its screen is kept in a file in tmp."""
    rd, wr = os.pipe()
    log = open(os.path.join(tmp, "xvfb.log"), "wb")
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(wr), "-screen", "0", "1280x1024x24",
                             "-nolisten", "tcp", "-fbdir", tmp],
                            pass_fds=(wr,), stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                            start_new_session=True)
    os.close(wr)
    number = b""
    end = time.monotonic() + 30
    while not number.endswith(b"\n"):
        left = end - time.monotonic()
        if left <= 0 or not select.select([rd], [], [], left)[0]:
            break
        chunk = os.read(rd, 16)
        if not chunk:
            break
        number += chunk
    os.close(rd)
    if not number.strip().isdigit():
        kill_group(xvfb)
        raise Failure("Xvfb did not start: " + open(os.path.join(tmp, "xvfb.log"), errors="replace").read())
    return xvfb, ":" + number.strip().decode()


def outer(zentor, devsim):
    problems = missing_prerequisites(zentor, devsim)
    if problems:
        print("test_atspi: cannot run (scripts/setup installs what is missing):\n  " + "\n  ".join(problems))
        return 1
    PR_SET_CHILD_SUBREAPER = 36
    ctypes.CDLL(None).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)
    tmp = tempfile.mkdtemp(prefix="zentor-atspi-")
    xvfb = inner = None
    try:
        xvfb, display = start_display(tmp)
        env = {k: v for k, v in os.environ.items()
               if k not in ("DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS", "WAYLAND_DISPLAY")}
        for sub in ("run", "home"):
            os.mkdir(os.path.join(tmp, sub), 0o700)
        env.update(DISPLAY=display, XDG_RUNTIME_DIR=os.path.join(tmp, "run"), HOME=os.path.join(tmp, "home"),
                   QT_QPA_PLATFORM="xcb")
        log = os.path.join(tmp, "session.log")
        with open(log, "wb") as out:
            inner = subprocess.Popen(["dbus-run-session", "--", sys.executable, os.path.abspath(__file__),
                                      "--inner", zentor, devsim, tmp],
                                     env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                                     start_new_session=True)
        try:
            rc = inner.wait(timeout=240)
        except subprocess.TimeoutExpired:
            rc = None
        # What the test, the buses and the tool said.
        print(open(log, errors="replace").read() if rc != 0 else "test_atspi: passed")
        if rc is None:
            print("test_atspi: FAIL: no result within 240 s")
        return 0 if rc == 0 else 1
    except Failure as e:
        print("test_atspi: FAIL: %s" % e)
        return 1
    finally:
        if inner:
            kill_group(inner)
        if xvfb:
            kill_group(xvfb)
        reap_descendants(10)
        shutil.rmtree(tmp, ignore_errors=True)


# ---- inside the test's own session bus --------------------------------------------------------

class NewsPage(http.server.BaseHTTPRequestHandler):
    # Held back until the empty action log has been read (its only line comes with the page).
    release = threading.Event()

    def do_GET(self):
        NewsPage.release.wait(60)
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(NEWS_PAGE)))
        self.end_headers()
        self.wfile.write(NEWS_PAGE)

    def log_message(self, *args):
        pass


class Screen:
    """The X server's screen, read from the file Xvfb keeps it in (an XWD image)."""

    def __init__(self, path):
        self.file = open(path, "rb")
        self.map = mmap.mmap(self.file.fileno(), 0, access=mmap.ACCESS_READ)
        h = struct.unpack(">25I", self.map[:100])
        self.bpp, self.bpl, self.width, self.height = h[11] // 8, h[12], h[4], h[5]
        self.offset = h[0] + h[19] * 12

    def grab(self, rect):
        x, y, w, h = rect
        x0, x1 = max(x, 0), min(x + w, self.width)
        rows = []
        for row in range(max(y, 0), min(y + h, self.height)):
            start = self.offset + row * self.bpl
            rows.append(self.map[start + x0 * self.bpp:start + x1 * self.bpp])
        return b"".join(rows)


def inner(zentor, devsim, tmp):
    import pyatspi
    from gi.repository import Atspi, GLib

    failures = []
    procs = []

    def expect(ok, what):
        if not ok:
            failures.append(what)
            print("FAIL: " + what, flush=True)

    def pump():
        ctx = GLib.MainContext.default()
        while ctx.iteration(False):
            pass

    def wait_for(what, pred, timeout=60.0):
        end = time.monotonic() + timeout
        while True:
            pump()
            try:
                value = pred()
            except GLib.GError:
                value = None
            if value:
                return value
            if time.monotonic() > end:
                raise Failure("no %s within %d s" % (what, timeout))
            time.sleep(0.05)

    def states(acc):
        return {pyatspi.stateToString(s) for s in acc.getState().getStates()}

    def ident(acc):
        return (acc.getRoleName(), acc.description, acc.name)

    def rect(acc):
        e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return (e.x, e.y, e.width, e.height)

    def act(acc, name):
        a = acc.queryAction()
        names = [a.getName(i) for i in range(a.nActions)]
        if name not in names:
            raise Failure("%s offers no %s (only %s)" % (ident(acc), name, names))
        a.doAction(names.index(name))

    def children(acc, role=None):
        kids = [acc.getChildAtIndex(i) for i in range(acc.childCount)]
        return [k for k in kids if k is not None and (role is None or k.getRole() == role)]

    def walk(root):
        """Every control under root (a combo box's list and a table's cells are not walked)."""
        stack, out = [root], []
        while stack:
            acc = stack.pop()
            out.append(acc)
            if acc.getRole() not in (pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TABLE):
                stack.extend(children(acc))
        return out

    def key(sym):
        pyatspi.Registry.generateKeyboardEvent(sym, None, pyatspi.KEY_SYM)

    def check_control(acc, role, name, description):
        expect(acc.getRoleName() == role, "%s: role %r, not %r" % (description, acc.getRoleName(), role))
        expect(acc.name == name, "%s: name %r, not %r" % (description, acc.name, name))
        expect(acc.description == description, "%s: description %r" % (description, acc.description))

    def toggles(acc, what):
        """Toggle through the bus: the one state read back and what the screen shows both change."""
        was = "checked" in states(acc)
        before = screen.grab(rect(acc))
        act(acc, "Toggle")
        wait_for(what + " toggled", lambda: ("checked" in states(acc)) != was, 10)
        wait_for(what + " repainted", lambda: screen.grab(rect(acc)) != before, 10)

    focused = []
    pyatspi.Registry.registerEventListener(
        lambda e: focused.append(e.source) if e.detail1 else None, "object:state-changed:focused")

    try:
        tty = os.path.join(tmp, "tty")
        log = open(os.path.join(tmp, "processes.log"), "wb")
        procs.append(subprocess.Popen([devsim, "--link", tty, "--admin", PASSWORD, "--manager", "1111"],
                                      stdin=subprocess.DEVNULL, stdout=log, stderr=log))
        wait_for("port of the simulated controller", lambda: os.path.exists(tty), 30)
        news = http.server.HTTPServer(("127.0.0.1", 0), NewsPage)
        threading.Thread(target=news.serve_forever, daemon=True).start()
        env = dict(os.environ, ZENTOR_PORTS=tty + "=STMicroelectronics Virtual COM Port (test)",
                   ZENTOR_ONLINE="0", ZENTOR_NEWS_URL="http://127.0.0.1:%d/news" % news.server_port,
                   AppData=os.path.join(tmp, "appdata"),
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
        procs.append(subprocess.Popen([zentor], env=env, cwd=tmp, stdin=subprocess.DEVNULL, stdout=log, stderr=log))
        screen = Screen(os.path.join(tmp, "Xvfb_screen0"))

        def the_tool():
            for app in pyatspi.Registry.getDesktop(0):
                if app is not None and app.name == "zentor" and app.childCount > 0:
                    return app
        app = wait_for("tool on the accessibility bus", the_tool)
        app.set_cache_mask(Atspi.Cache.NONE)  # every answer below is asked of the tool afresh
        controls = {}
        for acc in walk(app):
            controls.setdefault(acc.description, acc)
        c = controls.__getitem__
        frame = c("Form1")
        expect(frame.getRoleName() == "frame", "the window's role is %r" % frame.getRoleName())

        # The action log, empty until the news page comes: a screen reader's every question of
        # it is answered, with nothing, and the tool goes on.
        text = c("MiniLOG").queryText()
        x, y, w, h = rect(c("MiniLOG"))
        try:
            answers = {"%s %s at %d" % (ask.__name__, boundary, offset): ask(offset, boundary)[0]
                       for ask in (text.getTextAtOffset, text.getTextBeforeOffset, text.getTextAfterOffset)
                       for boundary in (getattr(pyatspi, "TEXT_BOUNDARY_" + b) for b in (
                           "CHAR", "WORD_START", "WORD_END", "SENTENCE_START", "SENTENCE_END", "LINE_START", "LINE_END"))
                       for offset in (-1, 0, 1)}
            text.setCaretOffset(0)
            answers.update(text=text.getText(0, -1), character=text.getCharacterAtOffset(0),
                           characters=text.characterCount, caret=text.caretOffset, selections=text.getNSelections(),
                           selection=sum(text.getSelection(0)),
                           place=text.getCharacterExtents(0, pyatspi.DESKTOP_COORDS)[2],
                           at_point=text.getOffsetAtPoint(x + w // 2, y + h // 2, pyatspi.DESKTOP_COORDS))
        except GLib.GError as e:
            raise Failure("the tool ended (%r) on a question of the empty action log: %s" % (procs[1].poll(), e))
        expect(not any(answers.values()), "the empty action log answers %r" % {k: v for k, v in answers.items() if v})
        NewsPage.release.set()

        # The device asks for its password; a click makes the window active, and the field
        # that waits for the password is reported focused over the bus.
        wait_for("password page", lambda: "showing" in states(c("PassEdit")))
        x, y, w, h = rect(c("Label20"))
        pyatspi.Registry.generateMouseEvent(x + w // 2, y + h // 2, "b1c")
        wait_for("active window", lambda: "active" in states(frame), 30)
        wait_for("focus on the password field, reported over the bus",
                 lambda: "focused" in states(c("PassEdit")) and any(ident(f) == ident(c("PassEdit")) for f in focused))
        check_control(c("PassEdit"), "password text", "", "PassEdit")
        for ch in PASSWORD:
            key(ord(ch))
        key(0xff0d)  # Return
        wait_for("access granted", lambda: "sensitive" in states(c("Bsetting")))
        expect(not any(PASSWORD in (acc.name or "") for acc in walk(c("MESPANEL"))), "the password is read out")

        # The action log read as a screen reader reads it: its text counted in characters, and
        # its last row (the line wraps) read by line.
        log = c("MiniLOG")
        check_control(log, "text", "", "MiniLOG")
        text = log.queryText()
        wait_for("the news line in the action log", lambda: text.characterCount == len(NEWS_LINE), 30)
        expect(text.getText(0, -1) == NEWS_LINE, "the action log reads %r" % text.getText(0, -1))
        row, start, end = text.getTextAtOffset(len(NEWS_LINE) - 1, pyatspi.TEXT_BOUNDARY_LINE_START)
        expect(0 < start < end == len(NEWS_LINE) and NEWS_LINE[start:] == row, "its last row %r" % [row, start, end])

        # A push button: pressed through the bus, it opens its page.
        check_control(c("Bsetting"), "push button", "Настройки", "Bsetting")
        before = screen.grab(rect(frame))
        act(c("Bsetting"), "Press")
        wait_for("settings page", lambda: "showing" in states(c("ConfPages")))
        wait_for("settings page on the screen", lambda: screen.grab(rect(frame)) != before, 10)

        # The tab strip: its tabs, one selected; a tab pressed through the bus turns the page.
        strip = c("ConfPages")
        check_control(strip, "page tab list", "", "ConfPages")
        tabs = children(strip, pyatspi.ROLE_PAGE_TAB)
        expect([t.name for t in tabs] == ["Основные параметры", "Входы/Выходы", "Доп. оборудование"],
               "tabs %r" % [t.name for t in tabs])
        expect(["selected" in states(t) for t in tabs].count(True) == 1, "not one tab selected")

        def turn_to(index, page):
            before = screen.grab(rect(strip))
            act(tabs[index], "Press")
            wait_for("tab %d selected" % index, lambda: "selected" in states(tabs[index]), 10)
            wait_for(page + " showing", lambda: "showing" in states(c(page)), 10)
            wait_for("tab %d on the screen" % index, lambda: screen.grab(rect(strip)) != before, 10)

        # The styled check box (a weekday of the output period) and the styled radio button
        # (the photograph's size).
        turn_to(1, "ConfSheetInOut")
        days = children(c("ACTOUTDAYS"), pyatspi.ROLE_CHECK_BOX)
        expect([d.name for d in days] == ["Пн.", "Вт.", "Ср.", "Чт.", "Пт.", "Сб.", "Вс."],
               "weekdays %r" % [d.name for d in days])
        toggles(days[0], "Monday of ACTOUTDAYS")
        turn_to(2, "ConfSheetExtra")
        sizes = children(c("IMGREZ"), pyatspi.ROLE_RADIO_BUTTON)
        expect([s.name for s in sizes] == ["160x120", "320x240", "640x480"], "sizes %r" % [s.name for s in sizes])
        was = [s for s in sizes if "checked" in states(s)]
        new = [s for s in sizes if "checked" not in states(s)][0]
        toggles(new, "radio button " + new.name)
        expect(["checked" in states(s) for s in sizes].count(True) == 1 and not any(
            "checked" in states(s) for s in was), "radio buttons checked: %r" % [states(s) for s in sizes])
        turn_to(0, "ConfSheetMain")

        # A check box of the system's, a combo box, an edit, a label and a group box.
        check_control(c("CON_EN1"), "check box", "Использовать облачный сервис", "CON_EN1")
        toggles(c("CON_EN1"), "CON_EN1")
        combo = c("FromAllShedule")
        check_control(combo, "combo box", combo.name, "FromAllShedule")
        expect(combo.name in [i.name for i in children(children(combo)[0])], "combo box name %r" % combo.name)
        edit = c("BalanceGetNumber")
        check_control(edit, "text", edit.queryText().getText(0, -1), "BalanceGetNumber")
        check_control(c("FromAllSheduleCaption"), "label", "Расписание для всех номеров:", "FromAllSheduleCaption")
        check_control(c("AGROUP"), "panel", "Доступ", "AGROUP")

        # Tab, pressed on the keyboard, walks the page once round: each control it reaches is
        # reported focused over the bus and shows its focus on the screen.
        page = [a for a in walk(frame) if {"showing", "focusable"} <= states(a)]
        places = {ident(a)[:2] + (rect(a),): a for a in page}
        seen, kinds, last = [], set(), None
        while True:
            looks = {k: screen.grab(k[2]) for k in places}
            focused.clear()
            key(0xff09)  # Tab

            def moved():
                news = [p for p in (ident(f)[:2] + (rect(f),) for f in focused) if p != last]
                return news[-1:]
            place = wait_for("focus moved by Tab, reported over the bus", moved, 10)[0]
            expect(place in places, "Tab reached %r, not a shown control" % (place,))
            if place in seen or place not in places:
                break
            seen.append(place)
            kinds.add(place[0])
            last = place
            expect("focused" in states(places[place]), "%r not focused" % (place,))
            try:
                wait_for("focus of %r on the screen" % (place,), lambda: screen.grab(place[2]) != looks[place], 10)
            except Failure as e:
                expect(False, str(e))
        names = [p[1] for p in seen]
        expect({"CON_EN1", "NTPEN", "UseGNSSTime", "FromAllShedule", "RingCountLimit"} <= set(names),
               "Tab walked %r" % names)
        expect({"check box", "combo box", "text", "push button", "page tab list"} <= kinds, "Tab reached %r" % kinds)

        # The number grid: a table whose header cells read as the columns' captions.
        act(c("Busers"), "Press")
        grid = c("PhonesGrid")
        wait_for("number page", lambda: "showing" in states(grid))
        check_control(grid, "table", grid.name, "PhonesGrid")
        table = grid.queryTable()
        heads = [table.getAccessibleAt(0, col).name for col in range(8)]
        expect(heads == ["№", "Номер", "Наименование", "Права", "Действует до", "Проходов", "Расписание",
                         "Тип записи"], "grid header %r" % heads)

        # The language switched by a click on its icon, then a logout's SIGTERM: the window
        # closes as any close does, the tool ends well and the switch is in its settings.
        x, y, w, h = rect(c("LangImage"))
        pyatspi.Registry.generateMouseEvent(x + w // 2, y + h // 2, "b1c")
        wait_for("the English title", lambda: (c("FormCaption").name or "").startswith("Configurator"), 10)
        tool = procs[1]
        tool.send_signal(signal.SIGTERM)
        try:
            rc = tool.wait(timeout=30)
        except subprocess.TimeoutExpired:
            rc = None
        expect(rc == 0, "the tool ended with %r after SIGTERM" % rc)
        path = os.path.join(tmp, "appdata", "TALIVEX", "TALIVEX Zentor", "config.ini")
        settings = open(path, errors="replace").read() if os.path.exists(path) else ""
        expect("Language=english" in settings, "settings after SIGTERM: %r" % settings)
    except Failure as e:
        failures.append(str(e))
        print("FAIL: %s" % e, flush=True)
    finally:
        for p in procs:
            p.terminate()
        for p in procs:
            try:
                p.wait(timeout=10)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()
    if failures:
        log = os.path.join(tmp, "processes.log")
        if os.path.exists(log):
            print("---- the tool and the simulated controller said ----")
            print(open(log, errors="replace").read()[-4000:])
        return 1
    return 0


if __name__ == "__main__":
    if len(sys.argv) == 5 and sys.argv[1] == "--inner":
        sys.exit(inner(*sys.argv[2:]))
    if len(sys.argv) != 3:
        print(__doc__)
        sys.exit(2)
    sys.exit(outer(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])))

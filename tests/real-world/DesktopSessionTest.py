#!/usr/bin/env python3
"""Works the built program from the keyboard in a real X server and checks the files it writes, byte for byte.

Runs under xvfb-run. The program lists the logs of its own folder, so it is copied into a temporary folder
beside a log; xdotool sends real key presses through the X server, and xclip holds the clipboard that
Ctrl+V pastes from. Only the files written tell whether every key did what it should.

    DesktopSessionTest.py --program PATH [--window-screenshot PNG --logs LOG...]

With --window-screenshot it only makes the README's picture of the main window, with the first log loaded
and keywords and colours filled in. PARLOWEN_TRACE_SCREENS=1 keeps a screenshot after every key sent.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

from RealWorld import Checks, EndGroup, LogBytes, RunBounded, Sjis, Tail, WaitFor

UsersLocale = {"LANG": "ja_JP.UTF-8", "LC_ALL": "ja_JP.UTF-8"}
MainTitle = "チャットログ編集ツールParlowen"
PaletteTitle = "Form2"
DesktopEntry = "org.parlowen.Parlowen.desktop"
PaletteCells = 216

Log = [
    "【入室】たろうさんが入室しました。",
    "たろう> こんにちは & はじめまして。表示ソフトの話です",
    "  はなこ> 花見の場所は上野公園にしましょう",
    "----",
    "はなこ> 花見の場合、<b>雨</b>なら中止",
    "",
    "じろう> 1 < 2 は正しい",
    "【退室】じろうさんが退室しました。",
]

# The clipboard texts pasted with Ctrl+V. Only the first ten characters of the long one reach the box,
# "はなこ> 花見の場所": one more would no longer begin the first line of はなこ, one fewer would begin
# the second one too.
EntryKeyword = "【入室】"
FirstSpeaker = "たろう"
LongSpeaker = "はなこ> 花見の場所について長い相談です"
ThirdSpeaker = "じろう"

# After the first load (blank lines dropped, separators kept as they are), with emphasis on: the entry line
# in bold in cell 81's blue, the page in cell 9's pale yellow, たろう in cell 61's red, the ten-character
# はなこ keyword in cell 140's dark blue, and じろう in the speaker default, which the page writes as "#000".
ExpectedPage = [
    "<html>",
    "<head>",
    '<meta http-equiv="Content-Type"content="text/html; charset=x-sjis">',
    '<meta name="GENERATOR" content="プログラム名　チャットログ編集ツール Parlowen Pro">',
    "<title>chat.html</title>",
    "</head>",
    '<body bgcolor="#FFFF99">',
    "【退室】じろうさんが退室しました。<br>",
    '<font color="#000">じろう> 1 &lt; 2 は正しい</font><br>',
    "はなこ> 花見の場合、&lt;b>雨&lt;/b>なら中止<br>",
    "----<br>",
    '<font color="#003366">はなこ> 花見の場所は上野公園にしましょう</font><br>',
    '<font color="#FF0000">たろう> こんにちは &amp; はじめまして。表示ソフトの話です</font><br>',
    '<font color="#0000FF"><strong>【入室】たろうさんが入室しました。</strong></font><br>',
    "",
    "</body></html>",
]

# After the second load (blank lines kept, separators emptied), the log rewritten with its lines reversed,
# leading spaces gone, and one more line end at the end.
ExpectedConverted = [
    "【退室】じろうさんが退室しました。",
    "じろう> 1 < 2 は正しい",
    "",
    "はなこ> 花見の場合、<b>雨</b>なら中止",
    "",
    "はなこ> 花見の場所は上野公園にしましょう",
    "たろう> こんにちは & はじめまして。表示ソフトの話です",
    "【入室】たろうさんが入室しました。",
    "",
]

ShiftJisName = "会話ログ"  # named in Shift-JIS bytes, as a log copied from Windows is

Step = 20  # seconds allowed for any one thing to happen on the screen


class Failure(Exception):
    pass


class Desktop:
    """The X server, the running program and its windows, as xdotool and xclip see them."""

    def __init__(self, folder):
        self.folder = folder
        self.program = None
        self.clipboardOwners = []
        self.output = open(os.path.join(folder, "program-output.log"), "wb")
        self.steps = []  # what was sent, for the failure report
        # The palette opens on its first cell; hidden and shown again, it keeps the focus on the cell that
        # had it, as every window does.
        self.paletteCell = 0
        self.traceShots = os.environ.get("PARLOWEN_TRACE_SCREENS") == "1"

    def Tool(self, *arguments, timeout=Step):
        result = RunBounded(list(arguments), timeout)
        if result is None:
            raise Failure(f"{' '.join(arguments)} did not finish within {timeout} s")
        return result

    def Start(self, executable):
        # In the users' own locale, where fontconfig names the fonts in Japanese.
        self.program = subprocess.Popen([executable], cwd=self.folder, stdout=self.output, stderr=self.output,
                                        start_new_session=True, env=dict(os.environ, **UsersLocale))
        return self.WaitWindow(MainTitle)

    def Windows(self):
        """The visible windows of the program, by title."""
        if self.program.poll() is not None:
            raise Failure(f"the program ended with exit code {self.program.returncode}")
        found = self.Tool("xdotool", "search", "--onlyvisible", "--pid", str(self.program.pid))
        windows = {}
        for window in found.stdout.split():
            name = self.Tool("xdotool", "getwindowname", window.decode()).stdout.decode().strip()
            windows[name] = window.decode()
        return windows

    def WaitWindow(self, title):
        window = WaitFor(lambda: self.Windows().get(title), Step)
        if not window:
            raise Failure(f"no window {title!r} appeared within {Step} s; visible: {sorted(self.Windows())}")
        return window

    def WaitGone(self, title):
        if not WaitFor(lambda: title not in self.Windows(), Step):
            raise Failure(f"the window {title!r} was still there after {Step} s")

    def Focus(self, window):
        # Xvfb has no window manager, so the focus is given directly rather than through _NET_ACTIVE_WINDOW.
        self.Tool("xdotool", "windowfocus", "--sync", window)

    def Keys(self, *keys):
        self.Tool("xdotool", "key", "--delay", "20", *keys, timeout=Step + len(keys) * 0.1)
        self.steps.append(" ".join(keys) if len(set(keys)) > 1 else f"{keys[0]} x{len(keys)}")
        if self.traceShots:
            self.Screenshot(os.path.join(self.folder, f"step-{len(self.steps):03}.png"))

    def Press(self, key, times):
        self.Keys(*([key] * times))

    def InMain(self, *keys):
        self.Focus(self.WaitWindow(MainTitle))
        self.Keys(*keys)

    def Answer(self, title, key):
        """Answers the message box of that title, Return for OK and Escape for Cancel, and waits for it to go."""
        box = self.WaitWindow(title)
        self.Focus(box)
        self.Keys(key)
        self.WaitGone(title)

    def Palette(self):
        self.Focus(self.WaitWindow(PaletteTitle))

    def MoveInPalette(self, cell, key="Return"):
        """Moves to a cell with Return or Tab (forward) or their Shift forms (back), round the 216 cells."""
        backward = key.startswith("shift+")
        self.Press(key, (self.paletteCell - cell if backward else cell - self.paletteCell) % PaletteCells)
        self.paletteCell = cell

    def ChooseInPalette(self, cell, key="Return"):
        """Moves to the cell, presses Space and confirms with OK, after which the palette closes."""
        self.Palette()
        self.MoveInPalette(cell, key)
        self.Keys("space")
        self.Answer("Message:COLOR option", "Return")
        self.WaitGone(PaletteTitle)

    def SetClipboard(self, text):
        # xclip stays in the background to serve the text; it is ended with its process group at the end.
        owner = subprocess.Popen(["xclip", "-selection", "clipboard", "-t", "UTF8_STRING", "-i"],
                                 stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                 start_new_session=True)
        owner.communicate(text.encode("utf-8"), timeout=Step)
        self.clipboardOwners.append(owner)
        read = lambda: self.Tool("xclip", "-o", "-selection", "clipboard", "-t", "UTF8_STRING").stdout
        if not WaitFor(lambda: read() == text.encode("utf-8"), Step):
            raise Failure(f"the clipboard does not hold {text!r} but {read()!r}")

    def Paste(self, text):
        self.SetClipboard(text)
        self.InMain("ctrl+v")

    def Screenshot(self, png, window=None):
        """The screen, or only the window's area of it, as the X server shows it."""
        command = ["import", "-window", "root"]
        if window:
            geometry = self.Tool("xdotool", "getwindowgeometry", "--shell", window).stdout.decode()
            values = dict(line.split("=", 1) for line in geometry.split())
            command += ["-crop", f"{values['WIDTH']}x{values['HEIGHT']}+{values['X']}+{values['Y']}", "+repage"]
        self.Tool(*command, png)

    def Exit(self):
        """F12 in the main window; returns the exit code, or None if the program did not end."""
        self.InMain("F12")
        try:
            return self.program.wait(timeout=Step)
        except subprocess.TimeoutExpired:
            return None

    def Close(self):
        if self.program and self.program.poll() is None:
            EndGroup(self.program)
        # Each xclip left a child behind in its group to serve the clipboard.
        for owner in self.clipboardOwners:
            EndGroup(owner)
        self.output.close()


def Load(desktop, removeBlank, removeSeparators):
    """Enter in the log list loads the selected log after its two questions."""
    desktop.InMain("Return")
    desktop.Answer("Ask:Null Delete", "Return" if removeBlank else "Escape")
    desktop.Answer("Ask:Line Delete", "Return" if removeSeparators else "Escape")


def Session(desktop, checks, folder):
    log = os.path.join(folder, "chat.txt")
    page = os.path.join(folder, "chat.html")

    # The list starts with the focus on its only entry and nothing selected; Down selects it, loading nothing.
    desktop.InMain("Down")
    Load(desktop, removeBlank=True, removeSeparators=False)
    desktop.InMain("space", "Return")  # emphasis ticked; on to the entry keyword box
    desktop.Paste(EntryKeyword)
    desktop.InMain("Return", "Return")  # on to its colour button, which opens the palette
    desktop.Palette()
    desktop.MoveInPalette(61)
    desktop.Keys("space")
    desktop.Answer("Message:COLOR option", "Escape")  # Cancel stores nothing and keeps the palette open
    desktop.ChooseInPalette(81)  # blue, for the entry lines
    desktop.InMain("Tab", "Return")  # the page colour button
    desktop.ChooseInPalette(9, "shift+Tab")  # pale yellow
    desktop.InMain("Tab")  # the first speaker box

    desktop.Paste(FirstSpeaker)
    desktop.InMain("Return", "Return")  # its colour button, then the palette
    desktop.ChooseInPalette(61)  # red
    desktop.InMain("Tab")
    desktop.Paste(LongSpeaker)
    desktop.InMain("Return", "Return")
    desktop.ChooseInPalette(140)  # (0, 51, 102)
    desktop.InMain("Tab")
    desktop.Paste(ThirdSpeaker)
    # Its colour button is passed with Tab; the seven empty boxes after it lead to the check view, then
    # the convert button, then the export button, which Enter presses.
    desktop.InMain("Return", "Tab", *["Return"] * 7, "Return", "Tab", "Return")
    desktop.Answer("Message:HTML Change & Save", "Return")
    desktop.Answer("Complete Massage", "Return")

    if not checks.Check(os.path.exists(page), "the export wrote chat.html beside the log"):
        raise Failure("there is no page to go on with")
    with open(page, "rb") as file:
        checks.BytesEqual(file.read(), LogBytes(ExpectedPage), "chat.html holds the expected page")
    with open(log, "rb") as file:
        checks.BytesEqual(file.read(), LogBytes(Log), "the export left chat.txt as it was")

    # The export leaves the focus in the list, so the way to the convert button starts with a new load,
    # which empties the keyword boxes: from the emphasis box past the two colour buttons and the ten empty
    # boxes to the check view, then the convert button, which Enter presses.
    Load(desktop, removeBlank=False, removeSeparators=True)
    desktop.InMain("Return", "Return", "Tab", "Tab", *["Return"] * 10, "Return", "Return")
    desktop.Answer("Message:Log Change & Save", "Return")
    desktop.Answer("Complete Massage", "Return")
    with open(log, "rb") as file:
        checks.BytesEqual(file.read(), LogBytes(ExpectedConverted), "chat.txt holds the lines reversed")
    with open(page, "rb") as file:
        checks.BytesEqual(file.read(), LogBytes(ExpectedPage), "the conversion left chat.html as it was")

    checks.Equal(desktop.Exit(), 0, "F12 ends the program with exit code 0")
    checks.Equal(sorted(os.listdir(folder)), ["chat.html", "chat.txt", "parlowen", "program-output.log"],
                 "no other file was left in the folder")


def TiedToItsEntry(desktop, checks, window):
    """Docks and Alt+Tab find the window's desktop entry by its class, and draw the icon the window carries."""
    entry = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data", DesktopEntry)
    with open(entry, encoding="utf-8") as file:
        startupClass = [line.split("=", 1)[1].strip() for line in file if line.startswith("StartupWMClass=")]
    properties = desktop.Tool("xprop", "-id", window, "-notype", "WM_CLASS", "_NET_WM_ICON").stdout.decode()
    windowClass = [line for line in properties.splitlines() if line.startswith("WM_CLASS = ")]
    checks.Equal(windowClass, [f'WM_CLASS = "parlowen", "{startupClass[0] if startupClass else ""}"'],
                 "the entry's StartupWMClass is the window's class")
    checks.Check("_NET_WM_ICON = \tIcon (48 x 48)" in properties, "the window carries its icon",
                 properties[:300])


def ShiftJisNamedLog(desktop, checks, folder):
    """A log copied from Windows keeps its Shift-JIS name: it is listed, loads, and its page keeps the bytes."""
    TiedToItsEntry(desktop, checks, desktop.WaitWindow(MainTitle))
    desktop.InMain("Down")
    Load(desktop, removeBlank=True, removeSeparators=False)
    # From the emphasis box past the two colour buttons and the ten empty boxes to the check view, the
    # convert button, and the export button, which Enter presses.
    desktop.InMain("Return", "Return", "Tab", "Tab", *["Return"] * 10, "Return", "Tab", "Return")
    desktop.Answer("Message:HTML Change & Save", "Return")
    desktop.Answer("Complete Massage", "Return")
    page = os.path.join(os.fsencode(folder), Sjis(ShiftJisName) + b".html")
    if checks.Check(os.path.exists(page), "the page of the Shift-JIS named log has the same bytes with .html"):
        with open(page, "rb") as file:
            checks.Check(b"<title>" + Sjis(ShiftJisName) + b".html</title>" in file.read(),
                         "its title is the name in Shift-JIS")
    checks.Equal(desktop.Exit(), 0, "F12 ends the program with exit code 0")


def WindowPicture(desktop, png):
    """The main window with the first log loaded, keywords pasted and their colours previewed."""
    desktop.InMain("Down")
    Load(desktop, removeBlank=True, removeSeparators=True)
    desktop.InMain("space", "Return")
    desktop.Paste("【入室】")
    desktop.InMain("Return", "Return")
    desktop.ChooseInPalette(81)  # blue
    desktop.InMain("Tab", "Return")
    desktop.ChooseInPalette(2)  # pale yellow, for the page
    desktop.InMain("Tab")
    for speaker, cell in (("たろう", 61), ("はなこ", 81), ("じろう", 121)):  # red, blue, green
        desktop.Paste(speaker)
        desktop.InMain("Return", "Return")
        desktop.ChooseInPalette(cell)
        desktop.InMain("Tab")
    desktop.Screenshot(png, desktop.WaitWindow(MainTitle))
    desktop.Exit()


def RunInFolder(checks, program, logs, work):
    """Starts a copy of the program in a new folder holding the logs (name, bytes) and runs work(desktop,
    checks, folder); after a failure the folder is kept with a screenshot of that moment."""
    folder = tempfile.mkdtemp(prefix="parlowen-desktop-")
    desktop = Desktop(folder)
    kept = False
    try:
        shutil.copy2(program, os.path.join(folder, "parlowen"))
        for name, data in logs.items():
            with open(os.path.join(os.fsencode(folder), os.fsencode(name)), "wb") as file:
                file.write(data)
        started = time.monotonic()
        desktop.Start(os.path.join(folder, "parlowen"))
        work(desktop, checks, folder)
        print(f"  the session took {time.monotonic() - started:.1f} s")
    except Exception as failure:  # also an unexpected one, so that the screen at that moment is kept
        png = os.path.join(folder, "screen-at-failure.png")
        try:
            desktop.Screenshot(png)
        except Exception:
            pass
        checks.Check(False, "the session went through",
                     f"{failure}\nlast keys sent: {desktop.steps[-6:]}\nscreen and program output kept in {folder}")
        kept = True
    finally:
        desktop.Close()
        if not kept:
            shutil.rmtree(folder, ignore_errors=True)


def Main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--window-screenshot", metavar="PNG")
    parser.add_argument("--logs", nargs="+", default=[], help="the logs to show in the picture")
    arguments = parser.parse_args()

    checks = Checks("window picture" if arguments.window_screenshot else "desktop")
    if not os.environ.get("DISPLAY"):
        checks.Fatal("an X server to run in", "DISPLAY is not set; run this under xvfb-run")
    for tool in ("xdotool", "xclip", "import", "xprop"):
        if not shutil.which(tool):
            checks.Fatal(f"the program {tool} is installed",
                         "install it with: apt-get install xdotool xclip imagemagick x11-utils")
    locales = RunBounded(["locale", "-a"], Step)
    if locales is None or "ja_JP.utf8" not in locales.stdout.decode().split():
        checks.Fatal("the ja_JP.UTF-8 locale is generated", "generate it with scripts/setup")
    probe = RunBounded(["xdotool", "getdisplaygeometry"], Step)
    if probe is None or probe.returncode != 0:
        checks.Fatal(f"the X server on {os.environ['DISPLAY']} answers",
                     Tail(probe.stderr) if probe else "xdotool did not answer")

    if arguments.window_screenshot:
        def Picture(desktop, checks, folder):
            WindowPicture(desktop, arguments.window_screenshot)
            checks.Check(os.path.exists(arguments.window_screenshot),
                         f"the main window saved as {arguments.window_screenshot}")
        RunInFolder(checks, arguments.program, {os.path.basename(log): open(log, "rb").read()
                                                for log in arguments.logs}, Picture)
    else:
        RunInFolder(checks, arguments.program, {"chat.txt": LogBytes(Log)}, Session)
        RunInFolder(checks, arguments.program, {Sjis(ShiftJisName + ".txt"): LogBytes(Log)}, ShiftJisNamedLog)
    return checks.Summary()


if __name__ == "__main__":
    sys.exit(Main())

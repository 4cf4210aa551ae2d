#!/usr/bin/env python3
"""Opens pages written by the program's export in headless Chromium and checks what the browser made of them.

For each log below, PageMaker writes the page with the export the program uses; Chromium loads it from a
file (so nothing but the page itself tells it the encoding) and prints the document as it stands after
loading. The checks read that document: the title and the speakers' names decoded from Shift-JIS (or from
UTF-8, the page of a UTF-8 or UTF-16 log), the body
and font colours, the lines in reverse order with one line break each, and that no line of the log acted
as markup or ran as a script. A page written by the test without escaping shows that the same checks do
see a script that ran. One page is also rendered to a screenshot, whose pixels show the chosen colours.

    BrowserPageTest.py --page-maker PATH [--keep-screenshot PNG]
"""

import argparse
import html.parser
import os
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

from RealWorld import Checks, LogBytes, RunBounded, Sjis, Tail

Hacked = "hacked"

# Lines that would change the title or add an element if the browser took them as markup.
ScriptTitle = "<script>document.title='" + Hacked + "'</script>"
ImageTitle = "<img src=\"missing.png\" onerror=\"document.title='" + Hacked + "'\">"
ScriptElement = "<script>document.body.appendChild(document.createElement('iframe'))</script>"

# One page per case: the log's lines, the options as the main window would hold them, and the page the
# browser should show, line by line from the top, as (font colour or None, bold, text).
Cases = [
    {
        "title": "花見ログ",
        "log": [
            "【入室】たろうさんが入室しました。",
            "たろう> こんにちは＆はじめまして。表示ソフトの話です",
            "  はなこ> 上野公園 & 隅田川、どちらが良い？ 1 < 2 > 0",
            "じろう> " + ScriptTitle,
            "じろう> " + ImageTitle,
            ScriptElement,
            "<ゲスト> 通りすがりです <b>太字</b>",
            "",
            "髙橋> ①番の札、㈱ｶﾀｶﾅ商会",
            "さくら> 色を決めていない人",
            "【退室】たろうさんが退室しました。",
            "----",
        ],
        "options": ["--remove-blank", "--remove-separators", "--page", "204, 255, 255", "--emphasis",
                    "--entry", "【入室】", "00,00, 255",
                    "--speaker", "0", "たろう", "255,00,00",
                    "--speaker", "1", "はなこ", "00, 51, 102",
                    "--speaker", "2", "じろう", "00, 153,00",
                    "--speaker", "3", "<ゲスト>", "255, 204, 153",
                    "--speaker", "5", "髙橋", "153, 51,00",
                    "--speaker", "9", "さくら", "0,0,0"],
        "bgcolor": "#CCFFFF",
        "lines": [
            (None, False, "【退室】たろうさんが退室しました。"),
            ("#000", False, "さくら> 色を決めていない人"),
            ("#993300", False, "髙橋> ①番の札、㈱ｶﾀｶﾅ商会"),
            ("#FFCC99", False, "<ゲスト> 通りすがりです <b>太字</b>"),
            (None, False, ScriptElement),
            ("#009900", False, "じろう> " + ImageTitle),
            ("#009900", False, "じろう> " + ScriptTitle),
            ("#003366", False, "はなこ> 上野公園 & 隅田川、どちらが良い？ 1 < 2 > 0"),
            ("#FF0000", False, "たろう> こんにちは＆はじめまして。表示ソフトの話です"),
            ("#0000FF", True, "【入室】たろうさんが入室しました。"),
        ],
        "screenshot": True,
    },
    {
        # The defaults of a fresh load: white page, black bold entry lines, speakers in "#000". Blank lines
        # are kept and separators emptied, so both become lines holding only their line break.
        "title": "defaults",
        "log": ["入室：たろう", "たろう> やあ", "", "----", "   ", "  たろう> 字下げ", "-"],
        "options": ["--remove-separators", "--emphasis", "--entry", "入室：", "00,00,00",
                    "--speaker", "0", "たろう", "0,0,0"],
        "bgcolor": "#FFFFFF",
        "lines": [
            (None, False, ""),
            ("#000", False, "たろう> 字下げ"),
            (None, False, ""),
            (None, False, ""),
            (None, False, ""),
            ("#000", False, "たろう> やあ"),
            ("#000000", True, "入室：たろう"),
        ],
    },
    {
        # Without emphasis the entry keyword does nothing, and a speaker keyword colours such a line.
        "title": "no-emphasis",
        "log": ["【入室】たろう", "たろう> 二行目", "<script>", "&amp; stays as typed"],
        "options": ["--entry", "【入室】", "255,00,00", "--speaker", "4", "【入室】", "102, 51,00",
                    "--speaker", "7", "<script>", "00, 255,00"],
        "bgcolor": "#FFFFFF",
        "lines": [
            (None, False, "&amp; stays as typed"),
            ("#00FF00", False, "<script>"),
            (None, False, "たろう> 二行目"),
            ("#663300", False, "【入室】たろう"),
        ],
    },
    {
        # Logs in UTF-8 with its mark and in UTF-16: the page is UTF-8 and says so, so the browser shows the
        # Japanese text, a character Shift-JIS cannot hold, and the speakers in their colours.
        "title": "日記-utf8",
        "encoding": "utf-8-sig",
        "log": ["たろう> こんにちは", "  はなこ> やあ & <b>", "さくら> 絵文字😀です", "たろう> 元気？"],
        "options": ["--speaker", "0", "たろう", "255,00,00", "--speaker", "1", "はなこ", "00, 51, 102",
                    "--speaker", "2", "さくら", "00, 153,00"],
        "bgcolor": "#FFFFFF",
        "lines": [
            ("#FF0000", False, "たろう> 元気？"),
            ("#009900", False, "さくら> 絵文字😀です"),
            ("#003366", False, "はなこ> やあ & <b>"),
            ("#FF0000", False, "たろう> こんにちは"),
        ],
    },
    {
        "title": "会話-utf16",
        "encoding": "utf-16-le",
        "mark": b"\xff\xfe",
        "log": ["【入室】たろう", "たろう> こんにちは", "はなこ> ｶﾀｶﾅと漢字", "----"],
        "options": ["--remove-separators", "--remove-blank", "--emphasis", "--entry", "【入室】", "00,00, 255",
                    "--speaker", "0", "たろう", "255,00,00", "--speaker", "1", "はなこ", "00, 51, 102"],
        "bgcolor": "#FFFFFF",
        "lines": [
            ("#003366", False, "はなこ> ｶﾀｶﾅと漢字"),
            ("#FF0000", False, "たろう> こんにちは"),
            ("#0000FF", True, "【入室】たろう"),
        ],
    },
    {
        "title": "empty",
        "log": [],
        "options": ["--remove-blank", "--page", "00,00,00"],
        "bgcolor": "#000000",
        "lines": [],
    },
]

# Elements the export may write; anything else in a page came from a log line acting as markup.
PageElements = {"html", "head", "meta", "title", "body", "font", "strong", "br"}
VoidElements = {"meta", "br", "img", "input", "link", "hr", "area", "base", "col", "embed", "source", "wbr"}


class Element:
    def __init__(self, tag, attributes):
        self.tag = tag
        self.attributes = dict(attributes)
        self.children = []  # Elements and str

    def Text(self):
        return "".join(child if isinstance(child, str) else child.Text() for child in self.children)

    def Walk(self):
        yield self
        for child in self.children:
            if isinstance(child, Element):
                yield from child.Walk()

    def Find(self, tag):
        return next((element for element in self.Walk() if element.tag == tag), None)


class DomReader(html.parser.HTMLParser):
    """Builds a tree from Chromium's serialised document, which always closes what it opens."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.root = Element("#document", [])
        self.stack = [self.root]

    def handle_starttag(self, tag, attributes):
        element = Element(tag, attributes)
        self.stack[-1].children.append(element)
        if tag not in VoidElements:
            self.stack.append(element)

    def handle_endtag(self, tag):
        for depth in range(len(self.stack) - 1, 0, -1):
            if self.stack[depth].tag == tag:
                del self.stack[depth:]
                return

    def handle_data(self, data):
        self.stack[-1].children.append(data)


def ReadDom(text):
    reader = DomReader()
    reader.feed(text)
    reader.close()
    return reader.root


def PageLines(body):
    """The body's lines as (font colour or None, bold, text), split at the line breaks.

    Each line of the page is followed by <br> and a line end, which the browser keeps as a newline at the
    start of the next part; a part that is not a plain text, a font element around a text, or a font element
    around a bold text is returned as a description, so that it shows in the comparison."""
    parts = [[]]
    for child in body.children:
        if isinstance(child, Element) and child.tag == "br":
            parts.append([])
        else:
            parts[-1].append(child)
    tail = parts.pop()
    lines = []
    for part in parts:
        if part and isinstance(part[0], str) and part[0].startswith("\n"):
            part[0] = part[0][1:]
            if part[0] == "":
                part.pop(0)
        lines.append(DescribeLine(part))
    if any(not isinstance(child, str) or child.strip() for child in tail):
        lines.append(("after the last line break", DescribeNodes(tail)))
    return lines


def DescribeLine(part):
    if not part:
        return (None, False, "")
    if len(part) == 1 and isinstance(part[0], str):
        return (None, False, part[0])
    if len(part) == 1 and part[0].tag == "font" and set(part[0].attributes) == {"color"}:
        font = part[0]
        inner = font.children
        if len(inner) == 1 and isinstance(inner[0], str):
            return (font.attributes["color"], False, inner[0])
        if len(inner) == 1 and isinstance(inner[0], Element) and inner[0].tag == "strong" and \
                all(isinstance(node, str) for node in inner[0].children):
            return (font.attributes["color"], True, inner[0].Text())
    return ("unexpected line", DescribeNodes(part))


def DescribeNodes(nodes):
    return [node if isinstance(node, str) else f"<{node.tag} {node.attributes}>{DescribeNodes(node.children)}"
            for node in nodes]


def MarkupThatActed(document, title):
    """What a log line running as markup or script would leave: a changed title, elements the export never
    writes. Returns the findings, empty when there are none."""
    findings = []
    titleElement = document.Find("title")
    actualTitle = titleElement.Text() if titleElement else None
    if actualTitle != title:
        findings.append(f"the title is {actualTitle!r}")
    strangers = sorted({element.tag for element in document.Walk()} - PageElements - {"#document"})
    if strangers:
        findings.append("elements the export never writes: " + ", ".join(strangers))
    return findings


class Browser:
    Flags = ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
             "--disable-component-update", "--disable-sync", "--disable-quic", "--disable-dev-shm-usage",
             "--hide-scrollbars", "--force-device-scale-factor=1"]
    Timeout = 90

    def __init__(self, workFolder):
        self.workFolder = workFolder
        self.executable = shutil.which("chromium")
        self.runs = 0

    def Run(self, extraFlags, path):
        """Runs Chromium once on the page with a profile of its own; returns (stdout, problem)."""
        if not self.executable:
            return None, "the program 'chromium' is not on the PATH"
        problem = ""
        # Chromium is a large program on a shared two-core machine: a second try tells a start that stalled
        # from a page that really fails.
        for attempt in (1, 2):
            self.runs += 1
            profile = os.path.join(self.workFolder, f"profile-{self.runs}")
            url = "file://" + urllib.parse.quote(os.path.abspath(path))
            result = RunBounded([self.executable, *self.Flags, f"--user-data-dir={profile}", *extraFlags, url],
                                self.Timeout, cwd=self.workFolder)
            if result is None:
                problem = f"Chromium did not finish within {self.Timeout} s"
            elif result.returncode != 0:
                problem = f"Chromium exited with {result.returncode}:\n{Tail(result.stderr)}"
            else:
                return result.stdout, ""
            print(f"  note  try {attempt}: {problem.splitlines()[0]}")
        return None, problem

    def DumpDom(self, path):
        output, problem = self.Run(["--dump-dom"], path)
        return (output.decode("utf-8", errors="replace") if output is not None else None), problem

    def Screenshot(self, path, png, width, height):
        output, problem = self.Run([f"--screenshot={png}", f"--window-size={width},{height}"], path)
        if output is not None and not os.path.exists(png):
            return f"Chromium wrote no screenshot:\n{Tail(output)}"
        return problem


def Pixels(png):
    """The image as a list of rows of (red, green, blue), read through ImageMagick."""
    size = subprocess.run(["identify", "-format", "%w %h", png], capture_output=True, check=True).stdout.split()
    width, height = int(size[0]), int(size[1])
    raw = subprocess.run(["convert", png, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    return [[tuple(raw[(row * width + column) * 3:(row * width + column) * 3 + 3]) for column in range(width)]
            for row in range(height)]


def Rgb(htmlColour):
    digits = htmlColour.lstrip("#")
    if len(digits) == 3:
        digits = "".join(digit * 2 for digit in digits)
    return tuple(int(digits[index:index + 2], 16) for index in (0, 2, 4))


def CheckScreenshot(checks, browser, case, page, png):
    problem = browser.Screenshot(page, png, 640, 210)
    if problem:
        checks.Check(False, f"{case['title']}: Chromium takes a screenshot", problem)
        return
    pixels = Pixels(png)
    counts = {}
    for row in pixels:
        for pixel in row:
            counts[pixel] = counts.get(pixel, 0) + 1
    background = Rgb(case["bgcolor"])
    checks.Equal(pixels[2][2], background, f"{case['title']}: the screenshot's page background is {case['bgcolor']}")
    # Anti-aliasing blends the edges of the letters, but their strokes hold the text colour itself.
    for colour in sorted({colour for colour, _, _ in case["lines"] if colour}):
        found = counts.get(Rgb(colour), 0)
        checks.Check(found >= 10, f"{case['title']}: text in {colour} is painted in the screenshot",
                     f"{found} pixels of exactly that colour")


def CheckPage(checks, browser, pageMaker, folder, case, keepScreenshot):
    name = case["title"]
    log = os.path.join(folder, f"case-{Cases.index(case)}.txt")
    page = os.path.join(folder, f"case-{Cases.index(case)}.html")
    with open(log, "wb") as file:
        encoding = case.get("encoding")
        if encoding:
            file.write(case.get("mark", b"") + "".join(line + "\r\n" for line in case["log"]).encode(encoding))
        else:
            file.write(LogBytes(case["log"]))
    options = [Sjis(word) for word in case["options"]]
    made = subprocess.run([pageMaker, log, page, Sjis(name), *options], capture_output=True)
    if not checks.Check(made.returncode == 0 and os.path.exists(page), f"{name}: the export writes the page",
                        Tail(made.stderr)):
        return

    dom, problem = browser.DumpDom(page)
    if not checks.Check(dom is not None, f"{name}: Chromium loads the page", problem):
        return
    document = ReadDom(dom)
    title = document.Find("title")
    checks.Equal(title.Text() if title else None, name + ".html",
                 f"{name}: the title, read in the page's encoding, is the page's file name")
    checks.Check("\ufffd" not in dom, f"{name}: every byte decoded as {'UTF-8' if case.get('encoding') else 'Shift-JIS'}",
                 "U+FFFD in: " + next((line for line in dom.splitlines() if "\ufffd" in line), ""))
    declaration = next((element for element in document.Walk() if element.tag == "meta" and
                        element.attributes.get("http-equiv") == "Content-Type"), None)
    charset = "UTF-8" if case.get("encoding") else "x-sjis"
    checks.Equal(declaration.attributes.get("content") if declaration else None, f"text/html; charset={charset}",
                 f"{name}: the encoding declaration is read as one, though no space precedes its content")
    body = document.Find("body")
    if not checks.Check(body is not None, f"{name}: the page has a body"):
        return
    checks.Equal(body.attributes.get("bgcolor"), case["bgcolor"], f"{name}: the body's bgcolor")
    lines = PageLines(body)
    checks.Equal(len(lines), len(case["lines"]), f"{name}: one line break per written line")
    for number, (actual, expected) in enumerate(zip(lines, case["lines"]), 1):
        colour, bold, text = expected
        what = f"in {colour}" + (" bold" if bold else "") if colour else "plain"
        checks.Equal(actual, expected, f"{name}: line {number} from the top is {text[:24]!r}..., {what}")
    checks.Equal(MarkupThatActed(document, name + ".html"), [], f"{name}: no line of the log acted as markup")

    if case.get("screenshot"):
        png = os.path.join(folder, f"case-{Cases.index(case)}.png")
        CheckScreenshot(checks, browser, case, page, png)
        if keepScreenshot and os.path.exists(png):
            shutil.copyfile(png, keepScreenshot)
            print(f"  kept  the screenshot as {keepScreenshot}")


def CheckControlPage(checks, browser, folder):
    """The hostile lines written as they are: the browser must run them and the checks must see it, or the
    checks of the exported pages would prove nothing."""
    page = os.path.join(folder, "control.html")
    with open(page, "wb") as file:
        file.write(b"<html><head><title>control.html</title></head><body>\r\n" +
                   "<br>\r\n".join([ScriptTitle, ScriptElement, ImageTitle]).encode("ascii") +
                   b"<br>\r\n</body></html>\r\n")
    dom, problem = browser.DumpDom(page)
    if not checks.Check(dom is not None, "control: Chromium loads the page written without escaping", problem):
        return
    document = ReadDom(dom)
    findings = MarkupThatActed(document, "control.html")
    checks.Check(any(Hacked in finding for finding in findings) and any("iframe" in finding for finding in findings),
                 "control: scripts run in this browser and the checks notice them", findings)


def Main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--page-maker", required=True)
    parser.add_argument("--keep-screenshot")
    arguments = parser.parse_args()

    checks = Checks("browser")
    folder = tempfile.mkdtemp(prefix="parlowen-browser-")
    try:
        browser = Browser(folder)
        probe = os.path.join(folder, "probe.html")
        with open(probe, "w") as file:
            file.write("<title>probe</title>")
        dom, problem = browser.DumpDom(probe)
        if dom is None or "probe" not in dom:
            checks.Fatal("Chromium starts and loads a page",
                         (problem or dom or "") + "\nInstall it with: apt-get install chromium")
        print("Chromium:", subprocess.run([browser.executable, "--version"], capture_output=True,
                                          text=True).stdout.strip())
        CheckControlPage(checks, browser, folder)
        for case in Cases:
            CheckPage(checks, browser, arguments.page_maker, folder, case, arguments.keep_screenshot)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    return checks.Summary()


if __name__ == "__main__":
    sys.exit(Main())

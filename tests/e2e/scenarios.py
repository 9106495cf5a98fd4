"""End-to-end scenarios of the assistant's window: layout, texts, the clipboard lookup, the title
harvester and the ways the window ends. Run by ctest; see harness.py for running one by hand."""

import harness
from harness import ScenarioError, fresh_assistant, gbk, hexbytes

WS_CHILD, WS_VISIBLE, WS_DISABLED = 0x40000000, 0x10000000, 0x08000000
WS_CLIPSIBLINGS, WS_CLIPCHILDREN = 0x04000000, 0x02000000
WS_CAPTION, WS_BORDER, WS_SYSMENU, WS_THICKFRAME = 0x00C00000, 0x00800000, 0x00080000, 0x00040000
WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_TABSTOP = 0x00020000, 0x00010000, 0x00010000
WS_VSCROLL, WS_HSCROLL = 0x00200000, 0x00100000
WS_EX_TOPMOST, WS_EX_WINDOWEDGE, WS_EX_CLIENTEDGE = 0x00000008, 0x00000100, 0x00000200
ES_CENTER, ES_MULTILINE, ES_AUTOVSCROLL, ES_AUTOHSCROLL, ES_WANTRETURN = 0x1, 0x4, 0x40, 0x80, 0x1000
BS_TYPEMASK, BS_PUSHBUTTON, BS_CENTER, BS_VCENTER = 0xF, 0x0, 0x300, 0xC00
HTCLIENT = 1

USAGE_SENTENCE = gbk("本软件使用教程：复制部分题目文本显示答案，请不要复制与题目无关的内容，请不要复制备注。")
STACKING = ["标签2", "按钮1", "编辑框3", "编辑框2", "标签1"]


def bank_text(s):
    """The bank the program is built with, as compiled into the driver from the same source."""
    if not hasattr(s, "bank"):
        s.bank = s.driver("bank").text("bank")
    return s.bank


def bank_lines(s):
    return [line for line in bank_text(s).split(b"\r\n") if line]


def find_on_boundary(line, needle):
    """Whether needle occurs in line at a character start: a byte of 0x80 or above begins a
    double-byte character, so a match is never tried on a trail byte."""
    if not needle:
        return True
    i = 0
    while i + len(needle) <= len(line):
        if line[i:i + len(needle)] == needle:
            return True
        i += 2 if line[i] >= 0x80 else 1
    return False


def caption_for(s, clip):
    """What 标签1 shows for a clipboard: CR LF + line for every bank line containing its text."""
    text = b"" if clip is None or clip == "picture" else clip.split(b"\0")[0]
    return b"".join(b"\r\n" + line for line in bank_lines(s) if find_on_boundary(line, text))


def split_pair(s):
    """Two bytes that the bank holds only across a character boundary (the trail byte of one
    character and the lead byte of the next), and that form a character of their own."""
    lines = bank_lines(s)
    for line in lines:
        i = 0
        while i + 3 < len(line):
            if line[i] >= 0x80 and line[i + 2] >= 0x80 and line[i + 1] >= 0x81:
                pair = line[i + 1:i + 3]
                try:
                    pair.decode("gbk")
                except UnicodeDecodeError:
                    pair = None
                if pair and not any(find_on_boundary(other, pair) for other in lines):
                    return pair
            i += 2 if line[i] >= 0x80 else 1
    return None


# ---- the window


@fresh_assistant
def window_geometry_and_frame(s):
    app = s.launch()
    w = s.driver("window")
    s.check.equal("screen size", w.value("screen"), "1920 1080")
    s.check.equal("outer rectangle: left top width height", w.value("rect"), "496 356 927 368")
    style = int(w.value("style"), 16)
    for name, bit in (("WS_CAPTION", WS_CAPTION), ("WS_SYSMENU", WS_SYSMENU), ("WS_CLIPCHILDREN", WS_CLIPCHILDREN),
                      ("WS_VISIBLE", WS_VISIBLE)):
        s.check.true(f"window style has {name}", style & bit == bit, hex(style))
    for name, bit in (("WS_THICKFRAME", WS_THICKFRAME), ("WS_MINIMIZEBOX", WS_MINIMIZEBOX),
                      ("WS_MAXIMIZEBOX", WS_MAXIMIZEBOX), ("WS_DISABLED", WS_DISABLED)):
        s.check.true(f"window style lacks {name}", style & bit == 0, hex(style))
    exstyle = int(w.value("exstyle"), 16)
    s.check.equal("topmost", w.value("topmost"), "1")
    # The system adds the window edge to every captioned window.
    s.check.equal("no extended style but topmost", exstyle & ~(WS_EX_TOPMOST | WS_EX_WINDOWEDGE), 0)
    s.check.equal("owner", w.value("owner"), "0x0")
    s.check.equal("in the foreground", w.value("foreground"), "1")
    s.check.equal("focus on 编辑框2 when shown", s.focus(), app.control("编辑框2"))


def controls_stacking_and_styles(s):
    app = s.app
    s.check.equal("controls from the top of the stacking order down", [c["name"] for c in app.stacking], STACKING)
    edit3 = ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | ES_CENTER | WS_HSCROLL | WS_VSCROLL | WS_TABSTOP
    # name: class (None: the program's own), styles required, styles refused, extended style
    expected = {
        "标签1": (None, 0, WS_TABSTOP | WS_BORDER, 0),
        "标签2": (None, 0, WS_TABSTOP | WS_BORDER, 0),
        "按钮1": ("button", BS_CENTER | BS_VCENTER | WS_TABSTOP, WS_BORDER, 0),
        "编辑框3": ("edit", edit3, WS_BORDER, WS_EX_CLIENTEDGE),
        "编辑框2": ("edit", ES_AUTOHSCROLL | WS_TABSTOP, ES_MULTILINE | WS_BORDER | ES_CENTER, WS_EX_CLIENTEDGE),
    }
    for name, (cls, required, refused, exstyle) in expected.items():
        c = app.controls.get(name)
        if not s.check.true(f"{name} at {harness.CONTROL_RECTS[name]}", c):
            continue
        if cls:
            s.check.equal(f"{name} class", c["cls"].lower(), cls)
        else:
            s.check.true(f"{name} is drawn by the program", c["cls"].lower() not in ("edit", "button", "static"), c["cls"])
        required |= WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS
        refused |= WS_DISABLED
        s.check.equal(f"{name} required styles", hex(c["style"] & required), hex(required))
        s.check.equal(f"{name} refused styles", hex(c["style"] & refused), hex(0))
        s.check.equal(f"{name} extended style", hex(c["exstyle"]), hex(exstyle))
    button = app.controls.get("按钮1")
    if button:
        s.check.equal("按钮1 is a plain push button", button["style"] & BS_TYPEMASK, BS_PUSHBUTTON)


def window_texts(s):
    app = s.app
    title = s.driver("window").text("title")
    s.check.equal("title length", len(title), 132)
    s.check.true("title is one line", b"\r" not in title and b"\n" not in title, harness.show(title))
    notice = s.text(app.control("标签2"))
    s.check.equal("notice length", len(notice), 737)
    paragraphs = notice.split(b"\r\n\r\n")
    s.check.equal("notice paragraphs", len(paragraphs), 5)
    s.check.true("no empty paragraph", all(paragraphs), harness.show(notice))
    s.check.equal("notice ends with the usage sentence", notice[-len(USAGE_SENTENCE):], USAGE_SENTENCE)
    s.check.equal("按钮1 caption", s.text(app.control("按钮1")), gbk("按钮"))
    s.check.equal("编辑框3 at start", s.text(app.control("编辑框3")), b"")
    bank = s.text(app.control("编辑框2"))
    s.check.equal("编辑框2 length", len(bank), 4627)
    s.check.equal("编辑框2 holds the bank", bank, bank_text(s))
    s.check.equal("bank lines", len(bank_lines(s)), 46)


# ---- the clipboard lookup


def lookup_table(s):
    lines = bank_lines(s)
    pair = split_pair(s)
    rows = [
        # (what, clipboard: bytes / None for empty / "picture", lines expected: count or None)
        ("a fragment of one line", gbk("主要负责人"), 1),
        ("an empty clipboard: the whole bank", None, 46),
        ("a fragment of several lines, in bank order", gbk("安全色中表示"), 4),
        ("a picture and no text: the whole bank", "picture", 46),
        ("capitals copied in small letters: no match", gbk("）？abc"), 0),
        ("the same in capitals", gbk("）？ABC"), None),
        ("a line break: no match", lines[0][-4:] + b"\r\n" + lines[1][:4], 0),
        ("a whole line", lines[-1], 1),
        ("text after a NUL byte is not read", gbk("主要负责人") + b"\0" + gbk("不在题库里"), 1),
    ]
    if pair:
        rows.append(("bytes spanning two characters: no match", pair, 0))
    label = s.app.control("标签1")
    previous = None
    for what, clip, count in rows:
        want = caption_for(s, clip)
        found = want.count(b"\r\n")
        if count is not None and found != count:
            raise ScenarioError(f"table row '{what}' expects {count} lines but the bank gives {found}")
        # Each row must change the caption, so reaching it proves a tick saw the new clipboard.
        if want == previous:
            raise ScenarioError(f"table row '{what}' shows the same as the row before it")
        previous = want
        s.set_clipboard(clip)
        if s.wait_text(f"标签1 for {what}", label, want) and not want:
            s.hold_text(f"标签1 stays empty for {what}", label, want, 1500)


# ---- the title harvester


HTML_TITLES = (
    '<html>\r\n<body>\r\n<div class="item">\r\n'
    '<div class="title">\r\n          1、下列哪项是正确的？\r\n</div>\r\n'
    '<p>A. 选项</p>\r\n'
    '<div class="title">\r\n              Second title   \r\n</div>\r\n'
    '</div>\r\n</body>\r\n</html>\r\n')
HTML_CAPITALS = '<DIV CLASS="TITLE">\r\n          Marker in capitals 大写\r\n</DIV>\r\n'
HTML_LF_ONLY = '<div class="title">\n          Not a title\n</div>\n'
# The end marker is searched from the second byte of the title, so a title of double-byte
# characters only is walked out of step and its own CR LF is passed over.
HTML_DOUBLE_BYTE_ONLY = '<div class="title">\r\n          汉字标题\r\n</div>\r\n'


def harvester_table(s):
    rows = [
        # (what, pasted HTML, 编辑框3 after 按钮1)
        ("two titles, the second trimmed", HTML_TITLES, "1、下列哪项是正确的？\r\nSecond title\r\n"),
        ("the marker in capitals", HTML_CAPITALS, "Marker in capitals 大写\r\n"),
        ("LF line breaks: no title, the box is emptied", HTML_LF_ONLY, ""),
        ("a title of double-byte characters only runs on to the next line", HTML_DOUBLE_BYTE_ONLY,
         "汉字标题\r\n</div>\r\n"),
    ]
    app = s.app
    edit, button = app.control("编辑框3"), app.control("按钮1")
    for what, html, want in rows:
        s.tab_to(edit)
        # Pasting inserts at the caret: start from an empty box.
        s.driver("settext", edit, "")
        s.set_clipboard(gbk(html))
        s.driver("keys", "ctrl+v")
        if not s.wait_text(f"{what}: pasted with Ctrl+V", edit, gbk(html), 5000):
            continue
        s.tab_to(button)
        s.driver("keys", "space")
        s.wait_text(f"{what}: 编辑框3 after Space on 按钮1", edit, gbk(want), 5000)


# ---- ending the program, the mouse


@fresh_assistant
def keys_that_close_the_window(s):
    for control, keys in (("编辑框2", "esc"), ("编辑框3", "esc"), ("按钮1", "esc"), ("编辑框2", "alt+f4")):
        app = s.launch()
        s.tab_to(app.control(control))
        s.driver("keys", keys)
        code = app.wait_exit()
        s.check.equal(f"exit code after {keys} in {control}", code, 0)
        if code is not None:
            s.check.equal(f"window gone after {keys} in {control}", s.driver("wait-gone", 5000, expect=None).value("gone"), "1")


def mouse_press_over_button_reaches_notice(s):
    app = s.app
    edit = app.control("编辑框3")
    html = gbk(HTML_CAPITALS)
    s.driver("settext", edit, hexbytes(html))
    x, y, w, h = harness.CONTROL_RECTS["按钮1"]
    report = s.driver("click", x + w // 2, y + h // 2)
    notice = app.control("标签2")
    s.check.equal("window under the pointer", report.value("windowfrompoint"), notice)
    s.check.equal("child under the point", report.value("childfrompoint"), notice)
    s.check.equal("标签2 takes the press (hit test)", int(report.value("hittest")), HTCLIENT)
    s.check.true("按钮1 did not take the press", report.value("capture") != app.control("按钮1"))
    # A click on the button would have run the harvester over the box.
    s.hold_text("编辑框3 untouched by the click", edit, html, 1500)


SUITES = {
    "window": [window_geometry_and_frame, controls_stacking_and_styles, window_texts],
    "lookup": [lookup_table],
    "harvester": [harvester_table],
    "input": [keys_that_close_the_window, mouse_press_over_button_reaches_notice],
}

if __name__ == "__main__":
    harness.main(SUITES)

"""End-to-end scenarios of the update check at start-up: the assistant fetches its update info from
the suite's server before its window is first shown, fetches again while the version field is
missing, and on a version other than V1.0 offers the download and ends. Run by ctest; see harness.py
for running one by hand."""

import os
import subprocess
import time

import harness
from harness import fresh_assistant, gbk

IDOK, IDYES, IDNO = 1, 6, 7
UPDATE_INFO_PATH = harness.UPDATE_INFO_PATH
NOTICE = gbk("服务器链接不畅，重试中，如打开异常请联系客服QQ")
PROMPT_HEAD = gbk("发现最新版本：点击【是】将为您跳转到网盘下载\r\n也可自行到官网")
PROMPT_TAIL = gbk("进行下载。")
BOX_TIMEOUT_MS = 30000
# A fetch from a server that never answers gives up after 30 s.
STALLED_BOX_TIMEOUT_MS = 60000
# Opening a URL reaches the browser script asynchronously.
BROWSER_WAIT_S = 10


def info(text, encoding="gbk"):
    return {"body": [{"hex": text.encode(encoding).hex()}]}


CURRENT = info("版本号【V1.0】结束XZ【http://127.0.0.1/x】结束")


def default_header_lines(port):
    url = f"http://127.0.0.1:{port}{UPDATE_INFO_PATH}"
    return [f"Referer: {url}", "Accept: */*", "Accept-Language: zh-cn",
            "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)",
            "Content-Type: application/x-www-form-urlencoded"]


def capture_browser(s):
    """Makes Wine's shell hand every opened URL to a script that writes it to s.browser_log."""
    if getattr(s, "browser_log", None):
        if os.path.exists(s.browser_log):
            os.remove(s.browser_log)
        return
    s.browser_log = os.path.join(s.work, "opened-urls")
    script = os.path.join(s.work, "browser.sh")
    with open(script, "w") as f:
        f.write(f"#!/bin/sh\nprintf '%s\\n' \"$1\" >> '{s.browser_log}'\n")
    os.chmod(script, 0o755)
    subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\WineBrowser", "/v", "Browsers", "/d", script,
                    "/f"], env=s.env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def opened_urls(s, expect_any):
    """The URLs opened so far; when some are expected, waits a while for the first."""
    deadline = time.monotonic() + BROWSER_WAIT_S
    while expect_any and not os.path.exists(s.browser_log) and time.monotonic() < deadline:
        time.sleep(0.1)
    if not os.path.exists(s.browser_log):
        return []
    with open(s.browser_log, "rb") as f:
        return f.read().decode("utf-8", errors="backslashreplace").splitlines()


def window_hidden(s):
    return s.driver("find", 0, expect=None).returncode != 0


def check_prompt(s, box, what):
    text = box.text()
    s.check.true(f"{what}: prompt text", text.startswith(PROMPT_HEAD) and text.endswith(PROMPT_TAIL)
                 and len(text) > len(PROMPT_HEAD) + len(PROMPT_TAIL), harness.show(text))
    s.check.equal(f"{what}: Yes and No", box.values("button"), ["6", "7"])
    s.check.true(f"{what}: window not shown during the prompt", window_hidden(s))


def check_notice(s, box, what):
    text = box.text()
    contact = text[len(NOTICE):]
    s.check.true(f"{what}: notice text", text.startswith(NOTICE) and contact and contact.isdigit(),
                 harness.show(text))
    s.check.equal(f"{what}: OK only", box.values("button"), [str(IDOK)])


@fresh_assistant
def same_version_shows_the_window_at_once(s):
    s.server.script(CURRENT)
    s.launch()
    s.check.equal("no message box", s.driver("msgbox", 0, expect=None).value("msgbox"), "0x0")
    requests = s.server.requests()
    s.check.equal("fetched once", len(requests), 1)
    if not requests:
        return
    head = requests[0].split(b"\r\n\r\n", 1)[0].decode("latin-1").split("\r\n")
    s.check.equal("request line", head[0], f"GET {UPDATE_INFO_PATH} HTTP/1.1")
    s.check.equal("host", [h for h in head if h.startswith("Host:")], [f"Host: 127.0.0.1:{s.server.port}"])
    wanted = default_header_lines(s.server.port)
    s.check.equal("the default header lines in order", [h for h in head if h in wanted], wanted)
    s.check.equal("no cookie", [h for h in head if h.lower().startswith("cookie:")], [])


# Texts that pass the retry test at once, as served, and whether their version leads to the prompt.
GATE_CASES = [
    ("版本号【V1.1】结束XZ【http://127.0.0.1:9/a】结束", "gbk", True),
    ("版本号【V0.9】结束", "gbk", True),
    ("版本号【v1.0】结束", "gbk", True),
    ("版本号【 V1.0】结束", "gbk", True),
    ("版本号【】结束", "gbk", True),
    ("版本号【V1.1】", "gbk", False),
    ("版本号【V1.0】结束", "gbk", False),
    ("charset=utf-8\r\n版本号【V1.0】结束", "utf-8", False),
]


@fresh_assistant
def version_gate_and_no(s):
    """A prompt answered No ends the program with exit code 0 once the window has been shown and
    destroyed; no prompt leaves the window up."""
    capture_browser(s)
    for what, encoding, prompts in GATE_CASES:
        s.server.script(info(what, encoding))
        app = s.launch(wait_window=False)
        if prompts:
            box = s.driver("msgbox", BOX_TIMEOUT_MS, expect=None)
            if not s.check.true(f"{what}: prompt shown", box.value("msgbox") != "0x0"):
                continue
            check_prompt(s, box, what)
            s.driver("msgbox", 5000, IDNO)
            s.check.equal(f"{what}: exit code after No", app.wait_exit(), 0)
        else:
            app.wait_window()
            s.check.equal(f"{what}: no message box", s.driver("msgbox", 0, expect=None).value("msgbox"), "0x0")
            s.check.true(f"{what}: still running", app.running())
        s.check.equal(f"{what}: fetched once", len(s.server.requests()), 1)
    s.check.equal("nothing opened after No", opened_urls(s, expect_any=False), [])


@fresh_assistant
def yes_opens_the_download_and_ends(s):
    """Yes opens the download field's value and ends at once; a value that is no web address (the
    missing field's "获取失败") is not handed to the shell, and the program ends all the same."""
    url = "http://127.0.0.1:9/quorvel-setup.exe?v=1.1"
    for text, opened in ((f"版本号【V1.1】结束\r\nXZ【{url}】结束", [url]), ("版本号【V1.1】结束", [])):
        capture_browser(s)
        s.server.script(info(text))
        app = s.launch(wait_window=False)
        box = s.driver("msgbox", BOX_TIMEOUT_MS, expect=None)
        if not s.check.true(f"{text}: prompt shown", box.value("msgbox") != "0x0"):
            continue
        check_prompt(s, box, text)
        s.driver("msgbox", 5000, IDYES)
        s.check.equal(f"{text}: exit code after Yes", app.wait_exit(), 0)
        s.check.equal(f"{text}: URL opened", opened_urls(s, expect_any=bool(opened)), opened)


@fresh_assistant
def retries_with_a_notice_after_every_refetch(s):
    """Two answers without the field, then one with it: two waits, a notice after each refetch (the
    last one's too), then the window."""
    busy = {"status": "HTTP/1.1 503 Service Unavailable", "body": "busy"}
    s.server.script([busy, busy, CURRENT])
    app = s.launch(wait_window=False)
    for n in (1, 2):
        box = s.driver("msgbox", BOX_TIMEOUT_MS, expect=None)
        if not s.check.true(f"notice {n} shown", box.value("msgbox") != "0x0"):
            return
        check_notice(s, box, f"notice {n}")
        s.check.equal(f"notice {n}: fetches so far", len(s.server.requests()), n + 1)
        s.check.true(f"notice {n}: window hidden", window_hidden(s))
        s.driver("msgbox", 5000, IDOK)
    app.wait_window()
    s.check.equal("no third notice", s.driver("msgbox", 0, expect=None).value("msgbox"), "0x0")
    s.check.equal("fetched three times", len(s.server.requests()), 3)


@fresh_assistant
def refetched_text_is_cleaned_of_wbr(s):
    """版本号<wbr>【 fails as first fetched; the refetched copy, cleaned, passes after one notice."""
    s.server.script(info("版本号<wbr>【V1.0】结束"))
    app = s.launch(wait_window=False)
    box = s.driver("msgbox", BOX_TIMEOUT_MS, expect=None)
    if s.check.true("notice shown", box.value("msgbox") != "0x0"):
        check_notice(s, box, "notice")
        s.driver("msgbox", 5000, IDOK)
    app.wait_window()
    s.check.equal("fetched twice", len(s.server.requests()), 2)


@fresh_assistant
def stalled_fetch_times_out_and_retries(s):
    """A server that accepts and never answers: the fetch gives up, and the retry loop goes on."""
    s.server.script([{"stall": True}, CURRENT])
    app = s.launch(wait_window=False)
    box = s.driver("msgbox", STALLED_BOX_TIMEOUT_MS, expect=None, timeout_s=STALLED_BOX_TIMEOUT_MS // 1000 + 30)
    if s.check.true("notice shown after the stalled fetch", box.value("msgbox") != "0x0"):
        check_notice(s, box, "notice")
        s.driver("msgbox", 5000, IDOK)
    app.wait_window()
    s.check.equal("fetched twice", len(s.server.requests()), 2)


SUITES = {
    "update": [same_version_shows_the_window_at_once, version_gate_and_no, yes_opens_the_download_and_ends,
               retries_with_a_notice_after_every_refetch, refetched_text_is_cleaned_of_wbr],
    "update-stall": [stalled_fetch_times_out_and_retries],
}

if __name__ == "__main__":
    harness.main(SUITES)

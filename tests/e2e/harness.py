"""End-to-end harness: runs assistant.exe under Wine in a fresh prefix and drives it with driver.exe.

A scenario file builds suites of scenarios on top of this module:

    import harness

    def window_is_up(s):            # s: a Session, started, with the assistant running
        w = s.driver("window")
        s.check.equal("visible", w.value("visible"), "1")

    SUITES = {"smoke": [window_is_up]}
    if __name__ == "__main__":
        harness.main(SUITES)

and is run as `python3 scenarios.py --assistant A.exe --driver D.exe --port P [--work-dir W] SUITE
[SCENARIO...]`. One suite is one fresh Wine prefix (a copy of a booted template kept in W) with a
warm wineserver, the update-info server tests/server/http_test_server.py on 127.0.0.1:P (the port
the assistant was built to fetch from; s.server.script(...) changes its answer) and an X display
(DISPLAY, or a private Xvfb). Each scenario starts with an empty clipboard and, unless marked
@fresh_assistant (it then calls s.launch() itself), with the assistant already running: started,
or restarted when a previous scenario ended it. A scenario records failed checks in s.check and
goes on; a ScenarioError or any other exception ends it. The run fails when any scenario failed;
screenshots and the assistant's output are left in W/artifacts/SUITE. E2E_TRACE=1 prints every
driver call.
"""

import argparse
import fcntl
import http.client
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback
import urllib.parse

# The one file the assistant fetches at start-up, and an answer that lets its window appear.
UPDATE_INFO_PATH = "/uploads/soft/quorvel/zemtak.txt"
CURRENT_VERSION_INFO = "版本号【V1.0】结束XZ【http://127.0.0.1/x】结束".encode("gbk")

MAIN_WINDOW_TIMEOUT_MS = 30000
TICK_TIMEOUT_MS = 10000  # generous: the timer ticks every second on a machine shared with builds
EXIT_TIMEOUT_S = 30

# Controls of the main window, known by their rectangles in the client area (left, top, width, height).
CONTROL_RECTS = {
    "标签1": (16, 16, 896, 160),
    "标签2": (16, 184, 896, 168),
    "按钮1": (680, 192, 48, 48),
    "编辑框3": (16, 192, 656, 144),
    "编辑框2": (752, 224, 32, 32),
}


def gbk(text):
    return text.encode("gbk")


def hexbytes(data):
    return data.hex().upper()


def show(data, limit=160):
    """Bytes for a failure message: readable as GBK, with the length."""
    text = data.decode("gbk", errors="backslashreplace")
    if len(text) > limit:
        text = text[:limit] + "..."
    return f"{len(data)} bytes {text!r}"


class ScenarioError(Exception):
    """Ends the current scenario; the message says why."""


# ---- results of driver calls


class Report:
    """The lines a driver call printed: "<key> <value...>"."""

    def __init__(self, args, returncode, stdout, stderr):
        self.args = args
        self.returncode = returncode
        self.lines = [line.split(" ", 1) + [""] for line in stdout.splitlines() if line]
        self.stdout = stdout
        self.stderr = stderr

    def values(self, key):
        return [rest[0] for k, *rest in self.lines if k == key]

    def value(self, key):
        found = self.values(key)
        if not found:
            raise ScenarioError(f"driver {' '.join(self.args)}: no '{key}' in its output:\n{self.stdout}")
        return found[0]

    def text(self, key="text"):
        """A text written as "<length> <hex>"."""
        length, _, hexed = self.value(key).partition(" ")
        data = bytes.fromhex(hexed.strip())
        if len(data) != int(length):
            raise ScenarioError(f"driver: '{key}' length {length} but {len(data)} bytes")
        return data

    def handle(self, key):
        return int(self.value(key), 16)


class Check:
    """Soft checks: a failure is recorded and the scenario goes on."""

    def __init__(self):
        self.failures = []

    def fail(self, what, detail=""):
        self.failures.append(f"{what}: {detail}" if detail else what)

    def true(self, what, condition, detail=""):
        if not condition:
            self.fail(what, detail)
        return bool(condition)

    def equal(self, what, got, want):
        if got == want:
            return True
        if isinstance(got, bytes) and isinstance(want, bytes):
            at = next((i for i, (a, b) in enumerate(zip(got, want)) if a != b), min(len(got), len(want)))
            self.fail(what, f"got {show(got)}\n    want {show(want)}\n    first difference at byte {at}: "
                            f"got {show(got[max(0, at - 8):at + 24])}, want {show(want[max(0, at - 8):at + 24])}")
        else:
            self.fail(what, f"got {got!r}, want {want!r}")
        return False


# ---- the update-info server


class UpdateServer:
    """tests/server/http_test_server.py on 127.0.0.1:port, answering the update-info path.

    script() replaces the responses for that path, in that server's script format (a response or
    a list served in turn, the last repeating); requests() gives the raw bytes of those received.
    """

    SERVER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "server", "http_test_server.py")
    CURRENT = {"body": [{"hex": CURRENT_VERSION_INFO.hex()}]}

    def __init__(self, port, work, lifetime_s, wait_for_port_s=30):
        self.port = port
        port_file = os.path.join(work, "server-port")
        deadline = time.monotonic() + wait_for_port_s
        while True:
            self.process = subprocess.Popen(
                [sys.executable, self.SERVER, "--port", str(port), "--port-file", port_file,
                 "--lifetime", str(lifetime_s), "--log", os.path.join(work, "server-requests.jsonl")],
                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, start_new_session=True)
            while not os.path.exists(port_file) and self.process.poll() is None:
                time.sleep(0.05)
            if os.path.exists(port_file):
                break
            error = self.process.stderr.read().decode(errors="replace").strip().splitlines()
            if time.monotonic() > deadline:
                raise SystemExit(f"e2e: the update-info server cannot listen on 127.0.0.1:{port} "
                                 f"({error[-1] if error else 'no reason given'}); this build's assistant "
                                 f"fetches from that port, so it must be free (see `ss -ltnp | grep :{port}`)")
            time.sleep(0.5)
        self.script(self.CURRENT)

    def _control(self, method, target, body=None):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=10)
        try:
            connection.request(method, target, body=body)
            response = connection.getresponse()
            return response.status, response.read()
        finally:
            connection.close()

    def script(self, responses):
        status, _ = self._control("POST", "/__control/script", json.dumps({UPDATE_INFO_PATH: responses}))
        if status != 200:
            raise ScenarioError(f"update-info server refused the script ({status})")
        self._control("POST", "/__control/reset")

    def requests(self):
        quoted = urllib.parse.quote(UPDATE_INFO_PATH)
        count = int(self._control("GET", f"/__control/count?path={quoted}")[1])
        return [self._control("GET", f"/__control/request?path={quoted}&index={i}")[1] for i in range(count)]

    def stop(self):
        stop_process(self.process)


# ---- X display and Wine prefix


def start_xvfb(candidates, lifetime_s):
    """A private Xvfb on the first free display of candidates; ended by the harness, or by itself."""
    for number in candidates:
        if os.path.exists(f"/tmp/.X11-unix/X{number}") or os.path.exists(f"/tmp/.X{number}-lock"):
            continue
        process = subprocess.Popen(
            ["timeout", str(lifetime_s), "Xvfb", f":{number}", "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        for _ in range(100):
            if os.path.exists(f"/tmp/.X11-unix/X{number}"):
                return f":{number}", process
            if process.poll() is not None:
                break
            time.sleep(0.05)
        stop_process(process)
    raise SystemExit(f"e2e: no free X display among {candidates} (set DISPLAY or E2E_XVFB_DISPLAYS)")


def stop_process(process, grace_s=5):
    if process is None or process.poll() is not None:
        return
    try:
        os.killpg(process.pid, signal.SIGTERM)
    except ProcessLookupError:
        return
    try:
        process.wait(grace_s)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()


def wine_env(prefix, display):
    env = {k: v for k, v in os.environ.items() if "proxy" not in k.lower()}
    env.update(WINEPREFIX=prefix, DISPLAY=display, LANG="zh_CN.UTF-8", LC_ALL="zh_CN.UTF-8",
               WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    return env


def boot_prefix(prefix, display):
    """wineboot and Wine's 1920x1080 virtual desktop, which also gives keyboard input to the
    foreground window and makes destroying a window cheap."""
    env = wine_env(prefix, display)
    subprocess.run(["wineboot", "-i"], env=env, check=True, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for key, name, value in ((r"HKCU\Software\Wine\Explorer", "Desktop", "Default"),
                             (r"HKCU\Software\Wine\Explorer\Desktops", "Default", "1920x1080")):
        subprocess.run(["wine", "reg", "add", key, "/v", name, "/d", value, "/f"], env=env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def fresh_prefix(path, template_dir, display):
    """A new prefix at path. Booting takes seconds, so a never-used booted prefix is kept in
    template_dir (per Wine version) and copied; without template_dir the prefix is booted in place."""
    if not template_dir:
        boot_prefix(path, display)
        return
    version = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    os.makedirs(os.path.dirname(os.path.abspath(template_dir)), exist_ok=True)
    stamp = os.path.join(template_dir, ".e2e-template")
    with open(template_dir + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.exists(stamp) or open(stamp).read() != version:
            shutil.rmtree(template_dir, ignore_errors=True)
            boot_prefix(template_dir, display)
            with open(stamp, "w") as f:
                f.write(version)
        subprocess.run(["cp", "-a", template_dir, path], check=True)


# ---- the session


class Assistant:
    """One run of assistant.exe. Under a warm wineserver the `wine` process is the program itself,
    so its exit code is the program's."""

    def __init__(self, session, log_path):
        self.session = session
        self.log = open(log_path, "ab")
        self.process = subprocess.Popen(["wine", session.assistant_exe], env=session.env, cwd=session.work,
                                        stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log)
        self.window = None
        self.controls = {}
        self.stacking = []

    def wait_window(self, timeout_ms=MAIN_WINDOW_TIMEOUT_MS):
        """Waits for the main window to be shown and learns its controls."""
        # In slices, so that a program that has ended is noticed at once.
        deadline = time.monotonic() + timeout_ms / 1000
        while True:
            found = self.session.driver("find", 2000, expect=None)
            if found.returncode == 0:
                break
            if not self.running():
                raise ScenarioError(f"assistant exited with {self.process.returncode} before showing its window")
            if time.monotonic() > deadline:
                raise ScenarioError(f"main window not shown within {timeout_ms} ms")
        self.window = found.handle("window")
        self.controls = {}
        self.stacking = []
        for child in self.session.driver("children").values("child"):
            hwnd, cls, ident, left, top, width, height, style, exstyle, visible = child.split()
            rect = (int(left), int(top), int(width), int(height))
            name = next((n for n, r in CONTROL_RECTS.items() if r == rect), f"?{rect}")
            info = dict(name=name, hwnd=hwnd, cls=cls, id=int(ident), rect=rect, style=int(style, 16),
                        exstyle=int(exstyle, 16), visible=visible == "1")
            self.stacking.append(info)
            self.controls.setdefault(name, info)
        return self

    def control(self, name):
        if name not in self.controls:
            raise ScenarioError(f"no control at the rectangle of {name} {CONTROL_RECTS[name]}; "
                                f"children: {[c['rect'] for c in self.stacking]}")
        return self.controls[name]["hwnd"]

    def running(self):
        return self.process.poll() is None

    def wait_exit(self, timeout_s=EXIT_TIMEOUT_S):
        """The exit code, or None when the program is still running after timeout_s."""
        try:
            return self.process.wait(timeout_s)
        except subprocess.TimeoutExpired:
            return None

    def end(self):
        """Ends the program if it still runs: a close request first, then termination."""
        if self.running():
            self.session.driver("close", expect=None)
            if self.wait_exit(10) is None:
                self.session.driver("terminate", expect=None)
                if self.wait_exit(10) is None:
                    self.process.kill()
                    self.process.wait()
        self.log.close()


class Session:
    def __init__(self, args, suite):
        self.assistant_exe = os.path.abspath(args.assistant)
        self.driver_exe = os.path.abspath(args.driver)
        self.suite = suite
        self.check = Check()
        self.app = None
        self._xvfb = None
        self.server = None
        base = os.path.abspath(args.work_dir) if args.work_dir else tempfile.gettempdir()
        os.makedirs(base, exist_ok=True)
        self.artifacts = os.path.join(base, "artifacts", suite)
        shutil.rmtree(self.artifacts, ignore_errors=True)
        os.makedirs(self.artifacts)
        self.work = tempfile.mkdtemp(prefix=f"e2e-{suite}-", dir=base)
        self.prefix = os.path.join(self.work, "prefix")
        self._template = os.path.join(base, "prefix-template") if args.work_dir else None
        self._port = args.port

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def _start(self):
        self.display = os.environ.get("DISPLAY")
        if not self.display:
            candidates = os.environ.get("E2E_XVFB_DISPLAYS", "77 78 79").split()
            self.display, self._xvfb = start_xvfb(candidates, lifetime_s=1800)
        self.server = UpdateServer(self._port, self.work, lifetime_s=1800)
        fresh_prefix(self.prefix, self._template, self.display)
        self.env = wine_env(self.prefix, self.display)
        # Warm for the whole suite, and gone by itself a minute after its last client.
        subprocess.run(["wineserver", "-p60"], env=self.env, check=True, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def __exit__(self, *exc):
        if self.app:
            self.app.end()
        if os.path.isdir(self.prefix):
            for option in ("-k", "-w"):
                subprocess.run(["wineserver", option], env=wine_env(self.prefix, self.display or ""),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if self.server:
            self.server.stop()
        stop_process(self._xvfb)
        shutil.rmtree(self.work, ignore_errors=True)
        return False

    # -- driving

    # Commands that can run twice without harm: a run that printed nothing never got to report, so
    # one of these is tried once more. Key presses, clicks and answers to boxes are never repeated.
    REPEATABLE = {"find", "wait-gone", "window", "children", "bank", "text", "settext", "wait-text", "hold-text",
                  "setclip", "setclip-hex", "clip-picture", "clip-empty", "getclip", "focus", "wait-focus"}

    def driver(self, *args, expect=0, timeout_s=60):
        """Runs driver.exe; a return code other than expect (None: any) ends the scenario."""
        argv = [str(a) for a in args]
        report = self._run_driver(argv, timeout_s)
        if report.returncode != 0 and not report.stdout and argv[0] in self.REPEATABLE:
            print(f"    driver {' '.join(argv)[:100]} ended with {report.returncode} and no output; once more\n"
                  f"    {report.stderr[-1000:]}")
            report = self._run_driver(argv, timeout_s)
        if expect is not None and report.returncode != expect:
            raise ScenarioError(f"driver {' '.join(argv)[:200]} returned {report.returncode}:\n"
                                f"{report.stdout[:2000]}{report.stderr[-2000:]}")
        return report

    def _run_driver(self, argv, timeout_s):
        started = time.monotonic()
        # Wine's errors only, kept for the failure message.
        env = dict(self.env, WINEDEBUG="-all,err+all")
        # Files, not pipes: Wine's own processes started by this call inherit its output handles
        # and would hold a pipe open long after the driver has ended.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            try:
                done = subprocess.run(["wine", self.driver_exe, *argv], env=env, cwd=self.work,
                                      stdin=subprocess.DEVNULL, stdout=out, stderr=err, timeout=timeout_s)
            except subprocess.TimeoutExpired:
                raise ScenarioError(f"driver {' '.join(argv)} did not finish in {timeout_s} s")
            out.seek(0)
            err.seek(0)
            report = Report(argv, done.returncode, out.read().decode("latin-1"), err.read().decode("latin-1"))
        if os.environ.get("E2E_TRACE"):
            print(f"    driver {' '.join(argv)[:100]} -> {done.returncode} ({time.monotonic() - started:.2f} s)")
        return report

    def launch(self, wait_window=True):
        """Starts a new run of the assistant (ending the previous one)."""
        if self.app:
            self.app.end()
        self.app = Assistant(self, os.path.join(self.artifacts, "assistant.log"))
        if wait_window:
            self.app.wait_window()
        return self.app

    def running_app(self):
        if not self.app or not self.app.running():
            self.launch()
        return self.app

    def set_clipboard(self, data):
        """data: bytes for CF_TEXT, None for an empty clipboard, "picture" for a picture without text."""
        if data is None:
            self.driver("clip-empty")
        elif data == "picture":
            self.driver("clip-picture")
        else:
            self.driver("setclip-hex", hexbytes(data))

    def text(self, hwnd):
        return self.driver("text", hwnd).text()

    def wait_text(self, what, hwnd, want, timeout_ms=TICK_TIMEOUT_MS):
        """Waits until the control's text is want; records a failure with the last text otherwise."""
        report = self.driver("wait-text", hwnd, hexbytes(want), timeout_ms, expect=None)
        return self.check.equal(f"{what} (within {timeout_ms} ms)", report.text(), want)

    def hold_text(self, what, hwnd, want, period_ms):
        """The control's text must stay want for the whole period."""
        report = self.driver("hold-text", hwnd, hexbytes(want), period_ms, expect=None)
        return self.check.equal(f"{what} (kept for {period_ms} ms)", report.text(), want)

    def focus(self):
        return self.driver("focus").value("focus")

    def tab_to(self, hwnd, presses=4):
        """Presses Tab until the control has the keyboard focus."""
        report = self.driver("tab-to", hwnd, presses, expect=None)
        if report.returncode != 0:
            raise ScenarioError(f"Tab did not bring the focus to {hwnd} in {presses} presses "
                                f"(focus went {' '.join(report.values('focus'))})")

    def screenshot(self, name):
        if shutil.which("import"):
            subprocess.run(["import", "-display", self.display, "-window", "root",
                            os.path.join(self.artifacts, name + ".png")],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


# ---- running suites


def fresh_assistant(scenario):
    """Marks a scenario that starts the assistant itself."""
    scenario.fresh_assistant = True
    return scenario


def run_suite(session, scenarios):
    failed = []
    for scenario in scenarios:
        name = scenario.__name__
        session.check = Check()
        started = time.monotonic()
        try:
            if not getattr(scenario, "fresh_assistant", False):
                session.running_app()
            session.set_clipboard(None)
            scenario(session)
        except ScenarioError as e:
            session.check.fail("stopped", str(e))
        except Exception:
            session.check.fail("crashed", traceback.format_exc())
        seconds = time.monotonic() - started
        if session.check.failures:
            failed.append(name)
            session.screenshot(name)
            print(f"FAIL {name} ({seconds:.1f} s)")
            for failure in session.check.failures:
                print("  - " + failure.replace("\n", "\n    "))
        else:
            print(f"ok   {name} ({seconds:.1f} s)")
        sys.stdout.flush()
    return failed


def main(suites):
    parser = argparse.ArgumentParser(description="End-to-end scenarios of the assistant under Wine.")
    parser.add_argument("--assistant", required=True, help="assistant.exe")
    parser.add_argument("--driver", required=True, help="driver.exe")
    parser.add_argument("--port", required=True, type=int,
                        help="127.0.0.1 port the assistant fetches its update info from")
    parser.add_argument("--work-dir", help="where prefixes, the prefix template and failure artifacts go")
    parser.add_argument("suite", choices=sorted(suites))
    parser.add_argument("scenario", nargs="*", help="only these scenarios of the suite")
    args = parser.parse_args()
    for exe in (args.assistant, args.driver):
        if not os.path.isfile(exe):
            raise SystemExit(f"e2e: no such program: {exe}")
    scenarios = [s for s in suites[args.suite] if not args.scenario or s.__name__ in args.scenario]
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    started = time.monotonic()
    with Session(args, args.suite) as session:
        print(f"suite {args.suite}: prefix ready in {time.monotonic() - started:.1f} s, display {session.display}")
        failed = run_suite(session, scenarios)
    print(f"suite {args.suite}: {len(scenarios) - len(failed)} of {len(scenarios)} scenarios passed "
          f"in {time.monotonic() - started:.1f} s")
    if failed:
        print(f"artifacts (screenshots, assistant log): {session.artifacts}")
    sys.exit(1 if failed else 0)

"""End-to-end harness: the real vexmora.exe in a private Wine prefix on Xvfb.

One Session per test module: a fresh prefix with Chinese font replacements, an
English locale and a recording browser; a private Xvfb display; a persistent
wineserver. The probe tool (vexmora_probe.exe) reads and writes HKCU values and
reports windows without sending the program any message.
"""

import json
import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

BUILD_DIR = os.environ.get("VEXMORA_BUILD_DIR",
                           os.path.join(os.path.dirname(__file__), "..", "..", "build", "win64"))
EXE = os.path.abspath(os.path.join(BUILD_DIR, "vexmora.exe"))
PROBE = os.path.abspath(os.path.join(BUILD_DIR, "vexmora_probe.exe"))

SETTINGS_KEY = "Software\\Toskarin"
RUN_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Run"
SCREEN_W, SCREEN_H = 1280, 800


BALLOON_DARK = (0x1C, 0x1C, 0x1C)


def is_balloon_text(pixel):
    """White text (or a highlighted link's white text) on the dark balloon."""
    return min(pixel) > 200


def text_bands(rows):
    """(first, last) ranges of the pixel rows that hold balloon text."""
    bands, start = [], None
    for y, row in enumerate(rows):
        has = any(is_balloon_text(p) for p in row)
        if has and start is None:
            start = y
        if not has and start is not None:
            bands.append((start, y - 1))
            start = None
    if start is not None:
        bands.append((start, len(rows) - 1))
    return bands


class Session:
    """A Wine prefix and an X display, kept for one test module."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="vexmora-e2e-")
        self.prefix = os.path.join(self.root, "prefix")
        self.browser_log = os.path.join(self.root, "browser.log")
        self.shots = os.path.join(BUILD_DIR, "e2e-shots")
        os.makedirs(self.shots, exist_ok=True)
        self.xvfb = None
        self.running = []
        self.keeper = None
        self._start_display()
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all", DISPLAY=self.display,
                        LANG="C.UTF-8", LC_ALL="C.UTF-8", WINEDLLOVERRIDES="mscoree,mshtml=")
        self._boot_prefix()

    # -- set-up ------------------------------------------------------------
    def _start_display(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN_W}x{SCREEN_H}x24",
             "-nolisten", "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.time() + 30
        while not number.endswith(b"\n") and time.time() < deadline:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()

    def _boot_prefix(self):
        subprocess.run(["wineboot", "-i"], env=self.env, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=180)
        subprocess.run(["wineserver", "-p"], env=self.env, check=False, timeout=30)
        recorder = os.path.join(self.root, "browser.sh")
        with open(recorder, "w") as f:
            f.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + self.browser_log + "'\n")
        os.chmod(recorder, 0o755)
        self.probe("set-sz", "Software\\Wine\\WineBrowser", "Browsers", recorder)
        for face in ("宋体", "新宋体", "SimSun", "NSimSun"):
            self.probe("set-sz", "Software\\Wine\\Fonts\\Replacements", face, "WenQuanYi Zen Hei")
        # The first window on a fresh server brings up Wine's desktop, which
        # stalls other processes' window queries for a while: get it over with,
        # and keep the desktop up for the whole session (see the probe's hold).
        self.probe("flash")
        self.keeper = subprocess.Popen(["wine", PROBE, "hold"], env=self.env, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
        self.probe("windows")

    def close(self):
        for process in [p for p in self.running + [self.keeper] if p]:
            if process.poll() is None:
                process.kill()
        subprocess.run(["wineserver", "-k"], env=self.env, check=False, timeout=60)
        if self.xvfb:
            self.xvfb.send_signal(signal.SIGTERM)
            self.xvfb.wait(timeout=10)
        shutil.rmtree(self.root, ignore_errors=True)

    # -- the probe -----------------------------------------------------------
    def probe(self, *args, timeout=60):
        done = subprocess.run(["wine", PROBE, *args], env=self.env, capture_output=True,
                              timeout=timeout)
        return done.returncode, done.stdout.decode("utf-8", "replace")

    def values(self, key=SETTINGS_KEY):
        """{name: value} of a key (dword as int, text as str), None when the key is absent."""
        _, out = self.probe("dump", key)
        data = json.loads(out.strip().splitlines()[-1])
        if data is None:
            return None
        return {name: v.get("dword", v.get("text", v["hex"])) for name, v in data.items()}

    def set_dword(self, name, value, key=SETTINGS_KEY):
        assert self.probe("set-dword", key, name, str(value))[0] == 0

    def set_text(self, name, text, key=SETTINGS_KEY):
        assert self.probe("set-sz", key, name, text)[0] == 0

    def set_raw(self, name, reg_type, hex_data, key=SETTINGS_KEY):
        assert self.probe("set-raw", key, name, str(reg_type), hex_data)[0] == 0

    def delete_key(self, key=SETTINGS_KEY):
        self.probe("delete-key", key)

    def delete_value(self, name, key=RUN_KEY):
        self.probe("delete-value", key, name)

    def windows(self):
        _, out = self.probe("windows")
        return json.loads(out.strip().splitlines()[-1])

    def program_windows(self, class_name):
        return [w for w in self.windows() if w["class"] == class_name]

    # -- the program -----------------------------------------------------------
    def start(self, exe=EXE):
        process = subprocess.Popen(["wine", exe], env=self.env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        process.image = os.path.basename(exe)
        self.running.append(process)
        return process

    def start_traced(self, exe=EXE):
        """Starts the program with Wine's GDI trace on, for live GDI object counts."""
        log_path = os.path.join(self.root, f"gdi-{len(self.running)}.log")
        log = open(log_path, "w")
        process = subprocess.Popen(["wine", exe], env=dict(self.env, WINEDEBUG="+gdi"),
                                   stdout=subprocess.DEVNULL, stderr=log)
        log.close()
        process.image = os.path.basename(exe)
        process.gdi_log = log_path
        self.running.append(process)
        return process

    @staticmethod
    def live_gdi_objects(process):
        """The program's live GDI object count, from the last allocation or release
        Wine traced ("allocated NTGDI_OBJ_BRUSH 0x1100020 12/65536")."""
        count = None
        with open(process.gdi_log, errors="replace") as f:
            for line in f:
                if "alloc_gdi_handle" in line or "free_gdi_handle" in line:
                    field = line.rsplit(None, 1)[-1]
                    if "/" in field:
                        count = int(field.split("/")[0])
        return count

    def user_objects(self, windows_pid):
        """Windows (top-level and child) owned by a process: its USER objects."""
        count = 0
        for top in self.windows():
            count += top["pid"] == windows_pid
            count += sum(child["pid"] == windows_pid for child in top["children"])
        return count

    @staticmethod
    def mapped_files(process):
        """The paths of the files the process has mapped, lower case: which
        DLLs it has loaded (Wine's builtin ones by their Unix paths)."""
        with open(f"/proc/{process.pid}/maps") as f:
            return {line.split(None, 5)[5].strip().lower() for line in f if len(line.split(None, 5)) == 6}

    def stop(self, process):
        """Ends a program the way Windows ends a task; a Unix kill would leave
        Wine's desktop waiting for the dead process for many seconds."""
        if process.poll() is None:
            self.probe("end-image", process.image)
            try:
                process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait(timeout=30)

    def wait_for(self, condition, timeout=30, interval=0.3, message="condition"):
        deadline = time.time() + timeout
        while time.time() < deadline:
            result = condition()
            if result:
                return result
            time.sleep(interval)
        raise AssertionError(f"timed out waiting for {message}")

    def wait_for_window(self, class_name, visible=True, timeout=40):
        def found():
            matches = [w for w in self.program_windows(class_name) if w["visible"] == visible]
            return matches[0] if matches else None
        return self.wait_for(found, timeout, message=f"window {class_name}")

    def browser_urls(self):
        if not os.path.exists(self.browser_log):
            return []
        with open(self.browser_log) as f:
            return [line.strip() for line in f if line.strip()]

    # -- display -------------------------------------------------------------
    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True, timeout=30)

    def move_pointer(self, x, y):
        self.xdotool("mousemove", x, y)

    def click(self, x, y, button=1):
        self.xdotool("mousemove", x, y, "click", button)

    def screenshot(self, name):
        path = os.path.join(self.shots, name + ".png")
        subprocess.run(["import", "-display", self.display, "-window", "root", path],
                       env=self.env, check=True, timeout=60)
        return path

    def pixels(self, left, top, width, height):
        """RGB rows of a screen area, read through ImageMagick as raw PPM."""
        raw = subprocess.run(["import", "-display", self.display, "-window", "root", "-crop",
                              f"{width}x{height}+{left}+{top}", "-depth", "8", "ppm:-"],
                             env=self.env, capture_output=True, check=True, timeout=60).stdout
        # P6\n<w> <h>\n255\n<data>
        parts = raw.split(b"\n", 3)
        w, h = map(int, parts[1].split())
        data = parts[3]
        return [[tuple(data[(y * w + x) * 3:(y * w + x) * 3 + 3]) for x in range(w)] for y in range(h)]


class SessionTest(unittest.TestCase):
    """A test case class whose module shares one Session."""

    session = None

    @classmethod
    def setUpClass(cls):
        if SessionTest.session is None:
            SessionTest.session = Session()
        cls.s = SessionTest.session

    def setUp(self):
        self.s.delete_key(SETTINGS_KEY)
        self.s.delete_value("Toskarin", RUN_KEY)

    def tearDown(self):
        for process in list(self.s.running):
            if process.poll() is None:
                self.s.stop(process)
        self.s.running.clear()

    def seed_usable(self, monitor=1, opacity=255, **values):
        """Stored values that start the program without any prompt."""
        self.s.set_dword("监控编号", monitor)
        self.s.set_dword("透明度", opacity)
        for name, value in values.items():
            self.s.set_dword(name, value)


def tearDownModule():
    if SessionTest.session is not None:
        SessionTest.session.close()
        SessionTest.session = None

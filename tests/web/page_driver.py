"""Drives the browser page in Debian's headless Chromium: a local server, the page, its canvas and real input."""
import base64
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(SOURCE_DIR, "scripts"))
from page_server import PageHandler, page_server  # noqa: E402

CANVAS_BYTES = 640 * 480 * 3
READY_SECONDS = 30
MAKING_SECONDS = 240  # a pack in the browser takes 10 to 20 s; a busy machine may take far longer
# True once the page has stored the pack it makes ahead for "New stages" and hidden its progress bar.
PACK_MADE_AHEAD = "return typeof window.tesseraAhead === 'string';"


class QuietHandler(PageHandler):
    """Serves the page's files and logs nothing."""

    no_store = False

    def end_headers(self):
        if self.no_store:
            self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def log_message(self, *args):
        pass


class NoStoreHandler(QuietHandler):
    """A host that forbids HTTP caching."""

    no_store = True


class PageServer:
    """Serves a directory on 127.0.0.1 at a free port (or the one given) for as long as it is open."""

    def __init__(self, directory, port=0, no_store=False):
        self.server = page_server(directory, port, NoStoreHandler if no_store else QuietHandler)
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    def url(self, path):
        return "http://127.0.0.1:%d/%s" % (self.server.server_address[1], path)

    def close(self):
        self.server.shutdown()
        self.server.server_close()


class Browser:
    """A headless Chromium with a profile of its own, so the browser's storage starts empty, or with a profile
    given, which outlives the browser."""

    def __init__(self, width=1000, height=800, profile=None):
        self.keep_profile = profile is not None
        self.profile = profile or tempfile.mkdtemp(prefix="tessera-chromium-")
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                         "--window-size=%d,%d" % (width, height), "--user-data-dir=" + self.profile,
                         "--disable-background-timer-throttling", "--disable-renderer-backgrounding"):
            options.add_argument(argument)
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)

    def open(self, url):
        """Loads the page and waits until the game has its files."""
        self.driver.get(url)
        self.wait_for("return !!(window.Module && Module.tesseraReady);", "the game to start")

    def wait_for_pack_ahead(self, seconds=MAKING_SECONDS):
        """The name of the pack the page made ahead for "New stages", once it is stored and its progress bar gone."""
        self.wait_for(PACK_MADE_AHEAD, "the pack made ahead", seconds)
        return self.driver.execute_script("return window.tesseraAhead;")

    def wait_for(self, script, what, seconds=READY_SECONDS):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if self.driver.execute_script(script):
                return
            time.sleep(0.05)
        raise AssertionError("timed out waiting for " + what)

    def canvas(self):
        """Canvas 0's store, bottom-up BGR, all 640 x 480 x 3 bytes."""
        encoded = self.driver.execute_script(
            "var bytes = Module.HEAPU8.subarray(Module._tessera_canvas_pixels(), Module._tessera_canvas_pixels() + %d);"
            "var text = ''; for (var i = 0; i < bytes.length; i += 32768) "
            "text += String.fromCharCode.apply(null, bytes.subarray(i, i + 32768));"
            "return btoa(text);" % CANVAS_BYTES)
        return base64.b64decode(encoded)

    def mouse(self, kind, x, y, button=None):
        """A real mouse event at canvas pixel (x, y), through the browser's input pipeline."""
        left, top, scale = self.driver.execute_script(
            "var r = document.getElementById('screen').getBoundingClientRect();"
            "return [r.left, r.top, r.width / 640];")
        event = {"type": kind, "x": left + (x + 0.5) * scale, "y": top + (y + 0.5) * scale}
        if button is not None:
            event.update({"button": button, "clickCount": 1})
        self.driver.execute_cdp_cmd("Input.dispatchMouseEvent", event)

    def click(self, x, y, button="left", hold=0.1):
        """A real mouse click at canvas pixel (x, y), the button held for hold seconds."""
        self.mouse("mousePressed", x, y, button)
        time.sleep(hold)
        self.mouse("mouseReleased", x, y, button)

    def recording(self):
        """The session the page has recorded so far, as a runner script."""
        return self.driver.execute_script(
            "return Module.FS.readFile(Module.UTF8ToString(Module._tessera_recording()), {encoding: 'utf8'});")

    def recorded_presses(self):
        """How many left and right presses the page's snapshots saw, from its recording."""
        lines = self.recording().splitlines()
        return sum(line.endswith(" L") for line in lines), sum(line.endswith(" R") for line in lines)

    def page_point(self, x, y):
        """The page position of the centre of canvas pixel (x, y), at whatever scale the canvas is shown."""
        left, top, scale = self.driver.execute_script(
            "var r = document.getElementById('screen').getBoundingClientRect();"
            "return [r.left, r.top, r.width / 640];")
        return left + (x + 0.5) * scale, top + (y + 0.5) * scale

    def emulate(self, width, height, ratio, mobile=True):
        """A screen of width x height CSS pixels at a device pixel ratio, with touch input when mobile."""
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": ratio, "mobile": mobile})
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": mobile, "maxTouchPoints": 5})

    def touch(self, kind, points):
        """A real touch event: touchStart, touchMove or touchEnd with the points (id, page x, page y) still down,
        or for touchEnd the ones lifted (none: all)."""
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {
            "type": kind, "touchPoints": [{"id": i, "x": x, "y": y} for i, x, y in points]})

    def key(self, kind, code, name):
        """A real key event (keyDown or keyUp) with its virtual key code."""
        self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", {
            "type": kind, "windowsVirtualKeyCode": code, "nativeVirtualKeyCode": code, "key": name, "code": name})

    def close(self):
        self.driver.quit()
        if not self.keep_profile:
            shutil.rmtree(self.profile, ignore_errors=True)


def native_frames(runner, run_dir, script, shots, stage=None, progress=None):
    """The headless runner's canvas at each shot frame, as bottom-up BGR bytes."""
    from PIL import Image

    work = tempfile.mkdtemp(prefix="tessera-native-")
    try:
        for name in os.listdir(run_dir):
            if name.startswith("st") and name.endswith(".dat"):
                shutil.copy(os.path.join(run_dir, name), work)
        if progress is not None:
            with open(os.path.join(work, "hist.dat"), "wb") as out:
                out.write(progress)
        command = [runner, "--headless", "--dir", work, "--input", script]
        if stage is not None:
            command += ["--stage", str(stage)]
        for frame in shots:
            command += ["--shot", "%d:%s/shot%d.png" % (frame, work, frame)]
        subprocess.run(command, check=True)
        pictures = {}
        for frame in shots:
            with Image.open("%s/shot%d.png" % (work, frame)) as image:
                pictures[frame] = image.convert("RGB").transpose(Image.Transpose.FLIP_TOP_BOTTOM).tobytes("raw", "BGR")
        return pictures
    finally:
        shutil.rmtree(work, ignore_errors=True)


def stage_one_started(runner, run_dir, seed):
    """The headless runner's picture of stage 1 at rest, chosen by one click on its bar at (480, 33)."""
    work = tempfile.mkdtemp(prefix="tessera-native-")
    try:
        script = os.path.join(work, "started.txt")
        with open(script, "w") as out:
            out.write("seed %d\n0 480 33 -\n1 480 33 L\n2 480 33 -\n80 480 33 -\n" % seed)
        return native_frames(runner, run_dir, script, [80])[80]
    finally:
        shutil.rmtree(work, ignore_errors=True)


def first_difference(expected, actual):
    """Where two canvases first differ, as (x, y from the top, channel), or None."""
    for index, (a, b) in enumerate(zip(expected, actual)):
        if a != b:
            pixel, channel = divmod(index, 3)
            return pixel % 640, 479 - pixel // 640, "BGR"[channel]
    return None if len(expected) == len(actual) else "length"


def save_pair(expected, actual, name):
    """Writes both canvases as PNGs for a look at a failure; returns where they are."""
    from PIL import Image

    folder = tempfile.mkdtemp(prefix="tessera-web-failure-")
    for kind, data in (("expected", expected), ("actual", actual)):
        Image.frombytes("RGB", (640, 480), data, "raw", "BGR").transpose(Image.Transpose.FLIP_TOP_BOTTOM).save(
            os.path.join(folder, "%s-%s.png" % (name, kind)))
    return folder

"""Browser tests of the page on phones and tablets: touch play, every screen size, offline and installable.

usage: mobile_test.py touch|screens|offline WEB_BUILD RUNNER RUN_DIR SOURCE_DIR
"""
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from page_driver import READY_SECONDS, Browser, PageServer, stage_one_started  # noqa: E402
from web_test import COVER_FRAME, SETTLE_SECONDS, expect_picture, perfect_picture  # noqa: E402

FRAME_SECONDS = 0.05
TAP_SECONDS = 0.03   # a finger's tap, shorter than a frame
STEP_SECONDS = 0.12  # between touches, so each frame sees where the finger is

PHONE_PORTRAIT = (390, 844)
PHONE_LANDSCAPE = (844, 390)
TABLET = (768, 1024)
DESKTOP = (1280, 800)


class TouchPlayer:
    """Fingers on the page: taps and drags at canvas pixels, taps on the Turn button."""

    def __init__(self, browser):
        self.browser = browser

    def tap(self, x, y):
        page_x, page_y = self.browser.page_point(x, y)
        self.browser.touch("touchStart", [(0, page_x, page_y)])
        time.sleep(TAP_SECONDS)
        self.browser.touch("touchEnd", [])
        time.sleep(STEP_SECONDS)

    def turn_button(self, held=None):
        """Taps Turn; with held (a finger's page point on the canvas) while that finger stays down."""
        x, y = self.browser.driver.execute_script(
            "var r = document.getElementById('turn').getBoundingClientRect();"
            "return [r.left + r.width / 2, r.top + r.height / 2];")
        down = [] if held is None else [(0,) + held]
        self.browser.touch("touchStart", down + [(1, x, y)])
        time.sleep(TAP_SECONDS)
        self.browser.touch("touchEnd", [] if held is None else [(1, x, y)])
        time.sleep(STEP_SECONDS)

    def second_finger_tap(self, held):
        self.browser.touch("touchStart", [(0,) + held, (1, held[0] + 90, held[1] + 40)])
        time.sleep(TAP_SECONDS)
        self.browser.touch("touchEnd", [(1, held[0] + 90, held[1] + 40)])
        time.sleep(STEP_SECONDS)

    def land(self, x, y):
        point = self.browser.page_point(x, y)
        self.browser.touch("touchStart", [(0,) + point])
        time.sleep(STEP_SECONDS)
        return point

    def drag_to(self, start, x, y, steps=6):
        """Moves the finger from start (page point) to canvas pixel (x, y) and lifts it there."""
        end = self.browser.page_point(x, y)
        for i in range(1, steps + 1):
            self.browser.touch("touchMove", [(0, start[0] + (end[0] - start[0]) * i / steps,
                                              start[1] + (end[1] - start[1]) * i / steps)])
            time.sleep(FRAME_SECONDS)
        time.sleep(STEP_SECONDS)
        self.browser.touch("touchEnd", [])
        time.sleep(STEP_SECONDS)


def assert_at_rest(browser):
    moved = browser.driver.execute_script("return [scrollX, scrollY, visualViewport.scale];")
    assert moved == [0, 0, 1], "the page scrolled or zoomed: scroll (%s, %s), scale %s" % tuple(moved)


def touch(build, runner, run_dir, source):
    """Stage 1 cleared with taps alone, then with drags; turns by the Turn button and a second finger."""
    seed, steps, perfect = perfect_picture(runner, run_dir, source)
    server = PageServer(build)
    browser = Browser()
    fingers = TouchPlayer(browser)
    try:
        browser.emulate(*PHONE_LANDSCAPE, 2)
        browser.open(server.url("page/index.html?seed=%d" % seed))
        time.sleep(SETTLE_SECONDS)
        # Taps: each left click of the script is a tap where it clicks, each right click a tap on Turn.
        fingers.tap(480, 33)
        time.sleep(SETTLE_SECONDS)
        taps = 1
        for frame, x, y, buttons in steps:
            if frame > COVER_FRAME:
                break
            if buttons == "L":
                fingers.tap(x, y)
                taps += 1
            elif buttons == "R":
                fingers.turn_button()
        time.sleep(SETTLE_SECONDS)
        expect_picture(perfect, browser.canvas(), "taps", "stage 1 played with taps is not at rest on \"Perfect!\"")
        assert browser.recorded_presses() == (taps, 3), "%d taps and 3 turns, presses seen: %s" % (
            taps, browser.recorded_presses())
        assert_at_rest(browser)
        print("stage 1 cleared with %d taps and 3 taps on Turn, one press each; no scroll, no zoom" % taps)

        # Drags: a finger carries each piece from the chooser to its place.
        browser.open(server.url("page/index.html?seed=%d" % seed))
        time.sleep(SETTLE_SECONDS)
        fingers.tap(480, 33)
        time.sleep(SETTLE_SECONDS)
        fingers.tap(630, 470)
        held = fingers.land(320, 240)
        fingers.second_finger_tap(held)
        fingers.second_finger_tap(held)
        fingers.drag_to(held, 127, 163)
        fingers.tap(630, 470)
        fingers.drag_to(fingers.land(320, 240), 281, 86)
        fingers.tap(630, 470)
        held = fingers.land(320, 240)
        fingers.turn_button(held)
        fingers.drag_to(held, 50, 86)
        time.sleep(SETTLE_SECONDS)
        expect_picture(perfect, browser.canvas(), "drags", "stage 1 played with drags is not at rest on \"Perfect!\"")
        assert_at_rest(browser)
        print("stage 1 cleared again with drags, turned by two second-finger taps and Turn under a held finger")
    finally:
        browser.close()
        server.close()


def rectangles(browser):
    return browser.driver.execute_script(
        "function box(id) { var r = document.getElementById(id).getBoundingClientRect();"
        " return [r.left, r.top, r.right, r.bottom]; }"
        "return {canvas: box('screen'), controls: box('controls'), width: innerWidth, height: innerHeight,"
        " scrollWidth: document.documentElement.scrollWidth};")


def board_moves_with_controls(browser, canvas):
    """Shows the progress bar among the controls for two frames, as making a pack does: whether the canvas moved."""
    browser.driver.set_script_timeout(READY_SECONDS)
    moved = browser.driver.execute_async_script(
        "var done = arguments[arguments.length - 1], making = document.getElementById('making');"
        "document.getElementById('making-text').textContent = 'Making the next stages: stage 1 of 10';"
        "making.hidden = false;"
        "requestAnimationFrame(function () { requestAnimationFrame(function () {"
        "  var r = document.getElementById('screen').getBoundingClientRect();"
        "  making.hidden = true; done([r.left, r.top, r.right, r.bottom]); }); });")
    return moved != canvas


def screens(build, runner, run_dir, source):
    """Every screen shows the whole canvas at 4:3 beside its controls, and maps taps back to exact pixels."""
    server = PageServer(build)
    browser = Browser()
    grid = [(x, y) for x in (0, 1, 213, 426, 638, 639) for y in (0, 240, 478, 479)]
    failures = []
    try:
        for (width, height), mobile in ((PHONE_PORTRAIT, True), (PHONE_LANDSCAPE, True), (TABLET, True),
                                        (DESKTOP, False)):
            for ratio in (1, 2, 3):
                name = "%dx%d at %d" % (width, height, ratio)
                browser.emulate(width, height, ratio, mobile)
                browser.open(server.url("page/index.html?seed=1"))
                # The progress bar shown while the page makes its pack ahead changes the room left for the canvas.
                browser.wait_for_pack_ahead()
                shown = rectangles(browser)
                left, top, right, bottom = shown["canvas"]
                if left < 0 or top < 0 or right > shown["width"] + 0.01 or bottom > shown["height"] + 0.01:
                    failures.append("%s: the canvas %s is not all on the %dx%d screen" % (
                        name, shown["canvas"], shown["width"], shown["height"]))
                # Layout keeps positions in 64ths of a CSS pixel.
                if abs((right - left) * 3 - (bottom - top) * 4) > 4 * 4 / 64:
                    failures.append("%s: the canvas is %s, not 4:3" % (name, shown["canvas"]))
                c = shown["controls"]
                if c[0] < right and left < c[2] and c[1] < bottom and top < c[3]:
                    failures.append("%s: the controls %s cover the canvas %s" % (name, c, shown["canvas"]))
                if shown["scrollWidth"] > shown["width"]:
                    failures.append("%s: the page scrolls sideways" % name)
                for x, y in grid:
                    page_x, page_y = browser.page_point(x, y)
                    if mobile:
                        browser.touch("touchStart", [(0, page_x, page_y)])
                        browser.touch("touchEnd", [])
                    else:
                        browser.driver.execute_cdp_cmd("Input.dispatchMouseEvent",
                                                       {"type": "mouseMoved", "x": page_x, "y": page_y})
                    time.sleep(FRAME_SECONDS * 2.5)
                    reached = browser.driver.execute_script("return Module._tessera_test_snapshot_mouse();")
                    if reached != x + 65536 * y:
                        failures.append("%s: game pixel (%d, %d) reached the game as (%d, %d)" % (
                            name, x, y, reached % 65536, reached // 65536))
                if height > width and board_moves_with_controls(browser, shown["canvas"]):
                    failures.append("%s: the canvas moved when the progress bar showed below it" % name)
                print("%s: canvas %.1f x %.1f at (%.1f, %.1f), %s" % (
                    name, right - left, bottom - top, left, top,
                    browser.driver.execute_script("return document.getElementById('screen').className || 'smooth';")))
        assert not failures, "\n".join(failures)
    finally:
        browser.close()
        server.close()


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wait_for_cache(browser):
    browser.wait_for("return !!navigator.serviceWorker.controller;", "the service worker to control the page")
    browser.driver.set_script_timeout(30)
    return browser.driver.execute_async_script(
        "var done = arguments[arguments.length - 1];"
        "caches.keys().then(function (names) {"
        " done(names.filter(function (n) { return n.indexOf('tessera ') === 0; })); });")


def offline(build, runner, run_dir, source):
    """After one visit the page plays with no server; a new build replaces the cache; the manifest installs."""
    seed = 4
    work = tempfile.mkdtemp(prefix="tessera-offline-")
    playing = stage_one_started(runner, run_dir, seed)
    profile = os.path.join(work, "profile")
    port = free_port()
    url = "http://127.0.0.1:%d/page/index.html?seed=%d" % (port, seed)
    try:
        server = PageServer(build, port, no_store=True)
        browser = Browser(profile=profile)
        browser.open(url)
        errors = browser.driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})["installabilityErrors"]
        assert errors == [], "the page cannot be installed: %s" % errors
        first_cache = wait_for_cache(browser)
        assert len(first_cache) == 1, first_cache
        browser.close()
        server.close()
        print("installable; cached as %s" % first_cache[0])

        # No server now: the page comes from its cache and plays.
        browser = Browser(profile=profile)
        browser.open(url)
        time.sleep(SETTLE_SECONDS)
        browser.mouse("mouseMoved", 480, 33)
        time.sleep(FRAME_SECONDS * 2)
        browser.click(480, 33)
        time.sleep(SETTLE_SECONDS)
        expect_picture(playing, browser.canvas(), "offline", "with no server the page does not play")
        print("with the server gone the page loads from its cache and plays")

        # A new build: the running page offers it, and its cache replaces the old one.
        sources = os.path.join(work, "sources")
        shutil.copytree(os.path.join(source, "src/web/page"), sources)
        with open(os.path.join(sources, "index.html"), "a") as page:
            page.write("<!-- a newer build -->\n")
        served = os.path.join(work, "served")
        shutil.copytree(os.path.join(build, "page"), os.path.join(served, "page"))
        subprocess.run(["cmake", "-DSOURCE=" + sources, "-DICONS=" + os.path.join(build, "icons"),
                        "-DWORKER=" + os.path.join(build, "pack-worker"), "-DOUTPUT=" + os.path.join(served, "page"), "-P",
                        os.path.join(source, "src/web/page_files.cmake")], check=True)
        server = PageServer(served, port, no_store=True)
        browser.open(url)
        newer = ("return new XMLSerializer().serializeToString(document).indexOf('a newer build') >= 0"
                 " && !!(window.Module && Module.tesseraReady);")
        browser.wait_for("return !document.getElementById('update').hidden;", "the offer of the new version")
        assert not browser.driver.execute_script(newer), "the new build ran before the player chose it"
        browser.driver.execute_script("document.getElementById('reload').click();")
        browser.wait_for(newer, "the new version")
        now_cached = wait_for_cache(browser)
        assert len(now_cached) == 1 and now_cached != first_cache, "caches after the update: %s" % now_cached
        browser.close()
        server.close()
        print("a new build was offered, taken on Reload, and its cache %s replaced the old one" % now_cached[0])
    finally:
        shutil.rmtree(work, ignore_errors=True)


TESTS = {"touch": touch, "screens": screens, "offline": offline}

if __name__ == "__main__":
    if len(sys.argv) != 6 or sys.argv[1] not in TESTS:
        sys.stderr.write(__doc__)
        sys.exit(2)
    TESTS[sys.argv[1]](*sys.argv[2:])

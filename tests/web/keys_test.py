"""Browser tests of play without a mouse: stage 1 cleared by keys with the canvas focused, by a scripted gamepad,
each replayed natively to the same picture; every control reached by Tab, with visible focus and a name.

usage: keys_test.py keys|pad|focus WEB_BUILD RUNNER RUN_DIR KEY_PLAN
"""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from page_driver import Browser, PageServer, native_frames, first_difference, save_pair  # noqa: E402

SEED = 4
START = (5, 5)  # where the mouse is when the first key comes
STILL_SECONDS = 0.6
WAIT_SECONDS = 90
KEY_CODES = {"Left": 0x25, "Up": 0x26, "Right": 0x27, "Down": 0x28, "Return": 0x0D, "r": 0x52, "Tab": 0x09}
# The Gamepad API's standard layout: the button (or stick axis and way) for each key of the plan.
PAD_BUTTONS = {"Return": 0, "r": 1, "Up": 12, "Left": 14, "Right": 15}
PAD_STICK = {"Down": (1, 1.0)}


def key_plan(tool, run_dir):
    return subprocess.run([tool, run_dir, "0", str(SEED), str(START[0]), str(START[1])], check=True,
                          capture_output=True, text=True).stdout.split()


def frames_run(browser):
    return browser.driver.execute_script("return Module._tessera_frames_run();")


def wait_frames(browser, count):
    target = frames_run(browser) + count
    browser.wait_for("return Module._tessera_frames_run() >= %d;" % target, "%d frames" % count, WAIT_SECONDS)


def ring_shown(browser):
    return browser.driver.execute_script("return !document.getElementById('key-ring').hidden;")


def at_rest(browser):
    """The canvas once it stands still: "Perfect!" has played out and the stage list is back."""
    before = browser.canvas()
    deadline = time.monotonic() + WAIT_SECONDS
    while time.monotonic() < deadline:
        time.sleep(STILL_SECONDS)
        now = browser.canvas()
        if now == before:
            return now
        before = now
    raise AssertionError("the canvas never came to rest")


def expect_replay(browser, runner, run_dir, actual):
    """The page's recording, replayed by the headless runner, ends on the picture the page shows."""
    work = tempfile.mkdtemp(prefix="tessera-web-keys-")
    recording = os.path.join(work, "session.txt")
    with open(recording, "w") as out:
        out.write(browser.recording())
    lines = [line.split() for line in open(recording) if line[:1].isdigit()]
    last = int(lines[-1][0])
    replayed = native_frames(runner, run_dir, recording, [last])[last]
    where = first_difference(replayed, actual)
    assert where is None, "the replay differs at %s (%s)" % (where, save_pair(replayed, actual, "keys"))
    print("the recording, %d frames, replays natively to the same picture" % (last + 1))


def start(build, browser, server):
    browser.open(server.url("page/index.html?seed=%d" % SEED))
    browser.mouse("mouseMoved", *START)
    wait_frames(browser, 2)
    focused = browser.driver.execute_script("return document.activeElement.id;")
    assert focused == "screen", "the canvas does not have the focus at start: %s" % focused
    assert not ring_shown(browser), "the ring shows while the mouse steers"


def finish(browser, runner, run_dir, how):
    browser.wait_for("try { return Module.FS.readFile('/game/hist.dat')[4] === 1; } catch (e) { return false; }",
                     "stage 1 cleared by " + how, WAIT_SECONDS)
    print("stage 1 cleared by %s and saved" % how)
    expect_replay(browser, runner, run_dir, at_rest(browser))
    browser.mouse("mouseMoved", 300, 300)
    browser.wait_for("return document.getElementById('key-ring').hidden;", "the ring to hide when the mouse moves")


def keys(build, runner, run_dir, tool):
    """Stage 1 cleared by Chromium key events, all typed at once: the page takes one action a frame."""
    plan = key_plan(tool, run_dir)
    server = PageServer(build)
    browser = Browser()
    try:
        start(build, browser, server)
        for name in plan:
            browser.key("keyDown", KEY_CODES[name], name)
            browser.key("keyUp", KEY_CODES[name], name)
        wait_frames(browser, 2)
        assert ring_shown(browser), "no ring shows where the keys put the mouse"
        finish(browser, runner, run_dir, "keys")
    finally:
        browser.close()
        server.close()


def pad(build, runner, run_dir, tool):
    """Stage 1 cleared by a gamepad the test scripts through navigator.getGamepads, read once a frame."""
    plan = key_plan(tool, run_dir)
    server = PageServer(build)
    browser = Browser()
    try:
        start(build, browser, server)
        browser.driver.execute_script(
            "window.testPad = {connected: true, mapping: 'standard', axes: [0, 0, 0, 0],"
            " buttons: Array.from({length: 17}, function () { return {pressed: false, value: 0}; })};"
            "navigator.getGamepads = function () { return [window.testPad]; };")
        for name in plan:
            if name in PAD_BUTTONS:
                down = "window.testPad.buttons[%d].pressed = true;" % PAD_BUTTONS[name]
                up = "window.testPad.buttons[%d].pressed = false;" % PAD_BUTTONS[name]
            else:
                axis, way = PAD_STICK[name]
                down = "window.testPad.axes[%d] = %f;" % (axis, way)
                up = "window.testPad.axes[%d] = 0;" % axis
            # Held over two frames and let go over two: the page reads the pad once a frame.
            browser.driver.execute_script(down)
            wait_frames(browser, 2)
            browser.driver.execute_script(up)
            wait_frames(browser, 2)
        finish(browser, runner, run_dir, "a gamepad")
    finally:
        browser.close()
        server.close()


def accessible_name(browser):
    return browser.driver.execute_script(
        "var e = document.activeElement;"
        "return (e.getAttribute('aria-label') || e.textContent || e.title || '').trim();")


def focus(build, runner, run_dir, tool):
    """Tab reaches every control and the canvas, each with a visible focus and a name; the canvas never keeps it."""
    server = PageServer(build)
    browser = Browser()
    try:
        browser.open(server.url("page/index.html?seed=%d" % SEED))
        browser.driver.execute_script("document.activeElement.blur();")
        reached = []
        for _ in range(30):
            browser.key("keyDown", KEY_CODES["Tab"], "Tab")
            browser.key("keyUp", KEY_CODES["Tab"], "Tab")
            element = browser.driver.execute_script(
                "var e = document.activeElement; return e === document.body ? '' : (e.id || e.tagName);")
            if element in reached:
                break
            if not element:
                continue
            reached.append(element)
            outline = browser.driver.execute_script(
                "var s = getComputedStyle(document.activeElement); return [s.outlineStyle, s.outlineWidth];")
            assert outline[0] != "none" and outline[1] != "0px", "%s shows no focus: %s" % (element, outline)
            assert accessible_name(browser), "%s has no accessible name" % element
        for wanted in ("screen", "turn", "new-stages", "todays-pack", "SUMMARY"):
            assert wanted in reached, "Tab never reaches %s (reached %s)" % (wanted, reached)
        print("Tab reaches %s, each with a visible focus and a name" % ", ".join(reached))
        # Keys on a control are the control's, never the game's.
        browser.driver.execute_script("document.getElementById('new-stages').focus();")
        browser.key("keyDown", KEY_CODES["Down"], "Down")
        browser.key("keyUp", KEY_CODES["Down"], "Down")
        wait_frames(browser, 3)
        assert not ring_shown(browser), "an arrow on a button moved the game's cursor"
    finally:
        browser.close()
        server.close()


TESTS = {"keys": keys, "pad": pad, "focus": focus}

if __name__ == "__main__":
    if len(sys.argv) != 6 or sys.argv[1] not in TESTS:
        sys.stderr.write(__doc__)
        sys.exit(2)
    TESTS[sys.argv[1]](*sys.argv[2:])

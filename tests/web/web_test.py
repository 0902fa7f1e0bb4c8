"""Browser tests of the page: frames identical to the headless runner's, real play kept across a reload, a missing
stage, quick clicks, and two tabs clearing stages on one profile.

usage: web_test.py identical-frames|real-play|missing-stage|quick-clicks|two-tabs WEB_BUILD RUNNER RUN_DIR SOURCE_DIR
"""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from page_driver import (Browser, PageServer, first_difference, native_frames, save_pair,  # noqa: E402
                         stage_one_started)

FRAME_SECONDS = 0.05
HOLD_SECONDS = 0.1  # a press held over two frames, as a player's usually is
QUICK_SECONDS = 0.005  # a tap: pressed and released well within one frame
SETTLE_SECONDS = 3.0

# The README's screenshot scripts with their stage and progress, and a whole stage played and cleared.
SELECT_PROGRESS = bytes([0xB6, 0x0F, 0x13, 0, 0, 0, 0, 1] + [0] * 16)
SCRIPTS = [
    ("docs/screenshots/select.txt", None, SELECT_PROGRESS),
    ("docs/screenshots/play.txt", 6, None),
    ("docs/screenshots/chooser.txt", 8, None),
    ("docs/screenshots/celebration.txt", 0, None),
    ("tests/data/whole-stage.txt", 0, None),
]


def read_steps(path):
    """The script's seed and its (frame, x, y, buttons) steps."""
    seed, steps = None, []
    with open(path) as script:
        for line in script:
            words = line.split()
            if not words or words[0].startswith("#"):
                continue
            if words[0] == "seed":
                seed = int(words[1])
            else:
                steps.append((int(words[0]), int(words[1]), int(words[2]), words[3]))
    return seed, steps


def identical_frames(build, runner, run_dir, source):
    server = PageServer(build)
    browser = Browser()
    try:
        failures = []
        for script, stage, progress in SCRIPTS:
            path = os.path.join(source, script)
            _, steps = read_steps(path)
            last = steps[-1][0]
            shots = sorted(set(list(range(0, last + 1, 10)) + [last]))
            expected = native_frames(runner, run_dir, path, shots, stage, progress)
            browser.open(server.url("page/index.html?test"))
            if progress is not None:
                browser.driver.execute_script(
                    "Module.FS.writeFile('/game/hist.dat', new Uint8Array(arguments[0]));", list(progress))
            with open(path) as text:
                loaded = browser.driver.execute_script(
                    "return Module.ccall('tessera_test_load_script', 'number', ['string', 'number'], arguments);",
                    text.read(), -1 if stage is None else stage)
            if not loaded:
                failures.append("%s: the page did not take the script" % script)
                continue
            for frame in shots:
                browser.driver.execute_script("Module._tessera_test_run_to(arguments[0]);", frame)
                actual = browser.canvas()
                where = first_difference(expected[frame], actual)
                if where is not None:
                    failures.append("%s frame %d: first difference at %s (pictures in %s)" % (
                        script, frame, where, save_pair(expected[frame], actual, "frame%d" % frame)))
            print("%s: %d frames compared" % (script, len(shots)))
        if failures:
            raise AssertionError("\n".join(failures))
    finally:
        browser.close()
        server.close()


def expect_picture(expected, actual, name, what):
    """Fails with where the canvases first differ, and both pictures saved for a look."""
    where = first_difference(expected, actual)
    assert where is None, "%s: first difference at %s (pictures in %s)" % (what, where, save_pair(expected, actual, name))


def play_steps(browser, steps, until_frame):
    """Plays script steps in real time: moves, then presses held long enough for the frames to see."""
    held = ""
    for frame, x, y, buttons in steps:
        if frame > until_frame:
            break
        browser.mouse("mouseMoved", x, y)
        time.sleep(FRAME_SECONDS * 1.5)
        for letter, button in (("L", "left"), ("R", "right")):
            if letter in buttons and letter not in held:
                browser.mouse("mousePressed", x, y, button)
                time.sleep(HOLD_SECONDS)
            if letter in held and letter not in buttons:
                browser.mouse("mouseReleased", x, y, button)
                time.sleep(HOLD_SECONDS)
        held = buttons


COVER_FRAME = 24  # the whole-stage script's covering drop is released here


def perfect_picture(runner, run_dir, source):
    """The whole-stage script's seed, its steps, and its picture at rest on "Perfect!" after the covering drop,
    as the headless runner draws it."""
    seed, steps = read_steps(os.path.join(source, "tests/data/whole-stage.txt"))
    work = tempfile.mkdtemp(prefix="tessera-web-")
    covered = os.path.join(work, "covered.txt")
    with open(covered, "w") as out:
        out.write("seed %d\n" % seed)
        out.writelines("%d %d %d %s\n" % step for step in steps if step[0] <= COVER_FRAME)
        out.write("%d 50 86 -\n" % (COVER_FRAME + 80))
    return seed, steps, native_frames(runner, run_dir, covered, [COVER_FRAME + 80], 0)[COVER_FRAME + 80]


def real_play(build, runner, run_dir, source):
    """Stage 1 cleared with real mouse events, "Perfect!" seen, then the list after a reload shows it cleared."""
    seed, steps, perfect = perfect_picture(runner, run_dir, source)
    work = tempfile.mkdtemp(prefix="tessera-web-")
    cleared_list = stage_list_with(runner, run_dir, seed, {0})

    server = PageServer(build)
    # A window large enough for the page to show the canvas twice as large:
    # the mouse must come back to the canvas's own pixels.
    browser = Browser(1600, 1200)
    try:
        browser.open(server.url("page/index.html?seed=%d" % seed))
        scale = browser.driver.execute_script("return document.getElementById('screen').getBoundingClientRect().width / 640;")
        assert scale == 2, "the canvas is shown %s times as large, not twice" % scale
        # The page names the release the native game says it is, where it can be seen.
        release = subprocess.run([runner, "--version"], stdout=subprocess.PIPE, check=True).stdout.decode().split()[-1]
        shown = browser.driver.execute_script(
            "var v = document.getElementById('version'); return v.offsetParent ? v.textContent : 'hidden';")
        assert shown == "Tessera " + release, "the page shows %r beside its controls, not Tessera %s" % (shown, release)
        # The script starts in play of stage 1: a player picks it on the list first.
        time.sleep(SETTLE_SECONDS)
        play_steps(browser, [(0, 480, 33, "-"), (1, 480, 33, "L"), (2, 480, 33, "-")], 2)
        time.sleep(FRAME_SECONDS * 4)
        play_steps(browser, steps, COVER_FRAME)
        time.sleep(SETTLE_SECONDS)
        actual = browser.canvas()
        expect_picture(perfect, actual, "perfect", "after the covering drop the page is not at rest on \"Perfect!\"")
        print("\"Perfect!\" at rest, byte for byte as the headless runner draws it")
        # The session saved by the page replays natively to the same picture.
        recording = os.path.join(work, "session.txt")
        with open(recording, "w") as out:
            out.write(browser.recording())
        _, recorded = read_steps(recording)
        last = recorded[-1][0]
        replayed = native_frames(runner, run_dir, recording, [last])[last]
        expect_picture(replayed, actual, "replay", "the page's session does not replay natively")
        print("the page's session, %d frames, replays natively to the same picture" % (last + 1))
        browser.mouse("mouseMoved", 300, 300)
        time.sleep(FRAME_SECONDS * 2)
        browser.click(300, 300, hold=HOLD_SECONDS)
        time.sleep(SETTLE_SECONDS)
        browser.open(server.url("page/index.html?seed=%d" % seed))
        browser.mouse("mouseMoved", 630, 470)
        time.sleep(SETTLE_SECONDS)
        expect_picture(cleared_list, browser.canvas(), "list", "after the reload the list does not show stage 1 cleared")
        print("after a reload the stage list shows stage 1 \"Cleared!\"")
        # Esc ends the game: the page says so, and no frame runs after it
        # (the mouse on stage 2 would light its entry up).
        before = browser.canvas()
        browser.key("keyDown", 0x1B, "Escape")
        browser.key("keyUp", 0x1B, "Escape")
        browser.wait_for("return !document.getElementById('ended').hidden;", "the end of the game")
        browser.mouse("mouseMoved", 500, 79)
        time.sleep(FRAME_SECONDS * 6)
        expect_picture(before, browser.canvas(), "escape", "a frame ran after Esc")
        print("Esc ended the game; no frame ran after it")
    finally:
        browser.close()
        server.close()


def missing_stage(build, runner, run_dir, source):
    """Without st5.dat the page shows the dialog with its text; OK ends the game."""
    server = PageServer(build)
    browser = Browser()
    try:
        browser.open(server.url("test-pages/without-st5/index.html"))
        browser.wait_for("return document.getElementById('box').open;", "the dialog")
        caption, text = browser.driver.execute_script(
            "return [document.getElementById('box-caption').textContent,"
            " document.getElementById('box-text').textContent];")
        assert caption == "失敗", caption
        assert text == "データファイルのロードに失敗しました。", text
        assert browser.driver.execute_script("return document.getElementById('ended').hidden;")
        browser.driver.execute_script("document.getElementById('box-ok').click();")
        browser.wait_for("return !document.getElementById('ended').hidden;", "the end of the game")
        print("dialog \"%s\": \"%s\"; OK ended the game" % (caption, text))
    finally:
        browser.close()
        server.close()


def stage_list_with(runner, run_dir, seed, cleared):
    """The stage list at rest as the headless runner draws it, with the given stages (0 to 9) cleared."""
    work = tempfile.mkdtemp(prefix="tessera-web-")
    listing = os.path.join(work, "list.txt")
    with open(listing, "w") as out:
        out.write("seed %d\n0 630 470 -\n60 630 470 -\n" % seed)
    flags = [1 if stage in cleared else 0 for stage in range(20)]
    return native_frames(runner, run_dir, listing, [60], None, bytes([0xB6, 0x0F, 0x13, 0] + flags))[60]


def quick_clicks(build, runner, run_dir, source):
    """Clicks held 5 ms, shorter than a frame, start a stage and are each seen once."""
    seed = 4
    expected = stage_one_started(runner, run_dir, seed)
    server = PageServer(build)
    browser = Browser()
    try:
        browser.open(server.url("page/index.html?seed=%d" % seed))
        time.sleep(SETTLE_SECONDS)
        browser.mouse("mouseMoved", 480, 33)
        time.sleep(FRAME_SECONDS * 2)
        browser.click(480, 33, hold=QUICK_SECONDS)
        time.sleep(SETTLE_SECONDS)
        expect_picture(expected, browser.canvas(), "quick", "a 5 ms click on stage 1 did not start it")
        # Five more quick clicks on an empty spot: each opens or closes the chooser, once.
        for _ in range(5):
            browser.click(480, 33, hold=QUICK_SECONDS)
            time.sleep(FRAME_SECONDS * 4)
        presses = browser.recorded_presses()[0]
        assert presses == 6, "6 quick clicks, %d presses seen:\n%s" % (presses, browser.recording())
        print("6 clicks held 5 ms: each seen once, and the first started stage 1 as the runner draws it")
    finally:
        browser.close()
        server.close()


def choose_and_play(browser, steps, bar_y):
    """Picks a stage on the list by its bar, then plays a script's steps in real time."""
    time.sleep(SETTLE_SECONDS)
    play_steps(browser, [(0, 480, bar_y, "-"), (1, 480, bar_y, "L"), (2, 480, bar_y, "-")], 2)
    time.sleep(FRAME_SECONDS * 4)
    play_steps(browser, steps, steps[-1][0])
    time.sleep(SETTLE_SECONDS)


def two_tabs(build, runner, run_dir, source):
    """Tab B opens, tab A opens; A clears stage 1, then B clears stage 2: both clears are kept."""
    seed, first = read_steps(os.path.join(source, "tests/data/whole-stage.txt"))
    _, second = read_steps(os.path.join(source, "tests/data/second-stage.txt"))
    both = stage_list_with(runner, run_dir, seed, {0, 1})
    server = PageServer(build)
    browser = Browser()
    try:
        url = server.url("page/index.html?seed=%d" % seed)
        browser.open(url)
        tab_b = browser.driver.current_window_handle
        browser.driver.switch_to.new_window("tab")
        browser.open(url)
        choose_and_play(browser, first, 33)
        browser.driver.switch_to.window(tab_b)
        choose_and_play(browser, second, 79)
        browser.mouse("mouseMoved", 630, 470)
        time.sleep(SETTLE_SECONDS)
        expect_picture(both, browser.canvas(), "tab-b", "tab B's list does not show both stages cleared")
        browser.open(url)
        browser.mouse("mouseMoved", 630, 470)
        time.sleep(SETTLE_SECONDS)
        expect_picture(both, browser.canvas(), "reloaded", "after a reload the stored progress lacks a clear")
        print("stage 1 cleared in tab A and stage 2 in tab B: both kept, in tab B and after a reload")
    finally:
        browser.close()
        server.close()


TESTS = {"identical-frames": identical_frames, "real-play": real_play, "missing-stage": missing_stage,
         "quick-clicks": quick_clicks, "two-tabs": two_tabs}

if __name__ == "__main__":
    if len(sys.argv) != 6 or sys.argv[1] not in TESTS:
        sys.stderr.write(__doc__)
        sys.exit(2)
    TESTS[sys.argv[1]](*sys.argv[2:])

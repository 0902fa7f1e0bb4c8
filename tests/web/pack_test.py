"""Browser tests of stage packs in the page: New stages made by the worker and played, a pack's address and the
level choice, two tabs on one pack, a pack made offline, and bad links. Every pack's files are held against the native stage tool's for the same seed.

usage: pack_test.py new-stages|pack-address|pack-two-tabs|offline-pack|bad-links WEB_BUILD RUNNER RUN_DIR SOURCE_DIR CLEAR_PLAN
"""
import base64
import datetime
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from selenium.webdriver.support.ui import Select  # noqa: E402

from page_driver import MAKING_SECONDS, Browser, PageServer, stage_one_started  # noqa: E402
from mobile_test import free_port, wait_for_cache  # noqa: E402
from web_test import (FRAME_SECONDS, SETTLE_SECONDS, choose_and_play, expect_picture, read_steps,  # noqa: E402
                      stage_list_with)

PACK_FILES = ["st%d.dat" % stage for stage in range(10)] + ["pack.txt"]
TAP_TO_LIST_SECONDS = 1.0
REST = (630, 470)        # the mouse where it lights nothing up on the stage list


def stage_tool(runner):
    """The native stage tool of the runner's build."""
    return os.path.join(os.path.dirname(runner), "tools", "tessera-stages")


def native_pack(runner, seed, work):
    """The directory where the native stage tool has written the pack of seed."""
    directory = os.path.join(work, "native-%d" % seed)
    subprocess.run([stage_tool(runner), "pack", "--seed", str(seed), "--jobs", "2", "-o", directory], check=True,
                   stderr=subprocess.DEVNULL)
    return directory


def page_files(browser):
    """The pack's files in the directory the page's game plays in, by name."""
    found = browser.driver.execute_script(
        "var names = arguments[0], files = {};"
        "names.forEach(function (name) {"
        "  var bytes = Module.FS.readFile(Module.FS.cwd() + '/' + name), text = '';"
        "  for (var i = 0; i < bytes.length; i += 32768) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 32768));"
        "  files[name] = btoa(text); });"
        "return files;", PACK_FILES)
    return {name: base64.b64decode(data) for name, data in found.items()}


def expect_native_files(browser, directory, what):
    files = page_files(browser)
    for name in PACK_FILES:
        with open(os.path.join(directory, name), "rb") as native:
            expected = native.read()
        assert files[name] == expected, "%s: %s differs from the native tool's (%d bytes against %d)" % (
            what, name, len(files[name]), len(expected))
    print("%s: its %d files are byte for byte the native tool's" % (what, len(PACK_FILES)))


def page_text(browser, element):
    return browser.driver.execute_script("return document.getElementById(arguments[0]).textContent;", element)


def wait_for_set(browser, label):
    """Waits until the game plays in the set called label."""
    browser.wait_for("return !!(window.Module && Module.tesseraReady) && "
                     "document.getElementById('set-label').textContent === " + json.dumps(label) + ";",
                     "the set \"%s\"" % label, MAKING_SECONDS)


def current_pack(browser):
    """The pack the page's address names."""
    return int(browser.driver.execute_script("return new URLSearchParams(location.search).get('pack');"))


def list_at_rest(browser):
    browser.mouse("mouseMoved", *REST)
    time.sleep(SETTLE_SECONDS)
    return browser.canvas()


def wait_for_progress_to_move(browser):
    """Waits until the progress bar shows a pack being made and then a later stage of it."""
    browser.wait_for("return !document.getElementById('making').hidden;", "the progress bar")
    first = browser.driver.execute_script("return document.getElementById('pack-progress').value;")
    browser.wait_for("return document.getElementById('pack-progress').value > %d;" % first,
                     "the progress bar to move on from stage %d" % (first + 1), MAKING_SECONDS)
    later = browser.driver.execute_script("return document.getElementById('pack-progress').value;")
    print("the progress bar moved from stage %d to stage %d" % (first + 1, later + 1))


def clear_plan(plan_tool, directory, seed, work, stage=0):
    """The steps that clear a stage (0 to 9) of the stages in directory, from the native clear plan."""
    path = os.path.join(work, "plan-%s-%d.txt" % (os.path.basename(directory), stage))
    with open(path, "w") as out:
        subprocess.run([plan_tool, directory, str(stage), str(seed)], check=True, stdout=out)
    return read_steps(path)[1]


def new_stages(build, runner, run_dir, source, plan_tool):
    """Stage 1 of the shipped set cleared; New stages makes a pack with the progress bar moving, byte for byte the
    native one, stage 1 of it cleared with real input and kept across a reload; a second New stages is listed within
    a second; the shipped set's progress is as it was."""
    seed, shipped_steps = read_steps(os.path.join(source, "tests/data/whole-stage.txt"))
    shipped_cleared = stage_list_with(runner, run_dir, seed, {0})
    work = tempfile.mkdtemp(prefix="tessera-web-packs-")
    server = PageServer(build)
    browser = Browser()
    try:
        browser.open(server.url("page/index.html?seed=%d" % seed))
        wait_for_progress_to_move(browser)
        choose_and_play(browser, shipped_steps, 33)
        browser.wait_for("return document.getElementById('cleared').textContent === '1 of 10 stages cleared';",
                         "the shipped stage 1 cleared")
        expect_picture(shipped_cleared, list_at_rest(browser), "shipped", "the shipped list lacks stage 1 cleared")

        browser.driver.find_element("id", "new-stages").click()
        browser.wait_for("return /[?&]pack=[0-9]/.test(location.search) && !!(window.Module && Module.tesseraReady);",
                         "the new pack", MAKING_SECONDS)
        pack = current_pack(browser)
        label = page_text(browser, "set-label")
        assert label == "Pack %d" % pack, label
        assert page_text(browser, "cleared") == "0 of 10 stages cleared", page_text(browser, "cleared")
        directory = native_pack(runner, pack, work)
        expect_native_files(browser, directory, "New stages, pack %d" % pack)

        choose_and_play(browser, clear_plan(plan_tool, directory, seed, work), 33)
        browser.wait_for("return document.getElementById('cleared').textContent === '1 of 10 stages cleared';",
                         "pack %d's stage 1 cleared" % pack)
        browser.driver.refresh()
        wait_for_set(browser, label)
        assert current_pack(browser) == pack
        assert page_text(browser, "cleared") == "1 of 10 stages cleared", page_text(browser, "cleared")
        expect_picture(stage_list_with(runner, directory, seed, {0}), list_at_rest(browser), "pack-list",
                       "after a reload pack %d's list does not show stage 1 cleared" % pack)
        print("pack %d's stage 1 cleared with real input, and kept across a reload" % pack)

        # The next pack was made ahead while this one was played: the tap lists it at once.
        ahead = int(browser.wait_for_pack_ahead())  # a normal pack: its seed
        assert ahead != pack
        started = time.monotonic()
        browser.driver.find_element("id", "new-stages").click()
        browser.wait_for("return !!(window.Module && Module.tesseraReady) && Module._tessera_frames_run() >= 2 && "
                         "document.getElementById('set-label').textContent === 'Pack %d';" % ahead,
                         "the pack made ahead")
        elapsed = time.monotonic() - started
        assert elapsed <= TAP_TO_LIST_SECONDS, "the second New stages listed its pack after %.2f s" % elapsed
        expect_native_files(browser, native_pack(runner, ahead, work), "the second New stages, pack %d" % ahead)
        print("the second New stages listed pack %d %.2f s after the tap" % (ahead, elapsed))

        browser.driver.find_element("id", "shipped-stages").click()
        wait_for_set(browser, "Shipped stages")
        assert page_text(browser, "cleared") == "1 of 10 stages cleared", page_text(browser, "cleared")
        expect_picture(shipped_cleared, list_at_rest(browser), "shipped-after",
                       "after the packs the shipped list is not as it was")
        print("Shipped stages: their progress as it was before the packs")
    finally:
        browser.close()
        server.close()
        shutil.rmtree(work, ignore_errors=True)


def share_link(browser):
    browser.driver.find_element("id", "share").click()
    browser.wait_for("return !document.getElementById('share-line').hidden;", "the shared link")
    return browser.driver.execute_script("return document.getElementById('share-link').href;")


def pack_address(build, runner, run_dir, source, plan_tool):
    """?pack=N on a fresh profile, from a link of another generator version: the native files, a line that the
    stages differ, it plays, and Share gives its link with this generator's version. ?pack=today: today's pack by
    the date in UTC. The level: chosen by the address or by its labelled choice, it names today's pack of that
    level, in the address and in Share's link."""
    seed = 4
    pack = 5
    work = tempfile.mkdtemp(prefix="tessera-web-packs-")
    server = PageServer(build)
    browser = Browser()
    try:
        directory = native_pack(runner, pack, work)
        browser.driver.get(server.url("page/index.html?pack=%d&v=2&seed=%d" % (pack, seed)))
        wait_for_set(browser, "Pack %d" % pack)
        note = page_text(browser, "set-note")
        assert "version 2" in note and "differ" in note, "the line for another generator's link: %r" % note
        expect_native_files(browser, directory, "?pack=%d" % pack)
        time.sleep(SETTLE_SECONDS)
        browser.mouse("mouseMoved", 480, 33)
        time.sleep(FRAME_SECONDS * 2)
        browser.click(480, 33)
        time.sleep(SETTLE_SECONDS)
        expect_picture(stage_one_started(runner, directory, seed), browser.canvas(), "address",
                       "pack %d's stage 1 does not start as the runner draws it" % pack)
        print("?pack=%d&v=2 says \"%s\" and plays its stage 1 as the runner draws it" % (pack, note))
        # Share hands over this pack's link with this page's generator version. The bar of the pack made
        # ahead sits above the buttons and goes when that pack is made, moving Share up: on a busy machine
        # that came between WebDriver finding the button and clicking it, and the click missed. So Share is
        # clicked once that pack is made and the buttons hold still.
        browser.wait_for_pack_ahead()
        link = share_link(browser)
        with open(os.path.join(directory, "pack.txt")) as text:
            version = next(line.split()[1] for line in text if line.startswith("generator "))
        assert link == server.url("page/index.html?pack=%d&v=%s" % (pack, version)), "the shared link: %s" % link
        print("Share: %s" % link)

        today = datetime.datetime.now(datetime.timezone.utc)
        browser.driver.get(server.url("page/index.html?pack=today"))
        label = "Today's pack (%s)" % today.strftime("%Y-%m-%d")
        wait_for_set(browser, label)
        todays = int(today.strftime("%Y%m%d"))
        assert current_pack(browser) == todays, "?pack=today became %s" % current_pack(browser)
        expect_native_files(browser, native_pack(runner, todays, work), "?pack=today, pack %d" % todays)

        # A hard pack takes far longer to make: what is checked is which pack the choice names, not its
        # stages.
        browser.driver.get(server.url("page/index.html?level=hard"))
        wait_for_set(browser, "Shipped stages")
        choice = browser.driver.execute_script(
            "var level = document.getElementById('pack-level');"
            "return [level.value, level.labels.length && level.labels[0].textContent,"
            "        Array.prototype.map.call(level.options, function (option) { return option.value; }),"
            "        document.getElementById('rule').textContent];")
        assert choice[:3] == ["hard", "Level", ["normal", "hard", "expert"]], "the level choice: %s" % choice
        assert choice[3].endswith("is pack hard-%d." % todays), "the rule beside Today's pack: %s" % choice[3]
        level_choice = Select(browser.driver.find_element("id", "pack-level"))
        level_choice.select_by_value("normal")
        browser.wait_for("return document.getElementById('rule').textContent.endsWith('is pack %d.');" % todays,
                         "the rule beside Today's pack naming the normal pack")
        level_choice.select_by_value("hard")
        browser.driver.find_element("id", "todays-pack").click()
        label = "Today's hard pack (%s)" % today.strftime("%Y-%m-%d")
        browser.wait_for("return document.getElementById('set-label').textContent === %s && "
                         "location.search === '?pack=hard-%d';" % (json.dumps(label), todays),
                         "today's hard pack named in the address")
        browser.wait_for("return document.getElementById('making-text').textContent.indexOf(%s) === 0;"
                         % json.dumps("Making " + label), "the worker making today's hard pack")
        assert browser.driver.execute_script("return document.getElementById('pack-level').value;") == "hard"
        link = share_link(browser)
        assert link == server.url("page/index.html?pack=hard-%d&v=%s" % (todays, version)), "the shared link: %s" % link
        print("the level chosen, hard, names %s: %s" % (label, link))
    finally:
        browser.close()
        server.close()
        shutil.rmtree(work, ignore_errors=True)


def pack_two_tabs(build, runner, run_dir, source, plan_tool):
    """Two tabs on one pack: tab A clears stage 1, then tab B stage 2; both clears are kept, in tab B and after a
    reload, and the shipped stages' progress stays empty."""
    seed = 4
    pack = 5
    work = tempfile.mkdtemp(prefix="tessera-web-packs-")
    server = PageServer(build)
    browser = Browser()
    try:
        directory = native_pack(runner, pack, work)
        first, second = clear_plan(plan_tool, directory, seed, work, 0), clear_plan(plan_tool, directory, seed, work, 1)
        url = server.url("page/index.html?pack=%d&seed=%d" % (pack, seed))
        browser.driver.get(url)
        wait_for_set(browser, "Pack %d" % pack)
        tab_b = browser.driver.current_window_handle
        browser.driver.switch_to.new_window("tab")
        browser.driver.get(url)
        wait_for_set(browser, "Pack %d" % pack)
        choose_and_play(browser, first, 33)
        browser.driver.switch_to.window(tab_b)
        choose_and_play(browser, second, 79)
        # The plan ends on "Perfect!": a click goes back to the list.
        browser.mouse("mouseMoved", 300, 300)
        time.sleep(FRAME_SECONDS * 2)
        browser.click(300, 300)
        both = stage_list_with(runner, directory, seed, {0, 1})
        expect_picture(both, list_at_rest(browser), "pack-tab-b", "tab B's list of the pack lacks a clear")
        browser.driver.refresh()
        wait_for_set(browser, "Pack %d" % pack)
        assert page_text(browser, "cleared") == "2 of 10 stages cleared", page_text(browser, "cleared")
        expect_picture(both, list_at_rest(browser), "pack-reloaded", "after a reload the pack's progress lacks a clear")
        browser.driver.find_element("id", "shipped-stages").click()
        wait_for_set(browser, "Shipped stages")
        assert page_text(browser, "cleared") == "0 of 10 stages cleared", page_text(browser, "cleared")
        print("pack %d: stage 1 cleared in tab A and stage 2 in tab B, both kept; the shipped stages untouched" % pack)
    finally:
        browser.close()
        server.close()
        shutil.rmtree(work, ignore_errors=True)


def offline_pack(build, runner, run_dir, source, plan_tool):
    """After one visit, with the server gone, a pack's address makes the pack in the page's worker."""
    pack = 6
    work = tempfile.mkdtemp(prefix="tessera-web-packs-")
    profile = os.path.join(work, "profile")
    port = free_port()
    try:
        directory = native_pack(runner, pack, work)
        server = PageServer(build, port, no_store=True)
        browser = Browser(profile=profile)
        browser.open("http://127.0.0.1:%d/page/index.html" % port)
        wait_for_cache(browser)
        browser.close()
        server.close()

        browser = Browser(profile=profile)
        try:
            browser.driver.get("http://127.0.0.1:%d/page/index.html?pack=%d" % (port, pack))
            wait_for_set(browser, "Pack %d" % pack)
            expect_native_files(browser, directory, "offline, pack %d" % pack)
        finally:
            browser.close()
        print("with the server gone the page made pack %d" % pack)
    finally:
        shutil.rmtree(work, ignore_errors=True)


# Bad values of a link, each with what its line must say.
BAD_LINKS = [
    ("pack=-1", "-1"),
    ("pack=abc", "abc"),
    ("pack=4294967296", "4294967296"),
    ("pack=" + "7" * 10000, "777"),
    ("pack=1&v=x", "x"),
    ("pack=normal-5", "normal-5"),
    ("pack=hard-5&level=normal", "is hard, not normal"),
    ("pack=master-5", "master-5"),
    ("pack=today&level=Hard", "Hard"),
]


def bad_links(build, runner, run_dir, source, plan_tool):
    """Each bad link: one plain line, the shipped stages, and nothing stored for it."""
    server = PageServer(build)
    browser = Browser()
    try:
        for query, quoted in BAD_LINKS:
            browser.driver.get(server.url("page/index.html?" + query))
            wait_for_set(browser, "Shipped stages")
            note = page_text(browser, "set-note")
            assert note and "\n" not in note and quoted in note and len(note) < 200, \
                "?%s: the line %r" % (query[:30], note)
            assert browser.driver.execute_script("return Module.FS.cwd();") == "/game"
            stored = browser.driver.execute_script(
                "return Module.FS.readdir('/packs').filter(function (name) { return name[0] !== '.'; });")
            ahead = browser.driver.execute_script("return localStorage.getItem('tessera-next-pack');")
            assert all(name == ahead for name in stored), "?%s: stored %s" % (query[:30], stored)
            print("?%s: \"%s\"" % (query if len(query) < 30 else query[:30] + "...", note))
    finally:
        browser.close()
        server.close()


TESTS = {"new-stages": new_stages, "pack-address": pack_address, "pack-two-tabs": pack_two_tabs,
         "offline-pack": offline_pack, "bad-links": bad_links}

if __name__ == "__main__":
    if len(sys.argv) != 7 or sys.argv[1] not in TESTS:
        sys.stderr.write(__doc__)
        sys.exit(2)
    TESTS[sys.argv[1]](*sys.argv[2:])

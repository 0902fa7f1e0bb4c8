"""The Windows packages under Wine: the zip played where it is unpacked, and the installer: a silent per-user
install whose Start-menu entry starts a game that keeps its progress in %LOCALAPPDATA%\\Tessera, whose pack
entries make packs there, and a silent uninstall that removes the program and the entries and keeps the progress.

usage: package_test.py zip|installer WINDOWS_BUILD LINUX_RUNNER RUN_DIR SOURCE_DIR   (WINEPREFIX set)
"""
import filecmp
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

STAGES = ["st%d.dat" % index for index in range(10)]
ZIP_NAMES = ["tessera.exe", "tessera-stages.exe"] + STAGES + ["README.txt", "LICENSE.txt"]
SCRIPT = "tests/data/whole-stage.txt"  # clears the first stage and returns to the stage list
UNINSTALL_SECONDS = 120  # the longest wait for the uninstaller to remove the program, on a busy machine


def wine(arguments, cwd=None):
    """Runs a Windows program; its output, or a failure that says what it printed."""
    done = subprocess.run(["wine"] + arguments, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    output = done.stdout.decode("ascii", "replace")
    assert done.returncode == 0, "wine %s: exit %d: %s" % (" ".join(arguments), done.returncode, output)
    return output


def winepath(option, path):
    """A path converted by winepath, or a failure that says what Wine printed."""
    done = subprocess.run(["winepath", option, path], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    said = (done.stdout + done.stderr).decode("ascii", "replace")
    assert done.returncode == 0, "winepath %s %s: exit %d: %s" % (option, path, done.returncode, said)
    return done.stdout.decode().strip()


def unix_path(windows_path):
    return winepath("-u", windows_path)


def windows_path(path):
    return winepath("-w", path)


def folder(name):
    """A folder the Wine prefix's user has, such as LOCALAPPDATA, as Windows names it."""
    return wine(["cmd", "/c", "echo", "%" + name + "%"]).strip()


def linux_progress(runner, run_dir, source, work):
    """hist.dat as the Linux runner leaves it after the script."""
    play = os.path.join(work, "linux")
    os.makedirs(play)
    for stage in STAGES:
        shutil.copy(os.path.join(run_dir, stage), play)
    subprocess.run([runner, "--headless", "--dir", play, "--stage", "0", "--input", os.path.join(source, SCRIPT)],
                   check=True)
    return os.path.join(play, "hist.dat")


def read_shortcut(path):
    """A .lnk file's target, working directory, icon and arguments (the shell link format: header, item list,
    link info, then counted strings)."""
    data = open(path, "rb").read()
    flags = struct.unpack_from("<I", data, 0x14)[0]
    position = 0x4C
    if flags & 0x1:  # an item list: skipped, the link info names the target too
        position += 2 + struct.unpack_from("<H", data, position)[0]
    assert flags & 0x2, "%s has no link info" % path
    size, _, _, _, local = struct.unpack_from("<5I", data, position)
    target = data[position + local:data.index(b"\0", position + local)].decode("latin-1")
    position += size
    strings = {}
    wide = flags & 0x80
    for bit, name in ((0x4, "name"), (0x8, "relative"), (0x10, "directory"), (0x20, "arguments"), (0x40, "icon")):
        if flags & bit:
            count = struct.unpack_from("<H", data, position)[0]
            raw = data[position + 2:position + 2 + count * (2 if wide else 1)]
            position += 2 + len(raw)
            strings[name] = raw.decode("utf-16-le" if wide else "latin-1").rstrip("\0")
    return target, strings.get("directory", ""), strings.get("icon", ""), strings.get("arguments", "")


def check_zip(build, runner, run_dir, source, work):
    # Named for the release that the programs inside say they are.
    version = wine([os.path.join(build, "tessera-stages.exe"), "--version"]).split()[-1]
    archive = os.path.join(build, "tessera-%s-windows.zip" % version)
    with zipfile.ZipFile(archive) as packed:
        names = packed.namelist()
        assert sorted(names) == sorted(ZIP_NAMES), "the zip holds %s" % names
        played = os.path.join(work, "unpacked")
        packed.extractall(played)
    for stage in STAGES:
        assert filecmp.cmp(os.path.join(played, stage), os.path.join(run_dir, stage), shallow=False), stage
    wine(["tessera-stages.exe", "check"] + STAGES, cwd=played)
    # Started where it was unpacked, the game finds its stages there and keeps hist.dat beside them.
    wine(["tessera.exe", "--headless", "--stage", "0", "--input", os.path.join(source, SCRIPT)], cwd=played)
    expected = linux_progress(runner, run_dir, source, work)
    assert filecmp.cmp(os.path.join(played, "hist.dat"), expected, shallow=False), "hist.dat differs from Linux's"
    print("ok: the zip holds %d files and plays where it is unpacked" % len(names))


def check_installer(build, runner, run_dir, source, work):
    local = folder("LOCALAPPDATA")
    program = local + "\\Programs\\Tessera"
    player = unix_path(local + "\\Tessera")
    programs = unix_path(folder("APPDATA") + "\\Microsoft\\Windows\\Start Menu\\Programs")
    shortcut = os.path.join(programs, "Tessera.lnk")
    pack_shortcuts = {os.path.join(programs, "Tessera - New stage pack.lnk"): "--pack new",
                      os.path.join(programs, "Tessera - Today's pack.lnk"): "--pack today"}
    installed = unix_path(program)
    for leftover in (installed, player):
        shutil.rmtree(leftover, ignore_errors=True)

    wine([os.path.join(build, "tessera-setup.exe"), "/S"])
    for name in ["tessera.exe", "tessera-stages.exe", "uninstall.exe"]:
        assert os.path.isfile(os.path.join(installed, name)), "%s was not installed" % name
    for stage in STAGES:
        assert filecmp.cmp(os.path.join(installed, "stages", stage), os.path.join(run_dir, stage), shallow=False)
    target, directory, icon, arguments = read_shortcut(shortcut)
    assert target.lower() == (program + "\\tessera.exe").lower(), "the shortcut starts %s" % target
    assert directory.lower() == program.lower(), "the shortcut starts in %s" % directory
    assert icon.lower() == target.lower(), "the shortcut's icon is %s" % icon
    assert arguments == "", "the shortcut passes %s" % arguments
    for path, expected in pack_shortcuts.items():
        assert read_shortcut(path) == (target, directory, icon, expected), "%s: %s" % (path, read_shortcut(path))

    # Started as the Start menu starts it, the game plays from the player's own folder.
    script = windows_path(os.path.join(source, SCRIPT))
    wine([target, "--headless", "--stage", "0", "--input", script], cwd=unix_path(directory))
    expected = linux_progress(runner, run_dir, source, work)
    progress = os.path.join(player, "hist.dat")
    assert os.path.isfile(progress), "no hist.dat in %s: %s" % (player, os.listdir(os.path.dirname(player)))
    assert filecmp.cmp(progress, expected, shallow=False), "the installed game's hist.dat differs from Linux's"
    for stage in STAGES:
        assert os.path.isfile(os.path.join(player, stage)), "%s was not copied to the player's folder" % stage
    assert not os.path.exists(os.path.join(installed, "hist.dat")), "progress was written beside the program"
    # It plays in the player's folder, but the paths it is given are read from where it was started.
    shutil.copy(os.path.join(source, SCRIPT), os.path.join(work, "s.txt"))
    wine([target, "--headless", "--frames", "2", "--input", "s.txt", "--shot", "1:x.png", "--trace", "t.jsonl"],
         cwd=work)
    for name in ("x.png", "t.jsonl"):
        assert os.path.isfile(os.path.join(work, name)), "%s is not where the game was started" % name
        assert not os.path.exists(os.path.join(player, name)), "%s was written to the player's folder" % name

    # The entry "Tessera - New stage pack" makes a pack in the player's folder, packs\N (the runner in place
    # of the window), and leaves the shipped stages' progress as it was.
    new_pack = [path for path, expected in pack_shortcuts.items() if expected == "--pack new"][0]
    said = wine([target] + read_shortcut(new_pack)[3].split() + ["--headless", "--frames", "1"],
                cwd=unix_path(directory)).strip()
    assert said.startswith("pack "), "the new pack's entry said %r" % said
    pack = os.path.join(player, "packs", said[len("pack "):])
    assert sorted(os.listdir(pack)) == sorted(["pack.txt"] + STAGES), "the new pack holds %s" % os.listdir(pack)
    assert filecmp.cmp(progress, expected, shallow=False), "making a pack changed the shipped stages' progress"

    # The uninstaller runs on from a copy of itself after the one started ends: its last file
    # operation removes the program's folder, so the test waits for that.
    wine([os.path.join(installed, "uninstall.exe"), "/S"])
    deadline = time.monotonic() + UNINSTALL_SECONDS
    while os.path.exists(installed) and time.monotonic() < deadline:
        time.sleep(0.1)
    assert not os.path.exists(installed), "the program is still there: %s" % os.listdir(installed)
    for path in [shortcut] + list(pack_shortcuts):
        assert not os.path.exists(path), "the Start-menu entry %s is still there" % os.path.basename(path)
    assert filecmp.cmp(progress, expected, shallow=False), "the uninstaller did not keep the progress"
    assert os.path.isfile(os.path.join(pack, "pack.txt")), "the uninstaller did not keep the pack"
    print("ok: installed, played from the Start-menu entry into %s, %s made by its entry, uninstalled with the "
          "progress and the pack kept" % (player, said))


def main():
    case, build, runner, run_dir, source = sys.argv[1:6]
    work = tempfile.mkdtemp(prefix="tessera-package-")
    try:
        {"zip": check_zip, "installer": check_installer}[case](build, runner, run_dir, source, work)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()

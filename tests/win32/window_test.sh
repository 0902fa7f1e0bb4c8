#!/bin/bash
# The game's Windows window under Wine on an X display of its own, driven by xdotool; window_probe.exe reads the rest.
# usage: xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" window_test.sh CASE TESSERA_EXE WINDOW_PROBE_EXE
#            LINUX_TESSERA STAGE_DIR CLEAR_PLAN CLOSE_WINDOW        (WINEPREFIX names the test run's prefix)
set -u
case_name=$1
tessera=$(readlink -f "$2")
probe=$(readlink -f "$3")
linux_tessera=$(readlink -f "$4")
stage_dir=$(readlink -f "$5")
clear_plan=$(readlink -f "$6")
close_window=$(readlink -f "$7")
: "${WINEPREFIX:?WINEPREFIX must name the Wine prefix of the test run}"
export WINEPREFIX WINEDEBUG=-all

work=$(mktemp -d /tmp/tessera-wine-window-XXXXXX)
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    # The prefix's own player directory, if it had one, as it was.
    [ -n "${player:-}" ] && rm -rf "$player"
    [ -n "${player_before:-}" ] && mv "$player_before" "$player"
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

. "$(dirname "$0")/../e2e/window_waits.sh"

# Starts the game in DIR with its arguments; sets game_pid.
launch_game() {
    local dir=$1
    shift
    (cd "$dir" && exec wine "$@" >"$work/game.log" 2>&1) &
    game_pid=$!
}

# Waits for the window; sets client (its size) and left, top (where its client area is on the screen).
find_window() {
    read -r client left top < <(wine "$probe" window) || fail "no window of class win game module: $(cat "$work/game.log")"
}

# Input goes through XTEST, as a player's would, at client pixel (x, y).
click() {
    xdotool mousemove $((left + $1)) $((top + $2))
    sleep 0.15
    xdotool mousedown "${3:-1}"
    sleep 0.15
    xdotool mouseup "${3:-1}"
    sleep 0.15
}

# A tap-to-click: pressed and released in one go, far within one 50 ms frame.
quick_click() {
    xdotool mousemove $((left + $1)) $((top + $2))
    sleep 0.15
    xdotool mousedown 1 mouseup 1
    sleep 0.3
}

# The window's client area as it is on the screen.
screenshot() {
    import -window root "$work/root.png" && convert "$work/root.png" -crop "${client}+$left+$top" +repage "$1" ||
        fail "no screenshot"
}

# Plays the clicks of an input script, each press held and released.
play_script_clicks() {
    while read -r frame x y buttons; do
        case "$frame" in '' | '#'* | seed) continue ;; esac
        case "$buttons" in
        L) click "$x" "$y" 1 ;;
        R) click "$x" "$y" 3 ;;
        esac
    done <"$1"
}

# The box's caption and text, from the probe, which then presses OK.
box_lines() {
    wine "$probe" box >"$work/box.txt" || fail "no message box: $(cat "$work/game.log")"
    [ "$(sed -n 1p "$work/box.txt")" = "失敗" ] || fail "the box's caption is $(sed -n 1p "$work/box.txt")"
    [ "$(sed -n 2p "$work/box.txt")" = "データファイルのロードに失敗しました。" ] ||
        fail "the box's text is $(sed -n 2p "$work/box.txt")"
}

mkdir -p "$work/run"
cp "$stage_dir"/st*.dat "$work/run/"

case "$case_name" in
window)
    # The window's size, its picture against the Linux runner's, its idle CPU, stage 1 cleared with real clicks
    # at 20 frames a second, then Esc.
    "$clear_plan" "$stage_dir" 0 4 >"$work/plan.txt" || fail "no clicks clear stage 1"
    # Away from where the window opens: an entry once hovered does not come back to its place exactly.
    xdotool mousemove 0 0
    launch_game "$work/run" "$tessera" --seed 4 --record "$work/session.txt"
    find_window
    [ "$client" = "640x480" ] || fail "the client area is $client"
    xdotool mousemove $((left + 5)) $((top + 5))
    printf '0 5 5 -\n' >"$work/still.txt"
    "$linux_tessera" --headless --dir "$work/run" --input "$work/still.txt" --shot "60:$work/expected.png" ||
        fail "the Linux runner's picture failed"
    wait_for_picture "$work/expected.png" ||
        fail "the window's stage list differs from the Linux runner's in $difference pixels"
    # Waiting for the next frame sleeps: a loop that spun would take a whole core.
    ticks() { awk '{print $14 + $15}' "/proc/$game_pid/stat"; }
    before=$(ticks)
    sleep 5
    used=$(($(ticks) - before))
    echo "idle: $used ticks of $(($(getconf CLK_TCK) * 5)) in 5 s"
    [ "$used" -lt $(($(getconf CLK_TCK) * 5 / 3)) ] || fail "idle, the game used $used ticks in 5 s"
    first_click=$(date +%s%N)
    quick_click 500 33
    sleep 1
    screenshot "$work/stage.png"
    # Stage 1 is 4 x 2: its first board cell is centred on (50, 86).
    [ "$(pixel "$work/stage.png" 50 86)" = "srgb(100,80,80)" ] || fail "a quick click on the first bar did not start stage 1"
    play_script_clicks "$work/plan.txt"
    last_click=$(date +%s%N)
    wait_for_byte "$work/run/hist.dat" 4 01 || fail "hist.dat does not say stage 1 is cleared"
    xdotool mousemove $((left + 320)) $((top + 240)) key Escape
    wait_for_exit "$patience"
    [ "$exit_code" = "0" ] || fail "Esc did not end the game with exit code 0 ($exit_code)"
    # From the first press to the last, a frame every 50 ms: a loop that never waited would run far more,
    # one that stalled far fewer. (Late frames are dropped, so a busy machine runs fewer.)
    frames=$(($(grep ' L$' "$work/session.txt" | tail -1 | cut -d' ' -f1) - $(grep -m1 ' L$' "$work/session.txt" | cut -d' ' -f1)))
    # Each click presses 0.15 s after it starts and ends 0.3 s after its press.
    expected=$(((last_click - first_click - 450000000) / 50000000))
    echo "frames: $frames between the first and the last press, $expected expected"
    [ "$frames" -le $((expected * 2 + 20)) ] && [ "$frames" -ge $((expected / 4)) ] || fail "$frames frames, not $expected"
    ;;
keys)
    # Stage 1 chosen and cleared by keys alone, typed ahead; the recording replays on Linux to the same picture.
    plan=$("${TESSERA_KEY_PLAN:?TESSERA_KEY_PLAN must name tessera-key-plan}" "$stage_dir" 0 4 5 5) ||
        fail "no keys clear stage 1"
    xdotool mousemove 0 0
    launch_game "$work/run" "$tessera" --seed 4 --record "$work/session.txt"
    find_window
    xdotool mousemove $((left + 5)) $((top + 5))
    x_window=$(xdotool search --onlyvisible --classname tessera.exe | head -1)
    xdotool windowactivate --sync "$x_window" 2>/dev/null || xdotool windowfocus "$x_window"
    xdotool key --delay 40 $plan
    wait_for_first_clear "$work/run/hist.dat" "the keys did not clear stage 1"
    wait_for_still_picture  # "Perfect!" plays out by itself; then the stage list stands still
    xdotool key Escape
    wait_for_exit "$patience"
    [ "$exit_code" = "0" ] || fail "Esc did not end the game ($exit_code)"
    mkdir -p "$work/replay"
    cp "$stage_dir"/st*.dat "$work/replay/"
    last=$(tail -1 "$work/session.txt" | cut -d' ' -f1)
    "$linux_tessera" --headless --dir "$work/replay" --input "$work/session.txt" --trace "$work/trace.jsonl" \
        --shot "$last:$work/replay.png" >/dev/null 2>&1 || fail "the replay failed"
    grep -q '"playState":3' "$work/trace.jsonl" || fail "the replay never shows \"Perfect!\""
    difference=$(compare -metric AE "$work/window.png" "$work/replay.png" null: 2>&1)
    [ "$difference" = "0" ] || fail "the replayed picture differs in $difference pixels"
    ;;
scale-and-close)
    # Twice the size, whole pixels doubled, the mouse mapped back to the game's own pixels; then the close
    # request a window manager's close button sends.
    launch_game "$work/run" "$tessera" --seed 1 --scale 2
    find_window
    [ "$client" = "1280x960" ] || fail "the scaled client area is $client"
    quick_click 1000 66
    sleep 1
    screenshot "$work/shot.png"
    # Stage 1's first board cell, centred on (50, 86), now covers (100, 172) and its neighbours.
    [ "$(pixel "$work/shot.png" 100 172)" = "srgb(100,80,80)" ] || fail "the click on the first bar did not start stage 1"
    [ "$(pixel "$work/shot.png" 101 173)" = "srgb(100,80,80)" ] || fail "the pixels are not doubled"
    x_window=$(xdotool search --onlyvisible --classname tessera.exe | head -1)
    "$close_window" "$x_window" || fail "the close request could not be sent"
    wait_for_exit "$patience"
    [ "$exit_code" = "0" ] || fail "closing the window gave exit code $exit_code"
    ;;
missing-stage)
    rm "$work/run/st3.dat"
    launch_game "$work/run" "$tessera" --seed 1
    box_lines
    wait_for_exit "$patience"
    [ "$exit_code" = "0" ] || fail "OK on the box gave exit code $exit_code"
    grep -q "^st3.dat: missing" "$work/game.log" || fail "no line names the file: $(cat "$work/game.log")"
    ;;
data-directory)
    # Installed: tessera.exe with stages\ beside it, started elsewhere. The player already has a stage 3 of
    # their own (too short to load, so the game shows its box): it stays, and the other nine are copied in.
    local_app_data=$(wine "$probe" local-app-data) || fail "no local application data folder"
    player_dir="$(winepath -u "$local_app_data" 2>/dev/null)/Tessera"
    if [ -e "$player_dir" ]; then
        player_before="$work/player-before"
        mv "$player_dir" "$player_before"
    fi
    player=$player_dir
    mkdir -p "$player" "$work/installed/stages" "$work/elsewhere"
    cp "$tessera" "$work/installed/tessera.exe"
    cp "$stage_dir"/st*.dat "$work/installed/stages/"
    head -c 100 "$stage_dir/st3.dat" >"$player/st3.dat"
    launch_game "$work/elsewhere" "$work/installed/tessera.exe" --seed 1
    box_lines
    wait_for_exit "$patience"
    [ "$exit_code" = "0" ] || fail "OK on the box gave exit code $exit_code"
    grep -q "^st3.dat: 100 bytes, not 16216" "$work/game.log" || fail "the player's st3.dat was not read: $(cat "$work/game.log")"
    for stage in 0 1 2 4 5 6 7 8 9; do
        cmp -s "$player/st$stage.dat" "$stage_dir/st$stage.dat" || fail "st$stage.dat was not copied in"
    done
    [ "$(wc -c <"$player/st3.dat")" = "100" ] || fail "the player's own st3.dat was replaced"
    [ "$(ls -A "$player" | tr '\n' ' ')" = "st0.dat st1.dat st2.dat st3.dat st4.dat st5.dat st6.dat st7.dat st8.dat st9.dat " ] ||
        fail "the player's directory holds $(ls -A "$player")"
    [ -z "$(ls -A "$work/elsewhere")" ] || fail "files were left where the game was started: $(ls -A "$work/elsewhere")"
    ;;
*)
    fail "unknown case"
    ;;
esac
echo "ok: $case_name"

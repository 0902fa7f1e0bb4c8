#!/bin/bash
# End-to-end tests of the game in a real window: an Xvfb of its own, driven by xdotool.
# usage: window_test.sh CASE TESSERA RELEASE_TESSERA STAGE_DIR CLOSE_WINDOW [SCRIPT]
# The case idle-figure is no test: make bench runs it for the idle window's CPU use and frame rate.
set -u
case_name=$1
tessera=$2
release_tessera=$3
stage_dir=$4
close_window=$5
script=${6:-}
# SDL and the libraries it loads (D-Bus, X extensions) keep some memory until
# exit; the game's own leaks are checked by the headless tests.
export LSAN_OPTIONS=detect_leaks=0

work=$(mktemp -d /tmp/tessera-e2e-XXXXXX)
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

. "$(dirname "$0")/window_waits.sh"

# Xvfb picks a free display number itself and writes it to a file, so tests
# running side by side never share a server. Without -noreset the server resets
# when its last client (the readiness check) leaves, and a game connecting just
# then finds no display.
start_display() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        if [ -s "$work/display" ]; then
            export DISPLAY=":$(head -1 "$work/display")"
            xdpyinfo >/dev/null 2>&1 && return 0
        fi
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    fail "no X display could be started: $(cat "$work/xvfb.log")"
}

# Starts the game in its own run directory; sets game_pid.
launch_game() {
    local binary=$1
    shift
    if [ "$(type -t "$binary")" = "function" ]; then
        (cd "$work/run" && "$binary" "$@" >"$work/game.log" 2>&1) &
    else
        (cd "$work/run" && exec "$binary" "$@" >"$work/game.log" 2>&1) &
    fi
    game_pid=$!
}

# Starts the game and waits for its window; sets game_pid and window.
start_game() {
    launch_game "$@"
    window=""
    for _ in $(seq 300); do
        window=$(xdotool search --class "win game module" 2>/dev/null | head -1)
        window_seen=$(date +%s%N)
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || fail "the window did not appear: $(cat "$work/game.log")"
    sleep 0.5
}

# Input goes through XTEST, as a player's would.
click() {
    xdotool mousemove --window "$window" "$1" "$2"
    sleep 0.15
    xdotool mousedown 1
    sleep 0.15
    xdotool mouseup 1
    sleep 0.15
}

# A tap-to-click: pressed and released in one go, far within one 50 ms frame.
quick_click() {
    xdotool mousemove --window "$window" "$1" "$2"
    sleep 0.15
    xdotool mousedown 1 mouseup 1
    sleep 0.2
}

press_key() {
    xdotool windowfocus "$1" 2>/dev/null
    sleep 0.1
    xdotool key "$2"
}

screenshot() {
    import -window "$window" "$1" || fail "no screenshot"
}

right_click() {
    xdotool mousemove --window "$window" "$1" "$2"
    sleep 0.15
    xdotool mousedown 3
    sleep 0.15
    xdotool mouseup 3
    sleep 0.15
}

# Plays the clicks of an input script up to a frame: each press held and
# released, as the script's "L" or "R" line and the "-" line after it.
play_script_clicks() {
    local last_frame=$1
    while read -r frame x y buttons; do
        case "$frame" in ''|'#'*|seed) continue ;; esac
        [ "$frame" -gt "$last_frame" ] && break
        case "$buttons" in
        L) click "$x" "$y" ;;
        R) right_click "$x" "$y" ;;
        esac
    done <"$script"
}

# Waits for the message box with the caption 失敗; sets box.
wait_for_box() {
    box=""
    for _ in $(seq $((patience * 10))); do
        box=$(LC_ALL=C.UTF-8 xwininfo -root -tree | awk '/"失敗"/ {print $1; exit}')
        [ -n "$box" ] && break
        sleep 0.1
    done
    [ -n "$box" ] || fail "no message box with the caption 失敗 appeared: $(cat "$work/game.log")"
}

# True while a window of the game or its box is on the display.
game_windows_shown() {
    LC_ALL=C.UTF-8 xwininfo -root -tree | grep -q -e '"失敗"' -e '"win game module"'
}

# Sends a signal and expects the game to end with exit code 0.
signal_ends_game() {
    kill -"$1" "$game_pid"
    wait_for_exit "$patience"
    [ "$exit_code" = "0" ] || fail "SIG$1 did not end the game with exit code 0 ($exit_code)"
}

# The game's CPU use over SECONDS, in thousandths of a percent of one core; says it and sets percent.
measure_cpu() {
    local pid before after start elapsed used
    pid=$(pgrep -f "^$release_tessera --seed 1" | head -1)
    [ -n "$pid" ] || pid=$game_pid
    before=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    start=$(date +%s%N)
    sleep "$1"
    after=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    elapsed=$((($(date +%s%N) - start) / 1000000))
    used=$((after - before))
    percent=$((used * 1000 * 100000 / ($(getconf CLK_TCK) * elapsed)))
    echo "idle: $used ticks in $elapsed ms: $((percent / 1000)).$((percent % 1000 / 100))% of one core"
}

# Ends the idle game with Esc; sets frames (from its recording) and expected (one every 50 ms of its life).
end_idle_game() {
    press_key "$window" Escape
    local lifetime=$((($(date +%s%N) - window_seen) / 1000000))
    wait_for_exit "$patience"
    [ "$exit_code" = "0" ] || fail "the game did not end"
    # The recording's last line is the last frame that ran.
    frames=$(($(tail -1 "$work/session.txt" | cut -d' ' -f1) + 1))
    expected=$((lifetime / 50))
    echo "frames: $frames in about $lifetime ms, $expected at one every 50 ms"
}

mkdir -p "$work/run" "$work/xdg"
chmod 700 "$work/xdg"
export XDG_RUNTIME_DIR="$work/xdg"
cp "$stage_dir"/st*.dat "$work/run/"
start_display

case "$case_name" in
no-display)
    (cd "$work/run" && env -u DISPLAY -u WAYLAND_DISPLAY "$tessera" >"$work/game.log" 2>&1)
    code=$?
    [ "$code" = "0" ] || fail "without a display the exit code is $code"
    grep -q "^tessera: no display" "$work/game.log" || fail "no reason given: $(cat "$work/game.log")"
    # A recording that cannot be started ends the game before any window, with the reason.
    (cd "$work/run" && "$tessera" --record missing/session.txt >"$work/game.log" 2>&1)
    code=$?
    [ "$code" = "2" ] || fail "an unwritable --record gave exit code $code"
    [ "$(wc -l <"$work/game.log")" = 1 ] && grep -q "^tessera: cannot write missing/session.txt: ." "$work/game.log" ||
        fail "an unwritable --record said: $(cat "$work/game.log")"
    ;;
size)
    start_game "$tessera" --seed 1
    # SDL sets the window's properties just after mapping it: give it a moment.
    problem="unchecked"
    for _ in $(seq $((patience * 10))); do
        geometry=$(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
        hints=$(xprop -id "$window" WM_NORMAL_HINTS)
        if [ "$geometry" != "640x480" ]; then
            problem="client area is $geometry"
        elif ! echo "$hints" | grep -q "minimum size: 640 by 480"; then
            problem="no fixed minimum size: $hints"
        elif ! echo "$hints" | grep -q "maximum size: 640 by 480"; then
            problem="no fixed maximum size: $hints"
        elif [ -n "$(xdotool getwindowname "$window")" ]; then
            problem="the title is not empty"
        elif ! xprop -id "$window" WM_CLASS | grep -q '"win game module"'; then
            problem="the window class is not win game module"
        else
            problem=""
            break
        fi
        sleep 0.1
    done
    [ -z "$problem" ] || fail "$problem"
    # The size hints are what a window manager enforces; with none running,
    # they are the whole of "cannot be resized".
    screenshot "$work/shot.png"
    [ "$(identify -format '%wx%h' "$work/shot.png")" = "640x480" ] || fail "the picture is not 640 x 480"
    press_key "$window" Escape
    ;;
click-and-escape)
    start_game "$tessera" --seed 1
    click 500 33
    sleep 1
    screenshot "$work/shot.png"
    # Stage 1 is 4 x 2: its first board cell is centred on (50, 86).
    [ "$(pixel "$work/shot.png" 50 86)" = "srgb(100,80,80)" ] || fail "the stage did not start"
    press_key "$window" Escape
    wait_for_exit "$patience"
    [ "$exit_code" = "0" ] || fail "Esc did not end the game with exit code 0 ($exit_code)"
    ;;
quick-clicks)
    # Presses shorter than a frame are each seen once, and replay as they were seen.
    start_game "$tessera" --seed 1 --record "$work/session.txt"
    quick_click 500 33
    sleep 1
    screenshot "$work/shot.png"
    [ "$(pixel "$work/shot.png" 50 86)" = "srgb(100,80,80)" ] || fail "a quick click on the first bar did not start stage 1"
    for _ in 1 2 3 4 5; do quick_click 600 450; done
    press_key "$window" Escape
    wait_for_exit "$patience"
    [ "$exit_code" = "0" ] || fail "Esc gave $exit_code"
    presses=$(grep -c ' L$' "$work/session.txt")
    [ "$presses" = "6" ] || fail "6 quick clicks, $presses presses seen: $(cat "$work/session.txt")"
    "$tessera" --headless --dir "$work/run" --input "$work/session.txt" --trace - >"$work/trace.jsonl" ||
        fail "the replay failed"
    grep -q '"gameMode":1,"modeInitPending":0,"currentStage":0,"playState":2' <(tail -1 "$work/trace.jsonl") ||
        fail "the replay does not end with stage 1's chooser open: $(tail -1 "$work/trace.jsonl" | cut -c1-120)"
    ;;
close-button)
    start_game "$tessera" --seed 1
    "$close_window" "$window" || fail "the close request could not be sent"
    wait_for_exit "$patience"
    [ "$exit_code" = "0" ] || fail "closing the window gave $exit_code: $(cat "$work/game.log")"
    ;;
replay)
    start_game "$tessera" --seed 7 --record "$work/session.txt"
    click 500 79
    sleep 1
    click 600 450
    click 320 240
    xdotool mousemove --window "$window" 200 150
    sleep 1
    screenshot "$work/window.png"
    press_key "$window" Escape
    wait_for_exit "$patience"
    [ "$exit_code" = "0" ] || fail "the game did not end"
    last=$(tail -1 "$work/session.txt" | cut -d' ' -f1)
    "$tessera" --headless --dir "$work/run" --input "$work/session.txt" --trace "$work/trace.jsonl" \
        --shot "$last:$work/replay.png" || fail "the replay failed"
    grep -q '"gameMode":1,"modeInitPending":0,"currentStage":1,"playState":1' <(tail -1 "$work/trace.jsonl") ||
        fail "the replay did not end carrying a piece of stage 2: $(tail -1 "$work/trace.jsonl" | cut -c1-200)"
    difference=$(compare -metric AE "$work/window.png" "$work/replay.png" null: 2>&1)
    [ "$difference" = "0" ] || fail "the replayed picture differs in $difference pixels"
    ;;
keys | pad)
    # Stage 1 chosen and cleared by keys alone (or a pad's buttons), typed ahead: the game takes one
    # action a frame, so the plan holds however late the frames run. Its recording replays to the same picture.
    plan=$("$TESSERA_KEY_PLAN" "$work/run" 0 4 5 5) || fail "no keys clear stage 1"
    if [ "$case_name" = keys ]; then
        start_game "$tessera" --seed 4 --record "$work/session.txt"
        xdotool mousemove --window "$window" 5 5
        xdotool windowfocus --sync "$window" 2>/dev/null
        xdotool key --delay 40 $plan
    else
        # The SDL window with a virtual pad plugged in during play, pressing the plan's buttons.
        echo "$plan" >"$work/plan.txt"
        start_game "$TESSERA_PAD_WINDOW" "$work/plan.txt" --seed 4 --record "$work/session.txt"
        xdotool mousemove --window "$window" 5 5
        touch "$work/run/.mouse-placed"
    fi
    wait_for_first_clear "$work/run/hist.dat" "the $case_name did not clear stage 1"
    wait_for_still_picture  # "Perfect!" plays out by itself; then the stage list stands still
    press_key "$window" Escape
    wait_for_exit "$patience"
    [ "$exit_code" = "0" ] || fail "the game did not end"
    last=$(tail -1 "$work/session.txt" | cut -d' ' -f1)
    mkdir -p "$work/replay"
    cp "$stage_dir"/st*.dat "$work/replay/"
    "$tessera" --headless --dir "$work/replay" --input "$work/session.txt" --trace "$work/trace.jsonl" \
        --shot "$last:$work/replay.png" >/dev/null 2>&1 || fail "the replay failed"
    grep -q '"playState":3' "$work/trace.jsonl" || fail "the replay never shows \"Perfect!\""
    cmp -s "$work/run/hist.dat" "$work/replay/hist.dat" || fail "the replay saved other progress"
    difference=$(compare -metric AE "$work/window.png" "$work/replay.png" null: 2>&1)
    [ "$difference" = "0" ] || fail "the replayed picture differs in $difference pixels"
    ;;
missing-stage)
    rm "$work/run/st3.dat"
    launch_game "$tessera" --seed 1
    wait_for_box
    grep -qx "st3.dat: missing" "$work/game.log" || fail "no line names the file: $(cat "$work/game.log")"
    sleep 0.5
    import -window "$box" "$work/box.png" || fail "no screenshot of the box"
    # The box shows its text: a line of light glyphs across its upper half.
    lit=$(convert "$work/box.png" -crop 320x30+10+15 -threshold 60% -format "%[fx:mean*w*h]" info:)
    [ "${lit%.*}" -gt 100 ] || fail "the box shows no text"
    kill -0 "$game_pid" || fail "the game ended before the box was dismissed"
    press_key "$box" Return
    wait_for_exit "$patience"
    [ "$exit_code" = "0" ] || fail "dismissing the box gave $exit_code"
    ;;
signals)
    # On the stage list, in play, and with the record being written: each ends the game at once.
    start_game "$tessera" --seed 1 --record "$work/session.txt"
    signal_ends_game INT
    grep -q "^seed 1$" "$work/session.txt" || fail "the recording was not kept"
    start_game "$tessera" --seed 1
    click 500 33
    signal_ends_game TERM
    start_game "$tessera" --seed 1
    signal_ends_game HUP
    [ -z "$(ls "$work/run" | grep -v -e '^st[0-9].dat$' -e '^session.txt$')" ] || fail "files left behind: $(ls "$work/run")"
    ;;
signal-box)
    # A quit signal while the box waits ends the game, and the box and the window go with it.
    rm "$work/run/st3.dat"
    for signal in TERM INT HUP KILL; do
        launch_game "$tessera" --seed 1
        wait_for_box
        kill -"$signal" "$game_pid"
        wait_for_exit "$patience"
        [ "$exit_code" != "running" ] || fail "SIG$signal did not end the game within $patience s"
        [ "$signal" = "KILL" ] || [ "$exit_code" = "0" ] || fail "SIG$signal gave exit code $exit_code"
        for _ in $(seq $((patience * 20))); do game_windows_shown || break; sleep 0.05; done
        game_windows_shown && fail "after SIG$signal the box or the window is still shown"
    done
    ;;
cleared-at-drop)
    # Stage 1 covered: the clear is saved at the drop, while "Perfect!" shows; Esc then keeps it.
    start_game "$tessera" --seed 4
    click 500 33
    sleep 1
    play_script_clicks 24
    wait_for_byte "$work/run/hist.dat" 4 01 || fail "hist.dat does not say stage 1 is cleared: $(ls "$work/run")"
    press_key "$window" Escape
    wait_for_exit "$patience"
    [ "$exit_code" = "0" ] || fail "Esc during the celebration gave $exit_code"
    [ "$(od -An -tx1 -j4 -N1 "$work/run/hist.dat" | tr -d ' ')" = "01" ] || fail "after Esc hist.dat no longer says stage 1 is cleared"
    # Started again, the list shows the stage as the game draws a cleared one.
    printf '0 5 5 -\n' >"$work/still.txt"
    "$tessera" --headless --dir "$work/run" --input "$work/still.txt" --shot "60:$work/cleared.png" ||
        fail "the headless picture failed"
    start_game "$tessera" --seed 4
    xdotool mousemove --window "$window" 5 5
    wait_for_picture "$work/cleared.png" ||
        fail "the list after the restart differs from a cleared stage 1 in $difference pixels"
    press_key "$window" Escape
    wait_for_exit "$patience"
    rm "$work/run/hist.dat"
    "$tessera" --headless --dir "$work/run" --input "$work/still.txt" --shot "60:$work/fresh.png"
    difference=$(compare -metric AE "$work/seen.png" "$work/fresh.png" null: 2>&1)
    [ "$difference" != "0" ] || fail "the list looks the same without the clear"
    ;;
scale)
    # Twice the size, square pixels, and the mouse mapped back to the game's own pixels.
    start_game "$tessera" --seed 1 --scale 2
    geometry=""
    for _ in $(seq $((patience * 10))); do
        geometry=$(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
        [ "$geometry" = "1280x960" ] && break
        sleep 0.1
    done
    [ "$geometry" = "1280x960" ] || fail "the scaled window is $geometry"
    click 1000 66
    sleep 1
    screenshot "$work/shot.png"
    # Stage 1's first board cell, centred on (50, 86), now covers (100, 172) and its neighbours.
    [ "$(pixel "$work/shot.png" 100 172)" = "srgb(100,80,80)" ] || fail "the click on the first bar did not start stage 1"
    [ "$(pixel "$work/shot.png" 101 173)" = "srgb(100,80,80)" ] || fail "the pixels are not doubled"
    press_key "$window" Escape
    wait_for_exit "$patience"
    [ "$exit_code" = "0" ] || fail "Esc gave $exit_code"
    ;;
install-prefix | install-deb | install-pack)
    # The installed game as a player without root starts it: a home of their own, no XDG_DATA_HOME.
    root="$work/root"
    if [ "$case_name" != "install-deb" ]; then
        cmake --install "$TESSERA_BUILD_DIR" --prefix "$root/usr" >"$work/install.log" 2>&1 ||
            fail "cmake --install failed: $(cat "$work/install.log")"
    else
        [ -f "${TESSERA_DEB:-}" ] || fail "no package to test: ${TESSERA_DEB:-none given}"
        dpkg-deb -x "$TESSERA_DEB" "$root" || fail "the package does not unpack"
    fi
    launcher="$root/usr/bin/tessera"
    home="$work/home"
    data="$home/.local/share/tessera"
    mkdir -p "$home"
    chmod 755 "$work"
    chmod -R a+rX "$root"
    chown -R nobody:nogroup "$home"
    as_player() {
        setpriv --reuid=nobody --regid=nogroup --clear-groups \
            env -i HOME="$home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin LSAN_OPTIONS=detect_leaks=0 "$@"
    }
    player_tessera() { as_player "$launcher" "$@"; }
    # Stage 1 opened from the list and cleared by the script's clicks up to a frame; once the progress
    # file says so, Esc.
    clear_first_stage() {
        click 500 33
        sleep 1
        play_script_clicks "$1"
        wait_for_byte "$2" 4 01 || fail "$2 does not say stage 1 is cleared"
        press_key "$window" Escape
        wait_for_exit "$patience"
        [ "$exit_code" = "0" ] || fail "the game did not end"
    }
    # The stage list the game draws with the progress in DIR, as the headless runner draws it.
    expected_list() {
        printf '0 5 5 -\n' >"$work/still.txt"
        "$tessera" --headless --dir "$1" --input "$work/still.txt" --shot "60:$2" || fail "the headless picture failed"
    }
    compare_list() {
        start_game player_tessera --seed 4 "${@:2}"
        xdotool mousemove --window "$window" 5 5
        expected_list "$data" "$work/expected.png"
        wait_for_picture "$work/expected.png" ||
            fail "$1: the window's list differs from the expected one in $difference pixels"
    }
    if [ "$case_name" = "install-pack" ]; then
        # Shipped progress the pack must not touch: stage 3 cleared.
        mkdir -p "$data"
        printf '\266\017\023\000\000\000\001\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000' >"$data/hist.dat"
        chown -R nobody:nogroup "$home"
        shipped=$(sha256sum <"$data/hist.dat")
        player_tessera --help | grep -q -- "today's pack: the date in UTC as YYYYMMDD" ||
            fail "the launcher's --help does not describe packs"
        player_tessera --pack list >"$work/list.log" 2>&1 || fail "--pack list with no packs failed"
        grep -qx "no packs made yet: tessera --pack new makes one" "$work/list.log" || fail "no packs: $(cat "$work/list.log")"
        # Made on first use (the headless runner needs no window), then played in the window.
        player_tessera --pack 0011 --headless --frames 1 >/dev/null 2>"$work/make.log" ||
            fail "pack 11 was not made: $(cat "$work/make.log")"
        pack="$data/packs/11"
        [ "$(ls "$pack" | tr '\n' ' ')" = "pack.txt st0.dat st1.dat st2.dat st3.dat st4.dat st5.dat st6.dat st7.dat st8.dat st9.dat " ] ||
            fail "the pack directory holds $(ls -A "$pack")"
        [ "$(stat -c %U "$pack/st0.dat")" = "nobody" ] || fail "the pack does not belong to the player"
        "$TESSERA_CLEAR_PLAN" "$pack" 0 4 >"$work/plan.txt" || fail "no clicks clear stage 1 of pack 11"
        script="$work/plan.txt"
        start_game player_tessera --pack 11 --seed 4
        clear_first_stage 100000 "$pack/hist.dat"
        [ "$(od -An -tx1 -j4 -N1 "$pack/hist.dat" | tr -d ' ')" = "01" ] || fail "the pack's hist.dat does not say stage 1 is cleared"
        [ "$(sha256sum <"$data/hist.dat")" = "$shipped" ] || fail "the shipped stages' progress was changed"
        [ ! -e "$data/st0.dat" ] || fail "playing a pack linked the shipped stages"
        player_tessera --pack list >"$work/list.log" 2>&1
        [ "$(cat "$work/list.log")" = "pack 11: normal, 1 of 10 stages cleared" ] || fail "--pack list says $(cat "$work/list.log")"
        # Today's pack is the one whose seed is the date in UTC (read before and after, should midnight pass).
        before=$(date -u +%Y%m%d)
        player_tessera --pack today --headless --frames 1 >"$work/today.log" 2>"$work/make.log" ||
            fail "today's pack was not made: $(cat "$work/make.log")"
        after=$(date -u +%Y%m%d)
        today=$(cat "$work/today.log")
        [ "$today" = "pack $before" ] || [ "$today" = "pack $after" ] || fail "--pack today said '$today' on $before"
        sed -n 2p "$data/packs/${today#pack }/pack.txt" | grep -qx "seed ${today#pack }" ||
            fail "today's pack is not pack ${today#pack }"
        # What the launcher says to a bad seed and to a home it cannot write.
        player_tessera --pack 4294967296 >"$work/bad.log" 2>&1 && fail "a seed past 32 bits was taken"
        [ "$(cat "$work/bad.log")" = "tessera: a pack is N, hard-N or expert-N with N from 0 to 4294967295, new, today or list, not '4294967296'" ] ||
            fail "bad seed: $(cat "$work/bad.log")"
        mkdir -p "$work/locked/.local/share/tessera"
        chmod -R 755 "$work/locked"
        setpriv --reuid=nobody --regid=nogroup --clear-groups env -i HOME="$work/locked" "$launcher" --pack 5 \
            >"$work/locked.log" 2>&1 && fail "unwritable: the launcher made a pack"
        [ "$(wc -l <"$work/locked.log")" = 1 ] && grep -q "^tessera: cannot write to the data directory" "$work/locked.log" ||
            fail "unwritable: $(cat "$work/locked.log")"
        echo "ok: $case_name"
        exit 0
    fi
    # A relative --record lands where the player started the game, not in the data directory.
    chmod 777 "$work/run"
    compare_list "first start" --record session.txt
    [ "$(ls "$data" | tr '\n' ' ')" = "st0.dat st1.dat st2.dat st3.dat st4.dat st5.dat st6.dat st7.dat st8.dat st9.dat " ] ||
        fail "the data directory holds $(ls "$data")"
    [ -L "$data/st9.dat" ] || fail "the stages are not links to the installed ones"
    clear_first_stage 46 "$data/hist.dat"
    [ "$(od -An -tx1 -j4 -N1 "$data/hist.dat" | tr -d ' ')" = "01" ] || fail "hist.dat does not say stage 1 is cleared"
    grep -q "^seed 4$" "$work/run/session.txt" || fail "the relative --record is not where the game was started"
    [ "$(stat -c %U "$data/hist.dat")" = "nobody" ] || fail "hist.dat does not belong to the player"
    compare_list "second start"
    press_key "$window" Escape
    wait_for_exit "$patience"
    # The player's own stage replaces a link and is kept and used.
    rm "$data/st0.dat"
    head -c 100 "$stage_dir/st0.dat" >"$data/st0.dat"
    chown nobody:nogroup "$data/st0.dat"
    launch_game player_tessera --seed 4
    wait_for_box
    press_key "$box" Return
    wait_for_exit "$patience"
    grep -qx "st0.dat: 100 bytes, not 16216" "$work/game.log" || fail "the player's st0.dat was not read: $(cat "$work/game.log")"
    [ -f "$data/st0.dat" ] && [ ! -L "$data/st0.dat" ] || fail "the player's st0.dat was replaced"
    # What the launcher says when it cannot work.
    env -u HOME -u XDG_DATA_HOME "$launcher" >"$work/nohome.log" 2>&1 && fail "no HOME: the launcher succeeded"
    grep -q "^tessera: no home directory" "$work/nohome.log" || fail "no HOME: $(cat "$work/nohome.log")"
    mkdir -p "$work/locked/.local/share/tessera"
    chmod -R 755 "$work/locked"
    setpriv --reuid=nobody --regid=nogroup --clear-groups env -i HOME="$work/locked" "$launcher" >"$work/locked.log" 2>&1 &&
        fail "unwritable: the launcher succeeded"
    grep -q "^tessera: cannot write to the data directory" "$work/locked.log" || fail "unwritable: $(cat "$work/locked.log")"
    ;;
idle)
    # Waiting for the next frame sleeps and the picture is shown only when it changed: a loop that spun
    # would take a whole core, and one that never waited would run far more than a frame every 50 ms.
    # The figures themselves are make bench's (the case idle-figure).
    start_game "$release_tessera" --seed 1 --record "$work/session.txt"
    measure_cpu 5
    end_idle_game
    [ "$percent" -lt 30000 ] || fail "idle CPU use is $((percent / 1000))% of one core"
    [ "$frames" -le $((expected * 2 + 20)) ] || fail "$frames frames ran where $expected were due"
    [ "$frames" -ge $((expected / 4)) ] || fail "only $frames frames ran where $expected were due"
    ;;
idle-figure)
    # The idle window's CPU use against its aim of 3% of one core, and its frames against one every 50 ms.
    start_game "$release_tessera" --seed 1 --record "$work/session.txt"
    measure_cpu 20
    end_idle_game
    [ "$percent" -lt 3000 ] || echo "idle: above the aim of 3% of one core"
    exit 0
    ;;
*)
    fail "unknown case"
    ;;
esac
echo "ok: $case_name"

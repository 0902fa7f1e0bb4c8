# The waits and reads the window tests share, under X and under Wine; sourced after work, case_name and screenshot are set.

fail() {
    echo "FAIL ($case_name): $*" >&2
    exit 1
}

# How long a test waits for what it checks (the game's end, a file, a picture) before it fails. A game
# that works gives it within a frame or two; this only bounds a test on a machine busy with other work.
patience=30

# Waits up to SECONDS for the game to end; sets exit_code ("running" if it did not).
wait_for_exit() {
    exit_code="running"
    for _ in $(seq $(($1 * 20))); do
        if ! kill -0 "$game_pid" 2>/dev/null; then
            wait "$game_pid"
            exit_code=$?
            game_pid=""
            return 0
        fi
        sleep 0.05
    done
}

# Waits up to SECONDS (patience if none) until FILE's byte at OFFSET is HEX (as od writes it); false if it
# never is.
wait_for_byte() {
    for _ in $(seq $((${4:-$patience} * 20))); do
        [ "$(od -An -tx1 -j"$2" -N1 "$1" 2>/dev/null | tr -d ' ')" = "$3" ] && return 0
        sleep 0.05
    done
    return 1
}

# Takes screenshots of the game until one is EXPECTED's picture; sets difference (0 once they agree).
wait_for_picture() {
    for _ in $(seq "$patience"); do
        screenshot "$work/seen.png"
        difference=$(compare -metric AE "$work/seen.png" "$1" null: 2>&1)
        [ "$difference" = "0" ] && return 0
        sleep 1
    done
    return 1
}

# Waits up to a minute for the progress file FILE, written when a stage is cleared; fails unless it
# says stage 1 is. A plan typed ahead takes as long as its keys.
wait_for_first_clear() {
    wait_for_byte "$1" 4 01 60 || fail "$2: $(cat "$work/game.log")"
}

# Takes screenshots half a second apart until two agree: what plays out by itself ("Perfect!") has ended.
# The last one is left in $work/window.png.
wait_for_still_picture() {
    screenshot "$work/before.png"
    for _ in $(seq 100); do
        sleep 0.5
        screenshot "$work/window.png"
        cmp -s "$work/before.png" "$work/window.png" && return 0
        cp "$work/window.png" "$work/before.png"
    done
}

# The colour of IMAGE's pixel at (X, Y), as ImageMagick writes it.
pixel() {
    convert "$1" -format "%[pixel:p{$2,$3}]" info:
}

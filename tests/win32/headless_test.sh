#!/bin/sh
# The Windows headless runner under Wine against the Linux one: the same pictures and the same saved progress.
# usage: headless_test.sh frames|save TESSERA_EXE LINUX_RUNNER RUN_DIR SOURCE_DIR   (WINEPREFIX set)
set -eu
case=$1 exe=$2 runner=$3 run_dir=$4 source=$5
work=$(mktemp -d /tmp/tessera-wine-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "$case: $*" >&2; exit 1; }

# A directory with the ten stages, and progress when given as octal escapes.
stage_dir() {
    mkdir -p "$1"
    cp "$run_dir"/st?.dat "$1"/
    [ -z "${2:-}" ] || printf "$2" >"$1/hist.dat"
}

# The script's last frame, from its "FRAME X Y BUTTONS" lines.
last_frame() { awk '$1 ~ /^[0-9]+$/ { last = $1 } END { print last }' "$1"; }

frames() {
    select_progress='\266\017\023\000\000\000\000\001\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000'
    compared=0
    for entry in "docs/screenshots/select.txt::$select_progress" "docs/screenshots/play.txt:6:" \
        "docs/screenshots/chooser.txt:8:" "docs/screenshots/celebration.txt:0:" "tests/data/whole-stage.txt:0:"; do
        script=$source/${entry%%:*}
        rest=${entry#*:}
        stage=${rest%%:*}
        progress=${rest#*:}
        name=$(basename "$script" .txt)
        last=$(last_frame "$script")
        set -- ${stage:+--stage $stage} --input "$script"
        linux_shots="" windows_shots=""
        frame=0
        while [ "$frame" -le "$last" ]; do
            linux_shots="$linux_shots --shot $frame:$work/$name-linux-$frame.png"
            windows_shots="$windows_shots --shot $frame:$name-windows-$frame.png"
            frame=$((frame + 10))
        done
        linux_shots="$linux_shots --shot $last:$work/$name-linux-$last.png"
        windows_shots="$windows_shots --shot $last:$name-windows-$last.png"
        stage_dir "$work/$name-linux" "$progress"
        stage_dir "$work/$name-windows" "$progress"
        "$runner" --headless --dir "$work/$name-linux" "$@" $linux_shots || fail "$name: the Linux runner failed"
        # Relative shot paths land where the command was started, not in --dir.
        (cd "$work" && wine "$exe" --headless --dir "$name-windows" "$@" $windows_shots) ||
            fail "$name: the Windows runner failed"
        [ -z "$(ls "$work/$name-windows" | grep -v -e '^st[0-9].dat$' -e '^hist.dat$')" ] ||
            fail "$name: outputs landed in --dir: $(ls "$work/$name-windows")"
        for linux in "$work/$name"-linux-*.png; do
            frame=${linux##*-}
            windows=$work/$name-windows-$frame
            [ -s "$windows" ] || fail "$name: no picture of frame ${frame%.png} from Windows"
            # The encoders differ; the decoded pixels must not.
            differing=$(compare -metric AE "$linux" "$windows" null: 2>&1) || true
            [ "$differing" = 0 ] || fail "$name frame ${frame%.png}: $differing pixels differ"
            compared=$((compared + 1))
        done
    done
    # Every path but --dir's own is read from where the command started: an input, a trace and a shot
    # named relative to it, with the game's files elsewhere.
    mkdir -p "$work/start/out"
    stage_dir "$work/data"
    cp "$source/tests/data/whole-stage.txt" "$work/start/s.txt"
    (cd "$work/start" && wine "$exe" --headless --dir ../data --stage 0 --input s.txt --shot 5:x.png \
        --shot 12:out/y.png --trace t.jsonl) || fail "the run with relative paths failed"
    [ -s "$work/start/x.png" ] && [ -s "$work/start/out/y.png" ] && [ -s "$work/start/t.jsonl" ] ||
        fail "relative outputs are not where the command started: $(ls -R "$work/start")"
    [ "$(ls "$work/data" | tr '\n' ' ')" = "hist.dat st0.dat st1.dat st2.dat st3.dat st4.dat st5.dat st6.dat st7.dat st8.dat st9.dat " ] ||
        fail "the data directory holds $(ls "$work/data")"
    echo "ok: $compared pictures the same as the Linux runner's; relative paths from where the command started"
}

# Clearing the first stage saves the same bytes as on Linux; a link at hist.dat is replaced, never written
# through; a save that cannot be made, before or after its temporary file exists, leaves the old file and
# no temporary file behind.
save() {
    script=$source/tests/data/whole-stage.txt
    stage_dir "$work/linux"
    stage_dir "$work/windows"
    "$runner" --headless --dir "$work/linux" --stage 0 --input "$script" || fail "the Linux runner failed"
    wine "$exe" --headless --dir "$work/windows" --stage 0 --input "$script" || fail "the Windows runner failed"
    cmp "$work/linux/hist.dat" "$work/windows/hist.dat" || fail "hist.dat differs from the Linux runner's"
    # A link planted at hist.dat: the file it points at keeps its bytes.
    stage_dir "$work/link"
    printf 'not the progress file' >"$work/victim"
    ln -s "$work/victim" "$work/link/hist.dat"
    wine "$exe" --headless --dir "$work/link" --stage 0 --input "$script" || fail "the run with a link failed"
    [ "$(cat "$work/victim")" = "not the progress file" ] || fail "the save wrote through the link"
    [ -f "$work/link/hist.dat" ] && [ ! -L "$work/link/hist.dat" ] || fail "the link was not replaced"
    cmp "$work/linux/hist.dat" "$work/link/hist.dat" || fail "the save over the link differs"
    # A FIFO at hist.dat is neither waited on when read nor replaced: the game plays on, the FIFO stays.
    stage_dir "$work/blocked"
    mkfifo "$work/blocked/hist.dat"
    timeout 60 wine "$exe" --headless --dir "$work/blocked" --stage 0 --input "$script" 2>/dev/null ||
        fail "the run with a FIFO at hist.dat failed or waited"
    [ -p "$work/blocked/hist.dat" ] || fail "the FIFO at hist.dat is gone"
    # A hist.dat another program holds open cannot be replaced (Windows refuses the move): the temporary
    # file goes, the old bytes stay. The holder is cmd appending to it while find waits on a pipe.
    stage_dir "$work/held" 'old progress file bytes!'
    mkfifo "$work/hold"
    (cd "$work/held" && wine cmd /c 'find "never" >> hist.dat' <"$work/hold" >/dev/null 2>&1) &
    holder=$!
    exec 3>"$work/hold"
    tries=0
    until ls -l /proc/[0-9]*/fd 2>/dev/null | grep -q "$work/held/hist.dat"; do
        tries=$((tries + 1))
        [ "$tries" -lt 300 ] || fail "the holder never opened hist.dat"
        sleep 0.1
    done
    wine "$exe" --headless --dir "$work/held" --stage 0 --input "$script" 2>"$work/held.err" ||
        fail "the run with a held hist.dat failed"
    exec 3>&-
    wait "$holder" || true
    grep -q "cannot save hist.dat" "$work/held.err" || fail "no word of the failed save: $(cat "$work/held.err")"
    [ "$(cat "$work/held/hist.dat")" = 'old progress file bytes!' ] || fail "the held hist.dat changed"
    for directory in windows link blocked held; do
        leftovers=$(find "$work/$directory" -name '*.tmp*')
        [ -z "$leftovers" ] || fail "temporary files left behind: $leftovers"
    done
    echo "ok: hist.dat the same as the Linux runner's, links replaced, nothing left behind"
}

case "$case" in
frames | save) "$case" ;;
*) fail "unknown case" ;;
esac

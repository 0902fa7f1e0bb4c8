#!/bin/bash
# Stage packs: the same bytes for every --jobs and the pinned ones, and the rules of a pack proved by both counters.
# usage: stage_pack_test.sh TESSERA_STAGES TESSERA [WEBASSEMBLY_TESSERA_STAGES.js]
set -u
tool=$1
game=$2
wasm_tool=${3:-}
work=$(mktemp -d /tmp/tessera-packs-XXXXXX)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

# The SHA-256 of st0.dat ... st9.dat and pack.txt without its "tessera VERSION" line, in that order,
# for a few packs. A change to the generator that changes them must bump packGeneratorVersion and pin
# them anew; a new release of the game changes only the line that names it.
declare -A pinned=(
    [1]=7cb2d6ff9e995418497af2db847bbfa89de1c08ab490b722027fb64d5411aee3
    [2]=40c11d3dfef31a75d0b879e619c716ff610f6deb693ab12a92c81be06f0fdc8c
    [4294967295]=b1f26a760b74ebf5b38432042cf03408e2da7c298dd6c2531f38c523282fa5fd
    [hard-4]=a0ee61e7852ba62bac55cc5a5108252978bea0a776b833c8575d673d095fdfe3
    [expert-1]=5a277254875ebbee2ab9c1c92f01fbf8e512875d5afe995e9d2dcfbedf32bfa5
)
version=11

release=$("$tool" --version | sed -n 's/^tessera-stages //p')

pack_hash() {
    { cat "$1"/st{0..9}.dat && grep -vx "tessera $release" "$1/pack.txt"; } | sha256sum | cut -d' ' -f1
}

# The grade in a report of check --grade, read from standard input.
grade_in() {
    sed -n 's/^grade: \([0-9.]*\) .*/\1/p'
}

# Sets level and seed from a pack's name: 48213, hard-48213 or expert-48213.
split_name() {
    level=normal
    seed=$1
    if [ "${1#*-}" != "$1" ]; then
        level=${1%-*}
        seed=${1#*-}
    fi
}

# The rules of one pack of its level, proved stage by stage. A harder level's first stage is
# above the normal pack's stage of the same seed given as beat (6 for hard, 8 for expert).
check_rules() {
    local name=$1 level=$2 seed=$3 dir=$4 beat=${5:-}
    local header="seed $seed generator $version tessera $release "
    local lines=4
    if [ "$level" != normal ]; then
        header="seed $seed level $level generator $version tessera $release "
        lines=5
    fi
    head -"$lines" "$dir/pack.txt" | tail -$((lines - 1)) | tr '\n' ' ' | grep -qx "$header" ||
        fail "pack $name: pack.txt does not begin with its seed, level, generator and the game's release: $(head -"$lines" "$dir/pack.txt")"
    local previous_grade="" previous_area=0 decoy_stages=0 first_unique=2
    [ "$level" != normal ] && first_unique=0
    if [ -n "$beat" ]; then
        previous_grade=$("$tool" check --grade "$work/$seed-1/st$((beat - 1)).dat" | grade_in)
    fi
    for k in 0 1 2 3 4 5 6 7 8 9; do
        local stage="$dir/st$k.dat" number=$((k + 1))
        local report width height cells pieces area grade
        report=$("$tool" check --grade "$stage")
        read -r width height cells pieces area < <(echo "$report" |
            sed -n 's/^board \([0-9]*\) x \([0-9]*\) (\([0-9]*\) cells), \([0-9]*\) pieces with \([0-9]*\) cells$/\1 \2 \3 \4 \5/p')
        [ -n "${area:-}" ] || fail "pack $name stage $number: no board line in: $report"
        grade=$(echo "$report" | grade_in)
        [ "$area" -gt "$cells" ] && decoy_stages=$((decoy_stages + 1))
        [ "$cells" -ge "$previous_area" ] || fail "pack $name stage $number: $cells cells after $previous_area"
        previous_area=$cells
        if [ "$k" -lt "$first_unique" ]; then
            # The first two teach on small boards.
            [ "$cells" -le 12 ] || fail "pack $name stage $number: $cells cells is no small board"
            continue
        fi
        # One tiling up to the board's turns, by the fast counter; every tiling counted
        # by it and by dancing links alike, and no more than the board has turns.
        "$tool" check --distinct "$stage" | grep -qx "distinct tilings: 1" ||
            fail "pack $name stage $number is not unique: $("$tool" check --distinct "$stage" | grep distinct)"
        local fast reference turns=2
        fast=$("$tool" check --board-only --solve "$stage" | sed -n 's/^solutions: //p')
        [ "$width" = "$height" ] && turns=4
        [ "$fast" -ge 1 ] && [ "$fast" -le "$turns" ] ||
            fail "pack $name stage $number: $fast tilings, more than the board's $turns turns give one"
        if [ "$level" = expert ]; then
            # Dancing links would take a minute on each of these boards: they find two
            # tilings, as the turns of the one give.
            reference=$("$tool" check --board-only --reference --limit 2 "$stage" | sed -n 's/^solutions: //p')
            [ "$reference" = "at least 2" ] || fail "pack $name stage $number: dancing links found $reference tilings"
        else
            reference=$("$tool" check --board-only --reference "$stage" | sed -n 's/^solutions: //p')
            [ "$fast" = "$reference" ] || fail "pack $name stage $number: $fast tilings by the fast counter, $reference by dancing links"
        fi
        if [ -n "$previous_grade" ] && ! awk -v a="$previous_grade" -v b="$grade" 'BEGIN {exit !(b > a)}'; then
            fail "pack $name stage $number's grade $grade does not rise above $previous_grade"
        fi
        previous_grade=$grade
        if [ "$k" -ge 8 ]; then
            case $level in
            normal) [ "$width" = 10 ] && [ "$height" = 6 ] && [ "$pieces" -ge 12 ] ;;
            hard) [ "$width" = 10 ] && [ "$height" = 8 ] && [ "$pieces" -ge 16 ] ;;
            expert) [ "$width" = 10 ] && [ "$height" = 10 ] && [ "$pieces" -ge 20 ] ;;
            esac || fail "pack $name stage $number is $width x $height with $pieces pieces, not as its level's last"
        fi
    done
    [ "$decoy_stages" -ge 2 ] || fail "pack $name: $decoy_stages stages with decoys, not two or more"
    if [ "$level" = expert ]; then
        "$tool" check --grade "$dir/st0.dat" | grep -q '^board 8 x 8 ' ||
            fail "pack $name does not begin at 8 x 8: $("$tool" check --grade "$dir/st0.dat" | grep '^board')"
    fi
}

# Normal packs first: a harder pack's first stage is measured against the normal one of its seed.
for name in $(printf '%s\n' "${!pinned[@]}" | sort -t- -k2,2 -k1,1); do
    split_name "$name"
    for jobs in 1 2 4; do
        "$tool" pack --seed "$seed" --level "$level" --jobs "$jobs" -o "$work/$name-$jobs" 2>"$work/errors" ||
            fail "pack $name with $jobs jobs: $(cat "$work/errors")"
    done
    for jobs in 2 4; do
        diff -r "$work/$name-1" "$work/$name-$jobs" >/dev/null || fail "pack $name differs between 1 and $jobs jobs"
    done
    hash=$(pack_hash "$work/$name-1")
    [ "$hash" = "${pinned[$name]}" ] || fail "pack $name's files hash to $hash, not the pinned ${pinned[$name]}"
    case $level in
    normal) check_rules "$name" normal "$seed" "$work/$name-1" ;;
    hard | expert)
        [ -d "$work/$seed-1" ] || "$tool" pack --seed "$seed" -o "$work/$seed-1" || fail "normal pack $seed"
        beat=6
        [ "$level" = expert ] && beat=8
        check_rules "$name" "$level" "$seed" "$work/$name-1" "$beat"
        ;;
    esac
done

# The WebAssembly build, one job as in the browser, makes the very same bytes.
if [ -n "$wasm_tool" ]; then
    for name in 2 hard-4 expert-1; do
        split_name "$name"
        node "$wasm_tool" pack --seed "$seed" --level "$level" --jobs 1 -o "$work/wasm-$name" 2>"$work/errors" ||
            fail "the WebAssembly tool failed on pack $name: $(cat "$work/errors")"
        diff -r "$work/$name-1" "$work/wasm-$name" >/dev/null ||
            fail "the WebAssembly tool's pack $name differs from the native one"
    done
fi

# The game's --pack makes the tool's very pack, and makes a damaged or missing stage again from
# pack.txt, saying so, with the pack's progress kept.
data="$work/data"
mkdir -p "$data"
(cd "$data" && "$game" --pack 2 --headless --frames 1 >/dev/null 2>"$work/errors") ||
    fail "tessera --pack 2 failed: $(cat "$work/errors")"
diff -r "$work/2-1" "$data/packs/2" >/dev/null || fail "pack 2 made by the game differs from the tool's"
head -c 100 "$work/2-1/st3.dat" >"$data/packs/2/st3.dat"
rm "$data/packs/2/st5.dat"
printf 'progress' >"$data/packs/2/hist.dat"
(cd "$data" && "$game" --pack 2 --headless --frames 1 >/dev/null 2>"$work/errors") ||
    fail "tessera --pack 2 did not mend the pack: $(cat "$work/errors")"
[ "$(grep -c 'made again from pack.txt$' "$work/errors")" = 2 ] || fail "the mends were not said: $(cat "$work/errors")"
rm "$data/packs/2/hist.dat"
diff -r "$work/2-1" "$data/packs/2" >/dev/null || fail "the mended pack 2 differs from the tool's"

# A pack of another level is made by the game as the tool makes it, kept in a folder of its own
# with progress of its own, found by its name or by its number and --level, and listed with its
# level.
(cd "$data" && "$game" --pack hard-4 --headless --frames 1 >/dev/null 2>"$work/errors") ||
    fail "tessera --pack hard-4 failed: $(cat "$work/errors")"
diff -r "$work/hard-4-1" "$data/packs/hard-4" >/dev/null || fail "pack hard-4 made by the game differs from the tool's"
printf 'progress' >"$data/packs/2/hist.dat"
rm "$data/packs/hard-4/st5.dat"
(cd "$data" && "$game" --pack 4 --level hard --headless --frames 1 >/dev/null 2>"$work/errors") ||
    fail "tessera --pack 4 --level hard failed: $(cat "$work/errors")"
[ "$(cat "$work/errors")" = "tessera: pack hard-4: st5.dat was missing; made again from pack.txt" ] ||
    fail "pack hard-4 was not mended from its pack.txt: $(cat "$work/errors")"
diff -r "$work/hard-4-1" "$data/packs/hard-4" >/dev/null || fail "the mended pack hard-4 differs from the tool's"
[ "$(cat "$data/packs/2/hist.dat")" = progress ] || fail "playing pack hard-4 touched pack 2's progress"
[ ! -e "$data/packs/hard-4/hist.dat" ] || fail "pack hard-4 was given progress it never made"
rm "$data/packs/2/hist.dat"
(cd "$data" && "$game" --pack list) >"$work/list" || fail "tessera --pack list failed"
[ "$(cat "$work/list")" = "pack 2: normal, 0 of 10 stages cleared
pack hard-4: hard, 0 of 10 stages cleared" ] || fail "--pack list says: $(cat "$work/list")"

# A level that disagrees with the pack's name, a level with no pack to play, and a name or level of
# none are refused in one line each, with nothing made.
before=$(ls -A "$data/packs")
for bad in "--pack hard-4 --level normal" "--pack master-2" "--pack hard-4 --level=expert" "--level hard" "--pack list --level hard" \
    "--pack normal-2" "--pack hard-" "--pack new --level extreme" "--pack today --level"; do
    # shellcheck disable=SC2086 # each case is words to split
    (cd "$data" && "$game" $bad --headless --frames 1) >"$work/out" 2>&1 && fail "'$bad' was taken"
    [ "$(wc -l <"$work/out")" = 1 ] && grep -q "^tessera: " "$work/out" || fail "'$bad': not one line: $(cat "$work/out")"
done
[ "$(ls -A "$data/packs")" = "$before" ] || fail "a refused level made $(ls -A "$data/packs")"

# Seeds are 32-bit whole numbers; anything else is refused in one line.
for bad in -1 4294967296 12x "" 0x10; do
    "$tool" pack --seed "$bad" -o "$work/bad" >"$work/out" 2>&1 && fail "seed '$bad' was taken"
    [ "$(wc -l <"$work/out")" = 1 ] || fail "seed '$bad': not one line: $(cat "$work/out")"
    [ ! -e "$work/bad" ] || fail "seed '$bad' made a directory"
done
[ "$failed" = 0 ] && echo "ok: stage packs"
exit "$failed"

#!/bin/sh
# Stage packs with tessera.exe under Wine: the native tool's very pack, its own progress, today's pack.
# usage: pack_test.sh TESSERA_EXE STAGE_TOOL CLEAR_PLAN RUN_DIR   (WINEPREFIX set)
set -eu
exe=$(readlink -f "$1") tool=$2 clear_plan=$3 run_dir=$4
work=$(mktemp -d /tmp/tessera-wine-pack-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL (packs): $*" >&2; exit 1; }
pack_files="pack.txt st0.dat st1.dat st2.dat st3.dat st4.dat st5.dat st6.dat st7.dat st8.dat st9.dat"

# The game as it is unpacked from the zip: its stages, and progress with stage 3 cleared, in its folder.
game=$work/game
mkdir -p "$game"
cp "$run_dir"/st?.dat "$game"/
printf '\266\017\023\000\000\000\001\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000' >"$game/hist.dat"
shipped=$(sha256sum <"$game/hist.dat")
tessera() { (cd "$game" && wine "$exe" "$@"); }

tessera --pack list >"$work/list.log" 2>&1 || fail "--pack list with no packs failed: $(cat "$work/list.log")"
[ "$(tr -d '\r' <"$work/list.log")" = "no packs made yet: tessera --pack new makes one" ] ||
    fail "no packs: $(cat "$work/list.log")"

# Made on first use in packs\11 beside the game's files, byte for byte the Linux tool's pack 11.
tessera --pack 0011 --headless --frames 1 >/dev/null 2>"$work/make.log" || fail "pack 11 was not made: $(cat "$work/make.log")"
pack=$game/packs/11
[ "$(ls -A "$pack" | tr '\n' ' ')" = "$pack_files " ] || fail "the pack's folder holds $(ls -A "$pack")"
"$tool" pack --seed 11 -o "$work/linux-11" >/dev/null || fail "the Linux tool did not make pack 11"
for name in $pack_files; do
    cmp -s "$work/linux-11/$name" "$pack/$name" || fail "$name of pack 11 differs from the Linux tool's"
done

# Stage 1 of the pack cleared: its progress is the pack's, and the shipped stages' stays as it was.
"$clear_plan" "$pack" 0 4 >"$work/plan.txt" || fail "no clicks clear stage 1 of pack 11"
tessera --pack 11 --headless --stage 0 --input "$(winepath -w "$work/plan.txt" 2>/dev/null)" >/dev/null 2>"$work/play.log" ||
    fail "pack 11 did not play: $(cat "$work/play.log")"
[ "$(od -An -tx1 -j4 -N1 "$pack/hist.dat" | tr -d ' ')" = "01" ] || fail "the pack's hist.dat does not say stage 1 is cleared"
[ "$(sha256sum <"$game/hist.dat")" = "$shipped" ] || fail "the shipped stages' progress was changed"
tessera --pack list >"$work/list.log" 2>&1
[ "$(tr -d '\r' <"$work/list.log")" = "pack 11: normal, 1 of 10 stages cleared" ] || fail "--pack list says $(cat "$work/list.log")"

# Today's pack is the pack of the date in UTC, YYYYMMDD.
before=$(date -u +%Y%m%d)
tessera --pack today --headless --frames 1 >"$work/today.log" 2>"$work/make.log" ||
    fail "today's pack was not made: $(cat "$work/make.log")"
after=$(date -u +%Y%m%d)
today=$(tr -d '\r' <"$work/today.log")
[ "$today" = "pack $before" ] || [ "$today" = "pack $after" ] || fail "--pack today said '$today' on $before"
sed -n 2p "$game/packs/${today#pack }/pack.txt" | tr -d '\r' | grep -qx "seed ${today#pack }" ||
    fail "today's pack is not pack ${today#pack }"

# A bad pack, a level at odds with it and a second place to play are refused in one line, with nothing made.
tessera --pack 4294967296 --headless >"$work/bad.log" 2>&1 && fail "a seed past 32 bits was taken"
[ "$(tr -d '\r' <"$work/bad.log")" = "tessera: a pack is N, hard-N or expert-N with N from 0 to 4294967295, new, today or list, not '4294967296'" ] ||
    fail "bad seed: $(cat "$work/bad.log")"
tessera --pack hard-11 --level normal --headless >"$work/bad.log" 2>&1 && fail "a level the pack's name disagrees with was taken"
[ "$(tr -d '\r' <"$work/bad.log")" = "tessera: pack hard-11 is hard, not normal" ] || fail "disagreeing level: $(cat "$work/bad.log")"
tessera --help >"$work/help.log" 2>&1 || fail "--help failed"
grep -q -- "--pack P" "$work/help.log" || fail "--help does not list --pack: $(cat "$work/help.log")"
[ "$(ls -A "$game/packs" | tr '\n' ' ')" = "11 ${today#pack } " ] || fail "the packs folder holds $(ls -A "$game/packs")"
echo "ok: pack 11 the Linux tool's, cleared with its own progress; today's pack ${today#pack }"

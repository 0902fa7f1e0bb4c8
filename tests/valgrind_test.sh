#!/bin/sh
# A whole stage played through, under valgrind memcheck: no leak, no invalid access.
# usage: valgrind_test.sh TESSERA STAGE_DIR SCRIPT
set -eu
work=$(mktemp -d /tmp/tessera-valgrind-XXXXXX)
trap 'rm -rf "$work"' EXIT
cp "$2"/st*.dat "$work/"
valgrind -q --error-exitcode=3 --leak-check=full --errors-for-leak-kinds=definite,indirect \
    --show-leak-kinds=definite,indirect \
    "$1" --headless --dir "$work" --stage 0 --input "$3" --trace "$work/trace.jsonl"
tail -1 "$work/trace.jsonl" | grep -q '"gameMode":0' || { echo "the play did not return to the stage list" >&2; exit 1; }
[ "$(od -An -tx1 -j4 -N1 "$work/hist.dat" | tr -d ' ')" = "01" ] || { echo "hist.dat does not say stage 1 is cleared" >&2; exit 1; }
echo "valgrind: clean"

#!/bin/sh
# A new stage from generation to play, as the README tells a newcomer to make one.
# usage: stage_workflow_test.sh TESSERA_STAGES TESSERA STAGE_SOURCES_DIR
set -eu
tool=$1
game=$2
work=$(mktemp -d /tmp/tessera-workflow-XXXXXX)
trap 'rm -rf "$work"' EXIT
"$tool" generate --width 6 --height 5 --pieces 6 --min-cells 4 --max-cells 6 --seed 3 > "$work/my.txt"
"$tool" check --solve --print 1 "$work/my.txt" > "$work/check.txt"
grep -q '^solutions: [1-9]' "$work/check.txt" || { echo "the generated stage has no solution" >&2; exit 1; }
# Sizes that pieces grown from seed cells never all reach are split all the same.
"$tool" generate --width 10 --height 8 --pieces 16 --min-cells 4 --max-cells 7 --seed 1 > "$work/tight.txt"
"$tool" check "$work/tight.txt" | grep -q 'board 10 x 8 (80 cells), 16 pieces with 80 cells' ||
    { echo "10 x 8 in sixteen pieces of four to seven cells was not split" >&2; exit 1; }
# The nine first shipped stages and the new one: the new one is the tenth, st9.dat.
"$tool" build "$3"/0[1-9]-*.txt "$work/my.txt" -o "$work/new/dir"
[ "$(ls "$work/new/dir" | wc -l)" -eq 10 ] || { echo "build did not write ten stage files" >&2; exit 1; }
"$tool" show "$work/new/dir/st9.dat" | grep -q '6 x 5' || { echo "show does not give the new board" >&2; exit 1; }
"$game" --headless --dir "$work/new/dir" --stage 9 --frames 2 --trace "$work/trace.jsonl"
tail -1 "$work/trace.jsonl" | grep -q '"currentStage":9' || { echo "the new stage is not in play" >&2; exit 1; }
tail -1 "$work/trace.jsonl" | grep -q '"columns":12' || { echo "the new board's grid is wrong" >&2; exit 1; }
echo "stage workflow: fine"

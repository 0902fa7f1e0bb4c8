#!/bin/bash
# The README's stage table, proved row by row with the solver, and the rules of the stage set.
# usage: stage_table_test.sh README TESSERA_STAGES STAGE_SOURCE_DIR STAGE_DAT_DIR
set -u
readme=$1
tool=$2
sources=$3
built=$4
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

rows=$(awk '/^\| # \| stage \| board \| pieces \| decoys \| distinct/ {on = 1; next} on && /^\|---/ {next}
    on && /^\|/ {print; next} on {exit}' "$readme")
[ "$(echo "$rows" | grep -c .)" = 10 ] || fail "the README's stage table does not have ten rows"

previous_grade=""
decoy_stages=0
while IFS='|' read -r _ number title board pieces decoys distinct grade rules _; do
    number=$(echo "$number" | tr -d ' ')
    title=$(echo "$title" | sed 's/^ *//; s/ *$//')
    board=$(echo "$board" | tr -d ' ')
    pieces=$(echo "$pieces" | tr -d ' ')
    decoys=$(echo "$decoys" | tr -d ' ')
    distinct=$(echo "$distinct" | tr -d ' ')
    grade=$(echo "$grade" | tr -d ' ')
    rules=$(echo "$rules" | sed 's/^ *//; s/ *$//; s/,//g')
    dat="$built/st$((number - 1)).dat"
    source=$(ls "$sources"/$(printf '%02d' "$number")-*.txt)
    report=$("$tool" check --distinct --grade "$dat")
    grep -qx "# $title" "$source" || fail "stage $number: the source's title is not $title"
    echo "$report" | grep -q "^board ${board/x/ x } ([0-9]* cells), $pieces pieces" ||
        fail "stage $number: not $board with $pieces pieces: $(echo "$report" | grep '^board')"
    echo "$report" | grep -qx "distinct tilings: $distinct" ||
        fail "stage $number: $(echo "$report" | grep '^distinct'), not $distinct"
    echo "$report" | grep -q "^grade: $grade " || fail "stage $number: $(echo "$report" | grep '^grade'), not $grade"
    # Decoys are the pieces drawn after the board, each in a block of its own.
    drawn=$(awk '/^#/ {next} /^$/ {blocks++} END {print blocks + 0}' "$source")
    [ "$drawn" = "$decoys" ] || fail "stage $number: $drawn decoys drawn, not $decoys"
    case "$rules" in
    "at least "*)
        n=${rules#at least }
        "$tool" check --solve --limit "$n" "$dat" | grep -qx "solutions: at least $n" ||
            fail "stage $number: fewer than $n solutions under the game's rules"
        ;;
    *)
        "$tool" check --solve "$dat" | grep -qx "solutions: $rules" ||
            fail "stage $number: not $rules solutions under the game's rules"
        ;;
    esac
    # The rules of the set: unique from stage 3 on, grades rising, decoys in two stages at least.
    [ "$number" -ge 3 ] && [ "$distinct" != 1 ] && fail "stage $number has $distinct tilings, not one"
    if [ -n "$previous_grade" ] && ! awk -v a="$previous_grade" -v b="$grade" 'BEGIN {exit !(b > a)}'; then
        fail "stage $number's grade $grade does not rise above $previous_grade"
    fi
    previous_grade=$grade
    [ "$decoys" -gt 0 ] && decoy_stages=$((decoy_stages + 1))
done <<<"$rows"
[ "$decoy_stages" -ge 2 ] || fail "only $decoy_stages stages carry decoys"
[ "$failed" = 0 ] && echo "ok: the stage table holds"
exit "$failed"

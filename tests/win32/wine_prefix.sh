#!/bin/sh
# Makes the one Wine prefix of a test run, fresh, in the build directory: never the user's home.
# usage: wine_prefix.sh PREFIX
set -eu
prefix=$1
# A server left from an earlier run would write its registry into the new prefix as it ends.
if [ -d "$prefix" ]; then WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; fi
rm -rf "$prefix"
mkdir -p "$prefix"
# No Mono or Gecko: nothing here needs them, and their installers would ask. No menu builder:
# it would write desktop entries into the home directory.
WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" wineboot -i >"$prefix.log" 2>&1 ||
    { cat "$prefix.log" >&2; echo "wineboot could not make $prefix" >&2; exit 1; }
# wineboot returns before its server has written everything out.
WINEPREFIX=$prefix wineserver -w
[ -f "$prefix/system.reg" ] || { echo "no registry in $prefix" >&2; exit 1; }
echo "ok: Wine prefix in $prefix"

#!/bin/sh
# The files that make Tessera an installed game pass Debian's validators, and the programs explain themselves.
# usage: packaging_test.sh SOURCE_DIR BUILD_DIR TESSERA TESSERA_STAGES DEB
set -u
source_dir=$1
build_dir=$2
tessera=$3
stages_tool=$4
deb=${5:-}
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

desktop-file-validate "$source_dir/org.tesseragame.Tessera.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$build_dir/org.tesseragame.Tessera.metainfo.xml" || fail "appstreamcli validate"

export LSAN_OPTIONS=detect_leaks=0
"$tessera" --help >/tmp/tessera-help.$$ || fail "tessera --help exit code"
for option in --seed --record --scale --headless --dir --stage --input --frames --trace --shot --version; do
    grep -q -- "$option" /tmp/tessera-help.$$ || fail "tessera --help does not list $option"
done
rm -f /tmp/tessera-help.$$
"$tessera" --version | grep -qx "tessera [0-9.]*" || fail "tessera --version"
"$stages_tool" --help | grep -q -- "--time-limit" || fail "tessera-stages --help"
"$stages_tool" generate --width 5 --help | grep -q -- "--jobs N: threads" || fail "tessera-stages generate --help"
"$stages_tool" --version | grep -qx "tessera-stages [0-9.]*" || fail "tessera-stages --version"
for page in tessera tessera-stages; do
    [ -s "$build_dir/man/$page.6.gz" ] || fail "no manual page $page(6)"
done

if [ -z "$deb" ] || [ ! -f "$deb" ]; then
    fail "no package to check: '${deb}'"
else
    lintian --pedantic --fail-on error,warning,pedantic "$deb" || fail "lintian --pedantic reports tags on $deb"
    # One release everywhere: the package, both programs, the newest AppStream and changelog entries.
    version=$(dpkg-deb -f "$deb" Version)
    "$tessera" --version | grep -qx "tessera $version" || fail "tessera --version is not the package's $version"
    "$stages_tool" --version | grep -qx "tessera-stages $version" ||
        fail "tessera-stages --version is not the package's $version"
    grep -m1 '<release ' "$build_dir/org.tesseragame.Tessera.metainfo.xml" |
        grep -q "version=\"$version\" date=\"[0-9-]*\"" || fail "AppStream's newest release is not $version"
    gzip -dc "$build_dir/doc/changelog.gz" | head -1 | grep -q "^tessera ($version) " ||
        fail "the changelog's newest entry is not $version"
    dpkg-deb -f "$deb" Section | grep -qx games || fail "the package's section is not games"
    dpkg-deb -f "$deb" Depends | grep -q "libsdl2-2.0-0" || fail "the package's Depends lack SDL"
    dpkg-deb -f "$deb" Depends | grep -q "fonts-liberation2" || fail "the package's Depends lack the font"
fi
[ "$failed" = 0 ] && echo "ok: packaging"
exit "$failed"

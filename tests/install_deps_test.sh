#!/bin/sh
# install-deps run by a user without root and without sudo says what to run as root, and fails.
# usage: install_deps_test.sh INSTALL_DEPS
set -u
work=$(mktemp -d /tmp/tessera-deps-XXXXXX)
trap 'rm -rf "$work"' EXIT
# A machine where nothing is installed, the user is not root and there is no sudo.
printf '#!/bin/sh\nexit 1\n' >"$work/dpkg-query"
printf '#!/bin/sh\necho 1000\n' >"$work/id"
chmod +x "$work/dpkg-query" "$work/id"
PATH="$work" /bin/sh "$1" >"$work/out" 2>&1
code=$?
[ "$code" -ne 0 ] || { echo "install-deps succeeded without installing anything" >&2; exit 1; }
grep -q "As root, run:" "$work/out" || { echo "no advice: $(cat "$work/out")" >&2; exit 1; }
grep -q "^  apt-get update && apt-get install --no-install-recommends cmake g++ make " "$work/out" ||
    { echo "no apt-get line: $(cat "$work/out")" >&2; exit 1; }
echo "ok: $(tail -1 "$work/out" | cut -c1-60)..."

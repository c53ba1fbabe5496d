#!/usr/bin/env bash
# The Debian package, checked by lintian, installed with dpkg -i, used and
# removed with dpkg -r; the machine is left as it was even when a check fails
# halfway. Also checks that `cmake --install` lays out the same files.
#   debian_package.sh BUILD_DIR     (the native preset's, after target package)
# Needs root, or sudo.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
deb=$(ls "$build"/cadmora_*_amd64.deb)
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

if dpkg-query -W -f='${Status}' cadmora 2>/dev/null | grep -q 'install ok'; then
  echo "debian_package: cadmora is installed on this machine; not replacing it" >&2
  exit 1
fi

work=$(mktemp -d)
installed=
cleanup() {
  [ -z "$installed" ] || "${sudo[@]}" dpkg --purge cadmora >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
  echo "debian_package: $*" >&2
  failures=$((failures + 1))
}

echo "== lintian"
lintian --fail-on error "$deb" || fail "lintian reports errors"

# The package's files, as /usr/... paths.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' | sort >"$work/files"

echo "== cmake --install"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
(cd "$work/prefix" && find . -type f | sed 's|^\.|/usr|' | sort) >"$work/installed-files"
diff "$work/files" "$work/installed-files" || fail "cmake --install lays out other files than the package"

echo "== dpkg -i"
installed=yes
"${sudo[@]}" dpkg -i "$deb" >/dev/null
[ "$(command -v cdmcli)" = /usr/bin/cdmcli ] || fail "cdmcli is not found on PATH"
report=$(MORVAPI_EMULATOR_DIR=$work/board cdmcli Load /usr/share/doc/cadmora/examples/features.cdm 100) ||
  fail "Load of an installed example failed:"$'\n'"$report"
[ "$(tail -n 1 <<<"$report")" = "Board 0 programmed successfully." ] || fail "Load ended with: $(tail -n 1 <<<"$report")"
[ -s "$work/board/board0.program" ] || fail "the emulated board was not programmed"
# grep reads all of its input: with -q it would stop at the first match, and
# the writer, cut off, would fail the pipeline (pipefail).
MANWIDTH=80 man cdmcli 2>/dev/null | grep >/dev/null 'cdmcli - load, start and stop programs' || fail "man cdmcli shows no page"
MANWIDTH=80 man cdmcli 2>/dev/null | sed -n '/^SEE ALSO/,$p' | grep >/dev/null 'cdmsim(1)' || fail "man cdmcli does not point to cdmsim"
MANWIDTH=80 man cdmsim 2>/dev/null | grep >/dev/null 'cdmsim - run a Cadmora timing program' || fail "man cdmsim shows no page"
MORVAPI_EMULATOR_DIR=$work/board cdmsim /usr/share/doc/cadmora/examples/pulse_train.cdm --quiet ||
  fail "cdmsim does not run an installed example"
dpkg-deb -f "$deb" Description | grep >/dev/null '^ cdmsim runs a timing program without a board' ||
  fail "the package description does not tell of cdmsim"
cmp -s "$build/bin/Doc/index.html" /usr/share/doc/cadmora/index.html || fail "the help page is not the one the build wrote"
cmp -s "$here/../../README.md" /usr/share/doc/cadmora/README.md || fail "README.md is not installed as documentation"
# A user's own board library takes the emulator's place through LD_LIBRARY_PATH.
mkdir "$work/own"
cp "$build/bin/libmorvapi.so" "$work/own/"
board_library() { realpath "$(ldd /usr/bin/cdmcli | awk '$1 == "libmorvapi.so" { print $3 }')"; }
[ "$(board_library)" = "$(grep '/libmorvapi\.so$' "$work/files")" ] || fail "cdmcli finds $(board_library)"
[ "$(LD_LIBRARY_PATH=$work/own board_library)" = "$work/own/libmorvapi.so" ] ||
  fail "LD_LIBRARY_PATH does not put another libmorvapi.so in the emulator's place"

echo "== dpkg -r"
"${sudo[@]}" dpkg -r cadmora >/dev/null
status=$(dpkg-query -W -f='${Status}' cadmora 2>/dev/null || true)
[ -z "$status" ] || [ "${status##* }" = not-installed ] || fail "dpkg still knows cadmora: $status"
while read -r file; do
  [ ! -e "$file" ] || fail "$file is left"
done <"$work/files"
for folder in "$(dirname "$(grep '/libmorvapi\.so$' "$work/files")")" /usr/share/doc/cadmora; do
  [ ! -e "$folder" ] || fail "$folder is left"
done

if [ $failures -ne 0 ]; then
  echo "debian_package: $failures check(s) failed"
  exit 1
fi
echo "debian_package: all checks passed"

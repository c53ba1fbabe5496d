#!/usr/bin/env bash
# The Debian packages, checked by lintian, installed with dpkg -i, used and
# removed with dpkg -r; the machine is left as it was even when a check fails
# halfway. Also checks that `cmake --install` lays out the same files.
#  1. the library alone (libcadmora1, libcadmora-dev and the emulator they
#     need): a C program built with pkg-config runs against the emulator;
#  2. python3-cadmora: Debian's python3 imports it, outside the source tree;
#  3. cadmora, the programs: Load, cdmsim, the manual pages, the help page;
#  4. everything removed: no file is left, byte-compiled Python included.
#   debian_package.sh BUILD_DIR     (the native preset's, after target package)
# Needs root, or sudo.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
packages=(cadmora-emulator libcadmora1 libcadmora-dev python3-cadmora cadmora)
declare -A deb
for package in "${packages[@]}"; do
  deb[$package]=$(find "$build" -maxdepth 1 -name "${package}_*.deb")
  [ -n "${deb[$package]}" ] || { echo "debian_package: no $package package in $build" >&2; exit 1; }
done
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

for package in "${packages[@]}"; do
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok'; then
    echo "debian_package: $package is installed on this machine; not replacing it" >&2
    exit 1
  fi
done

work=$(mktemp -d)
installed=()
cleanup() {
  [ ${#installed[@]} -eq 0 ] || "${sudo[@]}" dpkg --purge "${installed[@]}" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
# Interrupted, it cleans up too.
trap 'exit 1' INT TERM HUP

failures=0
fail() {
  echo "debian_package: $*" >&2
  failures=$((failures + 1))
}
install_packages() {
  installed+=("$@")
  local package files=()
  for package in "$@"; do files+=("${deb[$package]}"); done
  "${sudo[@]}" dpkg -i "${files[@]}" >/dev/null
}

echo "== lintian"
lintian --fail-on error,warning "${deb[@]}" || fail "lintian reports errors or warnings"

# The packages' files and links, as /usr/... paths.
for package in "${packages[@]}"; do
  dpkg-deb -c "${deb[$package]}" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }'
done | sort >"$work/files"

echo "== cmake --install"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
(cd "$work/prefix" && find . -type f -o -type l | sed 's|^\.|/usr|' | sort) >"$work/installed-files"
diff "$work/files" "$work/installed-files" || fail "cmake --install lays out other files than the packages"
grep -qx "prefix=$work/prefix" "$work/prefix/lib/$(gcc -print-multiarch)/pkgconfig/cadmora.pc" ||
  fail "cmake --install's cadmora.pc does not name its prefix"

dpkg-deb -I "${deb[libcadmora1]}" shlibs | grep -qx 'libcadmora 1 libcadmora1 (>= [0-9.]*)' ||
  fail "libcadmora1 has no shlibs entry for libcadmora.so.1"
dpkg-deb -I "${deb[libcadmora1]}" symbols | grep -q '^ cadmora_version@Base ' ||
  fail "libcadmora1's symbols file does not list cadmora_version"
dpkg-deb -f "${deb[libcadmora1]}" Depends | grep -q 'cadmora-emulator (= ' ||
  fail "libcadmora1 does not depend on the emulator it loads"

echo "== dpkg -i the library: a C program built with pkg-config"
install_packages cadmora-emulator libcadmora1 libcadmora-dev
[ -f /usr/include/cadmora.h ] || fail "cadmora.h is not in /usr/include"
flags=$(pkg-config --cflags --libs cadmora) || fail "pkg-config does not know cadmora"
[ "$(echo $flags)" = -lcadmora ] || fail "pkg-config --cflags --libs cadmora gave '$flags'"
example=$source_dir/examples/cadmora_c.c
if gcc -Wall -Werror -o "$work/cadmora_c" "$example" $flags; then
  ldd /usr/lib/*/libcadmora.so.1 | grep 'not found' && fail "libcadmora.so.1 misses a library"
  (cd "$work" && MORVAPI_EMULATOR_DIR=$work/c-board ./cadmora_c) >"$work/c-output" ||
    fail "$(basename "$example") failed:"$'\n'"$(cat "$work/c-output")"
else
  fail "$(basename "$example") does not build against the installed library"
fi

echo "== dpkg -i python3-cadmora"
install_packages python3-cadmora
# From a folder of its own, so that the source's python/ is not what imports.
cp "$source_dir/examples/scan_width.py" "$work/"
python() { (cd "$work" && env -u PYTHONPATH -u CADMORA_LIBRARY MORVAPI_EMULATOR_DIR="$work/python-board" /usr/bin/python3 "$@"); }
python -c '
import sysconfig
import cadmora
assert cadmora.__file__ == "/usr/lib/python3/dist-packages/cadmora/__init__.py", cadmora.__file__
libraries = {line.split()[-1] for line in open("/proc/self/maps") if "libcadmora" in line or "libmorvapi" in line}
folder = "/usr/lib/" + sysconfig.get_config_var("MULTIARCH")
assert libraries == {folder + "/libcadmora.so.1.0.0", folder + "/cadmora/libmorvapi.so"}, libraries
run = cadmora.compile("0x1, 10us\n0x0, 10us, STOP\n").simulate(until="1ms")
assert list(run.lengths) == [1000, 1000], list(run.lengths)
' >"$work/python-output" 2>&1 || fail "the installed Python package does not work:"$'\n'"$(cat "$work/python-output")"
python scan_width.py >"$work/python-output" 2>&1 ||
  fail "scan_width.py fails with the installed package:"$'\n'"$(cat "$work/python-output")"

echo "== dpkg -i cadmora"
install_packages cadmora
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
dpkg-deb -f "${deb[cadmora]}" Description | grep >/dev/null '^ cdmsim runs a timing program without a board' ||
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
"${sudo[@]}" dpkg -r "${installed[@]}" >/dev/null
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ -z "$status" ] || [ "${status##* }" = not-installed ] || fail "dpkg still knows $package: $status"
done
while read -r file; do
  [ ! -e "$file" ] && [ ! -L "$file" ] || fail "$file is left"
done <"$work/files"
for folder in "$(dirname "$(grep '/libmorvapi\.so$' "$work/files")")" /usr/lib/python3/dist-packages/cadmora \
  "${packages[@]/#//usr/share/doc/}"; do
  [ ! -e "$folder" ] || fail "$folder is left"
done

if [ $failures -ne 0 ]; then
  echo "debian_package: $failures check(s) failed"
  exit 1
fi
echo "debian_package: all checks passed"

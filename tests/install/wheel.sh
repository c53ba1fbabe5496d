#!/usr/bin/env bash
# The wheel, installed with pip into a fresh virtual environment of Debian's
# python3 and used there, outside the source tree: the package imports from
# the environment, loads the library it carries, and examples/scan_width.py
# runs on the board emulator it carries. There is no package index: the
# environment sees Debian's numpy (--system-site-packages) and pip installs
# from the wheel alone (--no-index).
#   wheel.sh BUILD_DIR     (the native preset's, after target wheel)
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
example=$here/../../examples/scan_width.py
wheel=$(ls "$build"/cadmora-*.whl)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
  echo "wheel: $*" >&2
  failures=$((failures + 1))
}

case $wheel in
  *-py3-none-any.whl) fail "$(basename "$wheel") is tagged for every platform, but carries a native library" ;;
esac
contents=$(/usr/bin/python3 -m zipfile -l "$wheel")
for file in cadmora/__init__.py cadmora/libcadmora.so.1 cadmora/libmorvapi.so; do
  grep -q " *$file " <<<"$contents" || fail "the wheel lacks $file"
done

# Run paths: an empty entry, as the build tree pads them with, is the current
# folder to the loader.
(cd "$work" && /usr/bin/python3 -m zipfile -e "$wheel" unpacked)
runpaths=$(readelf -d "$work/unpacked/cadmora/libcadmora.so.1" "$work/unpacked/cadmora/libmorvapi.so" | grep -E 'R(UN)?PATH' || true)
[ "$(sed -E 's/.*\[(.*)\]$/\1/' <<<"$runpaths")" = '$ORIGIN' ] ||
  fail "run paths in the wheel other than libcadmora.so.1's \$ORIGIN:"$'\n'"$runpaths"

echo "== pip install into a new virtual environment"
/usr/bin/python3 -m venv --system-site-packages "$work/venv"
python=$work/venv/bin/python
"$python" -m pip install --no-index --no-cache-dir --disable-pip-version-check -q "$wheel" ||
  fail "pip does not install the wheel"
package=$("$python" -c 'import sysconfig; print(sysconfig.get_path("purelib"))')/cadmora

echo "== use it"
cd "$work"
run() { env -u PYTHONPATH -u CADMORA_LIBRARY MORVAPI_EMULATOR_DIR="$work/board" "$python" "$@"; }
run -c '
import sys
import cadmora
package = sys.argv[1]
assert cadmora.__file__ == package + "/__init__.py", cadmora.__file__
libraries = {line.split()[-1] for line in open("/proc/self/maps") if "libcadmora" in line or "libmorvapi" in line}
assert libraries == {package + "/libcadmora.so.1", package + "/libmorvapi.so"}, libraries
print("cadmora", cadmora.version(), "from", package)
' "$package" || fail "the installed wheel does not import from the environment"
cp "$example" "$work/"
run "$work/$(basename "$example")" || fail "$(basename "$example") fails in the environment"

if [ $failures -ne 0 ]; then
  echo "wheel: $failures check(s) failed"
  exit 1
fi
echo "wheel: all checks passed"

#!/usr/bin/env bash
# The Windows setup program, installed, used and removed under Wine in a Wine
# prefix of its own (made fresh, removed at the end), so that its registry
# and file association checks start clean:
#  1. installs silently into a folder with blanks in its name; checks the
#     files, the registry (64-bit view), the association, the Start-menu
#     entries, the Add/Remove Programs entry, and that PATH is left alone;
#  2. opens a .cdm file through the association, checks that cdmgui opened
#     it, that Read Me opens the installed Doc\index.html, and that Exit
#     writes interpreter.cfg in the installed folder;
#  3. uninstalls silently: everything installed is gone, a user's files stay;
#  4. again with a morvapi.dll of the user's in the folder, and /ADDTOPATH:
#     the library is kept byte for byte, cdmsim runs from PATH, and the
#     uninstaller gives PATH back as it was;
# and between 1 and 2 a C program is built with MinGW against the installed
# header and import library, and against one made from cadmora.def as other
# compilers make theirs, and runs with the installed cadmora.dll.
#   windows_setup.sh BUILD_DIR     (the windows preset's, after target installer)
# Needs an X display: run it under xvfb-run.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
examples=$here/../../examples
c_example=$examples/cadmora_c.c
setup=$(ls "$build"/cadmora-*-setup.exe)
probe=$build/bin/installed_gui_probe.exe
wine=$(command -v wine64 || command -v wine)

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
# No Mono or Gecko installers; and no menu entries or file types made in the
# user's own desktop for the shortcut and the association.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export MORVAPI_EMULATOR_DIR="Z:${work//\//\\}\\board"
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
  echo "windows_setup: $*" >&2
  failures=$((failures + 1))
}
windows_path() { echo "Z:${1//\//\\}"; }
settle() { wineserver -w; }
reg_value() { "$wine" reg query "$1" /ve "${@:2}" 2>/dev/null | tr -d '\r' | sed -n 's/^ *(Default) *REG_SZ *//p'; }
expect_value() {  # key expected [reg options]
  local found
  found=$(reg_value "$1" "${@:3}")
  [ "$found" = "$2" ] || fail "$1 ${*:3}: '$found', expected '$2'"
}
expect_no_key() { ! "$wine" reg query "$1" >/dev/null 2>&1 || fail "$1 is still there"; }
expect_files() {  # folder, then every file expected in it
  local folder=$1 found expected
  shift
  found=$(cd "$folder" && find . -type f | sed 's|^\./||' | sort)
  expected=$(printf '%s\n' "$@" | sort)
  [ "$found" = "$expected" ] || fail "files in $folder:"$'\n'"$found"$'\n'"expected:"$'\n'"$expected"
}
install_into() {  # folder [switch]; /D= must come last and unquoted, which cmd passes as typed
  "$wine" cmd /c "$(windows_path "$setup") /S ${2:-} /D=$(windows_path "$1")" || fail "setup ended with $?"
  settle
}
system_path() {
  "$wine" reg query 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' /v Path /reg:64 |
    tr -d '\r' | sed -n 's/^ *Path *REG_[A-Z_]*SZ *//p'
}
link_text() { strings -a "$1"; strings -a -el "$1"; }  # a shortcut's texts, ANSI and UTF-16
uninstall_from() {
  "$wine" "$(windows_path "$1")\\uninstall.exe" /S || fail "uninstall ended with $?"
  settle
}

"$wine" wineboot --init >/dev/null 2>&1
settle
# Web pages open in the probe, which records the page asked for.
"$wine" reg add 'HKCR\.html' /ve /d htmlfile /f >/dev/null
"$wine" reg add 'HKCR\htmlfile\shell\open\command' /ve /f \
  /d "\"$(windows_path "$probe")\" record \"$(windows_path "$work/read-me.txt")\" \"%1\"" >/dev/null

folder="$work/Program Files/Cadmora Interpreter"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
shortcuts=("$menu/Cadmora Interpreter.lnk" "$menu/Cadmora Interpreter Help.lnk" "$menu/Cadmora Interpreter Examples.lnk")
install_key='HKLM\SOFTWARE\Morvane\Cadmora Interpreter'
uninstall_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Cadmora Interpreter'
installed=(cdmgui.exe cdmcli.exe cdmsim.exe morvapi.dll uninstall.exe interpreter.cfg Doc/index.html Doc/timing-view.png
  cadmora.dll include/cadmora.h lib/libcadmora.dll.a lib/cadmora.def python/cadmora/cadmora.dll python/cadmora/morvapi.dll)
for example in "$examples"/*.cdm; do installed+=("examples/$(basename "$example")"); done
for module in "$here"/../../python/cadmora/*.py; do installed+=("python/cadmora/$(basename "$module")"); done
path_before=$(system_path)

echo "== install"
install_into "$folder"
expect_files "$folder" "${installed[@]}"
for file in "${installed[@]}"; do
  case $file in
    examples/*) cmp -s "$examples/${file#examples/}" "$folder/$file" || fail "$file differs from the source" ;;
    include/* | lib/*.def) cmp -s "$here/../../libcadmora/${file#*/}" "$folder/$file" || fail "$file differs from the source" ;;
    python/*.py) cmp -s "$here/../../$file" "$folder/$file" || fail "$file differs from the source" ;;
    python/cadmora/*.dll) cmp -s "$build/bin/${file##*/}" "$folder/$file" || fail "$file differs from the build" ;;
    lib/*) cmp -s "$build/$file" "$folder/$file" || fail "$file differs from the build" ;;
    *.exe | *.dll | Doc/*) [ "$file" = uninstall.exe ] || cmp -s "$build/bin/$file" "$folder/$file" || fail "$file differs from the build" ;;
  esac
done
[ "$(cat "$folder/interpreter.cfg")" = $'100.0\r\nfalse' ] || fail "interpreter.cfg does not hold the default settings"
for shortcut in "${shortcuts[@]}"; do [ -f "$shortcut" ] || fail "no Start-menu entry $(basename "$shortcut")"; done
# (Read whole first: grep -q ending a pipe early would fail it under pipefail.)
help_link=$(link_text "${shortcuts[1]}") examples_link=$(link_text "${shortcuts[2]}")
grep -qi 'Interpreter\\Doc\\index\.html$' <<<"$help_link" || fail "the Help entry opens none of:"$'\n'"$help_link"
grep -qi 'Interpreter\\examples$' <<<"$examples_link" || fail "the Examples entry opens none of:"$'\n'"$examples_link"
[ "$(system_path)" = "$path_before" ] || fail "PATH changed without /ADDTOPATH: $(system_path)"
expect_value "$install_key" "$(windows_path "$folder")" /reg:64
"$wine" reg query "$install_key" /reg:32 >/dev/null 2>&1 && fail "the folder was written in the 32-bit registry view"
expect_value 'HKCR\.cdm' Morvane.CadmoraProgram
expect_value 'HKCR\Morvane.CadmoraProgram\shell\open\command' "\"$(windows_path "$folder")\\cdmgui.exe\" \"%1\""
"$wine" reg query "$uninstall_key" /v DisplayVersion | grep -q 'REG_SZ *[0-9]' || fail "no version in Add/Remove Programs"
"$wine" reg query "$uninstall_key" /v EstimatedSize | grep -q REG_DWORD || fail "no size in Add/Remove Programs"

echo "== a C program against the installed library"
# Run with the folder's cadmora.dll, and with the Python package's, which
# must find its board library beside it.
mingw=x86_64-w64-mingw32
"$mingw-dlltool" -d "$folder/lib/cadmora.def" -l "$work/from-def.a"
for import_library in "$folder/lib/libcadmora.dll.a" "$work/from-def.a"; do
  rm -f "$work/cadmora_c.exe"
  if ! "$mingw-gcc" -Wall -Werror -I"$folder/include" -o "$work/cadmora_c.exe" "$c_example" "$import_library"; then
    fail "$(basename "$c_example") does not build against $(basename "$import_library")"
    continue
  fi
  for dll_folder in "$folder" "$folder/python/cadmora"; do
    (cd "$work" && WINEPATH=$(windows_path "$dll_folder") "$wine" cadmora_c.exe) >"$work/c-output" ||
      fail "$(basename "$c_example") linked with $(basename "$import_library") failed with $dll_folder:"$'\n'"$(cat "$work/c-output")"
  done
done

echo "== open a .cdm file"
mkdir -p "$work/My Programs"
printf '0x1, 10us\n0x0, 10us, STOP\n' >"$work/My Programs/blink.cdm"
"$wine" start /unix "$work/My Programs/blink.cdm"
report=$("$wine" "$probe" drive 25.5 | tr -d '\r') || fail "probe: $report"
settle
expected_report="title: blink.cdm - Morvane Cadmora Interpreter
source: 0x1, 10us
0x0, 10us, STOP"
[ "$report" = "$expected_report" ] || fail "cdmgui through the association showed:"$'\n'"$report"
[ "$(cat "$work/read-me.txt" 2>/dev/null)" = "$(windows_path "$folder")\\Doc\\index.html" ] ||
  fail "Read Me opened '$(cat "$work/read-me.txt" 2>/dev/null)'"
[ "$(cat "$folder/interpreter.cfg")" = $'25.5\r\nfalse' ] || fail "Exit did not write the settings in $folder"

echo "== uninstall"
printf 'STOP\n' >"$folder/examples/mine.cdm"
printf 'my notes\n' >"$folder/notes.txt"
# As Python leaves them when it imports the package.
mkdir "$folder/python/cadmora/__pycache__"
for module in "$here"/../../python/cadmora/*.py; do
  touch "$folder/python/cadmora/__pycache__/$(basename "$module" .py).cpython-312.pyc"
done
uninstall_from "$folder"
expect_files "$folder" examples/mine.cdm notes.txt
for shortcut in "${shortcuts[@]}"; do [ ! -e "$shortcut" ] || fail "$(basename "$shortcut") is still there"; done
for key in "$install_key" 'HKLM\SOFTWARE\Morvane' "$uninstall_key" 'HKCR\.cdm' 'HKCR\Morvane.CadmoraProgram'; do
  expect_no_key "$key"
done

echo "== install and uninstall beside a morvapi.dll of the user's"
folder="$work/Board Software"
mkdir -p "$folder"
printf 'the board maker\x27s library\x00\x01\n' >"$folder/morvapi.dll"
cp "$folder/morvapi.dll" "$work/users-morvapi.dll"
install_into "$folder" /ADDTOPATH
cmp -s "$work/users-morvapi.dll" "$folder/morvapi.dll" || fail "setup replaced the user's morvapi.dll"
cmp -s "$work/users-morvapi.dll" "$folder/python/cadmora/morvapi.dll" ||
  fail "the Python package does not have the user's morvapi.dll beside its cadmora.dll"
expect_files "$folder" "${installed[@]}"
[ "$(system_path)" = "$path_before;$(windows_path "$folder")" ] || fail "/ADDTOPATH gave PATH $(system_path)"
version=$("$wine" cmd /c cdmsim --version | tr -d '\r') || true
project_version=${setup##*/cadmora-}
project_version=${project_version%-setup.exe}
[ "$version" = "cdmsim $project_version" ] || fail "cdmsim through PATH printed '$version'"
uninstall_from "$folder"
cmp -s "$work/users-morvapi.dll" "$folder/morvapi.dll" || fail "uninstall removed or changed the user's morvapi.dll"
expect_files "$folder" morvapi.dll
[ "$(system_path)" = "$path_before" ] || fail "the uninstaller left PATH as $(system_path)"

if [ $failures -ne 0 ]; then
  echo "windows_setup: $failures check(s) failed"
  exit 1
fi
echo "windows_setup: all checks passed"

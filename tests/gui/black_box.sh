#!/usr/bin/env bash
# Black-box check of cdmgui from outside: starts the real program under Wine
# in the current X display, types a program into the source pane and clicks
# the buttons with xdotool as a person would, keeps screenshots in the
# build's artifacts folder, and checks what ended up on disk.
#   black_box.sh BIN_DIR ARTIFACTS_DIR
# Needs DISPLAY (run it under xvfb-run) and xdotool, ImageMagick's import.
set -euo pipefail
bin=$(cd "$1" && pwd)
artifacts=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine_run=$here/../../scripts/wine-run
mkdir -p "$artifacts"

if [ -z "${DISPLAY:-}" ] || ! command -v xdotool >/dev/null || ! command -v import >/dev/null; then
  echo "black_box: needs an X display, xdotool and import; skipped"
  exit 77
fi

work=$(mktemp -d)
program_pid=
cleanup() {
  if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then kill "$program_pid" || true; fi
  "$wine_run" reg delete 'HKLM\SOFTWARE\Morvane\Cadmora Interpreter' /f >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "black_box: $*" >&2
  import -window root "$artifacts/cdmgui-failure.png" 2>/dev/null || true
  exit 1
}

windows_path() { echo "Z:${1//\//\\}"; }

mkdir -p "$work/install" "$work/board" "$work/documents"
printf 'journal = yes\n' >"$work/board/emulator.ini"
"$wine_run" reg add 'HKLM\SOFTWARE\Morvane\Cadmora Interpreter' /ve /d "$(windows_path "$work/install")" /f >/dev/null

MORVAPI_EMULATOR_DIR=$(windows_path "$work/board") "$wine_run" "$bin/cdmgui.exe" &
program_pid=$!

window=
for _ in $(seq 1 120); do
  window=$(xdotool search --name '^Morvane Cadmora Interpreter$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.5
done
[ -n "$window" ] || fail "the main window did not appear"
sleep 1

# Without a window manager the X window is the 640 x 480 window less the
# frame and caption, which nobody draws.
eval "$(xdotool getwindowgeometry --shell "$window")"
echo "black_box: window $WIDTH x $HEIGHT"
{ [ "$WIDTH" -ge 600 ] && [ "$WIDTH" -le 640 ] && [ "$HEIGHT" -ge 420 ] && [ "$HEIGHT" -le 480 ]; } ||
  fail "window is $WIDTH x $HEIGHT, not about 640 x 480"

# The menu bar takes the X window's top 20 pixels; the buttons follow.
click() {
  xdotool mousemove --window "$window" "$1" "$2" click 1
  sleep 0.5
}
button_row=35
click 100 150  # into the source pane
xdotool type --delay 40 '/ blink'
xdotool key Return
xdotool type --delay 40 '0x1, 10us'
xdotool key Return
xdotool type --delay 40 '0x0, 10us, STOP'
sleep 0.5
import -window root "$artifacts/cdmgui-typed.png"

# Answers a Save As dialog with a file name, and waits for the file. A .cdm
# name is typed without its extension, which the dialog adds.
save_as() {
  local file=$1 dialog=
  for _ in $(seq 1 40); do
    dialog=$(xdotool search --name '^Save As$' 2>/dev/null | head -n 1 || true)
    [ -n "$dialog" ] && break
    sleep 0.25
  done
  [ -n "$dialog" ] || fail "the Save As dialog did not appear"
  sleep 0.5
  xdotool type --delay 20 "$(windows_path "${file%.cdm}")"
  xdotool key Return
  for _ in $(seq 1 40); do [ -f "$file" ] && break; sleep 0.25; done
  [ -f "$file" ] || fail "nothing was written to $file"
}

# "Save File" on an untitled document asks for a name.
click 150 "$button_row"
save_as "$work/documents/blink.cdm"
expected=$'/ blink\r\n0x1, 10us\r\n0x0, 10us, STOP'
[ "$(cat "$work/documents/blink.cdm")" = "$expected" ] || fail "saved file holds: $(od -c "$work/documents/blink.cdm")"
sleep 0.5
import -window root "$artifacts/cdmgui-saved.png"

# "Load Board" programs the emulated board.
click 250 "$button_row"
for _ in $(seq 1 40); do [ -f "$work/board/board0.program" ] && break; sleep 0.25; done
sleep 0.5
import -window root "$artifacts/cdmgui-loaded.png"
program_file=$(tr -d '\r' <"$work/board/board0.program" 2>/dev/null || true)
[ "$program_file" = $'100\n1 0 0 10000\n0 1 0 10000' ] || fail "board memory holds: $program_file"

# The report in the output pane, saved through the Interpreter menu.
xdotool key alt+i
sleep 0.3
xdotool key s
save_as "$work/documents/report.txt"
report=$'Using Clock Frequency of 100 MHz.\r\n\r\n\r\n2 instructions interpreted.\r\nBoard 0 programmed successfully.\r\n'
[ "$(cat "$work/documents/report.txt"; echo .)" = "$report." ] || fail "output pane held: $(od -c "$work/documents/report.txt")"

# Alt+F4 closes the window; the document is saved, so nothing is asked.
click 100 150
xdotool key alt+F4
for _ in $(seq 1 60); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.25; done
kill -0 "$program_pid" 2>/dev/null && fail "the program did not end"
program_pid=
[ "$(cat "$work/install/interpreter.cfg" 2>/dev/null)" = $'100.0\r\nfalse' ] ||
  fail "settings file holds: $(od -c "$work/install/interpreter.cfg" 2>&1)"
grep -q '^cdm_stop -> 0' "$work/board/journal.txt" || fail "the board was not stopped at the end"
echo "black_box: passed; screenshots in $artifacts"

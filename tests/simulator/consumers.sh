#!/usr/bin/env bash
# cdmsim's files read by tools nobody here wrote, and the emulated board
# running what cdmcli loaded into it.   consumers.sh BIN_DIR EXAMPLES_DIR
set -euo pipefail
bin=$1 program=$2/pulse_train.cdm
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MORVAPI_EMULATOR_DIR=$work/state
fail() { echo "FAIL: $*" >&2; exit 1; }

"$bin/cdmsim" "$program" --wait 300ns --vcd "$work/run.vcd" --svg "$work/run.svg" >"$work/timeline" 2>/dev/null

# GTKWave's converter takes the whole dump.
vcd2fst "$work/run.vcd" "$work/run.fst" >/dev/null || fail "vcd2fst refused the dump"

# sigrok-cli, one sample per 10 ns cycle: at every row's start cycle the
# outputs it reads equal the timeline's. Debian's sigrok-cli (libsigrok
# 0.5.2) stops at the first multi-bit vector value, so it reads the one-bit
# wires with the "outputs" vector's values left out.
grep -v '^b' "$work/run.vcd" >"$work/bits.vcd"
sigrok-cli -I vcd:downsample=10000 -i "$work/bits.vcd" -O csv 2>/dev/null | grep -E '^[01],' >"$work/samples"
awk -F'\t' 'NR > 1 && !/^#/ { print $1, $5 }' "$work/timeline" | while read -r cycle outputs; do
  bits=$(sed -n "$((cycle + 1))p" "$work/samples" | tr -d ',' | rev)
  [ -n "$bits" ] || fail "sigrok-cli has no sample at cycle $cycle"
  [ "$(printf '0x%06X' "$((2#$bits))")" = "$outputs" ] || fail "cycle $cycle: sigrok-cli reads $bits, timeline $outputs"
done

# rsvg-convert renders the diagram at the size it declares.
rsvg-convert "$work/run.svg" -o "$work/run.png" || fail "rsvg-convert refused the diagram"
declared=$(grep -o 'width="[0-9]*" height="[0-9]*"' "$work/run.svg" | head -1 | tr -dc '0-9 ')
rendered=$(file "$work/run.png" | grep -o '[0-9]* x [0-9]*' | tr -d 'x' | tr -s ' ')
[ "$declared" = "$rendered" ] || fail "diagram declares $declared, renders $rendered"

# cdmcli loads the emulated board, cdmsim runs what it holds: the same rows
# but for the source line column; starting it with trace on leaves the dump
# cdmsim writes for the same stretch of time.
mkdir -p "$MORVAPI_EMULATOR_DIR"
echo "trace = 2us" >"$MORVAPI_EMULATOR_DIR/emulator.ini"
"$bin/cdmcli" Load "$program" 100 >/dev/null
"$bin/cdmcli" Start >/dev/null
"$bin/cdmsim" "$program" 2>/dev/null | cut -f1-3,5- >"$work/from_source"
"$bin/cdmsim" --board 0 2>/dev/null | cut -f1-3,5- >"$work/from_board"
cmp -s "$work/from_source" "$work/from_board" || fail "cdmsim --board 0 differs from the source's run"
"$bin/cdmsim" --board 0 --until 2us --quiet --vcd "$work/expected.vcd" 2>/dev/null
cmp -s "$work/expected.vcd" "$MORVAPI_EMULATOR_DIR/board0.vcd" || fail "the board's trace differs from cdmsim's dump"
echo "consumers: all agree"

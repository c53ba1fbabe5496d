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

# sigrok-cli reads the dump as written, one sample per 10 ns cycle: its
# channels bear the program's names, and at every row's start cycle the
# outputs it reads equal the timeline's.
sigrok-cli -I vcd -i "$work/run.vcd" -O csv 2>/dev/null >"$work/sigrok.csv"
grep -q '^; Channels (24/24): pulse, armed, done, out3, burst, out5, out6, strobe, out8,' "$work/sigrok.csv" ||
  fail "sigrok-cli names the channels $(grep '^; Channels' "$work/sigrok.csv")"
grep -E '^[01],' "$work/sigrok.csv" >"$work/samples"
awk -F'\t' 'NR > 1 && !/^#/ { print $1, $5 }' "$work/timeline" | while read -r cycle outputs; do
  bits=$(sed -n "$((cycle + 1))p" "$work/samples" | tr -d ',' | rev)
  [ -n "$bits" ] || fail "sigrok-cli has no sample at cycle $cycle"
  [ "$(printf '0x%06X' "$((2#$bits))")" = "$outputs" ] || fail "cycle $cycle: sigrok-cli reads $bits, timeline $outputs"
done
[ "$(wc -l <"$work/samples")" -eq "$(awk -F'\t' '/^# end/ { print $NF }' "$work/timeline" | grep -o '[0-9]*$')" ] ||
  fail "sigrok-cli reads $(wc -l <"$work/samples") samples, not one per cycle of the run"

# GTKWave loads it, headless: the named wires and the outputs' number, which
# at every change equals the timeline's outputs; it counts in ns, and lists
# a real's value as its decimal text after "0b".
cat >"$work/list.tcl" <<'TCL'
for {set i 0} {$i < [gtkwave::getNumFacs]} {incr i} { puts "fac [gtkwave::getFacName $i]" }
puts "end [gtkwave::getMaxTime] [gtkwave::getTimeDimension]"
puts "outputs [gtkwave::signalChangeList board.outputs -start_time 0 -max 1000]"
gtkwave::/File/Quit
TCL
timeout 120 xvfb-run -a gtkwave --script="$work/list.tcl" "$work/run.vcd" 2>/dev/null >"$work/gtkwave.txt" ||
  fail "gtkwave did not load the dump"
grep -q '^fac board.strobe$' "$work/gtkwave.txt" || fail "gtkwave has no board.strobe"
grep -q '^fac board.outputs$' "$work/gtkwave.txt" || fail "gtkwave has no board.outputs"
end_cycle=$(grep -o 'at cycle [0-9]*' "$work/timeline" | grep -o '[0-9]*$')
grep -q "^end $((end_cycle * 10)) n$" "$work/gtkwave.txt" || fail "gtkwave: $(grep '^end' "$work/gtkwave.txt"), not cycle $end_cycle"
set -- $(grep '^outputs' "$work/gtkwave.txt" | cut -d' ' -f2-)
while [ $# -ge 2 ] && [ "$1" -le $((end_cycle * 10)) ]; do
  row=$(awk -F'\t' -v c="$(($1 / 10))" 'NR > 1 && !/^#/ && $1 <= c { o = $5 } END { print o }' "$work/timeline")
  [ "$(printf '0x%06X' "${2#0b}")" = "$row" ] || fail "gtkwave reads outputs $2 at $1 ns, timeline $row"
  shift 2
done

# rsvg-convert renders the diagram at the size it declares.
rsvg-convert "$work/run.svg" -o "$work/run.png" || fail "rsvg-convert refused the diagram"
declared=$(grep -o 'width="[0-9]*" height="[0-9]*"' "$work/run.svg" | head -1 | tr -dc '0-9 ')
rendered=$(file "$work/run.png" | grep -o '[0-9]* x [0-9]*' | tr -d 'x' | tr -s ' ')
[ "$declared" = "$rendered" ] || fail "diagram declares $declared, renders $rendered"

# cdmcli loads the emulated board, cdmsim runs what it holds: the same rows
# but for the source line column and the named outputs' columns (a board
# holds no names); starting it with trace on leaves the dump cdmsim writes
# for the same stretch of time.
mkdir -p "$MORVAPI_EMULATOR_DIR"
echo "trace = 2us" >"$MORVAPI_EMULATOR_DIR/emulator.ini"
"$bin/cdmcli" Load "$program" 100 >/dev/null
"$bin/cdmcli" Start >/dev/null
"$bin/cdmsim" "$program" 2>/dev/null | cut -f1-3,5-8 >"$work/from_source"
"$bin/cdmsim" --board 0 2>/dev/null | cut -f1-3,5- >"$work/from_board"
cmp -s "$work/from_source" "$work/from_board" || fail "cdmsim --board 0 differs from the source's run"
"$bin/cdmsim" --board 0 --until 2us --quiet --vcd "$work/expected.vcd" 2>/dev/null
cmp -s "$work/expected.vcd" "$MORVAPI_EMULATOR_DIR/board0.vcd" || fail "the board's trace differs from cdmsim's dump"
echo "consumers: all agree"

#!/usr/bin/env bash
# cdmsim's outputs of every kind, the real programs:   outputs.sh BIN_DIR
# what no file can take the place of is written directly, a link is written
# through, standard output's own file is refused; a run cut short by Ctrl-C
# or by its reader going away leaves no temporary file, and one still at
# work keeps its own, also from a PID namespace where its number means
# nothing.
set -uo pipefail
bin=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
export MORVAPI_EMULATOR_DIR=$work/state
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
sim() { "$bin/cdmsim" p.cdm --quiet "$@" 2>err; }
first() { head -1 "$1" 2>/dev/null; }
# Waits up to ten seconds for the shell test $1 to hold.
wait_for() { for _ in $(seq 1000); do eval "$1" && return 0; sleep 0.01; done; return 1; }
printf '0x1, 1us\n0x0, 1us, STOP\n' >p.cdm
printf 'L: 0x1, 1us, BRANCH, L\n' >loop.cdm  # no output changes: a long run, a small dump
long=(loop.cdm --until 1000000s --max-steps 100000000000)
head='$version cdmsim $end'

# name @ setup @ run (sets st) @ status @ first message line @ what holds after
while IFS='@' read -r name setup run status message after; do
  rm -rf out made.vcd got err out.tmp*
  if ! eval "$setup" 2>/dev/null; then echo "skipped: $name (cannot set up)"; continue; fi
  st=
  eval "$run"
  [ "$st" = "$status" ] || fail "$name: status $st, not $status"
  [ "$(first err)" = "$message" ] || fail "$name: said '$(first err)', not '$message'"
  eval "$after" || fail "$name: not so after the run: $after"
done <<'CASES'
a device@mknod out c 1 3@sim --vcd out; st=$?@0@end: stop at cycle 200 (2us)@[ -c out ]
a full device@mknod out c 1 7@sim --vcd out; st=$?@1@cdmsim: cannot write out: No space left on device@[ -c out ]
a FIFO@mkfifo out && { cat out >got & }@sim --vcd out; st=$?; wait@0@end: stop at cycle 200 (2us)@[ -p out ] && [ "$(first got)" = "$head" ]
a link to standard output@ln -s /proc/self/fd/1 out@sim --vcd out | cat >got; st=${PIPESTATUS[0]}@0@end: stop at cycle 200 (2us)@[ -L out ] && [ "$(first got)" = "$head" ]
a dangling link@ln -s made.vcd out@sim --vcd out; st=$?@0@end: stop at cycle 200 (2us)@[ -L out ] && [ "$(first made.vcd)" = "$head" ]
standard output's own file@:@sim --vcd out >out; st=$?@64@cdmsim: --vcd out would write over standard output@[ ! -s out ]
a file beside a stale temporary one@echo old >out && echo half >out.tmp99999999-0@sim --vcd out; st=$?@0@end: stop at cycle 200 (2us)@[ "$(first out)" = "$head" ] && [ ! -e out.tmp99999999-0 ]
CASES

# Ctrl-C, and a reader that goes away: no temporary dump stays. (Job
# control, so that a run in the background takes Ctrl-C as in a terminal.)
set -m
"$bin/cdmsim" "${long[@]}" --quiet --vcd cut.vcd 2>/dev/null &
pid=$!
wait_for 'ls cut.vcd.tmp* >/dev/null 2>&1' || fail "no temporary dump while running"
kill -INT $pid
wait $pid
"$bin/cdmsim" "${long[@]}" --vcd piped.vcd 2>/dev/null | head -1 >/dev/null
left=$(ls cut.vcd* piped.vcd* 2>/dev/null)
[ -z "$left" ] || fail "an interrupted run left $left"

# A run in a PID namespace of its own writes the board's trace name as its
# process 2; Start with tracing on, from another namespace where no process
# 2 runs, clears the trace's stale temporary files and must keep that one.
if unshare -Urpf true 2>/dev/null; then
  mkdir -p state
  echo 'trace = 1us' >state/emulator.ini
  printf '100\n1 0 0 1000\n' >state/board0.program
  unshare -Urpf sh -c '"$@"; :' sh "$bin/cdmsim" "${long[@]}" --quiet --vcd state/board0.vcd 2>/dev/null &
  ns=$!
  wait_for 'ls state/board0.vcd.tmp* >/dev/null 2>&1' || fail "no temporary dump in the namespace"
  held=$(ls state/board0.vcd.tmp*)
  unshare -Urpf "$bin/cdmcli" Start >/dev/null
  [ -e "$held" ] || fail "Start in another PID namespace removed $held, which a running cdmsim writes"
  kill -INT "$(pgrep -P "$(pgrep -P $ns)")"
  wait $ns
  [ -z "$(ls state/board0.vcd.tmp* 2>/dev/null)" ] || fail "the namespace's run left its temporary dump"
else
  echo "skipped: PID namespaces (unshare refused)"
fi
exit $((failures > 0))

#!/usr/bin/env bash
# The SARIF case of diagnostics.golden, as cdmsim gives it, checked by a
# real SARIF validator; and the same log without its version, which the
# validator must refuse. The validator passes over a log it cannot read at
# all (an unknown "level", say) without a word, so only that second check
# shows it read the first.
#   sarif_validation.sh VALIDATOR GOLDEN_FILE
set -euo pipefail
validator=$1 golden=$2
if [ ! -x "$validator" ]; then
  echo "no SARIF validator at $validator: scripts/install-deps installs it" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The "messages" section of the case whose name starts with "SARIF", with
# a real folder for $DIR (a file URI whose host is "$DIR" makes the
# validator pass over the whole log without a word).
awk '/^=== / { in_case = /^=== SARIF/; in_messages = 0; next }
     in_case && /^--- / { in_messages = ($0 == "--- messages"); next }
     in_case && in_messages' "$golden" | sed "s|\\\$DIR|$work|g" > "$work/good.sarif"
grep -q '"version":"2.1.0"' "$work/good.sarif" || { echo "no SARIF case in $golden" >&2; exit 1; }
sed 's/"version":"2.1.0",//' "$work/good.sarif" > "$work/bad.sarif"

# Prints the validator's errors about a log; fails when it did not run.
errors_of() {
  "$validator" validate "$1" -o "$work/result.sarif" --log ForceOverwrite > "$work/console.txt" 2>&1 ||
    { cat "$work/console.txt" >&2; exit 1; }
  grep ': error ' "$work/console.txt" || true
}

good_errors=$(errors_of "$work/good.sarif")
if [ -n "$good_errors" ]; then
  echo "the validator refuses cdmsim's SARIF:" >&2
  echo "$good_errors" >&2
  exit 1
fi
if [ -z "$(errors_of "$work/bad.sarif")" ]; then
  echo "the validator says nothing of the log without its version: it cannot read cdmsim's log" >&2
  exit 1
fi
echo "cdmsim's SARIF is valid"

#!/usr/bin/env bash
# Runs the program under valgrind's memcheck on every scripted session of the console tests:
# each tests/console/expected/*.input, and the typed lines of each tests/console/sessions/
# *.session (its clock lines left out, so it runs at the real time), each without a data file,
# on a new data file and again on the file it kept. Any memcheck error, and any
# block still allocated at exit, fails; only the C++ runtime's own stream buffers are let pass
# (memcheck.supp).
#
#   tests/memcheck.sh PROGRAM
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

inputs=()
for input in "$here"/console/expected/*.input; do
  [ -e "$input" ] && inputs+=("$input")
done
for session in "$here"/console/sessions/*.session; do
  [ -e "$session" ] || continue
  typed="$scratch/$(basename "$session" .session).input"
  grep -v '^@ ' "$session" > "$typed" || true
  inputs+=("$typed")
done

passed=0
failed=0
# Runs the program under memcheck on one input, with the given arguments.
check_run() {
  local label=$1 input=$2
  shift 2
  local log="$scratch/$label.memcheck"
  if valgrind --tool=memcheck --leak-check=full --show-leak-kinds=all \
      --errors-for-leak-kinds=all --error-exitcode=1 --log-file="$log" \
      --suppressions="$here/memcheck.supp" \
      "$program" "$@" < "$input" > /dev/null 2>> "$scratch/stderr"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    cat "$log"
  fi
  summary=$(sed -n -e 's/^==[0-9]*== *//' \
    -e '/definitely lost:\|indirectly lost:\|possibly lost:\|still reachable:\|^suppressed:\|ERROR SUMMARY:/p' \
    "$log" | sed 's/ (suppressed: .*//' | paste -sd ';' - | sed 's/;/; /g')
  echo "$label: $summary"
}
for input in "${inputs[@]}"; do
  name=$(basename "$input")
  check_run "$name" "$input"
  # On a data file: a new one, then the same session again on what the first run kept.
  check_run "$name on a new data file" "$input" --data "$scratch/$name.db"
  check_run "$name on its data file again" "$input" --data "$scratch/$name.db"
done
echo "memcheck: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]

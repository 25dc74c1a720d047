#!/usr/bin/env bash
# Runs the built program through a pipe on each script in the expected/ folder and compares
# what it writes, and its exit status, with the files beside the script:
#   NAME.input   what is typed, one answer per line
#   NAME.output  what the program must write, byte for byte
set -u
program=$1
expected=$2
failures=0
for input in "$expected"/*.input; do
  name=$(basename "$input" .input)
  actual=$(mktemp)
  "$program" < "$input" > "$actual"
  status=$?
  if [ "$status" -ne 0 ]; then
    echo "FAIL $name: exit status $status"
    failures=$((failures + 1))
  elif ! cmp -s "$actual" "$expected/$name.output"; then
    echo "FAIL $name: output differs"
    diff "$expected/$name.output" "$actual" | head -n 40
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
  rm -f "$actual"
done
[ "$failures" -eq 0 ]

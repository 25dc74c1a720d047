#!/usr/bin/env bash
# Counts the instructions of each desk operation at several sizes under callgrind, which counts
# the same whatever else the machine is doing, and prints them with their growth from one size
# to the next (x10.00 is linear when the sizes grow tenfold). Also prints how often each
# operation read the clock.
#
#   bench/instruction_counts.sh [BUILD_DIR] [SIZE...]   (defaults: build-bench/, 1000 10000 100000)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build-bench}" && pwd)
shift || true
sizes=("$@")
[ "${#sizes[@]}" -gt 0 ] || sizes=(1000 10000 100000)
bench=$build/bench/shelvoranquist_operations_bench
[ -x "$bench" ] || { echo "missing $bench: build with -DSHELVORANQUIST_BENCHMARKS=ON" >&2; exit 2; }
command -v valgrind > /dev/null || { echo "needs valgrind" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out.%p" \
  "$bench" --counts "${sizes[@]}" > "$work/clock_readings.txt" 2> "$work/valgrind.log"
cat "$work/clock_readings.txt"
echo

# Each dump names its run "operation/size"; its summary line is that run's instruction count.
for dump in $(printf '%s\n' "$work"/callgrind.out.*.* | sort -V); do
  awk '/^desc: Trigger: Client Request:/ { name = $5 } /^summary:/ { print name, $2 }' "$dump"
done | awk -v sizes="${sizes[*]}" '
  BEGIN { count = split(sizes, size, " ") }
  {
    split($1, part, "/"); ir[part[1], part[2]] = $2
    if (!(part[1] in seen)) { seen[part[1]] = 1; order[++operations] = part[1] }
  }
  END {
    printf "%-28s", "instructions per run"
    for (s = 1; s <= count; s++) printf " %12s", size[s]
    for (s = 2; s <= count; s++) printf " %8s", "growth"
    printf "\n"
    for (o = 1; o <= operations; o++) {
      op = order[o]
      printf "%-28s", op
      for (s = 1; s <= count; s++) printf " %12d", ir[op, size[s]]
      for (s = 2; s <= count; s++) printf "   x%5.2f", ir[op, size[s]] / ir[op, size[s - 1]]
      printf "\n"
    }
  }'

#!/usr/bin/env bash
# Runs the desk on generated sessions and on their I/O floor, several times each, and reports
# medians with their spread: wall time, CPU time (user + system), peak resident memory, bytes
# written, the ratio to the floor, and the time per transaction.
#
#   bench/run_sessions.sh [BUILD_DIR]         (BUILD_DIR defaults to build-bench/)
#
# Settings, from the environment:
#   SIZES="1000 10000 100000"  members and items of each session (N of each)
#   TRANSACTIONS=10000         main-menu choices after the setup (M)
#   RUNS=5                     runs of each program on each script
#   SEED=1                     the session generator's seed
#   OUT=file                   where the output goes: "file" (a file beside the scripts,
#                              rewritten by every run) or "null" (/dev/null); never a terminal
#   WORK=DIR                   where scripts, transcripts and raw timings are kept (default: a
#                              new temporary directory)
#
# Each size is run twice over: the whole session (N members, N items, M transactions) and its
# setup alone (M = 0). The time per transaction is the difference of their medians over M; the
# setup's cost is reported on its own line. The floor of a script replays the transcript that
# the desk wrote for it, line by line with a flush per line, and reads the script as the desk
# does (bench/floor.cpp).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build-bench}" && pwd)
program=$build/shelvoranquist
generator=$build/bench/shelvoranquist_session_script
floor=$build/bench/shelvoranquist_floor
sizes=${SIZES:-"1000 10000 100000"}
transactions=${TRANSACTIONS:-10000}
runs=${RUNS:-5}
seed=${SEED:-1}
out_mode=${OUT:-file}
work=${WORK:-$(mktemp -d)}
mkdir -p "$work"

for tool in "$program" "$generator" "$floor"; do
  [ -x "$tool" ] || { echo "missing $tool: build with -DSHELVORANQUIST_BENCHMARKS=ON" >&2; exit 2; }
done
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (apt-get install time)" >&2; exit 2; }
case "$out_mode" in
  file) out=$work/out ;;
  null) out=/dev/null ;;
  *) echo "OUT must be file or null" >&2; exit 2 ;;
esac

timings=$work/timings.txt
: > "$timings"

# One timed run: appends "size script program run wall_s cpu_s peak_kib bytes" to $timings.
timed_run() {
  local size=$1 script=$2 name=$3 run=$4
  shift 4
  local start end
  start=$EPOCHREALTIME
  /usr/bin/time -f "%U %S %M" -o "$work/time.txt" "$@" < "$work/$size.$script.input" > "$out"
  end=$EPOCHREALTIME
  local bytes
  bytes=$(stat -c %s "$work/$size.$script.transcript")
  [ "$out" = /dev/null ] || bytes=$(stat -c %s "$out")
  read -r user system peak < "$work/time.txt"
  awk -v s="$size" -v sc="$script" -v n="$name" -v r="$run" -v a="$start" -v b="$end" \
      -v u="$user" -v y="$system" -v p="$peak" -v by="$bytes" \
      'BEGIN { printf "%s %s %s %s %.4f %.3f %s %s\n", s, sc, n, r, b - a, u + y, p, by }' \
      >> "$timings"
}

echo "# machine: $(nproc) cores, load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "# output to: $out_mode; runs: $runs; transactions: $transactions; seed: $seed; work: $work"

for size in $sizes; do
  "$generator" "$size" "$transactions" "$seed" > "$work/$size.session.input"
  "$generator" "$size" 0 "$seed" > "$work/$size.setup.input"
  for script in session setup; do
    "$program" < "$work/$size.$script.input" > "$work/$size.$script.transcript"
  done
  for run in $(seq "$runs"); do
    for script in session setup; do
      # The desk and its floor take turns, so that both meet the same load on the machine.
      timed_run "$size" "$script" desk "$run" "$program"
      timed_run "$size" "$script" floor "$run" "$floor" "$work/$size.$script.transcript"
    done
  done
  # The desk's output must be the transcript the floor replays, byte for byte.
  "$program" < "$work/$size.session.input" | cmp -s - "$work/$size.session.transcript" ||
    echo "# note: N=$size: the desk's output differed between two runs (clock minute changed?)"
done

echo "# load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
awk -v transactions="$transactions" '
  function sort(a, n,    i, j, t) {
    for (i = 2; i <= n; i++) { t = a[i]; for (j = i - 1; j >= 1 && a[j] > t; j--) a[j + 1] = a[j]; a[j + 1] = t }
  }
  function median(a, n) { sort(a, n); return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2 }
  function lo(a, n) { sort(a, n); return a[1] }
  function hi(a, n) { sort(a, n); return a[n] }
  {
    key = $1 " " $2 " " $3; n = ++count[key]
    wall[key, n] = $5; cpu[key, n] = $6; peak[key, n] = $7; bytes[key] = $8
    if (!($1 in seen)) { seen[$1] = 1; order[++sizes] = $1 }
  }
  function stat(what, key, kind,    i, n, a) {
    n = count[key]
    for (i = 1; i <= n; i++) a[i] = (kind == "wall" ? wall[key, i] : kind == "cpu" ? cpu[key, i] : peak[key, i])
    if (what == "median") return median(a, n)
    if (what == "lo") return lo(a, n)
    return hi(a, n)
  }
  function row(label, key, floorkey) {
    printf "%-16s %12.0f %9.3f [%7.3f %7.3f] %8.3f [%6.3f %6.3f] %9.0f",
      label, bytes[key], stat("median", key, "wall"), stat("lo", key, "wall"), stat("hi", key, "wall"),
      stat("median", key, "cpu"), stat("lo", key, "cpu"), stat("hi", key, "cpu"), stat("median", key, "peak")
    if (floorkey != "") {
      printf " %7.2f", stat("median", key, "wall") / stat("median", floorkey, "wall")
      # CPU times come in hundredths of a second: a floor of 0 gives no ratio.
      floorcpu = stat("median", floorkey, "cpu")
      if (floorcpu > 0) printf " %7.2f", stat("median", key, "cpu") / floorcpu
      else printf " %7s", "-"
    }
    printf "\n"
  }
  END {
    printf "%-16s %12s %9s %17s %8s %15s %9s %7s %7s\n", "run", "bytes", "wall s", "[min max]",
      "cpu s", "[min max]", "peak KiB", "wall/fl", "cpu/fl"
    for (s = 1; s <= sizes; s++) {
      n = order[s]
      row("N=" n " desk", n " session desk", n " session floor")
      row("N=" n " floor", n " session floor", "")
      row("  setup desk", n " setup desk", n " setup floor")
      row("  setup floor", n " setup floor", "")
    }
    printf "\nper transaction (session minus setup, medians, over %d transactions)\n", transactions
    printf "%-10s %14s %14s %14s %14s\n", "N", "desk wall us", "floor wall us", "desk cpu us", "floor cpu us"
    for (s = 1; s <= sizes; s++) {
      n = order[s]
      printf "%-10s", n
      printf " %14.1f %14.1f %14.1f %14.1f\n",
        (stat("median", n " session desk", "wall") - stat("median", n " setup desk", "wall")) / transactions * 1e6,
        (stat("median", n " session floor", "wall") - stat("median", n " setup floor", "wall")) / transactions * 1e6,
        (stat("median", n " session desk", "cpu") - stat("median", n " setup desk", "cpu")) / transactions * 1e6,
        (stat("median", n " session floor", "cpu") - stat("median", n " setup floor", "cpu")) / transactions * 1e6
    }
    if (sizes >= 2) {
      small = order[1]; large = order[sizes]
      printf "\npeak resident memory per stored member and item, N=%s against N=%s (setup runs): %.0f bytes\n",
        large, small, (stat("median", large " setup desk", "peak") - stat("median", small " setup desk", "peak")) * 1024 / (2 * (large - small))
    }
  }
' "$timings"

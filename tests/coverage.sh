#!/usr/bin/env bash
# Builds the system with gcc's line coverage in build-coverage/, runs the whole test suite
# there, and prints the line coverage of each file under src/, src/ in all, and the functions
# of src/ that no test runs. A line counts as covered when any test program ran it; a header's
# lines are counted once, however many programs include it. Files below 100% list the lines
# that no test ran.
#
#   tests/coverage.sh            (needs cmake, g++, gcov and python3)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-coverage

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=--coverage \
  -DCMAKE_EXE_LINKER_FLAGS=--coverage > /dev/null
cmake --build "$build" -j2
find "$build" -name '*.gcda' -delete
status=0
ctest --test-dir "$build" --output-on-failure < /dev/null || status=$?

python3 - "$root" "$build" <<'PYTHON'
import json, os, subprocess, sys

root, build = sys.argv[1], sys.argv[2]
src = os.path.join(root, "src") + os.sep
lines = {}      # file -> {line: covered}
functions = {}  # (file, line, name) -> covered
for folder, _, names in os.walk(build):
    for name in names:
        if not name.endswith(".gcda"):
            continue
        output = subprocess.run(["gcov", "--json-format", "--stdout", os.path.join(folder, name)],
                                cwd=folder, capture_output=True, text=True, check=True).stdout
        for document in output.splitlines():
            for record in json.loads(document)["files"]:
                path = os.path.normpath(os.path.join(folder, record["file"]))
                if not path.startswith(src):
                    continue
                file_lines = lines.setdefault(path[len(root) + 1:], {})
                for line in record["lines"]:
                    number = line["line_number"]
                    file_lines[number] = file_lines.get(number, False) or line["count"] > 0
                for function in record["functions"]:
                    key = (path[len(root) + 1:], function["start_line"], function["demangled_name"])
                    functions[key] = functions.get(key, False) or function["execution_count"] > 0

total = covered = 0
print(f"{'file':<44} {'lines':>6} {'covered':>8}")
for path in sorted(lines):
    count, hit = len(lines[path]), sum(lines[path].values())
    if count == 0:
        continue
    total, covered = total + count, covered + hit
    missing = ",".join(str(number) for number, ran in sorted(lines[path].items()) if not ran)
    print(f"{path:<44} {count:>6} {100.0 * hit / count:>7.1f}%" +
          (f"  not run: {missing}" if missing else ""))
print(f"{'src/ in all':<44} {total:>6} {100.0 * covered / total:>7.1f}%")
missed = sorted(key for key, ran in functions.items() if not ran)
# A function that some program ran under another instantiation counts as run.
ran_somewhere = {(path, line) for (path, line, _), ran in functions.items() if ran}
missed = [key for key in missed if (key[0], key[1]) not in ran_somewhere]
print(f"functions no test runs: {len(missed)}")
for path, line, name in missed:
    print(f"  {path}:{line}  {name}")
PYTHON
exit "$status"

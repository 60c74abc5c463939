#!/usr/bin/env bash
# Builds and tests the three trees:
#   build/native    gcc -m32, RelWithDebInfo
#   build/sanitize  gcc -m32 with ASan and UBSan
#   build/windows   mingw-w64 i686: Vandu.dll, its native check, Wine tests
# and ends with one line "Summary: N passed, N failed" over all trees.
# Exits non-zero when a test failed or a tree did not configure or build.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${VANDU_JOBS:-2}

passed=0
failed=0
skipped=0
problems=()

summary() {
  local line="Summary: $passed passed, $failed failed"
  [ "$skipped" -gt 0 ] && line+=", $skipped skipped"
  for p in "${problems[@]}"; do echo "  - $p"; done
  echo "$line"
}

if ! bash scripts/setup.sh; then
  problems+=("setup failed")
  failed=$((failed + 1))
  summary
  exit 1
fi

elapsed() { echo "$(( $(date +%s) - $1 ))s"; }

# Adds the counts of a ctest log: "N% tests passed, F tests failed out of T",
# where skipped tests (listed as "(Skipped)") count among the passed.
count_ctest() {
  local tree=$1 log=$2 total fail skip
  if grep -q 'No tests were found' "$log"; then
    problems+=("$tree: no tests found")
    failed=$((failed + 1))
    return
  fi
  read -r fail total < <(sed -nE 's/.*tests passed, ([0-9]+) tests? failed out of ([0-9]+).*/\1 \2/p' "$log" | tail -1)
  if [ -z "${total:-}" ]; then
    problems+=("$tree: ctest printed no result")
    failed=$((failed + 1))
    return
  fi
  skip=$(grep -cE '^[[:space:]]*[0-9]+ - .*\(Skipped\)' "$log")
  passed=$((passed + total - fail - skip))
  failed=$((failed + fail))
  skipped=$((skipped + skip))
  [ "$fail" -gt 0 ] && problems+=("$tree: $fail of $total tests failed")
  [ "$skip" -gt 0 ] && problems+=("$tree: $skip tests skipped")
}

run_tree() {
  local tree=$1; shift
  local dir=build/$tree start
  mkdir -p "$dir"
  echo "=== $tree: configure"
  start=$(date +%s)
  if ! cmake -S . -B "$dir" "$@" > "$dir/configure.log" 2>&1; then
    tail -n 40 "$dir/configure.log"
    problems+=("$tree: configure failed")
    failed=$((failed + 1))
    return
  fi
  echo "=== $tree: build"
  if ! cmake --build "$dir" --parallel "$jobs" -- -k > "$dir/build.log" 2>&1; then
    grep -E 'error|Error' "$dir/build.log" | head -n 40
    echo "(full log: $dir/build.log)"
    problems+=("$tree: build failed")
    failed=$((failed + 1))
  fi
  echo "=== $tree: built in $(elapsed "$start"); test"
  start=$(date +%s)
  (cd "$dir" && ctest --output-on-failure --parallel "$jobs") 2>&1 | tee "$dir/ctest.log"
  count_ctest "$tree" "$dir/ctest.log"
  echo "=== $tree: tested in $(elapsed "$start")"
}

run_tree native -DCMAKE_TOOLCHAIN_FILE=cmake/linux-i386.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_tree sanitize -DCMAKE_TOOLCHAIN_FILE=cmake/linux-i386.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANDU_SANITIZE=ON
run_tree windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release

# Fuzzing smoke runs: the libFuzzer targets, built with clang, each run over
# its corpus for a bounded number of inputs.
run_fuzz() {
  local dir=build/fuzz start
  mkdir -p "$dir"
  echo "=== fuzz: configure and build"
  start=$(date +%s)
  if ! { CC=clang CXX=clang++ cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/linux-i386.cmake \
           -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANDU_FUZZ=ON &&
         cmake --build "$dir" --parallel "$jobs" --target fuzz_list_file fuzz_host_calls; } \
       > "$dir/build.log" 2>&1; then
    grep -E 'error|Error' "$dir/build.log" | head -n 40
    problems+=("fuzz: build failed")
    failed=$((failed + 1))
    return
  fi
  echo "=== fuzz: built in $(elapsed "$start"); run"
  (cd "$dir" && ctest --output-on-failure -L fuzz) 2>&1 | tee "$dir/ctest.log"
  count_ctest fuzz "$dir/ctest.log"
}
run_fuzz

summary
[ "$failed" -eq 0 ]

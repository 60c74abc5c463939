#!/usr/bin/env bash
# Builds and tests the trees (under VANDU_BUILD_ROOT, default build):
#   native    gcc -m32, RelWithDebInfo; where i386 programs run natively, its
#             test programs also run under valgrind memcheck
#   sanitize  gcc -m32 with ASan and UBSan; LeakSanitizer on where i386
#             programs run natively
#   windows   mingw-w64 i686: Vandu.dll, its native check, Wine tests
#   fuzz      clang libFuzzer smoke runs (leak detection as in sanitize)
# after checking that the includes of src/ point down its layers,
# and ends with one line "Summary: N passed, N failed" over all trees.
# VANDU_TREES picks trees (default "native sanitize windows fuzz").
# Exits non-zero when a test failed or a tree did not configure or build.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${VANDU_JOBS:-2}
build_root=${VANDU_BUILD_ROOT:-build}
build_root=${build_root%/}
trees=" ${VANDU_TREES:-native sanitize windows fuzz} "
wants() { [[ $trees == *" $1 "* ]]; }

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

# "native" or "qemu": valgrind cannot run i386 programs under qemu-user, and
# qemu refuses the clone() with which LeakSanitizer stops the world.
# setup.sh exits 2 when it could install only the native trees' packages: the
# trees that need the rest are counted as failed, never passed over in silence.
setup_status=0
i386=$(bash scripts/setup.sh --report-i386) || setup_status=$?
if [ "$setup_status" -eq 2 ]; then
  for t in windows; do
    if wants "$t"; then
      problems+=("$t: left out: setup could not install its packages (see above)")
      failed=$((failed + 1))
      trees=${trees/ $t / }
    fi
  done
elif [ "$setup_status" -ne 0 ]; then
  problems+=("setup failed")
  failed=$((failed + 1))
  summary
  exit 1
fi
# The sanitized programs and the fuzzers run with this environment; their
# built-in defaults keep leak detection off (see cmake/sanitizer_defaults.c).
leak_env=()
if [ "$i386" = native ]; then
  leak_env=("ASAN_OPTIONS=detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}")
elif wants native || wants sanitize || wants fuzz; then
  problems+=("memory guards: left out: i386 programs run only under qemu-i386 here\
 (valgrind and LeakSanitizer cannot run under it)")
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

# Configures and builds a tree; fails only when it did not configure (a tree
# that built in part still runs its tests).
build_tree() {
  local tree=$1; shift
  local dir=$build_root/$tree start
  mkdir -p "$dir"
  echo "=== $tree: configure"
  start=$(date +%s)
  if ! cmake -S . -B "$dir" "$@" > "$dir/configure.log" 2>&1; then
    tail -n 40 "$dir/configure.log"
    problems+=("$tree: configure failed")
    failed=$((failed + 1))
    return 1
  fi
  echo "=== $tree: build"
  if ! cmake --build "$dir" --parallel "$jobs" -- -k > "$dir/build.log" 2>&1; then
    grep -E 'error|Error' "$dir/build.log" | head -n 40
    echo "(full log: $dir/build.log)"
    problems+=("$tree: build failed")
    failed=$((failed + 1))
  fi
  echo "=== $tree: built in $(elapsed "$start")"
}

# Runs a tree's ctest tests, with the environment assignments given.
test_tree() {
  local tree=$1; shift
  local dir=$build_root/$tree start
  echo "=== $tree: test"
  start=$(date +%s)
  (cd "$dir" && env "$@" ctest --output-on-failure --parallel "$jobs") 2>&1 | tee "$dir/ctest.log"
  count_ctest "$tree" "$dir/ctest.log"
  echo "=== $tree: tested in $(elapsed "$start")"
}

# valgrind memcheck over a tree's GoogleTest programs, one result per program:
# it fails on memcheck errors (invalid reads and writes, uses of undefined
# values, definite leaks) as well as on failing tests.
memcheck_tree() {
  local tree=$1 dir=$build_root/$1 prog log start
  for prog in vandu_unit_tests vandu_host_tests; do
    if [ "$i386" != native ]; then
      skipped=$((skipped + 1))
      continue
    fi
    if [ ! -x "$dir/bin/$prog" ]; then
      problems+=("$tree: $prog not built, not run under valgrind")
      failed=$((failed + 1))
      continue
    fi
    log=$dir/memcheck-$prog.log
    echo "=== $tree: valgrind memcheck $prog"
    start=$(date +%s)
    if valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite \
         "$dir/bin/$prog" --gtest_brief=1 > "$log" 2>&1; then
      passed=$((passed + 1))
    else
      tail -n 60 "$log"
      echo "(full log: $log)"
      problems+=("$tree: $prog failed under valgrind memcheck")
      failed=$((failed + 1))
    fi
    echo "=== $tree: $prog under valgrind in $(elapsed "$start")"
  done
}

# The includes of src/ point down its layers (scripts/check-layers.sh).
if bash scripts/check-layers.sh; then
  passed=$((passed + 1))
else
  problems+=("layers: an include points up (above)")
  failed=$((failed + 1))
fi

linux=(-DCMAKE_TOOLCHAIN_FILE=cmake/linux-i386.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo)
if wants native && build_tree native "${linux[@]}"; then
  test_tree native
  memcheck_tree native
fi
if wants sanitize && build_tree sanitize "${linux[@]}" -DVANDU_SANITIZE=ON; then
  test_tree sanitize "${leak_env[@]}"
fi
if wants windows && build_tree windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
     -DCMAKE_BUILD_TYPE=Release; then
  test_tree windows
fi

# Fuzzing smoke runs: the libFuzzer targets, built with clang, each run over
# its corpus for a bounded number of inputs.
run_fuzz() {
  local dir=$build_root/fuzz start
  mkdir -p "$dir"
  echo "=== fuzz: configure and build"
  start=$(date +%s)
  if ! { CC=clang CXX=clang++ cmake -S . -B "$dir" "${linux[@]}" -DVANDU_FUZZ=ON &&
         cmake --build "$dir" --parallel "$jobs" --target fuzz_list_file fuzz_host_calls fuzz_list_window; } \
       > "$dir/build.log" 2>&1; then
    grep -E 'error|Error' "$dir/build.log" | head -n 40
    problems+=("fuzz: build failed")
    failed=$((failed + 1))
    return
  fi
  echo "=== fuzz: built in $(elapsed "$start"); run"
  (cd "$dir" && env "${leak_env[@]}" ctest --output-on-failure -L fuzz) 2>&1 | tee "$dir/ctest.log"
  count_ctest fuzz "$dir/ctest.log"
}
if wants fuzz; then
  run_fuzz
fi

summary
[ "$failed" -eq 0 ]

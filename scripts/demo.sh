#!/usr/bin/env bash
# Builds the substitute host of the native tree and runs the demo script.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/setup.sh
mkdir -p build/native
log=build/native/demo-build.log
if ! { cmake -S . -B build/native -DCMAKE_TOOLCHAIN_FILE=cmake/linux-i386.cmake \
         -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
       cmake --build build/native --parallel "${VANDU_JOBS:-2}" --target vandu-host; } > "$log" 2>&1; then
  tail -n 40 "$log"
  echo "demo: building vandu-host failed (full log: $log)" >&2
  exit 1
fi
# The demo edits its list file: it works on a fresh copy of the sample.
work=build/demo
mkdir -p "$work"
cp samples/people.txt "$work/people.txt"
cd "$work"
exec "$root/build/native/bin/vandu-host" "$root/samples/demo.vsc"

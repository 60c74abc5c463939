#!/usr/bin/env bash
# Builds the substitute host of the native tree and runs the demo script;
# then, where Wine runs, builds the Windows tree's host and Vandu.dll and
# runs the list-area demo in a real window under Wine inside Xvfb, saving a
# picture of the area.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

# Exit 2: only the native packages could be installed; the native transcript
# still runs, and the Wine part below says it is left out.
setup_status=0
bash scripts/setup.sh || setup_status=$?
[ "$setup_status" -eq 0 ] || [ "$setup_status" -eq 2 ] || exit "$setup_status"

# Configures and builds the targets of a tree quietly; on failure prints the
# end of its log.
build() {
  local tree=$1 toolchain=$2 type=$3
  shift 3
  mkdir -p "build/$tree"
  local log="build/$tree/demo-build.log"
  if ! { cmake -S . -B "build/$tree" -DCMAKE_TOOLCHAIN_FILE="cmake/$toolchain.cmake" \
           -DCMAKE_BUILD_TYPE="$type" &&
         cmake --build "build/$tree" --parallel "${VANDU_JOBS:-2}" --target "$@"; } > "$log" 2>&1; then
    tail -n 40 "$log"
    echo "demo: building $* in build/$tree failed (full log: $log)" >&2
    return 1
  fi
}

build native linux-i386 RelWithDebInfo vandu-host
# The demo edits its list file: it works on a fresh copy of the sample.
work=build/demo
mkdir -p "$work"
cp samples/people.txt "$work/people.txt"
(cd "$work" && "$root/build/native/bin/vandu-host" "$root/samples/demo.vsc")

if ! command -v wine >/dev/null || ! command -v i686-w64-mingw32-g++-posix >/dev/null; then
  echo "demo: left out: the list-area demo in a real window (Wine or the cross compiler" \
       "is not installed; scripts/setup.sh said why above)"
  exit 0
fi
echo
echo "demo: the list area, in a real window under Wine"
build windows mingw-i686 Release vandu-host Vandu
cp samples/people.txt "$work/people.txt"
rm -f "$work/list-area.png" "$work/list-window.png"
(cd "$work" && VANDU_WINE_XVFB=1 bash "$root/scripts/wine-run.sh" \
   "$root/build/windows/bin/vandu-host.exe" "$root/samples/list-area.vsc")
echo "demo: picture of the area: $work/list-area.png"

#!/usr/bin/env bash
# Runs a 32-bit Windows program under Wine; the Windows tree's
# CMAKE_CROSSCOMPILING_EMULATOR, so ctest runs the test programs through it.
#
#   wine-run.sh PROGRAM.exe [ARGS...]   run the program, exit with its status
#   wine-run.sh --prepare               only create the Wine prefix
#
# Environment:
#   VANDU_WINEPREFIX         the prefix (default: wineprefix beside the
#                            program's bin/ folder, i.e. in the build tree)
#   VANDU_WINE_XVFB=1        run inside xvfb-run (programs that open windows)
#   VANDU_WINE_BOOT_TIMEOUT  seconds allowed for creating a prefix (default 3000)
#   VANDU_WINE_CACHE         folder keeping a finished prefix to copy from
#                            (default /var/cache/vandu; empty: none)
#
# Exit status 77 (a skip for ctest) when Wine cannot run programs here: not
# installed, or no prefix could be created in the time allowed.
set -uo pipefail

readonly SKIP=77
note() { echo "wine-run: $*" >&2; }

if [ $# -lt 1 ]; then
  echo "usage: $0 PROGRAM.exe [ARGS...] | --prepare" >&2
  exit 2
fi

if ! command -v wine >/dev/null || ! command -v wineserver >/dev/null; then
  note "SKIPPED: wine is not installed (scripts/setup.sh installs it)"
  exit $SKIP
fi

if [ -n "${VANDU_WINEPREFIX:-}" ]; then
  prefix=$VANDU_WINEPREFIX
elif [ "$1" != --prepare ]; then
  prefix="$(cd "$(dirname "$1")/.." && pwd)/wineprefix"
else
  note "--prepare needs VANDU_WINEPREFIX"
  exit 2
fi

# The prefix is a 64-bit one whenever the 64-bit loader is installed: its
# wineboot runs natively, and only the 32-bit half of the set-up goes through
# qemu-i386 (2 to 5 minutes; a 32-bit prefix took well over 30).
# The 32-bit programs run in it as on 64-bit Windows.
wine64=$(command -v wine64 || { [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64; } || true)
if [ -n "$wine64" ]; then
  export WINEARCH=win64
  boot_loader=$wine64
else
  export WINEARCH=win32
  boot_loader=wine
fi

export WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY

boot_timeout=${VANDU_WINE_BOOT_TIMEOUT:-3000}
wine_version=$(dpkg-query -W -f='${Version}' wine 2>/dev/null || echo unknown)
cache_root=${VANDU_WINE_CACHE-/var/cache/vandu}
# Raise when create_prefix changes, so that older prefixes and caches go.
layout=2
cache=${cache_root:+$cache_root/wineprefix-$WINEARCH-v$layout-${wine_version//[^A-Za-z0-9.+-]/_}}
ready=.vandu-ready-$WINEARCH-v$layout

# Z: is the Unix root in a new prefix.
winepath_of() { printf 'Z:%s' "${1//\//\\}"; }

# A prefix is ready once wineboot finished, kernel32 is in place and the crash
# dialog is off (a crashing test must fail, not wait on an invisible dialog).
# Ends every process of the prefix. A process still starting under qemu is
# not yet known to wineserver; it is found by the VANDU_WINE_RUN mark that it
# inherited from this script.
export VANDU_WINE_RUN="$$-$RANDOM$RANDOM"
stop_wine() {
  wineserver -k 2>/dev/null 9>&-
  timeout 120 wineserver -w 9>&-
  local environ pid
  for environ in /proc/[0-9]*/environ; do
    pid=${environ#/proc/}; pid=${pid%/environ}
    [ "$pid" = $$ ] && continue
    if grep -qzx "VANDU_WINE_RUN=$VANDU_WINE_RUN" "$environ" 2>/dev/null; then
      kill -9 "$pid" 2>/dev/null
    fi
  done
}

# Runs with the lock of prepare_prefix held on descriptor 9; Wine's processes
# must not inherit it, or they would hold the lock after a failed attempt.
create_prefix() {
  local start now left
  start=$(date +%s)
  note "creating the $WINEARCH Wine prefix $prefix (minutes under qemu-i386)"
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"

  # wineboot's own wait for the boot gives up after five minutes, before a
  # boot under qemu is done; the boot goes on, and wineserver -w waits for it.
  timeout "$boot_timeout" "$boot_loader" wineboot -i >/dev/null 2>&1 9>&-
  now=$(date +%s); left=$((boot_timeout - (now - start)))
  if [ $left -le 0 ] || ! timeout "$left" wineserver -w 9>&-; then
    stop_wine
    note "SKIPPED: the Wine prefix was not ready after ${boot_timeout}s"
    return 1
  fi
  if [ ! -e "$prefix/drive_c/windows/system32/kernel32.dll" ]; then
    stop_wine
    note "SKIPPED: wineboot ended without installing the system files"
    return 1
  fi
  # No crash dialog and no debugger: a crashing program ends at once with a
  # failure status (winedbg itself does not survive qemu-i386, and with it
  # attached a crashed program could even exit 0).
  local settings="$prefix/vandu-settings.reg"
  cat > "$settings" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"=""

[HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"=""
REG
  if ! timeout 900 "$boot_loader" reg import "$(winepath_of "$settings")" >/dev/null 2>&1 9>&- ||
     ! timeout 600 wineserver -w 9>&-; then
    stop_wine
    note "SKIPPED: could not turn off the crash dialog in the new prefix"
    return 1
  fi
  rm -f "$settings"
  touch "$prefix/$ready"
  note "prefix ready after $(( $(date +%s) - start ))s"

  if [ -n "$cache" ] && mkdir -p "$cache_root" 2>/dev/null; then
    rm -rf "$cache.tmp" && cp -a "$prefix" "$cache.tmp" && rm -f "$cache.tmp/wineserver" &&
      rm -rf "$cache" && mv "$cache.tmp" "$cache" || rm -rf "$cache.tmp"
  fi
  return 0
}

# A failed creation is not retried for three hours (the rest of a test run);
# remove $prefix.failed to retry at once.
prepare_prefix() {
  [ -e "$prefix/$ready" ] && return 0
  mkdir -p "$(dirname "$prefix")"
  exec 9>"$prefix.lock"
  flock 9
  if [ ! -e "$prefix/$ready" ]; then
    if [ -n "$(find "$prefix.failed" -mmin -180 2>/dev/null)" ]; then
      note "SKIPPED: creating the Wine prefix failed at $(date -r "$prefix.failed" +%T)"
      exit $SKIP
    fi
    if [ -n "$cache" ] && [ -e "$cache/$ready" ]; then
      # (A prefix's "wineserver" file names its server's folder: never shared.)
      rm -rf "$prefix" && cp -a "$cache" "$prefix" && rm -f "$prefix/wineserver" ||
        { note "SKIPPED: cannot copy $cache"; exit $SKIP; }
    elif ! create_prefix; then
      touch "$prefix.failed"
      exit $SKIP
    fi
  fi
  rm -f "$prefix.failed"
  flock -u 9
  exec 9>&-
}

prepare_prefix
if [ "$1" = --prepare ]; then
  exit 0
fi

if [ "${VANDU_WINE_XVFB:-0}" = 1 ]; then
  if ! command -v xvfb-run >/dev/null; then
    note "SKIPPED: xvfb-run is not installed"
    exit $SKIP
  fi
  # Wine's own processes end inside the X session, before Xvfb goes.
  xvfb-run -a -s "-screen 0 1024x768x24" \
    bash -c 'wine "$@"; status=$?; wineserver -w; exit $status' wine-run "$@"
  exit $?
fi
wine "$@"
status=$?
wineserver -w
exit $status

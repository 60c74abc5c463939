#!/usr/bin/env bash
# Installs every package the builds and tests need on Debian 12 (run as root),
# and makes 32-bit x86 Linux programs runnable: where the kernel cannot execute
# them (no ia32 emulation), it registers qemu-i386 with binfmt_misc.
# Does nothing when everything is already there. Quiet unless it acts.
#
# With --report-i386 it ends by printing one line on stdout, "native" or "qemu":
# how i386 programs run here (scripts/test.sh runs valgrind and LeakSanitizer
# only on "native"). Everything else it says goes to stderr.
set -euo pipefail

report=0
[ "${1:-}" = --report-i386 ] && report=1
exec 3>&1 1>&2

packages=(
  cmake make g++ g++-multilib
  clang libclang-rt-14-dev
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  googletest libstb-dev
  wine wine32:i386 wine64
  qemu-user-static
  xvfb xauth
  valgrind libc6-dbg:i386
)

say() { echo "setup: $*" >&2; }

install_packages() {
  local missing=() p
  for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  if [ "$(id -u)" -ne 0 ]; then
    say "missing packages: ${missing[*]}; run this script as root"
    exit 1
  fi
  say "installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# A tiny static-free -m32 program: does the machine run i386 binaries?
i386_runs() {
  local dir
  dir=$(mktemp -d)
  printf 'int main(void) { return 0; }\n' > "$dir/probe.c"
  local ok=1
  if gcc -m32 -o "$dir/probe" "$dir/probe.c" 2>/dev/null && "$dir/probe" 2>/dev/null; then
    ok=0
  fi
  rm -rf "$dir"
  return $ok
}

# An enabled binfmt_misc entry that hands i386 programs to qemu-i386: then the
# probe above ran under emulation. Where binfmt_misc is not mounted, nothing
# is registered in this namespace and the kernel ran the probe itself.
qemu_i386_registered() {
  local entry
  for entry in /proc/sys/fs/binfmt_misc/*; do
    [ -f "$entry" ] || continue
    case ${entry##*/} in register|status) continue ;; esac
    if head -n 1 "$entry" | grep -qx enabled && grep -q '^interpreter .*qemu-i386' "$entry"; then
      return 0
    fi
  done
  return 1
}

# ELF32, little-endian, x86 (e_machine 3), e_type EXEC (2) or DYN (3); the F
# flag opens the interpreter now, so it also serves containers and chroots.
register_qemu_i386() {
  local binfmt=/proc/sys/fs/binfmt_misc
  local qemu=/usr/bin/qemu-i386-static
  if [ "$(id -u)" -ne 0 ]; then
    say "i386 programs do not run here; run this script as root to register qemu-i386"
    exit 1
  fi
  if [ ! -e "$binfmt/register" ]; then
    mount -t binfmt_misc binfmt_misc "$binfmt"
  fi
  if [ -e "$binfmt/qemu-i386" ]; then
    # Present but disabled, or pointing elsewhere: replace it.
    echo -1 > "$binfmt/qemu-i386"
  fi
  say "registering $qemu for i386 programs"
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' \
    > "$binfmt/register"
}

install_packages
if ! i386_runs; then
  register_qemu_i386
  if ! i386_runs; then
    say "i386 programs still do not run after registering qemu-i386"
    exit 1
  fi
fi
if [ "$report" -eq 1 ]; then
  if qemu_i386_registered; then echo qemu >&3; else echo native >&3; fi
fi

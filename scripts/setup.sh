#!/usr/bin/env bash
# Installs every package the builds and tests need on Debian 12 (run as root),
# and makes 32-bit x86 Linux programs runnable: where the kernel cannot execute
# them (no ia32 emulation), it registers qemu-i386 with binfmt_misc.
# Does nothing when everything is already there. Quiet unless it acts.
#
# Exits 0 when everything is installed, 2 when only the Windows tree's packages
# (cross compiler, Wine, Xvfb, i386 debug symbols) could not be installed, and 1
# when the native trees cannot be built.
#
# With --report-i386 it ends by printing one line on stdout, "native" or "qemu":
# how i386 programs run here (scripts/test.sh runs valgrind and LeakSanitizer
# only on "native"). Everything else it says goes to stderr.
set -euo pipefail

report=0
[ "${1:-}" = --report-i386 ] && report=1
exec 3>&1 1>&2

# The native trees need these; without them nothing builds.
core_packages=(
  cmake make g++ g++-multilib
  clang libclang-rt-14-dev
  googletest libstb-dev
  qemu-user-static
  valgrind
)
# The Windows tree and the memory guards need these. When they cannot be
# installed, the native trees still run: the script says what it left out and
# exits 2, so that demo.sh goes on and test.sh counts the gap as a failure.
windows_packages=(
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386 wine64
  xvfb xauth
  libc6-dbg:i386
)

say() { echo "setup: $*" >&2; }

missing_of() {
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      echo "$p"
    fi
  done
}

# Sources ("URI SUITE") whose indexes failed to update, filled by update_indexes.
failed_sources=()
# Extra apt options that leave those sources out, filled by leave_out_failed.
apt_opts=()
leave_out_dir=
trap '[ -z "$leave_out_dir" ] || rm -rf "$leave_out_dir"' EXIT

# apt-get update, tried a few times: a mirror caught mid-sync serves an index
# of the wrong size for a while. When it still fails, the indexes that did
# update are kept and the failing sources are recorded.
update_indexes() {
  local tries=${VANDU_APT_TRIES:-3} wait=${VANDU_APT_WAIT:-10} try log
  log=$(mktemp)
  for ((try = 1; try <= tries; try++)); do
    if apt-get "${apt_opts[@]}" update -qq > "$log" 2>&1 && ! grep -q 'Failed to fetch' "$log"; then
      rm -f "$log"
      failed_sources=()
      return 0
    fi
    [ "$try" -lt "$tries" ] && sleep "$wait"
  done
  # "E: Failed to fetch http://host/path/dists/SUITE/..." names the source;
  # a flat repository (no dists/) is named by its URI alone.
  mapfile -t failed_sources < <(sed -nE 's/.*Failed to fetch ([^ ]+).*/\1/p' "$log" |
    sed -E 's#^(.*)/dists/([^/]+)/.*#\1 \2#; t; s#^(.*)/[^/]*$#\1 *#' | sort -u)
  if [ ${#failed_sources[@]} -eq 0 ]; then
    sed 's/^/  /' "$log" >&2
    rm -f "$log"
    say "apt-get update failed (above); going on with the indexes already here"
    return 0
  fi
  rm -f "$log"
  say "apt-get update failed $tries times for ${failed_sources[*]}; going on without it for now"
}

# Writes copies of the machine's sources without the failed sources into a
# temporary folder and points apt at it for the following commands only; the
# machine's own files are not touched.
leave_out_failed() {
  leave_out_dir=$(mktemp -d)
  local f
  local files=()
  [ -f /etc/apt/sources.list ] && files+=(/etc/apt/sources.list)
  for f in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && files+=("$f")
  done
  for f in "${files[@]}"; do
    perl -e '
      my ($file, $out, @drop) = @ARGV;
      my %drop = map { my ($u, $s) = split / /; $u =~ s{/+$}{}; ("$u $s" => 1) } @drop;
      my $gone = sub { my ($u, $s) = @_; $u =~ s{/+$}{}; $drop{"$u $s"} || $drop{"$u *"} };
      open my $in, "<", $file or die "$file: $!";
      local $/; my $text = <$in>; close $in;
      my $result = "";
      if ($file =~ /\.sources$/) {
        # deb822: one source per paragraph; drop the failed suites from each.
        for my $para (split /\n\s*\n/, $text) {
          my ($uris) = $para =~ /^URIs:\s*(.*)$/mi;
          my ($suites) = $para =~ /^Suites:\s*(.*)$/mi;
          if (defined $uris && defined $suites) {
            my @keep = grep { my $s = $_; !grep { $gone->($_, $s) } split " ", $uris } split " ", $suites;
            next unless @keep;
            $para =~ s/^Suites:.*$/"Suites: @keep"/mie;
          }
          $result .= "$para\n\n";
        }
      } else {
        for my $line (split /\n/, $text) {
          my $l = $line; $l =~ s/\[[^\]]*\]//;
          my @w = split " ", $l;
          next if @w >= 3 && $w[0] =~ /^deb(-src)?$/ && $gone->($w[1], $w[2]);
          $result .= "$line\n";
        }
      }
      open my $o, ">", $out or die "$out: $!"; print $o $result; close $o;
    ' "$f" "$leave_out_dir/${f##*/}" "${failed_sources[@]}"
  done
  # sources.list may be missing; a .list of its own keeps the main file empty.
  apt_opts=(-o "Dir::Etc::SourceParts=$leave_out_dir" -o Dir::Etc::SourceList=/dev/null)
}

# Installs the packages given; prints apt's complaint on stderr when it fails.
apt_install() {
  local log rc=0
  log=$(mktemp)
  DEBIAN_FRONTEND=noninteractive apt-get "${apt_opts[@]}" install -y -qq \
    --no-install-recommends "$@" > "$log" 2>&1 || rc=$?
  [ "$rc" -eq 0 ] || grep -E '^(E:| )' "$log" | head -n 20 >&2
  rm -f "$log"
  return "$rc"
}

# Installs what is missing. Returns 0 when all is there, 2 when only the
# Windows packages could not be installed; exits when the core cannot be.
install_packages() {
  local missing
  mapfile -t missing < <(missing_of "${core_packages[@]}" "${windows_packages[@]}")
  [ ${#missing[@]} -eq 0 ] && return 0

  if [ "$(id -u)" -ne 0 ]; then
    say "missing packages: ${missing[*]}; run this script as root"
    exit 1
  fi
  say "installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  update_indexes
  apt_install "${missing[@]}" && return 0

  # Packages of two architectures disagree when one architecture's index of a
  # suite failed to update: install once more with that suite left out.
  if [ ${#failed_sources[@]} -gt 0 ]; then
    say "installing again without ${failed_sources[*]}"
    leave_out_failed
    update_indexes
    apt_install "${missing[@]}" && return 0
  fi

  mapfile -t missing < <(missing_of "${core_packages[@]}")
  if [ ${#missing[@]} -gt 0 ] && ! apt_install "${missing[@]}"; then
    say "cannot install ${missing[*]} (apt's reasons above): nothing can be built"
    exit 1
  fi
  mapfile -t missing < <(missing_of "${windows_packages[@]}")
  say "left out: ${missing[*]} could not be installed (apt's reasons above):" \
      "no Windows tree, no Wine, no valgrind of i386 programs"
  return 2
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

status=0
install_packages || status=$?
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
exit "$status"

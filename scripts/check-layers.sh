#!/usr/bin/env bash
# Checks that the includes of src/ point down the layers, from the top:
#   entry     the entry point, the instance record, command routing
#   area      the list window
#   lists     the list store
#   host      the host's requests, records, memory and atoms
#   platform  the operating system: files, time, windows and drawing
# A file may include its own layer and the layers below it, and the
# catalogue and version headers of res/ (by <name>, never by a relative path).
# Prints each include that points up or climbs out of src/ by "../", and
# exits 1 when there is one. Takes the source folder (default: src).
set -euo pipefail

src=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/src}
layers=(platform host lists area entry)

# Includes that point up on purpose, each with its reason.
declare -A allowed=(
  # The instance record: every command and every area takes it. It names
  # lists and areas only by pointer, so it pulls nothing of those layers down.
  [entry/globals.h]=1
  # Reading the current call's parameters: every command reads its own.
  [entry/params.h]=1
)

rank() {
  local i
  for i in "${!layers[@]}"; do
    if [ "${layers[$i]}" = "$1" ]; then echo "$i"; return; fi
  done
  echo -1
}

bad=0
for layer in "${layers[@]}"; do
  own=$(rank "$layer")
  [ -d "$src/$layer" ] || continue
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    target=$(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' <<< "${rest#*:}")
    [ -n "$target" ] || continue
    where="${file#"$src"/}:$line"
    if [[ $target == *../* ]]; then
      echo "check-layers: $where: climbs out by a relative path: \"$target\""
      bad=1
      continue
    fi
    to=$(rank "${target%%/*}")
    if [ "$to" -gt "$own" ] && [ -z "${allowed[$target]:-}" ]; then
      echo "check-layers: $where: $layer includes \"$target\" of the higher layer ${target%%/*}"
      bad=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$src/$layer" || true)
done

if [ "$bad" -ne 0 ]; then
  echo "check-layers: includes point up (order, top first: entry area lists host platform)"
  exit 1
fi
echo "check-layers: every include points down"

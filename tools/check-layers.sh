#!/usr/bin/env bash
# Fails when a source file includes a folder above its own layer.
#
# The layers, lowest first; a folder may include its own layer and those
# below it:
#   ground < counters < geometry < particles < frame < splat < composition < scene < hosts
# The hosts reach the core only through the ground, the scene (its Animation)
# and the back buffer that the Animation hands them (frame/frame_buffer.h).
# Inside hosts/, a room includes its own files and those of the rooms listed
# for it below; the Win32 host only the header-only pieces of portable/.
# Tests, benchmarks and tools may include anything.
set -euo pipefail
cd "$(dirname "$0")/.."

layers=(ground counters geometry particles frame splat composition scene hosts)
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done

declare -A rooms=(
  [hosts/portable]=""
  [hosts/headless]="hosts/portable"
  [hosts/win32]=""
  [hosts/web]="hosts/portable"
  [hosts/sdl/shared]="hosts/portable"
  [hosts/sdl/own_window]="hosts/sdl/shared hosts/portable"
  [hosts/sdl/foreign_window]="hosts/sdl/shared hosts/portable"
  [hosts/sdl/launcher]="hosts/sdl/own_window hosts/sdl/foreign_window hosts/sdl/shared hosts/portable"
)
# The room of a path below src/, or nothing.
room_of() {
  local dir=${1%/*}
  while [ -z "${rooms[$dir]+x}" ]; do
    [[ $dir == */* ]] || return 0
    dir=${dir%/*}
  done
  echo "$dir"
}
# Whether a host file in room $1 may include "$2".
room_allows() {
  local target_room
  target_room=$(room_of "$2")
  [ -n "$target_room" ] || return 1
  [ "$target_room" = "$1" ] && return 0
  [[ " ${rooms[$1]} " == *" $target_room "* ]] && return 0
  [ "$1" = hosts/win32 ] && [ "$target_room" = hosts/portable ] && [ ! -e "src/${2%.h}.cpp" ]
}

status=0
while IFS= read -r file; do
  own=${file#src/}
  own=${own%%/*}
  [ -n "${rank[$own]+x}" ] || { echo "$file: not in any layer" >&2; status=1; continue; }
  room=""
  if [ "$own" = hosts ]; then
    room=$(room_of "${file#src/}")
    [ -n "$room" ] || { echo "$file: not in any room of hosts/" >&2; status=1; continue; }
  fi
  while IFS=: read -r line target; do
    folder=${target%%/*}
    [ -n "${rank[$folder]+x}" ] || continue   # a file of the same folder, or a library's
    allowed=1
    if [ "$own" = hosts ]; then
      case "$folder" in
        ground | scene) ;;
        hosts)
          if ! room_allows "$room" "$target"; then
            echo "$file:$line: includes \"$target\", outside the rooms that $room may use" >&2
            status=1
          fi
          ;;
        *) [ "$target" = frame/frame_buffer.h ] || allowed=0 ;;
      esac
    elif ((rank[$folder] > rank[$own])); then
      allowed=0
    fi
    if ((!allowed)); then
      if [ "$own" = hosts ]; then
        echo "$file:$line: includes \"$target\": a host reaches the core only through the scene's Animation" >&2
      else
        echo "$file:$line: includes \"$target\", above the layer '$own'" >&2
      fi
      status=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
           sed -E 's/^([0-9]+):[^"]*"([^"]+)".*/\1:\2/')
done < <(git ls-files 'src/*.h' 'src/*.cpp')

if ((status == 0)); then echo "layers: every include goes down"; fi
exit $status

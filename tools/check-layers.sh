#!/usr/bin/env bash
# Fails when a source file includes a folder above its own layer.
#
# The layers, lowest first; a folder may include its own layer and those
# below it:
#   ground < counters < geometry < particles < frame < splat < composition < scene < hosts
# The hosts reach the core only through the ground, the scene (its Animation)
# and the back buffer that the Animation hands them (frame/frame_buffer.h).
# Tests, benchmarks and tools may include anything.
set -euo pipefail
cd "$(dirname "$0")/.."

layers=(ground counters geometry particles frame splat composition scene hosts)
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done

status=0
while IFS= read -r file; do
  own=${file#src/}
  own=${own%%/*}
  [ -n "${rank[$own]+x}" ] || { echo "$file: not in any layer" >&2; status=1; continue; }
  while IFS=: read -r line target; do
    folder=${target%%/*}
    [ -n "${rank[$folder]+x}" ] || continue   # a file of the same folder, or a library's
    allowed=1
    if [ "$own" = hosts ]; then
      case "$folder" in
        ground | scene | hosts) ;;
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

#!/usr/bin/env bash
# How much the fast test suite catches: applies a fixed list of small faults
# to the source one at a time, rebuilds, runs the GoogleTest cases through
# ctest (not the end-to-end X, Wine and daemon cases: too slow to run this
# often) and says for each fault whether a test failed (killed) or none did
# (survived). A fault whose original text is no longer in its file is "not
# applicable": the list wants re-pointing at the code as it is now.
#
#   tools/mutants.sh                  every mutant; the results also go to
#                                     build/mutants/mutants-results.txt
#   tools/mutants.sh --only m03,m17   just these
#   tools/mutants.sh --check          only whether each original text is found
#   tools/mutants.sh --first-failure  stop each run at its first failing test
#                                     (faster; the killer lists are then partial)
#   tools/mutants.sh --skip-baseline  do not first check that the unchanged suite passes
#
# Environment: QV_MUTANTS_BUILD (its folder, default build/mutants),
# QV_MUTANTS_JOBS (default 2), QV_MUTANTS_EXCLUDE (ctest regex of the cases
# left out, default the X server cases).
#
# The faults go into a copy of the tree (QV_MUTANTS_BUILD/tree: the files git
# tracks and the new ones it does not ignore), built in QV_MUTANTS_BUILD/build.
# The source itself is only read, so a run stopped at any point leaves it as
# it was; the next run brings the copy up to date first.
set -uo pipefail
cd "$(dirname "$0")/.."

BUILD=${QV_MUTANTS_BUILD:-build/mutants}
JOBS=${QV_MUTANTS_JOBS:-2}
EXCLUDE=${QV_MUTANTS_EXCLUDE:-'^sdl_xvfb_'}
TEST_TIMEOUT=300
TREE=$BUILD/tree
BIN=$BUILD/build
RESULTS=$BUILD/mutants-results.txt

IDS=() FILES=() ORIGINALS=() REPLACEMENTS=() NOTES=() EXTRAS=()
# mutant ID FILE ORIGINAL REPLACEMENT NOTE [EXTRA_CTEST_REGEX]
# ORIGINAL must occur exactly once in FILE. EXTRA_CTEST_REGEX names further
# (slow) cases to run when the fast suite does not kill the mutant.
mutant() {
  IDS+=("$1") FILES+=("$2") ORIGINALS+=("$3") REPLACEMENTS+=("$4") NOTES+=("$5") EXTRAS+=("${6:-}")
}

# --- ground ---------------------------------------------------------------
mutant m01 src/ground/clock.cpp \
  'sleepMilliseconds(static_cast<std::uint32_t>((remaining + 50) / 100))' \
  'sleepMilliseconds(static_cast<std::uint32_t>(remaining / 100))' \
  'frame pacing truncates the sleep instead of rounding to the nearest ms'
mutant m02 src/ground/input_state.cpp \
  'void InputState::recordKeyUp(int vk) { setFlags(keysReleased, vk); }' \
  'void InputState::recordKeyUp(int vk) { setFlags(keysPressed, vk); }' \
  'input record: a key release is recorded as a press'
mutant m03 src/ground/input_state.cpp \
  'mouseMoved.store(dx != 0 || dy != 0 ? 1 : 0);' \
  'mouseMoved.store(1);' \
  'input record: a move back onto the same spot counts as a move'
mutant m04 src/ground/memory_blocks.cpp \
  'std::memset(block, 0xFF, size);' \
  'std::memset(block, 0, size);' \
  'memory blocks: FILL_ONES fills zeros'

# --- counters -------------------------------------------------------------
mutant m05 src/counters/random_source.cpp \
  'return centre + static_cast<int>(r * 2 * spread / 32767 - spread + 0.5);' \
  'return centre + static_cast<int>(r * 2 * spread / 32767 - spread);' \
  'randIntAround: +0.5 before the truncation removed'
mutant m06 src/counters/counters.cpp \
  'const double t = static_cast<double>(period - countdown) / period;' \
  'const double t = static_cast<double>(period - countdown + 1) / period;' \
  'value counter: countdown off by one in the segment fraction'
mutant m07 src/counters/counter_registry.cpp \
  'for (int list = 0; list < COUNTER_LIST_COUNT; ++list) {' \
  'for (int list = COUNTER_LIST_COUNT - 1; list >= 0; --list) {' \
  'registry ticks the lists last to first'
mutant m08 src/counters/counter_registry.cpp \
  'if (list < 0 || list >= COUNTER_LIST_COUNT || counts_[list] >= COUNTER_LIST_CAPACITY) {' \
  'if (list < 0 || list >= COUNTER_LIST_COUNT) {' \
  'registry: the fatal check of a full list dropped'

# --- geometry -------------------------------------------------------------
mutant m09 src/geometry/transform.cpp \
  'if (t.turnSteps[0] != 0) turn(t.axisY, t.axisZ, t.turnSteps[0]);' \
  'if (t.turnSteps[0] != 0) turn(t.axisZ, t.axisY, t.turnSteps[0]);' \
  'transform: the turn about X runs the wrong way'
mutant m10 src/geometry/transform.cpp \
  $'  for (auto it = created_.rbegin(); it != created_.rend(); ++it) {\n    selectTransform(*it);\n    Transform& t = *current_;' \
  $'  for (auto it = created_.begin(); it != created_.end(); ++it) {\n    selectTransform(*it);\n    Transform& t = *current_;' \
  'transform update: placements refreshed oldest first (newest left current)'
mutant m11 src/geometry/vector_ops.cpp \
  $'  v.z = centre.z + offset(rng, sz);\n  v.y = centre.y + offset(rng, sy);\n  v.x = centre.x + offset(rng, sx);' \
  $'  v.x = centre.x + offset(rng, sx);\n  v.y = centre.y + offset(rng, sy);\n  v.z = centre.z + offset(rng, sz);' \
  'randVec3Around draws x, y, z instead of z, y, x'
mutant m12 src/geometry/vector_ops.cpp \
  '    if (moved > 255) moved = 255;' \
  '' \
  'jitterColour: the 255 clamp dropped'

# --- particles ------------------------------------------------------------
mutant m13 src/particles/emitter.cpp \
  $'  Vec3 direction = p.direction;\n  if (p.spread != 0) {' \
  $'  spawn.speed = context_.rng.randAround(p.speed, p.speedJitter);\n  Vec3 direction = p.direction;\n  if (p.spread != 0) {' \
  'emitter: the speed is drawn before the direction (and again after it)'
mutant m14 src/particles/particle_update.cpp \
  's.linkCountdown = s.linkInterval;' \
  's.linkCountdown = s.linkInterval + 1;' \
  'link pass: interval one update too long'
mutant m15 src/particles/particle_update.cpp \
  'p.velocity *= 1 - p.mobility * p.drag;' \
  'p.velocity *= 1 - p.drag;' \
  'motion pass: drag not scaled by mobility'
mutant m16 src/particles/draw_list.cpp \
  $'      while (a[i].depthKey > pivot && i < hi) ++i;\n      while (a[j].depthKey < pivot && j > lo) --j;' \
  $'      while (a[i].depthKey < pivot && i < hi) ++i;\n      while (a[j].depthKey > pivot && j > lo) --j;' \
  'draw list: depth order sorted near to far'
mutant m17 src/particles/draw_list.cpp \
  '  if (total == 0) reportRuntimeError(platform_, errors::NO_PARTICLES);' \
  '' \
  'draw list: the fatal "No Particles" check for an empty total dropped'
mutant m18 src/particles/periodic_table.cpp \
  'if (j == count) j = 0;' \
  'if (j == count) j = i;' \
  'periodic table: the last segment does not wrap to the first value'
mutant m19 src/particles/spring_links.cpp \
  'f = params.attraction / (1 + 9 * q * q);' \
  'f = params.attraction / (1 + 9 * q);' \
  'spring links: the far force falls with q instead of q squared'
mutant m20 src/particles/link_layout.cpp \
  'auto closedRows = [&] { rowEnd ? tie(p, p - W + 1) : tie(p, p + 1); };' \
  'auto closedRows = [&] { rowEnd ? tie(p, p - W) : tie(p, p + 1); };' \
  'link layout: a closed row ties its end one particle too far back'
mutant m21 src/particles/particle_system.cpp \
  '    if ((keep & KEEP_COLOUR) != 0) target.colour = saved.colour;' \
  '' \
  'copyParticleSettings: the colour keep bit ignored'

# --- frame ----------------------------------------------------------------
mutant m22 src/frame/pixel_ops.h \
  'rb = (rb | (carry - (carry >> 8))) & 0xFF00FFu;' \
  'rb = rb & 0xFF00FFu;' \
  'addSaturate: red and blue lose their 255 clamp'
mutant m23 src/frame/overlay.cpp \
  'f[c] = lerpChannels(f[c], o[c], alpha);' \
  'f[c] = lerpChannels(o[c], f[c], alpha);' \
  'overlay alpha blend: operands swapped'
mutant m24 src/frame/overlay.cpp \
  'overlay.left = frame.innerWidth - overlay.width - x;' \
  'overlay.left = frame.innerWidth - overlay.width - x - 1;' \
  'overlay placed from the right one pixel too far left'
mutant m25 src/frame/lookup_tables.cpp \
  'row[j] = static_cast<std::int32_t>(255.0 * j / i + 0.5) * 4;' \
  'row[j] = static_cast<std::int32_t>(255.0 * j / i) * 4;' \
  'rescale table: +0.5 before the truncation removed'
mutant m26 src/frame/lookup_tables.cpp \
  'const double r = s - (3 - b) * 0.25 - 0.4999;' \
  'const double r = s - (3 - b) * 0.25 - 0.5;' \
  'disc coverage: radius 0.0001 too small'
mutant m27 src/frame/frame_buffer.cpp \
  'bytes[i] = bytes[i] > s ? static_cast<unsigned char>(bytes[i] - s) : 0;' \
  'bytes[i] = bytes[i] > s ? static_cast<unsigned char>(bytes[i] - s + 1) : 0;' \
  'trail fade subtracts one step less'
mutant m28 src/frame/frame_buffer.cpp \
  '    if (2 * halfWidth < fullWidth) top[2 * halfWidth] = src[halfWidth - 1];' \
  '' \
  'half-resolution doubling leaves the odd last column alone'

# --- splat ----------------------------------------------------------------
mutant m29 src/splat/disc_kernels.cpp \
  'for (; j <= last; ++j) {' \
  'for (; j < last; ++j) {' \
  'disc kernel: a row ends one distance early'
mutant m30 src/splat/sprite_kernels.cpp \
  'if (e >= 0) return true;' \
  'if (e > 0) return true;' \
  'ball depth test: an equal depth draws'
mutant m31 src/splat/brush_picture.cpp \
  'if (width == 255 && pictures.pictureHeight() >= width) {' \
  'if (width == 255) {' \
  'picture brush: the size check lets a short 255-wide picture through'

# --- composition ----------------------------------------------------------
mutant m32 src/composition/frame_composition.cpp \
  'const auto alpha = static_cast<std::int32_t>((brush->colour >> 24) * entryOpacity / 255);' \
  'const auto alpha = static_cast<std::int32_t>((brush->colour >> 24) * entryOpacity / 256);' \
  'composition: opacity product divided by 256'
mutant m33 src/composition/frame_composition.cpp \
  '    if (sorted && entry.position.z < splat_.nearLimit()) break;' \
  '' \
  'composition: a near entry no longer ends a depth-sorted frame'

# --- scene ----------------------------------------------------------------
mutant m34 src/scene/scene_constants.h \
  'inline constexpr int TARGET_FRAMES_PER_SECOND = 25;' \
  'inline constexpr int TARGET_FRAMES_PER_SECOND = 24;' \
  'frame pacing: 41 ms frames instead of 40 ms'
mutant m35 src/scene/frame_step.cpp \
  'if (startupFrames < STARTUP_FRAMES) {' \
  'if (startupFrames <= STARTUP_FRAMES) {' \
  'slow-machine switch looks at 251 frames'
mutant m36 src/scene/frame_step.cpp \
  'if (in.keysReleased[KEY_ENTER] != 0) {' \
  'if (in.keysPressed[KEY_ENTER] != 0) {' \
  'Enter swaps the colours on its press instead of its release'

# --- hosts and tools ------------------------------------------------------
mutant m37 src/hosts/headless/render_options.h \
  'c.scene.seed = 1;' \
  'c.scene.seed = 2;' \
  'renderer: default seed 2 instead of 1'
mutant m38 src/hosts/headless/headless_platform.cpp \
  'if (t.running && ticks_ - t.startTicks >= t.intervalTicks) t.fired = true;' \
  'if (t.running && ticks_ - t.startTicks > t.intervalTicks) t.fired = true;' \
  'headless timer fires one tick late'
mutant m39 src/hosts/portable/resource_table.cpp \
  "char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }" \
  'char upper(char c) { return c; }' \
  'resource lookup: names compared with regard to case'
mutant m40 src/hosts/portable/picture_codec.cpp \
  'return std::uint64_t{readLittle32(b, 10)} + stride * rows <= b.size();' \
  'return true;' \
  'picture decoder: a cut-short bitmap is no longer refused'
mutant m41 src/hosts/portable/icon_decoder.cpp \
  '>> (7 - col % 8) & 1) != 0;' \
  '>> (col % 8) & 1) != 0;' \
  'icon decoder: mask bits read from the wrong end of the byte'
mutant m42 tools/resource_generator/bmp_writer.cpp \
  'const int shift = 8 - bitsPerPixel * (x % perByte + 1);' \
  'const int shift = bitsPerPixel * (x % perByte);' \
  'resource generator: the leftmost pixel in the low bits of its byte'

# --------------------------------------------------------------------------

usage() { sed -n '2,/^set -uo/{/^#/p}' "$0" | sed 's/^# \{0,1\}//'; }

CHECK_ONLY=0
FIRST_FAILURE=0
SKIP_BASELINE=0
ONLY=""
while [ $# -gt 0 ]; do
  case $1 in
    --check) CHECK_ONLY=1 ;;
    --first-failure) FIRST_FAILURE=1 ;;
    --skip-baseline) SKIP_BASELINE=1 ;;
    --only) ONLY=,${2:?--only needs a list of ids},; shift ;;
    --only=*) ONLY=,${1#--only=}, ;;
    -h|--help) usage; exit 0 ;;
    *) echo "mutants.sh: unknown argument '$1'" >&2; exit 2 ;;
  esac
  shift
done

# The whole file, trailing newlines included.
read_file() { IFS= read -r -d '' "$1" < "$2" || true; }

occurrences() {
  local rest=$1 needle=$2 n=0
  while [[ $rest == *"$needle"* ]]; do
    rest=${rest#*"$needle"}
    n=$((n + 1))
  done
  echo "$n"
}

# Builds and test runs go in a process group of their own, so that an
# interruption can stop them at once before the source is put back.
CHILD=""
run_child() {
  set -m
  "$@" &
  CHILD=$!
  set +m
  wait "$CHILD"
  local rc=$?
  CHILD=""
  return $rc
}
stop_child() {
  [ -n "$CHILD" ] && kill -TERM -- "-$CHILD" 2>/dev/null
  CHILD=""
}
trap 'stop_child; exit 130' INT
trap 'stop_child; exit 143' TERM HUP

# Brings the copy up to date: a file that differs is written anew (a new
# time, so the build sees it), the others keep their times (the build stays
# incremental), and files the source no longer has go.
sync_tree() {
  local file
  declare -A listed=()
  while IFS= read -r -d '' file; do
    [ -f "$file" ] || continue  # deleted, not yet staged
    listed[$file]=1
    cmp -s -- "$file" "$TREE/$file" && continue
    mkdir -p -- "$TREE/$(dirname -- "$file")"
    cat -- "$file" > "$TREE/$file" && chmod --reference="$file" -- "$TREE/$file" || exit 2
  done < <(git ls-files -z --cached --others --exclude-standard)
  while IFS= read -r -d '' file; do
    [ -n "${listed[${file#"$TREE"/}]+x}" ] || rm -f -- "$file"
  done < <(find "$TREE" -type f -print0)
}
# Puts the copy of a mutated file back as the source has it.
restore() { cat -- "$1" > "$TREE/$1"; }

# Applies mutant i; 0 when applied, 1 when not applicable (reason in REASON).
REASON=""
apply_mutant() {
  local i=$1 file=${FILES[$1]} content n
  if [ ! -f "$file" ]; then
    REASON="no file $file"
    return 1
  fi
  read_file content "$file"
  n=$(occurrences "$content" "${ORIGINALS[$i]}")
  if [ "$n" -ne 1 ]; then
    [ "$n" -eq 0 ] && REASON="original text not found" || REASON="original text found $n times"
    return 1
  fi
  [ "$CHECK_ONLY" -eq 1 ] && return 0
  printf '%s%s%s' "${content%%"${ORIGINALS[$i]}"*}" "${REPLACEMENTS[$i]}" "${content#*"${ORIGINALS[$i]}"}" > "$TREE/$file"
}

selected() { [ -z "$ONLY" ] || [[ $ONLY == *",${IDS[$1]},"* ]]; }

if [ "$CHECK_ONLY" -eq 1 ]; then
  bad=0
  for i in "${!IDS[@]}"; do
    selected "$i" || continue
    if apply_mutant "$i"; then
      printf '%s ok              %s\n' "${IDS[$i]}" "${FILES[$i]}"
    else
      printf '%s not applicable  %s: %s\n' "${IDS[$i]}" "${FILES[$i]}" "$REASON"
      bad=1
    fi
  done
  exit $bad
fi

build() {
  run_child cmake --build "$BIN" -j "$JOBS" > "$1" 2>&1
}

# Runs the fast suite (or the cases of regex $2); leaves the failing case
# names in FAILED. 0 when everything passed.
FAILED=()
run_tests() {
  local log=$1 select=${2:-} args=(--test-dir "$BIN" -j "$JOBS" --timeout "$TEST_TIMEOUT")
  if [ -n "$select" ]; then args+=(-R "$select"); else args+=(-E "$EXCLUDE"); fi
  [ "$FIRST_FAILURE" -eq 1 ] && args+=(--stop-on-failure)
  run_child ctest "${args[@]}" > "$log" 2>&1
  local rc=$?
  mapfile -t FAILED < <(sed -n '/The following tests FAILED:/,$ s/^[[:space:]]*[0-9]* - \(.*\) (\([^)]*\))$/\1 (\2)/p' "$log" |
                          sed -e "s/  # GetParam() = [^(]*(/ (/" -e "s/ (Failed)$//")
  [ $rc -eq 0 ] && [ ${#FAILED[@]} -eq 0 ]
}

mkdir -p "$BUILD/mutant-logs"
echo "copying the tree to $TREE and configuring $BIN (Debug, tests on, -Werror off)"
sync_tree
cmake -S "$TREE" -B "$BIN" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_WERROR=OFF -DQV_BUILD_TESTS=ON \
  -DQV_BUILD_BENCH=OFF > "$BUILD/mutant-logs/configure.log" 2>&1 || {
  echo "mutants.sh: configure failed, see $BUILD/mutant-logs/configure.log" >&2
  exit 2
}
[ "$SKIP_BASELINE" -eq 0 ] && echo "baseline: building and running the unchanged suite"
if [ "$SKIP_BASELINE" -eq 0 ] && ! build "$BUILD/mutant-logs/baseline.build.log"; then
  echo "mutants.sh: the unchanged tree does not build, see $BUILD/mutant-logs/baseline.build.log" >&2
  exit 2
fi
if [ "$SKIP_BASELINE" -eq 0 ] && ! run_tests "$BUILD/mutant-logs/baseline.test.log"; then
  echo "mutants.sh: the unchanged suite fails; nothing can be judged:" >&2
  printf '  %s\n' "${FAILED[@]}" >&2
  exit 2
fi

killed=0 survived=0 inapplicable=0 total=0
: > "$RESULTS"
report() {
  printf '%s\n' "$1" | tee -a "$RESULTS"
}
for i in "${!IDS[@]}"; do
  selected "$i" || continue
  total=$((total + 1))
  id=${IDS[$i]}
  if ! apply_mutant "$i"; then
    inapplicable=$((inapplicable + 1))
    report "$(printf '%s not applicable  %-42s %s (%s)' "$id" "${FILES[$i]}" "${NOTES[$i]}" "$REASON")"
    continue
  fi
  verdict=""
  if ! build "$BUILD/mutant-logs/$id.build.log"; then
    verdict="killed          "
    FAILED=("(the build failed)")
  elif ! run_tests "$BUILD/mutant-logs/$id.test.log"; then
    verdict="killed          "
  elif [ -n "${EXTRAS[$i]}" ] && ! run_tests "$BUILD/mutant-logs/$id.extra.log" "${EXTRAS[$i]}"; then
    verdict="killed          "
  else
    verdict="survived        "
  fi
  restore "${FILES[$i]}"
  if [[ $verdict == killed* ]]; then killed=$((killed + 1)); else survived=$((survived + 1)); fi
  report "$(printf '%s %s%-42s %s' "$id" "$verdict" "${FILES[$i]}" "${NOTES[$i]}")"
  [[ $verdict == killed* ]] && report "$(printf '      by %d: %s' "${#FAILED[@]}" "$(IFS=,; echo "${FAILED[*]}" | sed 's/,/, /g')")"
done
# Leave the build matching the restored tree.
build "$BUILD/mutant-logs/final.build.log" || true
report "mutants: $killed killed, $survived survived, $inapplicable not applicable of $total"

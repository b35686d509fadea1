#!/usr/bin/env bash
# The renderer as a process: full devices, memory limits and a real encoder
# at the other end of its video.
#   render_process_cases.sh CASE RENDERER [SANITIZED]
# SANITIZED is ON when the renderer was built with the sanitizers, whose
# shadow memory no address-space limit leaves room for. Exit 77: skipped.
set -uo pipefail

case_name=$1 renderer=$2 sanitized=${3:-OFF}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

fail() { echo "FAIL ($case_name): $*" >&2; exit 1; }

# Runs the renderer with the given shell redirections and limits (one string,
# evaluated) and the arguments after it; the exit code lands in $code, the
# standard error in $work/err.
render() {
  (eval "$1"; shift; exec "$renderer" --out "$work/frames" "$@") 2>"$work/err"
  code=$?
}

# The run's exit code is $1 and its standard error is one line matching $2.
expect() {
  [ "$code" = "$1" ] || fail "exit $code, not $1: $(cat "$work/err")"
  [ "$(grep -vc '^quorvalent-render: raw video' "$work/err")" = 1 ] || fail "not one line: $(cat "$work/err")"
  grep -Eq -- "$2" "$work/err" || fail "no line matching '$2': $(cat "$work/err")"
}

# The encoder command the renderer prints for these arguments, to run here.
printed_ffmpeg() {
  "$renderer" --out "$work/frames" --frames 1 "$@" >/dev/null 2>"$work/line" || fail "no run: $(cat "$work/line")"
  sed -n 's/^quorvalent-render: raw video.*; encode with: ffmpeg /ffmpeg -nostdin -y -loglevel error /p' "$work/line"
}

# "width,height,pix_fmt,frames" of the first video stream of a file.
probe() {
  ffprobe -v error -count_frames -select_streams v:0 \
    -show_entries stream=pix_fmt,width,height,nb_read_frames -of csv=p=0 "$1"
}

case $case_name in
full-output)
  # Every write to a full device or past a file size limit is reported, small
  # outputs included (they fail only at the flush or the close).
  while IFS='|' read -r setup args pattern; do
    rm -rf "$work/frames"
    # shellcheck disable=SC2086
    render "$setup" $args
    expect 1 "$pattern"
    # A picture that failed is not left truncated, nor its temporary file.
    failed=$(sed -n "s/.*cannot write '\\(.*\\)': File too large$/\\1/p; s/.*contact sheet '\\(.*\\)': File too large$/\\1/p" "$work/err")
    [ -z "$failed" ] || [ ! -e "$failed" ] || fail "a truncated $failed is left"
    leftover=$(find "$work" -name '.*' -type f)
    [ -z "$leftover" ] || fail "temporary files left: $leftover"
  done <<'TABLE'
exec >/dev/full|--size 16x16 --frames 5 --video -|cannot write the video to standard output: No space left on device$
exec >/dev/full|--size 16x16 --frames 5 --bench|cannot write the bench line to standard output: No space left on device$
exec >/dev/full|--help|cannot write the help text to standard output: No space left on device$
exec >/dev/null|--size 16x16 --frames 5 --video /dev/full|cannot write the video '/dev/full': No space left on device$
ulimit -f 4|--size 640x480 --frames 2|cannot write '.*/frame-000001.png': File too large$
ulimit -f 4|--size 32x32 --frames 10 --format ppm --contact-sheet big.png|cannot write the contact sheet 'big.png': File too large$
mkdir -p sheet.png|--size 16x16 --frames 1 --contact-sheet sheet.png|cannot write the contact sheet 'sheet.png': Is a directory$
TABLE
  ;;
memory-limit)
  [ "$sanitized" = ON ] && { echo "SKIP: sanitizer shadow memory needs the whole address space"; exit 77; }
  # The contact sheet keeps thumbnails, not frames (30 frames of 16x16384 once
  # took 2.8 GB); a window picture the memory cannot hold ends with the
  # program's out-of-memory error (512 MB of frame buffers fit in 640 MB, the
  # 192 MB window then does not).
  render "ulimit -v 1000000" --size 16x16384 --frames 30 --contact-sheet sheet.png
  [ "$code" = 0 ] || fail "contact sheet under 1 GB: exit $code: $(cat "$work/err")"
  render "ulimit -v 655360" --size 8192x8192 --frames 1
  expect 3 "^Process Runtime Error: memory allocation return is NULL, may be size allocation = 0$"
  ;;
ffmpeg)
  command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null || { echo "SKIP: ffmpeg is not installed"; exit 77; }
  # The printed command, run as printed, makes a yuv420p file of every frame,
  # from a file and from a pipe; an odd size is padded to an even one.
  while read -r size video expected; do
    command=$(printed_ffmpeg --size "$size" --video "$video")
    [ -n "$command" ] || fail "no ffmpeg line for $size"
    rm -f out.mp4
    if [ "$video" = - ]; then
      "$renderer" --out "$work/frames" --size "$size" --frames 10 --video - 2>/dev/null | eval "$command" ||
        fail "ffmpeg failed on a pipe of $size: $command"
    else
      "$renderer" --out "$work/frames" --size "$size" --frames 10 --video "$video" 2>/dev/null || fail "no video"
      eval "$command" || fail "ffmpeg failed on $size: $command"
    fi
    [ "$(probe out.mp4)" = "$expected" ] || fail "$size from $video: $(probe out.mp4), not $expected"
  done <<'TABLE'
64x48 v.rgb 64,48,yuv420p,10
17x17 - 18,18,yuv420p,10
TABLE
  # An encoder told to take 10 frames closes the pipe; the renderer ends.
  rm -f out.mp4
  "$renderer" --out "$work/frames" --size 64x48 --frames 100000 --video - 2>"$work/err" |
    ffmpeg -nostdin -loglevel error -f rawvideo -pix_fmt rgb24 -s 64x48 -r 25 -i - -frames:v 10 \
      -pix_fmt yuv420p out.mp4
  code=${PIPESTATUS[0]}
  expect 1 "^quorvalent-render: the video reader closed the pipe after [0-9]+ frames$"
  [ "$(probe out.mp4)" = "64,48,yuv420p,10" ] || fail "the file holds $(probe out.mp4)"
  ;;
*)
  fail "no such case"
  ;;
esac

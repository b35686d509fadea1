#!/usr/bin/env bash
# Renders the pictures the README shows, with the offline renderer and one
# fixed seed, into docs/media/:
#   quorvalent.png  the animation at 1280x720, frame 750 (30 s in: the cloud is full)
#   brushes.png     the five brushes side by side at the same frame, captioned
#   clip.gif        frames 651-750 at 640x360: 4 s at 25 frames a second
# The same commit gives the same files: the renderer's PNGs are exact, and
# ImageMagick and ffmpeg are told to leave out dates and version strings.
#
# With --check nothing is written: the PNGs are rendered again into a scratch
# folder and must equal the committed ones byte for byte; the clip, whose
# bytes depend on ffmpeg's version, must decode as a 640x360 GIF of 100 frames
# under 2 MB whose first and last frames are the renderer's frames 651 and 750.
#
# Usage: tools/readme-media.sh [--check] [BUILD_DIR]
#   BUILD_DIR holds src/hosts/headless/quorvalent-render (default: build/release,
#   else build/debug; every build type renders the same frames).
set -euo pipefail
cd "$(dirname "$0")/.."

seed=2
frame=750             # the still's and the gallery's frame, the clip's last
clip_frames=100
brushes=(disc ball spot point picture)
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf   # fonts-dejavu-core
max_clip_bytes=$((2 * 1024 * 1024))
min_clip_psnr=30      # dB; the palette costs a little, another frame costs much more

check=0
if [[ ${1:-} == --check ]]; then check=1; shift; fi
build=${1:-}
if [[ -z $build ]]; then
  for build in build/release build/debug; do
    [[ -x $build/src/hosts/headless/quorvalent-render ]] && break
  done
fi
renderer=$build/src/hosts/headless/quorvalent-render
if [[ ! -x $renderer ]]; then
  echo "readme-media: no renderer at $renderer; build it with" \
    "cmake --preset release && cmake --build --preset release" >&2
  exit 1
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
media=docs/media
out=$media
((check)) && out=$scratch/media
mkdir -p "$out"

# render NAME OPTION... : the renderer's frames into $scratch/NAME; its
# messages are shown only when it fails.
render() {
  local name=$1
  shift
  "$renderer" --seed "$seed" --out "$scratch/$name" "$@" 2>"$scratch/$name.log" ||
    { cat "$scratch/$name.log" >&2; return 1; }
}

render still --size 1280x720 --frames "$frame" --every "$frame"
cp "$scratch/still/frame-$(printf %06d "$frame").png" "$out/quorvalent.png"

labelled=()
for brush in "${brushes[@]}"; do
  render "$brush" --size 256x256 --frames "$frame" --every "$frame" --no-overlays --brush "$brush"
  labelled+=(-label "$brush" "$scratch/$brush/frame-$(printf %06d "$frame").png")
done
montage -font "$font" -pointsize 16 -fill '#b0b0b0' -background black "${labelled[@]}" \
  -tile "${#brushes[@]}x1" -geometry +2+0 -depth 8 -strip \
  -define png:exclude-chunks=date,time "$out/brushes.png"

first=$((frame - clip_frames + 1))
if ((check)); then
  # The clip's first and last frames as the renderer draws them.
  render ends --size 640x360 --frames "$frame" --every "$first"
else
  render clip --size 640x360 --frames "$frame" --every "$frame" --video - |
    ffmpeg -v error -f rawvideo -pix_fmt rgb24 -s 640x360 -r 25 -i - \
      -vf "trim=start_frame=$((first - 1)),setpts=PTS-STARTPTS,split[a][b];[a]palettegen=max_colors=128[p];[b][p]paletteuse=dither=none" \
      -map_metadata -1 -fflags +bitexact -flags:v +bitexact -loop 0 -y "$out/clip.gif"
fi

if ((!check)); then
  ls -l "$media"
  exit 0
fi

status=0
for picture in quorvalent.png brushes.png; do
  cmp -s "$out/$picture" "$media/$picture" ||
    { echo "readme-media: $media/$picture is not what seed $seed renders now; run tools/readme-media.sh" >&2; status=1; }
done
clip=$media/clip.gif
stream=$(ffprobe -v error -count_frames -select_streams v:0 \
  -show_entries stream=codec_name,width,height,nb_read_frames -of csv=p=0 "$clip")
[[ $stream == "gif,640,360,$clip_frames" ]] ||
  { echo "readme-media: $clip is '$stream', not a 640x360 GIF of $clip_frames frames" >&2; status=1; }
(($(stat -c %s "$clip") < max_clip_bytes)) ||
  { echo "readme-media: $clip is 2 MB or more" >&2; status=1; }
ffmpeg -v error -i "$clip" -vf "select=eq(n\,0)+eq(n\,$((clip_frames - 1)))" -fps_mode passthrough "$scratch/clip-%d.png"
# clip_shows N F: the clip's N-th decoded frame (1 or 2) is close to rendered frame F.
clip_shows() {
  local psnr
  psnr=$(compare -metric PSNR "$scratch/clip-$1.png" "$scratch/ends/frame-$(printf %06d "$2").png" null: 2>&1 || true)
  awk -v p="$psnr" -v min="$min_clip_psnr" 'BEGIN { exit !(p == "inf" || p + 0 >= min) }' ||
    { echo "readme-media: $clip does not show the renderer's frame $2 (PSNR $psnr dB)" >&2; return 1; }
}
clip_shows 1 "$first" || status=1
clip_shows 2 "$frame" || status=1
((status == 0)) && echo "readme-media: $media is what seed $seed renders"
exit $status

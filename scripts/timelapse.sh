#!/usr/bin/env bash
# Makes a movie of a world growing: draws every snapshot world-*.view of DIR, in name order,
# with `tovra --render` (no display needed) and encodes the pictures with ffmpeg (H.264, MP4).
# Usage: scripts/timelapse.sh DIR OUT.mp4 [--fps N] [--size WxH] [--orbit]
#   --fps N      frames per second of the movie (default 10); one snapshot is one frame
#   --size WxH   picture size in pixels (default 800x600)
#   --orbit      the eye turns slowly around the field, one full turn every 24 seconds of movie
# The viewer used is build/bin/tovra beside this script, or the one named by $TOVRA.
set -euo pipefail

usage() {
  echo "Usage: scripts/timelapse.sh DIR OUT.mp4 [--fps N] [--size WxH] [--orbit]" >&2
  exit 2
}
fail() {
  echo "timelapse: $*" >&2
  exit 1
}

positional=()
fps=10
size=800x600
orbit=0
while [ $# -gt 0 ]; do
  case "$1" in
    --fps) [ $# -ge 2 ] || usage; fps="$2"; shift 2 ;;
    --size) [ $# -ge 2 ] || usage; size="$2"; shift 2 ;;
    --orbit) orbit=1; shift ;;
    -h|--help) sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "timelapse: unknown option $1" >&2; usage ;;
    *) positional+=("$1"); shift ;;
  esac
done
[ ${#positional[@]} -eq 2 ] || usage
dir="${positional[0]}"
movie="${positional[1]}"
[[ "$fps" =~ ^[1-9][0-9]*$ ]] || { echo "timelapse: --fps must be a whole number above 0, not $fps" >&2; usage; }
[[ "$size" =~ ^([1-9][0-9]*)x([1-9][0-9]*)$ ]] || { echo "timelapse: --size must be WIDTHxHEIGHT, not $size" >&2; usage; }
width="${BASH_REMATCH[1]}"
height="${BASH_REMATCH[2]}"
# H.264 in the common yuv420p form needs even sides.
if [ $((width % 2)) -ne 0 ] || [ $((height % 2)) -ne 0 ]; then
  echo "timelapse: --size needs even sides for the movie, not $size" >&2
  usage
fi

tovra="${TOVRA:-$(cd "$(dirname "$0")/.." && pwd)/build/bin/tovra}"
[ -x "$tovra" ] || fail "the viewer $tovra is not built (run scripts/setup.sh)"
command -v ffmpeg >/dev/null || fail "ffmpeg is not installed (run scripts/setup.sh)"
[ -d "$dir" ] || fail "$dir: no such folder"

snapshots=()
while IFS= read -r -d '' file; do snapshots+=("$file"); done < <(
  find "$dir" -maxdepth 1 -type f -name 'world-*.view' -print0 | LC_ALL=C sort -z)
count=${#snapshots[@]}
[ "$count" -gt 0 ] || fail "no snapshots world-*.view in $dir"

frames="$(mktemp -d "${TMPDIR:-/tmp}/timelapse.XXXXXX")"
trap 'rm -rf "$frames"' EXIT

# The eye starts where the window's does (distance 10, azimuth 70, 60 degrees from the vertical).
step=0
[ "$orbit" -eq 1 ] && step="$(awk -v fps="$fps" 'BEGIN { printf "%.6f", 360 / (24 * fps) }')"
progress=0
[ -t 2 ] && progress=1
for ((i = 0; i < count; i++)); do
  phi="$(awk -v i="$i" -v step="$step" 'BEGIN { printf "%.6f", 70 + i * step }')"
  name="$(printf 'frame-%06d.png' "$((i + 1))")"
  if ! "$tovra" --render "$frames/$name" --size "$size" --camera "10,$phi,60" "${snapshots[$i]}"; then
    [ "$progress" -eq 1 ] && echo >&2
    fail "could not draw ${snapshots[$i]}"
  fi
  [ "$progress" -eq 1 ] && printf '\rtimelapse: drawn %d of %d (%s)' "$((i + 1))" "$count" "$(basename "${snapshots[$i]}")" >&2
done
[ "$progress" -eq 1 ] && echo >&2

# Written beside the movie first, so a failed encoding leaves no half movie under its name.
partial="$movie.partial.mp4"
if ! ffmpeg -nostdin -loglevel error -y -framerate "$fps" -i "$frames/frame-%06d.png" \
  -c:v libx264 -pix_fmt yuv420p -movflags +faststart "$partial"; then
  rm -f "$partial"
  fail "ffmpeg could not encode $movie"
fi
mv -f "$partial" "$movie"
echo "timelapse: $movie: $count frames at $fps frames per second, ${width}x${height}"

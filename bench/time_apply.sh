#!/bin/sh
# tarve apply end to end on a 12-megapixel picture, as a PNG and as a JPEG: reading the
# file, the render and writing the result, each run a whole process. Prints the median wall
# and processor times of several runs, the largest peak memory (maximum resident set size)
# next to the size of the decoded image, and the size of the file written, at one thread and
# at the default (one per processor).
#
#   bench/time_apply.sh [BUILD-FOLDER] [RUNS]        (defaults: build, 5)
#
# Installs the Debian packages time and imagemagick when they are missing; builds tarve, the
# module and the scene generator in BUILD-FOLDER; draws a 4000 x 3000 8-bit RGB scene.
# Wall times on a shared machine are only as good as its load, which is printed with them.
set -eu

build=${1:-build}
runs=${2:-5}
width=4000
height=3000

need=""
[ -x /usr/bin/time ] || need="$need time"
command -v convert >/dev/null 2>&1 || need="$need imagemagick"
if [ -n "$need" ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q >/dev/null
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $need >/dev/null
fi

cmake -S "$(dirname "$0")/.." -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target tarve tarve_module sample_scene >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/sample_scene" "$work/in.png" $width $height
convert "$work/in.png" -quality 90 "$work/in.jpg"

# Prints "WALL-SECONDS KILOBYTES CPU-SECONDS" of one run of the command.
measure() {
  /usr/bin/time -f "%e %M %U %S" -o "$work/time" "$@" >/dev/null 2>&1
  awk '{ print $1, $2, $3 + $4 }' "$work/time"
}

# The median of column $2 of the file $1.
median() {
  cut -d' ' -f"$2" "$1" | sort -n | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

decoded=$((width * height * 3 / 1024))
echo "image: $width x $height 8-bit RGB, $((decoded / 1024)) MB decoded; load: $(cut -d' ' -f1-3 /proc/loadavg)"
for input in in.png in.jpg; do
  for threads in 1 default; do
    option=""
    [ "$threads" = default ] || option="--threads $threads"
    output="$work/out.${input#in.}"
    : >"$work/runs"
    i=0
    while [ $i -lt "$runs" ]; do
      # shellcheck disable=SC2086
      measure "$build/tarve" apply "$work/$input" -o "$output" --quiet $option >>"$work/runs"
      i=$((i + 1))
    done
    peak=$(cut -d' ' -f2 "$work/runs" | sort -n | tail -1)
    echo "$input, threads $threads: $(median "$work/runs" 1) s wall, $(median "$work/runs" 3) s processor" \
      "(medians of $runs runs), peak $((peak / 1024)) MB = $(awk -v p="$peak" -v d="$decoded" 'BEGIN { printf "%.2f", p / d }') x the image," \
      "output $(($(stat -c %s "$output") / 1024)) KB"
  done
done
echo "load afterwards: $(cut -d' ' -f1-3 /proc/loadavg)"

#!/bin/sh
# tarve apply against G'MIC's water reflection filter on the same picture, each as a whole
# process: the median wall time of several runs and the peak memory (maximum resident set
# size), next to the size of the image itself.
#
#   bench/compare_gmic.sh [BUILD-FOLDER] [RUNS]        (defaults: build, 5)
#
# Installs the Debian packages gmic and time when they are missing; builds tarve, the
# module and the scene generator in BUILD-FOLDER; draws a 4000 x 3000 8-bit RGB PNG.
set -eu

build=${1:-build}
runs=${2:-5}
width=4000
height=3000

need=""
command -v gmic >/dev/null 2>&1 || need="$need gmic"
[ -x /usr/bin/time ] || need="$need time"
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

# Prints "WALL-SECONDS KILOBYTES CPU-SECONDS" of one run of the command. On a busy machine
# the processor time (user + system) is the steadier figure.
measure() {
  /usr/bin/time -f "%e %M %U %S" -o "$work/time" "$@" >/dev/null 2>&1
  awk '{ print $1, $2, $3 + $4 }' "$work/time"
}

# The median of column $2 of the file $1.
median() {
  cut -d' ' -f"$2" "$1" | sort -n | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Runs the command $2.. $runs times; prints the medians of the wall and processor times and
# the largest peak memory, after the label $1.
report() {
  label=$1
  shift
  : >"$work/runs"
  i=0
  while [ $i -lt "$runs" ]; do
    measure "$@" >>"$work/runs"
    i=$((i + 1))
  done
  peak=$(cut -d' ' -f2 "$work/runs" | sort -n | tail -1)
  echo "$label: $(median "$work/runs" 1) s wall, $(median "$work/runs" 3) s processor (medians of $runs runs)," \
    "peak $((peak / 1024)) MB"
}

echo "image: $width x $height 8-bit RGB PNG, $((width * height * 3 / 1024 / 1024)) MB of pixels"
report "tarve apply" "$build/tarve" apply "$work/in.png" -o "$work/tarve.png" --quiet
report "gmic fx_reflect" gmic "$work/in.png" fx_reflect 50,1,110,160,190,64,30,1.5,0,-3.3,7,1.5,0,0 -o "$work/gmic.png"

#!/bin/sh
# Under a virtual display (xvfb-run): tarve apply --dialog shows the real dialog; the Height
# slider is dragged and OK pressed through the display server, and the picture written must
# be the one that the same setting gives without the dialog.
# Usage: dialog_on_desktop.sh TARVE_PROGRAM IMAGE
set -eu
tarve=$1
image=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work/"
unset TARVE_UI TARVE_HEADLESS_EVENTS TARVE_HEADLESS_LOG

"$tarve" apply "$image" -o "$work/dialog.png" --dialog --quiet 2> "$work/errors" &
run=$!
if ! window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tarve$' | head -n 1) || [ -z "$window" ]; then
  echo "the dialog did not appear"; cat "$work/errors"; kill "$run" 2> /dev/null; exit 1
fi
# The Height slider spans x 120..255 at y 259..271 in the client area. The value under the
# pointer at x is (x - 4 - 121) x 100 / 121: 61 at x = 200.
xdotool mousemove --window "$window" 150 265 mousedown 1
sleep 0.3
xdotool mousemove --window "$window" 180 265
sleep 0.3
xdotool mousemove --window "$window" 200 265
sleep 0.3
xdotool mouseup 1
sleep 0.5
# OK: 803, 497, 62 x 27.
xdotool mousemove --window "$window" 834 510 click 1
status=0
wait "$run" || status=$?
if [ "$status" -ne 0 ]; then
  echo "tarve apply --dialog ended with status $status"; cat "$work/errors"; exit 1
fi

"$tarve" apply "$image" -o "$work/given.png" --quiet --set "ripple height=61"
if ! cmp -s "$work/dialog.png" "$work/given.png"; then
  echo "the dialog's picture differs from ripple height=61 given on the command line"; exit 1
fi
# What OK accepted is now the last-used settings.
"$tarve" apply "$image" -o "$work/last.png" --quiet --last
cmp "$work/last.png" "$work/given.png"
echo "1 passed, 0 failed"

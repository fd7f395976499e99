#!/bin/sh
# The Windows build proven under Wine against the Linux build:
#   tests/windows/wine_checks.sh LINUX-BUILD WINDOWS-BUILD
# The files' exports, imports and resources (windows_files_tests); tarve.exe renders
# exactly the pixels of the Linux program; presets made on either side read the same on
# the other; the same failures give the same one-line errors and exit codes; the window
# layer's Win32 backend takes real window messages (win32_ui_check: run this under a display,
# as CI does with xvfb-run). Wine runs in a fresh prefix of its own, removed at the end.
set -eu
linux=$(cd "$1" && pwd)
windows=$(cd "$2" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tarve-wine-XXXXXX")
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
  echo "wine checks: $*" >&2
  failures=$((failures + 1))
}

TARVE_WINDOWS_BUILD="$windows" "$linux/tests/windows_files_tests" --gtest_brief=1

# One prefix, made once; its server stays up between the runs below.
mkdir "$WINEPREFIX"
wineserver -p 120
wineboot -i >/dev/null 2>&1
cd "$work"
win() { wine "$windows/tarve.exe" "$@"; }
lin() { "$linux/tarve" "$@"; }
convert "$linux/sample-scene.png" -resize 40% -quality 92 scene.jpg
convert "$linux/sample-scene.png" -resize 30% -colorspace Gray -quality 85 grey.jpg

# The same pixels: JPEG output compared decoded, PSD documents byte for byte (8, 16 and
# 32-bit samples, so that the float arithmetic of both builds is held together).
same_pixels() {
  differing=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
  [ "$differing" = 0 ] || fail "$1 and $2: $differing pixels differ"
}
same_jpeg() {
  name=$1
  shift
  win apply "$@" -o "w-$name.jpg" && lin apply "$@" -o "l-$name.jpg" || { fail "apply $name did not run"; return; }
  same_pixels "w-$name.jpg" "l-$name.jpg"
}
same_jpeg plain scene.jpg
# Names beyond ASCII reach the files as typed (UTF-8 throughout).
cp scene.jpg "järvi ö.jpg"
win apply "järvi ö.jpg" -o "w-järvi ö.jpg" || fail "a name beyond ASCII was not read or written"
same_pixels "w-järvi ö.jpg" l-plain.jpg
same_jpeg grey grey.jpg --glue screen --seed 11
same_jpeg rings scene.jpg --set "ripple size=40" --centre 0.5,0.8 --colour 1E3A5F --set blur=60
for depth in 8 16 32; do
  win apply scene.jpg -o "w-$depth.psd" --depth "$depth" --glue superlay --seed 7 &&
    lin apply scene.jpg -o "l-$depth.psd" --depth "$depth" --glue superlay --seed 7 &&
    cmp -s "w-$depth.psd" "l-$depth.psd" || fail "the $depth-bit PSD documents differ"
done

# A batch, one file after another on Windows, and an action recorded there played here.
mkdir w-batch l-batch
cp scene.jpg second.jpg
win apply scene.jpg second.jpg -d w-batch --suffix _lake 2>/dev/null &&
  lin apply scene.jpg second.jpg -d l-batch --suffix _lake 2>/dev/null || fail "a batch failed"
for name in scene_lake.jpg second_lake.jpg; do same_pixels "w-batch/$name" "l-batch/$name"; done
win apply scene.jpg -o w-recorded.jpg --set blur=60 --glue 40 --record calm.action &&
  lin apply scene.jpg -o l-recorded.jpg --action calm.action || fail "the recorded action did not play"
same_pixels w-recorded.jpg l-recorded.jpg

# Presets: made on either side, read alike on both, and rendering alike.
win preset make w.q8r --set "ripple height=70" --set waviness=20 --thumbnail scene.jpg
lin preset make l.q8r --set "ripple height=70" --set waviness=20 --thumbnail scene.jpg
for preset in w.q8r l.q8r; do
  [ "$(win preset info $preset | tr -d '\r')" = "$(lin preset info $preset)" ] || fail "preset info $preset differs"
done
[ "$(lin preset info w.q8r)" = "$(lin preset info l.q8r)" ] || fail "the presets made on each side differ"
same_jpeg preset scene.jpg --preset w.q8r

# The presets' gallery page: the same page but for the folder's name, the same pictures.
mkdir presets w-page l-page
cp w.q8r presets/calm.q8r
lin preset make presets/plain.q8r
win gallery presets -o w-page/presets.html >/dev/null && lin gallery presets -o l-page/presets.html >/dev/null ||
  fail "a gallery page was not written"
[ "$(grep -v 'presets from' w-page/presets.html)" = "$(grep -v 'presets from' l-page/presets.html)" ] ||
  fail "the gallery pages differ"
for picture in l-page/web_images/*; do
  other="w-page/web_images/${picture##*/}"
  case "$picture" in
    *.jpg) same_pixels "$other" "$picture" ;;
    *) cmp -s "$other" "$picture" || fail "$other differs" ;;
  esac
done

# The module's files go into the system's temporary folder, or C:\Windows\Temp\ when the
# one it names does not fit in a path.
temporary_folder() {
  wine cmd /c "set TMP=$1&& $(winepath -w "$windows/tarve.exe") apply scene.jpg -o out.jpg --last" 2>&1 |
    tr -d '\r' | sed -n 's/.*no last-used settings yet: \(.*\)Tarve cached settings C.*/\1/p'
}
[ "$(temporary_folder 'C:\somewhere')" = 'C:\somewhere\' ] || fail "TMP was not the temporary folder"
long="C:\\$(printf '%0270d' 0)"
[ "$(temporary_folder "$long")" = 'C:\Windows\Temp\' ] || fail "a temporary folder too long was not replaced"

# Failures: the same line and the same status on both.
printf 'hello\n' >notes.jpg
head -c 3000 scene.jpg >cut.jpg
printf '\177\177\177\177 and more' >bad.q8r
mkdir -p folder.jpg
same_failure() {
  set +e
  win "$@" >/dev/null 2>w.err
  w_status=$?
  lin "$@" >/dev/null 2>l.err
  l_status=$?
  set -e
  w=$(tr -d '\r' <w.err)
  l=$(cat l.err)
  [ "$w" = "$l" ] && [ "$w_status" = "$l_status" ] && [ "$(printf '%s\n' "$w" | wc -l)" = 1 ] ||
    fail "$*: Windows said \"$w\" ($w_status), Linux \"$l\" ($l_status)"
}
same_failure apply missing.jpg -o out.jpg
same_failure apply notes.jpg -o out.jpg
same_failure apply cut.jpg -o out.jpg
same_failure apply scene.jpg -o out.bmp
same_failure apply scene.jpg -o out.jpg --depth 16
same_failure apply scene.jpg -o no/such/out.jpg
same_failure apply scene.jpg -o folder.jpg
same_failure apply scene.jpg -o out.jpg --set "ripple hight=5"
same_failure apply scene.jpg -o out.jpg --set blur=101
same_failure apply scene.jpg -o out.jpg --colour blue
same_failure apply scene.jpg -o out.jpg --preset missing.q8r
same_failure apply scene.jpg -o out.jpg --preset bad.q8r
same_failure apply scene.jpg -o out.jpg --frobnicate
same_failure reflect scene.jpg
same_failure preset info scene.jpg
[ ! -e out.jpg ] && [ ! -e out.bmp ] || fail "a failed run left an output behind"

# What the Windows build leaves out is refused by name, with the same status.
set +e
win apply scene.jpg -o out.png 2>w.err
status=$?
set -e
refusal=$(tr -d '\r' <w.err)
case "$refusal" in
  "tarve: cannot write out.png: PNG files are not supported by the Windows build"*) [ "$status" = 2 ] || fail "PNG status $status" ;;
  *) fail "PNG output: $refusal" ;;
esac

# The window layer's Win32 backend through real window messages, on the display the checks
# run under.
wine "$windows/win32_ui_check.exe" || fail "the Win32 window layer check failed"

[ "$failures" = 0 ] || exit 1
echo "wine checks: tarve.exe and Tarve.8bf agree with the Linux build"

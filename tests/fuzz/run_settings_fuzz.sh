#!/bin/sh
# Builds the settings-reader fuzz target with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer), writes a seed corpus with our own writer and fuzzes for a
# bounded time. Usage: tests/fuzz/run_settings_fuzz.sh [seconds] (default 60).
# Exits non-zero when the fuzzer finds a fault; the reproducer is left in the build folder.
set -eu
cd "$(dirname "$0")/../.."
seconds=${1:-60}
out=build-fuzz
mkdir -p "$out/corpus" "$out/seeds"

flags="-std=c++20 -O1 -g -I. -Wall -Wextra -ffp-contract=off -fsanitize=address,undefined -fno-sanitize-recover=undefined"
# Coverage guides the fuzzer through the reader and the JPEG code; the raster library only
# stores pixels, so it is checked by the sanitizers without steering the search.
guided="host/settings_file.cpp $(ls files/*.cpp)"
plain="host/settings.cpp $(ls raster/*.cpp)"
objects=""
for source in $guided $plain; do
  object="$out/obj/$(echo "$source" | tr / _).o"
  mkdir -p "$out/obj"
  case " $guided " in *" $source "*) extra="-fsanitize=fuzzer-no-link" ;; *) extra="" ;; esac
  clang++ $flags $extra -c "$source" -o "$object" &
  objects="$objects $object"
done
wait
clang++ $flags -fsanitize=fuzzer tests/fuzz/settings_reader_fuzz.cpp $objects -ljpeg -o "$out/settings_reader_fuzz"
clang++ $flags tests/fuzz/make_settings_seeds.cpp $objects -ljpeg -o "$out/make_settings_seeds"
"$out/make_settings_seeds" "$out/seeds"

# Inputs that once found a fault are replayed first; the corpus grows between local runs
# and the seeds are always among it.
cd "$out"
./settings_reader_fuzz ../tests/fuzz/settings_regressions/* 2>regressions.log || { tail -60 regressions.log; exit 1; }
./settings_reader_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
  -print_final_stats=1 corpus seeds 2>fuzz.log || { tail -60 fuzz.log; exit 1; }
grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb|^#[0-9]+ +DONE" fuzz.log

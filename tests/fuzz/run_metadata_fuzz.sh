#!/bin/sh
# Builds the metadata fuzz target with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer), writes seed photographs with our own writers and fuzzes for a
# bounded time. Usage: tests/fuzz/run_metadata_fuzz.sh [seconds] (default 60).
# Exits non-zero when the fuzzer finds a fault; the reproducer is left in the build folder.
set -eu
cd "$(dirname "$0")/../.."
seconds=${1:-60}
out=build-fuzz-metadata
mkdir -p "$out/corpus" "$out/seeds" "$out/obj"

# exiv2's interface still hands out std::auto_ptr, which clang reports on every use.
flags="-std=c++20 -O1 -g -I. -Wall -Wextra -Wno-deprecated-declarations -ffp-contract=off
  -fsanitize=address,undefined -fno-sanitize-recover=undefined"
# Coverage guides the fuzzer through the image and metadata code of the program; the host
# only holds the pictures, so it is checked by the sanitizers without steering the search.
guided="app/image_files.cpp app/image_metadata.cpp app/png_file.cpp app/jpeg_file.cpp app/tiff_file.cpp
  app/webp_file.cpp app/orientation.cpp app/sample_depth.cpp app/icc_profile.cpp"
# The host as its library is built, without the drawing into a dialog's window.
plain="$(ls app/host/*.cpp | grep -v desktop_services) host/scripting_keys.cpp render/glue_names.cpp
  app/psd_file.cpp files/psd_writer.cpp files/psd_tables.cpp files/metadata_blocks.cpp files/file_io.cpp
  files/file_system.cpp files/paths.cpp"
objects=""
for source in $guided $plain; do
  object="$out/obj/$(echo "$source" | tr / _).o"
  case " $(echo $guided) " in *" $source "*) extra="-fsanitize=fuzzer-no-link" ;; *) extra="" ;; esac
  clang++ $flags $extra -c "$source" -o "$object" &
  objects="$objects $object"
done
wait
libraries="-lexiv2 -lwebpmux -lwebpdemux -lwebp -lpng -ltiff -ljpeg -ldl"
clang++ $flags -fsanitize=fuzzer tests/fuzz/metadata_reader_fuzz.cpp $objects $libraries -o "$out/metadata_reader_fuzz"
clang++ $flags tests/fuzz/make_metadata_seeds.cpp $objects $libraries -o "$out/make_metadata_seeds"
"$out/make_metadata_seeds" "$out/seeds"

# Inputs that once found a fault are replayed first; the corpus grows between local runs.
cd "$out"
./metadata_reader_fuzz ../tests/fuzz/metadata_regressions/* seeds/* 2>regressions.log || { tail -60 regressions.log; exit 1; }
./metadata_reader_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
  -print_final_stats=1 corpus seeds 2>fuzz.log || { tail -60 fuzz.log; exit 1; }
grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb|^#[0-9]+ +DONE" fuzz.log

#!/usr/bin/env bash
# Builds the loaders' fuzz target with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs it on each loader for a while, seeded
# with the game's own files. No allocation may pass 100 MB.
# Usage: fuzz.sh SOURCE_DIR BUILD_DIR [SECONDS_EACH]
set -euo pipefail
src=$1 build=$2 seconds=${3:-20}
command -v clang++ >/dev/null || { echo "SKIP: no clang++ (scripts/install-deps.sh --test)"; exit 77; }
mkdir -p "$build"
sources=(src/lib/SDLFunctions.cpp src/lib/bmp_header.cpp src/lib/fsound.cpp
         src/desktop/mixer_pcm.cpp src/desktop/wav_effect.cpp src/desktop/mp3_music.cpp)
# shellcheck disable=SC2046
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$src/src/lib" -I"$src/src/desktop" "${sources[@]/#/$src/}" "$src/tests/fuzz/loaders_fuzz.cpp" \
  $(pkg-config --cflags --libs sdl SDL_mixer libmpg123 sndfile samplerate) -o "$build/loaders_fuzz"
for loader in image sample music; do
  corpus=$build/corpus-$loader
  rm -rf "$corpus" && mkdir -p "$corpus"
  case $loader in
  image) cp "$src"/data/gfx/*.bmp "$corpus" ;;
  sample) cp "$src"/data/sound/*.wav "$corpus" ;;
  # Its first second: whole frames, a tag and the music's own start.
  music) head -c 16384 "$src/data/sound/music.mp3" >"$corpus/music.mp3" ;;
  esac
  echo "== $loader"
  GRUMO_FUZZ=$loader "$build/loaders_fuzz" -max_total_time="$seconds" -malloc_limit_mb=100 \
    -timeout=10 -print_final_stats=1 "$corpus" 2>&1 | grep -vE '^#[0-9]+' || exit 1
done

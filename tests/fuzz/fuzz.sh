#!/usr/bin/env bash
# fuzz.sh SOURCE_DIR BUILD_DIR SECONDS_EACH: builds the loaders' fuzz target with clang's libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer and runs each loader for a while, from the game's own files (read, never written).
# No single allocation may pass 100 MB.
set -euo pipefail
src=$1 build=$2 seconds=$3
mkdir -p "$build" && cd "$src"
# shellcheck disable=SC2046
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -Isrc -Isrc/lib -Isrc/desktop -Iweb src/lib/{SDLFunctions,bmp_header,fsound,sound_rules}.cpp web/bmp_reader.cpp \
  src/desktop/{mixer_pcm,wav_effect,mp3_music,mix_limiter}.cpp \
  tests/fuzz/loaders_fuzz.cpp $(pkg-config --cflags --libs sdl SDL_mixer libmpg123 sndfile samplerate) \
  -o "$build/loaders_fuzz"
mkdir -p "$build/wav" "$build/mp3" && cp data/sound/*.wav "$build/wav"
head -c 16384 data/sound/music.mp3 >"$build/mp3/start.mp3"  # the music's first second
for seeds in image:data/gfx reader:data/gfx sample:"$build/wav" music:"$build/mp3"; do
  loader=${seeds%%:*} && rm -rf "${build:?}/$loader" && mkdir "$build/$loader"
  GRUMO_FUZZ=$loader "$build/loaders_fuzz" -max_total_time="$seconds" -malloc_limit_mb=100 \
    -timeout=10 "$build/$loader" "${seeds#*:}" 2>&1 | grep -vE '^#[0-9]+' || exit 1
done

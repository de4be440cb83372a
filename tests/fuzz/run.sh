#!/bin/sh
# Builds the font fuzzer with clang and runs it; a finding ends it non-zero.
# Usage: run.sh <seconds> [work dir]   (FUZZ_CXX picks the compiler)
set -eu
seconds=${1:?usage: run.sh <seconds> [work dir]}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=${2:-${TMPDIR:-/tmp}/grumo_font_fuzz}
cxx=${FUZZ_CXX:-clang++}
mkdir -p "$work/corpus"

# shellcheck disable=SC2046
"$cxx" -std=c++17 -g -O1 -Wall -Wextra -Werror \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer \
  -I"$root/src/lib" $(pkg-config --cflags sdl) \
  "$here/font_fuzz.cpp" "$root/src/lib/font.cpp" "$root/src/lib/SDLFunctions.cpp" \
  $(pkg-config --libs sdl) -o "$work/font_fuzz"

SDL_VIDEODRIVER=dummy \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" \
  "$work/font_fuzz" -max_total_time="$seconds" -timeout=10 -max_len=4096 \
  -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus"

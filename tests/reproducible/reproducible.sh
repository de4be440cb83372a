#!/usr/bin/env bash
# The same source built for release in two folders, one with the benchmarks
# but without the tests: the game and its Debian package must come out the
# same to the byte, with no folder of either build in the game, and each game
# must still play its own source tree's data from anywhere.
# Usage: reproducible.sh SOURCE_DIR CMAKE CPACK
set -uo pipefail
source=$1 cmake=$2 cpack=$3
git -C "$source" rev-parse 2>/dev/null || { echo "SKIP: $source is no git checkout"; exit 77; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }
# As Debian's reproducible builds set it: the time of the last change.
SOURCE_DATE_EPOCH=$(git -C "$source" log -1 --format=%ct)
export SOURCE_DATE_EPOCH

# build DIR [CMAKE_ARGS...]: the source's files (as git sees them) copied to
# DIR/grumo, built in DIR/out and packaged.
build() {
  local dir=$scratch/$1
  shift
  mkdir -p "$dir/grumo"
  (cd "$source" && git ls-files -z --cached --others --exclude-standard |
    xargs -0 cp --parents -t "$dir/grumo" 2>/dev/null)
  {
    "$cmake" -S "$dir/grumo" -B "$dir/out" -DCMAKE_BUILD_TYPE=Release -DGRUMO_TESTS=OFF "$@" &&
      "$cmake" --build "$dir/out" -j2 && (cd "$dir/out" && "$cpack" -G DEB)
  } >"$dir/log" 2>&1 || fail "the build in $dir failed: $(tail -n 5 "$dir/log")"
}
build one
build two/folders/deeper -DGRUMO_BENCH=ON
[[ -x $scratch/two/folders/deeper/out/bench/grumo_bench ]] || fail "no benchmarks without the tests"

first=$scratch/one/out second=$scratch/two/folders/deeper/out
for file in grumo "$(cd "$first" && echo grumo_*.deb)"; do
  cmp "$first/$file" "$second/$file" || fail "$file differs between the two builds"
done
grep -qF "$scratch" "$first/grumo" && fail "the game holds the folder it was built in"
for build in "$first" "$second"; do
  (cd / && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout -s KILL 2 "$build/grumo") \
    2>"$scratch/err"
  status=$?
  ((status == 137)) && [[ ! -s $scratch/err ]] ||
    fail "$build/grumo did not play from /: status $status $(<"$scratch/err")"
done
exit "$failed"

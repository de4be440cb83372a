#!/usr/bin/env bash
# Plants each fault of bench/mutants.txt in turn, rebuilds incrementally and
# runs the fast tests: a suite that stays green on a real fault has a gap.
# Usage: bench/mutants.sh <source-tree> <build-dir> [extra ctest args...]
# Extra ctest arguments replace the default choice of the fast tests.
set -u
if [ $# -lt 2 ]; then
  echo "usage: $0 <source-tree> <build-dir> [extra ctest args...]" >&2
  exit 2
fi
src=$(cd "$1" && pwd)
build=$2
shift 2
list=$(dirname "$0")/mutants.txt
# By default every fast test but the asset generator's, which no planted fault touches.
if [ $# -gt 0 ]; then filter=("$@"); else filter=(-LE slow -E '^assets_reproducible$'); fi
log=$(mktemp)
backup=$(mktemp)
target=""

# The planted file always gets its own text back, with a fresh time stamp so
# that the next build compiles it again.
restore() {
  if [ -n "$target" ]; then cat "$backup" >"$target"; target=""; fi
}
trap 'restore; rm -f "$log" "$backup"' EXIT
trap 'exit 130' INT TERM

build_and_test() {
  cmake --build "$build" -j2 >"$log" 2>&1 || return 2
  ctest --test-dir "$build" --timeout 60 --no-tests=error "${filter[@]}" >"$log" 2>&1
}

# Replaces the one occurrence of the original; fails when it is not exactly once.
plant() {
  ORIG=$1 REPL=$2 perl -0777 -i -pe '
    BEGIN { ($o, $r) = map { s/\\n/\n/gr } @ENV{qw(ORIG REPL)} }
    $n = () = /\Q$o\E/g;
    if ($n != 1) { $bad = 1 } else { s/\Q$o\E/$r/ }
    END { exit 3 if $bad }' "$3"
}

if ! build_and_test; then
  echo "the unmutated tree does not build or pass; fix that first" >&2
  cat "$log" >&2
  exit 1
fi

caught=0 missed=0 invalid=0 absent=0
while IFS=$'\t' read -r id file orig repl; do
  case "$id" in '#'* | '') continue ;; esac
  cp "$src/$file" "$backup"
  target="$src/$file"
  if ! plant "$orig" "$repl" "$target"; then
    restore
    echo "$id n/a"; absent=$((absent + 1)); continue
  fi
  build_and_test
  rc=$?
  restore
  if [ $rc -eq 2 ]; then
    echo "$id invalid"; invalid=$((invalid + 1))
  elif [ $rc -ne 0 ]; then
    first=$(sed -n '/tests FAILED:/{n;p;q}' "$log" | sed -E 's/^[[:space:]]*[0-9]+ - //')
    echo "$id caught ${first:-?}"; caught=$((caught + 1))
  else
    echo "$id MISSED"; missed=$((missed + 1))
  fi
done <"$list"

# Leave the build matching the restored tree.
cmake --build "$build" -j2 >/dev/null 2>&1
echo "$caught caught, $missed missed, $invalid invalid, $absent n/a"

#!/usr/bin/env bash
# Plants each fault of bench/mutants.txt in turn, rebuilds incrementally and runs the fast tests: a suite that
# stays green on a real fault has a gap. Usage: bench/mutants.sh <source-tree> <build-dir> [ctest args...]; the
# ctest arguments replace the fast tests. MUTANTS=<regex> plants only the ids it matches.
set -u
[ $# -ge 2 ] || { echo "usage: $0 <source-tree> <build-dir> [ctest args...]" >&2 && exit 2; }
src=$(cd "$1" && pwd) build=$2 log=$(mktemp) backup=$(mktemp) target=""
shift 2
filter=(-LE slow -E '^assets_reproducible$')  # which no planted fault touches
(($#)) && filter=("$@")
# The planted file always gets its own text back, with a fresh time stamp.
restore() { [ -z "$target" ] || cat "$backup" >"$target"; target=""; }
trap 'restore; rm -f "$log" "$backup"' EXIT
trap 'exit 130' INT TERM
build_and_test() {
  cmake --build "$build" -j2 >"$log" 2>&1 || return 2
  ctest --test-dir "$build" --timeout 60 --no-tests=error "${filter[@]}" >"$log" 2>&1
}
# Replaces the one occurrence of the original ("\n" a line break); fails (3) unless it is exactly one.
plant() {
  ORIG=$1 REPL=$2 perl -0777 -i -pe 'BEGIN { ($o, $r) = map { s/\\n/\n/gr } @ENV{qw(ORIG REPL)} }
    $n = () = /\Q$o\E/g; if ($n != 1) { $bad = 1 } else { s/\Q$o\E/$r/ } END { exit 3 if $bad }' "$3"
}
build_and_test || { echo "the unmutated tree does not build or pass; fix that first" >&2 && cat "$log" >&2 && exit 1; }
declare -A count
while IFS=$'\t' read -r id file orig repl; do
  [[ $id == '#'* || -z $id || ! $id =~ ${MUTANTS:-.} ]] && continue
  cp "$src/$file" "$backup" && target="$src/$file"
  plant "$orig" "$repl" "$target" && build_and_test
  case $? in
  0) verdict=MISSED ;;
  2) verdict=invalid ;;
  3) verdict=n/a ;;
  *) verdict="caught $(sed -n '/tests FAILED:/,$s/^[[:space:]]*[0-9]* - \([^ ]*\).*/\1/p' "$log" | paste -sd,)" ;;
  esac
  restore
  echo "$id $verdict" && count[${verdict%% *}]=$((${count[${verdict%% *}]:-0} + 1))
done <"$(dirname "$0")/mutants.txt"
cmake --build "$build" -j2 >/dev/null 2>&1  # the build matches the restored tree again
echo "${count[caught]:-0} caught, ${count[MISSED]:-0} missed, ${count[invalid]:-0} invalid, ${count[n/a]:-0} n/a"

#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: in a plain
# build and in an AddressSanitizer + UndefinedBehaviorSanitizer build. The
# browser build is made first and tested in the plain one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" --test
# Here any warning is a failure; a player's own build only shows it.
export GRUMO_WERROR=ON
# The browser build, for the browser test of the plain suite.
"$root/scripts/web.sh" --build
jobs=$(nproc)

run_suite() {
  local dir=$1
  shift
  cmake -S "$root" -B "$dir" -DGRUMO_TOOLS=ON -DGRUMO_WERROR=ON "$@"
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" -j"$jobs" --output-on-failure --timeout 300
}

run_suite "$root/build/plain" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRUMO_BENCH=ON
run_suite "$root/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DGRUMO_SANITIZE=ON

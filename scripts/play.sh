#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it from data/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DGRUMO_TESTS=OFF
cmake --build "$root/build" -j"$(nproc)" --target grumo
cd "$root/data"
exec "$root/build/grumo"

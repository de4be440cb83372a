#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it; the game finds its
# data in the source tree by itself.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
# Started through sudo, build and play as the user who asked: a build/ owned
# by root breaks their later builds, and root may not reach their sound server.
if [[ $(id -u) -eq 0 && -n ${SUDO_USER:-} && $SUDO_USER != root ]]; then
  exec sudo -u "$SUDO_USER" -- "$0" "$@"
fi
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DGRUMO_TESTS=OFF
cmake --build "$root/build" -j"$(nproc)" --target grumo
exec "$root/build/grumo"

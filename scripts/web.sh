#!/usr/bin/env bash
# Installs what is missing, builds the browser version into build/web/ (a
# static site: index.html and the files it loads) and serves it on
# http://127.0.0.1:8000/. With --build it only builds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" --web
# Emscripten finds Debian's acorn there, whichever node is first on the PATH.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
emcmake cmake -S "$root/web" -B "$root/build/web-build" -DCMAKE_BUILD_TYPE=Release \
  -DGRUMO_WEB_SITE="$root/build/web" -DGRUMO_WERROR="${GRUMO_WERROR:-OFF}" >/dev/null
cmake --build "$root/build/web-build" -j"$(nproc)"
[[ "${1:-}" == "--build" ]] && exit 0
echo "Serving the game on http://127.0.0.1:8000/ (Ctrl+C stops)"
exec /usr/bin/python3 -m http.server 8000 --bind 127.0.0.1 --directory "$root/build/web"

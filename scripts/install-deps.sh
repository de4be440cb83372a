#!/usr/bin/env bash
# Installs the Debian packages that are missing for playing (default), for the
# browser build (--web) or for building and running every test (--test). Root
# is asked for (through sudo when there is one) only when something is missing.
set -euo pipefail

# SDL_mixer mixes; the game decodes MP3 and WAV itself and resamples them.
packages=(cmake g++ pkg-config libsdl1.2-compat-dev libsdl-mixer1.2-dev libmpg123-dev
          libsndfile1-dev libsamplerate0-dev)
if [[ "${1:-}" == "--test" ]]; then
  packages+=(libgtest-dev libbenchmark-dev clang libclang-rt-14-dev sox libsox-fmt-mp3
             lame libmp3lame-dev libpng-dev file xvfb openbox xdotool x11-apps
             imagemagick desktop-file-utils dpkg-dev procps lintian appstream man-db)
fi
# The browser build; its test drives Chromium from Debian's own Python.
[[ "${1:-}" == "--web" || "${1:-}" == "--test" ]] && packages+=(emscripten)
[[ "${1:-}" == "--test" ]] && packages+=(chromium python3 python3-websocket)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

as_root=()
if [[ $(id -u) -ne 0 ]]; then
  if ! command -v sudo >/dev/null; then
    echo "Root is needed to install these packages: ${missing[*]}" >&2
    echo "As root, run: apt-get install ${missing[*]}" >&2
    exit 1
  fi
  as_root=(sudo)
fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"

#!/usr/bin/env bash
# Installs the Debian packages that are missing for playing (default) or for
# building and running every test (--test). Asks apt only for what is missing.
set -euo pipefail

packages=(cmake g++ pkg-config libsdl1.2-compat-dev libsdl-mixer1.2-dev)
if [[ "${1:-}" == "--test" ]]; then
  packages+=(libgtest-dev libbenchmark-dev clang libclang-rt-14-dev sox libsox-fmt-mp3
             lame libmp3lame-dev libsndfile1-dev libpng-dev file xvfb openbox xdotool x11-apps imagemagick
             desktop-file-utils dpkg-dev procps)
fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
  "${missing[@]}"

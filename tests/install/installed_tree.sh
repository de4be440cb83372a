#!/usr/bin/env bash
# Installs the build into scratch prefixes and plays the game through the
# installed launcher from elsewhere: by path, through PATH, through a symlink
# and from a DESTDIR-staged tree.
# Usage: installed_tree.sh CMAKE BUILD_DIR BINDIR DATADIR
set -uo pipefail
cmake=$1 build=$2 bindir=$3 datadir=$4
here=$(dirname "$0")
source "$here/xgame.sh"
source "$here/desktop.sh"
xs_need_tools Xvfb openbox xdotool desktop-file-validate

failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

scratch=$(mktemp -d)
cleanup() {
  xs_stop
  rm -rf "$scratch"
}
trap cleanup EXIT
trap "exit 143" TERM INT HUP

# A space in the prefix catches unquoted paths in the launcher.
prefix="$scratch/pre fix"
step "installing into $prefix"
if ! "$cmake" --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1; then
  cat "$scratch/install.log" >&2
  fail "cmake --install into $prefix failed"
  exit 1
fi
launcher="$prefix/$bindir/grumo"
[[ -f $launcher && -x $launcher ]] || fail "no executable launcher at $launcher"
[[ $(head -n1 "$launcher") == '#!/bin/sh' ]] || fail "the launcher is not a /bin/sh script"
check_desktop_entry "$prefix/$datadir" || failed=1

xs_start_display "$scratch" || exit 1
xgame_play "$scratch/game.log" / "$launcher" || failed=1

mkdir -p "$scratch/elsewhere"
PATH="$prefix/$bindir:$PATH" xgame_play "$scratch/game.log" "$scratch/elsewhere" grumo || failed=1

mkdir -p "$scratch/links"
ln -s "$launcher" "$scratch/links/grumo"
xgame_play "$scratch/game.log" "$scratch/elsewhere" "$scratch/links/grumo" || failed=1

# A tree staged for packaging must run from where it was staged.
if DESTDIR="$scratch/stage" "$cmake" --install "$build" --prefix /opt/grumo \
    >"$scratch/install.log" 2>&1; then
  xgame_play "$scratch/game.log" / "$scratch/stage/opt/grumo/$bindir/grumo" || failed=1
else
  cat "$scratch/install.log" >&2
  fail "DESTDIR-staged cmake --install failed"
fi

exit "$failed"

#!/usr/bin/env bash
# Builds the Debian package, installs it with apt, plays the installed game,
# removes and purges it and checks that nothing of it is left. Needs root.
# Usage: package.sh CPACK BUILD_DIR BINDIR DATADIR
set -uo pipefail
cpack=$1 build=$2 bindir=$3 datadir=$4
here=$(dirname "$0")
source "$here/xgame.sh"
source "$here/desktop.sh"

if (($(id -u) != 0)); then
  echo "SKIP: installing the package needs root (CI runs this as root)"
  exit 77
fi
if dpkg-query -W -f='${db:Status-Status}' grumo 2>/dev/null | grep -qv '^not-installed$'; then
  echo "SKIP: a grumo package is already on this system; remove it to run this test"
  exit 77
fi
xs_need_tools Xvfb openbox xdotool desktop-file-validate dpkg-shlibdeps apt-get readelf

failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }
apt() {
  DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=60 "$@" </dev/null
}

scratch=$(mktemp -d)
chmod 755 "$scratch"  # apt reads the .deb as its own user
cleanup() {
  xs_stop
  if dpkg-query -W -f='${db:Status-Status}' grumo 2>/dev/null | grep -qv '^not-installed$'; then
    dpkg --purge grumo >/dev/null 2>&1
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
trap "exit 143" TERM INT HUP

step "building the package"
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/pkg" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log" >&2
  fail "cpack did not build the package"
  exit 1
fi
debs=("$scratch"/pkg/grumo_*.deb)
if ((${#debs[@]} != 1)) || [[ ! -f ${debs[0]} ]]; then
  fail "expected one grumo_*.deb, cpack made: $(ls "$scratch/pkg")"
  exit 1
fi
deb=${debs[0]}
for field in Maintainer Description; do
  [[ -n $(dpkg-deb -f "$deb" "$field") ]] || fail "the package has no $field"
done
[[ $(dpkg-deb -f "$deb" Section) == games ]] || fail "the package is not in section games"

step "checking the package contents"
# Directories that exist already stay; everything else the package brings must go.
mapfile -t shipped < <(dpkg-deb -c "$deb" | awk '{print substr($6, 2)}' | sed 's,/$,,')
declare -A existed=()
for path in "${shipped[@]}"; do [[ -e $path ]] && existed[$path]=1; done
outside=$(printf '%s\n' "${shipped[@]}" | grep -v '^/usr\(/\|$\)')
[[ -z $outside ]] || fail "the package installs outside /usr: $outside"

step "installing $(basename "$deb")"
if ! apt install "$deb" >"$scratch/apt.log" 2>&1; then
  cat "$scratch/apt.log" >&2
  fail "apt-get install of the package failed"
  exit 1
fi

[[ $(command -v grumo) == "/usr/$bindir/grumo" ]] || fail "grumo on PATH is $(command -v grumo), not /usr/$bindir/grumo"
check_desktop_entry "/usr/$datadir" || failed=1

step "checking the installed files and dependencies"
# Every library the game links must come from a package it depends on, by
# name or by something that package provides.
depends=$(dpkg-deb -f "$deb" Depends | tr ',|' '\n' | sed 's/(.*)//; s/ //g')
binary=$(dpkg -L grumo | while read -r f; do
  [[ -f $f && ! -L $f ]] && head -c4 "$f" | grep -q ELF && echo "$f"
done | head -n1)
[[ -n $binary ]] || fail "the package ships no ELF binary"
for lib in $(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort -u); do
  path=$(ldd "$binary" | awk -v l="$lib" '$1 == l {print $3}' | head -n1)
  # dpkg knows a library by the path its package shipped, which on a merged
  # /usr may be the /usr/lib twin of what ldd reports.
  owner=
  for candidate in "$path" "/usr$path" "$(readlink -f "$path")"; do
    owner=$(dpkg -S "$candidate" 2>/dev/null | head -n1 | cut -d: -f1)
    [[ -n $owner ]] && break
  done
  if [[ -z $owner ]]; then
    fail "no package owns $lib ($path)"
    continue
  fi
  names=$(printf '%s\n' "$owner"; dpkg-query -W -f='${Provides}' "$owner" | tr ',' '\n' | sed 's/(.*)//; s/ //g')
  grep -qxFf <(printf '%s\n' "$names" | sed '/^$/d') <<<"$depends" ||
    fail "$lib comes from $owner, which the package does not depend on (Depends: $(dpkg-deb -f "$deb" Depends))"
done

xs_start_display "$scratch" || exit 1
xgame_play "$scratch/game.log" / grumo || failed=1
xs_stop

step "removing and purging the package"
mapfile -t listed < <(dpkg -L grumo)
# apt no longer finds a removed local package, so dpkg purges what remains.
if ! apt remove grumo >"$scratch/apt.log" 2>&1 || ! dpkg --purge grumo >>"$scratch/apt.log" 2>&1; then
  cat "$scratch/apt.log" >&2
  fail "apt-get remove/purge of the package failed"
  exit 1
fi
status=$(dpkg-query -W -f='${db:Status-Status}' grumo 2>/dev/null)
[[ -z $status || $status == not-installed ]] || fail "dpkg still knows grumo as $status"
for path in "${listed[@]}"; do
  [[ $path == /. ]] && continue
  [[ -z ${existed[$path]:-} && ( -e $path || -L $path ) ]] && fail "left behind: $path"
done
exit "$failed"

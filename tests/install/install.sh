#!/usr/bin/env bash
# install.sh tree|package|reproducible BUILD_DIR SOURCE_DIR CMAKE CPACK: the game as players get it, an installed
# tree, the Debian package, and the same again from another folder. A start is judged under the dummy drivers: still
# running after 2 s with nothing on stderr means it found its data.
set -uo pipefail
what=$1 build=$2 source=$3 cmake=$4 cpack=$5 scratch=$(mktemp -d) failed=0
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; failed=1; }
for tool in desktop-file-validate appstreamcli man lintian; do
  command -v $tool >/dev/null || fail "$tool is missing: scripts/install-deps.sh --test"
done
# plays DIR COMMAND...
plays() {
  (cd "$1" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout -s KILL 2 "${@:2}") >/dev/null 2>"$scratch/err"
  local status=$?
  ((status == 137)) && [[ ! -s $scratch/err ]] || fail "${*:2} from $1: status $status $(<"$scratch/err")"
}

# documents SHARE: the menu entry, the AppStream metadata and the manual page
documents() {
  desktop-file-validate "$1/applications/grumo.desktop" || fail "invalid desktop entry"
  appstreamcli validate --no-net --pedantic --override=cid-desktopapp-is-not-rdns=info \
    "$1"/metainfo/*.metainfo.xml >"$scratch/out" || fail "invalid AppStream metadata: $(<"$scratch/out")"
  MANWIDTH=80 man --warnings -l "$1/man/man6/grumo.6.gz" >"$scratch/out" 2>"$scratch/err"
  [[ ! -s $scratch/err ]] && grep -q 'SDL_AUDIODRIVER=dummy plays without sound' "$scratch/out" ||
    fail "manual page: $(<"$scratch/err")"
}

case $what in
tree)
  prefix="$scratch/pre fix"
  "$cmake" --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
  DESTDIR="$scratch/stage" "$cmake" --install "$build" --prefix /opt/grumo >/dev/null ||
    fail "cmake --install with DESTDIR"
  plays / "$prefix/games/grumo"
  ln -s "$prefix/games/grumo" "$scratch/link" && plays "$scratch" ./link
  plays / "$scratch/stage/opt/grumo/games/grumo"
  documents "$prefix/share"
  ;;
package)
  ((EUID == 0)) || { echo "SKIP: installing the package needs root"; exit 77; }
  dpkg_knows() { dpkg-query -W -f='${db:Status-Status}' grumo 2>/dev/null | grep -q "$@"; }
  dpkg_knows '^installed' && { echo "SKIP: grumo is installed already; remove it to run this test"; exit 77; }
  chmod 755 "$scratch"  # apt reads the .deb as its own user
  "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch" >/dev/null || fail "cpack"
  deb=$(echo "$scratch"/grumo_*.deb)
  lintian "$deb" >"$scratch/out" 2>/dev/null
  grep '^[EW]:' "$scratch/out" && fail "lintian finds the lines above"
  mapfile -t shipped < <(dpkg-deb -c "$deb" | awk '{print substr($6, 2)}' | sed 's,/$,,')
  present() { for path in "${shipped[@]}"; do [[ ! -e $path ]] || echo "$path"; done; }
  present >"$scratch/existed"
  apt() { DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=60 "$@" </dev/null; }
  apt install "$deb" >"$scratch/out" 2>&1 || fail "apt install: $(<"$scratch/out")"
  player_path=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games  # which root's lacks
  [[ $(PATH=$player_path command -v grumo) == /usr/games/grumo ]] || fail "grumo is not /usr/games/grumo"
  PATH=$player_path plays / grumo
  documents /usr/share
  apt remove grumo >"$scratch/out" 2>&1 || fail "apt remove: $(<"$scratch/out")"
  present | grep -vxFf "$scratch/existed" && fail "left behind: the paths above"
  dpkg_knows -v '^not-installed$' && fail "dpkg still knows grumo"
  ;;
reproducible)
  # The last commit built for release in two folders, one with the benchmarks but not the tests.
  git -C "$source" rev-parse 2>/dev/null || { echo "SKIP: $source is no git checkout"; exit 77; }
  SOURCE_DATE_EPOCH=$(git -C "$source" log -1 --format=%ct) && export SOURCE_DATE_EPOCH
  for dir in one two/deeper; do
    mkdir -p "$scratch/$dir" && git -C "$source" archive --prefix=grumo/ HEAD | tar -x -C "$scratch/$dir"
    { "$cmake" -S "$scratch/$dir/grumo" -B "$scratch/$dir/out" -DCMAKE_BUILD_TYPE=Release \
      -DGRUMO_TESTS=OFF -DGRUMO_BENCH="$([[ $dir == one ]] && echo OFF || echo ON)" &&
      "$cmake" --build "$scratch/$dir/out" -j2 && (cd "$scratch/$dir/out" && "$cpack" -G DEB); } \
      >"$scratch/log" 2>&1 || fail "the build in $dir: $(tail -n 5 "$scratch/log")"
  done
  one=$scratch/one/out two=$scratch/two/deeper/out
  for file in grumo "$(cd "$one" && echo grumo_*.deb)"; do
    cmp "$one/$file" "$two/$file" || fail "$file differs between the two folders"
  done
  ;;
esac
exit "$failed"

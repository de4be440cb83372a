# check_desktop_entry DATADIR: the menu entry under DATADIR is valid, and the
# icon it names is installed there as a 128x128 PNG.

check_desktop_entry() {
  local share=$1 entry icon ok=0 size
  entry="$share/applications/grumo.desktop"
  if [[ ! -f $entry ]]; then
    echo "FAIL: no desktop entry at $entry" >&2
    return 1
  fi
  desktop-file-validate "$entry" || { echo "FAIL: $entry is not valid" >&2; ok=1; }
  [[ $(sed -n 's/^Exec=//p' "$entry") == grumo ]] ||
    { echo "FAIL: the entry does not start the launcher grumo" >&2; ok=1; }
  grep -qx 'Categories=Game;ArcadeGame;' "$entry" ||
    { echo "FAIL: the entry is not filed under Game;ArcadeGame;" >&2; ok=1; }
  icon=$(sed -n 's/^Icon=//p' "$entry")
  icon="$share/icons/hicolor/128x128/apps/$icon.png"
  if [[ ! -f $icon ]]; then
    echo "FAIL: the icon the entry names is not installed at $icon" >&2
    return 1
  fi
  # PNG signature, then the IHDR width and height as big-endian 32-bit words.
  size=$(od -An -tx1 -j0 -N24 "$icon" | tr -d ' \n')
  [[ ${size:0:16} == 89504e470d0a1a0a ]] || { echo "FAIL: $icon is not a PNG" >&2; return 1; }
  [[ ${size:32:16} == 0000008000000080 ]] ||
    { echo "FAIL: $icon is not 128x128 (IHDR ${size:32:16})" >&2; ok=1; }
  return "$ok"
}

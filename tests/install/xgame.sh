# Plays an installed game on a private X server: waits for its window, sends
# Escape (leave the game) and Escape (leave the credits) and expects a clean
# exit. Sourced by the install tests. Every wait is a bounded poll.

xgame_pids=()
xgame_game=

need_tools() {
  local tool missing=()
  for tool in "$@"; do command -v "$tool" >/dev/null 2>&1 || missing+=("$tool"); done
  if ((${#missing[@]})); then
    echo "FAIL: missing ${missing[*]} (scripts/install-deps.sh --test installs them)" >&2
    exit 1
  fi
}

step() { echo "[${SECONDS}s] $*"; }

# poll TRIES GAP COMMAND...: succeeds as soon as COMMAND does.
poll() {
  local tries=$1 gap=$2 i
  shift 2
  for ((i = 0; i < tries; i++)); do
    "$@" && return 0
    sleep "$gap"
  done
  return 1
}

running() { kill -0 "$1" 2>/dev/null; }
ended() { ! running "$1"; }
focused() { [[ $(xdotool getactivewindow 2>/dev/null) == "$1" ]]; }

# xgame_start_display SCRATCH_DIR: Xvfb picks a free display itself, so
# tests running side by side never race for one.
xgame_start_display() {
  local dir=$1
  : >"$dir/display"
  Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
  xgame_pids+=($!)
  if ! poll 100 0.1 test -s "$dir/display"; then
    echo "FAIL: Xvfb did not start" >&2
    cat "$dir/xvfb.log" >&2
    return 1
  fi
  DISPLAY=":$(head -n1 "$dir/display")"
  export DISPLAY
  # Without a window manager the full-screen window is drawn wrongly.
  mkdir -p "$dir/openbox"
  XDG_CONFIG_HOME="$dir/openbox" XDG_CACHE_HOME="$dir/openbox" openbox >"$dir/openbox.log" 2>&1 &
  xgame_pids+=($!)
  if ! poll 100 0.1 xdotool get_num_desktops >/dev/null 2>&1; then
    echo "FAIL: openbox did not start on $DISPLAY" >&2
    cat "$dir/openbox.log" >&2
    return 1
  fi
}

xgame_stop_display() {
  local i
  if [[ -n $xgame_game ]] && running "$xgame_game"; then kill -KILL "$xgame_game"; fi
  for ((i = ${#xgame_pids[@]} - 1; i >= 0; i--)); do
    kill "${xgame_pids[i]}" 2>/dev/null
    wait "${xgame_pids[i]}" 2>/dev/null
  done
  xgame_pids=()
}

# xgame_play LOG WORKDIR COMMAND...: starts COMMAND from WORKDIR and plays it
# to the end.
xgame_play() {
  local log=$1 workdir=$2 window='' status i
  shift 2
  echo "[${SECONDS}s] playing $* from $workdir"
  # Under X the display stack's libraries leak at exit, some from modules
  # already unloaded that no suppression can name; the game's own leaks are
  # checked by the tests under the dummy driver.
  (cd "$workdir" && exec env -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" "$@") >"$log" 2>&1 &
  xgame_game=$!
  for ((i = 0; i < 200; i++)); do
    window=$(xdotool search --onlyvisible --class '^grumo$' 2>/dev/null | head -n1)
    [[ -n $window ]] && break
    running "$xgame_game" || break
    sleep 0.1
  done
  if [[ -z $window ]]; then
    running "$xgame_game" && kill -KILL "$xgame_game"
    wait "$xgame_game"
    status=$?
    xgame_game=
    echo "FAIL: no game window appeared (exit status $status); its output:" >&2
    cat "$log" >&2
    return 1
  fi
  # Keys go to the focused window; openbox normally focuses it on its own.
  if ! poll 30 0.1 focused "$window"; then
    xdotool windowactivate "$window" 2>/dev/null
    poll 50 0.1 focused "$window" || echo "warning: game window never got the focus" >&2
  fi
  # Escapes sent while the game is still loading arrive together and the
  # frame loop swallows both, so keep pressing until it ends.
  for ((i = 0; i < 10; i++)); do
    running "$xgame_game" || break
    xdotool key Escape
    poll 10 0.1 ended "$xgame_game"
  done
  if running "$xgame_game"; then
    kill -KILL "$xgame_game"
    wait "$xgame_game"
    xgame_game=
    echo "FAIL: the game did not quit after ten presses of Escape; its output:" >&2
    cat "$log" >&2
    return 1
  fi
  wait "$xgame_game"
  status=$?
  xgame_game=
  if ((status != 0)); then
    echo "FAIL: the game exited with status $status; its output:" >&2
    cat "$log" >&2
    return 1
  fi
}

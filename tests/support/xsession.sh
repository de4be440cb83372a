# shellcheck shell=bash
# A private X display with a window manager and the game on it, for the
# window test and the measurements. Sourced. Every wait is a bounded poll;
# everything started here is killed by xs_stop (call it from an EXIT trap).

xs_pids=()
xs_game=

xs_need_tools() {
  local tool missing=()
  for tool in "$@"; do command -v "$tool" >/dev/null 2>&1 || missing+=("$tool"); done
  if ((${#missing[@]})); then
    echo "FAIL: missing ${missing[*]} (scripts/install-deps.sh --test installs them)" >&2
    exit 1
  fi
}

# xs_poll TRIES GAP COMMAND...: succeeds as soon as COMMAND does.
xs_poll() {
  local tries=$1 gap=$2 i
  shift 2
  for ((i = 0; i < tries; i++)); do
    "$@" && return 0
    sleep "$gap"
  done
  return 1
}

xs_running() { kill -0 "$1" 2>/dev/null && [[ $(ps -o stat= -p "$1" 2>/dev/null) != Z* ]]; }
xs_ended() { ! xs_running "$1"; }
xs_focused() { [[ $(xdotool getactivewindow 2>/dev/null) == "$1" ]]; }

# xs_start_display SCRATCH_DIR: 1024x768, so the 320x240 game is scaled by 3.2.
# Xvfb picks a free display number itself; its own timeout ends it even if this
# shell is killed outright.
xs_start_display() {
  local dir=$1
  : >"$dir/display"
  timeout -s KILL 600 Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
    3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
  xs_pids+=($!)
  if ! xs_poll 150 0.1 test -s "$dir/display"; then
    echo "FAIL: Xvfb did not start" >&2
    cat "$dir/xvfb.log" >&2
    return 1
  fi
  DISPLAY=":$(head -n1 "$dir/display")"
  export DISPLAY
  # Without a window manager the full-screen window is drawn misplaced.
  mkdir -p "$dir/openbox"
  XDG_CONFIG_HOME="$dir/openbox" XDG_CACHE_HOME="$dir/openbox" openbox >"$dir/openbox.log" 2>&1 &
  xs_pids+=($!)
  if ! xs_poll 150 0.1 xdotool get_num_desktops >/dev/null 2>&1; then
    echo "FAIL: openbox did not start on $DISPLAY" >&2
    cat "$dir/openbox.log" >&2
    return 1
  fi
}

# xs_start_game LOG DATA_DIR AUDIO_FILE GRUMO: starts the game from DATA_DIR
# with its sound written to AUDIO_FILE, waits for its window to have the focus
# and show a picture. Sets xs_game.
xs_start_game() {
  local log=$1 data=$2 audio=$3 grumo=$4
  # The game's own defaults are what is tested: crisp scaling, signals end it.
  (cd "$data" && exec env -u SDL12COMPAT_SCALE_METHOD -u SDL_NO_SIGNAL_HANDLERS \
    -u SDL12COMPAT_OPENGL_SCALING -u SDL_RENDER_DRIVER -u SDL_FRAMEBUFFER_ACCELERATION \
    SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$audio" "$grumo") >"$log" 2>&1 &
  xs_game=$!
  if ! xs_focus_game; then
    xs_game_failed "no game window appeared" "$log"
    return 1
  fi
  # A mapped window is not yet a drawn frame: wait for the picture.
  if ! xs_poll 100 0.1 xs_drawn; then
    xs_game_failed "the game window stayed blank" "$log"
    return 1
  fi
}

# xs_focus_game: waits for the window of the game xs_game and gives it the
# keyboard; fails when no window appears or the game ends first.
xs_focus_game() {
  local window='' i
  for ((i = 0; i < 200; i++)); do
    window=$(xdotool search --onlyvisible --class '^grumo$' 2>/dev/null | head -n1)
    [[ -n $window ]] && break
    xs_running "$xs_game" || break
    sleep 0.1
  done
  [[ -n $window ]] || return 1
  # Keys go to the focused window; openbox normally focuses it on its own.
  if ! xs_poll 30 0.1 xs_focused "$window"; then
    xdotool windowactivate "$window" 2>/dev/null
    xs_poll 50 0.1 xs_focused "$window" || echo "warning: the game window never got the focus" >&2
  fi
}

xs_drawn() {
  local colours
  colours=$(xwd -root -silent 2>/dev/null | convert xwd:- -format '%k' info: 2>/dev/null)
  [[ -n $colours ]] && ((colours >= 16))
}

# xs_game_failed WHAT LOG: reports the game's state and output, kills it.
xs_game_failed() {
  local status
  if xs_running "$xs_game"; then
    kill -KILL "$xs_game"
    wait "$xs_game" 2>/dev/null
    echo "FAIL: $1 (the game was still running, killed)" >&2
  else
    wait "$xs_game" 2>/dev/null
    status=$?
    echo "FAIL: $1 (the game had ended with status $status)" >&2
  fi
  xs_game=
  echo "-- the game's output:" >&2
  cat "$2" >&2
}

# xs_press KEY SECONDS: holds a key down for that long.
xs_press() {
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
}

# xs_shot FILE.bmp: the whole display, as a 24-bit BMP.
xs_shot() { xwd -root -silent | convert xwd:- "BMP3:$1"; }

xs_stop() {
  local i
  if [[ -n $xs_game ]] && xs_running "$xs_game"; then kill -KILL "$xs_game"; fi
  [[ -n $xs_game ]] && wait "$xs_game" 2>/dev/null
  xs_game=
  for ((i = ${#xs_pids[@]} - 1; i >= 0; i--)); do
    kill "${xs_pids[i]}" 2>/dev/null
    xs_poll 30 0.1 xs_ended "${xs_pids[i]}" || kill -KILL "${xs_pids[i]}" 2>/dev/null
    wait "${xs_pids[i]}" 2>/dev/null
  done
  xs_pids=()
}

# shellcheck shell=bash
# A private X display with a window manager and the game on it, for the window test
# and bench/measure.sh. Sourced; xs_stop (from an EXIT trap) ends it all.
xs_pids=() xs_game=

xs_need_tools() {
  local t
  for t in "$@"; do command -v "$t" >/dev/null || { echo "FAIL: no $t (install-deps.sh --test)" >&2 && exit 1; }; done
}
# xs_poll TRIES GAP COMMAND...: succeeds as soon as COMMAND does.
xs_poll() { local i; for ((i = 0; i < $1; i++)); do "${@:3}" && return 0; sleep "$2"; done; return 1; }
xs_ended() { ! kill -0 "$1" 2>/dev/null || [[ $(ps -o stat= -p "$1") == Z* ]]; }

# xs_start_display DIR [WxH]: Xvfb, ended by its own timeout should this shell be
# killed, and openbox, without which a full-screen window is drawn misplaced.
xs_start_display() {
  timeout -s KILL 600 Xvfb -displayfd 3 -screen 0 "${2:-1024x768}x24" -nolisten tcp 3>"$1/display" &>/dev/null &
  xs_pids+=($!)
  xs_poll 150 0.1 test -s "$1/display" || { echo "FAIL: Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$(head -n1 "$1/display")"
  XDG_CONFIG_HOME="$1" XDG_CACHE_HOME="$1" openbox &>/dev/null &
  xs_pids+=($!)
  xs_poll 150 0.1 xdotool get_num_desktops &>/dev/null || { echo "FAIL: no openbox" >&2; return 1; }
}

# xs_start_game LOG DATA_DIR AUDIO_FILE GRUMO: the game from DATA_DIR with its own
# defaults and its sound written to AUDIO_FILE; waits until its window has the keys and a picture.
xs_start_game() {
  (cd "$2" && exec env -u SDL12COMPAT_SCALE_METHOD -u SDL_NO_SIGNAL_HANDLERS SDL_VIDEODRIVER=x11 \
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$3" "$4") >"$1" 2>&1 &
  xs_game=$!
  xs_poll 200 0.1 xs_focused && xs_poll 100 0.1 xs_drawn && return 0
  echo "FAIL: the game showed no picture; its output:" >&2 && cat "$1" >&2 && return 1
}
xs_focused() {
  local window
  window=$(xdotool search --onlyvisible --class '^grumo$' 2>/dev/null | head -n1) && [[ -n $window ]] || return 1
  [[ $(xdotool getactivewindow 2>/dev/null) == "$window" ]] && return 0
  xdotool windowactivate "$window" 2>/dev/null
  return 1
}
xs_drawn() { (($(xwd -root -silent | convert xwd:- -format '%k' info: 2>/dev/null || echo 0) >= 16)); }
xs_shot() { xwd -root -silent | convert xwd:- "BMP3:$1"; }
xs_press() { xdotool keydown "$1" && sleep "$2" && xdotool keyup "$1"; }

# The game has shown all a test wants by now and is killed outright; should this
# shell be killed first, timeout still ends Xvfb.
xs_stop() {
  [[ -n $xs_game ]] && kill -KILL "$xs_game" 2>/dev/null
  ((${#xs_pids[@]})) && kill "${xs_pids[@]}" 2>/dev/null
  wait 2>/dev/null
  xs_game= xs_pids=()
}

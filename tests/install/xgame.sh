# Plays an installed game on a private X server: waits for its window, sends
# Escape (leave the game) and Escape (leave the credits) and expects a clean
# exit. Sourced by the install tests. Every wait is a bounded poll.

# shellcheck source=../support/xsession.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/xsession.sh"

step() { echo "[${SECONDS}s] $*"; }

# xgame_play LOG WORKDIR COMMAND...: starts COMMAND from WORKDIR and plays it
# to the end.
xgame_play() {
  local log=$1 workdir=$2 status i
  shift 2
  echo "[${SECONDS}s] playing $* from $workdir"
  # Under X the display stack's libraries leak at exit, some from modules
  # already unloaded that no suppression can name; the game's own leaks are
  # checked by the tests under the dummy driver.
  (cd "$workdir" && exec env -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" "$@") >"$log" 2>&1 &
  xs_game=$!
  if ! xs_focus_game; then
    xs_running "$xs_game" && kill -KILL "$xs_game"
    wait "$xs_game"
    status=$?
    xs_game=
    echo "FAIL: no game window appeared (exit status $status); its output:" >&2
    cat "$log" >&2
    return 1
  fi
  # Escapes sent while the game is still loading arrive together and the
  # frame loop swallows both, so keep pressing until it ends.
  for ((i = 0; i < 10; i++)); do
    xs_running "$xs_game" || break
    xdotool key Escape
    xs_poll 10 0.1 xs_ended "$xs_game"
  done
  if xs_running "$xs_game"; then
    kill -KILL "$xs_game"
    wait "$xs_game"
    xs_game=
    echo "FAIL: the game did not quit after ten presses of Escape; its output:" >&2
    cat "$log" >&2
    return 1
  fi
  wait "$xs_game"
  status=$?
  xs_game=
  if ((status != 0)); then
    echo "FAIL: the game exited with status $status; its output:" >&2
    cat "$log" >&2
    return 1
  fi
}

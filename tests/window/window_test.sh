#!/usr/bin/env bash
# window_test.sh GRUMO DATA_DIR FRAME_CHECK OUT_DIR [SCREENSHOT]
#
# The game for real: a full-screen window on a private X server with a window
# manager, keys sent through X, sound captured by SDL's disk driver. Two
# scripted games are played: one from DATA_DIR as shipped (pictures and
# music), one from a copy whose music is silent, so whatever is heard there
# was caused by play. Screenshots, frames and sound are left in OUT_DIR.
# With GRUMO_UPDATE_SCREENSHOT=1 the game frame of the first play screenshot,
# doubled, is written to SCREENSHOT.
set -u

if (($# < 4)); then
  echo "usage: $0 GRUMO DATA_DIR FRAME_CHECK OUT_DIR [SCREENSHOT]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../support/xsession.sh
source "$here/../support/xsession.sh"
xs_need_tools Xvfb openbox xdotool xwd convert sox timeout realpath

grumo=$(realpath "$1")
data=$(realpath "$2")
frame_check=$(realpath "$3")
out=$4
screenshot=${5:-}
rm -rf "$out"
mkdir -p "$out"
out=$(realpath "$out")
scratch=$(mktemp -d)
trap 'xs_stop; rm -rf "$scratch"' EXIT
trap 'exit 1' INT TERM HUP

failures=0
fail() {
  echo "FAIL: $*" >&2
  ((failures++))
}

# sound_stat FILE WHAT [TRIM ARGS...]: one figure of sox's stat (e.g.
# "RMS +amplitude"); a .raw file is the disk driver's s16 stereo 44100.
sound_stat() {
  local file=$1 what=$2 input=()
  shift 2
  [[ $file == *.raw ]] && input=(-t raw -r 44100 -e signed -b 16 -c 2)
  sox "${input[@]}" "$file" -n "$@" stat 2>&1 | awk -v what="^$what:" '$0 ~ what {print $NF}'
}
peak() {
  local max min
  max=$(sound_stat "$@" "Maximum amplitude")
  min=$(sound_stat "$@" "Minimum amplitude")
  awk -v a="$max" -v b="$min" 'BEGIN {a = a < 0 ? -a : a; b = b < 0 ? -b : b; print (a > b ? a : b)}'
}
rms() { sound_stat "$1" "RMS +amplitude" "${@:2}"; }
at_least() { awk -v a="$1" -v b="$2" 'BEGIN {exit !(a != "" && a + 0 >= b + 0)}'; }

# frame MODE NAME: screenshot of the display judged by frame_check; its
# findings end up in NAME.txt.
frame() {
  xs_shot "$out/$2.bmp" && "$frame_check" "$1" "$data/gfx" "$out/$2.bmp" "$out/$2-frame.bmp" \
    >"$out/$2.txt" 2>&1
}

# frame_within TRIES GAP MODE NAME: screenshots until one passes, while the
# game runs.
frame_within() {
  local tries=$1 gap=$2 i
  for ((i = 0; i < tries; i++)); do
    xs_running "$xs_game" || return 1
    frame "$3" "$4" && return 0
    sleep "$gap"
  done
  return 1
}

# session NAME DATA_DIR: one scripted game from DATA_DIR.
session() {
  local name=$1 dir=$2 log="$out/$1.log" status
  echo "-- $name: playing from $dir"
  xs_start_game "$log" "$dir" "$out/$name.raw" "$grumo" || return 1
  xs_press Right 1.5
  xs_press space 0.2
  sleep 2.5
  # Throws a splatted jumper up again, so the screenshot shows him in flight.
  xs_press space 0.2
  sleep 0.3
  # The jumper flies anywhere and may hide some text or balloons for a moment,
  # so a few screenshots a little apart get their chance.
  status=0
  frame_within 5 0.2 play "$name-play" || status=1
  if ! xs_running "$xs_game"; then
    xs_game_failed "$name: the game ended during play" "$log"
    return 1
  fi
  [[ -f $out/$name-play.txt ]] && cat "$out/$name-play.txt"
  ((status == 0)) || fail "$name: the play screenshot is not the game in play ($out/$name-play.bmp)"

  xdotool key Escape
  # The credits loop has to be running before the second Escape, or the frame
  # loop would take both; so wait for the credits to show.
  status=0
  frame_within 40 0.1 credits "$name-credits" || status=1
  [[ -f $out/$name-credits.txt ]] && cat "$out/$name-credits.txt"
  if ! xs_running "$xs_game"; then
    xs_game_failed "$name: the game ended instead of showing the credits" "$log"
    return 1
  fi
  ((status == 0)) || fail "$name: the credits did not show ($out/$name-credits.bmp)"

  xdotool key Escape
  if ! xs_poll 50 0.1 xs_ended "$xs_game"; then
    xs_game_failed "$name: the game did not quit within 5 s of the second Escape" "$log"
    return 1
  fi
  wait "$xs_game"
  status=$?
  xs_game=
  if ((status != 0)); then
    fail "$name: the game exited with status $status; its output:"
    cat "$log" >&2
  fi
}

xs_start_display "$scratch" || exit 1
echo "-- display $DISPLAY"

session music "$data" || ((failures++))

# The same game with the music replaced by silence; the effects stay.
quiet=$scratch/quiet
mkdir -p "$quiet/sound"
ln -s "$data/gfx" "$quiet/gfx"
for file in "$data"/sound/*; do ln -s "$file" "$quiet/sound/"; done
rm -f "$quiet/sound/music.mp3"
if sox -n -r 44100 -c 2 -C 128 "$quiet/sound/music.mp3" trim 0 2; then
  session effects "$quiet" || ((failures++))
else
  fail "sox could not write a silent MP3 (libsox-fmt-mp3 missing?)"
fi

echo "-- sound"
# Music from the start: the first second is about as loud as the music file's.
music_raw=$out/music.raw
if [[ -s $music_raw ]]; then
  seconds=$(awk -v b="$(stat -c %s "$music_raw")" 'BEGIN {print b / 176400}')
  first=$(rms "$music_raw" trim 0 1)
  own=$(rms "$data/sound/music.mp3" trim 0 1)
  want=$(awk -v o="$own" 'BEGIN {w = 0.3 * o; print (w > 0.003 ? w : 0.003)}')
  echo "music: ${seconds} s captured, RMS of the first second $first (music file's own $own)"
  at_least "$seconds" 3 || fail "only $seconds s of sound captured in a game of more than 5 s"
  at_least "$first" "$want" || fail "the first second of sound is too quiet for the music: RMS $first < $want"
else
  fail "no sound captured while playing with music"
fi

# Effects: with the music silent the game starts quiet, then the landings,
# splats and pops of the scripted play reach the effects' own loudness.
effects_raw=$out/effects.raw
if [[ -s $effects_raw ]]; then
  start=$(rms "$effects_raw" trim 0 0.3)
  loudest=$(peak "$effects_raw")
  softest=1
  for effect in pop studs splat; do
    softest=$(awk -v a="$softest" -v b="$(peak "$data/sound/$effect.wav")" 'BEGIN {print (a < b ? a : b)}')
  done
  want=$(awk -v s="$softest" 'BEGIN {print 0.5 * s}')
  echo "effects: RMS of the first 0.3 s $start, peak $loudest (softest effect file peaks at $softest)"
  at_least 0.001 "$start" || fail "the game with silent music is not quiet at first: RMS $start"
  at_least "$loudest" "$want" || fail "no effect was heard during play: peak $loudest < $want"
else
  fail "no sound captured while playing with silent music"
fi

if [[ ${GRUMO_UPDATE_SCREENSHOT:-} == 1 && -n $screenshot ]]; then
  if [[ $failures -eq 0 && -s $out/music-play-frame.bmp ]]; then
    mkdir -p "$(dirname "$screenshot")"
    convert "$out/music-play-frame.bmp" -sample 200% -strip \
      -define png:exclude-chunks=date,time "$screenshot"
    echo "-- wrote $screenshot"
  else
    echo "-- $screenshot left as it was: the test failed" >&2
  fi
fi

if ((failures)); then
  echo "$failures check(s) failed; screenshots and sound in $out" >&2
  exit 1
fi
echo "-- all window checks passed"

#!/usr/bin/env bash
# measure.sh GRUMO DATA_DIR [SECONDS] [DISPLAY_SIZE]
#
# Plays the game full screen on a private X server (1024x768 unless given)
# and prints the game's peak resident memory and its CPU use over SECONDS
# (default 10) of busy play, the X server's CPU use over the same time, and
# the loudness, peak and clipped samples of the sound mixed meanwhile (SDL's
# disk driver).
set -u

if (($# < 2)); then
  echo "usage: $0 GRUMO DATA_DIR [SECONDS] [DISPLAY_SIZE]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../scripts/xsession.sh
source "$here/../scripts/xsession.sh"
xs_need_tools Xvfb openbox xdotool xwd convert timeout realpath sox

grumo=$(realpath "$1")
data=$(realpath "$2")
seconds=${3:-10}
scratch=$(mktemp -d)
trap 'xs_stop; rm -rf "$scratch"' EXIT
trap 'exit 1' INT TERM HUP

# CPU ticks (user + system) a process has used so far.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
now() { date +%s.%N; }

xs_start_display "$scratch" "${4:-1024x768}" || exit 1
xs_start_game "$scratch/game.log" "$data" "$scratch/sound.raw" "$grumo" || exit 1
xvfb=$(pgrep -P "${xs_pids[0]}" -x Xvfb || echo "${xs_pids[0]}")

xs_press Right 0.5
start=$(now)
game0=$(ticks "$xs_game")
xvfb0=$(ticks "$xvfb")
# Keep play going: slide the board and throw a splatted jumper up again.
end=$(awk -v s="$start" -v d="$seconds" 'BEGIN {printf "%.3f", s + d}')
while awk -v n="$(now)" -v e="$end" 'BEGIN {exit !(n < e)}'; do
  xs_press Left 0.4
  xs_press space 0.2
  xs_press Right 0.4
done
game1=$(ticks "$xs_game")
t_play=$(awk -v s="$start" -v e="$(now)" 'BEGIN {print e - s}')
xvfb1=$(ticks "$xvfb")
stop=$(now)
hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$xs_game/status")
rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$xs_game/status")

hz=$(getconf CLK_TCK)
awk -v hwm="$hwm" -v rss="$rss" -v g="$((game1 - game0))" -v x="$((xvfb1 - xvfb0))" \
  -v hz="$hz" -v s="$start" -v e="$stop" 'BEGIN {
    t = e - s
    printf "grumo peak resident memory (VmHWM): %.1f MB (resident at the end: %.1f MB)\n", hwm / 1024, rss / 1024
    printf "grumo CPU over %.1f s of play: %.1f %% of one core\n", t, 100 * g / hz / t
    printf "Xvfb CPU over the same time: %.1f %% of one core\n", 100 * x / hz / t
  }'

# The sound of the play alone, from the disk driver's s16 stereo at 44.1 kHz.
sound_bytes=$(stat -c %s "$scratch/sound.raw")
skip=$(awk -v b="$sound_bytes" -v t="$t_play" 'BEGIN {s = b / 176400 - t; print (s > 0 ? s : 0)}')
sox -t raw -r 44100 -e signed -b 16 -c 2 "$scratch/sound.raw" -n trim "$skip" stats 2>&1 |
  awk '/^(RMS lev|Pk lev) dB/ {print "sound " $1 " " $2 " dBFS: " $4}'
# Full scale either way counts as clipped.
od -An -v -t d2 -w2 "$scratch/sound.raw" | awk -v from="$(awk -v s="$skip" 'BEGIN {print int(s * 44100) * 2}')" \
  'NR > from && ($1 >= 32767 || $1 <= -32768) {n++} END {print "sound: " n + 0 " clipped samples"}'

xdotool key Escape
sleep 0.5
xdotool key Escape
xs_poll 50 0.1 xs_ended "$xs_game" || echo "warning: the game did not quit on Escape" >&2

#!/usr/bin/env bash
# window_test.sh GRUMO DATA_DIR OUT_DIR [DOCS_DIR]: the game as a player meets it, full screen on a private X server,
# keys through X, sound through SDL's disk driver. Played at the first display size of GRUMO_WINDOW_SIZE (1366x768
# 1920x1080 2560x1440 by default), started only at the others. GRUMO_UPDATE_SCREENSHOT=1 writes the play and credits
# pictures to DOCS_DIR.
set -u
source "$(dirname "$0")/../../scripts/xsession.sh"
xs_need_tools Xvfb openbox xdotool xwd convert compare sox
grumo=$(realpath "$1") data=$(realpath "$2") out=$3 docs=${4:-}
rm -rf "$out" && mkdir -p "$out" && base=$(realpath "$out") out=$(realpath "$out")
trap xs_stop EXIT
failures=0
fail() { echo "FAIL: $*" >&2 && ((++failures)); }
# changed FRAME X Y W H: pixels of a 320x240 frame that differ there from the backdrop.
changed() { compare -metric AE -extract "$4x$5+$2+$3" "$1" "$data/gfx/background.bmp" null: 2>&1; }
# looks NAME TEST: a screenshot, read back to the game's picture: the largest whole multiple of 320x240 that fits,
# centred on black, every game pixel a square of that many screen pixels (scaling it back by nearest neighbour gives
# the screen again), mostly the backdrop, and passing TEST on the frame.
looks() { xs_shot "$out/$1.bmp" && reads "$@"; }
reads() {
  local shot=$out/$1.bmp frame=$out/$1-frame.bmp w h s area
  read -r w h < <(identify -format '%w %h\n' "$shot") || return 1
  s=$((w / 320 < h / 240 ? w / 320 : h / 240))
  area=$((320 * s))x$((240 * s))+$(((w - 320 * s) / 2))+$(((h - 240 * s) / 2))
  (($(convert "$shot" -region "$area" -evaluate set 0 +region -format '%[max]' info:) == 0)) &&
    convert "$shot" -crop "$area" +repage -write "$shot" -sample 320x240! "$frame" &&
    convert "$frame" -sample "${area%%+*}!" "$out/a.bmp" && (($(compare -metric AE "$shot" "$out/a.bmp" \
      null: 2>&1) == 0 && $(changed "$frame" 0 0 320 240) < 320 * 240 / 3)) && eval "$2"
}
# Held Right slides the board to the right edge (it starts at x 190..239).
play() { (($(changed "$1" 256 221 64 19) > 300)); }
# The credits in their box, and nothing else over the backdrop.
credits() { local box=$(changed "$1" 16 18 288 124); ((box > 2000 && $(changed "$1" 0 0 320 240) < box + 20)); }
# within TRIES NAME: the jumper flies anywhere and may hide things for a moment.
within() { xs_poll "$1" 0.2 looks "$2" "$2 $out/$2-frame.bmp"; }
# The jumper's skin, a colour nothing else has: where it is in a frame, as +X+Y.
jumper() { convert "$out/$1-frame.bmp" -fill black +opaque '#ffcca0' -trim -format '%X%Y' info:; }
heard() { ! cmp -s -n 16384 <(tail -c 16384 "$out/sound.raw") /dev/zero; }
# Minimised for 5 s (in the air, just after start) the game stands still: its thread wakes only to look at the
# window, it writes only silence (heard() reads the last of it), and back on screen it sounds again and the jumper
# is where it was across, give or take the frames (4.1 pixels each at most) around the window's going and back.
away() {
  local window before after ticks from bytes main=/proc/$xs_game/task/$xs_game/stat
  window=$(xdotool search --onlyvisible --class '^grumo$' | head -n1)
  xwd -root -silent -out "$out/before.xwd" && xdotool windowminimize "$window" && xs_poll 100 0.02 eval '! heard' &&
    ticks=$(awk '{print $14 + $15}' "$main") && from=$(stat -c %s "$out/sound.raw") && sleep 5 &&
    ticks=$(awk -v t="$ticks" '{print $14 + $15 - t}' "$main") &&
    bytes=$(($(stat -c %s "$out/sound.raw") - from)) && xdotool windowactivate "$window" &&
    xs_poll 200 0.01 heard && sleep 0.1 && xs_poll 5 0 looks after true && after=$(jumper after) &&
    convert "$out/before.xwd" "BMP3:$out/before.bmp" && reads before true && before=$(jumper before) ||
    { xdotool windowactivate "$window" && return 1; }
  away="$ticks ticks, jumper at $before then $after, $bytes bytes of sound"
  cmp -s -n "$bytes" <(tail -c "+$((from + 1))" "$out/sound.raw") /dev/zero &&
    ((ticks < 5 && bytes > 0)) && awk -v a="${before#+}" -v b="${after#+}" 'BEGIN {exit !((a - b) ^ 2 < 80 ^ 2)}'
}
open_at() { out=$base/$1 && mkdir -p "$out" && xs_start_display "$out" "$1" &&
  xs_start_game "$out/game.log" "$data" "$out/sound.raw" "$grumo"; }

read -ra sizes <<<"${GRUMO_WINDOW_SIZE:-1366x768 1920x1080 2560x1440}"
for size in "${sizes[@]:1}"; do
  open_at "$size" || exit 1
  xs_poll 10 0.2 looks started true || fail "no crisp whole-pixel full screen at $size ($out/started.bmp)"
  xs_stop
done
open_at "${sizes[0]}" || exit 1
away || fail "the game went on while minimised, or made no sound back ($out/before.bmp, $out/after.bmp): ${away:-}"
xs_press Right 1.5
xs_press space 0.2 && sleep 2.5 && xs_press space 0.2 && sleep 0.3
within 5 play || fail "no crisp full-screen play with the board slid right ($out/play.bmp)"
xdotool key Escape
within 40 credits || fail "no credits after Escape ($out/credits.bmp)"
xdotool key Escape
xs_poll 50 0.1 xs_ended "$xs_game" && { wait "$xs_game" || fail "the game exited with status $?"; } ||
  fail "the game did not quit within 5 s of the second Escape"
rms=$(sox -t raw -r 44100 -e signed -b 16 -c 2 "$out/sound.raw" -n stat 2>&1 | awk '/^RMS +amp/ {print $3}')
awk -v r="${rms:-0}" 'BEGIN {exit !(r > 0.01)}' || fail "no sound heard: RMS ${rms:-none}"
((failures == 0)) || { echo "screenshots and sound in $base" >&2 && exit 1; }
[[ ${GRUMO_UPDATE_SCREENSHOT:-} == 1 && -n $docs ]] || exit 0
for pair in play:screenshot credits:credits; do
  convert "$out/${pair%:*}-frame.bmp" -sample 200% -strip -define png:exclude-chunks=date,time "$docs/${pair#*:}.png"
done

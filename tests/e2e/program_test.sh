#!/usr/bin/env bash
# Drives the real program in a private virtual X server with real key presses and
# checks what a user sees, what it writes and how it ends. One check for both builds:
# the Linux binary, and the Windows exe under Wine.
# Usage: program_test.sh linux|windows <program> <assets dir>
# Exits 77 (skipped) only when the Linux run lacks Xvfb or xdotool; the Windows run
# fails instead. Set SCREENSHOT_OUT to keep the first screenshot.
set -uo pipefail

platform="$1"
program="$(realpath "$2")"
assets="$(realpath "$3")"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$root/scripts/lib/xvfb.sh"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

work="$(mktemp -d)"
pid=""

source "$root/tests/e2e/platforms.sh"
select_platform "$platform" || exit $?

# The screen is read with ImageMagick and x11-utils.
for tool in import xwininfo convert; do
  command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is not installed"; exit 1; }
done

cleanup() {
  [[ -n "$pid" ]] && kill "$pid" 2>/dev/null
  [[ "$platform" == windows ]] && wineserver -k 2>/dev/null
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT

for image in Kai_Orisa05.png Velmo_Grid.png TBX_Cursor.png; do
  cp "$assets/$image" "$work/"
done
background="128,128,255"

expect_size() {
  local size
  size="$(convert "$2" -format '%wx%h' info:)"
  [[ "$size" == "$3" ]] || fail "$1: the picture is $size, expected $3"
}

screen_size() { xwininfo -root | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'; }

# The whole screen, as a file named after the moment.
screen_picture() {
  import -display "$DISPLAY" -window root "$work/$1.png"
  echo "$work/$1.png"
}

# Cell (col, row) has its top-left corner at (16 + 64 col, 16 + 64 row).
corner() { echo $((16 + 64 * $1)); }

# The frame the program should show, composited from its three images: the
# background colour, the board, the piece, then the cursor over it.
reference() {
  local out="$work/reference-$1-$2-$3-$4.png"
  [[ -f "$out" ]] || convert -size 640x480 "xc:rgb($background)" \
    \( -size 448x448 "tile:$assets/Velmo_Grid.png" \) -geometry +16+16 -composite \
    "$assets/Kai_Orisa05.png" -geometry "+$(corner "$1")+$(corner "$2")" -composite \
    "$assets/TBX_Cursor.png" -geometry "+$(corner "$3")+$(corner "$4")" -composite "$out"
  echo "$out"
}

# The text band in the top-left corner, where the frame-rate digits go.
text_band="0,0 $((5 * glyph_width - 1)),43"

# What is wrong with a screenshot, if anything: every pixel outside the text band
# must equal the reference at its place or, within the texel slack, at a
# neighbouring place; the digits sit in character cells from the left edge.
frame_problem() {
  local shot="$1" ref dx dy diff=() worst cell white=() lit
  ref="$(reference "$2" "$3" "$4" "$5")"
  for dx in $(seq -"$texel_slack" "$texel_slack"); do
    for dy in $(seq -"$texel_slack" "$texel_slack"); do
      diff+=(\( "$shot" \( "$ref" -roll "$(printf '%+d%+d' "$dx" "$dy")" \) -compose difference -composite \))
    done
  done
  convert "${diff[@]}" -evaluate-sequence min -fill black -draw "rectangle $text_band" \
    -separate -evaluate-sequence max "$work/off.png"
  worst="$(convert "$work/off.png" -format '%[fx:int(255*maxima+0.5)]' info:)"
  if [[ "$worst" != 0 ]]; then
    echo "pixels off the composited frame by up to $worst (piece ($2, $3), cursor ($4, $5)), first:" \
      "$(convert "$work/off.png" -depth 8 txt:- | grep -v '#000000' | sed -n '2,6p' | cut -d' ' -f1 | tr '\n' ' ')"
    return
  fi
  for cell in 0 1 2 3 4; do
    lit="$(convert "$shot" -crop "${glyph_width}x44+$((cell * glyph_width))+0" +repage txt:- | grep -c '#FFFFFF' || true)"
    white+=("$((lit > 0))")
  done
  [[ "${white[*]}" =~ ^1(\ 1)*(\ 0)*$ ]] || echo "frame-rate digits by cell: ${white[*]}, expected lit cells from the left"
}

# expect_frame <what> <screenshot command> <piece col row> <cursor col row>: the
# frame may take a few seconds to show on a loaded machine, so it is taken again
# until it is right or five seconds have passed.
expect_frame() {
  local what="$1" take="$2" problem shot
  shift 2
  for _ in $(seq 25); do
    shot="$($take)"
    problem="$(frame_problem "$shot" "$@")"
    [[ -z "$problem" ]] && return 0
    sleep 0.2
  done
  fail "$what: $problem"
}

geometry() { window_geometry "$window"; }

# The client area as the user sees it, cut from the screen (Wine draws into a child
# window, which a window's own picture may not hold).
screenshot() {
  local x y size
  read -r x y size < <(geometry | tr ',' ' ')
  import -display "$DISPLAY" -window root -crop "${size}+${x}+${y}" +repage "$work/$1.png"
  echo "$work/$1.png"
}

press_keys() {
  local key
  for key in "$@"; do
    press_key "$window" "$key"
    sleep 0.2
  done
  sleep 0.5
}

start_xvfb || { fail "Xvfb did not start"; exit 1; }
prepare || { fail "the $platform run could not be prepared"; exit 1; }
cd "$work"
start_program
if ! window="$(wait_for_window Corvane "$first_frame_s")"; then
  fail "no window titled \"Corvane\" within $first_frame_s s"
  exit 1
fi
# The first frame: a board cell's middle shows the cell image.
cell_middle="$(pixel "$assets/Velmo_Grid.png" 32 32)"
for _ in $(seq $((first_frame_s * 10))); do
  [[ "$(pixel "$(screenshot first)" $(($(corner 3) + 32)) $(($(corner 3) + 32)))" == "$cell_middle" ]] && break
  sleep 0.1
done
sleep 1

shot="$(screenshot start)"
[[ -n "${SCREENSHOT_OUT:-}" ]] && cp "$shot" "$SCREENSHOT_OUT"
expect_size "window" "$shot" 640x480
expect_frame "start" "screenshot start" 0 0 0 0

# Pick the piece up, walk right twice, set it down: piece and cursor on (2, 0).
press_keys space Right Right space
expect_frame "after Space, Right, Right, Space" "screenshot moved" 2 0 2 0
# One row down and five to the right: the cursor stops at the board's edge.
press_keys Down Right Right Right Right Right
expect_frame "after Down and five Rights" "screenshot walked" 2 0 6 1
press_keys F1

# Full screen and back: the window returns to its place with a 640 x 480 client
# area, the board's state kept.
windowed="$(geometry)"
[[ "$windowed" == *" 640x480" ]] || fail "before Enter the client area is $windowed"
press_keys Return
expect_full_screen
press_keys Return
for _ in $(seq 100); do
  [[ "$(geometry)" == "$windowed" ]] && break
  sleep 0.1
done
[[ "$(geometry)" == "$windowed" ]] || fail "after two Enters the window is at $(geometry), expected $windowed"
expect_frame "back in the window" "screenshot toggled" 2 0 6 1

# Escape ends the program with -1, seen as 255; one still running is killed.
press_key "$window" Escape
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  fail "the program still runs 10 s after Escape; killed"
  kill -9 "$pid" 2>/dev/null
fi
wait "$pid"
status=$?
pid=""
[[ "$status" == 255 ]] || fail "exit status $status, expected 255"

# The last glyph atlas: 4,194,358 bytes behind a 54-byte header of fixed values.
if [[ -f "$work/text.bmp" ]]; then
  bytes="$(stat -c %s "$work/text.bmp")"
  [[ "$bytes" == 4194358 ]] || fail "text.bmp has $bytes bytes"
  header="$(head -c 54 "$work/text.bmp" | od -An -tx1 | tr -d ' \n')"
  # "BM", sizes 0, pixels at 54, a 40-byte info header, 1024 x 1024 bottom-up,
  # one plane, 32 bits, BI_RGB, the rest 0.
  expected="424d""00000000""0000""0000""36000000""28000000""00040000""00040000""0100""2000$(printf '0%.0s' {1..48})"
  [[ "$header" == "$expected" ]] || fail "text.bmp header is $header"
else
  fail "no text.bmp"
fi

debug_lines >"$work/debug.txt"
# Three loads (start and two resets) of three images: every "OK" line nine times.
for line in OK OK2 OK3; do
  count="$(grep -cx "$line" "$work/debug.txt" || true)"
  [[ "$count" == 9 ]] || fail "\"$line\" appears $count times, expected 9"
done
count="$(grep -cx OK4 "$work/debug.txt" || true)"
[[ "$count" -ge 9 ]] || fail "\"OK4\" appears $count times, expected at least 9"
count="$(grep -cx x "$work/debug.txt" || true)"
[[ "$count" == 1 ]] || fail "F1 wrote \"x\" $count times, expected once"
# One line per digit each time it enters a fresh atlas: within one renderer's life
# (they end with the batch's destructor line) no digit line repeats.
lives="$(awk '/^Terminated - Destructor$/ {life++} /^[0-9]$/ {print life ":" $0}' "$work/debug.txt")"
[[ -n "$lives" ]] || fail "no digit lines in the debug output"
repeated="$(sort <<<"$lives" | uniq -d)"
[[ -z "$repeated" ]] || fail "digit lines repeated within one atlas: $repeated"
destructions="$(grep -cx 'Terminated - Destructor' "$work/debug.txt" || true)"
[[ "$destructions" == 3 ]] || fail "batch destroyed $destructions times, expected 3"
[[ "$(tail -n 1 "$work/debug.txt")" == "Terminated - Destructor" ]] ||
  fail "the debug output does not end with \"Terminated - Destructor\""

if [[ "$failures" -gt 0 ]]; then
  echo "--- debug output ---"
  head -n 80 "$work/debug.txt"
  exit 1
fi
echo "PASS"

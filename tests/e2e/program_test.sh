#!/usr/bin/env bash
# Drives the real program in a private virtual X server with real key presses and
# checks what it shows, what it writes and how it ends.
# Usage: program_test.sh <program> <assets dir> <xvfb helper script>
# Exits 77 (skipped) only when Xvfb or xdotool is missing. Set SCREENSHOT_OUT to keep
# the first screenshot.
set -uo pipefail

program="$(realpath "$1")"
assets="$(realpath "$2")"
source "$3"

for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done
# The screen is read with ImageMagick and x11-utils, which the test needs as well.
for tool in import xwininfo convert; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "FAIL: $tool is not installed"
    exit 1
  fi
done

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

work="$(mktemp -d)"
pid=""
cleanup() {
  if [[ -n "$pid" ]]; then
    kill "$pid" 2>/dev/null || true
  fi
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT

for image in Kai_Orisa05.png Velmo_Grid.png TBX_Cursor.png; do
  cp "$assets/$image" "$work/"
done

# "r,g,b" of one pixel of an image file.
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info:
}

expect_pixel() {
  local what="$1" shot="$2" x="$3" y="$4" expected="$5" actual
  actual="$(pixel "$shot" "$x" "$y")"
  if [[ "$actual" != "$expected" ]]; then
    fail "$what: pixel ($x, $y) is $actual, expected $expected"
  fi
}

screenshot() {
  import -display "$DISPLAY" -window "$window" "$work/$1.png"
  echo "$work/$1.png"
}

# Cell (col, row) has its top-left corner at (16 + 64 col, 16 + 64 row).
corner() { echo $((16 + 64 * $1)); }

# Texels to look for: the middle of each image, and the cursor's band on its left
# edge; each is opaque in the images this project makes.
cell_middle="$(pixel "$assets/Velmo_Grid.png" 32 32)"
piece_middle="$(pixel "$assets/Kai_Orisa05.png" 32 32)"
cursor_band="$(pixel "$assets/TBX_Cursor.png" 3 40)"
clear_colour="128,128,255"

expect_board() {
  local shot="$1" piece_col="$2" cursor_col="$3" col
  for col in 0 1 2 3 4 5 6; do
    if [[ "$col" != "$piece_col" ]]; then
      expect_pixel "cell ($col, 3)" "$shot" $(($(corner "$col") + 32)) $(($(corner 3) + 32)) "$cell_middle"
      expect_pixel "empty cell ($col, 0)" "$shot" $(($(corner "$col") + 32)) $(($(corner 0) + 32)) "$cell_middle"
    fi
  done
  expect_pixel "piece" "$shot" $(($(corner "$piece_col") + 32)) $(($(corner 0) + 32)) "$piece_middle"
  expect_pixel "cursor" "$shot" $(($(corner "$cursor_col") + 3)) $(($(corner 0) + 40)) "$cursor_band"
  expect_pixel "off the board" "$shot" 560 300 "$clear_colour"
  expect_pixel "below the board" "$shot" 240 470 "$clear_colour"
}

start_xvfb || { fail "Xvfb did not start"; exit 1; }
cd "$work"
"$program" 2>"$work/debug.txt" &
pid=$!
if ! window="$(wait_for_window Corvane)"; then
  fail "the window did not appear"
  exit 1
fi
sleep 1

# Start: board, piece and cursor on cell (0, 0), white digits top left.
shot="$(screenshot start)"
[[ -n "${SCREENSHOT_OUT:-}" ]] && cp "$shot" "$SCREENSHOT_OUT"
size="$(convert "$shot" -format '%wx%h' info:)"
[[ "$size" == "640x480" ]] || fail "window content is $size, expected 640x480"
expect_board "$shot" 0 0
white="$(convert "$shot" -crop 120x40+0+0 +repage txt:- | grep -c '#FFFFFF' || true)"
[[ "$white" -gt 0 ]] || fail "no white digits in the top-left corner"

# Pick the piece up, walk right twice, set it down: piece and cursor on (2, 0).
for key in space Right Right space; do
  press_key "$window" "$key"
  sleep 0.2
done
sleep 0.5
expect_board "$(screenshot moved)" 2 2

# Full screen and back: the frame is scaled by the largest factor that fits the
# screen (XVFB_SCREEN), centred between black bars, and the window returns to its
# place with a 640 x 480 client area, state kept.
# "x,y WIDTHxHEIGHT" of the window's client area on the screen.
geometry() {
  xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x "," y " " w "x" h}'
}
windowed="$(geometry)"
[[ "$windowed" == *" 640x480" ]] || fail "before Enter the client area is $windowed"
moved_shot="$work/moved.png"
press_key "$window" Return
sleep 1
import -display "$DISPLAY" -window root "$work/full.png"
screen="${XVFB_SCREEN:-1024x768x24}"
screen="${screen%x*}"
size="$(convert "$work/full.png" -format '%wx%h' info:)"
[[ "$size" == "$screen" ]] || fail "the screen is $size, expected $screen"
screen_w="${screen%x*}"
screen_h="${screen#*x}"
if ((screen_w * 480 <= screen_h * 640)); then
  picture_w=$screen_w picture_h=$((screen_w * 480 / 640))
else
  picture_w=$((screen_h * 640 / 480)) picture_h=$screen_h
fi
((picture_w * 480 == picture_h * 640)) || fail "no whole-pixel 4:3 picture fits $screen"
left=$(((screen_w - picture_w) / 2)) top=$(((screen_h - picture_h) / 2))
# Every screen pixel against the windowed frame: black outside the picture, inside
# it the back-buffer pixel whose area holds the screen pixel's centre. Where that
# centre falls exactly on a border between two back-buffer pixels either is as
# near, so those rows and columns are left out; so is the frame-rate text.
mismatches="$(
  { convert "$moved_shot" -depth 8 txt:-; echo "--"; convert "$work/full.png" -depth 8 txt:-; } |
  awk -v L="$left" -v T="$top" -v W="$picture_w" -v H="$picture_h" -F '[,: ()]+' '
    /^#/ {next}
    $0 == "--" {screen = 1; next}
    !screen {pixel[$1 "," $2] = $3 "," $4 "," $5; next}
    {
      x = $1 - L; y = $2 - T; rgb = $3 "," $4 "," $5
      if (x < 0 || y < 0 || x >= W || y >= H) {
        if (rgb != "0,0,0") bad++
        next
      }
      if (((2 * x + 1) * 640) % (2 * W) == 0 || ((2 * y + 1) * 480) % (2 * H) == 0) next
      sx = int((2 * x + 1) * 640 / (2 * W)); sy = int((2 * y + 1) * 480 / (2 * H))
      if (sy >= 48 && rgb != pixel[sx "," sy]) bad++
    }
    END {print bad + 0}')"
[[ "$mismatches" == 0 ]] || fail "full screen on $screen: $mismatches pixels not where the scaling puts them"
press_key "$window" Return
# A loaded machine may take a while to switch back: poll for up to ten seconds.
for _ in $(seq 100); do
  [[ "$(geometry)" == "$windowed" ]] && break
  sleep 0.1
done
[[ "$(geometry)" == "$windowed" ]] || fail "after two Enters the window is at $(geometry), expected $windowed"
sleep 1  # frames at the restored size before the screenshot
expect_board "$(screenshot toggled)" 2 2

press_key "$window" Escape
wait "$pid"
status=$?
pid=""
[[ "$status" == 255 ]] || fail "exit status $status, expected 255"

if [[ -f "$work/text.bmp" ]]; then
  bytes="$(stat -c %s "$work/text.bmp")"
  [[ "$bytes" == 4194358 ]] || fail "text.bmp has $bytes bytes"
else
  fail "no text.bmp"
fi

# Three loads (start and two resets) of three images: every "OK" line nine times.
for line in OK OK2 OK3; do
  count="$(grep -cx "$line" "$work/debug.txt" || true)"
  [[ "$count" == 9 ]] || fail "\"$line\" appears $count times, expected 9"
done
count="$(grep -cx OK4 "$work/debug.txt" || true)"
[[ "$count" -ge 9 ]] || fail "\"OK4\" appears $count times, expected at least 9"
# One line per digit each time it enters a fresh atlas: within one renderer's life
# (they end with the batch's destructor line) no digit line repeats.
lives="$(awk '/^Terminated - Destructor$/ {life++} /^[0-9]$/ {print life ":" $0}' "$work/debug.txt")"
[[ -n "$lives" ]] || fail "no digit lines in the debug output"
repeated="$(sort <<<"$lives" | uniq -d)"
[[ -z "$repeated" ]] || fail "digit lines repeated within one atlas: $repeated"
destructions="$(grep -cx 'Terminated - Destructor' "$work/debug.txt" || true)"
[[ "$destructions" == 3 ]] || fail "batch destroyed $destructions times, expected 3"

if [[ "$failures" -gt 0 ]]; then
  echo "--- debug output ---"
  head -n 80 "$work/debug.txt"
  exit 1
fi
echo "PASS"

#!/usr/bin/env bash
# Drives the real program in a private virtual X server with real key presses and
# checks what a user sees, what it writes and how it ends. One check for both builds:
# the Linux binary (linux.sh), and the Windows exe under Wine (windows.sh).
# Usage: program_test.sh linux|windows <program> <assets dir> <frame_compare>
# Exits 77 (skipped) only when the Linux run lacks Xvfb or xdotool; the Windows run
# fails instead. Set SCREENSHOT_OUT to keep the first screenshot.
set -uo pipefail

platform="$1"
program="$(realpath "$2")"
assets="$(realpath "$3")"
frame_compare="$(realpath "$4")"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$root/scripts/lib/xvfb.sh"
case "$platform" in
  linux | windows) source "$root/tests/e2e/$platform.sh" ;;
  *) echo "unknown platform '$platform' (linux or windows)" >&2; exit 2 ;;
esac
check_tools || exit $?
# The screen is read with ImageMagick and x11-utils.
for tool in import xwininfo convert; do
  command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is not installed"; exit 1; }
done

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

work="$(mktemp -d)"
pid=""
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

# Cell (col, row) has its top-left corner at (16 + 64 col, 16 + 64 row).
corner() { echo $((16 + 64 * $1)); }

# The frame the program should show without its frame-rate text, composited from
# its three images: the background colour, the board, the piece, then the cursor.
reference() {
  local out="$work/reference-$1-$2-$3-$4.png"
  [[ -f "$out" ]] || convert -size 640x480 "xc:rgb(128,128,255)" \
    \( -size 448x448 "tile:$assets/Velmo_Grid.png" \) -geometry +16+16 -composite \
    "$assets/Kai_Orisa05.png" -geometry "+$(corner "$1")+$(corner "$2")" -composite \
    "$assets/TBX_Cursor.png" -geometry "+$(corner "$3")+$(corner "$4")" -composite "$out"
  echo "$out"
}

# Waits until frames were presented after this moment: the one in flight may have
# been drawn before the last key arrived, the one after it was not.
await_new_frame() {
  local target=$(($(frames_shown "$work") + 2))
  for _ in $(seq 100); do
    (($(frames_shown "$work") >= target)) && return 0
    sleep 0.1
  done
  fail "$1: no new frame within 10 s"
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
}

# Each picture is compared once the run is over, with the glyph atlas of the
# renderer that drew it: "what|shot|piece col row, cursor col row|atlas|options".
checks=()
take() {
  local what="$1" shot="$2" atlas="$3" options="$4"
  shift 4
  checks+=("$what|$shot|$*|$atlas|$options")
}

start_xvfb || { fail "Xvfb did not start"; exit 1; }
prepare "$work" || { fail "the $platform run could not be prepared"; exit 1; }
cd "$work"
start_program "$program" "$work"
pid=$!
if ! window="$(wait_for_window Corvane "$first_frame_s")"; then
  fail "no window titled \"Corvane\" within $first_frame_s s"
  exit 1
fi
for _ in $(seq $((first_frame_s * 10))); do
  (($(frames_shown "$work") > 0)) && break
  sleep 0.1
done
await_new_frame "start"
shot="$(screenshot start)"
[[ -n "${SCREENSHOT_OUT:-}" ]] && cp "$shot" "$SCREENSHOT_OUT"
take "start" "$shot" atlas-1 "" 0 0 0 0

# Pick the piece up, walk right twice, set it down: piece and cursor on (2, 0).
press_keys space Right Right space
await_new_frame "after Space, Right, Right, Space"
take "after Space, Right, Right, Space" "$(screenshot moved)" atlas-1 "" 2 0 2 0
# One row down and five to the right: the cursor stops at the board's edge.
press_keys Down Right Right Right Right Right
await_new_frame "after Down and five Rights"
take "after Down and five Rights" "$(screenshot walked)" atlas-1 "" 2 0 6 1
press_keys F1

# Full screen and back: the window returns to its place with a 640 x 480 client
# area, the board's state kept. Each reset first writes the atlas it drops.
windowed="$(geometry)"
[[ "$windowed" == *" 640x480" ]] || fail "before Enter the client area is $windowed"
press_keys Return
await_new_frame "full screen"
cp text.bmp atlas-1.bmp
shot="$(full_screen_shot "$work")"
take "full screen" "$shot" atlas-2 "$(full_screen_layout "$shot")" 2 0 6 1
press_keys Return
for _ in $(seq 100); do
  [[ "$(geometry)" == "$windowed" ]] && break
  sleep 0.1
done
[[ "$(geometry)" == "$windowed" ]] || fail "after two Enters the window is at $(geometry), expected $windowed"
await_new_frame "back in the window"
cp text.bmp atlas-2.bmp
take "back in the window" "$(screenshot toggled)" atlas-3 "" 2 0 6 1

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
[[ -f text.bmp ]] && cp text.bmp atlas-3.bmp

debug_lines "$work" >"$work/debug.txt"
problem="$(present_path_problem "$work")"
[[ -z "$problem" ]] || fail "$problem"
# Every line accounted for. Each renderer's life, ended by the batch's destructor
# line, starts with three image loads (OK, OK2, OK3 and OK4 twice each) and then
# names each digit once as it enters that life's atlas; F1 wrote "x" in the first.
# Nothing follows the last life.
awk -v lives="$work/lives" '
  function finish(what) {
    printf "%s: %s| x %d, digits %d, repeated %d, other %d\n", what, head, x, digits, repeated, other
    print digits >lives
    head = ""; x = n = digits = repeated = other = 0; split("", seen)
  }
  /^Terminated - Destructor$/ { finish("life " ++life); next }
  n < 15 { head = head $0 " "; n++; next }
  /^[0-9]$/ { if ($0 in seen) repeated++; else digits++; seen[$0]; next }
  $0 == "x" { x++; next }
  { other++ }
  END { if (n > 0) finish("after the last life") }' "$work/debug.txt" >"$work/summary"
loads="$(printf 'OK OK2 OK3 OK4 OK4 %.0s' 1 2 3)"
for life in 1 2 3; do
  grep -q "^life $life: $loads| x $((life == 1)), digits [1-9][0-9]*, repeated 0, other 0$" "$work/summary" ||
    fail "debug output, life $life: $(grep "^life $life:" "$work/summary" || echo missing)"
done
(($(wc -l <"$work/summary") == 3)) || fail "debug output: $(sed -n '4,$p' "$work/summary")"

# Each atlas dump: 1024 x 1024 bottom-up behind a 54-byte header of fixed values,
# its life's digits in its first cells and nothing anywhere else.
# "BM", sizes 0, pixels at 54, a 40-byte info header, 1024 x 1024 bottom-up, one
# plane, 32 bits, BI_RGB, the rest 0.
header="424d""00000000""0000""0000""36000000""28000000""00040000""00040000""0100""2000$(printf '0%.0s' {1..48})"
for life in 1 2 3; do
  atlas="$work/atlas-$life.bmp"
  [[ -f "$atlas" ]] || { fail "no text.bmp after life $life"; continue; }
  bytes="$(stat -c %s "$atlas")"
  [[ "$bytes" == 4194358 ]] || fail "text.bmp of life $life has $bytes bytes"
  [[ "$(head -c 54 "$atlas" | od -An -tx1 | tr -d ' \n')" == "$header" ]] ||
    fail "text.bmp of life $life: header $(head -c 54 "$atlas" | od -An -tx1 | tr -d ' \n')"
  problem="$("$frame_compare" atlas "$atlas" "$glyph_cell" "$(sed -n "${life}p" "$work/lives")")" ||
    fail "text.bmp of life $life: $problem"
done

for check in "${checks[@]}"; do
  IFS='|' read -r what shot positions atlas options <<<"$check"
  glyphs=()
  ((exact_glyphs)) && glyphs=(--atlas "$work/$atlas.bmp")
  # shellcheck disable=SC2086 # the positions and options are words
  problem="$("$frame_compare" frame "$shot" "$(reference $positions)" "$glyph_cell" \
    --slack "$texel_slack" "${glyphs[@]}" $options)" || fail "$what: $problem"
done

if [[ "$failures" -gt 0 ]]; then
  echo "--- debug output ---"
  head -n 80 "$work/debug.txt"
  exit 1
fi
echo "PASS"

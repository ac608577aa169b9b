#!/usr/bin/env bash
# The real program ends with status 255 (the -1 of WinMain): when its window cannot
# be made, and when the user presses Escape in a real X server. Without its images
# it still runs. In the X server, Enter covers the screen and Enter again brings
# the window back to its place and size.
set -uo pipefail

program="$(realpath "$1")"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/../../scripts/lib/xvfb.sh"

# "x,y WIDTHxHEIGHT" of a window's client area on the screen.
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x "," y " " w "x" h}'
}

failures=0
# Polls for up to ten seconds: a loaded machine may take a while to switch.
expect_geometry() {
  local description="$1" expected="$2" window="$3" actual=""
  for _ in $(seq 100); do
    actual="$(geometry "$window")"
    [[ "$actual" == "$expected" ]] && break
    sleep 0.1
  done
  if [[ "$actual" == "$expected" ]]; then
    echo "ok: $description ($actual)"
  else
    echo "FAIL: $description: expected $expected, got $actual"
    failures=$((failures + 1))
  fi
}

work="$(mktemp -d)"
trap 'stop_xvfb; rm -rf "$work"' EXIT
cd "$work"

# No video driver can start: creation fails, shutdown runs, -1 comes back.
SDL_VIDEODRIVER=nonexistent timeout 30 "$program" 2>/dev/null
status=$?
if [[ $status -eq 255 ]]; then
  echo "ok: failed creation exits with 255"
else
  echo "FAIL: failed creation exited with $status, expected 255"
  failures=$((failures + 1))
fi

# Headless and without the three images the program keeps running.
SDL_VIDEODRIVER=dummy "$program" 2>/dev/null &
pid=$!
sleep 2
if kill -0 "$pid" 2>/dev/null; then
  echo "ok: runs without a display and without its images"
  kill "$pid"
  wait "$pid" 2>/dev/null
else
  wait "$pid"
  echo "FAIL: ended by itself with status $? without a display or images"
  failures=$((failures + 1))
fi

if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "Xvfb or xdotool missing: the Escape run is skipped"
  exit $((failures > 0 ? 1 : 77))
fi
if ! start_xvfb; then
  echo "FAIL: Xvfb did not start"
  exit 1
fi
"$program" 2>/dev/null &
pid=$!
if window="$(wait_for_window Corvane)"; then
  sleep 1
  windowed="$(geometry "$window")"
  screen="$(xdpyinfo | awk '/dimensions:/ {print $2}')"
  expect_geometry "the client area is 640x480" "${windowed% *} 640x480" "$window"
  press_key "$window" Return
  expect_geometry "Enter covers the screen" "0,0 ${screen}" "$window"
  press_key "$window" Return
  expect_geometry "Enter again restores the window" "$windowed" "$window"
  press_key "$window" Escape
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
fi
if kill -0 "$pid" 2>/dev/null; then
  echo "FAIL: Escape did not end the program"
  kill "$pid"
  failures=$((failures + 1))
else
  wait "$pid"
  status=$?
  if [[ $status -eq 255 ]]; then
    echo "ok: Escape in a real X server exits with 255"
  else
    echo "FAIL: Escape run exited with $status, expected 255"
    failures=$((failures + 1))
  fi
fi
exit $((failures > 0 ? 1 : 0))

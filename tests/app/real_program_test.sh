#!/usr/bin/env bash
# The real program ends with status 255 (the -1 of WinMain) when its window cannot
# be made, and keeps running headless without its images. Escape, Enter and the
# window's geometry in a real X server are checked by tests/e2e/program_test.sh.
set -uo pipefail

program="$(realpath "$1")"
failures=0
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
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
exit $((failures > 0 ? 1 : 0))

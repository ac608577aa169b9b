#!/usr/bin/env bash
# The real program from outside: a failed start, no display, a headless run without
# images ended by SIGTERM as the close box ends it, a second signal, SIGTERM after a
# full-screen switch the window system refused, and an X server that goes away
# under it. Escape, Enter and the window's geometry in a real
# X server are checked by tests/e2e/program_test.sh.
set -uo pipefail

program="$(realpath "$1")"
refuse_full_screen="$(realpath "$2")"  # a library to preload
# shellcheck source=../../scripts/lib/xvfb.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/../../scripts/lib/xvfb.sh"
failures=0
work="$(mktemp -d)"
trap 'stop_xvfb; rm -rf "$work"' EXIT
cd "$work"

check() {
  local what="$1"
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAIL: $what"
    failures=$((failures + 1))
  fi
}

# Waits up to $2 seconds for background process $1 to end; sets status (124 when
# it is still running) and elapsed_ms.
wait_for_exit() {
  local pid="$1" limit_ms=$(($2 * 1000)) start=${EPOCHREALTIME/./}
  status=124
  while ((${EPOCHREALTIME/./} - start < limit_ms * 1000)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      status=$?
      break
    fi
    sleep 0.02
  done
  elapsed_ms=$(((${EPOCHREALTIME/./} - start) / 1000))
  if [[ $status -eq 124 ]]; then
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  fi
}

# Starts the program in the background with its standard error in $1; waits until
# it has written something (it is then past main and its signal handlers).
start_program() {
  local log="$1"
  shift
  : >"$log"
  env "$@" "$program" 2>"$log" &
  pid=$!
  for _ in $(seq 500); do
    [[ -s "$log" ]] && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.02
  done
  return 1
}

# No video driver can start: creation fails, shutdown runs, -1 comes back.
SDL_VIDEODRIVER=nonexistent timeout 30 "$program" 2>/dev/null
status=$?
check "failed creation exits with 255 (got $status)" test $status -eq 255

# No display and no driver asked for: one line that says so, and a non-zero status.
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 10 "$program" 2>"$work/nodisplay.txt"
status=$?
check "without a display exits at once, non-zero (got $status)" test $status -ne 0 -a $status -ne 124
check "without a display says so in one line naming scripts/run" \
  test "$(wc -l <"$work/nodisplay.txt")" -eq 1 -a -n "$(grep 'DISPLAY.*scripts/run' "$work/nodisplay.txt")"

# Headless and without its three images the program keeps running; SIGTERM then
# ends it as the close box does: shutdown, the atlas dump, 255.
start_program "$work/term.txt" SDL_VIDEODRIVER=dummy
sleep 1
check "runs without a display and without its images" kill -0 "$pid"
rm -f text.bmp
kill -TERM "$pid"
wait_for_exit "$pid" 10
check "SIGTERM ends it with 255 (got $status)" test $status -eq 255
check "SIGTERM runs the shutdown (text.bmp, the batch's destructor line)" \
  test -s text.bmp -a -n "$(grep 'Terminated - Destructor' "$work/term.txt")"

# A second signal after the first ends it at once, by that signal (different
# signals, so that the two cannot merge into one).
start_program "$work/twice.txt" SDL_VIDEODRIVER=dummy
kill -TERM "$pid"
kill -INT "$pid"
wait_for_exit "$pid" 10
check "a second signal ends it at once (got $status)" test $status -eq 130 -o $status -eq 143

# A window system that refuses full screen: Enter brings the FAIL box. SIGTERM while
# it is up ends it as OK would, and after it is answered ends the run as the close
# box does. (Once, the shutdown read the window's memory after it had gone.) The
# shim comes before a sanitizer's run-time.
for when in "while the box is up" "after the box is answered"; do
  if ! start_xvfb; then
    check "Xvfb starts ($when)" false
    continue
  fi
  rm -f text.bmp
  start_program "$work/refused.txt" -u SDL_VIDEODRIVER DISPLAY="$DISPLAY" \
    LD_PRELOAD="$refuse_full_screen" ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0"
  press_key "$(wait_for_window Corvane)" Return
  # SDL's box has no class, which hides it from xdotool's search.
  for _ in $(seq 100); do
    box="$(xwininfo -name FAIL 2>/dev/null | awk '/Window id/ {print $4}')"
    [[ -n "$box" ]] && break
    sleep 0.1
  done
  check "$when: the refused switch shows the FAIL box" test -n "$box"
  if [[ $when == after* && -n "$box" ]]; then
    press_key "$box" Return
    for _ in $(seq 50); do
      xwininfo -name FAIL >/dev/null 2>&1 || break
      sleep 0.1
    done
    check "$when: Return answers the box" test -z "$(xwininfo -name FAIL 2>/dev/null)"
  fi
  kill -TERM "$pid"
  wait_for_exit "$pid" 10
  check "$when: SIGTERM ends it with 255 (got $status)" test $status -eq 255
  check "$when: text.bmp (written by the switch's reset) is whole" \
    test "$(stat -c %s text.bmp 2>/dev/null)" = 4194358
  stop_xvfb
done

# The X server goes away under the program, three times over (the end used to
# depend on where the program was when the connection broke).
for round in 1 2 3; do
  if ! start_xvfb; then
    check "Xvfb starts (round $round)" false
    continue
  fi
  start_program "$work/lost.txt" -u SDL_VIDEODRIVER DISPLAY="$DISPLAY"
  wait_for_window Corvane >/dev/null
  stop_xvfb
  wait_for_exit "$pid" 2
  check "round $round: ends ${elapsed_ms} ms after the X server, non-zero (got $status)" \
    test $status -ne 0 -a $status -ne 124
  check "round $round: one line names the lost display $DISPLAY" \
    test -n "$(grep -x ".*lost the connection to the X display $DISPLAY" "$work/lost.txt")"
done
exit $((failures > 0 ? 1 : 0))
